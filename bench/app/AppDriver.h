// The application as a person uses it, for the benchmarks that time device work through the
// window: the main window on one serial port, the Device menu's commands, the range sheet, the
// progress sheet's Cancel. Everything such a benchmark needs of the application goes through here,
// so that when the application's insides move, only this file follows them.
#pragma once

#include "BenchSupport.h"
#include "ComparisonDialog.h"
#include "RangeSheet.h"
#include "SafeUploads.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QCoreApplication>
#include <QDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

namespace benchapp {

using tavrel::app::AppController;
using tavrel::files::RegisterCollection;

// A press and release of the progress sheet's Cancel button, made ready on the window's thread
// and posted from any thread, as the window system hands a person's click to the window: it is
// seen when the window's event loop next runs. `seen` runs on the window's thread when the button
// takes the click.
class CancelClick {
  public:
    CancelClick(QPushButton* button, const QPointingDevice* mouse, std::function<void()> seen)
        : _button(button) {
        _seen = QObject::connect(button, &QPushButton::clicked, button, std::move(seen));
        const QPointF centre = QRectF(button->rect()).center();
        const QPointF global = button->mapToGlobal(centre);
        _press =
            std::make_unique<QMouseEvent>(QEvent::MouseButtonPress, centre, global, Qt::LeftButton,
                                          Qt::LeftButton, Qt::NoModifier, mouse);
        _release =
            std::make_unique<QMouseEvent>(QEvent::MouseButtonRelease, centre, global,
                                          Qt::LeftButton, Qt::NoButton, Qt::NoModifier, mouse);
    }

    ~CancelClick() { QObject::disconnect(_seen); }
    CancelClick(const CancelClick&) = delete;
    CancelClick& operator=(const CancelClick&) = delete;

    // Once; from any thread.
    void post() {
        if (!_posted.exchange(true)) {
            QCoreApplication::postEvent(_button, _press.release());
            QCoreApplication::postEvent(_button, _release.release());
        }
    }

  private:
    QWidget* _button;
    std::unique_ptr<QMouseEvent> _press;
    std::unique_ptr<QMouseEvent> _release;
    std::atomic<bool> _posted{false};
    QMetaObject::Connection _seen;
};

class AppDriver {
  public:
    enum class Job { Download, Upload, Compare };

    // The main window, shown, with the device at `devicePath` as its one and selected port.
    AppDriver(const std::string& portName, const std::string& devicePath)
        : _controller(benchsupport::onePort(portName, devicePath)) {
        _controller.window()->show();
        QCoreApplication::processEvents();
    }

    QMainWindow* window() const { return _controller.window(); }

    // The table as if a file holding `registers` had been opened.
    void setRegisters(RegisterCollection registers) {
        _controller.tableModel()->replaceRegisters(std::move(registers));
    }

    // Device ▸ Compare Before Upload, on or off.
    void setSafeUpload(bool on) {
        QAction* action = app().window()->action(tavrel::app::Command::SafeUpload);
        if (action->isChecked() != on) {
            action->trigger();
        }
        if (QSettings().value(tavrel::app::SafeUploadKey, true).toBool() != on) {
            fail("the safe upload preference did not follow its action");
        }
    }

    // The job's command, up to its range sheet; a question about unsaved changes is answered
    // with Don't Save.
    void openRangeSheet(Job job) {
        QAction* action =
            job == Job::Download ? app().window()->action(tavrel::app::Command::DownloadRegisters)
            : job == Job::Upload ? app().window()->action(tavrel::app::Command::UploadRegisters)
                                 : app().window()->action(tavrel::app::Command::Compare);
        action->trigger();
        if (QMessageBox* question = _controller.alerts()->current()) {
            if (QAbstractButton* dontSave = question->button(QMessageBox::Discard)) {
                dontSave->click();
            }
        }
        if (!app().rangeSheet()->isVisible()) {
            fail("the range sheet did not come up");
        }
    }

    // Registers `first` to `last` typed into the range sheet, and its confirm button clicked.
    void acceptRangeSheet(int first, int last) {
        app().rangeSheet()->radios()->button(tavrel::app::TypedRangeTag)->click();
        app().rangeSheet()->firstField()->setValue(first);
        app().rangeSheet()->lastField()->setValue(last);
        app().rangeSheet()->confirmButton()->click();
    }

    // Whether device work is under way: its progress sheet is up.
    bool jobRunning() const {
        return app().progressSheet()->isVisible() || _controller.transferRunner()->isRunning();
    }

    // A click on the running job's Cancel, to post later (see CancelClick).
    std::unique_ptr<CancelClick> prepareCancelClick(std::function<void()> seen) {
        auto* button = app().progressSheet()->findChild<QPushButton*>("progressCancelButton");
        if (button == nullptr) {
            fail("the progress sheet has no Cancel button");
        }
        return std::make_unique<CancelClick>(button, QPointingDevice::primaryPointingDevice(),
                                             std::move(seen));
    }

    // Whether a comparison's result is up; closes it.
    bool comparisonShown() const { return shownComparison() != nullptr; }
    void closeComparison() {
        if (QDialog* shown = shownComparison()) {
            shown->done(0);
        }
    }

    size_t registerCount() const { return app().tableModel()->registers().size(); }

    // The open alert's message, empty when none is open; and its dismissal.
    QString alertText() const {
        QMessageBox* alert = _controller.alerts()->current();
        return alert ? alert->text() : QString();
    }
    void dismissAlert() {
        if (QMessageBox* alert = _controller.alerts()->current()) {
            alert->done(0);
            QCoreApplication::processEvents();
        }
    }

  private:
    const tavrel::app::AppController& app() const { return _controller; }

    QDialog* shownComparison() const {
        for (auto* dialog : window()->findChildren<tavrel::app::ComparisonDialog*>()) {
            if (dialog->isVisible()) {
                return dialog;
            }
        }
        return nullptr;
    }

    [[noreturn]] static void fail(const char* what) {
        std::fprintf(stderr, "%s\n", what);
        std::exit(1);
    }

    AppController _controller;
};

} // namespace benchapp
