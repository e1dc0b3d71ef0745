// The device's tools. The offset, like the register transfers, is a chain of deferred calls on the
// main event loop, one register per call, so the progress sheet's Cancel is seen between
// registers; each call carries its own copy of the step record, whose connection keeps the port
// open until the work ends.
#include "DeviceTools.h"

#include "AppController.h"
#include "DeviceInformationDialog.h"
#include "RegisterEditor.h"
#include "RegisterLabelText.h"
#include "RegisterNumberDialog.h"
#include "RegisterTransfer.h"
#include "TavrelSocket.h"

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
using records::VRG500_registerTime;

struct DeviceTools::OffsetStep {
    std::shared_ptr<TavrelSocket> socket;
    OffsetChoice choice;
    VRG500_registerTime offset;
    int32_t current = 0;
};

struct DeviceTools::ReadStep {
    std::shared_ptr<TavrelSocket> socket;
    int32_t first = 0;
    int32_t last = 0;
    int32_t current = 0;
    // Shared by the steps' copies, so a step does not copy what the ones before it read.
    std::shared_ptr<std::vector<RegisterCollection::Item>> read;
};

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

} // namespace

DeviceTools::DeviceTools(AppController& controller)
    : QObject(&controller), _controller(controller) {}

void DeviceTools::_showErrorOver(QWidget* window, const TavrelError* error) {
    _controller._showError(error);
    QMessageBox* alert = _controller.currentAlert();
    if (alert && window && alert->parentWidget() != window) {
        // The controller's alerts are sheets of the main window, which a window-modal dialog of
        // the main window would cover: the alert becomes the dialog's sheet instead.
        alert->setParent(window, alert->windowFlags());
        alert->open();
    }
}

// ---- Device information ------------------------------------------------------------------------

bool DeviceTools::_readInformation(DeviceInformation* information, QWidget* alertWindow) {
    const std::shared_ptr<TavrelSocket> socket = _controller._getSocket();
    TavrelError error;
    if (!socket || !readInformationFrom(*socket, information, &error)) {
        _showErrorOver(alertWindow, socket ? &error : nullptr);
        return false;
    }
    return true;
}

void DeviceTools::showInformation() {
    DeviceInformation information;
    // A dialog with nothing to show is not put up: the alert says why.
    if (!_readInformation(&information, nullptr)) {
        return;
    }
    auto* dialog = new DeviceInformationDialog(_controller.window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->showInformation(information);
    connect(dialog->refreshButton(), &QPushButton::clicked, this,
            [this] { _refreshInformation(); });
    connect(dialog->setCurrentRegisterButton(), &QPushButton::clicked, this,
            [this] { _askCurrentRegister(); });
    _informationDialog = dialog;
    dialog->open();
}

void DeviceTools::_refreshInformation() {
    DeviceInformation information;
    if (_informationDialog && _readInformation(&information, _informationDialog)) {
        _informationDialog->showInformation(information);
    }
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
    const std::shared_ptr<TavrelSocket> socket = _controller._getSocket();
    uint16_t current = 0;
    TavrelError error;
    // Read back rather than assumed: the dialog shows what the device holds.
    if (!socket || !socket->setCurrentRegisterNumber(number, &error) ||
        !socket->currentRegisterNumber(&current, &error)) {
        _showErrorOver(_informationDialog, socket ? &error : nullptr);
        return;
    }
    _informationDialog->showCurrentRegister(current);
}

// ---- Offsets -----------------------------------------------------------------------------------

void DeviceTools::offsetRegisters() {
    auto* dialog = new OffsetRegistersDialog(_controller.window(), _lastOffset);
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

std::shared_ptr<TavrelSocket> DeviceTools::_beginSteps(int32_t first, int32_t last,
                                                       const QString& title) {
    std::shared_ptr<TavrelSocket> socket = _controller._getSocket();
    if (!socket) {
        _controller._showError(nullptr);
        return nullptr;
    }
    std::string version;
    TavrelError error;
    if (!socket->deviceVersion(&version, &error)) {
        _controller._showError(&error);
        return nullptr;
    }
    _controller._openProgressSheet(
        title, LocationLengthRange{uint64_t(first), uint64_t(last) - uint64_t(first) + 1});
    return socket;
}

void DeviceTools::_startOffset(const OffsetChoice& choice, VRG500_registerTime offset) {
    OffsetStep step{_beginSteps(choice.first, choice.last, tr("Offsetting registers")), choice,
                    offset, choice.first};
    if (step.socket) {
        QTimer::singleShot(0, this, [this, step] { _offsetStep(step); });
    }
}

void DeviceTools::_offsetStep(OffsetStep step) {
    if (_controller._progressCancelled() || step.current > step.choice.last) {
        step.socket.reset();
        _controller._closeProgressSheet();
        if (step.current > step.choice.first) {
            const int32_t first = step.choice.first;
            const int32_t last = step.current - 1;
            QTimer::singleShot(0, this, [this, first, last] { _askToUpdateTable(first, last); });
        }
        return;
    }
    _controller._showProgress(tr("Offsetting register %1"), step.current);
    TavrelError error;
    if (!sendOffset(*step.socket, step.choice, step.offset, step.current, &error)) {
        // The alert comes up after the progress sheet has gone.
        QTimer::singleShot(0, this, [this, error] { _controller._showError(&error); });
        step.socket.reset();
        _controller._closeProgressSheet();
        return;
    }
    ++step.current;
    QTimer::singleShot(0, this, [this, step] { _offsetStep(step); });
}

void DeviceTools::_askToUpdateTable(int32_t first, int32_t last) {
    QMessageBox* box = _controller._newAlertSheet(
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

void DeviceTools::_startReading(int32_t first, int32_t last) {
    ReadStep step{_beginSteps(first, last, tr("Reading registers")), first, last, first,
                  std::make_shared<std::vector<RegisterCollection::Item>>()};
    if (step.socket) {
        QTimer::singleShot(0, this, [this, step] { _readStep(step); });
    }
}

void DeviceTools::_readStep(ReadStep step) {
    if (_controller._progressCancelled() || step.current > step.last) {
        _endReading(step);
        return;
    }
    _controller._showProgress(tr("Reading register %1"), step.current);
    RegisterEntry entry;
    TavrelError error;
    if (!readRegister(*step.socket, static_cast<uint16_t>(step.current), &entry, &error)) {
        QTimer::singleShot(0, this, [this, error] { _controller._showError(&error); });
        _endReading(step);
        return;
    }
    step.read->emplace_back(step.current, entry);
    ++step.current;
    QTimer::singleShot(0, this, [this, step] { _readStep(step); });
}

// The registers read so far, cancelled or not, go into the table as one step that Undo takes back.
void DeviceTools::_endReading(ReadStep& step) {
    step.socket.reset();
    _controller._closeProgressSheet();
    if (!step.read->empty()) {
        const QString text =
            tr("Update %1").arg(registersText(step.first, step.read->back().first));
        _controller.registerEditor()->store(std::move(*step.read), text);
    }
}

} // namespace tavrel::app
