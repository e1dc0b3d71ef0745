// Uploads of registers 0 to 299 to the paced simulator (9600 baud, 10 bits per byte, both
// directions) through the application's real path: the Upload Registers action, the range sheet
// with 0-299 typed, until the progress sheet closes. The plain upload (safe uploads off) writes
// every register; a safe upload reads the whole range first and writes only what differs, with
// 0 %, 10 % and 100 % of the table changed from what the device holds. The device's registers are
// set back before each run. Beside each wall time is the wire time of the frames the device
// actually received and answered, and their ratio; the same exchanges made directly on the
// connection show how much of any excess belongs to the line and how much to the application.
// Figures only, never asserted.
//   bench_safe_upload [rounds (1)]
#include "AppController.h"
#include "BenchSupport.h"
#include "BenchWireTime.h"
#include "FilePanel.h"
#include "RangeSheet.h"
#include "RegisterTransfer.h"
#include "SafeUploads.h"
#include "SnapshotDialog.h"
#include "UploadSnapshot.h"
#include "Vrg500Simulator.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <time.h>
#include <vector>

using namespace tavrel::app;
using namespace tavrel::files;
using namespace tavrel::link;
using namespace tavrel::records;
using namespace tavrel::sim;
using benchwire::DeviceRegisters;
using benchwire::SecondsPerByte;
using benchwire::Traffic;
using benchwire::trafficOf;

namespace {

constexpr int RegisterCount = 300;
constexpr double TargetRatio = 1.02;
// A guard against a hang, far beyond the slowest run (about 52 s of wire).
constexpr int RunLimitMs = 10 * 60 * 1000;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::exit(1);
}

// The table a person would have after downloading the device's registers 0 to 299 (read
// directly, so the paced line is not spent on it).
RegisterCollection downloaded(const std::string& devicePath) {
    auto socket = TavrelSocket::socketForDeviceFilePath(devicePath);
    if (!socket) {
        fail("cannot open the simulator");
    }
    RegisterCollection registers;
    for (int number = 0; number < RegisterCount; ++number) {
        RegisterEntry entry;
        if (!readRegister(*socket, static_cast<uint16_t>(number), &entry)) {
            fail("cannot read a register");
        }
        registers.set(number, entry);
    }
    return registers;
}

// `table` with `count` of its registers changed, spread evenly over the range. The trailing byte
// is a field every register can take any value in, so the change never makes a register
// unuploadable; what an upload costs does not depend on which field differs.
RegisterCollection withChanged(RegisterCollection table, int count) {
    for (int i = 0; i < count; ++i) {
        const int32_t number = i * RegisterCount / count;
        RegisterEntry entry = *table.find(number);
        entry.reg.trailingByte2 = static_cast<uint8_t>(entry.reg.trailingByte2 ^ 0x5A);
        table.set(number, entry);
    }
    return table;
}

double mainThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

struct Run {
    double wallSeconds = 0;
    Traffic traffic;
    // Safe uploads: from the start of the last reading step to the start of the first writing
    // step (one read exchange, the comparison, the snapshot and the event loop); negative when
    // the writing phase did not start with a lower register than the last one read.
    double phaseGapSeconds = -1;
    double lastReadWireSeconds = 0;  // the wire time of the last register's read
    double mainThreadCpuSeconds = 0; // the application's own work, the exchanges' system calls in
    size_t snapshotRegisters = 0;
};

// The event loop of one run: it ends with 0 when the progress sheet closes, with 1 when the run
// takes longer than the limit.
class SheetLoop {
  public:
    explicit SheetLoop(QDialog* sheet) {
        _limit.setSingleShot(true);
        QObject::connect(&_limit, &QTimer::timeout, &loop, [this] { loop.exit(1); });
        _ended = QObject::connect(sheet, &QDialog::finished, &loop, [this] { loop.exit(0); });
    }
    ~SheetLoop() { QObject::disconnect(_ended); }

    int exec() {
        _limit.start(RunLimitMs);
        return loop.exec();
    }

    QEventLoop loop;

  private:
    QTimer _limit;
    QMetaObject::Connection _ended;
};

class Bench {
  public:
    Bench(Vrg500Simulator& device, AppController& controller, const DeviceRegisters& start,
          size_t versionLength)
        : _device(device), _controller(controller), _start(start), _versionLength(versionLength) {}

