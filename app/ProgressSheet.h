// The progress sheet of the register transfers: built by AppController::_createProgressSheet()
// (ProgressSheet.cpp) into the controller's progress outlets.
#pragma once

#include <QDialog>

#include <functional>

namespace tavrel::app {

// A dialog that only the running transfer closes. Escape and the window's close button ask to
// cancel, exactly as the Cancel button does; the transfer then ends at its next step and closes
// the sheet itself. Closing it directly would leave the transfer running unseen.
class ProgressSheet : public QDialog {
  public:
    explicit ProgressSheet(QWidget* parent, std::function<void()> cancel)
        : QDialog(parent), _cancel(std::move(cancel)) {}

    void reject() override {
        if (_cancel) {
            _cancel();
        }
    }

  private:
    std::function<void()> _cancel;
};

} // namespace tavrel::app
