// The device's own tools in the window: its information (firmware version, video standard,
// current register, and setting the current register) and shifting the times of a range of
// registers by an offset, one register per step with the progress sheet.
#pragma once

#include <QObject>

namespace tavrel::app {

class AppController;

class DeviceTools : public QObject {
    Q_OBJECT

  public:
    explicit DeviceTools(AppController& controller);

    // "Device Information…"
    void showInformation();
    // "Offset Registers…"
    void offsetRegisters();

  private:
    AppController& _controller;
};

} // namespace tavrel::app
