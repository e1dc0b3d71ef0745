// Safe uploads and comparisons against the simulated device on a pseudo-terminal: what is read,
// what is written (checked on the device's side), the snapshot of what an upload overwrites, and
// what a comparison shows and takes.
#include "AppTestSupport.h"
#include "ComparisonDialog.h"
#include "FilePanel.h"
#include "RegisterComparison.h"
#include "RegisterFile.h"
#include "SafeUploads.h"
#include "SnapshotDialog.h"
#include "UploadSnapshot.h"

#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QTreeWidget>
#include <QUndoStack>

using namespace tavrel::sim;
using namespace apptest;

namespace {

constexpr int TransferTimeout = 60000; // a guard against a hang, not a speed requirement

const Frames AllRead = readFrames(0, 9);

} // namespace

class SafeUploadTest : public QObject, DeviceTestFixture {
    Q_OBJECT

    RegisterCollection _before; // registers 0 to 9 as the device held them at the start

    std::string snapshotFolder() const {
        return localFilePath(_controller->safeUploads()->snapshotFolder());
    }

    // Chooses registers `first` to `last` in the range sheet `command` opens and waits until the
    // transfer it starts has ended.
    void run(QAction* command, int first = 0, int last = 9) {
        chooseRange(*_controller, command, first, last);
        awaitTransferEnd(*_controller, TransferTimeout);
    }

    // The table holds the device's registers 0 to 9, with registers 3 and 7 changed.
    void changeThreeAndSeven() {
        RegisterCollection table = _before;
        table.set(3, entryWith(33, FourClips));
        table.set(7, entryWith(37, FourClips));
        _controller->tableModel()->replaceRegisters(table);
        _device->clearReceivedFrames();
    }

  private slots:
    void initTestCase() { useTemporarySettings(_settings); }

    void init() {
        startDevice(true);
        QFile::remove(
            _controller->safeUploads()->snapshotFolder()); // a file put there by a test before
        QDir(_controller->safeUploads()->snapshotFolder()).removeRecursively();
        _before = deviceRegisters(*_device, 0, 9);
    }

    void cleanup() { stopDevice(); }

    // The range is read whole before anything is sent, then only the registers that differ are
    // written; what they held is kept as a snapshot, and restoring it gives the device back.
    void uploadWritesOnlyWhatDiffersAndKeepsWhatItOverwrote() {
        changeThreeAndSeven();
        const RegisterCollection table = app().tableModel()->registers();
        run(app().window()->action(Command::UploadRegisters));
        QCOMPARE(registerFrames(*_device), AllRead + writesOf({3, 7}));
        QVERIFY(deviceRegisters(*_device, 0, 9) == table);

        const std::vector<SnapshotInfo> kept = listUploadSnapshots(snapshotFolder());
        QCOMPARE(kept.size(), size_t(1));
        QCOMPARE(std::make_tuple(kept[0].range.first, kept[0].range.last, kept[0].registers,
                                 kept[0].port),
                 std::make_tuple(0, 9, size_t(2), std::string("ttySIM0")));
        RegisterCollection snapshot;
        QVERIFY(readRegisterFile(kept[0].path, &snapshot));
        QVERIFY(snapshot == collectionOf({{3, *_before.find(3)}, {7, *_before.find(7)}}));

        _device->clearReceivedFrames();
        app().window()->action(Command::RestoreSnapshot)->trigger();
        auto* restore = awaitDialog<SnapshotDialog>(*_controller);
        QCOMPARE(restore->list()->count(), 1);
        restore->restoreButton()->click();
        awaitTransferEnd(*_controller, TransferTimeout);
        // Reading what it restores and writing it may be two jobs, each with its sheet: the
        // writes are awaited, not assumed done when the first sheet goes.
        QTRY_COMPARE_WITH_TIMEOUT(registerFrames(*_device),
                                  Frames({{0x20, 3}, {0x25, 3}, {0x20, 7}, {0x25, 7}}) +
                                      writesOf({3, 7}),
                                  TransferTimeout);
        QTRY_VERIFY(!_controller->progressSheet()->isVisible());
        QVERIFY(deviceRegisters(*_device, 0, 9) == _before);
        QVERIFY(app().tableModel()->registers() == table); // the table is not the snapshot's
    }

