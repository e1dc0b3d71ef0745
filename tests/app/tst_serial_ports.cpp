// The port pop-up fed by the machine's own discovery path: a port appearing in a sysfs tree of the
// test's own reaches the window through a real kernel device event, with nobody rebuilding the
// pop-up by hand. And serial lines the registry does not report, added by their device path
// through "Other Port…": checked, remembered, kept through rebuilds, and usable.
#include "../discovery/DiscoveryTestSupport.h"
#include "AppTestSupport.h"
#include "OtherPortDialog.h"
#include "SerialPortScanner.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>

#include <cerrno>

using namespace apptest;

namespace {

QStringList portTitles(QComboBox* popUp) {
    QStringList titles;
    for (int i = 0; i < popUp->count(); ++i) {
        if (!popUp->itemData(i).toString().isEmpty()) {
            titles << popUp->itemText(i);
        }
    }
    return titles;
}

// A tty of a sysfs tree, hanging off a device as a plugged adapter's does.
void plugInto(const QString& sysfsRoot, const QString& name) {
    const QString tty = sysfsRoot + "/class/tty/" + name;
    QVERIFY(QDir().mkpath(tty + "/device"));
    writeBytes(tty + "/uevent", "MAJOR=188\nMINOR=7\nDEVNAME=" + name.toLatin1() + "\n");
}

// Chooses "Other Port…" in the pop-up as a person would; the dialog it opens, or null.
OtherPortDialog* chooseOtherPort(const AppController& controller) {
    QComboBox* popUp = controller.portChooser()->popUp();
    popUp->setCurrentIndex(popUp->count() - 1);
    emit popUp->activated(popUp->currentIndex());
    return controller.window()->findChild<OtherPortDialog*>();
}

// Types `path` into the dialog and confirms it, or cancels it when `path` is null.
void answerOtherPort(OtherPortDialog* dialog, const QString& path) {
    auto* buttons = dialog->findChild<QDialogButtonBox*>();
    if (path.isNull()) {
        buttons->button(QDialogButtonBox::Cancel)->click();
        return;
    }
    dialog->pathField()->setText(path);
    buttons->button(QDialogButtonBox::Ok)->click();
}

SerialPortList twoPorts() {
    return {{"ttyS0", "/dev/ttyS0"}, {"ttyS1", "/dev/ttyS1"}};
}

} // namespace

class SerialPortsTest : public QObject {
    Q_OBJECT

    QTemporaryDir _settings;

  private slots:
    void initTestCase() { useTemporarySettings(_settings); }
    void init() { clearSettings(); }

