// Enabling of the commands: the facts of the moment, put to the one table of CommandEnabling.h,
// for the toolbar's items, the menus' and the context menu's alike.
#include "AppController.h"

#include "DeviceJobs.h"
#include "MainToolbar.h"
#include "MainWindow.h"
#include "RegisterDocument.h"
#include "RegisterEditor.h"
#include "RegisterTableModel.h"
#include "RegisterTableView.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QUndoStack>

namespace tavrel::app {

CommandState AppController::_commandState() const {
    CommandState state;
    state.portSelected = _ports->portSelected();
    state.jobRunning = _jobs->running();
    state.registersLoaded = !_tableModel->registers().empty();
    state.unsavedChanges = _document->isModified();
    const RegisterTableView* table = _window->table();
    state.selection = table->selectionModel()->hasSelection();
    const QModelIndex current = table->currentIndex();
    state.onField = current.isValid() && RegisterTableModel::machineOfColumn(current.column()) >= 0;
    state.canUndo = _editor->undoStack()->canUndo();
    state.canRedo = _editor->undoStack()->canRedo();
    return state;
}

bool AppController::validateToolbarItem(const QString& itemIdentifier) const {
    for (const auto& [command, action] : _window->actions()) {
        if (MainToolbar::itemIdentifier(action) == itemIdentifier) {
            return commandEnabled(command, _commandState());
        }
    }
    return true;
}

bool AppController::validateMenuItem(const QAction* action) const {
    for (const auto& [command, commandAction] : _window->actions()) {
        if (commandAction == action) {
            return commandEnabled(command, _commandState());
        }
    }
    return true;
}

void AppController::validateActions() {
    // The toolbar and the menus share one action per command.
    _window->applyEnabling(_commandState());
    const QUndoStack* stack = _editor->undoStack();
    _window->nameUndoSteps(stack->canUndo() ? stack->undoText() : QString(),
                           stack->canRedo() ? stack->redoText() : QString());
}

} // namespace tavrel::app
