#include "RegisterCellDelegate.h"

#include "RegisterTableModel.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QStyle>

namespace tavrel::app {

namespace {

QList<CellRun> runsOf(const QModelIndex& index) {
    const auto* model = qobject_cast<const RegisterTableModel*>(index.model());
    if (model != nullptr) {
        return model->cellRuns(index);
    }
    return {{index.data().toString(), false}};
}

QFont boldOf(const QFont& font) {
    QFont bold = font;
    bold.setBold(true);
    return bold;
}

} // namespace

void RegisterCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    background.state &= ~QStyle::State_HasFocus;
    const QWidget* widget = option.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);

    const QFont plain = option.font;
    const QFont bold = boldOf(plain);
    const QFontMetrics plainMetrics(plain);
    const QFontMetrics boldMetrics(bold);
    const bool selected = (option.state & QStyle::State_Selected) != 0;
    const QPalette::ColorGroup group =
        (option.state & QStyle::State_Active) != 0 ? QPalette::Active : QPalette::Inactive;

    painter->save();
    painter->setClipRect(option.rect);
    painter->setPen(ruleColor(option.palette, group));
    painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
    painter->setPen(
        option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    const int left = option.rect.left() + HorizontalMargin;
    int x = left;
    int line = 0;
    for (const CellRun& run : runsOf(index)) {
        painter->setFont(run.bold ? bold : plain);
        const QFontMetrics& metrics = run.bold ? boldMetrics : plainMetrics;
        const QStringList parts = run.text.split(u'\n');
        for (qsizetype i = 0; i < parts.size(); ++i) {
            if (i > 0) {
                ++line;
                x = left;
            }
            if (parts[i].isEmpty()) {
                continue;
            }
            int baseline = option.rect.top() + TopMargin + plainMetrics.ascent() +
                           line * plainMetrics.lineSpacing();
            painter->drawText(QPoint(x, baseline), parts[i]);
            x += metrics.horizontalAdvance(parts[i]);
        }
    }
    painter->restore();
}

QColor RegisterCellDelegate::ruleColor(const QPalette& palette, QPalette::ColorGroup group) {
    const QColor text = palette.color(group, QPalette::Text);
    const QColor base = palette.color(group, QPalette::Base);
    const auto mix = [](int t, int b) { return (2 * t + 3 * b) / 5; };
    return QColor(mix(text.red(), base.red()), mix(text.green(), base.green()),
                  mix(text.blue(), base.blue()));
}

QSize RegisterCellDelegate::sizeHint(const QStyleOptionViewItem& option,
                                     const QModelIndex& index) const {
    const QFontMetrics plainMetrics(option.font);
    const QFontMetrics boldMetrics(boldOf(option.font));
    int widest = 0;
    int width = 0;
    int lines = 1;
    for (const CellRun& run : runsOf(index)) {
        const QFontMetrics& metrics = run.bold ? boldMetrics : plainMetrics;
        const QStringList parts = run.text.split(u'\n');
        for (qsizetype i = 0; i < parts.size(); ++i) {
            if (i > 0) {
                widest = std::max(widest, width);
                width = 0;
                ++lines;
            }
            width += metrics.horizontalAdvance(parts[i]);
        }
    }
    widest = std::max(widest, width);
    return {widest + 2 * HorizontalMargin, TopMargin + plainMetrics.height() +
                                               (lines - 1) * plainMetrics.lineSpacing() +
                                               BottomMargin};
}

} // namespace tavrel::app
