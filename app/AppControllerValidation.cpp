// Enabling of the commands: two facts decide, whether a serial port is selected and whether the
// register collection holds any register; Save also follows unsaved changes.
#include "AppController.h"
#include "RegisterTableModel.h"

#include <QAction>
#include <QComboBox>

namespace tavrel::app {

bool AppController::_portSelected() const {
    // Port items carry their device path; "Other Port…" carries none.
    const int index = serialPopUpButton->currentIndex();
    return index >= 0 && !serialPopUpButton->itemData(index).toString().isEmpty();
}

bool AppController::_registersLoaded() const {
    return !_tableModel->registers().empty();
}

bool AppController::_canSave() const {
    return _registersLoaded() || _hasUnsavedChanges();
}

bool AppController::validateToolbarItem(const QString& itemIdentifier) const {
    if (itemIdentifier == DownloadRegistersToolbarItemIdentifier ||
        itemIdentifier == DownloadMenuSettingsToolbarItemIdentifier ||
        itemIdentifier == UploadMenuSettingsToolbarItemIdentifier) {
        return _portSelected();
    }
    if (itemIdentifier == UploadRegistersToolbarItemIdentifier) {
        return _portSelected() && _registersLoaded();
    }
    if (itemIdentifier == SaveFileToolbarItemIdentifier) {
        return _canSave();
    }
    // Every other item's action is one of the controller's commands.
    return true;
}

bool AppController::validateMenuItem(const QAction* action) const {
    if (action == downloadRegistersAction || action == downloadMenuSettingsAction ||
        action == uploadMenuSettingsAction) {
        return _portSelected();
    }
    if (action == uploadRegistersAction) {
        return _portSelected() && _registersLoaded();
    }
    if (action == saveAction || action == saveAsAction) {
        return _canSave();
    }
    return true;
}

void AppController::validateActions() {
    // The toolbar and the menus share one action per command, so the two rule tables (which
    // agree) decide the same switch.
    for (QAction* action :
         {openAction, saveAction, saveAsAction, quitAction, downloadRegistersAction,
          uploadRegistersAction, downloadMenuSettingsAction, uploadMenuSettingsAction,
          showVersionAction, helpAction, aboutAction}) {
        QString identifier = toolbarItemIdentifier(action);
        action->setEnabled(identifier.isEmpty() ? validateMenuItem(action)
                                                : validateToolbarItem(identifier));
    }
    _validateEditActions();
    // The device's tools and the comparisons need a port and wait for a running transfer.
    const bool deviceIdle = _portSelected() && !_transferRunning();
    for (QAction* action :
         {compareAction, restoreSnapshotAction, deviceInformationAction, offsetRegistersAction}) {
        action->setEnabled(deviceIdle);
    }
}

} // namespace tavrel::app