    // One upload of registers `first` to `last` of `table` as a person starts it.
    Run upload(const RegisterCollection& table, bool safe, int32_t first = 0,
               int32_t last = RegisterCount - 1) {
        _start.restore(_device);
        _controller.tableModel()->replaceRegisters(table);
        // The action writes the preference when it toggles; the other benchmark window's
        // action may have left the preference the other way while this one stayed.
        app().window()->action(Command::SafeUpload)->setChecked(safe);
        tavrel::app::SafeUploads::setSafeUploadEnabled(safe);
        if (QSettings().value(SafeUploadKey, true).toBool() != safe) {
            fail("the safe upload preference did not follow its action");
        }
        const size_t snapshotsBefore = snapshots().size();
        _device.clearReceivedFrames();

        SheetLoop sheet(app().progressSheet());
        QEventLoop& loop = sheet.loop;
        QElapsedTimer timer;
        // The bar stands at each step's register, read steps ascending; the first write step is
        // the first step whose register is lower than the one before (the label is set after the
        // bar, so it cannot tell the phase here).
        double lastRead = -1;
        double firstWrite = -1;
        int previous = -1;
        auto steps = QObject::connect(
            app().progressSheet()->bar(), &QProgressBar::valueChanged, &loop, [&](int value) {
                const double now = static_cast<double>(timer.nsecsElapsed()) / 1e9;
                if (firstWrite < 0 && value < previous) {
                    firstWrite = now;
                } else if (firstWrite < 0) {
                    lastRead = now;
                }
                previous = value;
            });

        app().window()->action(Command::UploadRegisters)->trigger();
        app().rangeSheet()->radios()->button(TypedRangeTag)->click();
        app().rangeSheet()->firstField()->setValue(first);
        app().rangeSheet()->lastField()->setValue(last);
        const double cpuBefore = mainThreadCpuSeconds();
        timer.start();
        app().rangeSheet()->confirmButton()->click();
        const int status = sheet.exec();
        Run run;
        run.wallSeconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        run.mainThreadCpuSeconds = mainThreadCpuSeconds() - cpuBefore;
        QObject::disconnect(steps);
        if (status != 0) {
            fail("the upload did not end in time");
        }
        if (lastRead >= 0 && firstWrite >= 0) {
            run.phaseGapSeconds = firstWrite - lastRead;
            const bool clips = _start.clips[size_t(last)].has_value();
            run.lastReadWireSeconds =
                static_cast<double>(4 + 38 + 4 + (clips ? 36 : 3)) * SecondsPerByte;
        }
        run.traffic = trafficOf(_device, _start, _versionLength);
        const std::vector<SnapshotInfo> kept = snapshots();
        if (kept.size() > snapshotsBefore) {
            run.snapshotRegisters = kept.front().registers;
        }
        dismissNothingToUpload();
        return run;
    }

    // Device ▸ Restore Snapshot… with the newest snapshot, from the device as the last upload
    // left it, until the progress sheet closes.
    Run restoreNewest() {
        _device.clearReceivedFrames();
        SheetLoop sheet(app().progressSheet());
        QElapsedTimer timer;
        timer.start();
        app().window()->action(Command::RestoreSnapshot)->trigger();
        SnapshotDialog* dialog = nullptr;
        for (SnapshotDialog* shown : _controller.window()->findChildren<SnapshotDialog*>()) {
            dialog = shown->isVisible() ? shown : dialog;
        }
        if (dialog == nullptr) {
            fail("the snapshot list did not come up");
        }
        dialog->restoreButton()->click();
        const int status = sheet.exec();
        Run run;
        run.wallSeconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        if (status != 0) {
            fail("the restore did not end in time");
        }
        run.traffic = trafficOf(_device, _start, _versionLength);
        dismissNothingToUpload();
        return run;
    }

    std::string snapshotFolder() const {
        return localFilePath(_controller.safeUploads()->snapshotFolder());
    }

  private:
    AppController& app() const { return _controller; }
    std::vector<SnapshotInfo> snapshots() const { return listUploadSnapshots(snapshotFolder()); }

    // A safe upload with nothing to send ends with this alert, deferred after the progress
    // sheet; any other alert means the upload went wrong.
    void dismissNothingToUpload() {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 200) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        if (QMessageBox* alert = _controller.alerts()->current()) {
            if (alert->text() != "Nothing to upload") {
                std::fprintf(stderr, "alert: %s\n%s\n", qPrintable(alert->text()),
                             qPrintable(alert->informativeText()));
                fail("the upload failed");
            }
            alert->done(0);
            QCoreApplication::processEvents();
        }
    }

    Vrg500Simulator& _device;
    AppController& _controller;
    const DeviceRegisters& _start;
    size_t _versionLength;
};

