// The device's tools. Their exchanges run as jobs of the controller's transfer runner, away from
// the window's thread; what they read comes back to the window through the job's reports.
#include "DeviceTools.h"

#include "Alerts.h"
#include "DeviceJobs.h"

#include "DeviceInformationDialog.h"
#include "ProgressSheet.h"
#include "RegisterEditor.h"
#include "RegisterLabelText.h"
#include "RegisterNumberDialog.h"
#include "RegisterTransfer.h"
#include "TavrelSocket.h"
#include "VersionText.h"

#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <vector>

namespace tavrel::app {

using files::RegisterCollection;
using link::readRegister;
using link::TavrelSocket;
using records::RegisterEntry;
using records::TavrelError;
using records::trimmedVersionText;
using records::VRG500_registerTime;

namespace {

// "Register 005" or "Registers 005-009".
QString registersText(int32_t first, int32_t last) {
    return first == last ? DeviceTools::tr("Register %1").arg(registerLabelText(first))
                         : DeviceTools::tr("Registers %1-%2")
                               .arg(registerLabelText(first), registerLabelText(last));
}

bool readInformationFrom(TavrelSocket& socket, DeviceInformation* information, TavrelError* error) {
    DeviceInformation read;
    if (!socket.deviceVersion(&read.version, error) ||
        !socket.videoStandard(&read.videoStandard, error) ||
        !socket.currentRegisterNumber(&read.currentRegister, error)) {
        return false;
    }
    *information = read;
    return true;
}

// The device addresses registers by 16-bit numbers; the steps count in 32 bits to step past the
// last one.
bool sendOffset(TavrelSocket& socket, const OffsetChoice& choice, VRG500_registerTime offset,
                int32_t number, TavrelError* error) {
    const auto& m = choice.machines;
    const auto device = static_cast<uint16_t>(number);
    return choice.add
               ? socket.registerTimeOffsetAdd(offset.hours, offset.minutes, offset.seconds,
                                              offset.frames, m[0], m[1], m[2], m[3], device, error)
               : socket.registerTimeOffsetSubtract(offset.hours, offset.minutes, offset.seconds,
                                                   offset.frames, m[0], m[1], m[2], m[3], device,
                                                   error);
}

records::RegisterRange rangeOf(int32_t first, int32_t last) {
    return records::RegisterRange{first, last};
}

} // namespace

DeviceTools::DeviceTools(const Parts& parts, QObject* parent) : QObject(parent), _parts(parts) {}

void DeviceTools::_showErrorOver(QWidget* window, const TavrelError* error) {
    // Alerts are sheets of the main window, which a window-modal dialog of the
    // main window would cover: over one of the tools' dialogs, the alert is that dialog's sheet.
    _parts.alerts.showError(*error, {}, window);
}

// ---- The version -------------------------------------------------------------------------------

void DeviceTools::showVersion() {
    _parts.jobs.start([this](DeviceJob& job) {
        std::string version;
        TavrelError error;
        const bool answered = job.socket().deviceVersion(&version, &error);
        job.report([this, answered, version, error] {
            if (!answered) {
                _parts.alerts.showError(error);
                return;
            }
            const QString trimmed = QString::fromLatin1(trimmedVersionText(version));
            _parts.alerts.show(tr("VRG-500"), tr("Version: %1").arg(trimmed), false);
        });
    });
}

// ---- Device information ------------------------------------------------------------------------

// Reads all that the information dialog shows, on the runner's worker; then `show` runs with it
// on the window's thread, or the alert says why (over `alertWindow` while it is open).
void DeviceTools::_readInformation(QPointer<QWidget> alertWindow,
                                   std::function<void(const DeviceInformation&)> show) {
    _parts.jobs.start(
        [this, alertWindow, show](DeviceJob& job) {
            DeviceInformation information;
            TavrelError error;
            const bool read = readInformationFrom(job.socket(), &information, &error);
            job.report([this, alertWindow, show, read, information, error] {
                if (!read) {
                    _showErrorOver(alertWindow, &error);
                    return;
                }
                show(information);
            });
        },
        alertWindow);
}

void DeviceTools::showInformation() {
    // A dialog with nothing to show is not put up: the alert says why.
    _readInformation(nullptr, [this](const DeviceInformation& information) {
        auto* dialog = new DeviceInformationDialog(_parts.window);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->showInformation(information);
        connect(dialog->refreshButton(), &QPushButton::clicked, this,
                [this] { _refreshInformation(); });
        connect(dialog->setCurrentRegisterButton(), &QPushButton::clicked, this,
                [this] { _askCurrentRegister(); });
        _informationDialog = dialog;
        dialog->open();
    });
}

void DeviceTools::_refreshInformation() {
    if (!_informationDialog) {
        return;
    }
    _readInformation(_informationDialog.data(), [this](const DeviceInformation& information) {
        if (_informationDialog) {
            _informationDialog->showInformation(information);
        }
    });
}

void DeviceTools::_askCurrentRegister() {
    if (!_informationDialog) {
        return;
    }
    askRegisterNumber(_informationDialog, tr("Set Current Register"), tr("Register number:"),
                      tr("Set"), _informationDialog->currentRegister(),
                      [this](int32_t number) { _setCurrentRegister(uint16_t(number)); });
}

void DeviceTools::_setCurrentRegister(uint16_t number) {
    if (!_informationDialog) {
        return;
    }
    QPointer<QWidget> dialog = _informationDialog.data();
    _parts.jobs.start(
        [this, dialog, number](DeviceJob& job) {
            uint16_t current = 0;
            TavrelError error;
            // Read back rather than assumed: the dialog shows what the device holds.
            const bool set = job.socket().setCurrentRegisterNumber(number, &error) &&
                             job.socket().currentRegisterNumber(&current, &error);
            job.report([this, dialog, set, current, error] {
                if (!set) {
                    _showErrorOver(dialog, &error);
                } else if (_informationDialog) {
                    _informationDialog->showCurrentRegister(current);
                }
            });
        },
        dialog);
}

// ---- Offsets -----------------------------------------------------------------------------------

void DeviceTools::offsetRegisters() {
    auto* dialog = new OffsetRegistersDialog(_parts.window, _lastOffset);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, this, [this, dialog](int returnCode) {
        _lastOffset = dialog->choice();
        if (returnCode != QDialog::Accepted || !dialog->offsetButton()->isEnabled()) {
            return;
        }
        // Started once the dialog has fully closed.
        QTimer::singleShot(0, this, [this, choice = _lastOffset, offset = dialog->offset()] {
            _startOffset(choice, offset);
        });
    });
    dialog->open();
}

