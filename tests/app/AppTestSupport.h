// Shared by the application's tests: user defaults in a temporary folder, port lists fed through
// the controller's port lister, a controller on one port, the alerts the controller opens, the
// file panels and files, and sample registers.
#pragma once

#include "Alerts.h"
#include "AppController.h"
#include "DeviceJobs.h"
#include "EditCommands.h"
#include "MenuSettingsFile.h"
#include "OffsetRegistersDialog.h"
#include "ProgressSheet.h"
#include "RangeSheet.h"
#include "RegisterCellDelegate.h"
#include "RegisterDocument.h"
#include "RegisterEditor.h"
#include "RegisterTableModel.h"
#include "RegisterTableView.h"
#include "RegisterTimeWire.h"
#include "RegisterTransfers.h"
#include "RegisterWire.h"
#include "TavrelSocket.h"
#include "TransferRunner.h"
#include "Translations.h"
#include "Vrg500Simulator.h"

#include <QAbstractButton>
#include <QActionGroup>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

using namespace tavrel::app;
using namespace tavrel::files;
using namespace tavrel::records;

namespace apptest {

// English's plural forms, installed as the program installs them at its start.
inline void installEnglishPluralsAtStart() {
    tavrel::app::installEnglishPlurals();
}
Q_COREAPP_STARTUP_FUNCTION(installEnglishPluralsAtStart)

// What a test against the simulated device holds: settings in a temporary folder, the device
// on a pseudo-terminal and a controller on its port. Test classes derive from QObject and this.
class DeviceTestFixture {
  protected:
    QTemporaryDir _settings;
    std::unique_ptr<tavrel::sim::Vrg500Simulator> _device;
    std::unique_ptr<AppController> _controller;
    int _ended = 0;               // transfers ended: the progress sheet closed
    bool _alertBeforeEnd = false; // an alert came up while the progress sheet was still up

    AppController& app() const { return *_controller; }

    // Fresh settings, a device started (with sample registers if asked) and a controller on it.
    void startDevice(bool sampleRegisters = false);
    // Makes `controller` the one under test, the closings of its progress sheet counted.
    void useController(std::unique_ptr<AppController> controller);