    // A snapshot taken from another port is restored only when the user says so.
    void restoreAsksBeforeAnotherPortsSnapshot() {
        const RegisterCollection kept = collectionOf({{3, entryWith(33, FourClips)}});
        QVERIFY(writeUploadSnapshot(snapshotFolder(), "/dev/ttyUSB9", {3, 3}, kept, nullptr));
        for (const QString answer : {"Cancel", "Restore"}) {
            _device->clearReceivedFrames();
            app().window()->action(Command::RestoreSnapshot)->trigger();
            awaitDialog<SnapshotDialog>(*_controller)->restoreButton()->click();
            QTRY_VERIFY(_controller->alerts()->current() != nullptr);
            QCOMPARE(_controller->alerts()->current()->informativeText(),
                     "The snapshot was taken from ttyUSB9, and the selected port is ttySIM0. "
                     "Restoring it writes registers 003 to 003 of the VRG-500 on ttySIM0.");
            answerAlert(*_controller, "Restore a snapshot of another port?", answer);
            if (answer == "Restore") {
                awaitTransferEnd(*_controller, TransferTimeout);
            }
            QCOMPARE(registerFrames(*_device),
                     answer == "Restore" ? readFrames(3, 3) + writesOf({3}) : Frames());
        }
        QVERIFY(compareRegisters(deviceRegisters(*_device, 3, 3), kept).differences.empty());
    }

    // A comparison reads the range and changes nothing; from its result the device's values
    // can be taken into the table (one undo step), or the table's changes uploaded.
    void comparisonShowsTakesAndUploads() {
        for (const int answer :
             {int(ComparisonDialog::TakeDeviceValues), int(ComparisonDialog::UploadChanges)}) {
            init();
            RegisterCollection table = _before;
            table.set(2, withClip(*_before.find(2), 1, "CHANGED "));
            table.set(12, entryWith(12, FourClips)); // outside the compared range
            table.erase(4);
            _controller->tableModel()->replaceRegisters(table);
            const RegisterCollection shown = app().tableModel()->registers();
            _device->clearReceivedFrames();
            run(app().window()->action(Command::Compare), 0, 4);
            QCOMPARE(registerFrames(*_device), readFrames(0, 4));
            QVERIFY(app().tableModel()->registers() == shown);

            auto* result = awaitDialog<ComparisonDialog>(*_controller);
            QCOMPARE(result->summary()->text(),
                     "Registers 000 to 004: 1 differ, 1 only on the VRG-500, 3 the same.");
            QTreeWidget* lines = result->differences();
            QCOMPARE(lines->topLevelItemCount(), 2);
            QCOMPARE(lines->topLevelItem(0)->child(0)->text(1), "CLIP B");
            QCOMPARE(lines->topLevelItem(1)->text(1), "only on the VRG-500");

            _device->clearReceivedFrames();
            result->done(answer);
            if (answer == ComparisonDialog::TakeDeviceValues) {
                RegisterCollection expected = _before;
                expected.set(12, entryWith(12, FourClips));
                QVERIFY(app().tableModel()->registers() == expected);
                _controller->registerEditor()->undoStack()->undo();
                QVERIFY(app().tableModel()->registers() == shown);
            } else {
                // Another program changes registers 1 and 3 while the result is shown: the
                // upload reads the table's compared registers again and goes by what it reads.
                std::array<uint8_t, 32> other;
                const std::string names = "OTHER001" + std::string(24, '*');
                std::copy(names.begin(), names.end(), other.begin());
                for (const uint16_t number : {uint16_t{1}, uint16_t{3}}) {
                    _device->setClipNames(number, other);
                }
                const RegisterCollection changed = deviceRegisters(*_device, 1, 3);
                awaitTransferEnd(*_controller, TransferTimeout);
                QCOMPARE(registerFrames(*_device), readFrames(0, 3) + writesOf({1, 2, 3}));
                QVERIFY(compareRegisters(deviceRegisters(*_device, 0, 3), table, {0, 3})
                            .differences.empty());
                const std::vector<SnapshotInfo> kept = listUploadSnapshots(snapshotFolder());
                QCOMPARE(kept.size(), size_t(1));
                RegisterCollection snapshot;
                QVERIFY(readRegisterFile(kept[0].path, &snapshot));
                QVERIFY(snapshot == changed);
            }
            cleanup();
        }
    }
};

QTEST_MAIN(SafeUploadTest)
#include "tst_safe_upload.moc"
