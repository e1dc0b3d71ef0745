// A download of registers 0 to 299 through the application's stepwise transfer (range sheet,
// progress sheet, one deferred call per register, the table brought up to date after each) from
// the unpaced simulator, with the main window shown offscreen. Prints the host time per register,
// and beside it the time of the same exchanges made directly on the connection, so the share of
// the application (steps, collection, table) can be read off. Figures only, never asserted.
// Target: under 1.5 ms per register in all (the line itself needs 85.4 ms per register).
//   bench_download [rounds (10)]
#include "AppController.h"
#include "BenchSupport.h"
#include "RangeSheet.h"
#include "RegisterTransfer.h"
#include "Vrg500Simulator.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDialog>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace tavrel::app;
using namespace tavrel::link;
using namespace tavrel::records;
using namespace tavrel::sim;

namespace {

constexpr int RegisterCount = 300;

// One download of registers 0 to 299 as a person starts it; milliseconds from confirm to the
// progress sheet's close.
double timedDownload(AppController& controller) {
    bool ended = false;
    auto connection = QObject::connect(controller.progressSheet(), &QDialog::finished,
                                       [&ended] { ended = true; });
    controller.downloadRegisters();
    controller.rangeSheet()->radios()->button(AllRegistersRangeTag)->click();
    QElapsedTimer timer;
    timer.start();
    controller.rangeSheet()->confirmButton()->click();
    while (!ended) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    const double elapsed = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    QObject::disconnect(connection);
    if (controller.tableModel()->registers().size() != RegisterCount ||
        controller.alerts()->current()) {
        std::fprintf(stderr, "the download did not complete\n");
        std::exit(1);
    }
    return elapsed;
}

// The same exchanges straight on the connection, nothing else.
double timedExchanges(const std::string& devicePath) {
    auto socket = TavrelSocket::socketForDeviceFilePath(devicePath);
    if (!socket) {
        std::fprintf(stderr, "cannot open %s\n", devicePath.c_str());
        std::exit(1);
    }
    QElapsedTimer timer;
    timer.start();
    for (int number = 0; number < RegisterCount; ++number) {
        RegisterEntry entry;
        if (!readRegister(*socket, static_cast<uint16_t>(number), &entry)) {
            std::fprintf(stderr, "cannot read register %d\n", number);
            std::exit(1);
        }
    }
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir settings;
    benchsupport::useTemporarySettings(settings);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;

    Vrg500SimulatorOptions options;
    options.sampleRegisters = true;
    options.sampleCount = RegisterCount;
    options.recordFrames = false;
    Vrg500Simulator device(options);
    if (!benchsupport::startDevice(device)) {
        return 1;
    }
    const std::string path = device.slavePath();
    AppController controller(benchsupport::onePort("ttySIM0", path));
    controller.window()->show();
    QCoreApplication::processEvents();

    timedDownload(controller); // warm-up: fonts, caches, first paint
    std::vector<double> downloads, exchanges;
    for (int round = 0; round < rounds; ++round) {
        downloads.push_back(timedDownload(controller));
        exchanges.push_back(timedExchanges(path));
    }
    const double perRegister = median(downloads) / RegisterCount;
    const double linkPerRegister = median(exchanges) / RegisterCount;
    std::printf("download of registers 0-299 through the application, unpaced simulator, "
                "%d rounds (median)\n",
                rounds);
    std::printf("  whole download:          %8.1f ms  (best %.1f, worst %.1f)\n", median(downloads),
                *std::min_element(downloads.begin(), downloads.end()),
                *std::max_element(downloads.begin(), downloads.end()));
    std::printf("  per register:            %8.3f ms  (target < 1.5 ms)\n", perRegister);
    std::printf("  of which the exchanges:  %8.3f ms  (the same reads made directly)\n",
                linkPerRegister);
    std::printf("  the application's share: %8.3f ms  (steps, collection, table)\n",
                perRegister - linkPerRegister);
    return 0;
}
