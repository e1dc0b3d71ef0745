#include "RangeSheet.h"

#include "AppController.h"

#include <QButtonGroup>
#include <QDialog>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionButton>

namespace tavrel::app {

namespace {

// The sheet's geometry, in pixels.
constexpr int SheetWidth = 420;
constexpr int SheetHeight = 196;
constexpr int Margin = 20;
constexpr int ButtonWidth = 80;
constexpr int ButtonHeight = 28;
constexpr int ButtonGap = 8;
constexpr int ButtonTop = SheetHeight - Margin - ButtonHeight;
constexpr int RadioLeft = 40;
constexpr int RadioHeight = 24;

QSpinBox* newRangeField(QWidget* parent, int value, int left, int top) {
    auto* field = new QSpinBox(parent);
    field->setRange(0, HighestRegisterNumber);
    field->setValue(value);
    field->setAlignment(Qt::AlignRight);
    field->setGeometry(left, top, 84, RadioHeight);
    return field;
}

} // namespace

bool rangeSheetCanConfirm(int tag, int first, int last) {
    return tag != TypedRangeTag || last >= first;
}

int pushButtonFittedWidth(const QPushButton* button) {
    // The option carries no text on purpose: the style would then apply its minimum button
    // width, and every short title would come out equally wide.
    QStyleOptionButton option;
    option.initFrom(button);
    const QSize textSize = button->fontMetrics().size(Qt::TextShowMnemonic, button->text());
    option.rect.setSize(textSize);
    return button->style()
        ->sizeFromContents(QStyle::CT_PushButton, &option, textSize, button)
        .width();
}

void AppController::_createRangeSheet() {
    rangeSheet = new QDialog(mainWindow);
    rangeSheet->setObjectName("rangeSheet");
    rangeSheet->setWindowTitle(tr("Register Range"));
    rangeSheet->setWindowModality(Qt::WindowModal);
    // A sheet of fixed size: a title and a close button (which cancels), nothing to maximise.
    rangeSheet->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowCloseButtonHint);
    rangeSheet->setFixedSize(SheetWidth, SheetHeight);

    rangeLabel = new QLabel(tr("Download selected registers from the VRG-500"), rangeSheet);
    rangeLabel->setGeometry(Margin, 16, SheetWidth - 2 * Margin, 20);

    rangeRadios = new QButtonGroup(rangeSheet);
    static const char* const titles[] = {QT_TR_NOOP("Registers 0 to &299"),
                                         QT_TR_NOOP("Registers 0 to &99"), QT_TR_NOOP("&Range:")};
    for (int tag = AllRegistersRangeTag; tag <= TypedRangeTag; ++tag) {
        auto* radio = new QRadioButton(tr(titles[tag]), rangeSheet);
        radio->setGeometry(RadioLeft, 48 + tag * 28, tag == TypedRangeTag ? 76 : 240, RadioHeight);
        rangeRadios->addButton(radio, tag);
    }
    rangeRadios->button(AllRegistersRangeTag)->setChecked(true);

    const int fieldsTop = 48 + TypedRangeTag * 28;
    minRangeField = newRangeField(rangeSheet, 0, RadioLeft + 80, fieldsTop);
    minRangeField->setAccessibleName(tr("First register"));
    auto* to = new QLabel(tr("&to"), rangeSheet);
    to->setAlignment(Qt::AlignCenter);
    to->setGeometry(RadioLeft + 168, fieldsTop, 28, RadioHeight);
    maxRangeField = newRangeField(rangeSheet, 299, RadioLeft + 200, fieldsTop);
    maxRangeField->setAccessibleName(tr("Last register"));
    to->setBuddy(maxRangeField);

    // Confirm at the right edge, Cancel to its left; _layoutRangeSheet refits both to the
    // confirm button's title each time the sheet opens.
    const int confirmLeft = SheetWidth - Margin - ButtonWidth;
    rangeConfirmButton = new QPushButton(tr("Download"), rangeSheet);
    rangeConfirmButton->setGeometry(confirmLeft, ButtonTop, ButtonWidth, ButtonHeight);
    rangeConfirmButton->setDefault(true);
    rangeCancelButton = new QPushButton(tr("Cancel"), rangeSheet);
    rangeCancelButton->setGeometry(confirmLeft - ButtonGap - ButtonWidth, ButtonTop, ButtonWidth,
                                   ButtonHeight);

    // Left to right, as the buttons stand; Escape cancels, Return confirms.
    QWidget::setTabOrder(rangeRadios->button(TypedRangeTag), minRangeField);
    QWidget::setTabOrder(minRangeField, maxRangeField);
    QWidget::setTabOrder(maxRangeField, rangeCancelButton);
    QWidget::setTabOrder(rangeCancelButton, rangeConfirmButton);

    // The fields follow the checked radio however it became checked: a click, the arrow keys,
    // a mnemonic or an assistive technology's toggle, which clicks nothing.
    connect(rangeRadios, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked) {
            selectRangeRadio();
        }
    });
    auto updateConfirm = [this] {
        rangeConfirmButton->setEnabled(rangeSheetCanConfirm(
            rangeRadios->checkedId(), minRangeField->value(), maxRangeField->value()));
    };
    connect(minRangeField, &QSpinBox::valueChanged, this, updateConfirm);
    connect(maxRangeField, &QSpinBox::valueChanged, this, updateConfirm);
    connect(rangeConfirmButton, &QPushButton::clicked, this, [this] { confirmRangeSheet(); });
    connect(rangeCancelButton, &QPushButton::clicked, this, [this] { cancelRangeSheet(); });
    // Escape and the window's close button end the sheet like Cancel (return code 0).
    connect(rangeSheet, &QDialog::finished, this,
            [this](int returnCode) { rangeSheetDidEnd(returnCode, _rangeSheetContext); });
}

} // namespace tavrel::app
