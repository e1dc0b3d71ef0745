// The Open File and Save File commands and the vg2 register file.
#include "AppController.h"
#include "FileErrorAlert.h"
#include "FilePanel.h"
#include "RegisterEditor.h"
#include "RegisterFile.h"
#include "RegisterTableModel.h"

#include <QFileInfo>
#include <QMainWindow>
#include <QTimer>
#include <QUndoStack>

namespace tavrel::app {

using files::readRegisterFile;
using files::RegisterCollection;
using files::writeRegisterFile;
using records::TavrelError;

namespace {

constexpr const char* RegisterFileSuffix = "vg2";

} // namespace

void AppController::openVg2File() {
    _askToSaveChanges([this] { _showOpenPanel(); });
}

void AppController::_showOpenPanel() {
    _filePanel = beginFilePanel(
        mainWindow, QFileDialog::AcceptOpen, tr("Open Register File"), RegisterFileSuffix,
        tr("VRG-500 register files"), QString(),
        [this](int returnCode, const QString& path) { openPanelDidEnd(returnCode, path); });
}

void AppController::openPanelDidEnd(int returnCode, const QString& path) {
    if (returnCode != 1) {
        return;
    }
    // Remembered before the file is read, so a failed load still names it.
    filename = QFileInfo(path).fileName();
    QTimer::singleShot(0, this, [this, path] { _processVg2File(path); });
}

void AppController::saveVg2File() {
    _filePanel = beginFilePanel(
        mainWindow, QFileDialog::AcceptSave, tr("Save Register File"), RegisterFileSuffix,
        tr("VRG-500 register files"), filename,
        [this](int returnCode, const QString& path) { savePanelDidEnd(returnCode, path); });
}

void AppController::savePanelDidEnd(int returnCode, const QString& path) {
    if (returnCode != 1) {
        _afterSave = nullptr;
        return;
    }
    filename = QFileInfo(path).fileName();
    _exportVg2File(path);
}

void AppController::_processVg2File(const QString& path) {
    RegisterCollection registers;
    TavrelError error;
    if (!readRegisterFile(localFilePath(path), &registers, &error)) {
        showFileError(*this, error);
        return;
    }
    _editor->replaceAll(std::move(registers), tr("Open %1").arg(QFileInfo(path).fileName()));
    // The table is the file's now.
    _editor->undoStack()->setClean();
    _documentName = QFileInfo(path).fileName();
    _updateWindowTitle();
    validateActions();
}

void AppController::_exportVg2File(const QString& path) {
    TavrelError error;
    std::function<void()> afterSave = std::exchange(_afterSave, nullptr);
    if (!writeRegisterFile(localFilePath(path), _tableModel->registers(), &error)) {
        showFileError(*this, error);
        return;
    }
    // Clears the window's edited mark.
    _editor->undoStack()->setClean();
    mainWindow->setWindowModified(false);
    _documentName = QFileInfo(path).fileName();
    _updateWindowTitle();
    if (afterSave) {
        QTimer::singleShot(0, this, afterSave);
    }
}

} // namespace tavrel::app
