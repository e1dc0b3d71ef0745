#include "RegisterTableView.h"

#include "RegisterCellDelegate.h"
#include "RegisterTableModel.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace tavrel::app {

namespace {

// The area: the table, then its viewport.
class TableAreaAccessible : public QAccessibleWidget {
  public:
    explicit TableAreaAccessible(RegisterTableArea* area) : QAccessibleWidget(area) {}

    int childCount() const override { return 2; }
    QAccessibleInterface* child(int index) const override {
        if (index == 0) {
            return QAccessible::queryAccessibleInterface(_area()->table());
        }
        return index == 1 ? QAccessible::queryAccessibleInterface(_area()->table()->viewport())
                          : nullptr;
    }
    // What is open over the cells is found before the cells under it.
    QAccessibleInterface* childAt(int x, int y) const override {
        QWidget* viewport = _area()->table()->viewport();
        if (viewport->childAt(viewport->mapFromGlobal(QPoint(x, y))) != nullptr) {
            return child(1);
        }
        return QAccessibleWidget::childAt(x, y);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (child == nullptr) {
            return -1;
        }
        if (child->object() == _area()->table()) {
            return 0;
        }
        return child->object() == _area()->table()->viewport() ? 1 : -1;
    }

  private:
    RegisterTableArea* _area() const { return static_cast<RegisterTableArea*>(widget()); }
};

// The viewport: a pane of the area, holding the field editor and the refusal while they are open.
class TableViewportAccessible : public QAccessibleWidget {
  public:
    explicit TableViewportAccessible(QWidget* viewport)
        : QAccessibleWidget(viewport, QAccessible::Pane) {}

    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(widget()->parentWidget()->parentWidget());
    }
};

QAccessibleInterface* tableAreaAccessible(const QString&, QObject* object) {
    if (auto* area = qobject_cast<RegisterTableArea*>(object)) {
        return new TableAreaAccessible(area);
    }
    auto* widget = qobject_cast<QWidget*>(object);
    auto* view =
        widget != nullptr ? qobject_cast<RegisterTableView*>(widget->parentWidget()) : nullptr;
    if (view != nullptr && view->viewport() == widget &&
        qobject_cast<RegisterTableArea*>(view->parentWidget()) != nullptr) {
        return new TableViewportAccessible(widget);
    }
    return nullptr;
}

} // namespace

RegisterTableArea::RegisterTableArea(RegisterTableView* table, QWidget* parent)
    : QWidget(parent), _table(table) {
    // Once: a factory installed is not added again.
    QAccessible::installFactory(tableAreaAccessible);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(table);
}

void RegisterTableView::setModel(QAbstractItemModel* model) {
    QTableView::setModel(model);
    if (model != nullptr) {
        connect(model, &QAbstractItemModel::rowsInserted, this,
                &RegisterTableView::_followRowCount);
        connect(model, &QAbstractItemModel::rowsRemoved, this, &RegisterTableView::_followRowCount);
        connect(model, &QAbstractItemModel::modelReset, this, &RegisterTableView::_followRowCount);
    }
    _showsHint = false;
    _followRowCount();
}

QString RegisterTableView::emptyHint() {
    return tr("Choose the VRG-500's port and Download Registers, or open a register file");
}

void RegisterTableView::_followRowCount() {
    const bool empty = model() == nullptr || model()->rowCount() == 0;
    if (empty == _showsHint) {
        return;
    }
    _showsHint = empty;
    viewport()->update();
    _updateCurrentCell();
}

void RegisterTableView::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    if (!_showsHint) {
        return;
    }
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::PlaceholderText));
    const int margin = fontMetrics().averageCharWidth() * 2;
    painter.drawText(viewport()->rect().adjusted(margin, margin, -margin, -margin),
                     Qt::AlignCenter | Qt::TextWordWrap, emptyHint());
}

void RegisterTableView::doItemsLayout() {
    const PendingLayout pending = _pending;
    _pending = PendingLayout::None;
    if (pending == PendingLayout::RowsOutOfSight) {
        updateGeometries();
        return;
    }
    QTableView::doItemsLayout();
}

void RegisterTableView::reset() {
    _pending = PendingLayout::Full;
    QTableView::reset();
    fitRegisterColumn();
}

