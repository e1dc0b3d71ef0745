// Every kind of device job stopped before its end, as one table over the transfer runner: cancelled
// in the middle of an exchange (the progress sheet's Cancel button, Escape, Quit), refused by the
// device, cut off by the device hanging up, or kept from starting. A row says how the job starts,
// at which step and how it is stopped, what the device received (nothing after the stop), the
// alert that follows once the sheet has gone (or none), and what the table, the device and the
// files hold afterwards. Every job lets go of the port.
#include "AppTestSupport.h"
#include "DeviceInformationDialog.h"
#include "FilePanel.h"
#include "MenuSettingsTransfers.h"
#include "SafeUploads.h"
#include "SnapshotDialog.h"
#include "UploadSnapshot.h"

#include <QApplication>
#include <QDir>
#include <QInputDialog>
#include <QLabel>
#include <QTableView>
#include <QTimer>
#include <QUndoStack>
#include <QWindow>

using namespace tavrel::link;
using namespace tavrel::sim;
using namespace apptest;

namespace {

constexpr int JobTimeout = 60000; // a guard against a hang, not a speed requirement

enum class Stop {
    // In the middle of the reply under way, which the device trickles:
    CancelButton,
    EscapeKey,
    Quit, // as SIGTERM does
    // Between registers, as the bar shows the next:
    CancelBetween,
    Refusal,          // the device answers the next request with a negative acknowledgement
    ClipNamesRefused, // the register's times are answered, its clip names refused
    HangUp,           // the device answers one more request, then goes away
    AsStarted,        // the start brought on the failure itself
};

struct StoppedJob {
    const char* name;
    std::function<void()> start;
    std::vector<int> at; // the bar's values, in turn, up to the stop; none: before the job starts
    Stop how;
    Frames sent;                 // every register frame the device received
    QString text;                // the alert's; empty: none comes up
    QString informativeText;     // "{snapshot}": when the upload's snapshot was taken
    std::function<void()> check; // what the table, the device and the files hold afterwards
    QMessageBox::Icon icon = QMessageBox::Critical;
};

// The register time request's reply for `number`, as the device would send it.
std::vector<uint8_t> registerTimeReply(const Vrg500Simulator& device, uint16_t number) {
    const std::array<uint8_t, 34> wire = device.registerWire(number);
    std::vector<uint8_t> reply(4 + wire.size());
    reply[0] = 0x20;
    reply[1] = 36;
    reply[2] = uint8_t(number >> 8);
    reply[3] = uint8_t(number & 0xff);
    std::copy(wire.begin(), wire.end(), reply.begin() + 4);
    return reply;
}

// Registers 0 to 9 for an upload, none of them as the device holds them.
RegisterCollection uploadCollection() {
    std::vector<std::pair<int32_t, RegisterEntry>> items;
    for (int32_t n = 0; n <= 9; ++n) {
        items.emplace_back(n, entryWith(20 + n, FourClips));
    }
    return collectionOf(items);
}

} // namespace

class DeviceJobsTest : public QObject, DeviceTestFixture {
    Q_OBJECT

    QTemporaryDir _files;
    RegisterCollection _deviceBefore; // registers 0 to 9 as the device held them at the start
    const RegisterCollection _tableBefore = collectionOf({{100, entryWith(3, FourClips)}});
    std::weak_ptr<TavrelSocket> _connection; // the job's, while it ran

    void onPort(const std::string& path) {
        _controller.reset(); // one controller at a time: it owns the port notifications
        useController(makeController(path));
    }

    // The device's registers 0 to 9 with 3 and 7 changed.
    RegisterCollection threeAndSevenChanged() const {
        RegisterCollection table = _deviceBefore;
        table.set(3, entryWith(33, FourClips));
        table.set(7, entryWith(37, FourClips));
        return table;
    }

    // ---- How the jobs start --------------------------------------------------------------------

