// The device's tools against the simulated device on a pseudo-terminal: the information dialog
// and the current register, and offsetting a range of registers with the progress sheet, what it
// changes on the device, how it stops, and taking the offset registers back into the table.
#include "AppTestSupport.h"
#include "DeviceInformationDialog.h"
#include "OffsetRegistersDialog.h"
#include "RegisterEditor.h"
#include "RegisterTimeText.h"

#include <QApplication>
#include <QCheckBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>
#include <QUndoStack>
#include <QWindow>

using namespace tavrel::sim;
using namespace apptest;

namespace {

constexpr int StepsTimeout = 30000; // a guard against a hang, not a speed requirement

// The eight times of a register as the device holds them, as text.
QStringList deviceTimes(const Vrg500Simulator& device, uint16_t number) {
    const std::array<uint8_t, 34> wire = device.registerWire(number);
    QStringList times;
    for (int i = 0; i < 8; ++i) {
        VRG500_registerTime t;
        vrg500wire::parseRegisterTime(wire.data() + 4 * i, &t);
        times << QString::fromStdString(stringForRegisterTime(t));
    }
    return times;
}

// The register of every offset frame (add or subtract) the device received.
QList<int> offsetFrames(const Vrg500Simulator& device) {
    QList<int> registers;
    for (const std::vector<uint8_t>& frame : device.receivedFrames()) {
        if (frame.at(0) == 0x42 || frame.at(0) == 0x43) {
            registers << (frame.at(2) << 8 | frame.at(3));
        }
    }
    return registers;
}

} // namespace

class DeviceToolsTest : public QObject, DeviceTestFixture {
    Q_OBJECT

    // Opens the offset dialog and fills it in: registers 5 to `last` unless given, `machines`
    // such as "AC", the offset text.
    OffsetRegistersDialog* chooseOffset(const QString& machines, const QString& text, int last,
                                        int first = 5) {
        app().window()->action(Command::OffsetRegisters)->trigger();
        auto* dialog = shownDialog<OffsetRegistersDialog>(*_controller);
        dialog->lastField()->setValue(last);
        dialog->firstField()->setValue(first);
        for (int m = 0; m < 4; ++m) {
            dialog->machineBox(m)->setChecked(machines.contains(QChar('A' + m)));
        }
        dialog->offsetField()->setText(text);
        return dialog;
    }

    // Answers the question that follows an offset, once the progress sheet has gone.
    void answerQuestion(const QString& button) {
        QTRY_VERIFY_WITH_TIMEOUT(
            _controller->alerts()->current() && !app().progressSheet()->isVisible(), StepsTimeout);
        answerAlert(*_controller, "Update the table from the device?", button);
    }

  private slots:
    void initTestCase() { useTemporarySettings(_settings); }

    void init() {
        startDevice();
        std::array<uint8_t, 34> wire{}; // every time 01:00:00:00
        for (size_t i = 0; i < 8; ++i) {
            wire[4 * i + 3] = 0x01;
        }
        for (uint16_t n = 0; n <= 12; ++n) {
            _device->setRegisterWire(n, wire);
        }
    }

    void cleanup() { stopDevice(); }

    // Shown when the dialog opens, read again by Refresh; Set Current Register sends the number
    // and shows what the device then says.
    void informationShowsTheDevicesValues() {
        _device->setVersion(" 2.10 ");
        _device->setVideoStandard(true);
        _device->setCurrentRegister(7);
        app().window()->action(Command::DeviceInformation)->trigger();
        auto* dialog = awaitDialog<DeviceInformationDialog>(*_controller);
        QVERIFY(dialog);
        QCOMPARE(dialog->windowModality(), Qt::WindowModal);
        QCOMPARE(dialog->versionField()->text(), "2.10");
        QCOMPARE(dialog->videoStandardField()->text(), "1");
        QCOMPARE(dialog->currentRegisterField()->text(), "007");

        _device->setVideoStandard(false);
        _device->setCurrentRegister(300);
        dialog->refreshButton()->click();
        QTRY_COMPARE(dialog->videoStandardField()->text(), "0");
        QCOMPARE(dialog->currentRegisterField()->text(), "300");

        dialog->setCurrentRegisterButton()->click();
        auto* ask = dialog->findChild<QInputDialog*>();
        QVERIFY(ask && ask->isVisible());
        ask->setIntValue(1234);
        ask->accept();
        QTRY_COMPARE(dialog->currentRegisterField()->text(), "1234");
        QCOMPARE(_device->receivedFrames().at(_device->receivedFrames().size() - 2),
                 std::vector<uint8_t>({0x41, 2, 0x04, 0xD2}));
    }

