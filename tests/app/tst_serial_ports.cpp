// The port pop-up fed by the machine's own discovery path: a port appearing in a sysfs tree of the
// test's own reaches the window through a real kernel device event, with nobody rebuilding the
// pop-up by hand.
#include "AppTestSupport.h"
#include "SerialPortScanner.h"

#include <QComboBox>
#include <QDir>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <linux/netlink.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace tavrel::app;
using namespace tavrel::link;

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

// A "change" event for a virtual console, which belongs to no serial port: it only makes the
// monitor list again. False when this system does not let the test send one.
bool sendDeviceEvent() {
    std::string devpath = "/sys/devices/virtual/tty/tty63";
    if (!std::filesystem::exists(devpath)) {
        devpath = "/sys/devices/virtual/tty/ptmx";
    }
    std::ofstream uevent(devpath + "/uevent");
    return bool(uevent << "change" << std::flush);
}

// The kernel's events as a socket of the test's own sees them, to tell "no event reaches this
// system" apart from "the window missed the event".
struct UeventWitness {
    UeventWitness() {
        sockaddr_nl address{};
        address.nl_family = AF_NETLINK;
        address.nl_groups = 1;
        bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
    ~UeventWitness() { close(fd); }
    bool sawChangeEvent() const {
        char message[8192];
        for (ssize_t length; (length = recv(fd, message, sizeof message - 1, 0)) > 0;) {
            message[length] = '\0';
            if (std::strncmp(message, "change@/devices/virtual/tty/", 28) == 0) {
                return true;
            }
        }
        return false;
    }
    const int fd =
        socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_KOBJECT_UEVENT);
};

} // namespace

class SerialPortsTest : public QObject {
    Q_OBJECT

    QTemporaryDir _settings;

  private slots:
    void initTestCase() { useTemporarySettings(_settings); }
    void init() { clearSettings(); }

    void hotPlugReachesThePopUp() {
        QTemporaryDir sysfs;
        QVERIFY(QDir().mkpath(sysfs.path() + "/class/tty"));
        plugInto(sysfs.path(), "ttyS0");
        const std::string root = sysfs.path().toStdString();
        AppController controller([root] { return scanSerialPorts(root); });
        controller.window()->show();
        QComboBox* popUp = testAccess(controller).serialPopUpButton();
        QCOMPARE(portTitles(popUp), QStringList{"ttyS0"});

        plugInto(sysfs.path(), "ttyUSB7");
        UeventWitness witness;
        if (!sendDeviceEvent()) {
            QSKIP(qPrintable(QString("cannot send a device event: ") + std::strerror(errno)));
        }
        if (!QTest::qWaitFor([&] { return portTitles(popUp).contains("ttyUSB7"); }, 5000)) {
            QVERIFY2(!witness.sawChangeEvent(), "the kernel sent the event, the pop-up missed it");
            QSKIP("no device event reaches this system's network namespace");
        }
        QCOMPARE(portTitles(popUp), (QStringList{"ttyS0", "ttyUSB7"}));
        QCOMPARE(popUp->itemData(popUp->findText("ttyUSB7")).toString(), "/dev/ttyUSB7");

        QVERIFY(QDir(sysfs.path() + "/class/tty/ttyUSB7").removeRecursively());
        QVERIFY(sendDeviceEvent());
        QVERIFY(QTest::qWaitFor([&] { return !portTitles(popUp).contains("ttyUSB7"); }, 20000));
        QCOMPARE(portTitles(popUp), QStringList{"ttyS0"});
    }
};

QTEST_MAIN(SerialPortsTest)
#include "tst_serial_ports.moc"
