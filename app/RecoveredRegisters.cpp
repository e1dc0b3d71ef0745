#include "RecoveredRegisters.h"

#include "FilePanel.h"
#include "RecoveryCopy.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace tavrel::app {

namespace {

// The window key in "NAME (unsaved KEY).vg2", empty when the name is not of that form.
QString keyOf(const QString& fileName) {
    const QString marker = " (unsaved ";
    const qsizetype at = fileName.lastIndexOf(marker);
    if (at < 0 || !fileName.endsWith(").vg2")) {
        return {};
    }
    return fileName.mid(at + marker.size(), fileName.size() - at - marker.size() - 5);
}

// Whether a window still holds the lock of `key`: its copies are its own.
bool windowAlive(const QString& folder, const QString& key) {
    const int fd =
        ::open(localFilePath(RecoveryCopy::lockPath(folder, key)).c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    return held;
}

QString originOf(const QString& copy) {
    QFile file(copy.chopped(4) + ".origin");
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

std::vector<RecoveredRegisters> findRecoveredRegisters(const QString& folder,
                                                       const QString& ownKey) {
    std::vector<RecoveredRegisters> found;
    const QFileInfoList files =
        QDir(folder).entryInfoList({"*.vg2"}, QDir::Files | QDir::Hidden, QDir::Time);
    for (const QFileInfo& file : files) {
        const QString key = keyOf(file.fileName());
        if (key.isEmpty() || key == ownKey || windowAlive(folder, key)) {
            continue;
        }
        found.push_back(
            {file.absoluteFilePath(), originOf(file.absoluteFilePath()), file.lastModified(), key});
    }
    return found;
}

void discardRecoveredRegisters(const RecoveredRegisters& copy) {
    QFile::remove(copy.path);
    QFile::remove(copy.path.chopped(4) + ".origin");
    const QString folder = QFileInfo(copy.path).absolutePath();
    const QStringList others =
        QDir(folder).entryList({QString("* (unsaved %1).vg2").arg(copy.key)});
    if (others.isEmpty()) {
        QFile::remove(RecoveryCopy::lockPath(folder, copy.key));
    }
}

QString recoveredRegistersTitle(const RecoveredRegisters& copy, const QDateTime& now) {
    const QString from = copy.origin.isEmpty()
                             ? QCoreApplication::translate("tavrel::app::Recovery", "an untitled table")
                             : QFileInfo(copy.origin).fileName();
    const QDate day = copy.written.date();
    const QString time = copy.written.toString("hh:mm");
    QString when;
    if (day == now.date()) {
        when = QCoreApplication::translate("tavrel::app::Recovery", "%1 today").arg(time);
    } else if (day == now.date().addDays(-1)) {
        when = QCoreApplication::translate("tavrel::app::Recovery", "%1 yesterday").arg(time);
    } else {
        when = copy.written.toString("yyyy-MM-dd hh:mm");
    }
    return QCoreApplication::translate("tavrel::app::Recovery", "Unsaved registers from %1, %2").arg(from, when);
}

} // namespace tavrel::app