    // No dialog is left empty: a failure of the first reading shows only the alert; a later one
    // comes up over the dialog, which keeps what it showed.
    void informationFailuresShowTheLinksError_data() {
        QTest::addColumn<QString>("when"); // "opening", "refresh", "set"
        QTest::addColumn<bool>("connected");
        QTest::addColumn<QString>("text");
        QTest::newRow("no connection") << "opening" << false << GenericMessage;
        QTest::newRow("opening") << "opening" << true << "Unexpected response to Version request";
        QTest::newRow("refresh") << "refresh" << true << "Unexpected response to Version request";
        QTest::newRow("set") << "set" << true
                             << "Unexpected response to Set Current Register Number request";
    }
    void informationFailuresShowTheLinksError() {
        QFETCH(QString, when);
        QFETCH(bool, connected);
        QFETCH(QString, text);
        if (!connected) {
            _controller = makeController(_settings.filePath("no-such-port").toStdString());
        }
        if (when == "opening") {
            _device->injectFault(Vrg500Fault::NakInstead);
        }
        app().window()->action(Command::DeviceInformation)->trigger();
        auto* dialog =
            when == "opening" ? nullptr : awaitDialog<DeviceInformationDialog>(*_controller);
        if (when != "opening") {
            _device->injectFault(Vrg500Fault::NakInstead);
            if (when == "refresh") {
                dialog->refreshButton()->click();
            } else {
                dialog->setCurrentRegisterButton()->click();
                dialog->findChild<QInputDialog*>()->accept();
            }
        }
        QTRY_COMPARE(
            _controller->alerts()->current() ? _controller->alerts()->current()->text() : "", text);
        QMessageBox* alert = _controller->alerts()->current();
        // With no connection, why the port could not be opened follows.
        QVERIFY(alert->informativeText().startsWith(
            connected ? QString(TavrelDeviceRecoverySuggestion) : GenericInformation));
        QCOMPARE(shownDialog<DeviceInformationDialog>(*_controller), dialog); // null when opening
        QWidget* over = dialog ? static_cast<QWidget*>(dialog) : app().window();
        QCOMPARE(alert->windowHandle()->transientParent(), over->windowHandle()); // stacked on it
        QCOMPARE(QApplication::activeModalWidget(), static_cast<QWidget*>(alert));
        if (dialog) {
            QCOMPARE(dialog->currentRegisterField()->text(), "000");
        }
    }

    void offsetChangesExactlyTheChosenTimes_data() {
        QTest::addColumn<bool>("add");
        QTest::addColumn<QString>("machines");
        QTest::addColumn<QString>("shifted");
        QTest::newRow("add to A and C") << true << "AC"
                                        << "01:00:10:05";
        QTest::newRow("subtract from D") << false << "D"
                                         << "00:59:49:25";
    }
    void offsetChangesExactlyTheChosenTimes() {
        QFETCH(bool, add);
        QFETCH(QString, machines);
        QFETCH(QString, shifted);
        OffsetRegistersDialog* dialog = chooseOffset(machines, " 00:00:10:05", 6, 3);
        QCOMPARE(dialog->windowModality(), Qt::WindowModal);
        (add ? dialog->addButton() : dialog->subtractButton())->setChecked(true);
        dialog->offsetButton()->click();
        answerQuestion("Not Now");
        QVERIFY(!_alertBeforeEnd);
        QCOMPARE(offsetFrames(*_device), QList<int>({3, 4, 5, 6}));
        for (uint16_t n = 0; n <= 12; ++n) {
            QStringList expected;
            for (int i = 0; i < 8; ++i) {
                const bool moved = n >= 3 && n <= 6 && machines.contains(QChar('A' + i / 2));
                expected << (moved ? shifted : "01:00:00:00");
            }
            QCOMPARE(deviceTimes(*_device, n), expected);
        }
        QVERIFY(app().tableModel()->registers().empty()); // "Not Now" leaves the table alone
        QVERIFY(app().window()->action(Command::OffsetRegisters)->isEnabled());
    }

