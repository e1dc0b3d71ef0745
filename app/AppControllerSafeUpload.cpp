// Never uploading blind: comparing the table with the device, uploading only the registers that
// differ, and keeping what an upload overwrites as a snapshot that can be restored.
//
// A safe upload runs in two phases on the progress sheet: it reads the range's registers that
// the upload would send, then, once the whole range is read, writes only those that differ from
// what the device holds, after keeping the device's values of those as a snapshot file. Nothing
// is sent before the reading phase has ended, so cancelling it (or a failure) leaves the device
// untouched; a snapshot that cannot be written stops the upload before it sends anything.
#include "AppController.h"

#include "AlertWidth.h"
#include "ComparisonDialog.h"
#include "FilePanel.h"
#include "RegisterComparison.h"
#include "RegisterEditor.h"
#include "RegisterEquivalence.h"
#include "RegisterFile.h"
#include "RegisterLabel.h"
#include "RegisterTableModel.h"
#include "RegisterTransfer.h"
#include "SnapshotDialog.h"
#include "TavrelLog.h"
#include "UploadAccount.h"
#include "UploadRefusal.h"
#include "UploadSnapshot.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>

namespace tavrel::app {

using files::compareRegisters;
using files::keepingDeviceBytes;
using files::RegisterCollection;
using files::RegisterComparison;
using files::RegisterDifference;
using files::sameRegister;
using files::SnapshotInfo;
using link::readRegister;
using link::writeRegisterOver;
using records::RegisterEntry;
using records::TavrelError;

struct upload_plan {
    enum class Purpose { Upload, Compare };
    Purpose purpose = Purpose::Upload;
    // What an upload sends; for a comparison, the table's registers compared.
    std::shared_ptr<const RegisterCollection> source;
    LocationLengthRange range;
    std::vector<int32_t> toRead; // ascending
    RegisterCollection device;   // as read
    std::vector<int32_t> toWrite;
    size_t next = 0; // into toRead while reading, into toWrite while writing
    // The port's name as listed, for the snapshot's file name.
    QString port;
    SnapshotInfo snapshot; // of what the writing overwrites
};

namespace {

int32_t firstOf(LocationLengthRange range) {
    return static_cast<int32_t>(range.location);
}

int32_t lastOf(LocationLengthRange range) {
    return static_cast<int32_t>(range.location + range.length - 1);
}

std::vector<int32_t> numbersIn(const RegisterCollection& registers, LocationLengthRange range) {
    std::vector<int32_t> numbers;
    for (const auto& [number, entry] : registers) {
        if (number >= firstOf(range) && number <= lastOf(range)) {
            numbers.push_back(number);
        }
    }
    return numbers;
}

std::vector<int32_t> everyNumberOf(LocationLengthRange range) {
    std::vector<int32_t> numbers;
    for (int64_t number = firstOf(range); number <= lastOf(range); ++number) {
        numbers.push_back(static_cast<int32_t>(number));
    }
    return numbers;
}

// The registers of `source` numbered as `numbers` says.
RegisterCollection only(const RegisterCollection& source, const std::vector<int32_t>& numbers) {
    RegisterCollection chosen;
    for (const int32_t number : numbers) {
        if (const RegisterEntry* entry = source.find(number)) {
            chosen.set(number, *entry);
        }
    }
    return chosen;
}

QString label(int32_t number) {
    return QString::fromLatin1(records::registerLabel(number));
}

} // namespace

bool AppController::_safeUploadEnabled() const {
    return QSettings().value(SafeUploadKey, true).toBool();
}

void AppController::selectSafeUpload(bool on) {
    QSettings().setValue(SafeUploadKey, on);
}

QString AppController::_snapshotFolder() const {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
        .filePath("Snapshots");
}

// ---- Starting ----------------------------------------------------------------------------------

void AppController::_startUpload(std::shared_ptr<const RegisterCollection> source,
                                 LocationLengthRange range, const QString& snapshotPort) {
    const std::optional<register_step> step = _beginTransfer(range, tr("Uploading registers"));
    if (!step) {
        return;
    }
    auto plan = std::make_shared<upload_plan>();
    plan->toRead = numbersIn(*source, range);
    plan->source = std::move(source);
    plan->range = range;
    plan->port = snapshotPort;
    _plan = plan;
    QTimer::singleShot(0, this, [this, step = *step] { _readRegisterStep(step); });
}

void AppController::compareWithDevice() {
    _openRangeSheet(&AppController::_compareRegisters,
                    tr("Compare selected registers with the VRG-500"), tr("Compare"));
}

void AppController::compareSelectedWithDevice() {
    const std::vector<int32_t> numbers = _selectedRegisterNumbers();
    if (numbers.empty()) {
        return;
    }
    const LocationLengthRange range{static_cast<uint64_t>(numbers.front()),
                                    static_cast<uint64_t>(numbers.back() - numbers.front() + 1)};
    _beginComparison(range, numbers);
}

void AppController::_compareRegisters(LocationLengthRange range) {
    _beginComparison(range, everyNumberOf(range));
}

void AppController::_beginComparison(LocationLengthRange range, std::vector<int32_t> numbers) {
    const std::optional<register_step> step = _beginTransfer(range, tr("Comparing registers"));
    if (!step) {
        return;
    }
    auto plan = std::make_shared<upload_plan>();
    plan->purpose = upload_plan::Purpose::Compare;
    plan->range = range;
    plan->source =
        std::make_shared<const RegisterCollection>(only(_tableModel->registers(), numbers));
    plan->toRead = std::move(numbers);
    _plan = plan;
    QTimer::singleShot(0, this, [this, step = *step] { _readRegisterStep(step); });
}

// ---- The phases --------------------------------------------------------------------------------

void AppController::_endPlan(register_step& step) {
    _closeProgressSheet();
    step.socket.reset();
    _plan.reset();
    validateActions();
}

void AppController::_readRegisterStep(register_step step) {
    const std::shared_ptr<upload_plan> plan = _plan;
    if (cancelledProgressSheet) {
        _endPlan(step); // nothing has been sent
        return;
    }
    if (plan->next == plan->toRead.size()) {
        if (plan->purpose == upload_plan::Purpose::Compare) {
            _endPlan(step);
            QTimer::singleShot(0, this, [this, plan] { _showComparison(plan); });
            return;
        }
        _beginWriting(step);
        return;
    }
    step.current = plan->toRead[plan->next];
    _showProgress(tr("Reading register %1"), step.current);
    RegisterEntry entry;
    TavrelError error;
    if (!readRegister(*step.socket, static_cast<uint16_t>(step.current), &entry, &error)) {
        QTimer::singleShot(0, this, [this, error] { _showError(&error); });
        _endPlan(step);
        return;
    }
    plan->device.set(step.current, std::move(entry));
    ++plan->next;
    QTimer::singleShot(0, this, [this, step] { _readRegisterStep(step); });
}

void AppController::_beginWriting(register_step step) {
    const std::shared_ptr<upload_plan> plan = _plan;
    for (const int32_t number : numbersIn(*plan->source, plan->range)) {
        const RegisterEntry* held = plan->device.find(number);
        if (held == nullptr || !sameRegister(*held, *plan->source->find(number))) {
            plan->toWrite.push_back(number);
        }
    }
    const LocationLengthRange range = plan->range;
    if (plan->toWrite.empty()) {
        _endPlan(step);
        QTimer::singleShot(0, this, [this, range] {
            _beginAlertSheet(tr("Nothing to upload"),
                             tr("The VRG-500 holds registers %1 to %2 as they are already; "
                                "nothing was sent.")
                                 .arg(label(firstOf(range)), label(lastOf(range))),
                             false);
        });
        return;
    }
    SnapshotInfo snapshot;
    TavrelError error;
    if (!files::writeUploadSnapshot(localFilePath(_snapshotFolder()), plan->port.toStdString(),
                                    firstOf(range), lastOf(range),
                                    only(plan->device, plan->toWrite), &snapshot, &error)) {
        _endPlan(step);
        const QString reason =
            QString::fromLocal8Bit(error.failureReason.value_or(error.description));
        QTimer::singleShot(0, this, [this, reason] {
            _beginAlertSheet(tr("The upload did not start"),
                             tr("The registers it would overwrite could not be kept as a "
                                "snapshot, so nothing was sent.\n\n%1")
                                 .arg(reason),
                             true);
        });
        return;
    }
    plan->snapshot = snapshot;
    plan->next = 0;
    QTimer::singleShot(0, this, [this, step] { _writeRegisterStep(step); });
}

void AppController::_writeRegisterStep(register_step step) {
    const std::shared_ptr<upload_plan> plan = _plan;
    if (plan->next == plan->toWrite.size()) {
        _endPlan(step);
        return;
    }
    if (cancelledProgressSheet) {
        _endPlan(step);
        QTimer::singleShot(0, this, [this, plan] { _showStoppedUpload(*plan, nullptr); });
        return;
    }
    step.current = plan->toWrite[plan->next];
    _showProgress(tr("Writing register %1"), step.current);
    TavrelError error;
    const RegisterEntry& wanted = *plan->source->find(step.current);
    const RegisterEntry* held = plan->device.find(step.current);
    if (!writeRegisterOver(*step.socket, static_cast<uint16_t>(step.current),
                           held ? keepingDeviceBytes(wanted, *held) : wanted, &error)) {
        _endPlan(step);
        QTimer::singleShot(0, this, [this, plan, error] { _showStoppedUpload(*plan, &error); });
        return;
    }
    ++plan->next;
    QTimer::singleShot(0, this, [this, step] { _writeRegisterStep(step); });
}

// Why the writing stopped (the link's error, or the user's Cancel), how far it got, and where the
// registers it overwrote are kept, with the way to put them back.
void AppController::_showStoppedUpload(const upload_plan& plan, const TavrelError* error) {
    files::UploadProgress progress{plan.toWrite, plan.next, std::nullopt};
    if (error != nullptr) {
        progress.unfinished = plan.toWrite[plan.next];
        if (error->failureReason) {
            link::tavrelLog("Error: %s", error->failureReason->c_str());
        }
    }
    QString information = QString::fromStdString(files::writtenAccount(progress)) + ".";
    if (files::deviceChanged(progress)) {
        information += "\n\n" + tr("What they held before is kept in the snapshot of %1; "
                                   "Restore Snapshot… puts it back.")
                                    .arg(QString::fromStdString(plan.snapshot.when));
    }
    if (error != nullptr && error->recoverySuggestion) {
        information = QString::fromLatin1(*error->recoverySuggestion) + "\n\n" + information;
    }
    QMessageBox* alert = _newAlertSheet(
        error != nullptr ? QMessageBox::Critical : QMessageBox::Warning,
        error != nullptr ? QString::fromLatin1(error->description) : tr("The upload was stopped"),
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

void AppController::_showComparison(std::shared_ptr<upload_plan> compared) {
    const RegisterComparison comparison = compareRegisters(
        *compared->source, compared->device, firstOf(compared->range), lastOf(compared->range));
    auto* dialog = new ComparisonDialog(mainWindow.data(), comparison, firstOf(compared->range),
                                        lastOf(compared->range));
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
            _editor->store(std::move(taken), tr("Take Device Values"));
        }
    });
    dialog->open();
}

