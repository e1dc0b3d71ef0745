#include "RecoveryOffers.h"

#include "Alerts.h"

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

RecoveryOffers::RecoveryOffers(const Parts& parts, QObject* parent)
    : QObject(parent), _parts(parts) {}

void RecoveryOffers::offer() {
    const RecoveryCopy& own = _parts.document.recoveryCopy();
    const std::vector<RecoveredRegisters> found = findRecoveredRegisters(own.folder(), own.key());
    if (found.empty()) {
        return;
    }
    const RecoveredRegisters copy = found.front();
    QMessageBox* box = _parts.alerts.make(
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
            QTimer::singleShot(0, this, [this, copy] { _restore(copy); });
        } else if (box->clickedButton() == discard) {
            discardRecoveredRegisters(copy);
            QTimer::singleShot(0, this, [this] { offer(); });
        }
    });
    box->open();
}

void RecoveryOffers::_restore(const RecoveredRegisters& copy) {
    _parts.askToSaveChanges([this, copy] {
        files::RegisterCollection registers;
        records::TavrelError error;
        if (!files::readRegisterFile(localFilePath(copy.path), &registers, &error)) {
            _parts.alerts.showError(error);
            return;
        }
        // The registers are the document's unsaved changes again, an undoable step like Open.
        const QString before = _parts.document.path();
        const QString origin = copy.origin;
        _parts.editor.replaceAll(std::move(registers), tr("Restore Unsaved Registers"),
                                 [this, before, origin](bool redone) {
                                     _parts.document.setPath(redone ? origin : before);
                                 });
        _parts.document.setPath(origin);
        discardRecoveredRegisters(copy); // this window keeps its own copy from now on
        QTimer::singleShot(0, this, [this] { offer(); });
    });
}

} // namespace tavrel::app
