// Figures of the application window, printed (never asserted):
//   start-up: from entering main to the main window first shown (offscreen), and peak memory;
//   filling: 65,536 registers added one at a time, the table brought up to date and redrawn
//   after each, as a download does.
// Targets: start-up under 300 ms, peak memory under 80 MB, under 1 ms per added register.
#include "AppController.h"
#include "BenchSupport.h"
#include "RegisterEntry.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QTableView>
#include <QTemporaryDir>
#include <QWindow>

#include <cstdio>
#include <sys/resource.h>

using namespace tavrel::app;
using namespace tavrel::records;

namespace {

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

RegisterEntry entryFor(int number) {
    RegisterEntry entry;
    auto frames = static_cast<uint8_t>(number % 30);
    entry.reg.inA = {1, 2, 3, frames, 0, 0};
    entry.reg.outA = {1, 2, 13, frames, 0, 0};
    entry.reg.inC = {10, 0, 0, 0, 1, 0};
    entry.reg.outC.isNull = 1;
    entry.clips[0] = "REEL" + std::to_string(1000 + number % 9000);
    return entry;
}

void waitUntilExposed(QWidget* window) {
    while (window->windowHandle() == nullptr || !window->windowHandle()->isExposed()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

} // namespace

int main(int argc, char** argv) {
    QElapsedTimer sinceMain;
    sinceMain.start();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir settings;
    benchsupport::useTemporarySettings(settings);

    AppController controller(benchsupport::onePort("ttyS0", "/dev/ttyS0"));
    controller.window()->show();
    waitUntilExposed(controller.window());
    QCoreApplication::processEvents();
    const double startupMs = static_cast<double>(sinceMain.nsecsElapsed()) / 1e6;
    const double startupPeak = peakMegabytes();
    std::printf("start-up to first shown window: %.1f ms (target < 300 ms)\n", startupMs);
    std::printf("peak memory after start-up: %.1f MB (target < 80 MB)\n", startupPeak);

    const int count = argc > 1 ? std::atoi(argv[1]) : 65536;
    // With "follow", the table scrolls to every new row, so each one is drawn as it arrives;
    // otherwise the table stays where it is, as during a download.
    const bool follow = argc > 2 && std::string(argv[2]) == "follow";
    if (argc > 2 && std::string(argv[2]) == "hidden") {
        controller.window()->hide();
    }
    QElapsedTimer filling;
    filling.start();
    qint64 lastThousandStart = 0;
    for (int number = 0; number < count; ++number) {
        if (number == count - 1000) {
            lastThousandStart = filling.nsecsElapsed();
        }
        controller.tableModel()->storeRegister(number, entryFor(number));
        if (follow) {
            controller.window()->table()->scrollToBottom();
        }
        QCoreApplication::processEvents();
    }
    const qint64 total = filling.nsecsElapsed();
    std::printf("added %d registers one at a time: %.3f ms per register on average, "
                "%.3f ms per register over the last 1000 (target < 1 ms)\n",
                count, static_cast<double>(total) / 1e6 / count,
                static_cast<double>(total - lastThousandStart) / 1e6 / 1000.0);
    std::printf("peak memory with %d registers: %.1f MB (target < 80 MB)\n", count,
                peakMegabytes());
    return 0;
}
