// Menu settings transfers between the device and vgs files.
#include "AppController.h"
#include "DeviceJobs.h"
#include "FileError.h"
#include "FilePanel.h"
#include "MenuSettingsFile.h"

#include <QFileInfo>
#include <QMainWindow>
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

} // namespace

// ---- Download: device to file ------------------------------------------------------------------

void AppController::downloadMenuSettings() {
    _filePanel = beginFilePanel(
        mainWindow, QFileDialog::AcceptSave, tr("Save Menu Settings"), MenuSettingsSuffix,
        tr("VRG-500 menu settings"), proposedMenuSettingsFilename(),
        [this](int returnCode, const QString& path) { menuSavePanelDidEnd(returnCode, path); });
}

void AppController::menuSavePanelDidEnd(int returnCode, const QString& path) {
    if (returnCode != 1) {
        return;
    }
    QTimer::singleShot(0, this, [this, path] { completeMenuDownload(path); });
}

void AppController::completeMenuDownload(const QString& path) {
    rememberMenuSettingsFilename(path);
    _jobs->start([this, path](DeviceJob& job) {
        std::string version;
        TavrelError error;
        if (!job.socket().deviceVersion(&version, &error)) {
            job.report([this, error] { _showError(&error); });
            return;
        }
        error = TavrelError{};
        const bool exported = _exportVgsFile(job.socket(), path, version, &error);
        job.report([this, exported, error] {
            if (!exported) {
                _showError(&error);
                return;
            }
            _beginAlertSheet("Download VRG-500 Menu Settings", "Download complete.", false);
        });
    });
}

bool AppController::_exportVgsFile(TavrelSocket& socket, const QString& path,
                                   const std::string& version, TavrelError* error) {
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

// ---- Upload: file to device --------------------------------------------------------------------

void AppController::uploadMenuSettings() {
    _filePanel = beginFilePanel(
        mainWindow, QFileDialog::AcceptOpen, tr("Open Menu Settings"), MenuSettingsSuffix,
        tr("VRG-500 menu settings"), QString(),
        [this](int returnCode, const QString& path) { menuOpenPanelDidEnd(returnCode, path); });
}

void AppController::menuOpenPanelDidEnd(int returnCode, const QString& path) {
    if (returnCode != 1) {
        return;
    }
    QTimer::singleShot(0, this, [this, path] { completeMenuUpload(path); });
}

void AppController::completeMenuUpload(const QString& path) {
    rememberMenuSettingsFilename(path);
    std::string fileVersion;
    TavrelError fileError;
    const std::optional<VRG500_menuData> block = _processVgsFile(path, &fileVersion, &fileError);
    if (!block) {
        _showError(&fileError);
        return;
    }
    _jobs->start([this, block = *block, fileVersion](DeviceJob& job) {
        std::string deviceVersion;
        TavrelError error;
        if (!job.socket().deviceVersion(&deviceVersion, &error)) {
            job.report([this, error] { _showError(&error); });
            return;
        }
        if (!checkMenuSettingsFileVersion(fileVersion, deviceVersion, &error)) {
            job.report([this, error] { _showError(&error); });
            return;
        }
        const bool sent = job.socket().setMenuData(block, &error);
        job.report([this, sent, error] {
            if (!sent) {
                _showError(&error);
                return;
            }
            _beginAlertSheet("Upload VRG-500 Menu Settings", "Upload complete.", false);
        });
    });
}

std::optional<VRG500_menuData>
AppController::_processVgsFile(const QString& path, std::string* version, TavrelError* error) {
    return readMenuSettingsFile(localFilePath(path), version, error);
}

} // namespace tavrel::app