    // `command` on registers 0 to 9 through the range sheet, the table holding `table`.
    std::function<void()> transfer(Command command, RegisterCollection table, bool safe = false) {
        return [=, this] {
            app().tableModel()->replaceRegisters(table);
            app().window()->action(Command::SafeUpload)->setChecked(safe);
            chooseRange(app(), app().window()->action(command), 0, 9);
        };
    }

    // An hour added to the A times of registers 0 to 9.
    std::function<void()> offset() {
        return [this] {
            app().tableModel()->replaceRegisters(
                collectionOf({{1, entryWith(3, FourClips)}, {50, entryWith(4, FourClips)}}));
            chooseOffset(app(), "A", "01:00:00:00", 0, 9)->offsetButton()->click();
        };
    }

    // Device Information on the port at `path` (the device's when empty); `then` with its dialog,
    // the device refusing what follows.
    std::function<void()> information(const QString& path = {},
                                      std::function<void(DeviceInformationDialog*)> then = {}) {
        return [=, this] {
            if (!path.isEmpty()) {
                onPort(path.toStdString());
            }
            app().window()->action(Command::DeviceInformation)->trigger();
            if (then) {
                auto* dialog = awaitDialog<DeviceInformationDialog>(app());
                _device->injectFault(Vrg500Fault::NakInstead);
                then(dialog);
            }
        };
    }

    // A menu settings transfer with Show.vgs holding `contents`, against a device of `version`
    // ("refused": answers the version and refuses the menu request; empty: no serial port).
    std::function<void()> menu(bool upload, const QString& version, const QByteArray& contents) {
        return [=, this] {
            if (version.isEmpty()) {
                onPort({});
            } else if (version == "refused") {
                _device->queueRawReply({0x11, 4, '2', '.', '1', '0'});
                _device->injectFault(Vrg500Fault::BooleanInstead);
            } else {
                _device->setVersion(version.toStdString());
            }
            _device->setMenu(patternBlock(3));
            writeBytes(_files.filePath("Show.vgs"), contents);
            upload ? app().menuSettings()->uploadFrom(_files.filePath("Show.vgs"))
                   : app().menuSettings()->downloadTo(_files.filePath("Show.vgs"));
        };
    }

    // The version command on the port at `path` (none when empty).
    std::function<void()> version(const QString& path) {
        return [=, this] {
            onPort(path.toStdString());
            app().window()->action(Command::ShowVersion)->trigger();
        };
    }

    // ---- What they leave ------------------------------------------------------------------------

    // The table holds registers 0 to `read` - 1 as read, as one undo step that brings back what
    // it held before; nothing changed when none was read.
    std::function<void()> downloaded(int read) {
        return [=, this] {
            QVERIFY(app().tableModel()->registers() ==
                    (read == 0 ? _tableBefore : deviceRegisters(*_device, 0, read - 1)));
            if (read > 0) {
                app().registerEditor()->undoStack()->undo();
                QVERIFY(app().tableModel()->registers() == _tableBefore);
            }
        };
    }

    // The device holds the table's registers before `at`, and its own after; `at` itself may be
    // partly written. The table is left alone.
    std::function<void()> uploaded(int at) {
        return [=, this] {
            const RegisterCollection sent = uploadCollection();
            QVERIFY(app().tableModel()->registers() == sent);
            const RegisterCollection after = deviceRegisters(*_device, 0, 9);
            for (int32_t n = 0; n <= 9; ++n) {
                if (n != at) {
                    QVERIFY(sameEntry(*after.find(n), *(n < at ? sent : _deviceBefore).find(n)));
                }
            }
        };
    }

    // A plain upload of a table of registers 2 to 4 where 3, and 4 after it, cannot be sent: the
    // first refused is named, and the register before it is not written either.
    std::function<void()> refused(const RegisterEntry& three) {
        return transfer(Command::UploadRegisters,
                        collectionOf({{2, entryWith(2, FourClips)},
                                      {3, three},
                                      {4, entryWith(4, {"TOO LONG!", "SHOT0002", "", ""})}}));
    }

