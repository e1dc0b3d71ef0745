// The device's own information in a window-modal dialog: firmware version, video standard and
// current register, with a button that moves the current register and one that reads everything
// again. The dialog only shows; DeviceTools talks to the device and answers the buttons.
#pragma once

#include <QDialog>

#include <cstdint>
#include <string>

class QLabel;
class QPushButton;

namespace tavrel::app {

// What the device tells about itself.
struct DeviceInformation {
    std::string version; // byte for byte as the device sent it
    // 0 or 1. Nothing says which standard each stands for, so it is shown as the bare number.
    int32_t videoStandard = 0;
    uint16_t currentRegister = 0;
};

class DeviceInformationDialog : public QDialog {
    Q_OBJECT

  public:
    explicit DeviceInformationDialog(QWidget* parent);

    void showInformation(const DeviceInformation& information);
    void showCurrentRegister(uint16_t number);
    uint16_t currentRegister() const { return _currentRegister; }

    QLabel* versionField() const { return _version; }
    QLabel* videoStandardField() const { return _videoStandard; }
    QLabel* currentRegisterField() const { return _current; }
    QPushButton* setCurrentRegisterButton() const { return _setCurrent; }
    QPushButton* refreshButton() const { return _refresh; }

  private:
    QLabel* _version;
    QLabel* _videoStandard;
    QLabel* _current;
    QPushButton* _setCurrent;
    QPushButton* _refresh;
    uint16_t _currentRegister = 0;
};

} // namespace tavrel::app
