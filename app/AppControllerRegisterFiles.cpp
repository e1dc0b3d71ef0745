// The Open File and Save File commands and the vg2 register file.
#include "AppController.h"
#include "FilePanel.h"
#include "RegisterDocument.h"
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
        [this](int returnCode, const QString& path) { openPanelDidEnd(returnCode, path); },
        _document->path());
}

void AppController::openPanelDidEnd(int returnCode, const QString& path) {
    if (returnCode != 1) {
        return;
    }
    QTimer::singleShot(0, this, [this, path] { _processVg2File(path); });
}

void AppController::saveVg2File() {
    if (!_commitOpenField()) {
        _afterSave = nullptr;
        return;
    }
    if (_document->path().isEmpty()) {
        saveVg2FileAs();
        return;
    }
    _exportVg2File(_document->path());
}

void AppController::saveVg2FileAs() {
    if (!_commitOpenField()) {
        _afterSave = nullptr;
        return;
    }
    _filePanel = beginFilePanel(
        mainWindow, QFileDialog::AcceptSave, tr("Save Register File"), RegisterFileSuffix,
        tr("VRG-500 register files"), _document->fileName(),
        [this](int returnCode, const QString& path) { savePanelDidEnd(returnCode, path); },
        _document->path());
}

void AppController::savePanelDidEnd(int returnCode, const QString& path) {
    if (returnCode != 1) {
        _afterSave = nullptr;
        return;
    }
    _exportVg2File(path);
}

void AppController::_documentPathChanged() {
    // Save asks for a file only while the table has none.
    saveAction->setText(_document->path().isEmpty() ? tr("Save...") : tr("Save"));
    _updateWindowTitle();
}

void AppController::_processVg2File(const QString& path) {
    RegisterCollection registers;
    TavrelError error;
    // A file that cannot be read changes neither the table nor the file it is of.
    if (!readRegisterFile(localFilePath(path), &registers, &error)) {
        _showError(&error);
        return;
    }
    const QString before = _document->path();
    const QString opened = QFileInfo(path).absoluteFilePath();
    // Undoing the Open gives the table back to the file it was of, and redoing it to this one.
    _editor->replaceAll(
        std::move(registers), tr("Open %1").arg(QFileInfo(path).fileName()),
        [this, before, opened](bool redone) { _document->setPath(redone ? opened : before); });
    // The table is the file's now.
    _editor->undoStack()->setClean();
    _document->setPath(opened);
    validateActions();
}

void AppController::_exportVg2File(const QString& path) {
    TavrelError error;
    std::function<void()> afterSave = std::exchange(_afterSave, nullptr);
    if (!writeRegisterFile(localFilePath(path), _tableModel->registers(), &error)) {
        _showError(&error);
        return;
    }
    // Clears the window's edited mark.
    _editor->undoStack()->setClean();
    mainWindow->setWindowModified(false);
    _document->setPath(path);
    if (afterSave) {
        QTimer::singleShot(0, this, afterSave);
    }
}

} // namespace tavrel::app