// The reads and the writes of registers 0 to 299 made directly on the connection: what the line,
// the simulator and the link cost without the application.
struct Direct {
    Run reads;
    Run writes;
};

Direct directExchanges(Vrg500Simulator& device, const DeviceRegisters& start,
                       const RegisterCollection& table, size_t versionLength) {
    start.restore(device);
    auto socket = TavrelSocket::socketForDeviceFilePath(device.slavePath());
    if (!socket) {
        fail("cannot open the simulator");
    }
    Direct direct;
    for (bool writing : {false, true}) {
        device.clearReceivedFrames();
        const double cpuBefore = mainThreadCpuSeconds();
        QElapsedTimer timer;
        timer.start();
        for (int number = 0; number < RegisterCount; ++number) {
            RegisterEntry entry;
            const bool done =
                writing ? writeRegister(*socket, static_cast<uint16_t>(number), *table.find(number))
                        : readRegister(*socket, static_cast<uint16_t>(number), &entry);
            if (!done) {
                fail("a direct exchange failed");
            }
        }
        Run& run = writing ? direct.writes : direct.reads;
        run.wallSeconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        run.mainThreadCpuSeconds = mainThreadCpuSeconds() - cpuBefore;
        run.traffic = trafficOf(device, start, versionLength);
    }
    return direct;
}

