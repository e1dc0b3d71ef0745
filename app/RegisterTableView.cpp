#include "RegisterTableView.h"

namespace tavrel::app {

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
}

void RegisterTableView::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) {
    _pending = PendingLayout::Full;
    QTableView::rowsAboutToBeRemoved(parent, start, end);
}

} // namespace tavrel::app