    // The Offset button follows the choice, Return too; a refused offset says why under its
    // field. The choice is offered again the next time.
    void offsetButtonFollowsTheChoice_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("last"); // first is 5
        QTest::addColumn<QString>("machines");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("reason");
        const QString form = "Type an offset as HH:MM:SS:FF, two digits each.";
        const QString wire =
            "The VRG-500 takes hours, minutes and seconds up to 99 and frames up to 39.";
        QTest::newRow("fits") << "00:00:10:05" << 5 << "B" << true << "";
        QTest::newRow("frames 40") << "00:00:10:40" << 5 << "B" << false << wire;
        QTest::newRow("one digit") << "1:00:00:00" << 5 << "B" << false << form;
        QTest::newRow("drop frame") << "00:00:10;05" << 5 << "B" << false << form;
        QTest::newRow("null") << "**:**:**:**" << 5 << "B" << false << form;
        QTest::newRow("empty") << "" << 5 << "B" << false << "";
        QTest::newRow("no machine") << "00:00:10:05" << 5 << "" << false << "";
        QTest::newRow("last before first") << "00:00:10:05" << 4 << "ABCD" << false << "";
    }
    void offsetButtonFollowsTheChoice() {
        QFETCH(QString, text);
        QFETCH(int, last);
        QFETCH(QString, machines);
        QFETCH(bool, enabled);
        QFETCH(QString, reason);
        OffsetRegistersDialog* dialog = chooseOffset(machines, text, last);
        QCOMPARE(dialog->offsetButton()->isEnabled(), enabled);
        QCOMPARE(dialog->offsetRefusal()->text(), reason);
        QCOMPARE(dialog->offsetRefusal()->isVisible(), !reason.isEmpty());
        QTest::keyClick(dialog->offsetField(), Qt::Key_Return);
        QCOMPARE(dialog->isVisible(), !enabled);
        if (enabled) {
            answerQuestion("Not Now");
        } else {
            dialog->reject();
        }
        QCOMPARE(offsetFrames(*_device), enabled ? QList<int>({5}) : QList<int>());

        app().window()->action(Command::OffsetRegisters)->trigger();
        auto* again = shownDialog<OffsetRegistersDialog>(*_controller);
        QCOMPARE(again->offsetField()->text(), text);
        QCOMPARE(again->lastField()->value(), last);
        QCOMPARE(again->machineBox(1)->isChecked(), machines.contains('B'));
    }

    // Stopped at register 2, cancelled (in the middle of its exchange; no other follows) or refused
    // by the device (its error after the sheet has gone, and no question). After a cancel, the
    // table takes registers 0 to 2 from the device as one undo step; its other registers stay.
    void offsetStopsMidway_data() {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("cancelled") << true;
        QTest::newRow("device failure") << false;
    }
    void offsetStopsMidway() {
        QFETCH(bool, cancel);
        const RegisterCollection before =
            collectionOf({{1, entryWith(3, FourClips)}, {50, entryWith(4, FourClips)}});
        _controller->tableModel()->replaceRegisters(before);
        atProgress(*_controller, 2, [this, cancel] {
            if (!cancel) {
                _device->injectFault(Vrg500Fault::NakInstead);
                return;
            }
            // In the middle of register 2's reply, which the device trickles: that register may
            // have been offset, and is read back with the others.
            _device->injectFault(Vrg500Fault::TrickledReply);
            QTimer::singleShot(0, this, [this] {
                QVERIFY(QTest::qWaitFor([this] { return offsetFrames(*_device).size() == 3; }));
                app().progressSheet()->findChild<QPushButton*>("progressCancelButton")->click();
            });
        });
        chooseOffset("A", "01:00:00:00", 9, 0)->offsetButton()->click();
        QTRY_VERIFY_WITH_TIMEOUT(_controller->alerts()->current(), StepsTimeout);
        QVERIFY(!_alertBeforeEnd);
        QCOMPARE(offsetFrames(*_device), QList<int>({0, 1, 2}));
        if (!cancel) {
            expectAlert(*_controller, "Unexpected response to Register Time Offset request",
                        TavrelDeviceRecoverySuggestion);
            return;
        }
        QCOMPARE(_controller->alerts()->current()->informativeText(),
                 "Registers 000-002 were offset on the VRG-500; the "
                 "table still holds their earlier times.");
        answerQuestion("Update Table");
        QTRY_VERIFY_WITH_TIMEOUT(app().tableModel()->registers().size() == 4, StepsTimeout);
        QTRY_VERIFY(!app().progressSheet()->isVisible());
        QCOMPARE(app().progressSheet()->label()->text(), "Reading register 2");
        RegisterCollection expected = deviceRegisters(*_device, 0, 2);
        expected.set(50, *before.find(50)); // as it was
        QVERIFY(app().tableModel()->registers() == expected);
        QUndoStack* stack = _controller->registerEditor()->undoStack();
        QCOMPARE(stack->undoText(), "Update Registers 000-002");
        stack->undo();
        QVERIFY(app().tableModel()->registers() == before);
    }
};

QTEST_MAIN(DeviceToolsTest)
#include "tst_device_tools.moc"