// The snapshot of a whole range, written on its own: the part of a safe upload's pause between
// its phases that is not the line.
double timedSnapshot(const RegisterCollection& registers, const std::string& folder) {
    QElapsedTimer timer;
    timer.start();
    SnapshotInfo written;
    if (!writeUploadSnapshot(folder, "bench", {0, RegisterCount - 1}, registers, &written)) {
        fail("cannot write a snapshot");
    }
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

void printRun(const char* name, const Run& run, double original) {
    const double wire = run.traffic.wireSeconds();
    const double ratio = run.wallSeconds / wire;
    std::printf("  %-26s %7.2f s  %5zu frames (%3zu written)  %6zu+%6zu bytes  wire %7.2f s  "
                "ratio %.4f (target <= %.2f: %s)",
                name, run.wallSeconds, run.traffic.frames, run.traffic.registerWrites,
                run.traffic.requestBytes, run.traffic.replyBytes, wire, ratio, TargetRatio,
                ratio <= TargetRatio ? "met" : "missed");
    if (original > 0) {
        std::printf("  %.2fx the plain upload", run.wallSeconds / original);
    }
    std::printf("\n");
    if (run.mainThreadCpuSeconds > 0) {
        std::printf("  %-26s over the wire %.0f ms, %.3f ms per exchange; the main thread's CPU "
                    "time %.0f ms\n",
                    "", (run.wallSeconds - wire) * 1e3,
                    (run.wallSeconds - wire) * 1e3 / static_cast<double>(run.traffic.frames),
                    run.mainThreadCpuSeconds * 1e3);
    }
    if (run.phaseGapSeconds >= 0) {
        std::printf("  %-26s between the phases %.1f ms: the last read's wire %.1f ms, then "
                    "%.1f ms for the comparison, the snapshot of %zu registers and the steps\n",
                    "", run.phaseGapSeconds * 1e3, run.lastReadWireSeconds * 1e3,
                    (run.phaseGapSeconds - run.lastReadWireSeconds) * 1e3, run.snapshotRegisters);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // Test mode keeps the data folder (the snapshots) under $HOME/.qttest, which the application's
    // tests share and empty: a home in the temporary folder keeps both apart and leaves nothing.
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        fail("cannot make a temporary folder");
    }
    qputenv("HOME", QFile::encodeName(scratch.path()));
    QApplication application(argc, argv);
    benchsupport::useTemporarySettings(scratch);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1;

    Vrg500SimulatorOptions options;
    options.sampleRegisters = true;
    options.sampleCount = RegisterCount;
    options.paced = true;
    Vrg500Simulator device(options);
    if (!benchsupport::startDevice(device)) {
        return 1;
    }
    const DeviceRegisters start = DeviceRegisters::of(device, RegisterCount);
    const std::string path = device.slavePath();

    Vrg500SimulatorOptions unpacedOptions = options;
    unpacedOptions.paced = false;
    Vrg500Simulator unpaced(unpacedOptions); // the same registers, read at once
    if (!benchsupport::startDevice(unpaced)) {
        return 1;
    }
    const RegisterCollection table = downloaded(unpaced.slavePath());

    AppController controller(benchsupport::onePort("ttySIM0", path));
    controller.window()->show();
    QCoreApplication::processEvents();
    Bench bench(device, controller, start, options.version.size());

    const std::string folder = bench.snapshotFolder();
    std::printf("snapshots go to %s (%s the temporary folder %s)\n", folder.c_str(),
                QString::fromStdString(folder).startsWith(scratch.path()) ? "inside" : "OUTSIDE",
                qPrintable(scratch.path()));
    std::printf("the machine is shared with other work: wall times are noisy, more so the "
                "larger the share of host time\n\n");

    bench.upload(withChanged(table, 2), true, 0, 9); // warm-up: fonts, caches, first paint

    for (int round = 1; round <= rounds; ++round) {
        std::printf("round %d of %d: registers 0-299, paced simulator (9600 baud, 10 bits per "
                    "byte); bytes are requests+replies\n",
                    round, rounds);
        const Run plain = bench.upload(withChanged(table, RegisterCount / 10), false);
        printRun("plain upload (all written)", plain, 0);
        const Run none = bench.upload(table, true);
        printRun("safe, 0 % changed", none, plain.wallSeconds);
        const Run tenth = bench.upload(withChanged(table, RegisterCount / 10), true);
        printRun("safe, 10 % changed (30)", tenth, plain.wallSeconds);
        const Run all = bench.upload(withChanged(table, RegisterCount), true);
        printRun("safe, 100 % changed", all, plain.wallSeconds);
        const Run undo = bench.restoreNewest();
        printRun("restoring its snapshot", undo, plain.wallSeconds);
        std::printf("  restoring costs %zu frames, the upload it undoes %zu (target: no more: "
                    "%s)\n",
                    undo.traffic.frames, all.traffic.frames,
                    undo.traffic.frames <= all.traffic.frames ? "met" : "missed");
        std::printf("  expected: safe with 100 %% changed about 2x the plain upload (%.2fx); with "
                    "few changed about the plain upload (10 %%: %.2fx, 0 %%: %.2fx)\n",
                    all.wallSeconds / plain.wallSeconds, tenth.wallSeconds / plain.wallSeconds,
                    none.wallSeconds / plain.wallSeconds);

        const Direct direct = directExchanges(device, start, table, options.version.size());
        std::printf("  the same exchanges directly on the connection, no application:\n");
        printRun("300 reads", direct.reads, 0);
        printRun("300 writes", direct.writes, 0);
        const double perExchange = (direct.reads.wallSeconds - direct.reads.traffic.wireSeconds()) /
                                   static_cast<double>(direct.reads.traffic.frames);
        std::printf("  line and link beyond the wire: %.3f ms per exchange (reads), %.3f ms "
                    "(writes)\n",
                    perExchange * 1e3,
                    (direct.writes.wallSeconds - direct.writes.traffic.wireSeconds()) /
                        static_cast<double>(direct.writes.traffic.frames) * 1e3);
        std::printf("  a snapshot of 300 registers written on its own: %.2f ms\n\n",
                    timedSnapshot(table, scratch.filePath("timed").toStdString()) * 1e3);
    }

    // The host's own time: the same uploads where the line costs nothing. On the paced line this
    // work comes between the exchanges, so it adds to the wire time.
    AppController hostOnly(benchsupport::onePort("ttySIM1", unpaced.slavePath()));
    hostOnly.window()->show();
    QCoreApplication::processEvents();
    Bench hostBench(unpaced, hostOnly, start, unpacedOptions.version.size());
    hostBench.upload(withChanged(table, 2), true, 0, 9);
    std::printf("the same uploads against the unpaced simulator (host time alone, median of 5):\n");
    const struct {
        const char* name;
        bool safe;
        int changed;
    } hostCases[] = {{"plain upload", false, 0},
                     {"safe, 0 % changed", true, 0},
                     {"safe, 100 % changed", true, RegisterCount}};
    for (const auto& c : hostCases) {
        std::vector<double> walls;
        size_t frames = 0;
        for (int i = 0; i < 5; ++i) {
            const Run run = hostBench.upload(withChanged(table, c.changed), c.safe);
            walls.push_back(run.wallSeconds);
            frames = run.traffic.frames;
        }
        std::sort(walls.begin(), walls.end());
        std::printf("  %-26s %7.1f ms  %5zu frames  %.3f ms per exchange\n", c.name, walls[2] * 1e3,
                    frames, walls[2] * 1e3 / static_cast<double>(frames));
    }
    start.restore(device);
    return 0;
}
