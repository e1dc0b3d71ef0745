// How responsive the window stays while it works with the device. Each job runs through the
// application's own path (the Device menu's command, the range sheet with the range typed, the
// progress sheet) against the paced simulator (9600 baud, 10 bits per byte), without and with
// 180 ms of extra latency before each reply:
//   a download, a safe upload with every register differing from the device (it reads the range,
//   then writes it all), and a comparison;
// and a download cancelled with the progress sheet's Cancel at pseudo-random moments.
// The window's thread is watched through its event dispatcher: the time between two consecutive
// runs of the event loop is a time in which no input was taken and nothing was drawn (a 1 ms timer
// keeps an idle loop from sleeping longer). Printed for each job: the longest such stall, the 99th
// percentile of them, the share of the job's time spent in stalls over 16 ms, the 1 ms timer's
// longest gap, and the job's time beside the line's own (the wire time of the frames the device
// exchanged, plus its latency once per reply). A job that ends with an alert is marked and its
// alert printed. For a cancel: from the click (posted from another thread at its moment, as the
// window system hands over a person's click) to the button taking it, and to the end of the job.
// Figures only, never asserted. Everything of the application goes through AppDriver.h.
//   bench_responsiveness [registers with latency (40)] [cancel trials (20)]
#include "AppDriver.h"
#include "BenchWireTime.h"
#include "RegisterTransfer.h"
#include "Vrg500Simulator.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

using benchapp::AppDriver;
using benchwire::DeviceRegisters;
using benchwire::Traffic;
using tavrel::files::RegisterCollection;
using tavrel::records::RegisterEntry;
using tavrel::sim::Vrg500Simulator;
using tavrel::sim::Vrg500SimulatorOptions;
using Job = AppDriver::Job;

namespace {

constexpr int RegisterCount = 300;
constexpr double FrameMs = 16.0;
constexpr double CancelWindowMs = 2500.0; // a cancel comes this long at most after the job runs
// A guard against a hang, far beyond the slowest job (about 52 s).
constexpr int RunLimitMs = 10 * 60 * 1000;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::exit(1);
}

// One clock for the window's thread and the clicking thread.
const QElapsedTimer& benchClock() {
    static const QElapsedTimer started = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    return started;
}

double nowMs() {
    return static_cast<double>(benchClock().nsecsElapsed()) / 1e6;
}

// The p-th quantile of `values` by nearest rank.
double quantile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<size_t>(std::ceil(p * static_cast<double>(values.size())));
    return values[std::clamp<size_t>(rank, 1, values.size()) - 1];
}

// The window's event loop, watched from `begin` (run from the loop) until `done` holds as the loop
// comes around. A run of the loop ends with its dispatcher's awake(); the gap between two of
// them is a time in which the window could take no input and draw nothing. A 1 ms timer keeps an
// idle loop from sleeping longer, so waiting for the device never counts as a stall. Its own
// longest gap is kept too: the event loop lets a timer that has fired yield to other ready work,
// so under back-to-back steps a timer falls further behind than the loop does.
struct LoopWatch {
    std::vector<double> gapsMs; // between consecutive runs of the loop
    double timerLongestMs = 0;
    double endMs = 0; // the run that found `done`
};

LoopWatch watchLoop(const std::function<void()>& begin, const std::function<bool()>& done) {
    LoopWatch watch;
    QEventLoop loop;
    double lastRun = nowMs();
    const auto run = QObject::connect(
        QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, &loop,
        [&] {
            const double now = nowMs();
            watch.gapsMs.push_back(now - lastRun);
            lastRun = now;
            if (watch.endMs == 0 && done()) {
                watch.endMs = now;
                loop.exit(0);
            }
        },
        Qt::DirectConnection);
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(1);
    double lastTick = lastRun;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        const double now = nowMs();
        watch.timerLongestMs = std::max(watch.timerLongestMs, now - lastTick);
        lastTick = now;
    });
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, [&loop] { loop.exit(1); });
    QTimer::singleShot(0, &loop, begin);
    tick.start();
    limit.start(RunLimitMs);
    const int status = loop.exec();
    QObject::disconnect(run);
    if (status != 0) {
        fail("a job did not end in time");
    }
    return watch;
}

