// The range sheet of the register commands: which registers a download, upload or comparison
// takes. Three choices (all 300 registers, the first hundred, or a typed range), the command's
// own text and confirm button. It lays itself out, at any font size.
#pragma once

#include "RegisterRange.h"
#include "VRG500.h"

#include <QDialog>

#include <functional>

class QButtonGroup;
class QLabel;
class QPushButton;
class QSpinBox;

namespace tavrel::app {

using records::HighestRegisterNumber;

// The radio tags of the range sheet.
inline constexpr int AllRegistersRangeTag = 0; // registers 0 to 299
inline constexpr int FirstHundredRangeTag = 1; // registers 0 to 99
inline constexpr int TypedRangeTag = 2;        // the two range fields

// Whether the sheet may be confirmed: always for the fixed ranges, and for a typed range only
// while the last register is not below the first (an inverted range would move nothing and yet
// empty the collection).
bool rangeSheetCanConfirm(int tag, int first, int last);

class RangeSheet : public QDialog {
    Q_OBJECT

  public:
    explicit RangeSheet(QWidget* parent);

    // Opens the sheet, window-modal, for a command: its text and its confirm button's title;
    // `chosen` runs with the range once the sheet has closed, unless it was cancelled. The choice
    // made last time stays.
    void ask(const QString& text, const QString& confirmTitle,
             std::function<void(records::RegisterRange)> chosen = {});

    QLabel* label() const { return _label; }
    QButtonGroup* radios() const { return _radios; } // ids are the tags
    QSpinBox* firstField() const { return _first; }  // whole numbers 0..65535
    QSpinBox* lastField() const { return _last; }
    QPushButton* confirmButton() const { return _confirm; }
    QPushButton* cancelButton() const { return _cancel; }

  signals:
    // Confirmed, once the sheet has closed; Cancel, Escape and the close button choose nothing.
    void rangeChosen(records::RegisterRange range);

  private:
    void _followRadios();
    void _confirmed();

    QLabel* _label = nullptr;
    QButtonGroup* _radios = nullptr;
    QSpinBox* _first = nullptr;
    QSpinBox* _last = nullptr;
    QPushButton* _confirm = nullptr;
    QPushButton* _cancel = nullptr;
    std::function<void(records::RegisterRange)> _chosen;
};

} // namespace tavrel::app
