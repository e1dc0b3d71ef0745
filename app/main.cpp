// Tavrel: the VRG-500 register editor. `tavrel --demo` adds a simulated VRG-500 with sample
// registers to the serial ports, for trying Tavrel without a device; `tavrel --port PATH` adds a
// serial line that the system does not list.
#include "AppController.h"
#include "DemoDevice.h"
#include "QuitOnSignal.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QMainWindow>

#include <cstdio>
#include <memory>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName("Tavrel");
    QCoreApplication::setApplicationName("Tavrel");
    QCoreApplication::setApplicationVersion(TAVREL_VERSION);
    QGuiApplication::setDesktopFileName("tavrel");

    QCommandLineParser parser;
    parser.setApplicationDescription("Controls a VRG-500 register device over RS-232.");
    parser.addHelpOption();
    parser.addVersionOption();
    QCommandLineOption demo("demo", "Also offer a simulated VRG-500 (with sample registers), "
                                    "listed as \"VRG-500 Simulator\".");
    parser.addOption(demo);
    QCommandLineOption port("port",
                            "Also offer the serial line at PATH (one the system does not list, "
                            "such as a socat or network serial port), selected.",
                            "PATH");
    parser.addOption(port);
    parser.process(application);

    std::unique_ptr<tavrel::app::DemoDevice> demoDevice;
    tavrel::app::AppController::PortLister ports;
    if (parser.isSet(demo)) {
        demoDevice = std::make_unique<tavrel::app::DemoDevice>();
        std::string error;
        if (!demoDevice->start(&error)) {
            std::fprintf(stderr, "tavrel: cannot start the simulated VRG-500: %s\n", error.c_str());
            return 1;
        }
        ports = demoDevice->portLister();
    }

    tavrel::app::AppController controller(ports);
    // Logging out and Ctrl+C quit without a question, releasing the port; unsaved registers are
    // kept in a recovery file.
    tavrel::app::QuitOnSignal quitOnSignal([&controller] { controller.terminate(); });
    controller.window()->show();
    if (parser.isSet(port)) {
        controller.addSerialPortByPath(parser.value(port)); // a bad path gives an alert
    }
    return application.exec();
}
