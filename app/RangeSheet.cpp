#include "RangeSheet.h"

#include "SheetWindow.h"
#include "TavrelLog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

namespace tavrel::app {

namespace {

QSpinBox* newRangeField(QWidget* parent, int value, const QString& name) {
    auto* field = new QSpinBox(parent);
    field->setRange(0, HighestRegisterNumber);
    field->setValue(value);
    field->setAlignment(Qt::AlignRight);
    field->setAccessibleName(name);
    return field;
}

} // namespace

bool rangeSheetCanConfirm(int tag, int first, int last) {
    return tag != TypedRangeTag || last >= first;
}

RangeSheet::RangeSheet(QWidget* parent) : QDialog(parent) {
    makeSheet(this, "rangeSheet", tr("Register Range"));

    _label = new QLabel(tr("Download selected registers from the VRG-500"), this);

    _radios = new QButtonGroup(this);
    static const char* const titles[] = {QT_TR_NOOP("Registers 0 to &299"),
                                         QT_TR_NOOP("Registers 0 to &99"), QT_TR_NOOP("&Range:")};
    auto* choices = new QGridLayout;
    choices->setContentsMargins(20, 0, 0, 0); // the radios stand in from the text
    for (int tag = AllRegistersRangeTag; tag <= TypedRangeTag; ++tag) {
        auto* radio = new QRadioButton(tr(titles[tag]), this);
        _radios->addButton(radio, tag);
        choices->addWidget(radio, tag, 0, 1, tag == TypedRangeTag ? 1 : 4);
    }
    _radios->button(AllRegistersRangeTag)->setChecked(true);

    _first = newRangeField(this, 0, tr("First register"));
    auto* to = new QLabel(tr("&to"), this);
    to->setAlignment(Qt::AlignCenter);
    _last = newRangeField(this, 299, tr("Last register"));
    to->setBuddy(_last);
    choices->addWidget(_first, TypedRangeTag, 1);
    choices->addWidget(to, TypedRangeTag, 2);
    choices->addWidget(_last, TypedRangeTag, 3);
    choices->setColumnStretch(4, 1);

    // The platform's order of Cancel and the confirm button; Return confirms, Escape cancels.
    auto* buttons = new QDialogButtonBox(this);
    _confirm = buttons->addButton(tr("Download"), QDialogButtonBox::AcceptRole);
    _cancel = buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    _confirm->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(_label);
    layout->addLayout(choices);
    layout->addStretch();
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize); // as large as its contents, no larger

    QWidget::setTabOrder(_radios->button(TypedRangeTag), _first);
    QWidget::setTabOrder(_first, _last);

    // The fields follow the checked radio however it became checked: a click, the arrow keys,
    // a mnemonic or an assistive technology's toggle, which clicks nothing.
    connect(_radios, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked) {
            _followRadios();
        }
    });
    connect(_first, &QSpinBox::valueChanged, this, &RangeSheet::_followRadios);
    connect(_last, &QSpinBox::valueChanged, this, &RangeSheet::_followRadios);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(this, &QDialog::accepted, this, &RangeSheet::_confirmed);
}

void RangeSheet::ask(const QString& text, const QString& confirmTitle,
                     std::function<void(records::RegisterRange)> chosen) {
    _chosen = std::move(chosen);
    _label->setText(text);
    _confirm->setText(confirmTitle);
    _followRadios();
    openSheet(this);
}

void RangeSheet::_followRadios() {
    const int tag = _radios->checkedId();
    _first->setEnabled(tag == TypedRangeTag);
    _last->setEnabled(tag == TypedRangeTag);
    _confirm->setEnabled(rangeSheetCanConfirm(tag, _first->value(), _last->value()));
}

void RangeSheet::_confirmed() {
    records::RegisterRange range;
    const int tag = _radios->checkedId();
    switch (tag) {
    case AllRegistersRangeTag:
        range = records::AllRegistersRange;
        break;
    case FirstHundredRangeTag:
        range = records::FirstHundredRange;
        break;
    case TypedRangeTag: {
        const int32_t first = _first->value();
        const int32_t last = _last->value();
        if (!rangeSheetCanConfirm(tag, first, last)) {
            link::tavrelLog("Empty register range: %d to %d", first, last);
            return;
        }
        range = {first, last};
        break;
    }
    default:
        link::tavrelLog("Unexpected radio tag: %d", tag);
        return;
    }
    // Handed on once the sheet has fully closed.
    QTimer::singleShot(0, this, [this, range, chosen = _chosen] {
        emit rangeChosen(range);
        if (chosen) {
            chosen(range);
        }
    });
}

} // namespace tavrel::app
