#include "TransferRunner.h"

#include "TavrelSocket.h"

#include <QMetaObject>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace tavrel::app {

bool DeviceJob::cancelled() const {
    return _runner.isCancelled();
}

void DeviceJob::report(std::function<void()> then) const {
    QMetaObject::invokeMethod(&_runner, std::move(then), Qt::QueuedConnection);
}

void DeviceJob::reportAndWait(std::function<void()> then) const {
    _runner._runAndWait(std::move(then));
}

void DeviceJob::showProgress(const QString& text, int32_t current) const {
    TransferRunner* runner = &_runner;
    reportAndWait([runner, text, current] { emit runner->progressed(text, current); });
}

TransferRunner::TransferRunner(QObject* parent) : QObject(parent) {
    if (::pipe2(_interruption, O_CLOEXEC | O_NONBLOCK) == -1) {
        _interruption[0] = _interruption[1] = -1;
    }
    // One window, one runner: every exchange of the process listens to this runner's Cancel.
    link::TavrelSocket::setInterruptionDescriptor(_interruption[0]);
}

TransferRunner::~TransferRunner() {
    if (_thread != nullptr) {
        cancel();
        _thread->wait();
        delete _thread;
        _thread = nullptr;
    }
    link::TavrelSocket::setInterruptionDescriptor(-1);
    for (const int fd : _interruption) {
        if (fd != -1) {
            ::close(fd);
        }
    }
}

bool TransferRunner::start(std::shared_ptr<link::TavrelSocket> socket, Work work) {
    if (_thread != nullptr || !socket) {
        return false;
    }
    _drainInterruption();
    _cancelled = false;
    _waitedReports = _ranReports = 0;
    _socket = std::move(socket);
    link::TavrelSocket& connection = *_socket;
    _thread = QThread::create([this, &connection, work = std::move(work)] {
        DeviceJob job(*this, connection);
        work(job);
    });
    connect(_thread, &QThread::finished, this, &TransferRunner::_threadEnded);
    _thread->start();
    return true;
}

void TransferRunner::cancel() {
    if (_thread == nullptr || _cancelled.exchange(true)) {
        return;
    }
    const char byte = 1;
    while (::write(_interruption[1], &byte, 1) == -1 && errno == EINTR) {
    }
    { const std::lock_guard<std::mutex> lock(_mutex); }
    _windowRan.notify_all(); // a job waiting for the window goes on, and sees the Cancel
}

// On the worker: posts `then` and waits until the window has run it, or until Cancel.
void TransferRunner::_runAndWait(std::function<void()> then) {
    uint64_t ticket = 0;
    {
        const std::lock_guard<std::mutex> lock(_mutex);
        ticket = ++_waitedReports;
    }
    QMetaObject::invokeMethod(
        this,
        [this, then = std::move(then)] {
            then();
            {
                const std::lock_guard<std::mutex> lock(_mutex);
                ++_ranReports;
            }
            _windowRan.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock<std::mutex> lock(_mutex);
    _windowRan.wait(lock, [this, ticket] { return _ranReports >= ticket || _cancelled.load(); });
}

bool TransferRunner::cancelAndWait(std::chrono::milliseconds timeout) {
    if (_thread == nullptr) {
        return true;
    }
    cancel();
    if (!_thread->wait(QDeadlineTimer(timeout.count()))) {
        return false;
    }
    _threadEnded();
    return true;
}

void TransferRunner::_threadEnded() {
    if (_thread == nullptr) {
        return; // already ended by cancelAndWait()
    }
    _thread->wait();
    _thread->deleteLater();
    _thread = nullptr;
    _socket.reset(); // on this thread: the link's registry of open ports lives here
    _drainInterruption();
    emit finished();
}

void TransferRunner::_drainInterruption() {
    char bytes[16];
    while (::read(_interruption[0], bytes, sizeof bytes) > 0) {
    }
}

} // namespace tavrel::app
