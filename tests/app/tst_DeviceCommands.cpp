// The version command against the simulated device over a pseudo-terminal, the generic alert
// when there is no connection, the cause of a failed open in that alert, and error alerts.
#include "AppTestSupport.h"
#include "TavrelLog.h"
#include "Vrg500Simulator.h"

#include <QComboBox>
#include <QDir>
#include <QFile>

using namespace AppTestSupport;

namespace {

const QString GenericMessage = "Error communicating with VRG-500";
const QString GenericInformation = "Perhaps the device is off or the wrong port is selected.";

} // namespace

class DeviceCommandsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { useTemporarySettings(_settings); }
    void init() {
        clearSettings();
        _log.clear();
        tavrelLogSetSink([this](const std::string& line) { _log << QString::fromStdString(line); });
    }
    void cleanup() { tavrelLogSetSink({}); }

    void versionIsShownTrimmed_data() {
        QTest::addColumn<QByteArray>("deviceVersion");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain") << QByteArray("2.10") << "Version: 2.10";
        QTest::newRow("spaces and tabs") << QByteArray(" \t2.10\t ") << "Version: 2.10";
        QTest::newRow("inner space kept") << QByteArray(" V 2 ") << "Version: V 2";
        QTest::newRow("Latin-1 byte")
            << QByteArray("2.1\xb5") << QString::fromUtf8("Version: 2.1\u00b5");
    }

    void versionIsShownTrimmed() {
        QFETCH(QByteArray, deviceVersion);
        QFETCH(QString, shown);
        Vrg500Simulator simulator;
        std::string error;
        QVERIFY2(simulator.start(&error), error.c_str());
        simulator.setVersion(deviceVersion.toStdString());
        _ports.set(SerialPortList{{"ttySIM", simulator.slavePath()}});
        AppController controller(_ports.lister());
        controller.mainWindow->show();

        controller.showVersionAction->trigger();
        QMessageBox* alert = currentAlert(controller);
        QVERIFY(alert != nullptr);
        QCOMPARE(alert->text(), QString("VRG-500"));
        QCOMPARE(alert->informativeText(), shown);
        QCOMPARE(alert->icon(), QMessageBox::Information);
        QCOMPARE(alert->windowModality(), Qt::WindowModal);
        QCOMPARE(alert->parentWidget(), controller.mainWindow.data());
        QCOMPARE(alert->buttons().size(), 1);
        dismissAlert(controller);
        QVERIFY(currentAlert(controller) == nullptr);
    }

    void versionWithNoPortShowsTheGenericAlert() {
        _ports.set(SerialPortList{});
        AppController controller(_ports.lister());
        controller.mainWindow->show();
        QVERIFY(controller.showVersionAction->isEnabled());
        controller.showVersionAction->trigger();
        QMessageBox* alert = currentAlert(controller);
        QVERIFY(alert != nullptr);
        QCOMPARE(alert->text(), GenericMessage);
        QCOMPARE(alert->informativeText(), GenericInformation);
        QCOMPARE(alert->icon(), QMessageBox::Critical);
        QCOMPARE(alert->windowModality(), Qt::WindowModal);
        QCOMPARE(alert->buttons().size(), 1);
    }

    void deviceFailureShowsItsError() {
        Vrg500Simulator simulator;
        QVERIFY(simulator.start());
        simulator.injectFault(Vrg500Fault::NoReply);
        _ports.set(SerialPortList{{"ttySIM", simulator.slavePath()}});
        AppController controller(_ports.lister());
        controller.mainWindow->show();
        controller.showVRG500Version();
        QMessageBox* alert = currentAlert(controller);
        QVERIFY(alert != nullptr);
        QCOMPARE(alert->icon(), QMessageBox::Critical);
        QVERIFY(alert->text() != GenericMessage);
        QCOMPARE(alert->informativeText(), QString(TavrelDeviceRecoverySuggestion));
    }

    void errorObjectAlertAndLog() {
        AppController controller(_ports.lister());
        controller.mainWindow->show();
        TavrelError error{TavrelErrorDomain, 0, "Error reading from serial port",
                          std::string("read failed - Input/output error(5)"),
                          std::string(TavrelDeviceRecoverySuggestion)};
        controller._showError(&error);
        QMessageBox* alert = currentAlert(controller);
        QVERIFY(alert != nullptr);
        QCOMPARE(alert->text(), QString("Error reading from serial port"));
        QCOMPARE(alert->informativeText(), QString(TavrelDeviceRecoverySuggestion));
        QCOMPARE(alert->icon(), QMessageBox::Critical);
        QVERIFY(_log.contains("Error: read failed - Input/output error(5)"));

        dismissAlert(controller);
        _log.clear();
        TavrelError noReason{TavrelErrorDomain, 0, "Unexpected reply", std::nullopt, std::nullopt};
        controller._showError(&noReason);
        QVERIFY(currentAlert(controller) != nullptr);
        QCOMPARE(currentAlert(controller)->informativeText(), QString());
        QVERIFY(_log.filter("Error: ").isEmpty());
    }

    void openFailureCauseInTheGenericAlert_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("cause");
        QTest::newRow("port gone") << _missing.path() + "/ttyUSB9"
                                   << "The serial port is gone: its adapter may have been "
                                      "unplugged. Plug it in again and choose the port.";
        QTest::newRow("other reason") << _missing.path()
                                      << QString("The serial port could not be opened: %1.")
                                             .arg(QString::fromLocal8Bit(strerror(EISDIR)));
    }

    void openFailureCauseInTheGenericAlert() {
        QFETCH(QString, path);
        QFETCH(QString, cause);
        _ports.set(SerialPortList{{"ttyUSB9", path.toStdString()}});
        AppController controller(_ports.lister());
        controller.mainWindow->show();
        controller.showVRG500Version();
        QMessageBox* alert = currentAlert(controller);
        QVERIFY(alert != nullptr);
        QCOMPARE(alert->text(), GenericMessage);
        QCOMPARE(alert->informativeText(), GenericInformation + "\n\n" + cause);

        // The cause belongs to that failure only.
        dismissAlert(controller);
        controller._showError(nullptr);
        QCOMPARE(currentAlert(controller)->informativeText(), GenericInformation);
    }

    void sharedConnectionBetweenLookups() {
        Vrg500Simulator simulator;
        QVERIFY(simulator.start());
        _ports.set(SerialPortList{{"ttySIM", simulator.slavePath()}});
        AppController controller(_ports.lister());
        std::shared_ptr<TavrelSocket> first = controller._getSocket();
        QVERIFY(first != nullptr);
        QCOMPARE(controller._getSocket(), first);
        QCOMPARE(first->deviceFilePath(), simulator.slavePath());
        QVERIFY(simulator.receivedFrames().empty()); // nothing is sent by the lookup
    }

  private:
    QTemporaryDir _settings;
    QTemporaryDir _missing;
    FedPorts _ports;
    QStringList _log;
};

QTEST_MAIN(DeviceCommandsTest)
#include "tst_DeviceCommands.moc"
