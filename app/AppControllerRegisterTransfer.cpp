// Register transfers: the range sheet, the progress sheet and the stepwise download and upload.
//
// A transfer is a job of the transfer runner: it goes through the registers one after the other on
// the runner's worker, showing each on the progress sheet before its exchanges, and hands what it
// reads to the window's thread, which stores it. Cancel ends it at once, in the middle of an
// exchange if need be.
#include "Alerts.h"
#include "AppController.h"
#include "DeviceJobs.h"
#include "ProgressSheet.h"
#include "RangeSheet.h"
#include "RegisterEditor.h"
#include "RegisterLabel.h"
#include "RegisterTableModel.h"
#include "RegisterTransfer.h"
#include "SafeUploads.h"
#include "TavrelLog.h"
#include "UploadCheck.h"
#include "UploadRefusalText.h"

#include <QComboBox>
#include <QMainWindow>
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

// The device addresses registers by the low 16 bits of the number.
uint16_t deviceRegisterNumber(int32_t current) {
    return static_cast<uint16_t>(current);
}

// What a failed download's alert adds: how many registers arrived before `failed` failed.
QString arrivedAccount(records::RegisterRange range, int32_t failed) {
    // Those stored before stay in the table, which Undo Download takes back whole.
    const int64_t arrived = int64_t{failed} - range.first;
    return arrived <= 0
               ? QString()
               : AppController::tr("%L1 of %L2 registers arrived before the failure; Edit \u25B8 "
                                   "Undo Download brings back the table as it was.")
                     .arg(arrived)
                     .arg(range.count());
}

} // namespace

// ---- The range sheet ---------------------------------------------------------------------------

void AppController::downloadRegisters() {
    _askToSaveChanges([this] { _showDownloadRangeSheet(); });
}

void AppController::_showDownloadRangeSheet() {
    _rangeSheet->ask(tr("Download selected registers from the VRG-500"), tr("Download"),
                     [this](records::RegisterRange range) { _downloadRegisters(range); });
}

void AppController::uploadRegisters() {
    _rangeSheet->ask(tr("Upload selected registers to the VRG-500"), tr("Upload"),
                     [this](records::RegisterRange range) { _uploadRegisters(range); });
}

// The sheets, made once and opened for each command.
void AppController::_createSheets() {
    _rangeSheet = new RangeSheet(mainWindow.data());
    _progressSheet = new ProgressSheet(mainWindow.data());
}

// ---- Starting a transfer -----------------------------------------------------------------------

// The start shared by the device jobs: the selected port's connection, or the generic alert. The
// job runs on the runner's worker; the commands are disabled until it ends.
void AppController::_downloadRegisters(records::RegisterRange range) {
    const QString title = tr("Downloading registers");
    const QString stepText = tr("Downloading register %1");
    _jobs->start([this, range, title, stepText](DeviceJob& job) {
        if (!_jobs->deviceAnswers(job, title, range)) {
            return;
        }
        job.report([this] {
            _registersBeforeDownload = _tableModel->registers();
            _removeAllRegisters();
        });
        int32_t current = range.first;
        for (; !job.cancelled() && range.contains(current); ++current) {
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

void AppController::_uploadRegisters(records::RegisterRange range) {
    TavrelError refusal;
    if (!files::rangeUploadable(_tableModel->registers(), range, files::UploadRefusalVoice::Window,
                                &refusal)) {
        _showError(&refusal);
        return;
    }
    if (SafeUploads::safeUploadEnabled()) {
        _safeUploads->startUpload(
            std::make_shared<const RegisterCollection>(_tableModel->registers()), range,
            _ports->portName());
        return;
    }
    // Checked whole before the transfer began (rangeUploadable).
    const QString title = tr("Uploading registers");
    const QString stepText = tr("Uploading register %1");
    _jobs->start(
        [this, range, title, stepText, registers = _tableModel->registers()](DeviceJob& job) {
            if (!_jobs->deviceAnswers(job, title, range)) {
                return;
            }
            int32_t current = range.first;
            for (; !job.cancelled() && range.contains(current); ++current) {
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

void AppController::_endTransfer(int32_t current) {
    _progressSheet->end(current);
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

void AppController::_openProgressSheet(const QString& title, records::RegisterRange range) {
    _progressSheet->begin(title, range);
    validateActions();
}

void AppController::_closeProgressSheet() {
    _progressSheet->end();
}

void AppController::cancelProgressSheet() {
    _jobs->cancel();
}

} // namespace tavrel::app
