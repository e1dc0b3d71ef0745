#include "OffsetRegistersDialog.h"

#include "LibraryTexts.h"
#include "RangeSheet.h"
#include "RegisterFieldInput.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>
#include <string>
#include <utility>

namespace tavrel::app {

namespace {

QSpinBox* newRegisterField(QWidget* parent, int value) {
    auto* field = new QSpinBox(parent);
    field->setRange(0, HighestRegisterNumber);
    field->setValue(value);
    field->setAlignment(Qt::AlignRight);
    return field;
}

} // namespace

OffsetRegistersDialog::OffsetRegistersDialog(QWidget* parent, const OffsetChoice& choice)
    : QDialog(parent) {
    setObjectName("offsetRegistersDialog");
    setWindowTitle(tr("Offset Registers"));
    setWindowModality(Qt::WindowModal);

    _first = newRegisterField(this, choice.first);
    _first->setAccessibleName(tr("First register"));
    _last = newRegisterField(this, choice.last);
    _last->setAccessibleName(tr("Last register"));
    auto* to = new QLabel(tr("&to"), this);
    to->setBuddy(_last);
    auto* range = new QHBoxLayout;
    range->addWidget(_first);
    range->addWidget(to);
    range->addWidget(_last);
    range->addStretch();

    auto* machines = new QHBoxLayout;
    for (size_t i = 0; i < _machines.size(); ++i) {
        _machines[i] = new QCheckBox(QString(QChar('A' + int(i))), this);
        _machines[i]->setChecked(choice.machines[i]);
        machines->addWidget(_machines[i]);
    }
    machines->addStretch();

    _offsetField = new QLineEdit(choice.offsetText, this);
    _offsetField->setObjectName("offsetField");
    _offsetField->setPlaceholderText("HH:MM:SS:FF");
    _offsetField->setAccessibleName(tr("Offset"));
    _offsetField->setAccessibleDescription(tr("A timecode, HH:MM:SS:FF"));
    _refusal = new QLabel(this);
    _refusal->setObjectName("offsetRefusal");
    _refusal->setTextFormat(Qt::PlainText);
    _refusal->setWordWrap(true);
    _refusal->setAccessibleDescription(tr("Why the offset is refused"));
    auto* offset = new QVBoxLayout;
    offset->addWidget(_offsetField);
    offset->addWidget(_refusal);

    _add = new QRadioButton(tr("A&dd"), this);
    _subtract = new QRadioButton(tr("&Subtract"), this);
    (choice.add ? _add : _subtract)->setChecked(true);
    auto* direction = new QHBoxLayout;
    direction->addWidget(_add);
    direction->addWidget(_subtract);
    direction->addStretch();

    // Each row's label takes its row's first control as buddy: Alt and the underlined letter
    // go there.
    auto* form = new QFormLayout;
    const std::pair<const char*, QWidget*> rows[] = {
        {QT_TR_NOOP("&Registers:"), _first},
        {QT_TR_NOOP("&Machines:"), _machines[0]},
        {QT_TR_NOOP("&Offset:"), _offsetField},
    };
    QLayout* const fields[] = {range, machines, offset};
    for (size_t i = 0; i < std::size(rows); ++i) {
        auto* label = new QLabel(tr(rows[i].first), this);
        label->setBuddy(rows[i].second);
        form->addRow(label, fields[i]);
    }
    form->addRow(QString(), direction);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    _confirm = buttons->button(QDialogButtonBox::Ok);
    _confirm->setText(tr("Offset"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Offset the times of registers on the VRG-500"), this));
    layout->addLayout(form);
    layout->addWidget(buttons);

    // The button follows every change of the choice, however it is made (typing, arrows, keys).
    for (QSpinBox* field : {_first, _last}) {
        connect(field, &QSpinBox::valueChanged, this, [this] { _validate(); });
    }
    for (QCheckBox* box : _machines) {
        connect(box, &QCheckBox::toggled, this, [this] { _validate(); });
    }
    connect(_offsetField, &QLineEdit::textChanged, this, [this] { _validate(); });
    _validate();
}

OffsetChoice OffsetRegistersDialog::choice() const {
    OffsetChoice choice;
    choice.first = _first->value();
    choice.last = _last->value();
    for (size_t i = 0; i < _machines.size(); ++i) {
        choice.machines[i] = _machines[i]->isChecked();
    }
    choice.offsetText = _offsetField->text();
    choice.add = _add->isChecked();
    return choice;
}

void OffsetRegistersDialog::_validate() {
    std::string reason;
    // An empty field is not refused aloud: nothing has been typed yet.
    const bool typed = !_offsetField->text().trimmed().isEmpty();
    const bool offsetFits =
        typed && records::parseOffsetInput(_offsetField->text().toStdString(), &_offset, &reason);
    _refusal->setText(translatedLibraryText(reason));
    _refusal->setVisible(!reason.empty());
    const bool anyMachine = std::any_of(_machines.begin(), _machines.end(),
                                        [](const QCheckBox* box) { return box->isChecked(); });
    _confirm->setEnabled(offsetFits && anyMachine &&
                         rangeSheetCanConfirm(TypedRangeTag, _first->value(), _last->value()));
}

} // namespace tavrel::app
