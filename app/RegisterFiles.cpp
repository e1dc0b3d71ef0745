#include "RegisterFiles.h"

#include "Alerts.h"
#include "FilePanel.h"
#include "RegisterDocument.h"
#include "RegisterEditor.h"
#include "RegisterFile.h"
#include "RegisterTableModel.h"

#include <QAction>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>
#include <QUndoStack>

#include <utility>

namespace tavrel::app {

using files::readRegisterFile;
using files::RegisterCollection;
using files::writeRegisterFile;
using records::TavrelError;

namespace {

constexpr const char* RegisterFileSuffix = "vg2";

} // namespace

RegisterFiles::RegisterFiles(RegisterDocument& document, RegisterEditor& editor,
                             RegisterTableModel& table, Alerts& alerts, QWidget* window,
                             QAction& saveAction, CommitOpenField commitOpenField, QObject* parent)
    : QObject(parent), _document(document), _editor(editor), _table(table), _alerts(alerts),
      _window(window), _saveAction(saveAction), _commitOpenField(std::move(commitOpenField)) {
    connect(&_document, &RegisterDocument::pathChanged, this, &RegisterFiles::documentPathChanged);
}

// ---- Unsaved changes ---------------------------------------------------------------------------

void RegisterFiles::askToSaveChanges(std::function<void()> then) {
    // What is being typed counts as a change, and a refused value stops the command.
    if (!_commitOpenField()) {
        return;
    }
    _document.askToSaveChanges(
        [this](const QString& text, const QString& informativeText) {
            return _alerts.make(QMessageBox::Warning, text, informativeText);
        },
        [this](std::function<void()> after) { saveThen(std::move(after)); }, std::move(then));
}

// ---- Open --------------------------------------------------------------------------------------

void RegisterFiles::open() {
    askToSaveChanges([this] { showOpenPanel(); });
}

void RegisterFiles::open(const QString& path) {
    askToSaveChanges([this, path] { openFile(path); });
}

void RegisterFiles::showOpenPanel() {
    beginFilePanel(
        _window, QFileDialog::AcceptOpen, tr("Open Register File"), RegisterFileSuffix,
        tr("VRG-500 register files"), QString(),
        [this](int returnCode, const QString& path) {
            if (returnCode == 1) {
                openFile(path);
            }
        },
        _document.path());
}

void RegisterFiles::openFile(const QString& path) {
    QTimer::singleShot(0, this, [this, path] { readFile(path); });
}

void RegisterFiles::readFile(const QString& path) {
    RegisterCollection registers;
    TavrelError error;
    // A file that cannot be read changes neither the table nor the file it is of.
    if (!readRegisterFile(localFilePath(path), &registers, &error)) {
        _alerts.showError(error);
        return;
    }
    const QString before = _document.path();
    const QString opened = QFileInfo(path).absoluteFilePath();
    // Undoing the Open gives the table back to the file it was of, and redoing it to this one.
    _editor.replaceAll(std::move(registers), tr("Open %1").arg(QFileInfo(path).fileName()),
                       [document = &_document, before, opened](bool redone) {
                           document->setPath(redone ? opened : before);
                       });
    // The table is the file's now.
    _editor.undoStack()->setClean();
    _document.setPath(opened);
    emit this->opened(opened);
}

// ---- New and Close -----------------------------------------------------------------------------

void RegisterFiles::newDocument() {
    askToSaveChanges([this] { emptyTable(tr("New")); });
}

void RegisterFiles::closeDocument() {
    askToSaveChanges([this] { emptyTable(tr("Close")); });
}

void RegisterFiles::emptyTable(const QString& stepText) {
    const QString before = _document.path();
    // An empty untitled table is one already: no step that changes nothing.
    if (before.isEmpty() && _table.registers().empty()) {
        return;
    }
    _editor.replaceAll(RegisterCollection(), stepText,
                       [document = &_document, before](bool redone) {
                           document->setPath(redone ? QString() : before);
                       });
    _editor.undoStack()->setClean();
    _document.setPath(QString());
}

// ---- Save --------------------------------------------------------------------------------------

void RegisterFiles::save() {
    if (!_commitOpenField()) {
        _afterSave = nullptr;
        return;
    }
    if (_document.path().isEmpty()) {
        saveAs();
        return;
    }
    saveTo(_document.path());
}

void RegisterFiles::saveThen(std::function<void()> then) {
    _afterSave = std::move(then);
    save();
}

void RegisterFiles::saveAs() {
    if (!_commitOpenField()) {
        _afterSave = nullptr;
        return;
    }
    beginFilePanel(
        _window, QFileDialog::AcceptSave, tr("Save Register File"), RegisterFileSuffix,
        tr("VRG-500 register files"), _document.fileName(),
        [this](int returnCode, const QString& path) {
            if (returnCode != 1) {
                _afterSave = nullptr;
                return;
            }
            saveTo(path);
        },
        _document.path());
}

void RegisterFiles::saveTo(const QString& path) {
    TavrelError error;
    std::function<void()> afterSave = std::exchange(_afterSave, nullptr);
    if (!writeRegisterFile(localFilePath(path), _table.registers(), &error)) {
        _alerts.showError(error);
        return;
    }
    // Clears the window's edited mark.
    _editor.undoStack()->setClean();
    _window->setWindowModified(false);
    _document.setPath(path);
    emit saved(path);
    if (afterSave) {
        QTimer::singleShot(0, this, afterSave);
    }
}

void RegisterFiles::documentPathChanged() {
    // Save asks for a file only while the table has none.
    _saveAction.setText(_document.path().isEmpty() ? tr("Save...") : tr("Save"));
}

} // namespace tavrel::app
