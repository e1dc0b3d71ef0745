// The device's tools against the simulated device on a pseudo-terminal: the information dialog
// and the current register, and offsetting a range of registers with the progress sheet and what
// it changes on the device. How they fail or stop: tst_device_jobs.
#include "AppTestSupport.h"
#include "DeviceInformationDialog.h"
#include "RegisterTimeText.h"

#include <QInputDialog>
#include <QLabel>
#include <QRadioButton>

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

} // namespace

class DeviceToolsTest : public QObject, DeviceTestFixture {
    Q_OBJECT

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
        OffsetRegistersDialog* dialog = chooseOffset(app(), machines, " 00:00:10:05", 3, 6);
        QCOMPARE(dialog->windowModality(), Qt::WindowModal);
        (add ? dialog->addButton() : dialog->subtractButton())->setChecked(true);
        dialog->offsetButton()->click();
        answerQuestion("Not Now");
        QVERIFY(!_alertBeforeEnd);
        const int code = add ? 0x42 : 0x43; // add or subtract
        QCOMPARE(registerFrames(*_device), Frames({{code, 3}, {code, 4}, {code, 5}, {code, 6}}));
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
        OffsetRegistersDialog* dialog = chooseOffset(app(), machines, text, 5, last);
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
        QCOMPARE(registerFrames(*_device), enabled ? Frames({{0x42, 5}}) : Frames());

        app().window()->action(Command::OffsetRegisters)->trigger();
        auto* again = shownDialog<OffsetRegistersDialog>(*_controller);
        QCOMPARE(again->offsetField()->text(), text);
        QCOMPARE(again->lastField()->value(), last);
        QCOMPARE(again->machineBox(1)->isChecked(), machines.contains('B'));
    }
};

QTEST_MAIN(DeviceToolsTest)
#include "tst_device_tools.moc"
