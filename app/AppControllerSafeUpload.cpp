// Never uploading blind: comparing the table with the device, uploading only the registers that
// differ, and keeping what an upload overwrites as a snapshot that can be restored.
#include "AppController.h"

#include <QAction>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace tavrel::app {

struct upload_plan {};

bool AppController::_safeUploadEnabled() const {
    return QSettings().value(SafeUploadKey, true).toBool();
}

void AppController::selectSafeUpload(bool on) {
    QSettings().setValue(SafeUploadKey, on);
}

QString AppController::_snapshotFolder() const {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
        .filePath("Snapshots");
}

void AppController::compareWithDevice() {}
void AppController::restoreSnapshot() {}

} // namespace tavrel::app
