#include "MenuSettingsTransfers.h"

#include "Alerts.h"
#include "DeviceJobs.h"
#include "FilePanel.h"
#include "MenuSettingsFile.h"
#include "TavrelSocket.h"

#include <QFileInfo>
#include <QSettings>
#include <QTimer>

namespace tavrel::app {

using files::checkMenuSettingsFileVersion;
using files::checkMenuSettingsVersion;
using files::readMenuSettingsFile;
using files::writeMenuSettingsFile;
using link::TavrelSocket;
using records::TavrelError;
using records::VRG500_menuData;

namespace {

constexpr const char* MenuSettingsSuffix = "vgs";
constexpr const char* DefaultMenuSettingsFilename = "Menu Settings.vgs";

void rememberMenuSettingsFilename(const QString& path) {
    QSettings().setValue(MenuSettingsFilenameKey, QFileInfo(path).fileName());
}

QString proposedMenuSettingsFilename() {
    const QString remembered = QSettings().value(MenuSettingsFilenameKey).toString();
    return remembered.isEmpty() ? QString(DefaultMenuSettingsFilename) : remembered;
}

// On the runner's worker, with the job's connection. `version` is the device's text, byte for byte
// (one byte per character).
bool exportMenuSettings(TavrelSocket& socket, const QString& path, const std::string& version,
                        TavrelError* error) {
    if (!checkMenuSettingsVersion(version, error)) {
        return false;
    }
    VRG500_menuData block{};
    if (!socket.menuData(&block, error)) {
        return false;
    }
    // Written through a temporary file: a failed write leaves an existing file as it was.
    return writeMenuSettingsFile(localFilePath(path), version, block, error);
}

} // namespace

MenuSettingsTransfers::MenuSettingsTransfers(DeviceJobs& jobs, Alerts& alerts, QWidget* window,
                                             QObject* parent)
    : QObject(parent), _jobs(jobs), _alerts(alerts), _window(window) {}

// ---- Download: device to file ------------------------------------------------------------------

void MenuSettingsTransfers::download() {
    beginFilePanel(_window, QFileDialog::AcceptSave, tr("Save Menu Settings"), MenuSettingsSuffix,
                   tr("VRG-500 menu settings"), proposedMenuSettingsFilename(),
                   [this](int returnCode, const QString& path) {
                       if (returnCode == 1) {
                           QTimer::singleShot(0, this, [this, path] { downloadTo(path); });
                       }
                   });
}

void MenuSettingsTransfers::downloadTo(const QString& path) {
    rememberMenuSettingsFilename(path);
    _jobs.start([this, path](DeviceJob& job) {
        std::string version;
        TavrelError error;
        if (!job.socket().deviceVersion(&version, &error)) {
            job.report([this, error] { _alerts.showError(error); });
            return;
        }
        error = TavrelError{};
        const bool exported = exportMenuSettings(job.socket(), path, version, &error);
        job.report([this, exported, error] {
            if (!exported) {
                _alerts.showError(error);
                return;
            }
            _alerts.show(tr("Download VRG-500 Menu Settings"), tr("Download complete."), false);
        });
    });
}

// ---- Upload: file to device --------------------------------------------------------------------

void MenuSettingsTransfers::upload() {
    beginFilePanel(_window, QFileDialog::AcceptOpen, tr("Open Menu Settings"), MenuSettingsSuffix,
                   tr("VRG-500 menu settings"), QString(),
                   [this](int returnCode, const QString& path) {
                       if (returnCode == 1) {
                           QTimer::singleShot(0, this, [this, path] { uploadFrom(path); });
                       }
                   });
}

void MenuSettingsTransfers::uploadFrom(const QString& path) {
    rememberMenuSettingsFilename(path);
    std::string fileVersion;
    TavrelError fileError;
    const std::optional<VRG500_menuData> block =
        readMenuSettingsFile(localFilePath(path), &fileVersion, &fileError);
    if (!block) {
        _alerts.showError(fileError);
        return;
    }
    _jobs.start([this, block = *block, fileVersion](DeviceJob& job) {
        std::string deviceVersion;
        TavrelError error;
        if (!job.socket().deviceVersion(&deviceVersion, &error)) {
            job.report([this, error] { _alerts.showError(error); });
            return;
        }
        if (!checkMenuSettingsFileVersion(fileVersion, deviceVersion, &error)) {
            job.report([this, error] { _alerts.showError(error); });
            return;
        }
        const bool sent = job.socket().setMenuData(block, &error);
        job.report([this, sent, error] {
            if (!sent) {
                _alerts.showError(error);
                return;
            }
            _alerts.show(tr("Upload VRG-500 Menu Settings"), tr("Upload complete."), false);
        });
    });
}

// ---- A file given to the window ----------------------------------------------------------------

void MenuSettingsTransfers::explainFile(const QString& path) {
    const QString text = tr("%1 holds a VRG-500's menu settings. To send them to the device, "
                            "choose its port, then Upload Menu Settings... in the Device menu.")
                             .arg(QFileInfo(path).fileName());
    // Once the window is up, and outside whatever handed the file over (a drop).
    QTimer::singleShot(0, this, [this, text] { _alerts.show(text, QString(), false); });
}

} // namespace tavrel::app
