#include "ProgressSheet.h"

#include "SheetWindow.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace tavrel::app {

ProgressSheet::ProgressSheet(QWidget* parent) : QDialog(parent) {
    makeSheet(this, "progressSheet", tr("Register Transfer"));

    _label = new QLabel(this);
    _bar = new QProgressBar(this);
    _bar->setTextVisible(false);
    // Wide enough for the longest step text at any font size.
    _bar->setMinimumWidth(_label->fontMetrics().horizontalAdvance(QString(46, QChar('x'))));
    auto* buttons = new QDialogButtonBox(this);
    _cancel = buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    _cancel->setObjectName("progressCancelButton");
    _cancel->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(_label);
    layout->addWidget(_bar);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(buttons, &QDialogButtonBox::rejected, this, &ProgressSheet::cancelRequested);
}

// The bar runs from the first register to one past the last, and stands at the register a step
// is about to move: the registers before it are done. So a single register goes from empty to
// full, where a bar from the first number to the last would have no length at all (and an empty
// range would draw the toolkit's busy bar).
void ProgressSheet::begin(const QString& title, records::RegisterRange range) {
    _label->setText(title);
    const int64_t first = std::clamp<int64_t>(range.first, 0, INT_MAX - 1);
    const int64_t end = std::min<int64_t>(INT_MAX, first + std::max<int64_t>(1, range.count()));
    _bar->setRange(static_cast<int>(first), static_cast<int>(end));
    _bar->setValue(static_cast<int>(first));
    openSheet(this);
}

void ProgressSheet::showProgress(const QString& text, int32_t current) {
    // The text first, so that what follows the bar sees the step's own text.
    _label->setText(text.arg(current));
    _showDone(current);
}

void ProgressSheet::end(int32_t current) {
    _showDone(current);
    end();
}

void ProgressSheet::end() {
    done(0);
}

void ProgressSheet::_showDone(int32_t current) {
    _bar->setValue(std::clamp(current, _bar->minimum(), _bar->maximum()));
}

} // namespace tavrel::app
