// Never uploading blind: comparing the table with the device, uploading only the registers that
// differ, and keeping what an upload overwrites as a snapshot that can be restored.
//
// A safe upload is one job of the transfer runner, in two phases on the progress sheet: it reads
// the range's registers that the upload would send, then, once the whole range is read, writes only
// those that differ from what the device holds, after keeping the device's values of those as a
// snapshot file. Nothing is sent before the reading phase has ended, so cancelling it (or a
// failure) leaves the device untouched; a snapshot that cannot be written stops the upload before
// it sends anything.
#include "SafeUploads.h"

#include "AlertWidth.h"
#include "Alerts.h"
#include "ComparisonDialog.h"
#include "DeviceJobs.h"
#include "FilePanel.h"
#include "LibraryTexts.h"
#include "ProgressSheet.h"
#include "RangeSheet.h"
#include "RegisterComparison.h"
#include "RegisterEditor.h"
#include "RegisterFile.h"
#include "RegisterLabelText.h"
#include "RegisterTableModel.h"
#include "RegisterTransfer.h"
#include "SafeUploadPlan.h"
#include "SnapshotDialog.h"
#include "TavrelLog.h"
#include "UploadAccount.h"
#include "UploadRefusalText.h"
#include "UploadSnapshot.h"

#include <QDialog>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>

namespace tavrel::app {

using files::compareRegisters;
using files::onlyRegisters;
using files::RegisterCollection;
using files::RegisterComparison;
using files::RegisterDifference;
using files::SnapshotInfo;
using link::readRegister;
using link::writeRegisterOver;
using records::RegisterEntry;
using records::TavrelError;

struct SafeUploads::upload_plan {
    enum class Purpose { Upload, Compare };
    Purpose purpose = Purpose::Upload;
    // What an upload sends; for a comparison, the table's registers compared.
    std::shared_ptr<const RegisterCollection> source;
    records::RegisterRange range;
    std::vector<int32_t> toRead; // ascending
    RegisterCollection device;   // as read
    std::vector<int32_t> toWrite;
    size_t next = 0; // into toRead while reading, into toWrite while writing
    // The port's name as listed, for the snapshot's file name.
    QString port;
    SnapshotInfo snapshot; // of what the writing overwrites
};

namespace {

std::vector<int32_t> everyNumberOf(records::RegisterRange range) {
    std::vector<int32_t> numbers;
    for (int64_t number = range.first; number <= range.last; ++number) {
        numbers.push_back(static_cast<int32_t>(number));
    }
    return numbers;
}

} // namespace

SafeUploads::SafeUploads(Parts parts, QObject* parent)
    : QObject(parent), _jobs(parts.jobs), _alerts(parts.alerts), _rangeSheet(parts.rangeSheet),
      _progressSheet(parts.progressSheet), _table(parts.table), _editor(parts.editor),
      _window(parts.window), _portName(std::move(parts.portName)) {}

bool SafeUploads::safeUploadEnabled() {
    return QSettings().value(SafeUploadKey, true).toBool();
}

void SafeUploads::setSafeUploadEnabled(bool on) {
    QSettings().setValue(SafeUploadKey, on);
}

QString SafeUploads::snapshotFolder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
        .filePath("Snapshots");
}

// ---- Starting ----------------------------------------------------------------------------------

void SafeUploads::startUpload(std::shared_ptr<const RegisterCollection> source,
                              records::RegisterRange range, const QString& port) {
    auto plan = std::make_shared<upload_plan>();
    plan->toRead = files::registersToRead(*source, range);
    plan->source = std::move(source);
    plan->range = range;
    plan->port = port;
    const std::string folder = localFilePath(snapshotFolder());
    const QString title = tr("Uploading registers");
    _jobs.start([this, plan, folder, title](DeviceJob& job) {
        if (_jobs.deviceAnswers(job, title, plan->range) && _readPlanned(job, *plan) &&
            _keepSnapshot(job, plan, folder)) {
            _writePlanned(job, plan);
        }
    });
}

void SafeUploads::compareWithDevice() {
    _rangeSheet.ask(tr("Compare selected registers with the VRG-500"), tr("Compare"),
                    [this](records::RegisterRange range) { compareRange(range); });
}

void SafeUploads::compareSelected(const std::vector<int32_t>& numbers) {
    if (numbers.empty()) {
        return;
    }
    const records::RegisterRange range{numbers.front(), numbers.back()};
    _beginComparison(range, numbers);
}

void SafeUploads::compareRange(records::RegisterRange range) {
    _beginComparison(range, everyNumberOf(range));
}