void DeviceTools::_startOffset(const OffsetChoice& choice, VRG500_registerTime offset) {
    const QString title = tr("Offsetting registers");
    const QString stepText = tr("Offsetting register %1");
    _parts.jobs.start([this, choice, offset, title, stepText](DeviceJob& job) {
        if (!_parts.jobs.deviceAnswers(job, title, rangeOf(choice.first, choice.last))) {
            return;
        }
        int32_t current = choice.first;
        bool cutShort = false;
        for (; !job.cancelled() && current <= choice.last; ++current) {
            job.showProgress(stepText, current);
            TavrelError error;
            if (!sendOffset(job.socket(), choice, offset, current, &error)) {
                if (!job.cancelled()) {
                    job.report([this, error] {
                        _parts.progressSheet.end();
                        // The alert comes up after the progress sheet has gone.
                        QTimer::singleShot(0, this,
                                           [this, error] { _parts.alerts.showError(error); });
                    });
                    return;
                }
                // Cancelled in the middle of its exchange, the register may have been offset.
                cutShort = true;
                break;
            }
        }
        const int32_t first = choice.first;
        const int32_t last = cutShort ? current : current - 1;
        job.report([this, first, last] {
            _parts.progressSheet.end();
            if (last >= first) {
                QTimer::singleShot(0, this,
                                   [this, first, last] { _askToUpdateTable(first, last); });
            }
        });
    });
}

void DeviceTools::_askToUpdateTable(int32_t first, int32_t last) {
    QMessageBox* box = _parts.alerts.make(
        QMessageBox::Question, tr("Update the table from the device?"),
        first == last
            ? tr("Register %1 was offset on the VRG-500; the table still holds its earlier times.")
                  .arg(registerLabelText(first))
            : tr("Registers %1-%2 were offset on the VRG-500; the table still holds their earlier "
                 "times.")
                  .arg(registerLabelText(first), registerLabelText(last)));
    QPushButton* update = box->addButton(tr("Update Table"), QMessageBox::AcceptRole);
    box->setEscapeButton(box->addButton(tr("Not Now"), QMessageBox::RejectRole));
    box->setDefaultButton(update);
    connect(box, &QMessageBox::finished, this, [this, box, update, first, last](int) {
        if (box->clickedButton() == update) {
            QTimer::singleShot(0, this, [this, first, last] { _startReading(first, last); });
        }
    });
    box->open();
}

// ---- Reading the offset registers back into the table -----------------------------------------

// The registers read, cancelled or not, go into the table as one step that Undo takes back.
void DeviceTools::_startReading(int32_t first, int32_t last) {
    const QString title = tr("Reading registers");
    const QString stepText = tr("Reading register %1");
    _parts.jobs.start([this, first, last, title, stepText](DeviceJob& job) {
        if (!_parts.jobs.deviceAnswers(job, title, rangeOf(first, last))) {
            return;
        }
        std::vector<RegisterCollection::Item> read;
        for (int32_t current = first; !job.cancelled() && current <= last; ++current) {
            job.showProgress(stepText, current);
            RegisterEntry entry;
            TavrelError error;
            if (!readRegister(job.socket(), static_cast<uint16_t>(current), &entry, &error)) {
                if (!job.cancelled()) {
                    job.report([this, error] {
                        QTimer::singleShot(0, this,
                                           [this, error] { _parts.alerts.showError(error); });
                    });
                }
                break;
            }
            read.emplace_back(current, entry);
        }
        job.report([this, first, read = std::move(read)]() mutable {
            _parts.progressSheet.end();
            if (!read.empty()) {
                const QString text = tr("Update %1").arg(registersText(first, read.back().first));
                _parts.editor.store(std::move(read), text);
            }
        });
    });
}

} // namespace tavrel::app