    // `start` with a file where the snapshots' folder goes.
    std::function<void()> snapshotFolderTaken(std::function<void()> start) {
        return [=, this] {
            QDir().mkpath(QFileInfo(app().safeUploads()->snapshotFolder()).path());
            writeBytes(app().safeUploads()->snapshotFolder(), "a file where the folder goes");
            start();
        };
    }

    // Not a frame reached the device, and it holds what it held.
    std::function<void()> nothingSent() {
        return [this] {
            QVERIFY(_device->receivedFrames().empty());
            QVERIFY(deviceRegisters(*_device, 0, 9) == _deviceBefore);
        };
    }

    // The alert opens the snapshots.
    std::function<void()> restoreOffered() {
        return [this] {
            answerAlert(app(), app().alerts()->current()->text(), "Restore Snapshot…");
            awaitDialog<SnapshotDialog>(app())->reject();
        };
    }

    // The alert stands over the information dialog that stays up, else over the window.
    std::function<void()> informationAlert(bool dialogStays) {
        return [=, this] {
            auto* dialog = shownDialog<DeviceInformationDialog>(app());
            QCOMPARE(dialog != nullptr, dialogStays);
            QWidget* over = dialog ? static_cast<QWidget*>(dialog) : app().window();
            QMessageBox* alert = app().alerts()->current();
            QCOMPARE(alert->windowHandle()->transientParent(), over->windowHandle());
            QCOMPARE(QApplication::activeModalWidget(), static_cast<QWidget*>(alert));
            if (dialog) {
                QCOMPARE(dialog->currentRegisterField()->text(), "000"); // what it showed
            }
        };
    }

    // Neither the file nor the device's settings changed; the file's name is remembered.
    std::function<void()> menuLeftAlone(const QByteArray& contents) {
        return [=, this] {
            QCOMPARE(fileBytes(_files.filePath("Show.vgs")), contents);
            QCOMPARE(_device->menu(), patternBlock(3));
            QCOMPARE(QSettings().value(MenuSettingsFilenameKey).toString(), "Show.vgs");
        };
    }

    // What kept the port from opening belongs to that failure only.
    std::function<void()> causeForgotten() {
        return [this] {
            dismissAlert(app());
            app().alerts()->showGenericError({});
            QCOMPARE(app().alerts()->current()->informativeText(), GenericInformation);
        };
    }

