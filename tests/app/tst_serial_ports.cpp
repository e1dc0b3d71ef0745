// The port pop-up fed by the machine's own discovery path: a port appearing in a sysfs tree of the
// test's own (with its adapter in a udev database beside it) reaches the window through a real
// kernel device event, with nobody rebuilding the pop-up by hand. The choice of an adapter
// follows it to another name, and adapters are shown whole. And serial lines the registry does
// not report, added by their device path through "Other Port…": checked, remembered, kept
// through rebuilds, and usable.
#include "../discovery/DiscoveryTestSupport.h"
#include "AppTestSupport.h"
#include "MainToolbar.h"
#include "OtherPortDialog.h"
#include "SerialPortScanner.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QStyleOptionComboBox>

#include <cerrno>
#include <grp.h>
#include <unistd.h>

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

// A tty of a sysfs tree, hanging off a device as a plugged adapter's does, and the udev
// database entry of its adapter (in "udev" beside "class") when one is given.
void plugInto(const QString& sysfsRoot, const QString& name, const QByteArray& udevEntry = {}) {
    const QString tty = sysfsRoot + "/class/tty/" + name;
    QVERIFY(QDir().mkpath(tty + "/device"));
    static int plugged = 0;
    const QByteArray minor = QByteArray::number(++plugged);
    writeBytes(tty + "/uevent",
               "MAJOR=188\nMINOR=" + minor + "\nDEVNAME=" + name.toLatin1() + "\n");
    if (!udevEntry.isEmpty()) {
        QVERIFY(QDir().mkpath(sysfsRoot + "/udev"));
        writeBytes(sysfsRoot + "/udev/c188:" + minor, udevEntry);
    }
}

