// A window that edits and is then killed: opens the register file given, changes register 7, and
// once its copy of unsaved registers is on disk prints "kept PATH" and waits to be killed. The
// recovery test runs it as a child and kills it with SIGKILL, as a crash or a power cut would.
#include "AppController.h"
#include "RecoveryChildEdit.h"
#include "RegisterEditor.h"
#include "RegisterFiles.h"

#include <QApplication>
#include <QDir>
#include <QMainWindow>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>

using namespace tavrel::app;

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName("Tavrel");
    QCoreApplication::setApplicationName("Tavrel");
    QStandardPaths::setTestModeEnabled(true); // the folders the test itself uses
    if (argc != 2) {
        std::fprintf(stderr, "usage: recovery_child FILE.vg2\n");
        return 2;
    }
    AppController controller([] { return std::optional(tavrel::records::SerialPortList{}); });
    controller.window()->show();
    controller.registerFiles()->openFile(QString::fromLocal8Bit(argv[1]));
    const QDir folder(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
                      "/Recovered");
    QTimer::singleShot(0, &controller, [&controller] {
        controller.registerEditor()->store({{7, recoveryChildEdit()}}, "Edit");
    });
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
        const QStringList kept = folder.entryList({"*(unsaved *).vg2"}, QDir::Files);
        if (!kept.isEmpty()) {
            std::printf("kept %s\n", qPrintable(folder.filePath(kept.front())));
            std::fflush(stdout);
            poll.stop();
        }
    });
    poll.start(10);
    return application.exec();
}
