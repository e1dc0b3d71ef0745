#include "DeviceInformationDialog.h"

#include "RegisterLabelText.h"
#include "VersionText.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavrel::app {

namespace {

// A value's label is named by what it shows; the caption beside it becomes its description, so a
// screen reader says both.
QLabel* valueLabel(QWidget* parent, const char* name, const QString& caption) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setAccessibleDescription(caption);
    return label;
}

} // namespace

DeviceInformationDialog::DeviceInformationDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("deviceInformationDialog");
    setWindowTitle(tr("Device Information"));
    setWindowModality(Qt::WindowModal);

    _version = valueLabel(this, "firmwareVersion", tr("Firmware version"));
    _videoStandard = valueLabel(this, "videoStandard", tr("Video standard"));
    _current = valueLabel(this, "currentRegister", tr("Current register"));
    auto* form = new QFormLayout;
    form->addRow(tr("Firmware version:"), _version);
    form->addRow(tr("Video standard:"), _videoStandard);
    form->addRow(tr("Current register:"), _current);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    _setCurrent = buttons->addButton(tr("&Set Current Register..."), QDialogButtonBox::ActionRole);
    _refresh = buttons->addButton(tr("&Refresh"), QDialogButtonBox::ActionRole);
    // Return closes the dialog rather than asking for a register or talking to the device.
    for (QPushButton* button : {_setCurrent, _refresh}) {
        button->setAutoDefault(false);
    }
    buttons->button(QDialogButtonBox::Close)->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void DeviceInformationDialog::showInformation(const DeviceInformation& information) {
    _version->setText(QString::fromLatin1(records::trimmedVersionText(information.version)));
    _videoStandard->setText(QString::number(information.videoStandard));
    showCurrentRegister(information.currentRegister);
}

void DeviceInformationDialog::showCurrentRegister(uint16_t number) {
    _currentRegister = number;
    _current->setText(registerLabelText(number));
}

} // namespace tavrel::app
