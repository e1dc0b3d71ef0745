// Runs the device jobs away from the window's thread. A job is a function that talks to the
// device through the blocking link, straight through from its first exchange to its last; the
// runner gives it a worker thread of its own and the job's connection, and the job reports back
// to the window with report(), whose calls run on the window's thread in the order they were
// made. One job runs at a time.
//
// Cancel is immediate: the runner owns the link's interruption descriptor, so a cancelled job's
// exchange in progress ends at once (even in the middle of a reply) and nothing more is sent until
// the job has ended. The connection is taken and let go on the window's thread, so the link's
// registry of open ports is only ever touched there.
#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

class QThread;

namespace tavrel::link {
class TavrelSocket;
}

namespace tavrel::app {

class TransferRunner;

// What a running job sees, on its worker thread.
class DeviceJob {
  public:
    DeviceJob(TransferRunner& runner, link::TavrelSocket& socket)
        : _runner(runner), _socket(socket) {}

    link::TavrelSocket& socket() const { return _socket; }
    // Whether Cancel (or Quit) asked the job to end; an exchange cut short by it fails.
    bool cancelled() const;
    // Runs `then` on the window's thread, after everything the job reported before.
    void report(std::function<void()> then) const;
    // The same, and the job goes on once the window has run it (or at Cancel): what the window
    // shows never lags behind the device.
    void reportAndWait(std::function<void()> then) const;
    // The progress sheet's text (with "%1" for the register) and bar, shown before the job goes
    // on to that register's exchanges.
    void showProgress(const QString& text, int32_t current) const;

  private:
    TransferRunner& _runner;
    link::TavrelSocket& _socket;
};

class TransferRunner : public QObject {
    Q_OBJECT

  public:
    using Work = std::function<void(DeviceJob&)>;

    explicit TransferRunner(QObject* parent = nullptr);
    // Cancels a running job and waits for it to end.
    ~TransferRunner() override;

    TransferRunner(const TransferRunner&) = delete;
    TransferRunner& operator=(const TransferRunner&) = delete;

    // Starts `work` with `socket` on a worker thread; false (and nothing started) when a job runs
    // or there is no connection.
    bool start(std::shared_ptr<link::TavrelSocket> socket, Work work);
    bool isRunning() const { return _thread != nullptr; }
    bool isCancelled() const { return _cancelled.load(); }
    // Asks the running job to end, at once; nothing more is sent.
    void cancel();
    // Cancels the running job and waits at most `timeout` for it to end (quitting).
    bool cancelAndWait(std::chrono::milliseconds timeout);

  signals:
    // The job ended: everything it reported has run by then.
    void finished();
    // From the job's showProgress().
    void progressed(const QString& text, int32_t current);

  private:
    friend class DeviceJob;

    void _threadEnded();
    void _runAndWait(std::function<void()> then);
    void _drainInterruption();

    int _interruption[2] = {-1, -1}; // a pipe: a byte in it interrupts the link
    std::atomic<bool> _cancelled{false};
    // The handshake of reportAndWait(): how many of the job's waited reports the window has run.
    std::mutex _mutex;
    std::condition_variable _windowRan;
    uint64_t _waitedReports = 0;
    uint64_t _ranReports = 0;
    QThread* _thread = nullptr;
    std::shared_ptr<link::TavrelSocket> _socket;
};

} // namespace tavrel::app
