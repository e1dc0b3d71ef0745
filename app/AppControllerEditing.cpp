// The Edit menu and the table's context menu: undo and redo, the clipboard, and registers as a
// whole (insert, delete, duplicate, go to). Every change goes through the register editor, so
// each is one undo step; the commands wait while a transfer runs.
#include "Alerts.h"
#include "AppController.h"
#include "DeviceJobs.h"
#include "EditCommands.h"
#include "ProgressSheet.h"

#include "RangeSheet.h"
#include "RegisterCellDelegate.h"
#include "RegisterClipboardText.h"
#include "RegisterEditor.h"
#include "RegisterLabelText.h"
#include "RegisterNumberDialog.h"
#include "RegisterTableModel.h"
#include "RegisterTableView.h"

#include <QAction>
#include <QActionGroup>
#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QUndoStack>

#include <algorithm>
#include <iterator>
#include <string>
#include <string_view>

namespace tavrel::app {

using files::ClipboardProblem;
using files::parseRegisterClipboard;
using files::RegisterClipboardLimit;
using files::RegisterCollection;
using records::FrameRate;
using records::frameRateFromName;
using records::frameRateName;
using records::RegisterEntry;

// ---- Construction ------------------------------------------------------------------------------

void AppController::_createEditActions() {
    undoAction = _makeAction(tr("Undo"), QKeySequence::Undo, &AppController::undo);
    redoAction = _makeAction(tr("Redo"), QKeySequence::Redo, &AppController::redo);
    cutAction = _makeAction(tr("Cut"), QKeySequence::Cut, &AppController::cutRegisters);
    copyAction = _makeAction(tr("Copy"), QKeySequence::Copy, &AppController::copyRegisters);
    copyFieldAction =
        _makeAction(tr("Copy Field"), QKeySequence("Ctrl+Shift+C"), &AppController::copyField);
    pasteAction = _makeAction(tr("Paste"), QKeySequence::Paste, &AppController::paste);
    deleteAction = _makeAction(tr("Delete"), QKeySequence::Delete, &AppController::deleteSelection);
    insertRegisterAction = _makeAction(tr("Insert Register..."), QKeySequence(Qt::Key_Insert),
                                       &AppController::insertRegister);
    duplicateAction = _makeAction(tr("Duplicate To..."), QKeySequence("Ctrl+Shift+R"),
                                  &AppController::duplicateRegisters);
    goToRegisterAction =
        _makeAction(tr("Go to Register..."), QKeySequence("Ctrl+G"), &AppController::goToRegister);
    selectAllAction =
        _makeAction(tr("Select All"), QKeySequence::SelectAll, &AppController::selectAllRegisters);

    frameRateActions = new QActionGroup(this);
    const FrameRate chosen =
        frameRateFromName(QSettings().value(FrameRateKey).toString().toStdString());
    for (const FrameRate rate :
         {FrameRate::WireLimits, FrameRate::Fps24, FrameRate::Fps25, FrameRate::Fps30}) {
        const QString name = QString::fromLatin1(frameRateName(rate));
        auto* action = new QAction(rate == FrameRate::WireLimits ? name : tr("%1 fps").arg(name),
                                   frameRateActions);
        action->setCheckable(true);
        action->setChecked(rate == chosen);
        action->setData(name);
        // The checked rate, however it became checked (the menu, an assistive technology, code).
        connect(action, &QAction::toggled, this, [this, action](bool checked) {
            if (checked) {
                selectFrameRate(action);
            }
        });
    }
    _editor->setFrameRate(chosen);

    QUndoStack* stack = _editor->undoStack();
    connect(stack, &QUndoStack::indexChanged, this, [this] { validateActions(); });
    connect(stack, &QUndoStack::cleanChanged, this, [this](bool clean) {
        mainWindow->setWindowModified(!clean);
        validateActions(); // Save follows unsaved changes
    });
    connect(_editor, &RegisterEditor::changesApplied, this,
            [this](const std::vector<int32_t>& numbers) {
                _edits->selectRegisters(numbers);
                validateActions();
            });
    connect(registerTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { validateActions(); });
    connect(registerTable->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { validateActions(); });

    auto* delegate = static_cast<RegisterCellDelegate*>(registerTable->itemDelegate());
    delegate->setFieldCommitter(
        [this](const QModelIndex& index, int line, const QString& text, QString* reason) {
            return _edits->commitField(index, line, text, reason);
        });
    registerTable->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(registerTable, &QWidget::customContextMenuRequested, this,
            &AppController::_showTableContextMenu);
}

QMenu* AppController::_createEditMenu() {
    QMenu* menu = mainWindow->menuBar()->addMenu(tr("&Edit"));
    menu->addActions({undoAction, redoAction});
    menu->addSeparator();
    menu->addActions({cutAction, copyAction, copyFieldAction, pasteAction, deleteAction});
    menu->addSeparator();
    menu->addActions({insertRegisterAction, duplicateAction, goToRegisterAction, selectAllAction});
    menu->addSeparator();
    QMenu* rates = menu->addMenu(tr("Frame Rate"));
    rates->addActions(frameRateActions->actions());
    connect(menu, &QMenu::aboutToShow, this, &AppController::validateActions);
    return menu;
}

void AppController::_showTableContextMenu(const QPoint& position) {
    // The menu acts on what was clicked. A register that is not selected is selected first, as
    // file managers do; below the rows there is no register, and nothing stays selected or
    // current for the menu to act on out of sight.
    QItemSelectionModel* selection = registerTable->selectionModel();
    const QModelIndex clicked = registerTable->indexAt(position);
    if (!clicked.isValid()) {
        selection->clear();
    } else if (!selection->isRowSelected(clicked.row(), {})) {
        selection->setCurrentIndex(clicked, QItemSelectionModel::NoUpdate);
        _edits->selectRegisters(
            {_tableModel->registers().numberAt(static_cast<size_t>(clicked.row()))});
    }
    validateActions();
    QMenu menu(registerTable);
    menu.addActions({cutAction, copyAction, copyFieldAction, pasteAction, deleteAction});
    menu.addSeparator();
    menu.addActions({insertRegisterAction, duplicateAction});
    menu.addSeparator();
    QAction* compare =
        menu.addAction(tr("Compare with Device"), this, &AppController::compareSelectedWithDevice);
    compare->setEnabled(commandEnabled(Command::CompareSelected, _commandState()));
    menu.exec(registerTable->viewport()->mapToGlobal(position));
}

// ---- Enabling ----------------------------------------------------------------------------------

bool AppController::_transferRunning() const {
    return _jobs->running();
}

// ---- The commands, handed on ----------------------------------------------------------------

void AppController::undo() {
    _edits->undo();
}

void AppController::redo() {
    _edits->redo();
}

void AppController::cutRegisters() {
    _edits->cutRegisters();
}

void AppController::copyRegisters() {
    _edits->copyRegisters();
}

void AppController::copyField() {
    _edits->copyField();
}

void AppController::paste() {
    _edits->paste();
}

void AppController::deleteSelection() {
    _edits->deleteSelection();
}

void AppController::deleteRegisters() {
    _edits->deleteRegisters();
}

void AppController::insertRegister() {
    _edits->insertRegister();
}

void AppController::duplicateRegisters() {
    _edits->duplicateRegisters();
}

void AppController::goToRegister() {
    _edits->goToRegister();
}

void AppController::selectAllRegisters() {
    _edits->selectAllRegisters();
}

void AppController::selectFrameRate(QAction* action) {
    const QString name = action->data().toString();
    QSettings().setValue(FrameRateKey, name);
    _editor->setFrameRate(frameRateFromName(name.toStdString()));
}

// ---- Questions ---------------------------------------------------------------------------------

void AppController::_beginQuestionSheet(const QString& messageText, const QString& informativeText,
                                        const QString& acceptTitle,
                                        std::function<void()> accepted) {
    _alerts->ask(messageText, informativeText, acceptTitle, std::move(accepted));
}

} // namespace tavrel::app
