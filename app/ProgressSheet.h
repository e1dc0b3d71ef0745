// The progress sheet of the device jobs: a text, a bar over the job's registers, and Cancel. Only
// the running job closes it: Cancel, Escape and the window's close button ask to cancel, and the
// job then ends and closes the sheet itself (closing it directly would leave the job running
// unseen). It lays itself out, at any font size.
#pragma once

#include "RegisterRange.h"

#include <QDialog>

#include <cstdint>

class QLabel;
class QProgressBar;
class QPushButton;

namespace tavrel::app {

class ProgressSheet : public QDialog {
    Q_OBJECT

  public:
    explicit ProgressSheet(QWidget* parent);

    // Opens the sheet, window-modal, with `title` and the bar over `range`.
    void begin(const QString& title, records::RegisterRange range);
    // Shows `text` (with "%1" for the register) and the bar at `current`: the registers before it
    // are done.
    void showProgress(const QString& text, int32_t current);
    // The bar at `current`, then the sheet closes.
    void end(int32_t current);
    void end();

    void reject() override { emit cancelRequested(); }

    QLabel* label() const { return _label; }
    QProgressBar* bar() const { return _bar; }
    QPushButton* cancelButton() const { return _cancel; }

  signals:
    void cancelRequested();

  private:
    void _showDone(int32_t current);

    QLabel* _label = nullptr;
    QProgressBar* _bar = nullptr;
    QPushButton* _cancel = nullptr;
};

} // namespace tavrel::app
