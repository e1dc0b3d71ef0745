// "Offset Registers…": a window-modal dialog choosing registers first to last, the machines whose
// times move, the offset and its direction. The Offset button is enabled only for a choice the
// device can be sent: a range that holds a register, at least one machine, and an offset of the
// form and size the offset commands carry (records::parseOffsetInput), whose refusal is shown
// under the field.
#pragma once

#include "VRG500.h"

#include <QDialog>
#include <QString>

#include <array>
#include <cstdint>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace tavrel::app {

// What the dialog asks for; DeviceTools keeps the last one for the next time.
struct OffsetChoice {
    int32_t first = 0;
    int32_t last = 299;
    std::array<bool, 4> machines{true, true, true, true}; // A to D
    QString offsetText;
    bool add = true;
};

class OffsetRegistersDialog : public QDialog {
    Q_OBJECT

  public:
    OffsetRegistersDialog(QWidget* parent, const OffsetChoice& choice);

    OffsetChoice choice() const;
    // The offset typed; meaningful while the Offset button is enabled.
    records::VRG500_registerTime offset() const { return _offset; }

    QSpinBox* firstField() const { return _first; }
    QSpinBox* lastField() const { return _last; }
    QCheckBox* machineBox(int machine) const { return _machines.at(size_t(machine)); }
    QLineEdit* offsetField() const { return _offsetField; }
    QLabel* offsetRefusal() const { return _refusal; }
    QRadioButton* addButton() const { return _add; }
    QRadioButton* subtractButton() const { return _subtract; }
    QPushButton* offsetButton() const { return _confirm; }

  private:
    void _validate();

    QSpinBox* _first;
    QSpinBox* _last;
    std::array<QCheckBox*, 4> _machines{};
    QLineEdit* _offsetField;
    QLabel* _refusal;
    QRadioButton* _add;
    QRadioButton* _subtract;
    QPushButton* _confirm;
    records::VRG500_registerTime _offset;
};

} // namespace tavrel::app
