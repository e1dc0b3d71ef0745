// Menu settings transfers between the device and vgs files.
#include "AppController.h"
#include "FileError.h"
#include "FileErrorAlert.h"
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
    // Held until this returns, so the export's own lookup finds the same open connection.
    std::shared_ptr<TavrelSocket> socket = _getSocket();
    if (!socket) {
        _showError(nullptr);
        return;
    }
    std::string version;
    TavrelError error;
    if (!socket->deviceVersion(&version, &error)) {
        _showError(&error);
        return;
    }
    error = TavrelError{};
    if (!_exportVgsFile(path, version, &error)) {
        // An export that found no connection leaves the error empty: the generic alert.
        if (error.description.empty()) {
            _showError(nullptr);
        } else {
            showFileError(*this, error);
        }
        return;
    }
    _beginAlertSheet("Download VRG-500 Menu Settings", "Download complete.", false);
}

bool AppController::_exportVgsFile(const QString& path, const std::string& version,
                                   TavrelError* error) {
    if (!checkMenuSettingsVersion(version, error)) {
        return false;
    }
    std::shared_ptr<TavrelSocket> socket = _getSocket();
    if (!socket) {
        return false;
    }
    VRG500_menuData block{};
    if (!socket->menuData(&block, error)) {
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
    TavrelError error;
    const std::optional<VRG500_menuData> block = _processVgsFile(path, &fileVersion, &error);
    if (!block) {
        showFileError(*this, error);
        return;
    }
    std::shared_ptr<TavrelSocket> socket = _getSocket();
    if (!socket) {
        _showError(nullptr);
        return;
    }
    std::string deviceVersion;
    if (!socket->deviceVersion(&deviceVersion, &error)) {
        _showError(&error);
        return;
    }
    if (!checkMenuSettingsFileVersion(fileVersion, deviceVersion, &error)) {
        _beginAlertSheet(QString::fromLatin1(error.description),
                         QString::fromLatin1(error.recoverySuggestion.value_or(std::string())),
                         true);
        return;
    }
    if (!socket->setMenuData(*block, &error)) {
        _showError(&error);
        return;
    }
    _beginAlertSheet("Upload VRG-500 Menu Settings", "Upload complete.", false);
}

std::optional<VRG500_menuData>
AppController::_processVgsFile(const QString& path, std::string* version, TavrelError* error) {
    return readMenuSettingsFile(localFilePath(path), version, error);
}

} // namespace tavrel::app
