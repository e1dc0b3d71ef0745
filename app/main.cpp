// Tavrel: the VRG-500 register editor. `tavrel --demo` adds a simulated VRG-500 with sample
// registers to the serial ports, for trying Tavrel without a device; `tavrel --port PATH` adds a
// serial line that the system does not list; `tavrel FILE.vg2` opens a register file at start-up
// (the desktop entry passes the file a user double-clicked).
#include "AppController.h"
#include "DemoDevice.h"
#include "QuitOnSignal.h"
#include "Translations.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <string_view>

namespace {

// The command line's options, described once for both ways it is read.
struct Options {
    QCommandLineOption demo{"demo", "Also offer a simulated VRG-500 (with sample registers), "
                                    "listed as \"VRG-500 Simulator\"."};
    QCommandLineOption port{"port",
                            "Also offer the serial line at PATH (one the system does not list, "
                            "such as a socat or network serial port), selected; or the name of a "
                            "listed adapter's link in /dev/serial/by-id, whose port is selected.",
                            "PATH"};
};

void describe(QCommandLineParser& parser, const Options& options) {
    parser.setApplicationDescription("Controls a VRG-500 register device over RS-232.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(options.demo);
    parser.addOption(options.port);
    parser.addPositionalArgument("FILE", "A register file (.vg2) to open.", "[FILE]");
}

// --help and --version answer on the terminal whether or not there is a display: they are read
// before the window system is reached, which would end the program where there is none.
void answerHelpOrVersion(int argc, char** argv) {
    bool asked = false;
    for (int i = 1; i < argc && std::string_view(argv[i]) != "--"; ++i) {
        const std::string_view arg = argv[i];
        asked |= arg == "-h" || arg == "-?" || arg == "--help" || arg == "--help-all" ||
                 arg == "-v" || arg == "--version";
    }
    if (!asked) {
        return;
    }
    QCoreApplication application(argc, argv);
    const Options options;
    QCommandLineParser parser;
    describe(parser, options);
    parser.parse(application.arguments()); // the window system's own options are not ours
    if (parser.isSet("version")) {
        parser.showVersion();
    }
    if (parser.isSet("help") || parser.isSet("help-all")) {
        parser.showHelp();
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication::setOrganizationName("Tavrel");
    QCoreApplication::setApplicationName("Tavrel");
    QCoreApplication::setApplicationVersion(TAVREL_VERSION);
    answerHelpOrVersion(argc, argv);

    QApplication application(argc, argv);
    QGuiApplication::setDesktopFileName("tavrel");
    tavrel::app::installTranslations(QLocale::system(), tavrel::app::translationDirectories());
    const Options options;
    QCommandLineParser parser;
    describe(parser, options);
    parser.process(application);

    std::unique_ptr<tavrel::app::DemoDevice> demoDevice;
    tavrel::app::AppController::PortLister ports;
    if (parser.isSet(options.demo)) {
        demoDevice = std::make_unique<tavrel::app::DemoDevice>();
        std::string error;
        if (!demoDevice->start(&error)) {
            std::fprintf(stderr, "tavrel: cannot start the simulated VRG-500: %s\n", error.c_str());
            return 1;
        }
        ports = demoDevice->portLister();
    }

    tavrel::app::AppController controller(ports);
    // Logging out, a closed terminal and Ctrl+C quit without a question, releasing the port;
    // unsaved registers stay in their recovery copy.
    tavrel::app::QuitOnSignal quitOnSignal([&controller] { controller.terminate(); });
    controller.window()->show();
    if (parser.isSet(options.port)) {
        controller.addSerialPortByPath(parser.value(options.port)); // a bad path gives an alert
    }
    if (!parser.positionalArguments().isEmpty()) {
        // As Open does, so a file that cannot be read gives the usual alert; a menu settings
        // file is only explained.
        controller.openFile(parser.positionalArguments().constFirst());
    }
    // Registers a window left unsaved when it was ended (a crash, a signal, a power cut).
    QTimer::singleShot(0, &controller, [&controller] { controller.offerRecoveredRegisters(); });
    return application.exec();
}
