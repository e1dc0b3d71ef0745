// The width of the application's alerts and about box. On a small screen a message box narrows
// itself to a fraction of it and wraps even a short line, such as the copyright, over several.
#pragma once

#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QSpacerItem>

namespace tavrel::app {

// Lines longer than this many average characters still wrap.
constexpr int WidestAlertLine = 64;

// Gives the box's informative text the width its longest line needs (up to WidestAlertLine
// characters): a spacer under the text's column, the usual way to widen a QMessageBox. Call it
// once the informative text is set.
inline void fitAlertToInformativeText(QMessageBox* box) {
    auto* grid = qobject_cast<QGridLayout*>(box->layout());
    auto* label = box->findChild<QLabel*>("qt_msgbox_informativelabel");
    if (grid == nullptr || label == nullptr) {
        return;
    }
    // The narrowest width at which the text wraps no more than at the widest allowed: found by
    // asking the label itself, which knows its own margins.
    const int widestAllowed = WidestAlertLine * QFontMetrics(label->font()).averageCharWidth();
    const int lowestHeight = label->heightForWidth(widestAllowed);
    int narrow = 0;
    int wide = widestAllowed;
    while (narrow < wide) {
        const int middle = (narrow + wide) / 2;
        if (label->heightForWidth(middle) <= lowestHeight) {
            wide = middle;
        } else {
            narrow = middle + 1;
        }
    }
    int row = 0;
    int column = 0;
    int rowSpan = 0;
    int columnSpan = 0;
    grid->getItemPosition(grid->indexOf(label), &row, &column, &rowSpan, &columnSpan);
    grid->addItem(new QSpacerItem(wide, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                  grid->rowCount(), column, 1, columnSpan);
}

} // namespace tavrel::app