    std::vector<StoppedJob> jobs() {
        const QString suggestion = TavrelDeviceRecoverySuggestion;
        const QString twoArrived = suggestion + "\n\n2 of 10 registers arrived before the failure; "
                                                "Edit \u25B8 Undo Download brings back the table "
                                                "as it was.";
        const Frames downloadTo2 = readFrames(0, 1) + Frames{{0x20, 2}};
        const Frames uploadTo2 = writesOf({0, 1}) + Frames{{0x40, 2}};
        const Frames safeTo7 = readFrames(0, 9) + writesOf({3}) + Frames{{0x40, 7}};
        const Frames offsetTo2{{0x42, 0}, {0x42, 1}, {0x42, 2}};
        const QString snapshot =
            "\n\nWhat they held before is kept in the snapshot of {snapshot}; Restore Snapshot… "
            "puts it back.";
        const QByteArray good = menuFileText("2.10", patternBlock(5));
        const QString gone = _files.filePath("ttyUSB9");
        const QString portGone =
            GenericInformation + "\n\nThe serial port " + gone +
            " is gone: its adapter may have been unplugged. Plug it in again and choose the port.";
        const QString oneWritten = "1 of 2 registers written: 003; 007 may be partly written.";
        const QByteArray corrupt = "2.10 \r\n 1 \r\n";
        const QByteArray blanks = menuFileText(" 2.1", patternBlock(5));
        const QString folder = _files.path();
        const auto download = transfer(Command::DownloadRegisters, _tableBefore);
        const auto upload = transfer(Command::UploadRegisters, uploadCollection());
        const auto safe = transfer(Command::UploadRegisters, threeAndSevenChanged(), true);
        const auto sameAsDevice = transfer(Command::UploadRegisters, _deviceBefore, true);
        RegisterEntry wideFrames = entryWith(3, FourClips);
        wideFrames.reg.outD = time(1, 2, 3, 40);
        const RegisterEntry shortClip = entryWith(3, {"SHOT0001", "SHORT", "SHOT0003", "SHOT0004"});
        using S = Stop;
        // clang-format off
        return {
            // name, start, at, how, sent, alert text, informative text, check, icon
            {"download, Cancel button", download, {2}, S::CancelButton, downloadTo2, "", "",
             downloaded(2)},
            {"download, Escape key", download, {2}, S::EscapeKey, downloadTo2, "", "",
             downloaded(2)},
            {"download, Quit", download, {2}, S::Quit, downloadTo2, "", "", downloaded(2)},
            {"download, refused at the start", download, {}, S::Refusal, {},
             "Unexpected response to Version request", suggestion, downloaded(0)},
            {"download, refused at register 2", download, {2}, S::Refusal, downloadTo2,
             "Unexpected response to Register Time request", twoArrived, downloaded(2)},
            {"download, clip names of register 2 refused", download, {2}, S::ClipNamesRefused,
             readFrames(0, 2), "Unexpected response to Register Clip Name request", twoArrived,
             downloaded(2)},

            {"upload, Cancel button", upload, {2}, S::CancelButton, uploadTo2, "", "", uploaded(2)},
            {"upload, Escape key", upload, {2}, S::EscapeKey, uploadTo2, "", "", uploaded(2)},
            {"upload, Quit", upload, {2}, S::Quit, uploadTo2, "", "", uploaded(2)},
            {"upload, refused at the start", upload, {}, S::Refusal, {},
             "Unexpected response to Version request", suggestion, uploaded(0)},
            {"upload, refused writing register 2", upload, {2}, S::Refusal, uploadTo2,
             "Unexpected response to Register Time Load", suggestion, uploaded(2)},
            // Kept from starting: nothing is sent, not even the version request.
            {"upload, register 003 with clip name B of 5 bytes", refused(shortClip), {},
             S::AsStarted, {}, "Register 003 cannot be uploaded",
             "Clip Name B not 8 bytes in length", nothingSent()},
            {"upload, register 003 with frames beyond the wire form", refused(wideFrames), {},
             S::AsStarted, {}, "Register 003 cannot be uploaded", "Time D OUT out of range: "
             "hours, minutes and seconds must be 0 to 99 and frames 0 to 39", nothingSent()},

            // A safe upload reads registers 0 to 9 whole, then writes 3 and 7.
            {"safe upload, Cancel button while reading", safe, {5}, S::CancelBetween,
             readFrames(0, 4), "", "", {}},
            {"safe upload, Cancel button while writing", safe, {9, 7}, S::CancelButton, safeTo7,
             "The upload was stopped", oneWritten + snapshot, restoreOffered(),
             QMessageBox::Warning},
            {"safe upload, hang-up while writing", safe, {9, 7}, S::HangUp, safeTo7,
             "Error reading data from serial device", suggestion + "\n\n" + oneWritten + snapshot,
             restoreOffered()},
            {"safe upload, nothing differs", sameAsDevice, {}, S::AsStarted, readFrames(0, 9),
             "Nothing to upload", "The VRG-500 holds registers 000 to 009 as they are already; "
             "nothing was sent.", {}, QMessageBox::Information},
            {"safe upload, the snapshot cannot be kept", snapshotFolderTaken(safe), {},
             S::AsStarted, readFrames(0, 9), "The upload did not start", "The registers it would "
             "overwrite could not be kept as a snapshot, so nothing was sent.\n\n" +
             QString::fromLocal8Bit(strerror(ENOTDIR)), {}},

            {"offset, Cancel button", offset(), {2}, S::CancelButton, offsetTo2,
             "Update the table from the device?", "Registers 000-002 were offset on the VRG-500; "
             "the table still holds their earlier times.", [this] { offsetTakenBack(); },
             QMessageBox::Question},
            {"offset, refused at register 2", offset(), {2}, S::Refusal, offsetTo2,
             "Unexpected response to Register Time Offset request", suggestion, {}},

            {"information, no connection", information(gone), {}, S::AsStarted, {},
             GenericMessage, portGone, informationAlert(false)},
            {"information, refused opening", information(), {}, S::Refusal, {},
             "Unexpected response to Version request", suggestion, informationAlert(false)},
            {"information, refused refreshing", information({}, [](auto* dialog) {
                 dialog->refreshButton()->click(); }), {}, S::AsStarted, {},
             "Unexpected response to Version request", suggestion, informationAlert(true)},
            {"information, refused setting the current register", information({}, [](auto* d) {
                 d->setCurrentRegisterButton()->click();
                 d->template findChild<QInputDialog*>()->accept(); }), {}, S::AsStarted, {},
             "Unexpected response to Set Current Register Number request", suggestion,
             informationAlert(true)},

            {"menu download, version not 4 characters", menu(false, "2.1", good), {},
             S::AsStarted, {}, "The VRG-500 version string is not 4 chars long", "",
             menuLeftAlone(good)},
            {"menu download, menu data request refused", menu(false, "refused", good), {},
             S::AsStarted, {}, "Unexpected response from Menu Data Request", suggestion,
             menuLeftAlone(good)},
            {"menu download, no serial port", menu(false, "", good), {}, S::AsStarted, {},
             GenericMessage, GenericInformation, menuLeftAlone(good)},
            {"menu upload, corrupt file", menu(true, "2.10", corrupt), {}, S::AsStarted, {},
             "Invalid .vgs file", "The .vgs file had an unrecoverable corruption error.",
             menuLeftAlone(corrupt)},
            {"menu upload, no serial port", menu(true, "", good), {}, S::AsStarted, {},
             GenericMessage, GenericInformation, menuLeftAlone(good)},
            {"menu upload, other firmware", menu(true, "2.11", good), {}, S::AsStarted, {},
             "Version Mismatch", ".vgs file version \"2.10\" does not match device version "
             "\"2.11\"", menuLeftAlone(good)},
            {"menu upload, versions differing only in blanks, shown trimmed",
             menu(true, "2.1 ", blanks), {}, S::AsStarted, {}, "Version Mismatch",
             ".vgs file version \"2.1\" does not match device version \"2.1\"",
             menuLeftAlone(blanks)},

            {"version, no serial port", version(""), {}, S::AsStarted, {}, GenericMessage,
             GenericInformation, causeForgotten()},
            {"version, port gone", version(gone), {}, S::AsStarted, {}, GenericMessage, portGone,
             causeForgotten()},
            {"version, port not opened", version(folder), {}, S::AsStarted, {}, GenericMessage,
             GenericInformation + "\n\nThe serial port " + folder + " could not be opened: " +
             QString::fromLocal8Bit(strerror(EISDIR)) + ".", causeForgotten()},
        };
        // clang-format on
    }

