// The result of comparing the table with the device: one line per register that differs, with
// the fields that differ side by side (table value, device value), and the registers found on
// one side only; identical registers are counted, not listed. From here the differences can be
// uploaded or the device's values taken into the table.
#pragma once

#include "RegisterComparison.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace tavrel::app {

class ComparisonDialog : public QDialog {
    Q_OBJECT

  public:
    // The dialog's return codes besides 0 (closed).
    enum Answer { UploadChanges = 2, TakeDeviceValues = 3 };

    ComparisonDialog(QWidget* parent, const files::RegisterComparison& comparison, int32_t first,
                     int32_t last);

    QLabel* summary() const { return _summary; }
    QTreeWidget* differences() const { return _differences; }
    QPushButton* uploadButton() const { return _upload; }
    QPushButton* takeButton() const { return _take; }

    // "3 differ, 1 only on the VRG-500, 296 the same" for the registers first to last.
    static QString summaryText(const files::RegisterComparison& comparison, int32_t first,
                               int32_t last);

  private:
    QLabel* _summary;
    QTreeWidget* _differences;
    QPushButton* _upload;
    QPushButton* _take;
};

} // namespace tavrel::app
