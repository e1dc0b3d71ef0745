// Draws the register table's cells as lines of text runs, bold or plain, so that the three lines
// of every machine cell stand level with "IN", "OUT" and "CLIP" of the Label column: every line
// of every cell sits on the plain font's baseline grid, whatever its run's weight.
#pragma once

#include <QStyledItemDelegate>

namespace tavrel::app {

class RegisterCellDelegate : public QStyledItemDelegate {
    Q_OBJECT

  public:
    // Space between a cell's left edge and its text.
    static constexpr int HorizontalMargin = 4;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace tavrel::app
