// The copy of unsaved registers at 65,536 registers, through the application's own path: a field
// changed in a table of that size, then the copy kept half a second later. Measured on the
// window's thread by a 1 ms timer whose longest gap is the longest stall (target <= 16 ms), and
// from the change to the copy on disk, which bounds the edits a crash can lose (target < 2 s).
// Figures only, never asserted.
//   bench_recovery_copy [changes (10)]
#include "AppController.h"
#include "BenchSupport.h"
#include "RegisterEditor.h"

#include "BenchRegisters.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMainWindow>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int RegisterCount = 65536;
constexpr double StallTarget = 16.0;

// The newest copy's modification time, or an invalid time when there is none.
QDateTime newestCopy(const QDir& folder) {
    const QFileInfoList copies =
        folder.entryInfoList({"*(unsaved *).vg2"}, QDir::Files, QDir::Time);
    return copies.isEmpty() ? QDateTime() : copies.front().lastModified();
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QTemporaryDir scratch;
    qputenv("HOME", QFile::encodeName(scratch.path()));
    QApplication application(argc, argv);
    benchsupport::useTemporarySettings(scratch);
    const int changes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;

    AppController controller([] { return std::optional(SerialPortList{}); });
    controller.window()->show();
    controller.tableModel()->replaceRegisters(benchregisters::table(1, RegisterCount));
    const QDir folder(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
                      "/Recovered");

    std::vector<double> stalls;
    std::vector<double> delays;
    QElapsedTimer clock;
    clock.start();
    for (int change = 0; change < changes; ++change) {
        const QDateTime before = newestCopy(folder);
        RegisterEntry entry = *controller.tableModel()->registers().find(change);
        entry.reg.trailingByte1 = static_cast<uint8_t>(entry.reg.trailingByte1 + 1);
        const qint64 changed = clock.elapsed();
        controller.registerEditor()->store({{change, entry}}, "Edit");
        // Watch the window's thread until the copy is on disk (and a little after).
        qint64 last = clock.elapsed();
        double longest = 0;
        qint64 kept = -1;
        QTimer tick;
        QEventLoop loop;
        QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
            const qint64 now = clock.elapsed();
            longest = std::max(longest, static_cast<double>(now - last));
            last = now;
            if (kept < 0 && newestCopy(folder) != before) {
                kept = now;
            }
            if ((kept >= 0 && now - kept > 100) || now - changed > 10000) {
                loop.quit();
            }
        });
        tick.start(1);
        loop.exec();
        stalls.push_back(longest);
        delays.push_back(kept < 0 ? -1 : static_cast<double>(kept - changed));
    }
    std::sort(stalls.begin(), stalls.end());
    std::sort(delays.begin(), delays.end());
    const QFileInfoList copies = folder.entryInfoList({"*(unsaved *).vg2"}, QDir::Files);
    std::printf("recovery copy of %d registers (%.1f MB on disk), %d changes:\n", RegisterCount,
                copies.isEmpty() ? 0.0 : static_cast<double>(copies.front().size()) / 1e6, changes);
    std::printf("  longest stall of the window's thread: median %.1f ms, worst %.1f ms "
                "(target <= %.0f ms: %s)\n",
                stalls[stalls.size() / 2], stalls.back(), StallTarget,
                stalls.back() <= StallTarget ? "met" : "missed");
    std::printf("  from a change to its copy on disk: median %.0f ms, worst %.0f ms (edits a crash "
                "can lose at most; target < 2000 ms: %s)\n",
                delays[delays.size() / 2], delays.back(),
                delays.front() >= 0 && delays.back() < 2000 ? "met" : "missed");
    return 0;
}
