#include "RegisterTableView.h"

#include "RegisterTableModel.h"

#include <QEvent>
#include <QHeaderView>

#include <algorithm>

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
int RegisterTableView::_registerTextWidth(int start, int end) const {
    const QFontMetrics metrics = fontMetrics();
    int widest = metrics.horizontalAdvance(QStringLiteral("000"));
    for (int row = start; row <= end; ++row) {
        const QString text =
            model()->index(row, RegisterTableModel::RegisterColumn).data().toString();
        widest = std::max(widest, metrics.horizontalAdvance(text));
    }
    return widest;
}

} // namespace tavrel::app
