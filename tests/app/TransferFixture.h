// Shared pieces of the transfer and file command tests: a simulated VRG-500 on a pseudo-terminal
// offered as the only serial port, a controller with its window shown, user defaults kept in a
// temporary folder, and a watch on the alerts that records what was on screen when each came up.
#pragma once

#include "AppController.h"
#include "AppTestSupport.h"
#include "RegisterTimeWire.h"
#include "Vrg500Simulator.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QMainWindow>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

namespace transfertest {

// User defaults in a temporary folder, emptied.
inline void isolateSettings(const QTemporaryDir& folder) {
    AppTestSupport::useTemporarySettings(folder);
    AppTestSupport::clearSettings();
}

inline Vrg500SimulatorOptions sampleDevice() {
    Vrg500SimulatorOptions options;
    options.sampleRegisters = true;
    options.sampleCount = 300;
    return options;
}

// A controller whose only serial port is `devicePath` (none when empty), its window shown.
inline std::unique_ptr<AppController> makeController(const std::string& devicePath) {
    auto controller = std::make_unique<AppController>([devicePath] {
        SerialPortList ports;
        if (!devicePath.empty()) {
            ports["ttySIM0"] = devicePath;
        }
        return std::optional<SerialPortList>(ports);
    });
    controller->mainWindow->show();
    return controller;
}

// The register as the device holds it, the way a download stores it.
inline RegisterEntry deviceEntry(const Vrg500Simulator& device, uint16_t number) {
    const std::array<uint8_t, 34> wire = device.registerWire(number);
    RegisterEntry entry;
    for (int i = 0; i < 8; ++i) {
        vrg500wire::parseRegisterTime(wire.data() + 4 * i, &(entry.reg.*VRG500_registerTimes[i]));
    }
    entry.reg.trailingByte1 = wire[32];
    entry.reg.trailingByte2 = wire[33];
    if (const auto names = device.clipNames(number)) {
        for (int i = 0; i < 4; ++i) {
            entry.clips[i].assign(reinterpret_cast<const char*>(names->data()) + 8 * i, 8);
        }
    }
    return entry;
}

// Entries compare through the collection's own equality.
inline bool sameEntry(const RegisterEntry& a, const RegisterEntry& b) {
    RegisterCollection left, right;
    left.set(0, a);
    right.set(0, b);
    return left == right;
}

inline std::array<uint8_t, 34> wireOf(const VRG500_register& reg) {
    std::array<uint8_t, 34> wire{};
    for (int i = 0; i < 8; ++i) {
        vrg500wire::packRegisterTime(reg.*VRG500_registerTimes[i], wire.data() + 4 * i);
    }
    wire[32] = reg.trailingByte1;
    wire[33] = reg.trailingByte2;
    return wire;
}

inline std::array<uint8_t, 32> clipBytesOf(const RegisterEntry& entry) {
    std::array<uint8_t, 32> bytes{};
    for (int i = 0; i < 4; ++i) {
        std::copy_n(entry.clips[i].data(), 8, bytes.data() + 8 * i);
    }
    return bytes;
}

inline VRG500_registerTime time(int h, int m, int s, int f) {
    VRG500_registerTime t;
    t.hours = uint8_t(h);
    t.minutes = uint8_t(m);
    t.seconds = uint8_t(s);
    t.frames = uint8_t(f);
    return t;
}

// A register with its A times set and the given clip names.
inline RegisterEntry entryWith(int seconds, std::array<std::string, 4> clips) {
    RegisterEntry entry;
    entry.reg.inA = time(1, 0, seconds, 0);
    entry.reg.outA = time(1, 0, seconds + 10, 5);
    for (auto* t : {&entry.reg.inB, &entry.reg.outB, &entry.reg.inC, &entry.reg.outC,
                    &entry.reg.inD, &entry.reg.outD}) {
        t->isNull = 1;
    }
    entry.reg.trailingByte2 = uint8_t(seconds);
    entry.clips = std::move(clips);
    return entry;
}

// Function code and register number of every register frame the device received.
struct RegisterFrame {
    int function = 0;
    int number = -1;
    bool operator==(const RegisterFrame&) const = default;
};

inline std::vector<RegisterFrame> registerFrames(const Vrg500Simulator& device) {
    std::vector<RegisterFrame> frames;
    for (const std::vector<uint8_t>& frame : device.receivedFrames()) {
        const int function = frame.at(0);
        if (function == 0x20 || function == 0x25 || function == 0x40 || function == 0x45) {
            frames.push_back({function, frame.at(2) << 8 | frame.at(3)});
        }
    }
    return frames;
}

inline bool receivedFunction(const Vrg500Simulator& device, int function) {
    for (const std::vector<uint8_t>& frame : device.receivedFrames()) {
        if (frame.at(0) == function) {
            return true;
        }
    }
    return false;
}

// Records, for every alert that comes up, its texts and whether the progress sheet was still on
// screen at that moment.
class AlertWatch : public QObject {
  public:
    struct Sighting {
        QString text;
        QString informativeText;
        bool critical = false;
        bool progressSheetVisible = false;
    };

    explicit AlertWatch(AppController* controller) : _controller(controller) {
        qApp->installEventFilter(this);
    }
    ~AlertWatch() override { qApp->removeEventFilter(this); }

    std::vector<Sighting> sightings;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            if (auto* box = qobject_cast<QMessageBox*>(watched)) {
                sightings.push_back({box->text(), box->informativeText(),
                                     box->icon() == QMessageBox::Critical,
                                     _controller->progressSheet->isVisible()});
            }
        }
        return false;
    }

  private:
    AppController* _controller;
};

} // namespace transfertest
