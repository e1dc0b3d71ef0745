// The register table's view. A download appends one row per register and the table is brought
// up to date after each; once the rows fill the view, a row added below the last one in sight
// changes nothing in sight but the scroll bar, so the view then lays out its scroll bars
// without redrawing every visible cell.
//
// The register number column is as wide as the widest number the collection holds, five digits
// or a sign included: it grows as rows arrive and is worked out anew when the collection is
// replaced or the font changes.
//
// The current field is one line (IN, OUT or CLIP) of the current cell. Up and Down step through
// the lines and on to the next register; Tab and Shift+Tab go in reading order, across the
// machines and then down the lines and registers; a click or double click picks the line under
// the pointer. F2, typing or a double click edits the current field.
//
// The table selects whole registers. Going to a field (a click on it, the arrow keys, Tab)
// selects its register alone, as the row under the current field, without choosing it: the Edit
// menu's Delete then clears that field. Every other way of selecting chooses the registers it
// selects: a click on a register's number or label, Shift or Ctrl with a click or a key, the
// right button, Select All, and the commands that select what they changed.
//
// Copying is the Edit menu's alone: the view's own copy of the current cell's text is left out,
// so Ctrl+C does nothing while Copy is disabled.
//
// An empty table shows a short hint, centred in the viewport, of how to fill it; it is also the
// table's accessible description while the table is empty.
//
// Qt's interface of a table lists its cells and headers only, so assistive technologies would not
// find the field editor and the refusal beside it, which the viewport holds. The table is placed
// in a RegisterTableArea, which they meet as the table followed by the viewport, a pane holding
// whatever is open over the cells.
#pragma once

#include <QTableView>

namespace tavrel::app {

class RegisterTableView : public QTableView {
    Q_OBJECT

  public:
    using QTableView::QTableView;

    // Space the register number column gives its text besides the text's own width.
    static constexpr int RegisterColumnPadding = 12;

    void setModel(QAbstractItemModel* model) override;
    void doItemsLayout() override;
    void reset() override;

    // What an empty table says.
    static QString emptyHint();

    // Fits the register number column to every number the model holds.
    void fitRegisterColumn();

    // The line (RegisterTableModel::Line) of the current field.
    int currentLine() const { return _currentLine; }
    // Makes the field on `line` of the cell at `index` current and scrolls to it.
    void setCurrentField(const QModelIndex& index, int line);
    bool isEditing() const { return state() == EditingState; }
    // Starts editing the current field.
    bool editCurrentField();

    // Whether the selected registers were chosen as registers, not only reached through a field.
    bool registersChosen() const { return _registersChosen; }

  protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

  protected slots:
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;

    void changeEvent(QEvent* event) override;

  private:
    // The hint comes and goes as the table empties and fills.
    void _followRowCount();
    // Widens the register number column, if need be, for the numbers of rows `start` to `end`.
    void _widenRegisterColumn(int start, int end);
    int _registerTextWidth(int start, int end) const;

    // The field after (or before) the current one in reading order; invalid past the ends.
    QModelIndex _stepField(bool forward, int* line) const;
    // The line under a point of the viewport in the cell at `index`.
    int _lineAtPoint(const QModelIndex& index, const QPoint& point) const;
    // Redraws the current cell and tells assistive technologies which field is current: the
    // table's description names it ("Current field: B OUT of register 013"), as moving between
    // the lines of one cell changes no cell.
    void _updateCurrentCell();
    // Whether register `row` is the only one selected.
    bool _selectedAlone(int row) const;
    // Going to a field in `row`: its register is selected alone and not chosen.
    void _goToField(int row) const;

    int _currentLine = 0;
    bool _showsHint = false;
    // Set while a selection is made (selectionCommand is const, so these are mutable).
    mutable bool _registersChosen = false;
    mutable bool _goingToField = false; // the selection about to change goes to a field

    enum class PendingLayout { None, RowsOutOfSight, Full };
    PendingLayout _pending = PendingLayout::None;
};

// Holds the table, filling it edge to edge.
class RegisterTableArea : public QWidget {
    Q_OBJECT

  public:
    RegisterTableArea(RegisterTableView* table, QWidget* parent);

    RegisterTableView* table() const { return _table; }

  private:
    RegisterTableView* _table;
};

} // namespace tavrel::app
