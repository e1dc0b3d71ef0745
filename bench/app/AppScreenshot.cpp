// Makes the main window's screenshot for the documentation, deterministically: the demonstration
// device listed beside two example ports, its first registers read into the table, the window
// grabbed offscreen. With a register count of 0, the window of a machine without serial ports.
//   app_screenshot docs/main-window.png [register count]
#include "AppController.h"
#include "BenchSupport.h"
#include "DemoDevice.h"
#include "RegisterEntry.h"
#include "RegisterTransfer.h"

#include <QApplication>
#include <QComboBox>
#include <QMainWindow>
#include <QPixmap>
#include <QTemporaryDir>
#include <QToolBar>

#include <cstdio>

using namespace tavrel::app;
using namespace tavrel::link;
using namespace tavrel::records;

namespace {

bool grabWindow(AppController& controller, const char* path) {
    controller.window()->resize(controller.window()->width(), 600);
    controller.window()->show();
    QCoreApplication::processEvents();
    std::printf("window %dx%d, min width %d, max width %d, port \"%s\"\n",
                controller.window()->width(), controller.window()->height(),
                controller.window()->minimumWidth(), controller.window()->maximumWidth(),
                qPrintable(testAccess(controller).serialPopUpButton()->currentText()));
    if (!controller.window()->grab().save(QString::fromLocal8Bit(path))) {
        std::fprintf(stderr, "cannot write %s\n", path);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.png [register count]\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir settings;
    benchsupport::useTemporarySettings(settings);
    const int count = argc > 2 ? std::atoi(argv[2]) : 12;

    if (count == 0) {
        AppController controller([] { return std::optional<SerialPortList>(); });
        return grabWindow(controller, argv[1]) ? 0 : 1;
    }
    DemoDevice demo;
    std::string error;
    if (!demo.start(&error)) {
        std::fprintf(stderr, "simulator: %s\n", error.c_str());
        return 1;
    }
    AppController controller(demo.portLister([] {
        return std::optional<SerialPortList>(
            SerialPortList{{"ttyS0", "/dev/ttyS0"}, {"ttyUSB0", "/dev/ttyUSB0"}});
    }));
    std::shared_ptr<TavrelSocket> socket = controller._getSocket();
    if (!socket) {
        std::fprintf(stderr, "cannot open %s\n", demo.devicePath().c_str());
        return 1;
    }
    for (int number = 0; number < count; ++number) {
        RegisterEntry entry;
        if (!readRegister(*socket, static_cast<uint16_t>(number), &entry)) {
            std::fprintf(stderr, "cannot read register %d\n", number);
            return 1;
        }
        controller._storeRegister(number, entry);
    }
    return grabWindow(controller, argv[1]) ? 0 : 1;
}