// Lets what the job left deferred (an alert, a result) come up.
void settle(int ms) {
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

struct Setting {
    const char* name;
    int latencyMs;
    int registers;
    int cancelTrials;
};

struct JobFigures {
    const char* job = "";
    const Setting* setting = nullptr;
    double jobMs = 0;
    Traffic traffic;
    double lineMs = 0;
    double longestMs = 0;
    double p99Ms = 0;
    double overFrameShare = 0;
    double timerLongestMs = 0;
    QString alert; // the alert the job ended with, empty when it completed
    // The alerts of the attempts before, each of which ended with one.
    std::vector<QString> failedAttempts;
};

struct CancelFigures {
    const Setting* setting;
    std::vector<double> toEndMs;
    std::vector<double> toSeenMs;
    std::vector<QString> failedAttempts; // downloads that ended with an alert before the click
};

// The registers 0 to 299 as the simulators hold them (all seeded alike), read at once.
RegisterCollection deviceTable(const Vrg500SimulatorOptions& options) {
    Vrg500SimulatorOptions unpaced = options;
    unpaced.paced = false;
    unpaced.replyLatency = {};
    unpaced.recordFrames = false;
    Vrg500Simulator device(unpaced);
    if (!benchsupport::startDevice(device)) {
        std::exit(1);
    }
    auto socket = tavrel::link::TavrelSocket::socketForDeviceFilePath(device.slavePath());
    if (!socket) {
        fail("cannot open the simulator");
    }
    RegisterCollection registers;
    for (int number = 0; number < RegisterCount; ++number) {
        RegisterEntry entry;
        if (!tavrel::link::readRegister(*socket, static_cast<uint16_t>(number), &entry)) {
            fail("cannot read a register");
        }
        registers.set(number, entry);
    }
    return registers;
}

// `table` with every register changed in its trailing byte, a field any register can take any
// value in, so each one differs from the device and stays uploadable.
RegisterCollection everyRegisterChanged(RegisterCollection table) {
    for (int number = 0; number < RegisterCount; ++number) {
        RegisterEntry entry = *table.find(number);
        entry.reg.trailingByte2 = static_cast<uint8_t>(entry.reg.trailingByte2 ^ 0x5A);
        table.set(number, entry);
    }
    return table;
}

class Bench {
  public:
    Bench(const Setting& setting, Vrg500Simulator& device, AppDriver& app,
          const DeviceRegisters& start, size_t versionLength)
        : _setting(setting), _device(device), _app(app), _start(start),
          _versionLength(versionLength) {}

    // One job over registers 0 to `registers` - 1, watched from the range sheet's confirm to its
    // end: the progress sheet gone and the loop running again, and for a comparison its result
    // up (which is then closed).
    JobFigures run(const char* name, Job job, int registers) {
        _start.restore(_device);
        _device.clearReceivedFrames();
        _app.openRangeSheet(job);
        double acceptedMs = 0;
        bool seenRunning = false;
        const LoopWatch watch = watchLoop(
            [&] {
                acceptedMs = nowMs();
                _app.acceptRangeSheet(0, registers - 1);
            },
            [&] {
                seenRunning = seenRunning || _app.jobRunning();
                return !_app.jobRunning() &&
                       (!_app.alertText().isEmpty() ||
                        (job == Job::Compare ? _app.comparisonShown() : seenRunning));
            });
        JobFigures figures;
        figures.job = name;
        figures.setting = &_setting;
        figures.jobMs = watch.endMs - acceptedMs;
        figures.traffic = benchwire::trafficOf(_device, _start, _versionLength);
        figures.lineMs = figures.traffic.wireSeconds() * 1e3 +
                         static_cast<double>(figures.traffic.frames * size_t(_setting.latencyMs));
        figures.longestMs = *std::max_element(watch.gapsMs.begin(), watch.gapsMs.end());
        figures.p99Ms = quantile(watch.gapsMs, 0.99);
        figures.timerLongestMs = watch.timerLongestMs;
        double overFrame = 0;
        for (const double gap : watch.gapsMs) {
            overFrame += gap > FrameMs ? gap : 0;
        }
        figures.overFrameShare = overFrame / (watch.endMs - acceptedMs);
        _app.closeComparison();
        settle(50);
        figures.alert = _app.alertText();
        _app.dismissAlert();
        if (figures.alert.isEmpty() && job == Job::Download &&
            _app.registerCount() != size_t(registers)) {
            fail("a download did not bring every register");
        }
        return figures;
    }

    // The job up to `attempts` times, until one ends without an alert: the line to the
    // device may give up on a late reply (see the note printed with the figures).
    JobFigures runAttempts(const char* name, Job job, int registers, int attempts = 3) {
        std::fprintf(stderr, "%s, %s: registers 0-%d\n", name, _setting.name, registers - 1);
        std::vector<QString> failed;
        for (;;) {
            JobFigures figures = run(name, job, registers);
            if (figures.alert.isEmpty() || int(failed.size()) + 1 == attempts) {
                figures.failedAttempts = failed;
                return figures;
            }
            failed.push_back(figures.alert);
        }
    }

    // Downloads of registers 0 to 299, each cancelled at a pseudo-random moment once the job
    // runs; the click comes from another thread, as the window system delivers it. A download
    // that ends with an alert before the click does not count, up to as many again as asked.
    CancelFigures cancels(int trials, std::mt19937& random) {
        std::fprintf(stderr, "cancels, %s: %d\n", _setting.name, trials);
        CancelFigures figures{&_setting, {}, {}, {}};
        std::uniform_real_distribution<double> moment(0.0, CancelWindowMs);
        while (int(figures.toEndMs.size()) < trials &&
               int(figures.failedAttempts.size()) < trials) {
            _device.clearReceivedFrames();
            _app.openRangeSheet(Job::Download);
            watchLoop([&] { _app.acceptRangeSheet(0, RegisterCount - 1); },
                      [&] { return _app.jobRunning() || !_app.alertText().isEmpty(); });
            double seenMs = -1;
            std::unique_ptr<benchapp::CancelClick> click =
                _app.prepareCancelClick([&seenMs] { seenMs = nowMs(); });
            std::atomic<qint64> clickedNs{-1};
            const auto delay = std::chrono::microseconds(std::lround(moment(random) * 1e3));
            std::thread person([&] {
                std::this_thread::sleep_for(delay);
                clickedNs = benchClock().nsecsElapsed();
                click->post();
            });
            const LoopWatch watch =
                watchLoop([] {},
                          [&] {
                              return clickedNs.load() >= 0 && !_app.jobRunning() &&
                                     (seenMs >= 0 || !_app.alertText().isEmpty());
                          });
            person.join();
            settle(20);
            if (const QString alert = _app.alertText(); !alert.isEmpty()) {
                figures.failedAttempts.push_back(alert);
                _app.dismissAlert();
                continue;
            }
            if (seenMs < 0 || _app.registerCount() >= size_t(RegisterCount)) {
                fail("the download was not cancelled by its Cancel button");
            }
            const double clickedMs = static_cast<double>(clickedNs.load()) / 1e6;
            figures.toEndMs.push_back(watch.endMs - clickedMs);
            figures.toSeenMs.push_back(seenMs - clickedMs);
        }
        return figures;
    }

  private:
    const Setting& _setting;
    Vrg500Simulator& _device;
    AppDriver& _app;
    const DeviceRegisters& _start;
    size_t _versionLength;
};

void printJob(const JobFigures& f) {
    std::printf("  %-24s %-14s %4d %6zu %8.2f %7.2f %6.3f %8.1f %7.1f %6.1f %% %8.1f%s\n", f.job,
                f.setting->name, f.setting->registers, f.traffic.frames, f.jobMs / 1e3,
                f.lineMs / 1e3, f.jobMs / f.lineMs, f.longestMs, f.p99Ms, f.overFrameShare * 100.0,
                f.timerLongestMs, f.alert.isEmpty() ? "" : "  *");
}

// The alerts that jobs ended with: "K of N attempts" and the alert's text.
void printFailures(const char* what, const Setting& setting, std::vector<QString> alerts,
                   size_t attempts, const char* figures) {
    if (alerts.empty()) {
        return;
    }
    const size_t failed = alerts.size();
    std::sort(alerts.begin(), alerts.end());
    alerts.erase(std::unique(alerts.begin(), alerts.end()), alerts.end());
    QStringList texts;
    for (const QString& alert : alerts) {
        texts << "\"" + alert.simplified() + "\"";
    }
    std::printf("  * %s, %s: %zu of %zu attempts ended with the alert %s; %s\n", what, setting.name,
                failed, attempts, qPrintable(texts.join(", ")), figures);
}

void printCancel(const char* what, const Setting& setting, const std::vector<double>& ms) {
    if (ms.empty()) {
        std::printf("  %-24s %-14s %6d\n", what, setting.name, 0);
        return;
    }
    std::printf("  %-24s %-14s %6zu %9.1f %8.1f %8.1f\n", what, setting.name, ms.size(),
                quantile(ms, 0.5), quantile(ms, 0.95), *std::max_element(ms.begin(), ms.end()));
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // Safe uploads keep snapshots in the data folder: a home in the temporary folder keeps them
    // away from the user's and the tests' and leaves nothing behind.
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        fail("cannot make a temporary folder");
    }
    qputenv("HOME", QFile::encodeName(scratch.path()));
    QApplication application(argc, argv);
    benchsupport::useTemporarySettings(scratch);
    benchClock();
    const int latencyRegisters = argc > 1 ? std::clamp(std::atoi(argv[1]), 1, RegisterCount) : 40;
    const int cancelTrials = argc > 2 ? std::max(1, std::atoi(argv[2])) : 20;

    const Setting settings[] = {
        {"paced", 0, RegisterCount, cancelTrials},
        {"paced +180 ms", 180, latencyRegisters, std::max(1, cancelTrials / 2)},
    };
    Vrg500SimulatorOptions common;
    common.sampleRegisters = true;
    common.sampleCount = RegisterCount;
    common.paced = true;
    const RegisterCollection changed = everyRegisterChanged(deviceTable(common));

    std::vector<JobFigures> jobs;
    std::vector<CancelFigures> cancels;
    std::mt19937 random(20240611);
    for (const Setting& setting : settings) {
        Vrg500SimulatorOptions options = common;
        options.replyLatency = std::chrono::milliseconds(setting.latencyMs);
        Vrg500Simulator device(options);
        if (!benchsupport::startDevice(device)) {
            return 1;
        }
        const DeviceRegisters start = DeviceRegisters::of(device, RegisterCount);
        AppDriver app("ttySIM0", device.slavePath());
        Bench bench(setting, device, app, start, options.version.size());
        bench.runAttempts("warm-up", Job::Download, 3); // fonts, caches, first paint

        jobs.push_back(bench.runAttempts("download", Job::Download, setting.registers));
        app.setSafeUpload(true);
        app.setRegisters(changed);
        jobs.push_back(
            bench.runAttempts("safe upload, all differ", Job::Upload, setting.registers));
        app.setRegisters(changed);
        jobs.push_back(
            bench.runAttempts("comparison, all differ", Job::Compare, setting.registers));
        cancels.push_back(bench.cancels(setting.cancelTrials, random));
        start.restore(device);
    }

    std::printf("responsiveness of the window during device work (main window offscreen, the "
                "simulator on a pseudo-terminal)\n");
    std::printf("  stall: the time between two consecutive runs of the window's event loop "
                "(its dispatcher's awake signal; a 1 ms timer\n"
                "  keeps an idle loop from sleeping longer): the longest and the p99 while the "
                "job runs, and the share of the job's\n"
                "  time in stalls over %.0f ms (no frame drawn); timer: the longest gap between "
                "two firings of that 1 ms timer\n",
                FrameMs);
    std::printf("  job: from the range sheet's confirm until the progress sheet is gone and the "
                "loop runs again (a comparison: its result up);\n"
                "  line: the wire time of the frames exchanged at 9600 baud 8N1 (960 bytes/s), "
                "plus the simulator's latency once per reply\n");
    std::printf("  with latency, registers 0-%d only (the line takes about 0.45 s per register "
                "there); without, registers 0-%d\n",
                latencyRegisters - 1, RegisterCount - 1);
    std::printf("  the machine is shared with other work: times are noisy\n\n");
    std::printf("  %-24s %-14s %4s %6s %8s %7s %6s %8s %7s %8s %8s\n", "job", "simulator", "regs",
                "frames", "job s", "line s", "ratio", "stall ms", "p99 ms", "> 16 ms", "timer ms");
    for (const JobFigures& figures : jobs) {
        printJob(figures);
    }
    for (const JobFigures& f : jobs) {
        std::vector<QString> alerts = f.failedAttempts;
        if (!f.alert.isEmpty()) {
            alerts.push_back(f.alert);
        }
        printFailures(f.job, *f.setting, alerts, f.failedAttempts.size() + 1,
                      f.alert.isEmpty()
                          ? "the figures are the attempt that completed"
                          : qPrintable(QString("the figures are the last, up to its end after "
                                               "%1 register reads and %2 register writes")
                                           .arg(f.traffic.registerReads)
                                           .arg(f.traffic.registerWrites)));
    }
    std::printf("\n  cancel of a download of registers 0-%d, clicked at pseudo-random moments "
                "0-%.1f s after the job is seen running\n",
                RegisterCount - 1, CancelWindowMs / 1e3);
    std::printf("  %-24s %-14s %6s %9s %8s %8s\n", "from the click", "simulator", "trials",
                "median ms", "p95 ms", "max ms");
    for (const CancelFigures& figures : cancels) {
        printCancel("to the end of the job", *figures.setting, figures.toEndMs);
        printCancel("to the button taking it", *figures.setting, figures.toSeenMs);
    }
    for (const CancelFigures& figures : cancels) {
        printFailures("cancelled download", *figures.setting, figures.failedAttempts,
                      figures.failedAttempts.size() + figures.toEndMs.size(),
                      "those are left out of the figures");
    }
    return 0;
}
