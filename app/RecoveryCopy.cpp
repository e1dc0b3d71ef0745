#include "RecoveryCopy.h"

#include "AtomicFile.h"
#include "FilePanel.h"
#include "RegisterFile.h"
#include "TavrelLog.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace tavrel::app {

using link::tavrelLog;

RecoveryCopy::RecoveryCopy(QString folder)
    : _folder(std::move(folder)), _key(QString("%1-%2")
                                           .arg(QCoreApplication::applicationPid())
                                           .arg(QDateTime::currentSecsSinceEpoch())),
      _worker([this] { _run(); }) {}

RecoveryCopy::~RecoveryCopy() {
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _stopping = true;
    }
    _changed.notify_all();
    _worker.join();
    if (_lockFd >= 0) {
        ::close(_lockFd);
        ::unlink(localFilePath(lockPath(_folder, _key)).c_str());
    }
}

QString RecoveryCopy::lockPath(const QString& folder, const QString& key) {
    return QDir(folder).filePath(QString(".unsaved %1.lock").arg(key));
}

void RecoveryCopy::keep(files::RegisterCollection registers, const QString& documentPath) {
    const QString name =
        documentPath.isEmpty() ? QString("Untitled") : QFileInfo(documentPath).completeBaseName();
    Job job{false, std::move(registers), QString("%1 (unsaved %2)").arg(name, _key), documentPath};
    {
        std::lock_guard<std::mutex> lock(_mutex);
        // Only the newest registers matter: a copy not yet begun is replaced.
        if (!_jobs.empty() && !_jobs.back().remove) {
            _jobs.back() = std::move(job);
        } else {
            _jobs.push_back(std::move(job));
        }
    }
    _changed.notify_all();
}

void RecoveryCopy::remove() {
    {
        std::lock_guard<std::mutex> lock(_mutex);
        // Nothing kept and nothing on its way: no work for the writer (a clean table's every
        // change of the undo history comes here).
        if (_jobs.empty() && !_busy && _kept.isEmpty()) {
            return;
        }
        _jobs.clear();
        _jobs.push_back(Job{true, {}, {}, {}});
    }
    _changed.notify_all();
}

void RecoveryCopy::flush() {
    std::unique_lock<std::mutex> lock(_mutex);
    _changed.wait(lock, [this] { return _jobs.empty() && !_busy; });
}

QString RecoveryCopy::path() const {
    std::lock_guard<std::mutex> lock(_mutex);
    return _kept.isEmpty() ? QString() : QDir(_folder).filePath(_kept + ".vg2");
}

void RecoveryCopy::_run() {
    std::unique_lock<std::mutex> lock(_mutex);
    for (;;) {
        _changed.wait(lock, [this] { return _stopping || !_jobs.empty(); });
        if (_jobs.empty()) {
            return; // stopping, with everything done
        }
        Job job = std::move(_jobs.front());
        _jobs.pop_front();
        _busy = true;
        lock.unlock();
        if (job.remove) {
            QString kept;
            {
                std::lock_guard<std::mutex> guard(_mutex);
                kept = std::exchange(_kept, QString());
            }
            if (!kept.isEmpty()) {
                _removeFiles(kept);
            }
        } else {
            _write(job);
        }
        lock.lock();
        _busy = false;
        _changed.notify_all();
    }
}

void RecoveryCopy::_write(const Job& job) {
    records::TavrelError error;
    const QString base = QDir(_folder).filePath(job.base);
    // The origin first: a copy is never there without the name of what it belongs to.
    const std::string origin = job.origin.toUtf8().toStdString();
    files::AtomicFileWriter originFile(localFilePath(base + ".origin"));
    if (!QDir().mkpath(_folder) || !_lock() || !originFile.open(&error) ||
        !originFile.write(origin, &error) || !originFile.commit(&error) ||
        !files::writeExactRegisterFile(localFilePath(base + ".vg2"), job.registers, &error)) {
        tavrelLog("Unsaved registers could not be kept in %s: %s",
                  localFilePath(base + ".vg2").c_str(),
                  error.failureReason.value_or(error.description).c_str());
        return;
    }
    QString previous;
    {
        std::lock_guard<std::mutex> guard(_mutex);
        previous = std::exchange(_kept, job.base);
    }
    if (!previous.isEmpty() && previous != job.base) {
        _removeFiles(previous); // the document was renamed
    }
}

void RecoveryCopy::_removeFiles(const QString& base) {
    const QString path = QDir(_folder).filePath(base);
    for (const char* extension : {".vg2", ".origin"}) {
        ::unlink(localFilePath(path + extension).c_str());
    }
}

bool RecoveryCopy::_lock() {
    if (_lockFd >= 0) {
        return true;
    }
    const std::string path = localFilePath(lockPath(_folder, _key));
    _lockFd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (_lockFd >= 0 && ::flock(_lockFd, LOCK_EX | LOCK_NB) != 0) {
        ::close(_lockFd);
        _lockFd = -1;
    }
    return _lockFd >= 0;
}

} // namespace tavrel::app
