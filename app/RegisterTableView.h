// The register table's view. A download appends one row per register and the table is brought
// up to date after each; once the rows fill the view, a row added below the last one in sight
// changes nothing in sight but the scroll bar, so the view then lays out its scroll bars
// without redrawing every visible cell.
//
// The register number column is as wide as the widest number the collection holds, five digits
// or a sign included: it grows as rows arrive and is worked out anew when the collection is
// replaced or the font changes.
#pragma once

#include <QTableView>

namespace tavrel::app {

class RegisterTableView : public QTableView {
    Q_OBJECT

  public:
    using QTableView::QTableView;

    // Space the register number column gives its text besides the text's own width.
    static constexpr int RegisterColumnPadding = 12;

    void doItemsLayout() override;
    void reset() override;

    // Fits the register number column to every number the model holds.
    void fitRegisterColumn();

  protected slots:
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;

    void changeEvent(QEvent* event) override;

  private:
    // Widens the register number column, if need be, for the numbers of rows `start` to `end`.
    void _widenRegisterColumn(int start, int end);
    int _registerTextWidth(int start, int end) const;

    enum class PendingLayout { None, RowsOutOfSight, Full };
    PendingLayout _pending = PendingLayout::None;
};

} // namespace tavrel::app
