// Enabling of the commands: the facts of the moment, put to the one table of CommandEnabling.h,
// for the toolbar's items, the menus' and the context menu's alike.
#include "AppController.h"
#include "RegisterEditor.h"
#include "RegisterTableModel.h"
#include "RegisterTableView.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QUndoStack>

namespace tavrel::app {

bool AppController::_registersLoaded() const {
    return !_tableModel->registers().empty();
}

bool AppController::_canSave() const {
    return commandEnabled(Command::Save, _commandState());
}

CommandState AppController::_commandState() const {
    CommandState state;
    state.portSelected = _ports->portSelected();
    state.jobRunning = _transferRunning();
    state.registersLoaded = _registersLoaded();
    state.unsavedChanges = _hasUnsavedChanges();
    state.selection = registerTable->selectionModel()->hasSelection();
    const QModelIndex current = registerTable->currentIndex();
    state.onField = current.isValid() && RegisterTableModel::machineOfColumn(current.column()) >= 0;
    state.canUndo = _editor->undoStack()->canUndo();
    state.canRedo = _editor->undoStack()->canRedo();
    return state;
}

std::vector<std::pair<QAction*, Command>> AppController::_commandActions() const {
    return {{openAction, Command::Open},
            {saveAction, Command::Save},
            {saveAsAction, Command::SaveAs},
            {quitAction, Command::Quit},
            {choosePortAction, Command::ChoosePort},
            {downloadRegistersAction, Command::DownloadRegisters},
            {uploadRegistersAction, Command::UploadRegisters},
            {downloadMenuSettingsAction, Command::DownloadMenuSettings},
            {uploadMenuSettingsAction, Command::UploadMenuSettings},
            {showVersionAction, Command::ShowVersion},
            {helpAction, Command::Help},
            {aboutAction, Command::About},
            {undoAction, Command::Undo},
            {redoAction, Command::Redo},
            {cutAction, Command::Cut},
            {copyAction, Command::Copy},
            {copyFieldAction, Command::CopyField},
            {pasteAction, Command::Paste},
            {deleteAction, Command::Delete},
            {insertRegisterAction, Command::InsertRegister},
            {duplicateAction, Command::Duplicate},
            {goToRegisterAction, Command::GoToRegister},
            {selectAllAction, Command::SelectAll},
            {compareAction, Command::Compare},
            {restoreSnapshotAction, Command::RestoreSnapshot},
            {safeUploadAction, Command::SafeUpload},
            {deviceInformationAction, Command::DeviceInformation},
            {offsetRegistersAction, Command::OffsetRegisters}};
}

bool AppController::validateToolbarItem(const QString& itemIdentifier) const {
    for (const auto& [action, command] : _commandActions()) {
        if (toolbarItemIdentifier(action) == itemIdentifier) {
            return commandEnabled(command, _commandState());
        }
    }
    return true;
}

bool AppController::validateMenuItem(const QAction* action) const {
    for (const auto& [commandAction, command] : _commandActions()) {
        if (commandAction == action) {
            return commandEnabled(command, _commandState());
        }
    }
    return true;
}

void AppController::validateActions() {
    // The toolbar and the menus share one action per command.
    const CommandState state = _commandState();
    for (const auto& [action, command] : _commandActions()) {
        action->setEnabled(commandEnabled(command, state));
    }
    frameRateActions->setEnabled(commandEnabled(Command::FrameRate, state));
    const QUndoStack* stack = _editor->undoStack();
    undoAction->setText(stack->canUndo() ? tr("Undo %1").arg(stack->undoText()) : tr("Undo"));
    redoAction->setText(stack->canRedo() ? tr("Redo %1").arg(stack->redoText()) : tr("Redo"));
}

} // namespace tavrel::app
