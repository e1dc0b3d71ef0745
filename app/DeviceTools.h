// The device's own tools in the window: its information (firmware version, video standard,
// current register, and setting the current register) and shifting the times of a range of
// registers by an offset, one register per step with the progress sheet, after which the table
// can take the shifted registers back from the device as one undo step.
#pragma once

#include "OffsetRegistersDialog.h"
#include "TavrelError.h"

#include <QObject>
#include <QPointer>

#include <cstdint>
#include <memory>
#include <optional>

class QWidget;

namespace tavrel::link {
class TavrelSocket;
}

namespace tavrel::app {

class AppController;
class DeviceInformationDialog;
struct DeviceInformation;

class DeviceTools : public QObject {
    Q_OBJECT

  public:
    explicit DeviceTools(AppController& controller);

    // "Device Information…"
    void showInformation();
    // "Offset Registers…"
    void offsetRegisters();

  private:
    // What a running offset, or the reading back that follows it, carries from one step to the
    // next (DeviceTools.cpp).
    struct OffsetStep;
    struct ReadStep;

    // The error's alert, or the generic one for none, over `window` when it is one of the tools'
    // dialogs, so that the dialog does not cover it; else over the main window.
    void _showErrorOver(QWidget* window, const records::TavrelError* error);
    // Reads all that the information dialog shows; false after the alert, over `alertWindow`.
    bool _readInformation(DeviceInformation* information, QWidget* alertWindow);
    void _refreshInformation();
    void _askCurrentRegister();
    void _setCurrentRegister(uint16_t number);

    // The shared start of the stepwise work: a connection whose device answers, and the progress
    // sheet up with `title` over first to last. Null after the alert.
    std::shared_ptr<link::TavrelSocket> _beginSteps(int32_t first, int32_t last,
                                                    const QString& title);
    void _startOffset(const OffsetChoice& choice, records::VRG500_registerTime offset);
    void _offsetStep(OffsetStep step);
    void _askToUpdateTable(int32_t first, int32_t last);
    void _startReading(int32_t first, int32_t last);
    void _readStep(ReadStep step);
    void _endReading(ReadStep& step);

    AppController& _controller;
    QPointer<DeviceInformationDialog> _informationDialog;
    // The offset dialog's choice last made in this session, offered the next time.
    OffsetChoice _lastOffset;
};

} // namespace tavrel::app