void RegisterTableView::rowsInserted(const QModelIndex& parent, int start, int end) {
    // Before the rows count: the last row in sight among the old rows, -1 when the rows end
    // above the view's bottom edge.
    const int lastInSight = rowAt(viewport()->height() - 1);
    const bool outOfSight = !parent.isValid() && lastInSight >= 0 && start > lastInSight;
    if (!outOfSight) {
        _pending = PendingLayout::Full;
    } else if (_pending == PendingLayout::None) {
        _pending = PendingLayout::RowsOutOfSight;
    }
    QTableView::rowsInserted(parent, start, end);
    if (!parent.isValid()) {
        _widenRegisterColumn(start, end);
    }
}

void RegisterTableView::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) {
    _pending = PendingLayout::Full;
    QTableView::rowsAboutToBeRemoved(parent, start, end);
}

void RegisterTableView::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        fitRegisterColumn();
    }
}

void RegisterTableView::fitRegisterColumn() {
    if (model() == nullptr) {
        return;
    }
    const int width = _registerTextWidth(0, model()->rowCount() - 1) + RegisterColumnPadding;
    horizontalHeader()->resizeSection(RegisterTableModel::RegisterColumn, width);
}

void RegisterTableView::_widenRegisterColumn(int start, int end) {
    const int width = _registerTextWidth(start, end) + RegisterColumnPadding;
    QHeaderView* header = horizontalHeader();
    if (width > header->sectionSize(RegisterTableModel::RegisterColumn)) {
        header->resizeSection(RegisterTableModel::RegisterColumn, width);
    }
}

// The widest text of the numbers of rows `start` to `end`, never narrower than three digits.
// A number's text ("%03d") is measured as the sum of its characters' advances, looked up once
// per character: digits are not kerned, and a replaced collection of 65,536 registers is measured
// in well under a millisecond where shaping every label took about a hundred.
int RegisterTableView::_registerTextWidth(int start, int end) const {
    const QFontMetrics metrics = fontMetrics();
    int advances[10];
    for (int digit = 0; digit < 10; ++digit) {
        advances[digit] = metrics.horizontalAdvance(QChar('0' + digit));
    }
    const int minus = metrics.horizontalAdvance(QChar('-'));
    const auto textWidth = [&](int32_t number) {
        int width = number < 0 ? minus : 0;
        int64_t magnitude = number < 0 ? -int64_t{number} : number;
        for (int digits = 0; digits < 3 || magnitude > 0; ++digits, magnitude /= 10) {
            width += advances[magnitude % 10];
        }
        return width;
    };
    int widest = 3 * advances[0];
    const auto* registerModel = qobject_cast<const RegisterTableModel*>(model());
    for (int row = start; row <= end && registerModel != nullptr; ++row) {
        widest = std::max(widest, textWidth(registerModel->registers().numberAt(size_t(row))));
    }
    return widest;
}

void RegisterTableView::setCurrentField(const QModelIndex& index, int line) {
    _currentLine = std::clamp(line, 0, RegisterTableModel::LineCount - 1);
    setCurrentIndex(index);
    scrollTo(index);
    _updateCurrentCell();
}

bool RegisterTableView::editCurrentField() {
    return edit(currentIndex(), EditKeyPressed, nullptr);
}

void RegisterTableView::_updateCurrentCell() {
    const QModelIndex current = currentIndex();
    viewport()->update(visualRect(current));
    const int machine = RegisterTableModel::machineOfColumn(current.column());
    const QString number =
        current.siblingAtColumn(RegisterTableModel::RegisterColumn).data().toString();
    setAccessibleDescription(
        current.isValid() && machine >= 0
            ? tr("Current field: %1 of register %2")
                  .arg(RegisterTableModel::fieldName(machine, _currentLine), number)
            : (_showsHint ? emptyHint() : QString()));
}

void RegisterTableView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    _updateCurrentCell();
}

QModelIndex RegisterTableView::_stepField(bool forward, int* line) const {
    const QModelIndex current = currentIndex();
    if (model() == nullptr || !current.isValid()) {
        return {};
    }
    const int rows = model()->rowCount();
    const int machines = RegisterTableModel::MachineCount;
    const int lines = RegisterTableModel::LineCount;
    int machine = RegisterTableModel::machineOfColumn(current.column());
    // Reading order: machines across, then lines down, then registers.
    int position = (current.row() * lines + _currentLine) * machines;
    if (machine < 0) {
        position += forward ? -1 : machines; // from the number or label: the line's first field
    } else {
        position += machine;
    }
    position += forward ? 1 : -1;
    if (position < 0 || position >= rows * lines * machines) {
        return {};
    }
    machine = position % machines;
    *line = (position / machines) % lines;
    return model()->index(position / (machines * lines), RegisterTableModel::AColumn + machine);
}

