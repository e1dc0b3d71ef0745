// Asks for one register number in a window-modal dialog (Insert Register…, Duplicate To…,
// Go to Register…). The number runs from 0 to 65535, the registers the device addresses.
#pragma once

#include "RangeSheet.h"

#include <QInputDialog>
#include <QString>

#include <cstdint>
#include <functional>
#include <utility>

namespace tavrel::app {

inline QInputDialog* askRegisterNumber(QWidget* window, const QString& title, const QString& label,
                                       const QString& okTitle, int32_t proposed,
                                       std::function<void(int32_t)> accepted) {
    auto* dialog = new QInputDialog(window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setWindowTitle(title);
    dialog->setLabelText(label);
    dialog->setInputMode(QInputDialog::IntInput);
    dialog->setIntRange(0, HighestRegisterNumber);
    dialog->setIntValue(proposed);
    dialog->setOkButtonText(okTitle);
    QObject::connect(dialog, &QInputDialog::intValueSelected, dialog,
                     [accepted = std::move(accepted)](int value) { accepted(value); });
    dialog->open();
    return dialog;
}

} // namespace tavrel::app
