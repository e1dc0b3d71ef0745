// Register transfers: the range sheet, the progress sheet and the stepwise download and upload.
//
// A transfer is a job of the transfer runner: it goes through the registers one after the other on
// the runner's worker, showing each on the progress sheet before its exchanges, and hands what it
// reads to the window's thread, which stores it. Cancel ends it at once, in the middle of an
// exchange if need be.
#include "AppController.h"
#include "RangeSheet.h"
#include "RegisterEditor.h"
#include "RegisterLabel.h"
#include "RegisterTableModel.h"
#include "RegisterTransfer.h"
#include "TavrelLog.h"
#include "UploadCheck.h"
#include "UploadRefusal.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include <algorithm>
#include <climits>

namespace tavrel::app {

using files::firstUploadProblemInRange;
using files::RefusedRegister;
using files::RegisterCollection;
using files::UploadProblem;
using link::readRegister;
using link::writeRegister;
using records::RegisterEntry;
using records::registerLabel;
using records::TavrelError;
using records::TavrelErrorDomain;
using records::tavrelLog;
using records::VRG500_registerTimeNames;

namespace {

constexpr LocationLengthRange AllRegistersRange{0, 300};
constexpr LocationLengthRange FirstHundredRange{0, 100};

// The current register widened with its sign, then taken as unsigned, against the range's end.
bool inRange(LocationLengthRange range, int32_t current) {
    const uint64_t widened = static_cast<uint64_t>(static_cast<int64_t>(current));
    return widened < range.location + range.length;
}

// The device addresses registers by the low 16 bits of the number.
uint16_t deviceRegisterNumber(int32_t current) {
    return static_cast<uint16_t>(current);
}

// What a failed download's alert adds: how many registers arrived before `failed` failed.
QString arrivedAccount(LocationLengthRange range, int32_t failed) {
    // Those stored before stay in the table, which Undo Download takes back whole.
    const int64_t arrived = int64_t{failed} - static_cast<int64_t>(range.location);
    return arrived <= 0
               ? QString()
               : AppController::tr("%L1 of %L2 registers arrived before the failure; Edit \u25B8 "
                                   "Undo Download brings back the table as it was.")
                     .arg(arrived)
                     .arg(range.length);
}

// The bar runs from the first register to one past the last, and stands at the register a step
// is about to move: the registers before it are done. So a single register goes from empty to
// full, where a bar from the first number to the last would have no length at all (and an empty
// range would draw the toolkit's busy bar).
void showProgressRange(QProgressBar* bar, LocationLengthRange range) {
    const uint64_t room = range.location < INT_MAX ? INT_MAX - range.location : 0;
    const uint64_t length = std::max<uint64_t>(1, std::min(range.length, room));
    bar->setRange(static_cast<int>(range.location), static_cast<int>(range.location + length));
    bar->setValue(static_cast<int>(range.location));
}

void showProgressStep(QLabel* label, const QString& text, int32_t current) {
    label->setText(text.arg(current));
}

} // namespace

// ---- The range sheet ---------------------------------------------------------------------------

void AppController::downloadRegisters() {
    _askToSaveChanges([this] { _showDownloadRangeSheet(); });
}

void AppController::_showDownloadRangeSheet() {
    _openRangeSheet(&AppController::_downloadRegisters,
                    tr("Download selected registers from the VRG-500"), tr("Download"));
}

void AppController::uploadRegisters() {
    _openRangeSheet(&AppController::_uploadRegisters,
                    tr("Upload selected registers to the VRG-500"), tr("Upload"));
}

void AppController::_openRangeSheet(RangeStartOperation context, const QString& label,
                                    const QString& confirmTitle) {
    _rangeSheetContext = context;
    rangeLabel->setText(label);
    rangeConfirmButton->setText(confirmTitle);
    _layoutRangeSheet();
    selectRangeRadio();
    rangeSheet->open();
}

void AppController::_layoutRangeSheet() {
    const QRect confirmFrame = rangeConfirmButton->geometry();
    const QRect cancelFrame = rangeCancelButton->geometry();
    const int fitted = pushButtonFittedWidth(rangeConfirmButton);
    // The confirm button keeps its right edge and is 12 wider than its title needs; Cancel moves
    // with the confirm button's left edge.
    const int shift = (confirmFrame.width() - fitted) - 12;
    rangeConfirmButton->setGeometry(confirmFrame.x() + shift, confirmFrame.y(), fitted + 12,
                                    confirmFrame.height());
    rangeCancelButton->setGeometry(cancelFrame.x() + shift, cancelFrame.y(), cancelFrame.width(),
                                   cancelFrame.height());
}

void AppController::selectRangeRadio() {
    const int tag = rangeRadios->checkedId();
    minRangeField->setEnabled(tag == TypedRangeTag);
    maxRangeField->setEnabled(tag == TypedRangeTag);
    rangeConfirmButton->setEnabled(
        rangeSheetCanConfirm(tag, minRangeField->value(), maxRangeField->value()));
}

void AppController::confirmRangeSheet() {
    rangeSheet->done(1);
}

void AppController::cancelRangeSheet() {
    rangeSheet->done(0);
}

void AppController::rangeSheetDidEnd(int returnCode, RangeStartOperation context) {
    if (returnCode != 1 || !context) {
        return;
    }
    LocationLengthRange range;
    const int tag = rangeRadios->checkedId();
    switch (tag) {
    case AllRegistersRangeTag:
        range = AllRegistersRange;
        break;
    case FirstHundredRangeTag:
        range = FirstHundredRange;
        break;
    case TypedRangeTag: {
        const int32_t first = minRangeField->value();
        const int32_t last = maxRangeField->value();
        if (!rangeSheetCanConfirm(tag, first, last)) {
            tavrelLog("Empty register range: %d to %d", first, last);
            return;
        }
        range.location = static_cast<uint64_t>(static_cast<int64_t>(first));
        range.length = static_cast<uint64_t>(static_cast<int64_t>(last - first + 1));
        break;
    }
    default:
        tavrelLog("Unexpected radio tag: %d", tag);
        return;
    }
    // Started once the sheet has fully closed.
    QTimer::singleShot(0, this, [this, context, range] { (this->*context)(range); });
}

// ---- Starting a transfer -----------------------------------------------------------------------

// The start shared by the device jobs: the selected port's connection, or the generic alert. The
// job runs on the runner's worker; the commands are disabled until it ends.
bool AppController::_startDeviceJob(TransferRunner::Work work) {
    std::shared_ptr<link::TavrelSocket> socket = _getSocket();
    if (!socket) {
        _showError(nullptr);
        return false;
    }
    _runner->start(std::move(socket), std::move(work));
    validateActions();
    return true;
}

// The start checks of the register jobs, on the worker: the device answers the version request.
// When it does, the progress sheet comes up with `title` over `range`; otherwise the alert says
// why and the job ends.
bool AppController::_deviceAnswers(DeviceJob& job, const QString& title,
                                   LocationLengthRange range) {
    std::string version;
    TavrelError error;
    if (!job.socket().deviceVersion(&version, &error)) {
        job.report([this, error] { _showError(&error); });
        return false;
    }
    job.reportAndWait([this, title, range] { _openProgressSheet(title, range); });
    return true;
}

void AppController::_downloadRegisters(LocationLengthRange range) {
    const QString title = tr("Downloading registers");
    const QString stepText = tr("Downloading register %1");
    _startDeviceJob([this, range, title, stepText](DeviceJob& job) {
        if (!_deviceAnswers(job, title, range)) {
            return;
        }
        job.report([this] {
            _registersBeforeDownload = _tableModel->registers();
            _removeAllRegisters();
        });
        int32_t current = static_cast<int32_t>(range.location);
        for (; !job.cancelled() && inRange(range, current); ++current) {
            job.showProgress(stepText, current);
            RegisterEntry entry;
            TavrelError error;
            if (!readRegister(job.socket(), deviceRegisterNumber(current), &entry, &error)) {
                if (!job.cancelled()) {
                    job.report([this, range, current, error] {
                        _endDownload(current);
                        // The alert comes up after the progress sheet has gone.
                        const QString account = arrivedAccount(range, current);
                        QTimer::singleShot(0, this,
                                           [this, error, account] { _showError(&error, account); });
                    });
                    return;
                }
                break;
            }
            job.report([this, current, entry] { _storeRegister(current, entry); });
        }
        job.report([this, current] { _endDownload(current); });
    });
}

void AppController::_uploadRegisters(LocationLengthRange range) {
    TavrelError refusal;
    if (!rangeUploadable(_tableModel->registers(), range, &refusal)) {
        _showError(&refusal);
        return;
    }
    if (_safeUploadEnabled()) {
        _startUpload(std::make_shared<const RegisterCollection>(_tableModel->registers()), range,
                     serialPopUpButton->currentText());
        return;
    }
    // Checked whole before the transfer began (rangeUploadable).
    const QString title = tr("Uploading registers");
    const QString stepText = tr("Uploading register %1");
    _startDeviceJob(
        [this, range, title, stepText, registers = _tableModel->registers()](DeviceJob& job) {
            if (!_deviceAnswers(job, title, range)) {
                return;
            }
            int32_t current = static_cast<int32_t>(range.location);
            for (; !job.cancelled() && inRange(range, current); ++current) {
                job.showProgress(stepText, current);
                const RegisterEntry* entry = registers.find(current);
                TavrelError error;
                if (entry != nullptr &&
                    !writeRegister(job.socket(), deviceRegisterNumber(current), *entry, &error)) {
                    if (!job.cancelled()) {
                        job.report([this, current, error] {
                            _endTransfer(current);
                            QTimer::singleShot(0, this, [this, error] { _showError(&error); });
                        });
                        return;
                    }
                    break;
                }
            }
            job.report([this, current] { _endTransfer(current); });
        });
}

// ---- Ending ------------------------------------------------------------------------------------

// The bar shows the registers before `current` done, then the progress sheet goes.
void AppController::_endTransfer(int32_t current) {
    progressBar->setValue(std::clamp(current, progressBar->minimum(), progressBar->maximum()));
    _closeProgressSheet();
}

// Ends a download: the progress sheet goes, and the download becomes one undo step.
void AppController::_endDownload(int32_t current) {
    _endTransfer(current);
    if (_registersBeforeDownload) {
        _editor->recordReplacement(*_registersBeforeDownload, tr("Download"));
        _registersBeforeDownload.reset();
    }
    validateActions();
}

void AppController::_openProgressSheet(const QString& title, LocationLengthRange range) {
    progressLabel->setText(title);
    showProgressRange(progressBar, range);
    cancelledProgressSheet = false;
    progressSheet->open();
    validateActions();
}

void AppController::_showProgress(const QString& text, int32_t current) {
    // The text first, so that what follows the bar sees the step's own text.
    showProgressStep(progressLabel, text, current);
    progressBar->setValue(std::clamp(current, progressBar->minimum(), progressBar->maximum()));
}

void AppController::_closeProgressSheet() {
    progressSheet->done(0);
}

void AppController::cancelProgressSheet() {
    cancelledProgressSheet = true;
    _runner->cancel();
}

void AppController::progressSheetDidEnd(int) {}

} // namespace tavrel::app