void SafeUploads::_beginComparison(records::RegisterRange range, std::vector<int32_t> numbers) {
    auto plan = std::make_shared<upload_plan>();
    plan->purpose = upload_plan::Purpose::Compare;
    plan->range = range;
    plan->source =
        std::make_shared<const RegisterCollection>(onlyRegisters(_table.registers(), numbers));
    plan->toRead = std::move(numbers);
    const QString title = tr("Comparing registers");
    _jobs.start([this, plan, title](DeviceJob& job) {
        if (_jobs.deviceAnswers(job, title, plan->range) && _readPlanned(job, *plan)) {
            job.report([this, plan] {
                _progressSheet.end();
                QTimer::singleShot(0, this, [this, plan] { _showComparison(plan); });
            });
        }
    });
}

// ---- The phases, on the runner's worker ------------------------------------------------------

// Reads what the device holds of the registers to read. Nothing has been sent when this fails
// or is cancelled: the sheet goes (with the alert after a failure) and false says to stop.
bool SafeUploads::_readPlanned(DeviceJob& job, upload_plan& plan) {
    const QString stepText = tr("Reading register %1");
    for (const int32_t number : plan.toRead) {
        if (job.cancelled()) {
            break;
        }
        job.showProgress(stepText, number);
        RegisterEntry entry;
        TavrelError error;
        if (!readRegister(job.socket(), static_cast<uint16_t>(number), &entry, &error)) {
            if (job.cancelled()) {
                break;
            }
            _jobs.fail(job, error);
            return false;
        }
        plan.device.set(number, std::move(entry));
    }
    if (job.cancelled()) {
        _jobs.closeSheet(job);
        return false;
    }
    return true;
}

// Decides what to write and keeps what it overwrites as a snapshot in `folder`; false (after the
// alert) when there is nothing to write or the snapshot cannot be kept, and nothing was sent.
bool SafeUploads::_keepSnapshot(DeviceJob& job, const std::shared_ptr<upload_plan>& plan,
                                const std::string& folder) {
    plan->toWrite = files::registersToWrite(*plan->source, plan->device, plan->range);
    const records::RegisterRange range = plan->range;
    if (plan->toWrite.empty()) {
        job.report([this, range] {
            _progressSheet.end();
            QTimer::singleShot(0, this, [this, range] {
                _alerts.show(
                    tr("Nothing to upload"),
                    tr("The VRG-500 holds registers %1 to %2 as they are already; "
                       "nothing was sent.")
                        .arg(registerLabelText(range.first), registerLabelText(range.last)),
                    false);
            });
        });
        return false;
    }
    TavrelError error;
    if (!files::writeUploadSnapshot(folder, plan->port.toStdString(), range,
                                    onlyRegisters(plan->device, plan->toWrite), &plan->snapshot,
                                    &error)) {
        const QString reason =
            QString::fromLocal8Bit(error.failureReason.value_or(error.description));
        job.report([this, reason] {
            _progressSheet.end();
            QTimer::singleShot(0, this, [this, reason] {
                _alerts.show(tr("The upload did not start"),
                             tr("The registers it would overwrite could not be kept as a "
                                "snapshot, so nothing was sent.\n\n%1")
                                 .arg(reason),
                             true);
            });
        });
        return false;
    }
    return true;
}

// Writes the registers that differ, each keeping the device's bytes where it holds the same. A
// Cancel or a failure ends it with the account of how far it got.
void SafeUploads::_writePlanned(DeviceJob& job, const std::shared_ptr<upload_plan>& plan) {
    const QString stepText = tr("Writing register %1");
    for (plan->next = 0; plan->next < plan->toWrite.size(); ++plan->next) {
        if (job.cancelled()) {
            break;
        }
        const int32_t number = plan->toWrite[plan->next];
        job.showProgress(stepText, number);
        TavrelError error;
        if (!writeRegisterOver(
                job.socket(), static_cast<uint16_t>(number),
                files::registerToSend(*plan->source->find(number), plan->device.find(number)),
                &error)) {
            // Cut short by Cancel, the register may hold part of what was sent all the same.
            const bool cancelled = job.cancelled();
            job.report([this, plan, error, cancelled] {
                _progressSheet.end();
                QTimer::singleShot(0, this, [this, plan, error, cancelled] {
                    _showStoppedUpload(*plan, cancelled ? nullptr : &error, true);
                });
            });
            return;
        }
    }
    const bool stopped = plan->next < plan->toWrite.size();
    job.report([this, plan, stopped] {
        _progressSheet.end();
        if (stopped) {
            QTimer::singleShot(0, this,
                               [this, plan] { _showStoppedUpload(*plan, nullptr, false); });
        }
    });
}