QModelIndex RegisterTableView::moveCursor(CursorAction cursorAction,
                                          Qt::KeyboardModifiers modifiers) {
    const QModelIndex current = currentIndex();
    const bool onField =
        current.isValid() && RegisterTableModel::machineOfColumn(current.column()) >= 0;
    const int lastLine = RegisterTableModel::LineCount - 1;
    switch (cursorAction) {
    case MoveNext:
    case MovePrevious: {
        int line = _currentLine;
        const QModelIndex next = _stepField(cursorAction == MoveNext, &line);
        if (next.isValid()) {
            _currentLine = line;
            _updateCurrentCell();
            // An editor's Tab selects the next field's register without asking selectionCommand.
            _goToField(next.row());
        }
        return next;
    }
    case MoveUp:
    case MoveDown: {
        const bool down = cursorAction == MoveDown;
        if (onField && !(modifiers & Qt::ShiftModifier) &&
            (down ? _currentLine < lastLine : _currentLine > 0)) {
            _currentLine += down ? 1 : -1;
            _updateCurrentCell();
            // Within the cell the selection stays; a register selected alone is no longer chosen.
            if (!(modifiers & Qt::ControlModifier) && _selectedAlone(current.row())) {
                _registersChosen = false;
            }
            return current;
        }
        const QModelIndex moved = QTableView::moveCursor(cursorAction, modifiers);
        if (moved.isValid() && moved.row() != current.row()) {
            _currentLine = down ? 0 : lastLine;
        }
        return moved;
    }
    default:
        return QTableView::moveCursor(cursorAction, modifiers);
    }
}

int RegisterTableView::_lineAtPoint(const QModelIndex& index, const QPoint& point) const {
    return RegisterCellDelegate::lineAt(visualRect(index), fontMetrics(), point.y());
}

void RegisterTableView::mousePressEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid()) {
        _currentLine = _lineAtPoint(index, event->position().toPoint());
        _updateCurrentCell();
    }
    QTableView::mousePressEvent(event);
}

bool RegisterTableView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    if (trigger == DoubleClicked && event != nullptr && index.isValid() &&
        (event->type() == QEvent::MouseButtonDblClick)) {
        _currentLine = _lineAtPoint(index, static_cast<QMouseEvent*>(event)->position().toPoint());
    }
    return QTableView::edit(index, trigger, event);
}

void RegisterTableView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) { // the Edit menu's Copy, enabled or not
        event->ignore();
        return;
    }
    QTableView::keyPressEvent(event);
}

bool RegisterTableView::_selectedAlone(int row) const {
    const QItemSelection selection = selectionModel()->selection();
    return selection.size() == 1 && selection.front().top() == row &&
           selection.front().bottom() == row;
}

void RegisterTableView::_goToField(int row) const {
    _registersChosen = false;
    // No change is signalled when the register is selected alone already.
    _goingToField = !_selectedAlone(row);
}

QItemSelectionModel::SelectionFlags RegisterTableView::selectionCommand(const QModelIndex& index,
                                                                        const QEvent* event) const {
    const QItemSelectionModel::SelectionFlags command = QTableView::selectionCommand(index, event);
    _goingToField = false;
    // A plain click or key on a field; Shift, Ctrl and the right button choose registers.
    bool choosing = false;
    if (event != nullptr && event->isInputEvent()) {
        Qt::KeyboardModifiers modifiers = static_cast<const QInputEvent*>(event)->modifiers();
        if (event->type() == QEvent::KeyPress &&
            static_cast<const QKeyEvent*>(event)->key() == Qt::Key_Backtab) {
            modifiers &= ~Qt::ShiftModifier; // Shift+Tab goes back a field
        }
        choosing = (modifiers & (Qt::ShiftModifier | Qt::ControlModifier)) != 0 ||
                   (event->type() == QEvent::MouseButtonPress &&
                    static_cast<const QMouseEvent*>(event)->button() == Qt::RightButton);
    }
    if (command == (QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows) &&
        RegisterTableModel::machineOfColumn(index.column()) >= 0 && !choosing) {
        _goToField(index.row());
    }
    return command;
}

void RegisterTableView::selectionChanged(const QItemSelection& selected,
                                         const QItemSelection& deselected) {
    QTableView::selectionChanged(selected, deselected);
    _registersChosen = !std::exchange(_goingToField, false) && selectionModel()->hasSelection();
}

} // namespace tavrel::app