    void stopDevice() {
        _controller.reset();
        _device.reset();
    }
};

// The generic alert of a failed device command.
inline const QString GenericMessage = "Error communicating with VRG-500";
inline const QString GenericInformation =
    "Perhaps the device is off or the wrong port is selected.";

// Call first in initTestCase(): settings go to `folder`, never to the user's.
inline void useTemporarySettings(const QTemporaryDir& folder) {
    QCoreApplication::setOrganizationName("Tavrel");
    QCoreApplication::setApplicationName("Tavrel");
    // The test mode's folders live under the home folder: one of the test's own, so that test
    // processes running side by side (and the children they start) never share recovery copies
    // or snapshots.
    qputenv("HOME", folder.path().toLocal8Bit());
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
}

inline void clearSettings() {
    QSettings().clear();
    QSettings().sync();
}

// Ports of the given names, each at /dev/<name>.
inline SerialPortList portsNamed(const QStringList& names) {
    SerialPortList ports;
    for (const QString& name : names) {
        ports[name.toStdString()] = {"/dev/" + name.toStdString()};
    }
    return ports;
}

// A controller whose only serial port is `devicePath` (none when empty), its window shown.
inline std::unique_ptr<AppController> makeController(const std::string& devicePath) {
    SerialPortList ports;
    if (!devicePath.empty()) {
        ports["ttySIM0"] = {devicePath};
    }
    auto controller = std::make_unique<AppController>([ports] { return std::optional(ports); });
    controller->window()->show();
    return controller;
}

inline void DeviceTestFixture::startDevice(bool sampleRegisters) {
    clearSettings();
    tavrel::sim::Vrg500SimulatorOptions options;
    options.sampleRegisters = sampleRegisters;
    _device = std::make_unique<tavrel::sim::Vrg500Simulator>(options);
    QVERIFY(_device->start());
    useController(makeController(_device->slavePath()));
}

inline void DeviceTestFixture::useController(std::unique_ptr<AppController> controller) {
    _controller = std::move(controller);
    _ended = 0;
    _alertBeforeEnd = false;
    QObject::connect(_controller->progressSheet(), &QDialog::finished, _controller.get(), [this] {
        ++_ended;
        _alertBeforeEnd = _controller->alerts()->current() != nullptr;
    });
}

// The alert that comes up, at once or through a deferred call, with these texts.
inline void expectAlert(const AppController& controller, const QString& text,
                        const QString& informativeText, bool critical = true) {
    QVERIFY(QTest::qWaitFor([&] { return controller.alerts()->current() != nullptr; }));
    QMessageBox* alert = controller.alerts()->current();
    QCOMPARE(alert->text(), text);
    QCOMPARE(alert->informativeText(), informativeText);
    QCOMPARE(alert->icon(), critical ? QMessageBox::Critical : QMessageBox::Information);
    QCOMPARE(alert->windowModality(), Qt::WindowModal);
}

// Dismisses the open alert, as its default button would, and lets it go away.
inline void dismissAlert(const AppController& controller) {
    if (QMessageBox* alert = controller.alerts()->current()) {
        alert->accept();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// Clicks the button titled `button` of the alert that comes up with `text`.
inline void answerAlert(const AppController& controller, const QString& text, const QString& button,
                        int timeout = 5000) {
    QVERIFY2(QTest::qWaitFor(
                 [&] {
                     return controller.alerts()->current() &&
                            controller.alerts()->current()->text() == text;
                 },
                 timeout),
             qPrintable("no alert " + text));
    for (QAbstractButton* b : controller.alerts()->current()->buttons()) {
        if (b->text().remove('&') == button) {
            b->click();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return;
        }
    }
    QFAIL(qPrintable("no button " + button));
}

// The shown dialog of type T over the controller's window, if any.
template <typename T> T* shownDialog(const AppController& controller) {
    for (T* dialog : controller.window()->findChildren<T*>()) {
        if (dialog->isVisible()) {
            return dialog;
        }
    }
    return nullptr;
}

// The dialog of type T once it has come up; null, with a failure, if it does not.
template <typename T> T* awaitDialog(const AppController& controller) {
    T* found = nullptr;
    [&] { QVERIFY(QTest::qWaitFor([&] { return (found = shownDialog<T>(controller)); })); }();
    return found;
}

// Waits until the progress sheet has come up and gone again.
inline void awaitTransferEnd(const AppController& controller, int timeout) {
    QDialog* sheet = controller.progressSheet();
    QVERIFY(QTest::qWaitFor([&] { return sheet->isVisible(); }));
    QVERIFY(QTest::qWaitFor([&] { return !sheet->isVisible(); }, timeout));
}

// Calls `action` once, when the progress bar has shown `values` in turn: the step of the last has
// begun and sends its first request next.
inline void atProgress(const AppController& c, std::vector<int> values,
                       std::function<void()> action) {
    QProgressBar* bar = c.progressSheet()->bar();
    auto pending = std::make_shared<bool>(true);
    QObject::connect(bar, &QProgressBar::valueChanged, bar,
                     [&c, values, pending, action = std::move(action)](int value) {
                         if (value == values.front() && *pending) {
                             *pending = false;
                             values.size() == 1
                                 ? action()
                                 : atProgress(c, {values.begin() + 1, values.end()}, action);
                         }
                     });
}

// Triggers `command` and confirms registers `first` to `last` in the range sheet it opens.
inline void chooseRange(const AppController& controller, QAction* command, int first, int last) {
    const AppController& app = controller;
    command->trigger();
    app.rangeSheet()->radios()->button(TypedRangeTag)->click();
    app.rangeSheet()->firstField()->setValue(first);
    app.rangeSheet()->lastField()->setValue(last);
    app.rangeSheet()->confirmButton()->click();
}

// Chooses the Frame Rate menu's rate stored as `name` ("Wire limits only", "24", "25", "30").
inline void chooseFrameRate(const AppController& controller, const QString& name) {
    for (QAction* rate : controller.window()->frameRateActions()->actions()) {
        if (rate->data().toString() == name) {
            rate->trigger();
        }
    }
}

// Opens the offset dialog and fills it in: registers `first` to `last`, `machines` such as "AC",
// the offset text.
inline OffsetRegistersDialog* chooseOffset(const AppController& controller, const QString& machines,
                                           const QString& text, int first, int last) {
    controller.window()->action(Command::OffsetRegisters)->trigger();
    auto* dialog = shownDialog<OffsetRegistersDialog>(controller);
    dialog->lastField()->setValue(last);
    dialog->firstField()->setValue(first);
    for (int m = 0; m < 4; ++m) {
        dialog->machineBox(m)->setChecked(machines.contains(QChar('A' + m)));
    }
    dialog->offsetField()->setText(text);
    return dialog;
}

inline QFileDialog* filePanel(const AppController& controller) {
    return controller.window()->findChild<QFileDialog*>();
}

// The name a panel offers: its selection, unless that is only the folder it shows.
inline QString proposedName(QFileDialog* panel) {
    const QFileInfo selected(panel->selectedFiles().value(0));
    return selected.isDir() ? QString() : selected.fileName();
}

inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

inline VRG500_registerTime time(int h, int m, int s, int f) {
    return {uint8_t(h), uint8_t(m), uint8_t(s), uint8_t(f), 0, 0};
}

// A register with its A times set (IN at `seconds`), the other times unset, and `clips`.
inline RegisterEntry entryWith(int seconds, std::array<std::string, 4> clips) {
    RegisterEntry entry;
    for (auto field : VRG500_registerTimes) {
        (entry.reg.*field).isNull = 1;
    }
    entry.reg.inA = time(1, 0, seconds, 0);
    entry.reg.outA = time(1, 0, seconds + 10, 5);
    entry.reg.trailingByte2 = uint8_t(seconds);
    entry.clips = std::move(clips);
    return entry;
}

inline const std::array<std::string, 4> FourClips{"SHOT0001", "SHOT0002", "********", "take 4  "};

// `entry` with clip name `machine` (0 for A) set to `clip`.
inline RegisterEntry withClip(RegisterEntry entry, int machine, const std::string& clip) {
    entry.clips[size_t(machine)] = clip;
    return entry;
}

inline RegisterCollection
collectionOf(const std::vector<std::pair<int32_t, RegisterEntry>>& items) {
    RegisterCollection registers;
    for (const auto& [number, entry] : items) {
        registers.set(number, entry);
    }
    return registers;
}

// Registers `first` to `last` as the device holds them, the way a download stores them.
inline RegisterCollection deviceRegisters(const tavrel::sim::Vrg500Simulator& device, int32_t first,
                                          int32_t last) {
    RegisterCollection registers;
    for (int32_t number = first; number <= last; ++number) {
        const std::array<uint8_t, 34> wire = device.registerWire(uint16_t(number));
        RegisterEntry entry;
        tavrel::records::decodeRegisterWire(wire, &entry);
        entry.noClipNames = true;
        if (const auto names = device.clipNames(uint16_t(number))) {
            entry.noClipNames = false;
            for (int i = 0; i < 4; ++i) {
                entry.clips[i].assign(reinterpret_cast<const char*>(names->data()) + 8 * i, 8);
            }
        }
        registers.set(number, entry);
    }
    return registers;
}

// Function code and register number of every register frame (read, write or offset) the device
// received.
using Frames = std::vector<std::pair<int, int>>;

inline Frames operator+(Frames a, const Frames& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline Frames registerFrames(const tavrel::sim::Vrg500Simulator& device) {
    Frames frames;
    for (const std::vector<uint8_t>& frame : device.receivedFrames()) {
        if (std::set{0x20, 0x25, 0x40, 0x45, 0x42, 0x43}.count(frame.at(0))) {
            frames.emplace_back(frame.at(0), frame.at(2) << 8 | frame.at(3));
        }
    }
    return frames;
}

// The frames that read registers `first` to `last` in turn: times, then clip names.
inline Frames readFrames(int first, int last) {
    Frames frames;
    for (int n = first; n <= last; ++n) {
        frames.insert(frames.end(), {{0x20, n}, {0x25, n}});
    }
    return frames;
}

// The frames that write registers `numbers` in turn: times, then clip names.
inline Frames writesOf(std::initializer_list<int> numbers) {
    Frames frames;
    for (int n : numbers) {
        frames.insert(frames.end(), {{0x40, n}, {0x45, n}});
    }
    return frames;
}

// A menu settings block that differs for every `seed`, and a vgs file's text of it.
inline VRG500_menuData patternBlock(uint8_t seed) {
    VRG500_menuData block{};
    for (size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<uint8_t>(seed + i * 37);
    }
    return block;
}

inline QByteArray menuFileText(const QString& version, const VRG500_menuData& block) {
    std::string text;
    formatMenuSettingsFile(version.toStdString(), block, &text);
    return QByteArray::fromStdString(text);
}

} // namespace apptest
