// Register transfers: the range sheet, the progress sheet and the stepwise download and upload.
//
// A transfer is a chain of deferred calls on the main event loop, one register per call, so the
// window stays responsive and the progress sheet's Cancel is seen between registers. Each call
// carries its own copy of the register_step record; the connection inside it keeps the port open
// until the transfer ends.
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
using link::tavrelLog;
using link::writeRegister;
using records::RegisterEntry;
using records::registerLabel;
using records::TavrelError;
using records::TavrelErrorDomain;
using records::VRG500_registerTimeNames;

namespace {

constexpr LocationLengthRange AllRegistersRange{0, 300};
constexpr LocationLengthRange FirstHundredRange{0, 100};

// The current register widened with its sign, then taken as unsigned, against the range's end.
bool stepInRange(const register_step& step) {
    const uint64_t current = static_cast<uint64_t>(static_cast<int64_t>(step.current));
    return current < step.range.location + step.range.length;
}

// The device addresses registers by the low 16 bits of the number.
uint16_t deviceRegisterNumber(const register_step& step) {
    return static_cast<uint16_t>(step.current);
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

// Every step, the one that ends the transfer included, so a finished transfer shows a full bar.
void showRegistersDone(QProgressBar* bar, const register_step& step) {
    bar->setValue(std::clamp(step.current, bar->minimum(), bar->maximum()));
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

// The start checks of both transfers: a connection whose device answers the version request.
// When they pass, the progress sheet is up and the first step is returned.
std::optional<register_step> AppController::_beginTransfer(LocationLengthRange range,
                                                           const QString& title) {
    register_step step{_getSocket(), range, static_cast<int32_t>(range.location)};
    if (!step.socket) {
        _showError(nullptr);
        return std::nullopt;
    }
    std::string version;
    TavrelError error;
    if (!step.socket->deviceVersion(&version, &error)) {
        _showError(&error);
        return std::nullopt;
    }
    _openProgressSheet(title, range);
    return step;
}

void AppController::_downloadRegisters(LocationLengthRange range) {
    if (const std::optional<register_step> step =
            _beginTransfer(range, tr("Downloading registers"))) {
        _registersBeforeDownload = _tableModel->registers();
        _removeAllRegisters();
        QTimer::singleShot(0, this, [this, step = *step] { _downloadRegisterStep(step); });
    }
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
    if (const std::optional<register_step> step =
            _beginTransfer(range, tr("Uploading registers"))) {
        QTimer::singleShot(0, this, [this, step = *step] { _uploadRegisterStep(step); });
    }
}

// ---- The steps ---------------------------------------------------------------------------------

namespace {

// Closes the progress sheet and lets go of the transfer's connection. No step follows.
void endTransfer(QDialog* progressSheet, register_step& step) {
    progressSheet->done(0);
    step.socket.reset();
}

} // namespace

void AppController::_endDownload(register_step& step) {
    endTransfer(progressSheet, step);
    if (_registersBeforeDownload) {
        _editor->recordReplacement(*_registersBeforeDownload, tr("Download"));
        _registersBeforeDownload.reset();
    }
    validateActions();
}

void AppController::_downloadRegisterStep(register_step step) {
    showRegistersDone(progressBar, step);
    if (cancelledProgressSheet || !stepInRange(step)) {
        _endDownload(step);
        return;
    }
    showProgressStep(progressLabel, tr("Downloading register %1"), step.current);

    RegisterEntry entry;
    TavrelError error;
    if (!readRegister(*step.socket, deviceRegisterNumber(step), &entry, &error)) {
        // Those stored before stay in the table, which Undo Download takes back whole.
        const int64_t arrived = int64_t{step.current} - static_cast<int64_t>(step.range.location);
        const QString account =
            arrived <= 0 ? QString()
                         : tr("%L1 of %L2 registers arrived before the failure; Edit \u25B8 Undo "
                              "Download brings back the table as it was.")
                               .arg(arrived)
                               .arg(step.range.length);
        // The alert comes up after the progress sheet has gone.
        QTimer::singleShot(0, this, [this, error, account] { _showError(&error, account); });
        _endDownload(step);
        return;
    }
    _storeRegister(step.current, entry);

    ++step.current;
    QTimer::singleShot(0, this, [this, step] { _downloadRegisterStep(step); });
}

void AppController::_uploadRegisterStep(register_step step) {
    showRegistersDone(progressBar, step);
    if (cancelledProgressSheet || !stepInRange(step)) {
        endTransfer(progressSheet, step);
        return;
    }
    showProgressStep(progressLabel, tr("Uploading register %1"), step.current);

    // Checked whole before the transfer began (rangeUploadable).
    if (const RegisterEntry* found = _tableModel->registers().find(step.current)) {
        const RegisterEntry entry = *found;
        TavrelError error;
        if (!writeRegister(*step.socket, deviceRegisterNumber(step), entry, &error)) {
            QTimer::singleShot(0, this, [this, error] { _showError(&error); });
            endTransfer(progressSheet, step);
            return;
        }
    }

    ++step.current;
    QTimer::singleShot(0, this, [this, step] { _uploadRegisterStep(step); });
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
}

void AppController::progressSheetDidEnd(int) {}

} // namespace tavrel::app
