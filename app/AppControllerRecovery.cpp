// Unsaved registers survive whatever ends the process: a copy is kept a moment after each change
// while the table has unsaved changes (RegisterDocument, RecoveryCopy), and a start offers back the
// copies of windows that ended without saving.
#include "AppController.h"

#include "FilePanel.h"
#include "RecoveredRegisters.h"
#include "RecoveryCopy.h"
#include "RegisterDocument.h"
#include "RegisterEditor.h"
#include "RegisterFile.h"

#include <QDateTime>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace tavrel::app {

void AppController::offerRecoveredRegisters() {
    const std::vector<RecoveredRegisters> found =
        findRecoveredRegisters(_document->recoveryCopy().folder(), _document->recoveryCopy().key());
    if (found.empty()) {
        return;
    }
    const RecoveredRegisters copy = found.front();
    QMessageBox* box = _newAlertSheet(
        QMessageBox::Warning, recoveredRegistersTitle(copy, QDateTime::currentDateTime()),
        tr("Tavrel ended before they were saved. Restore opens them as unsaved changes; Discard "
           "deletes them; Later keeps them for the next start."));
    QPushButton* restore = box->addButton(tr("Restore"), QMessageBox::AcceptRole);
    QPushButton* discard = box->addButton(tr("Discard"), QMessageBox::DestructiveRole);
    QPushButton* later = box->addButton(tr("Later"), QMessageBox::RejectRole);
    box->setDefaultButton(restore);
    box->setEscapeButton(later);
    connect(box, &QMessageBox::finished, this, [this, box, restore, discard, copy](int) {
        if (box->clickedButton() == restore) {
            QTimer::singleShot(0, this, [this, copy] { _restoreRecovered(copy); });
        } else if (box->clickedButton() == discard) {
            discardRecoveredRegisters(copy);
            QTimer::singleShot(0, this, [this] { offerRecoveredRegisters(); });
        }
    });
    box->open();
}

void AppController::_restoreRecovered(const RecoveredRegisters& copy) {
    _askToSaveChanges([this, copy] {
        files::RegisterCollection registers;
        records::TavrelError error;
        if (!files::readRegisterFile(localFilePath(copy.path), &registers, &error)) {
            _showError(&error);
            return;
        }
        // The registers are the document's unsaved changes again, an undoable step like Open.
        const QString before = _document->path();
        const QString origin = copy.origin;
        _editor->replaceAll(
            std::move(registers), tr("Restore Unsaved Registers"),
            [this, before, origin](bool redone) { _document->setPath(redone ? origin : before); });
        _document->setPath(origin);
        discardRecoveredRegisters(copy); // this window keeps its own copy from now on
        validateActions();
        QTimer::singleShot(0, this, [this] { offerRecoveredRegisters(); });
    });
}

} // namespace tavrel::app
