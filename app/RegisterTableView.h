// The register table's view. A download appends one row per register and the table is brought
// up to date after each; once the rows fill the view, a row added below the last one in sight
// changes nothing in sight but the scroll bar, so the view then lays out its scroll bars
// without redrawing every visible cell.
#pragma once

#include <QTableView>

namespace tavrel::app {

class RegisterTableView : public QTableView {
    Q_OBJECT

  public:
    using QTableView::QTableView;

    void doItemsLayout() override;
    void reset() override;

  protected slots:
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;

  private:
    enum class PendingLayout { None, RowsOutOfSight, Full };
    PendingLayout _pending = PendingLayout::None;
};

} // namespace tavrel::app