    // After a cancelled offset, Update Table takes registers 0 to 2 from the device as one undo
    // step; the table's other registers stay.
    void offsetTakenBack() {
        const RegisterCollection before = app().tableModel()->registers();
        answerAlert(app(), "Update the table from the device?", "Update Table");
        QTRY_VERIFY_WITH_TIMEOUT(app().tableModel()->registers().size() == 4, JobTimeout);
        QTRY_VERIFY(!app().progressSheet()->isVisible());
        QCOMPARE(app().progressSheet()->label()->text(), "Reading register 2");
        RegisterCollection expected = deviceRegisters(*_device, 0, 2);
        expected.set(50, *before.find(50));
        QVERIFY(app().tableModel()->registers() == expected);
        QUndoStack* stack = app().registerEditor()->undoStack();
        QCOMPARE(stack->undoText(), "Update Registers 000-002");
        stack->undo();
        QVERIFY(app().tableModel()->registers() == before);
    }

    // The running job's connection, to see it let go.
    void watchConnection() {
        if (app().transferRunner()->isRunning()) {
            _connection = TavrelSocket::socketForDeviceFilePath(_device->slavePath());
        }
    }

    void stop(const StoppedJob& job) {
        watchConnection();
        switch (job.how) {
        case Stop::CancelButton:
        case Stop::CancelBetween:
            app().progressSheet()->findChild<QPushButton*>("progressCancelButton")->click();
            break;
        case Stop::EscapeKey:
            QTest::keyClick(app().progressSheet(), Qt::Key_Escape);
            QVERIFY(app().progressSheet()->isVisible()); // up until the job has ended
            break;
        case Stop::Quit:
            app().quit();
            break;
        case Stop::Refusal:
            _device->injectFault(Vrg500Fault::NakInstead);
            break;
        case Stop::ClipNamesRefused:
            _device->queueRawReply(registerTimeReply(*_device, uint16_t(job.at.back())));
            _device->injectFault(Vrg500Fault::BooleanInstead);
            break;
        case Stop::HangUp:
            _device->hangUpAfterFrames(1);
            break;
        case Stop::AsStarted:
            break;
        }
    }