// Ports named with their adapters' descriptions and identities, each at /dev/<name>.
SerialPortList describedPorts(std::initializer_list<std::array<const char*, 3>> ports) {
    SerialPortList list;
    for (const auto& [name, description, identity] : ports) {
        list[name] = {std::string("/dev/") + name, description, identity};
    }
    return list;
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
    return portsNamed({"ttyS0", "ttyS1"});
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
        AppController controller([root] { return scanSerialPorts(root, root + "/udev"); });
        controller.window()->show();
        QComboBox* popUp = controller.portChooser()->popUp();
        QCOMPARE(portTitles(popUp), QStringList{"ttyS0"});

        plugInto(sysfs.path(), "ttyUSB7",
                 "S:serial/by-id/usb-FTDI_FT232R_USB_UART_A600XYZ-if00-port0\n"
                 "E:ID_MODEL=FT232R_USB_UART\nE:ID_SERIAL_SHORT=A600XYZ\n");
        const QString title = "FT232R USB UART A600XYZ \u2014 ttyUSB7";
        UeventWitness witness;
        if (!sendChangeEvent()) {
            QSKIP(qPrintable(QString("cannot send a device event: ") + std::strerror(errno)));
        }
        if (!QTest::qWaitFor([&] { return portTitles(popUp).contains(title); }, 5000)) {
            QVERIFY2(!witness.sawEventFor(virtualConsoleDevpath()),
                     "the kernel sent the event, the pop-up missed it");
            QSKIP("no device event reaches this system's network namespace");
        }
        QCOMPARE(portTitles(popUp), (QStringList{"ttyS0", title}));
        QCOMPARE(popUp->itemData(popUp->findText(title)).toString(), "/dev/ttyUSB7");

        QVERIFY(QDir(sysfs.path() + "/class/tty/ttyUSB7").removeRecursively());
        QVERIFY(sendChangeEvent());
        QVERIFY(QTest::qWaitFor([&] { return !portTitles(popUp).contains(title); }, 20000));
        QCOMPARE(portTitles(popUp), QStringList{"ttyS0"});
    }

    // Ports come and go under one window, adapters changing names; a person chooses now and then.
    // A chosen adapter is found again under any name and never taken for another adapter that
    // got its old name; a port without an identity is found by its name.
    void choiceFollowsTheAdapter() {
        const char* const ftdi = "FT232R USB UART A600XYZ";
        const char* const ftdiId = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A600XYZ-if00-port0";
        const std::array<const char*, 3> acm{"ttyACM0", "", ""}, plain{"ttyUSB3", "", ""},
            ch340{"ttyUSB0", "QinHeng USB Serial", "1a86_USB_Serial"};
        struct Step {
            SerialPortList ports;
            const char* chosen; // by a person, after the rebuild
            const char* selected;
            const char* stored;
            const char* storedIdentity;
        };
        const Step steps[] = {
            {describedPorts({acm, {"ttyUSB0", ftdi, ftdiId}}),
             "FT232R USB UART A600XYZ \u2014 ttyUSB0", "FT232R USB UART A600XYZ \u2014 ttyUSB0",
             "ttyUSB0", ftdiId},
            {describedPorts({acm, ch340, {"ttyUSB1", ftdi, ftdiId}}), nullptr,
             "FT232R USB UART A600XYZ \u2014 ttyUSB1", "ttyUSB0", ftdiId},
            {describedPorts({acm, ch340}), nullptr, "ttyACM0", "ttyUSB0", ftdiId},
            {describedPorts({acm, ch340, plain}), "ttyUSB3", "ttyUSB3", "ttyUSB3", nullptr},
            {describedPorts({acm, plain, {"ttyUSB0", ftdi, ftdiId}}), nullptr, "ttyUSB3", "ttyUSB3",
             nullptr},
        };
        SerialPortList ports;
        AppController controller([&ports] { return std::optional(ports); });
        QComboBox* popUp = controller.portChooser()->popUp();
        for (const Step& step : steps) {
            ports = step.ports;
            controller.updateSerialPortsPopup();
            if (step.chosen) {
                popUp->setCurrentIndex(popUp->findText(step.chosen));
                emit popUp->activated(popUp->currentIndex());
            }
            const QString context = popUp->currentText();
            QCOMPARE(popUp->currentText(), step.selected);
            QCOMPARE(controller.portChooser()->portName(), context.section(" \u2014 ", -1));
            QCOMPARE(QSettings().value(SelectedSerialPortKey).toString(), step.stored);
            QCOMPARE(QSettings().value(SelectedSerialPortIdentityKey),
                     step.storedIdentity ? QVariant(step.storedIdentity) : QVariant());
        }
        // `tavrel --port` with the name of the adapter's by-id link selects its port.
        QVERIFY(controller.addSerialPortByPath("usb-FTDI_FT232R_USB_UART_A600XYZ-if00-port0"));
        QVERIFY(controller.alerts()->current() == nullptr);
        QCOMPARE(popUp->currentText(), "FT232R USB UART A600XYZ \u2014 ttyUSB0");
        QCOMPARE(QSettings().value(SelectedSerialPortIdentityKey).toString(), ftdiId);
    }

    // However long an adapter's description, every entry shows whole in the pop-up, and the
    // window still shows every toolbar item.
    void longDescriptionsShowWhole() {
        const std::string description(120, 'W');
        SerialPortList ports = describedPorts({{"ttyUSB0", description.c_str(), "id"}});
        AppController controller([&ports] { return std::optional(ports); });
        controller.window()->show();
        QVERIFY(QTest::qWaitForWindowExposed(controller.window()));
        QComboBox* popUp = controller.portChooser()->popUp();
        QStyleOptionComboBox option;
        option.initFrom(popUp);
        const QRect field = popUp->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                           QStyle::SC_ComboBoxEditField, popUp);
        for (int i = 0; i < popUp->count(); ++i) {
            QVERIFY2(popUp->fontMetrics().horizontalAdvance(popUp->itemText(i)) <= field.width(),
                     qPrintable(popUp->itemText(i)));
        }
        for (QAction* action : controller.window()->toolbar()->actions()) {
            QWidget* item = controller.window()->toolbar()->widgetForAction(action);
            QVERIFY2(item == nullptr || item->isVisible(),
                     qPrintable(MainToolbar::itemIdentifier(action)));
        }
    }

    // A path the account may not open is explained as tavrelctl explains it, after the system's
    // words.
    void permissionProblemIsExplained() {
        QTemporaryDir folder;
        const QString path = folder.filePath("ttyS9");
        writeBytes(path, "");
        const group* dialout = getgrnam("dialout");
        if (dialout == nullptr || chown(QFile::encodeName(path), uid_t(-1), dialout->gr_gid) != 0) {
            QSKIP("cannot give a file to the dialout group");
        }
        const std::pair<int, QString> cases[] = {
            {EACCES, "Permission denied. Your account lacks permission to use the serial port: "},
            {ENOENT, "No such file or directory."},
        };
        for (const auto& [error, start] : cases) {
            const QString reason = openFailureReason(path, error);
            QVERIFY2(reason.startsWith(start), qPrintable(reason));
            QCOMPARE(reason.contains("Add your account to the \"dialout\" group"), error == EACCES);
        }
    }
};

QTEST_MAIN(SerialPortsTest)
#include "tst_serial_ports.moc"
