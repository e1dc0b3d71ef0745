// Nothing lost: the window title names the register file and marks unsaved changes, and every
// way of losing them (closing or quitting, opening a file, downloading) asks first. A signal
// quits without asking, as Ctrl+C and logging out must always work: unsaved registers then stay
// in their recovery copy (AppControllerRecovery.cpp), which the next start offers back.
#include "AppController.h"

#include "FilePanel.h"
#include "RegisterCellDelegate.h"
#include "RegisterDocument.h"
#include "RegisterEditor.h"
#include "RegisterFiles.h"
#include "RegisterTableModel.h"
#include "RegisterTableView.h"
#include "TavrelLog.h"

#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QUndoStack>

namespace tavrel::app {

using link::tavrelLog;

bool AppController::_hasUnsavedChanges() const {
    return _document->isModified();
}

void AppController::_updateWindowTitle() {
    mainWindow->setWindowTitle(QString("%1[*] \u2014 Tavrel").arg(_document->title()));
}

bool AppController::_commitOpenField() {
    return static_cast<RegisterCellDelegate*>(registerTable->itemDelegate())->commitOpenEditor();
}

void AppController::_askToSaveChanges(std::function<void()> then) {
    // What is being typed counts as a change, and a refused value stops the command.
    if (!_commitOpenField()) {
        return;
    }
    _document->askToSaveChanges(
        [this](const QString& text, const QString& informativeText) {
            return _newAlertSheet(QMessageBox::Warning, text, informativeText);
        },
        [this](std::function<void()> after) { _registerFiles->saveThen(std::move(after)); },
        std::move(then));
}

void AppController::terminate() {
    _terminating = true;
    _commitOpenField(); // what the table can take of it; a signal waits for no answer
    const QString kept = _document->keepRecoveryCopyNow();
    if (!kept.isEmpty()) {
        tavrelLog("Unsaved registers were kept in %s", localFilePath(kept).c_str());
    }
    _closeConfirmed = true;
    mainWindow->close();
}

} // namespace tavrel::app
