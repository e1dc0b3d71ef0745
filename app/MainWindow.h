// The main window: the register table filling it, the toolbar, the menus, with one action per
// command shared by the menus, the toolbar and the table's context menu, and the status bar. The
// window runs no command itself: whoever holds it connects each action to what runs it, and tells
// it which commands can be used now. A register file (.vg2) or menu settings file (.vgs) dropped
// on it is handed on (fileDropped); other drops, and several files at once, are refused: the
// window holds one document, and which of several files was meant is not for it to guess.
#pragma once

#include "CommandEnabling.h"
#include "RegisterFieldInput.h"

#include <QMainWindow>
#include <QString>

#include <map>
#include <vector>

class QAction;
class QActionGroup;
class QComboBox;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QKeySequence;
class QMenu;
class QMimeData;
class QModelIndex;

namespace tavrel::app {

class MainToolbar;
class RegisterCellDelegate;
class RegisterTableModel;
class RegisterTableView;
class WindowStatusBar;

class MainWindow : public QMainWindow {
    Q_OBJECT

  public:
    // The table shows `model`; the Frame Rate menu starts at `frameRate`.
    MainWindow(RegisterTableModel* model, records::FrameRate frameRate);

    RegisterTableView* table() const { return _table; }
    RegisterCellDelegate* cellDelegate() const;
    // The command's action; the Frame Rate command is a group (frameRateActions()).
    QAction* action(Command command) const;
    // Every command's action (the Frame Rate group aside).
    const std::map<Command, QAction*>& actions() const { return _actions; }
    QActionGroup* frameRateActions() const { return _frameRates; }
    MainToolbar* toolbar() const { return _toolbar; }
    // File ▸ Open Recent, filled by whoever keeps the list.
    QMenu* recentMenu() const { return _recentMenu; }
    WindowStatusBar* statusLine() const { return _statusBar; }

    // The one local .vg2 or .vgs file that `data` carries, else empty.
    static QString droppableFile(const QMimeData* data);

    // Puts the toolbar up, holding the port pop-up, and fits the window's width to it.
    void attachToolbar(QComboBox* portPopUp);
    // Enables each command as `state` allows.
    void applyEnabling(const CommandState& state);
    // Undo and Redo are named after the steps they would take (empty: none).
    void nameUndoSteps(const QString& undoStep, const QString& redoStep);
    // The title names the document (`title`) and marks unsaved changes.
    void showDocumentTitle(const QString& title);
    // Hands the open field editor's text to the table; false when it was refused (the editor
    // stays open with the reason).
    bool commitOpenField();

  signals:
    // A menu (the menu bar's or the table's) is about to show: its commands' enabling is due.
    void commandsAboutToShow();
    // The table's context menu is about to open over `clicked` (invalid below the rows).
    void tableMenuRequested(const QModelIndex& clicked);
    // A frame rate was checked in the Frame Rate menu (however it became checked).
    void frameRateChosen(QAction* action);
    // A register or menu settings file was dropped on the window.
    void fileDropped(const QString& path);

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void _setUpTable(RegisterTableModel* model);
    void _createActions();
    QAction* _addAction(Command command, const QString& text, const QKeySequence& shortcut);
    void _createFrameRateActions(records::FrameRate chosen);
    void _createMenus();
    QMenu* _addMenu(const QString& title, const std::vector<QAction*>& actions);
    void _showTableMenu(const QPoint& position);
    void _sizeTableToContents();

    RegisterTableView* _table = nullptr;
    std::map<Command, QAction*> _actions;
    QActionGroup* _frameRates = nullptr;
    MainToolbar* _toolbar = nullptr;
    QMenu* _recentMenu = nullptr;
    WindowStatusBar* _statusBar = nullptr;
};

} // namespace tavrel::app