void AppController::_uploadCompared(std::shared_ptr<upload_plan> compared) {
    TavrelError refusal;
    if (!rangeUploadable(_tableModel->registers(), compared->range, &refusal)) {
        _showError(&refusal);
        return;
    }
    // The device may have changed since the comparison read it: the upload reads the compared
    // registers again, keeps what it reads, and decides from that.
    _startUpload(std::make_shared<const RegisterCollection>(
                     only(_tableModel->registers(), compared->toRead)),
                 compared->range, serialPopUpButton->currentText());
}

// ---- Snapshots ---------------------------------------------------------------------------------

void AppController::restoreSnapshot() {
    auto* dialog = new SnapshotDialog(mainWindow.data(),
                                      files::listUploadSnapshots(localFilePath(_snapshotFolder())));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, this, [this, dialog](int answer) {
        if (answer == QDialog::Accepted && dialog->chosen() != nullptr) {
            const SnapshotInfo snapshot = *dialog->chosen();
            QTimer::singleShot(0, this, [this, snapshot] { restoreSnapshotDidEnd(snapshot); });
        }
    });
    dialog->open();
}

void AppController::restoreSnapshotDidEnd(const SnapshotInfo& snapshot) {
    auto registers = std::make_shared<RegisterCollection>();
    TavrelError error;
    if (!files::readRegisterFile(snapshot.path, registers.get(), &error)) {
        _beginAlertSheet(QString::fromLatin1(error.description),
                         QString::fromLocal8Bit(error.recoverySuggestion.value_or(
                             error.failureReason.value_or(std::string()))),
                         true);
        return;
    }
    const LocationLengthRange range{
        static_cast<uint64_t>(snapshot.first),
        static_cast<uint64_t>(int64_t{snapshot.last} - snapshot.first + 1)};
    TavrelError refusal;
    if (!rangeUploadable(*registers, range, &refusal)) {
        _showError(&refusal);
        return;
    }
    const QString port = serialPopUpButton->currentText();
    auto restore = [this, registers, range, port] { _startUpload(registers, range, port); };
    const QString taken = QString::fromStdString(snapshot.port);
    if (snapshot.port == files::snapshotPortName(port.toStdString())) {
        restore();
        return;
    }
    _beginQuestionSheet(tr("Restore a snapshot of another port?"),
                        tr("The snapshot was taken from %1, and the selected port is %2. "
                           "Restoring it writes registers %3 to %4 of the VRG-500 on %2.")
                            .arg(taken, port, label(snapshot.first), label(snapshot.last)),
                        tr("Restore"), restore);
}

} // namespace tavrel::app
