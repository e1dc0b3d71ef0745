// Nothing lost: the window title names the register file and marks unsaved changes, and every
// way of losing them (closing or quitting, opening a file, downloading) asks first. A signal
// quits without asking, as Ctrl+C and logging out must always work: unsaved registers then stay
// in their recovery copy (AppControllerRecovery.cpp), which the next start offers back.
#include "AppController.h"

#include "RegisterCellDelegate.h"
#include "RegisterEditor.h"
#include "RegisterTableModel.h"
#include "RegisterTableView.h"

#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QUndoStack>

namespace tavrel::app {

bool AppController::_hasUnsavedChanges() const {
    return !_editor->undoStack()->isClean();
}

void AppController::_updateWindowTitle() {
    const QString name = _documentName.isEmpty() ? tr("Untitled") : _documentName;
    mainWindow->setWindowTitle(QString("%1[*] \u2014 Tavrel").arg(name));
}

bool AppController::_commitOpenField() {
    return static_cast<RegisterCellDelegate*>(registerTable->itemDelegate())->commitOpenEditor();
}

void AppController::_askToSaveChanges(std::function<void()> then) {
    // What is being typed counts as a change, and a refused value stops the command.
    if (!_commitOpenField()) {
        return;
    }
    if (!_hasUnsavedChanges()) {
        then();
        return;
    }
    QMessageBox* box = _newAlertSheet(QMessageBox::Warning, tr("Save changes to the registers?"),
                                      tr("Your changes will be lost if you don't save them."));
    box->setStandardButtons(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    box->button(QMessageBox::Discard)->setText(tr("Don't Save"));
    box->setDefaultButton(QMessageBox::Save);
    box->setEscapeButton(QMessageBox::Cancel);
    connect(box, &QMessageBox::finished, this, [this, box, then = std::move(then)](int) {
        switch (box->standardButton(box->clickedButton())) {
        case QMessageBox::Save:
            // Goes on once the registers are saved; a cancelled panel or a failed save stops it.
            _afterSave = then;
            saveVg2File();
            break;
        case QMessageBox::Discard:
            then();
            break;
        default:
            break;
        }
    });
    box->open();
}

void AppController::terminate() {
    _terminating = true;
    _commitOpenField(); // what the table can take of it; a signal waits for no answer
    if (_hasUnsavedChanges()) {
        _keepRecoveryCopy(); // the newest edits too, not only those of the last copy
    }
    _closeConfirmed = true;
    mainWindow->close();
}

} // namespace tavrel::app
