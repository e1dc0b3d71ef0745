// Draws the register table's cells as lines of text runs, bold or plain, so that the three lines
// of every machine cell stand level with "IN", "OUT" and "CLIP" of the Label column: every line
// of every cell sits on the plain font's baseline grid, whatever its run's weight. A rule under
// each register's CLIP line keeps three-line registers apart; its colour is drawn from the
// palette, so it shows in light and dark palettes alike. Cells draw no focus frame: the table
// selects whole registers and has nothing to edit.
#pragma once

#include <QStyledItemDelegate>

namespace tavrel::app {

class RegisterCellDelegate : public QStyledItemDelegate {
    Q_OBJECT

  public:
    // Space between a cell's left edge and its text.
    static constexpr int HorizontalMargin = 4;
    // Space above a cell's first line, and between its last line and the rule at its bottom.
    static constexpr int TopMargin = 2;
    static constexpr int BottomMargin = 3;

    // The rule's colour: between the palette's text and base colours, nearer the base.
    static QColor ruleColor(const QPalette& palette, QPalette::ColorGroup group);

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace tavrel::app
