// The real tavrel program, run as a child, quitting on SIGTERM, SIGINT and SIGHUP the way the Quit
// command does: it exits normally with status 0 instead of being killed by the signal.
#include "../SignalCatching.h"
#include "Vrg500Simulator.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/types.h>

class QuitOnSignalTest : public QObject {
    Q_OBJECT

  private slots:
    void signalQuitsWithStatusZero_data() {
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<bool>("portByPath"); // else the demonstration device
        QTest::newRow("SIGTERM") << SIGTERM << false;
        QTest::newRow("SIGINT") << SIGINT << false;
        QTest::newRow("SIGHUP") << SIGHUP << false;
        QTest::newRow("SIGTERM, --port") << SIGTERM << true;
    }
    void signalQuitsWithStatusZero() {
        QFETCH(int, signalNumber);
        QFETCH(bool, portByPath);
        tavrel::sim::Vrg500Simulator device;
        QVERIFY(device.start());
        QTemporaryDir home;
        QProcess tavrel;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("HOME", home.path()); // its settings stay out of the user's
        environment.insert("XDG_CONFIG_HOME", home.path());
        tavrel.setProcessEnvironment(environment);
        tavrel.setProcessChannelMode(QProcess::ForwardedChannels);
        tavrel.start(TAVREL_PROGRAM,
                     portByPath ? QStringList{"--port", QString::fromStdString(device.slavePath())}
                                : QStringList{"--demo"});
        QVERIFY(tavrel.waitForStarted(10000));
        QVERIFY(QTest::qWaitFor(
            [&] { return catchesSignal(pid_t(tavrel.processId()), signalNumber); }, 20000));

        QCOMPARE(::kill(pid_t(tavrel.processId()), signalNumber), 0);
        QVERIFY(tavrel.waitForFinished(10000));
        QCOMPARE(tavrel.exitStatus(), QProcess::NormalExit);
        QCOMPARE(tavrel.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(QuitOnSignalTest)
#include "tst_quit_on_signal.moc"
