// Unsaved registers survive whatever ends the window: a copy follows the table a moment after each
// change and goes once they are saved or discarded; a window killed outright leaves it, and the
// next start offers it back (Restore, Discard, Later).
#include "AppTestSupport.h"
#include "FilePanel.h"
#include "RecoveredRegisters.h"
#include "RecoveryChildEdit.h"
#include "RegisterEditor.h"
#include "RegisterFile.h"
#include "RegisterFiles.h"

#include <QDir>
#include <QProcess>
#include <QUndoStack>

#include <csignal>

using namespace apptest;

namespace {

constexpr int CopyTimeout = 5000; // a guard: the copy follows a change within about 0.5 s

QDir recoveredFolder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
                "/Recovered");
}

QStringList copies() {
    return recoveredFolder().entryList({"*(unsaved *).vg2"}, QDir::Files);
}

RegisterCollection copyOnDisk() {
    RegisterCollection registers;
    const QStringList kept = copies();
    if (kept.size() == 1) {
        (void)readRegisterFile(localFilePath(recoveredFolder().filePath(kept.front())), &registers);
    }
    return registers;
}

} // namespace

class RecoveryTest : public QObject, DeviceTestFixture {
    Q_OBJECT

    QTemporaryDir _files;

    QString path(const QString& name) const { return _files.filePath(name); }

    void writeShow() {
        std::string text;
        QVERIFY(formatRegisterFile(collectionOf({{5, entryWith(5, FourClips)}}), &text));
        writeBytes(path("show.vg2"), QByteArray::fromStdString(text));
    }

    // Runs the child on show.vg2 until its copy is on disk, then kills it with SIGKILL.
    void killAChildThatEdited() {
        QProcess child;
        child.start(RECOVERY_CHILD, {path("show.vg2")});
        QVERIFY(child.waitForStarted(10000));
        QVERIFY(QTest::qWaitFor([&] { return child.canReadLine(); }, 20000));
        QVERIFY(child.readLine().startsWith("kept "));
        // Its own while it lives: nothing is offered.
        QVERIFY(findRecoveredRegisters(recoveredFolder().path(), "none").empty());
        QCOMPARE(::kill(pid_t(child.processId()), SIGKILL), 0);
        QVERIFY(child.waitForFinished(10000));
    }

  private slots:
    void initTestCase() { useTemporarySettings(_settings); }

    void init() {
        recoveredFolder().removeRecursively();
        writeShow();
        _controller = makeController({});
    }

    void cleanup() { _controller.reset(); }

    // The copy holds every byte of the unsaved table, named after its file, and goes once the
    // table is saved, or when it is closed without saving.
    void theCopyFollowsTheTable() {
        RegisterEntry wide = recoveryChildEdit();
        wide.reg.outB = {110, 0, 0, 0, 0, 0};
        wide.deviceBytes[3] = {0x00, 0x00, 0x00, 0xAA}; // hours 0xAA, as a device sent them
        _controller->registerEditor()->store({{7, wide}}, "Edit");
        QTRY_COMPARE_WITH_TIMEOUT(copies().size(), 1, CopyTimeout);
        QVERIFY(copies().front().startsWith("Untitled (unsaved "));
        QTRY_VERIFY_WITH_TIMEOUT(copyOnDisk() == app().tableModel()->registers(), CopyTimeout);

        _controller->registerFiles()->openFile(path("show.vg2"));
        QTRY_VERIFY_WITH_TIMEOUT(copies().isEmpty(), CopyTimeout); // the table is the file's
        _controller->registerEditor()->store({{8, entryWith(8, FourClips)}}, "Edit");
        QTRY_COMPARE_WITH_TIMEOUT(copies().size(), 1, CopyTimeout);
        QVERIFY(copies().front().startsWith("show (unsaved "));
        _controller->saveVg2File();
        QTRY_VERIFY_WITH_TIMEOUT(copies().isEmpty(), CopyTimeout);

        _controller->registerEditor()->store({{9, entryWith(9, FourClips)}}, "Edit");
        QTRY_COMPARE_WITH_TIMEOUT(copies().size(), 1, CopyTimeout);
        _controller->quit();
        answerAlert(*_controller, "Save changes to the registers?", "Don't Save");
        _controller.reset();
        QVERIFY(copies().isEmpty());
    }

    // A window killed with SIGKILL leaves its copy; the next start offers it, and each answer
    // does what it says.
    void aKilledWindowsRegistersAreOffered_data() {
        QTest::addColumn<QString>("answer");
        QTest::newRow("Restore") << "Restore";
        QTest::newRow("Discard") << "Discard";
        QTest::newRow("Later") << "Later";
    }
    void aKilledWindowsRegistersAreOffered() {
        QFETCH(QString, answer);
        killAChildThatEdited();
        const RegisterCollection before = app().tableModel()->registers();
        _controller->offerRecoveredRegisters();
        QTRY_VERIFY(_controller->alerts()->current() != nullptr);
        QVERIFY(_controller->alerts()->current()->text().startsWith(
            "Unsaved registers from show.vg2, "));
        answerAlert(*_controller, _controller->alerts()->current()->text(), answer);
        if (answer == "Restore") {
            RegisterCollection expected = collectionOf({{5, entryWith(5, FourClips)}});
            expected.set(7, recoveryChildEdit());
            QTRY_VERIFY(app().tableModel()->registers() == expected);
            QCOMPARE(_controller->window()->windowTitle(), "show.vg2[*] \u2014 Tavrel");
            QVERIFY(_controller->window()->isWindowModified());
            // This window keeps its own copy now; the one it restored is gone.
            QTRY_COMPARE_WITH_TIMEOUT(copies().size(), 1, CopyTimeout);
            QVERIFY(findRecoveredRegisters(recoveredFolder().path(), "none").empty());
        } else {
            QVERIFY(app().tableModel()->registers() == before);
            QCOMPARE(copies().size(), answer == "Later" ? 1 : 0);
            QCOMPARE(findRecoveredRegisters(recoveredFolder().path(), "none").size(),
                     size_t(answer == "Later" ? 1 : 0));
        }
    }
};

QTEST_MAIN(RecoveryTest)
#include "tst_recovery.moc"