// Why the writing stopped (the link's error, or the user's Cancel), how far it got, and where the
// registers it overwrote are kept, with the way to put them back.
void SafeUploads::_showStoppedUpload(const upload_plan& plan, const TavrelError* error,
                                     bool cutShort) {
    files::UploadProgress progress{plan.toWrite, plan.next, std::nullopt};
    if (cutShort) {
        progress.unfinished = plan.toWrite[plan.next];
    }
    if (error != nullptr) {
        if (error->failureReason) {
            link::tavrelLog("Error: %s", error->failureReason->c_str());
        }
    }
    QString information = translatedLibraryText(files::writtenAccount(progress)) + ".";
    if (files::deviceChanged(progress)) {
        information += "\n\n" + tr("What they held before is kept in the snapshot of %1; "
                                   "Restore Snapshot… puts it back.")
                                    .arg(QString::fromStdString(plan.snapshot.when));
    }
    if (error != nullptr && error->recoverySuggestion) {
        information = translatedLibraryText(*error->recoverySuggestion, TextBytes::Latin1) +
                      "\n\n" + information;
    }
    QMessageBox* alert =
        _alerts.make(error != nullptr ? QMessageBox::Critical : QMessageBox::Warning,
                     error != nullptr ? translatedLibraryText(error->description, TextBytes::Latin1)
                                      : tr("The upload was stopped"),
                     information);
    alert->setStandardButtons(QMessageBox::Ok);
    if (files::deviceChanged(progress)) {
        QPushButton* restore = alert->addButton(tr("Restore Snapshot…"), QMessageBox::ActionRole);
        connect(restore, &QPushButton::clicked, this,
                [this] { QTimer::singleShot(0, this, [this] { restoreSnapshot(); }); });
    }
    alert->setDefaultButton(QMessageBox::Ok);
    fitAlertToInformativeText(alert);
    alert->open();
}

// ---- The comparison's result -------------------------------------------------------------------

void SafeUploads::_showComparison(std::shared_ptr<upload_plan> compared) {
    const RegisterComparison comparison =
        compareRegisters(*compared->source, compared->device, compared->range);
    auto* dialog = new ComparisonDialog(_window.data(), comparison, compared->range.first,
                                        compared->range.last);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, this, [this, compared, comparison](int answer) {
        if (answer == ComparisonDialog::UploadChanges) {
            QTimer::singleShot(0, this, [this, compared] { _uploadCompared(compared); });
        } else if (answer == ComparisonDialog::TakeDeviceValues) {
            std::vector<RegisterCollection::Item> taken;
            for (const RegisterDifference& difference : comparison.differences) {
                if (difference.kind != RegisterDifference::OnlyLeft) {
                    taken.emplace_back(difference.number,
                                       *compared->device.find(difference.number));
                }
            }
            _editor.store(std::move(taken), tr("Take Device Values"));
        }
    });
    dialog->open();
}

void SafeUploads::_uploadCompared(std::shared_ptr<upload_plan> compared) {
    TavrelError refusal;
    if (!files::rangeUploadable(_table.registers(), compared->range,
                                files::UploadRefusalVoice::Window, &refusal)) {
        _alerts.showError(refusal);
        return;
    }
    // The device may have changed since the comparison read it: the upload reads the compared
    // registers again, keeps what it reads, and decides from that.
    startUpload(std::make_shared<const RegisterCollection>(
                    onlyRegisters(_table.registers(), compared->toRead)),
                compared->range, _portName());
}

// ---- Snapshots ---------------------------------------------------------------------------------

void SafeUploads::restoreSnapshot() {
    auto* dialog = new SnapshotDialog(_window.data(),
                                      files::listUploadSnapshots(localFilePath(snapshotFolder())));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, this, [this, dialog](int answer) {
        if (answer == QDialog::Accepted && dialog->chosen() != nullptr) {
            const SnapshotInfo snapshot = *dialog->chosen();
            QTimer::singleShot(0, this, [this, snapshot] { _restoreChosen(snapshot); });
        }
    });
    dialog->open();
}

void SafeUploads::_restoreChosen(const SnapshotInfo& snapshot) {
    auto registers = std::make_shared<RegisterCollection>();
    TavrelError error;
    if (!files::readRegisterFile(snapshot.path, registers.get(), &error)) {
        _alerts.showError(error);
        return;
    }
    const records::RegisterRange range = snapshot.range;
    TavrelError refusal;
    if (!files::rangeUploadable(*registers, range, files::UploadRefusalVoice::Window, &refusal)) {
        _alerts.showError(refusal);
        return;
    }
    const QString port = _portName();
    auto restore = [this, registers, range, port] { startUpload(registers, range, port); };
    const QString taken = QString::fromStdString(snapshot.port);
    if (snapshot.port == files::snapshotPortName(port.toStdString())) {
        restore();
        return;
    }
    _alerts.ask(tr("Restore a snapshot of another port?"),
                tr("The snapshot was taken from %1, and the selected port is %2. "
                   "Restoring it writes registers %3 to %4 of the VRG-500 on %2.")
                    .arg(taken, port, registerLabelText(snapshot.range.first),
                         registerLabelText(snapshot.range.last)),
                tr("Restore"), restore);
}

} // namespace tavrel::app
