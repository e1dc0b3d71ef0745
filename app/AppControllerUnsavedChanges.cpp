// Nothing lost: the window title names the register file and marks unsaved changes, and every
// way of losing them (closing or quitting, opening a file, downloading) asks first. A signal
// quits without asking, as Ctrl+C and logging out must always work: unsaved registers then go
// to a recovery file, whose path is logged.
#include "AppController.h"

#include "RegisterEditor.h"
#include "RegisterFile.h"
#include "RegisterTableModel.h"
#include "TavrelLog.h"

#include <QDateTime>
#include <QDir>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QUndoStack>

namespace tavrel::app {

using records::tavrelLog;

bool AppController::_hasUnsavedChanges() const {
    return !_editor->undoStack()->isClean();
}

void AppController::_updateWindowTitle() {
    const QString name = _documentName.isEmpty() ? tr("Untitled") : _documentName;
    mainWindow->setWindowTitle(QString("%1[*] \u2014 Tavrel").arg(name));
}

void AppController::_askToSaveChanges(std::function<void()> then) {
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

QString AppController::_writeRecoveryFile() {
    const QString folder =
        QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
            .filePath("Recovered");
    const QString name = QString("Unsaved registers %1.vg2")
                             .arg(QDateTime::currentDateTime().toString("yyyy-MM-dd hh.mm.ss"));
    const QString path = QDir(folder).filePath(name);
    records::TavrelError error;
    if (!QDir().mkpath(folder) || !files::writeRegisterFile(QFile::encodeName(path).toStdString(),
                                                            _tableModel->registers(), &error)) {
        tavrelLog("Unsaved registers could not be kept: %s",
                  error.failureReason.value_or(error.description).c_str());
        return {};
    }
    return path;
}

void AppController::terminate() {
    if (_hasUnsavedChanges()) {
        const QString path = _writeRecoveryFile();
        if (!path.isEmpty()) {
            tavrelLog("Unsaved registers were kept in %s", path.toLocal8Bit().constData());
        }
    }
    _closeConfirmed = true;
    mainWindow->close();
}

} // namespace tavrel::app
