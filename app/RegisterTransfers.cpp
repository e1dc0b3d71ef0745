#include "RegisterTransfers.h"

#include "Alerts.h"
#include "DeviceJobs.h"
#include "ProgressSheet.h"
#include "RangeSheet.h"
#include "RegisterEditor.h"
#include "RegisterTableModel.h"
#include "RegisterTransfer.h"
#include "SafeUploads.h"
#include "UploadRefusalText.h"

#include <QTimer>

namespace tavrel::app {

using files::RegisterCollection;
using link::readRegister;
using link::writeRegister;
using records::RegisterEntry;
using records::TavrelError;

namespace {

// The device addresses registers by the low 16 bits of the number.
uint16_t deviceRegisterNumber(int32_t current) {
    return static_cast<uint16_t>(current);
}

// What a failed download's alert adds: how many registers arrived before `failed` failed.
QString arrivedAccount(records::RegisterRange range, int32_t failed) {
    // Those stored before stay in the table, which Undo Download takes back whole.
    const int64_t arrived = int64_t{failed} - range.first;
    return arrived <= 0 ? QString()
                        : RegisterTransfers::tr(
                              "%L1 of %Ln register(s) arrived before the failure; Edit \u25B8 "
                              "Undo Download brings back the table as it was.",
                              nullptr, static_cast<int>(range.count()))
                              .arg(arrived);
}

} // namespace

RegisterTransfers::RegisterTransfers(const Parts& parts, QObject* parent)
    : QObject(parent), _parts(parts) {}

void RegisterTransfers::download() {
    _parts.askToSaveChanges([this] {
        _parts.rangeSheet.ask(tr("Download selected registers from the VRG-500"), tr("Download"),
                              [this](records::RegisterRange range) { downloadRange(range); });
    });
}

void RegisterTransfers::upload() {
    _parts.rangeSheet.ask(tr("Upload selected registers to the VRG-500"), tr("Upload"),
                          [this](records::RegisterRange range) { uploadRange(range); });
}

void RegisterTransfers::downloadRange(records::RegisterRange range) {
    const QString title = tr("Downloading registers");
    const QString stepText = tr("Downloading register %1");
    _parts.jobs.start([this, range, title, stepText](DeviceJob& job) {
        if (!_parts.jobs.deviceAnswers(job, title, range)) {
            return;
        }
        job.report([this] {
            _registersBeforeDownload = _parts.table.registers();
            _parts.table.removeAllRegisters();
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
                        QTimer::singleShot(0, this, [this, error, account] {
                            _parts.alerts.showError(error, account);
                        });
                    });
                    return;
                }
                break;
            }
            job.report([this, current, entry] { _parts.table.storeRegister(current, entry); });
        }
        job.report([this, current] { _endDownload(current); });
    });
}

void RegisterTransfers::uploadRange(records::RegisterRange range) {
    TavrelError refusal;
    if (!files::rangeUploadable(_parts.table.registers(), range, files::UploadRefusalVoice::Window,
                                &refusal)) {
        _parts.alerts.showError(refusal);
        return;
    }
    if (SafeUploads::safeUploadEnabled()) {
        _parts.safeUploads.startUpload(
            std::make_shared<const RegisterCollection>(_parts.table.registers()), range,
            _parts.portName());
        return;
    }
    // Checked whole before the transfer began (rangeUploadable).
    const QString title = tr("Uploading registers");
    const QString stepText = tr("Uploading register %1");
    _parts.jobs.start(
        [this, range, title, stepText, registers = _parts.table.registers()](DeviceJob& job) {
            if (!_parts.jobs.deviceAnswers(job, title, range)) {
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
                            _parts.progressSheet.end(current);
                            QTimer::singleShot(0, this,
                                               [this, error] { _parts.alerts.showError(error); });
                        });
                        return;
                    }
                    break;
                }
            }
            job.report([this, current] { _parts.progressSheet.end(current); });
        });
}

// Ends a download: the progress sheet goes, and the download becomes one undo step.
void RegisterTransfers::_endDownload(int32_t current) {
    _parts.progressSheet.end(current);
    if (_registersBeforeDownload) {
        _parts.editor.recordReplacement(*_registersBeforeDownload, tr("Download"));
        _registersBeforeDownload.reset();
    }
}

} // namespace tavrel::app
