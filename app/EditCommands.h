// The Edit menu's commands on the table: undo and redo, the clipboard (registers and single
// fields), and registers as a whole (delete, insert, duplicate, go to, select all), with what the
// selection holds. Every change goes through the register editor; each command does nothing while
// `busy` (a device job runs).
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

class QModelIndex;
class QWidget;

namespace tavrel::app {

class Alerts;
class RegisterEditor;
class RegisterTableModel;
class RegisterTableView;

class EditCommands : public QObject {
    Q_OBJECT

  public:
    EditCommands(RegisterTableView* table, RegisterTableModel& model, RegisterEditor& editor,
                 Alerts& alerts, QWidget* window, std::function<bool()> busy, QObject* parent);

    void undo();
    void redo();
    void cutRegisters();
    void copyRegisters();
    void copyField();
    void paste();
    // Delete: the registers chosen whole, or else the current field's value (see
    // RegisterTableView).
    void deleteSelection();
    void deleteRegisters();
    void insertRegister();
    void duplicateRegisters();
    void goToRegister();
    void selectAllRegisters();

    // The numbers of the selected registers, ascending.
    std::vector<int32_t> selectedNumbers() const;
    // Whether registers are selected as registers: chosen (RegisterTableView::registersChosen),
    // or selected with no field current.
    bool wholeRegistersSelected() const;
    // Selects the registers `numbers` (those in the table) and scrolls to the first.
    void selectRegisters(const std::vector<int32_t>& numbers);
    // The table's context menu acts on what was clicked (`clicked`): a register that is not
    // selected is selected first, as file managers do; below the rows there is no register, and
    // nothing stays selected or current for the menu to act on out of sight.
    void selectClicked(const QModelIndex& clicked);
    // Puts `text` into a field of the cell at `index`; false with the reason when refused.
    bool commitField(const QModelIndex& index, int line, const QString& text, QString* reason);

  private:
    RegisterTableView* _table;
    RegisterTableModel& _model;
    RegisterEditor& _editor;
    Alerts& _alerts;
    QPointer<QWidget> _window;
    std::function<bool()> _busy;
};

} // namespace tavrel::app
