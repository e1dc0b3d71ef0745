// The serial port pop-up: its order, the "Serial Port" setting's persistence rules, and the
// rebuilds that follow ports being plugged in and pulled out.
#include "AppTestSupport.h"

#include <QComboBox>

using namespace AppTestSupport;

namespace {

SerialPortList portsNamed(const QStringList& names) {
    SerialPortList ports;
    for (const QString& name : names) {
        ports[name.toStdString()] = "/dev/" + name.toStdString();
    }
    return ports;
}

QStringList titles(const QComboBox* popUp) {
    QStringList list;
    for (int i = 0; i < popUp->count(); ++i) {
        list << popUp->itemText(i);
    }
    return list;
}

// Chooses `name` in the pop-up as a person would: the pop-up reports the activation.
void choose(AppController& controller, const QString& name) {
    int index = controller.serialPopUpButton->findText(name);
    QVERIFY(index >= 0);
    controller.serialPopUpButton->setCurrentIndex(index);
    emit controller.serialPopUpButton->activated(index);
}

QVariant storedChoice() {
    return QSettings().value(SelectedSerialPortKey);
}

} // namespace

class PortListTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { useTemporarySettings(_settings); }
    void init() { clearSettings(); }

    void listedInCaseSensitiveOrder() {
        _ports.set(portsNamed({"ttyUSB0", "ttyS0", "beta", "Zeta", "Alpha", "ttyACM0"}));
        AppController controller(_ports.lister());
        QCOMPARE(titles(controller.serialPopUpButton),
                 QStringList({"Alpha", "Zeta", "beta", "ttyACM0", "ttyS0", "ttyUSB0"}));
        QCOMPARE(controller.serialPopUpButton->itemData(4).toString(), QString("/dev/ttyS0"));
        QCOMPARE(controller.serialPopUpButton->currentText(), QString("Alpha"));
    }

    // Which port a fresh start selects, and that the start writes nothing.
    void startSelection_data() {
        QTest::addColumn<QStringList>("ports");
        QTest::addColumn<QVariant>("setting");
        QTest::addColumn<QString>("selected");
        QTest::newRow("no setting: first")
            << QStringList{"ttyS1", "ttyS0"} << QVariant() << "ttyS0";
        QTest::newRow("setting present")
            << QStringList{"ttyS1", "ttyS0", "ttyUSB0"} << QVariant("ttyUSB0") << "ttyUSB0";
        QTest::newRow("setting absent from list")
            << QStringList{"ttyS1", "ttyS0"} << QVariant("ttyUSB3") << "ttyS0";
        QTest::newRow("setting matches only in case")
            << QStringList{"ttyS0", "ttyS1"} << QVariant("TTYS1") << "ttyS0";
    }

    void startSelection() {
        QFETCH(QStringList, ports);
        QFETCH(QVariant, setting);
        QFETCH(QString, selected);
        if (setting.isValid()) {
            QSettings().setValue(SelectedSerialPortKey, setting);
        }
        _ports.set(portsNamed(ports));
        AppController controller(_ports.lister());
        QCOMPARE(controller.serialPopUpButton->currentText(), selected);
        QCOMPARE(storedChoice(), setting);
    }

    void choosingAPortRemembersIt() {
        _ports.set(portsNamed({"ttyS0", "ttyUSB0"}));
        AppController controller(_ports.lister());
        choose(controller, "ttyUSB0");
        QCOMPARE(storedChoice().toString(), QString("ttyUSB0"));
        choose(controller, "ttyS0");
        QCOMPARE(storedChoice().toString(), QString("ttyS0"));
    }

    void chosenPortStaysSelectedWhenAPortArrivesBeforeIt() {
        _ports.set(portsNamed({"ttyUSB0", "ttyUSB1"}));
        AppController controller(_ports.lister());
        choose(controller, "ttyUSB0");
        _ports.set(portsNamed({"ttyUSB0", "ttyUSB1", "ttyACM0"}));
        controller.updateSerialPortsPopup();
        QCOMPARE(controller.serialPopUpButton->currentText(), QString("ttyUSB0"));
    }

    void firstPortGivesWayToANewFirstPort() {
        _ports.set(portsNamed({"ttyUSB0", "ttyUSB1"}));
        AppController controller(_ports.lister());
        QCOMPARE(controller.serialPopUpButton->currentText(), QString("ttyUSB0"));
        _ports.set(portsNamed({"ttyUSB0", "ttyUSB1", "ttyACM0"}));
        controller.updateSerialPortsPopup();
        QCOMPARE(controller.serialPopUpButton->currentText(), QString("ttyACM0"));
        QVERIFY(!storedChoice().isValid());
    }

    void chosenPortThatLeavesAndComesBack() {
        _ports.set(portsNamed({"ttyS0", "ttyUSB0"}));
        AppController controller(_ports.lister());
        choose(controller, "ttyUSB0");

        _ports.set(portsNamed({"ttyS0"}));
        controller.updateSerialPortsPopup();
        QCOMPARE(controller.serialPopUpButton->currentText(), QString("ttyS0"));
        QCOMPARE(storedChoice().toString(), QString("ttyUSB0"));

        _ports.set(portsNamed({"ttyS0", "ttyUSB0"}));
        controller.updateSerialPortsPopup();
        QCOMPARE(controller.serialPopUpButton->currentText(), QString("ttyUSB0"));
    }

    void lastPortLeavesAndAnotherArrives() {
        _ports.set(portsNamed({"ttyUSB0"}));
        AppController controller(_ports.lister());
        choose(controller, "ttyUSB0");

        _ports.set(SerialPortList{});
        controller.updateSerialPortsPopup();
        QCOMPARE(controller.serialPopUpButton->count(), 0);
        QCOMPARE(controller.serialPopUpButton->currentIndex(), -1);
        QVERIFY(!controller.serialPopUpButton->isEnabled());
        QCOMPARE(controller.serialPopUpButton->placeholderText(), QString("No serial ports"));
        QVERIFY(!controller.downloadRegistersAction->isEnabled());
        QVERIFY(controller._getSocket() == nullptr);

        _ports.set(portsNamed({"ttyUSB1"}));
        controller.updateSerialPortsPopup();
        QVERIFY(controller.serialPopUpButton->isEnabled());
        QCOMPARE(controller.serialPopUpButton->currentText(), QString("ttyUSB1"));
        QVERIFY(controller.downloadRegistersAction->isEnabled());
        QCOMPARE(storedChoice().toString(), QString("ttyUSB0"));
    }

    void rebuildingWritesNoSetting() {
        _ports.set(portsNamed({"ttyS0", "ttyS1"}));
        AppController controller(_ports.lister());
        controller.serialPopUpButton->setCurrentIndex(1); // not a person's choice
        controller.updateSerialPortsPopup();
        QVERIFY(!storedChoice().isValid());
        QCOMPARE(controller.serialPopUpButton->currentText(), QString("ttyS0"));
    }

  private:
    QTemporaryDir _settings;
    FedPorts _ports;
};

QTEST_MAIN(PortListTest)
#include "tst_PortList.moc"