    // What "Other Port…" leads to: a terminal is added, selected and remembered by its path;
    // anything else gives an alert naming the path and the reason; cancelling changes nothing.
    void otherPortChoices_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason"); // empty: added
        const char* const rows[][3] = {
            {"simulator pty", "pty", ""},
            {"regular file", "file", "It is not a terminal device."},
            {"missing", "missing", "No such file or directory."},
            {"relative", "relative", "A device path starts with \"/\", as in /dev/ttyS0."},
            {"cancelled", "cancel", ""},
        };
        for (const auto& [row, kind, reason] : rows) {
            QTest::newRow(row) << QString(kind) << QString(reason);
        }
    }
    void otherPortChoices() {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        tavrel::sim::Vrg500Simulator device;
        QVERIFY(device.start());
        QTemporaryDir folder;
        writeBytes(folder.filePath("file"), "not a port");
        const QString path = kind == "pty"       ? QString::fromStdString(device.slavePath())
                             : kind == "file"    ? folder.filePath("file")
                             : kind == "missing" ? folder.filePath("ttyGone")
                             : kind == "cancel"  ? QString()
                                                 : "ttyS0";
        AppController controller([] { return std::optional(twoPorts()); });
        controller.window()->show();
        QComboBox* popUp = controller.portChooser()->popUp();
        popUp->setCurrentIndex(1);
        emit popUp->activated(1); // ttyS1, chosen before
        OtherPortDialog* dialog = chooseOtherPort(controller);
        QVERIFY(dialog);
        QCOMPARE(dialog->windowModality(), Qt::WindowModal);
        QCOMPARE(popUp->currentText(), "ttyS1"); // while the dialog asks
        answerOtherPort(dialog, path);

        if (kind != "pty") {
            if (!reason.isEmpty()) {
                expectAlert(controller, path + " cannot be used as a serial port", reason);
            }
            QCOMPARE(popUp->currentText(), "ttyS1");
            QCOMPARE(portTitles(popUp), (QStringList{"ttyS0", "ttyS1"}));
            QCOMPARE(QSettings().value(SelectedSerialPortKey).toString(), "ttyS1");
            return;
        }
        QVERIFY(controller.alerts()->current() == nullptr);
        const QString name = QFileInfo(path).fileName();
        QCOMPARE(portTitles(popUp), (QStringList{"ttyS0", "ttyS1", name}));
        QCOMPARE(popUp->currentText(), name);
        QCOMPARE(popUp->currentData().toString(), path);
        QCOMPARE(QSettings().value(SelectedSerialPortKey).toString(), path);
        QCOMPARE(popUp->itemText(popUp->count() - 1), OtherPortItemTitle);
    }

    // A port added by path stays through rebuilds and the next start while its path exists, and
    // the device answers through it; once the path is gone it is no longer listed.
    void portAddedByPathIsKeptAndWorks() {
        auto device = std::make_unique<tavrel::sim::Vrg500Simulator>();
        QVERIFY(device->start());
        const QString path = QString::fromStdString(device->slavePath());
        SerialPortList ports = twoPorts();
        AppController::PortLister lister = [&ports] { return std::optional(ports); };
        {
            AppController first(lister);
            first.window()->show();
            answerOtherPort(chooseOtherPort(first), path);
        }
        AppController controller(lister);
        controller.window()->show();
        QComboBox* popUp = controller.portChooser()->popUp();
        const QString name = QFileInfo(path).fileName();
        QCOMPARE(popUp->currentText(), name); // remembered and listed again
        ports.erase("ttyS0");
        controller.updateSerialPortsPopup();
        QCOMPARE(portTitles(popUp), (QStringList{"ttyS1", name}));
        QCOMPARE(popUp->currentData().toString(), path);

        controller.registerTransfers()->downloadRange(tavrel::records::RegisterRange{0, 2});
        awaitTransferEnd(controller, 30000);
        QVERIFY(controller.alerts()->current() == nullptr);
        QCOMPARE(controller.tableModel()->registers().size(), size_t(3));

        device.reset();
        QVERIFY(QTest::qWaitFor([&] { return !QFileInfo::exists(path); }, 10000));
        controller.updateSerialPortsPopup();
        QCOMPARE(portTitles(popUp), QStringList{"ttyS1"});
        QCOMPARE(QSettings().value(SelectedSerialPortKey).toString(), path); // still the choice
    }

    void hotPlugReachesThePopUp() {
        QTemporaryDir sysfs;
        QVERIFY(QDir().mkpath(sysfs.path() + "/class/tty"));
        plugInto(sysfs.path(), "ttyS0");
        const std::string root = sysfs.path().toStdString();
        AppController controller([root] { return scanSerialPorts(root); });
        controller.window()->show();
        QComboBox* popUp = controller.portChooser()->popUp();
        QCOMPARE(portTitles(popUp), QStringList{"ttyS0"});

        plugInto(sysfs.path(), "ttyUSB7");
        UeventWitness witness;
        if (!sendChangeEvent()) {
            QSKIP(qPrintable(QString("cannot send a device event: ") + std::strerror(errno)));
        }
        if (!QTest::qWaitFor([&] { return portTitles(popUp).contains("ttyUSB7"); }, 5000)) {
            QVERIFY2(!witness.sawEventFor(virtualConsoleDevpath()),
                     "the kernel sent the event, the pop-up missed it");
            QSKIP("no device event reaches this system's network namespace");
        }
        QCOMPARE(portTitles(popUp), (QStringList{"ttyS0", "ttyUSB7"}));
        QCOMPARE(popUp->itemData(popUp->findText("ttyUSB7")).toString(), "/dev/ttyUSB7");

        QVERIFY(QDir(sysfs.path() + "/class/tty/ttyUSB7").removeRecursively());
        QVERIFY(sendChangeEvent());
        QVERIFY(QTest::qWaitFor([&] { return !portTitles(popUp).contains("ttyUSB7"); }, 20000));
        QCOMPARE(portTitles(popUp), QStringList{"ttyS0"});
    }
};

QTEST_MAIN(SerialPortsTest)
#include "tst_serial_ports.moc"
