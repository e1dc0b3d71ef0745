// The device's own tools in the window: its version, its information (firmware version, video
// standard, current register, and setting the current register) and shifting the times of a range
// of registers by an offset, one register per step with the progress sheet, after which the table
// can take the shifted registers back from the device as one undo step.
#pragma once

#include "OffsetRegistersDialog.h"
#include "TavrelError.h"

#include <QObject>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace tavrel::link {
class TavrelSocket;
}

namespace tavrel::app {

class Alerts;
class DeviceInformationDialog;
class DeviceJobs;
class ProgressSheet;
class RegisterEditor;
struct DeviceInformation;

class DeviceTools : public QObject {
    Q_OBJECT

  public:
    // What the tools work with.
    struct Parts {
        DeviceJobs& jobs;
        Alerts& alerts;
        ProgressSheet& progressSheet;
        // Where the registers read back after an offset are stored, as one undo step.
        RegisterEditor& editor;
        // What the tools' dialogs open over.
        QWidget* window;
    };

    DeviceTools(const Parts& parts, QObject* parent);

    // "Show VRG-500 Version": the version the device reports, trimmed, in an alert.
    void showVersion();
    // "Device Information…"
    void showInformation();
    // "Offset Registers…"
    void offsetRegisters();

  private:
    // The error's alert over `window` when it is one of the tools' dialogs, so that the dialog
    // does not cover it; else over the main window.
    void _showErrorOver(QWidget* window, const records::TavrelError* error);
    void _readInformation(QPointer<QWidget> alertWindow,
                          std::function<void(const DeviceInformation&)> show);
    void _refreshInformation();
    void _askCurrentRegister();
    void _setCurrentRegister(uint16_t number);
    void _startOffset(const OffsetChoice& choice, records::VRG500_registerTime offset);
    void _askToUpdateTable(int32_t first, int32_t last);
    void _startReading(int32_t first, int32_t last);

    Parts _parts;
    QPointer<DeviceInformationDialog> _informationDialog;
    // The offset dialog's choice last made in this session, offered the next time.
    OffsetChoice _lastOffset;
};

} // namespace tavrel::app