  private slots:
    void initTestCase() { useTemporarySettings(_settings); }

    void init() {
        startDevice(true);
        QFile::remove(app().safeUploads()->snapshotFolder()); // a file put there by a row before
        QDir(app().safeUploads()->snapshotFolder()).removeRecursively();
        _deviceBefore = deviceRegisters(*_device, 0, 9);
        _connection.reset();
    }

    void cleanup() { stopDevice(); }

    void stoppedJobs_data() {
        QTest::addColumn<int>("row");
        const std::vector<StoppedJob> table = jobs();
        for (size_t row = 0; row < table.size(); ++row) {
            QTest::newRow(table[row].name) << int(row);
        }
    }
    void stoppedJobs() {
        QFETCH(int, row);
        const StoppedJob job = jobs().at(size_t(row));
        if (job.at.empty()) {
            stop(job);
        } else {
            atProgress(app(), job.at, [this, &job] {
                if (job.how > Stop::Quit) {
                    stop(job);
                    return;
                }
                // In the middle of the reply the device trickles: the exchange ends there.
                _device->injectFault(Vrg500Fault::TrickledReply);
                QTimer::singleShot(0, this, [this, &job] {
                    QVERIFY(QTest::qWaitFor(
                        [&] { return registerFrames(*_device).size() == job.sent.size(); }));
                    stop(job);
                });
            });
        }
        job.start();
        watchConnection();

        if (job.text.isEmpty()) {
            QTRY_COMPARE_WITH_TIMEOUT(_ended, 1, JobTimeout);
            QTRY_VERIFY(!app().transferRunner()->isRunning());
            QVERIFY(app().alerts()->current() == nullptr);
        } else {
            QTRY_VERIFY_WITH_TIMEOUT(app().alerts()->current() != nullptr, JobTimeout);
            QMessageBox* alert = app().alerts()->current();
            QCOMPARE(alert->text(), job.text);
            const std::vector<SnapshotInfo> kept =
                listUploadSnapshots(localFilePath(app().safeUploads()->snapshotFolder()));
            QCOMPARE(alert->informativeText(),
                     QString(job.informativeText)
                         .replace("{snapshot}", kept.empty() ? "" : kept[0].when.c_str()));
            QCOMPARE(alert->icon(), job.icon);
            QCOMPARE(alert->windowModality(), Qt::WindowModal);
            QVERIFY(!_alertBeforeEnd);
            QCOMPARE(_ended, job.sent.empty() ? 0 : 1); // the sheet came up for a job under way
        }
        QVERIFY(!app().progressSheet()->isVisible());
        QVERIFY(app().window()->table()->updatesEnabled()); // redraws held back are let through
        QCOMPARE(registerFrames(*_device), job.sent);       // nothing after the stop
        QTRY_VERIFY(_connection.expired());                 // the job let go of the port
        if (job.check) {
            job.check();
        }
    }
};

QTEST_MAIN(DeviceJobsTest)
#include "tst_device_jobs.moc"
