// The commands that go through files: the menu settings transfers between the simulated device
// and vgs files, and New, Open, Open Recent, Close and Save of vg2 register files, and files
// dropped on the window, and Import and Export of edit decision lists and CSV. What the panels
// propose, what is remembered, and what a failed Open or Save says and leaves behind (a failed
// menu settings transfer: tst_device_jobs).
#include "AppTestSupport.h"
#include "FilePanel.h"
#include "MainWindow.h"
#include "MenuSettingsTransfers.h"
#include "RecentFiles.h"
#include "RegisterFile.h"
#include "RegisterFiles.h"
#include "RegisterInterchange.h"
#include "RegisterTableModel.h"
#include "RegisterTimeWire.h"

#include <QDir>
#include <QDropEvent>
#include <QInputDialog>
#include <QMenu>
#include <QMimeData>
#include <QUndoStack>
#include <QUrl>

using namespace tavrel::sim;
using namespace apptest;

namespace {

QString rememberedMenuFile() {
    return QSettings().value(MenuSettingsFilenameKey).toString();
}

RegisterCollection sampleCollection() {
    return collectionOf({{5, entryWith(5, FourClips)},
                         {42, entryWith(42, {"AAAAAAAA", "BBBBBBBB", "CCCCCCCC", "DDDDDDDD"})},
                         {1234, entryWith(12, FourClips)}});
}

QByteArray registerFileText(const RegisterCollection& registers) {
    std::string text;
    formatRegisterFile(registers, &text);
    return QByteArray::fromStdString(text);
}

} // namespace

Q_DECLARE_METATYPE(tavrel::app::Command)

class FileCommandsTest : public QObject, DeviceTestFixture {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> _files;
    const RegisterCollection _before = collectionOf({{5, entryWith(1, FourClips)}});

    QString path(const QString& name) const { return _files->filePath(name); }

    // Opens the register file `name` and waits until the window shows it.
    void openNamed(const QString& name) {
        _controller->registerFiles()->openFile(path(name));
        QTRY_VERIFY(_controller->window()->windowTitle().startsWith(name + "["));
    }

    QStringList recentTitles() const {
        QStringList titles;
        for (QAction* item : _controller->window()->recentMenu()->actions()) {
            titles << (item->isSeparator() ? "-" : item->text());
        }
        return titles;
    }

    // Accepts the open panel with `name`, as a person would; null if no panel is open.
    void choose(const QString& name) {
        QFileDialog* panel = filePanel(*_controller);
        QVERIFY(panel != nullptr);
        panel->selectFile(path(name));
        static_cast<QDialog*>(panel)->accept();
    }

    QAction* recentAction(const QString& text) const {
        for (QAction* item : _controller->window()->recentMenu()->actions()) {
            if (item->text() == text) {
                return item;
            }
        }
        return nullptr;
    }

    // The folder and the name that the next save panel proposes; the panel is cancelled.
    QString proposal(void (AppController::*command)() = &AppController::saveVg2FileAs) {
        const auto noPanel = [this] { return filePanel(*_controller) == nullptr; };
        (void)QTest::qWaitFor(noPanel); // a panel just closed deletes itself later
        (_controller.get()->*command)();
        QFileDialog* panel = filePanel(*_controller);
        if (panel == nullptr) {
            return "no panel";
        }
        const QString name = proposedName(panel);
        const QString folder = panel->directory().absolutePath();
        panel->reject();
        (void)QTest::qWaitFor(noPanel);
        return name.isEmpty() ? name : QDir(folder).filePath(name);
    }

  private slots:
    void initTestCase() { useTemporarySettings(_settings); }

    void init() {
        _files = std::make_unique<QTemporaryDir>();
        startDevice();
        _device->setMenu(patternBlock(3));
        _controller->tableModel()->replaceRegisters(_before);
    }

    void cleanup() {
        stopDevice();
        _files.reset();
    }

    // ---- Menu settings -----------------------------------------------------------------------

    void menuDownloadThroughTheSavePanel() {
        QCOMPARE(QFileInfo(proposal(&AppController::downloadMenuSettings)).fileName(),
                 "Menu Settings.vgs");
        QCOMPARE(_device->receivedFrames().size(), size_t(0)); // a cancelled panel does nothing
        _controller->downloadMenuSettings();
        QCOMPARE(filePanel(*_controller)->windowTitle(), "Save Menu Settings");
        QCOMPARE(filePanel(*_controller)->acceptMode(), QFileDialog::AcceptSave);
        choose("Rack v2.1");                            // the extension is added after "1"
        QVERIFY(!QFile::exists(path("Rack v2.1.vgs"))); // the work is deferred past the panel
        expectAlert(*_controller, "Download VRG-500 Menu Settings", "Download complete.", false);
        QCOMPARE(fileBytes(path("Rack v2.1.vgs")), menuFileText("2.10", patternBlock(3)));
        QCOMPARE(rememberedMenuFile(), "Rack v2.1.vgs");
        dismissAlert(*_controller);
        // The name without its folder, in the folder last used.
        QCOMPARE(proposal(&AppController::downloadMenuSettings), path("Rack v2.1.vgs"));
    }

    void menuUploadThroughTheOpenPanel() {
        QVERIFY(QDir().mkpath(path("elsewhere")));
        writeBytes(path("elsewhere/Show.vgs"), menuFileText("2.10", patternBlock(77)));
        QSettings().setValue(MenuSettingsFilenameKey, "Remembered.vgs");
        QCOMPARE(proposal(&AppController::uploadMenuSettings), ""); // not offered here
        _controller->uploadMenuSettings();
        QCOMPARE(filePanel(*_controller)->windowTitle(), "Open Menu Settings");
        QCOMPARE(filePanel(*_controller)->acceptMode(), QFileDialog::AcceptOpen);
        choose("elsewhere/Show.vgs");
        expectAlert(*_controller, "Upload VRG-500 Menu Settings", "Upload complete.", false);
        QCOMPARE(_device->menu(), patternBlock(77));
        dismissAlert(*_controller);
        QCOMPARE(proposal(&AppController::downloadMenuSettings), path("elsewhere/Show.vgs"));
    }

    // ---- Import and Export -------------------------------------------------------------------

    // CSV out and back gives the same registers; an import over registers the table holds asks
    // first, is one undo step, and leaves the table of its own file.
    void csvOutAndBackAsOneStep() {
        writeBytes(path("Show.vg2"), registerFileText(_before));
        openNamed("Show.vg2");
        app().registerEditor()->store({{42, entryWith(42, FourClips)}}, "Insert");
        app().window()->action(Command::ExportCsv)->trigger();
        QCOMPARE(filePanel(app())->windowTitle(), "Export CSV");
        QCOMPARE(proposedName(filePanel(app())), "Show.csv");
        choose("Table");
        QTRY_VERIFY(QFile::exists(path("Table.csv")));
        const RegisterCollection exported = app().tableModel()->registers();
        app().registerEditor()->store({{5, entryWith(9, FourClips)}}, "Edit");
        const RegisterCollection edited = app().tableModel()->registers();
        app().interchange()->importFrom(RegisterInterchange::Format::Csv, path("Table.csv"));
        answerAlert(app(), "Replace 2 registers?", "Cancel");
        QVERIFY(app().tableModel()->registers() == edited);
        app().interchange()->importFrom(RegisterInterchange::Format::Csv, path("Table.csv"));
        answerAlert(app(), "Replace 2 registers?", "Replace");
        QVERIFY(app().tableModel()->registers() == exported);
        QCOMPARE(app().registerEditor()->undoStack()->undoText(), "Import Table.csv");
        QCOMPARE(app().window()->windowTitle(), "Show.vg2[*] \u2014 Tavrel");
        app().registerEditor()->undoStack()->undo();
        QVERIFY(app().tableModel()->registers() == edited);
    }

    // An edit decision list at a rate asked for (the preference is wire limits only): an event
    // that cannot be exported is listed first and left out when the user agrees, and the list
    // read back gives the registers and their A machines.
    void editDecisionListOutAndBack() {
        RegisterEntry backwards = entryWith(20, FourClips);
        std::swap(backwards.reg.inA, backwards.reg.outA);
        RegisterCollection table = sampleCollection();
        table.set(7, backwards);
        app().tableModel()->replaceRegisters(table);
        app().window()->action(Command::ExportEditDecisionList)->trigger();
        auto* rate = awaitDialog<QInputDialog>(app());
        QVERIFY(rate != nullptr);
        rate->setTextValue("30 frames per second");
        rate->accept();
        answerAlert(app(), "1 event cannot be exported at 30 frames per second", "Export the Rest");
        QCOMPARE(filePanel(app())->windowTitle(), "Export Edit Decision List");
        choose("List");
        QTRY_VERIFY(QFile::exists(path("List.edl")));
        QVERIFY(fileBytes(path("List.edl")).startsWith("TITLE: Untitled\r\n"));
        app().tableModel()->replaceRegisters({});
        app().interchange()->importFrom(RegisterInterchange::Format::EditDecisionList,
                                        path("List.edl"));
        const RegisterCollection& back = app().tableModel()->registers();
        QCOMPARE(back.size(), size_t(4));
        QVERIFY(back.find(7)->reg.inA.isNull != 0); // its number comes back, without the event
        for (const auto& [number, entry] : sampleCollection()) {
            QVERIFY(back.find(number) != nullptr);
            QVERIFY(tavrel::records::vrg500wire::sameWireTime(back.find(number)->reg.inA,
                                                              entry.reg.inA));
            QVERIFY(tavrel::records::vrg500wire::sameWireTime(back.find(number)->reg.outA,
                                                              entry.reg.outA));
            QCOMPARE(back.find(number)->clips[0], entry.clips[0]);
        }
    }

    // The events of an editing system's list become registers from the number chosen; a
    // malformed file is refused whole, naming the line, and the table stays as it was.
    void editDecisionListFromAnEditingSystem() {
        writeBytes(path("Cut.edl"), "TITLE: CUT\r\nFCM: NON-DROP FRAME\r\n\r\n"
                                    "001  REEL1    V     C        01:00:00:00 01:00:05:00 "
                                    "00:00:00:00 00:00:05:00\r\n"
                                    "002  REEL2    V     C        02:00:00:00 02:00:01:00 "
                                    "00:00:05:00 00:00:06:00\r\n");
        writeBytes(path("Bad.edl"), "TITLE: BAD\r\n001  REEL1    V     C        01:00\r\n");
        app().window()->action(Command::ImportEditDecisionList)->trigger();
        choose("Bad.edl");
        auto* first = awaitDialog<QInputDialog>(app());
        QVERIFY(first != nullptr);
        first->accept();
        QVERIFY(QTest::qWaitFor([&] { return app().alerts()->current() != nullptr; }));
        QCOMPARE(app().alerts()->current()->text(), "Error processing .edl file");
        QVERIFY(app().alerts()->current()->informativeText().contains("Line 2"));
        dismissAlert(app());
        QVERIFY(app().tableModel()->registers() == _before);
        QVERIFY(QTest::qWaitFor([this] { return filePanel(app()) == nullptr; }));
        app().window()->action(Command::ImportEditDecisionList)->trigger();
        choose("Cut.edl");
        first = awaitDialog<QInputDialog>(app());
        QVERIFY(first != nullptr);
        first->setIntValue(100);
        first->accept();
        QTRY_COMPARE(app().tableModel()->rowCount(), 3);
        QCOMPARE(app().tableModel()->registers().find(101)->clips[0], "REEL2   ");
        QVERIFY(tavrel::records::vrg500wire::sameWireTime(
            app().tableModel()->registers().find(100)->reg.outA, time(1, 0, 5, 0)));
    }

    // ---- New, Close, Open Recent, files dropped ----------------------------------------------

    // New and Close ask about unsaved changes first, then leave an empty untitled table, saved:
    // one step, which Undo takes back with the file the table was of.
    void newAndCloseEmptyTheTable_data() {
        QTest::addColumn<Command>("command");
        QTest::newRow("New") << Command::New;
        QTest::newRow("Close") << Command::Close;
    }
    void newAndCloseEmptyTheTable() {
        QFETCH(Command, command);
        writeBytes(path("Show.vg2"), registerFileText(sampleCollection()));
        openNamed("Show.vg2");
        app().registerEditor()->store({{7, entryWith(7, FourClips)}}, "Insert");
        QAction* action = app().window()->action(command);
        action->trigger();
        answerAlert(app(), "Save changes to the registers?", "Cancel");
        QCOMPARE(app().tableModel()->rowCount(), 4);
        action->trigger();
        answerAlert(app(), "Save changes to the registers?", "Don't Save");
        QCOMPARE(app().tableModel()->rowCount(), 0);
        QCOMPARE(app().window()->windowTitle(), "Untitled[*] \u2014 Tavrel");
        QVERIFY(!app().document()->isModified());
        QCOMPARE(app().window()->action(Command::Save)->isEnabled(), false);
        action->trigger(); // an empty untitled table already: no question, no step
        QVERIFY(app().alerts()->current() == nullptr);
        app().registerEditor()->undoStack()->undo();
        QCOMPARE(app().tableModel()->rowCount(), 4);
        QCOMPARE(app().window()->windowTitle(), "Show.vg2[*] \u2014 Tavrel");
        QCOMPARE(fileBytes(path("Show.vg2")), registerFileText(sampleCollection()));
    }

    // Open Recent: the files last opened or saved, most recent first, each once, at most ten,
    // kept for the next start; a file gone from its place leaves the list, with an alert; Clear
    // Menu empties it.
    void openRecent() {
        QCOMPARE(recentTitles(), QStringList({"-", "Clear Menu"}));
        for (int i = 0; i < 12; ++i) {
            writeBytes(path(QString("R%1.vg2").arg(i)),
                       registerFileText(collectionOf({{i, entryWith(i, FourClips)}})));
            openNamed(QString("R%1.vg2").arg(i));
        }
        openNamed("R5.vg2");
        _controller->registerFiles()->saveTo(path("Saved.vg2"));
        const QStringList expected{"Saved.vg2", "R5.vg2", "R11.vg2", "R10.vg2", "R9.vg2",
                                   "R8.vg2",    "R7.vg2", "R6.vg2",  "R4.vg2",  "R3.vg2"};
        QCOMPARE(recentTitles(), expected + QStringList({"-", "Clear Menu"}));
        useController(makeController(_device->slavePath())); // the next start lists them too
        QCOMPARE(recentTitles(), expected + QStringList({"-", "Clear Menu"}));
        QVERIFY(QFile::remove(path("R9.vg2")));
        app().window()->recentMenu()->actions().at(4)->trigger();
        expectAlert(app(), "\"R9.vg2\" can no longer be found.",
                    "It may have been moved, renamed or deleted. It has been removed from "
                    "Open Recent.");
        dismissAlert(app());
        QCOMPARE(recentTitles().size(), 11);
        QVERIFY(!recentTitles().contains("R9.vg2"));
        QCOMPARE(app().tableModel()->rowCount(), 0);
        app().window()->recentMenu()->actions().at(1)->trigger();
        QTRY_VERIFY(app().tableModel()->registers() ==
                    collectionOf({{5, entryWith(5, FourClips)}}));
        QCOMPARE(recentTitles().mid(0, 2), QStringList({"R5.vg2", "Saved.vg2"}));
        recentAction("Clear Menu")->trigger();
        QCOMPARE(recentTitles(), QStringList({"-", "Clear Menu"}));
        QVERIFY(!recentAction("Clear Menu")->isEnabled());
        QCOMPARE(QSettings().value(RecentFilesKey).toStringList(), QStringList());
    }

    // A register file dropped on the window opens as Open does; a menu settings file is only
    // explained, nothing sent; anything else, or several files, is refused before the drop.
    void droppedFiles_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("alert"); // empty: none
        QTest::newRow("register file") << QStringList{"Show.vg2"} << true << "";
        QTest::newRow("capitals") << QStringList{"SHOW.VG2"} << true << "";
        QTest::newRow("menu settings")
            << QStringList{"Rack.vgs"} << true
            << "Rack.vgs holds a VRG-500's menu settings. To send them to the device, choose its "
               "port, then Upload Menu Settings... in the Device menu.";
        QTest::newRow("other file") << QStringList{"notes.txt"} << false << "";
        QTest::newRow("no suffix") << QStringList{"vg2"} << false << "";
        QTest::newRow("two register files") << QStringList{"Show.vg2", "B.vg2"} << false << "";
    }
    void droppedFiles() {
        QFETCH(QStringList, names);
        QFETCH(bool, accepted);
        QFETCH(QString, alert);
        QList<QUrl> urls;
        for (const QString& name : names) {
            writeBytes(path(name), name.endsWith("vgs") ? menuFileText("2.10", patternBlock(9))
                                                        : registerFileText(sampleCollection()));
            urls << QUrl::fromLocalFile(path(name));
        }
        QMimeData data;
        data.setUrls(urls);
        app().registerEditor()->store({{7, entryWith(7, FourClips)}}, "Insert");
        QWidget* window = app().window();
        QDragEnterEvent enter({10, 10}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window, &enter);
        QCOMPARE(enter.isAccepted(), accepted);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window, &drop);
        QCOMPARE(drop.isAccepted(), accepted);
        if (accepted && alert.isEmpty()) {
            answerAlert(app(), "Save changes to the registers?", "Don't Save");
            QTRY_VERIFY(app().tableModel()->registers() == sampleCollection());
        } else if (accepted) {
            expectAlert(app(), alert, "", false);
            dismissAlert(app());
        }
        QCOMPARE(app().tableModel()->rowCount(), accepted && alert.isEmpty() ? 3 : 2);
        QCOMPARE(_device->receivedFrames().size(), size_t(0));
    }

    // ---- Register files ----------------------------------------------------------------------

    void openReplacesTheCollectionAfterThePanel() {
        writeBytes(path("Show.vg2"), registerFileText(sampleCollection()));
        _controller->openVg2File();
        QCOMPARE(filePanel(*_controller)->windowTitle(), "Open Register File");
        QCOMPARE(filePanel(*_controller)->fileMode(), QFileDialog::ExistingFile);
        choose("Show.vg2");
        QVERIFY(app().tableModel()->registers() == _before); // deferred past the panel
        QTRY_VERIFY(app().tableModel()->registers() == sampleCollection());
        QCOMPARE(_controller->tableModel()->rowCount(), 3);
        QCOMPARE(_controller->tableModel()->cellText(2, "Register"), "1234");
        QVERIFY(_controller->alerts()->current() == nullptr);
        QCOMPARE(proposal(), path("Show.vg2")); // Save As: in the file's folder, with its name
        QCOMPARE(_controller->window()->windowTitle(), "Show.vg2[*] \u2014 Tavrel");
        // Save writes the file it came from, at once.
        _controller->tableModel()->storeRegister(7, entryWith(7, FourClips));
        _controller->saveVg2File();
        QVERIFY(filePanel(*_controller) == nullptr);
        RegisterCollection saved = sampleCollection();
        saved.set(7, entryWith(7, FourClips));
        QCOMPARE(fileBytes(path("Show.vg2")), registerFileText(saved));
        QVERIFY(!_controller->window()->isWindowModified());
    }

    // Undoing an Open gives the table back to the file it was of: the title, Save and Save As
    // follow the table; redoing it makes it the opened file's again.
    void theFileFollowsTheTableThroughUndo() {
        writeBytes(path("A.vg2"), registerFileText(_before));
        writeBytes(path("B.vg2"), registerFileText(sampleCollection()));
        for (const char* name : {"A.vg2", "B.vg2"}) {
            _controller->registerFiles()->openFile(path(name));
            QTRY_COMPARE(_controller->window()->windowTitle(),
                         QString("%1[*] \u2014 Tavrel").arg(name));
        }
        QUndoStack* stack = _controller->registerEditor()->undoStack();
        stack->undo();
        QVERIFY(app().tableModel()->registers() == _before);
        QCOMPARE(_controller->window()->windowTitle(), "A.vg2[*] \u2014 Tavrel");
        QCOMPARE(proposal(), path("A.vg2"));
        _controller->saveVg2File();
        QCOMPARE(fileBytes(path("A.vg2")), registerFileText(_before));
        QCOMPARE(fileBytes(path("B.vg2")), registerFileText(sampleCollection()));
        stack->redo();
        QCOMPARE(_controller->window()->windowTitle(), "B.vg2[*] \u2014 Tavrel");
        stack->undo();
        stack->undo();
        QCOMPARE(_controller->window()->windowTitle(), "Untitled[*] \u2014 Tavrel");
        QCOMPARE(proposal(&AppController::saveVg2File), ""); // untitled: Save asks
    }

    // A failed load changes nothing: neither the table nor the file it is of.
    void unreadableOrMalformedRegisterFiles_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("contents"); // empty: no file
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("informativeText");
        QTest::newRow("missing") << "missing.vg2" << QByteArray()
                                 << "The file \"missing.vg2\" couldn't be opened."
                                 << "No such file or directory";
        // Where the fault lies follows, as a paragraph of its own.
        QTest::newRow("malformed last line")
            << "bad.vg2" << registerFileText(sampleCollection()) + "007,01:00:00:00\r\n"
            << "Error processing .vg2 file"
            << "The file bad.vg2 is malformed and could not be processed.\n\n"
               "Line 4 has only 2 fields; a register's line has 15.";
        QTest::newRow("a name beyond ASCII")
            << "r\u00e9gie.vg2" << QByteArray("x") << "Error processing .vg2 file"
            << "The file r\u00e9gie.vg2 is malformed and could not be processed.\n\n"
               "Line 1, field 1 (register number): \"x\" is not a whole number.";
        // A byte of the file that is not UTF-8 is its own character, and spoils no other text.
        QTest::newRow("a byte beyond ASCII in the file")
            << "r\u00e9gie.vg2" << QByteArray("\xe9") << "Error processing .vg2 file"
            << "The file r\u00e9gie.vg2 is malformed and could not be processed.\n\n"
               "Line 1, field 1 (register number): \"\u00e9\" is not a whole number.";
    }
    void unreadableOrMalformedRegisterFiles() {
        QFETCH(QString, name);
        QFETCH(QByteArray, contents);
        QFETCH(QString, text);
        QFETCH(QString, informativeText);
        if (!contents.isEmpty()) {
            writeBytes(path(name), contents);
        }
        writeBytes(path("Show.vg2"), registerFileText(_before));
        _controller->registerFiles()->openFile(path("Show.vg2"));
        QTRY_VERIFY(_controller->window()->windowTitle().startsWith("Show.vg2"));
        _controller->registerFiles()->openFile(path(name));
        expectAlert(*_controller, text, informativeText);
        QVERIFY(app().tableModel()->registers() == _before);
        QCOMPARE(_controller->tableModel()->rowCount(), 1);
        dismissAlert(*_controller);
        QCOMPARE(proposal(), path("Show.vg2"));
        QVERIFY(_controller->window()->windowTitle().startsWith("Show.vg2"));
    }

    void saveWritesTheCollectionAtOnce() {
        _controller->tableModel()->replaceRegisters(sampleCollection());
        _controller->window()->setWindowModified(true);
        QCOMPARE(proposal(&AppController::saveVg2File), ""); // nothing opened or saved yet
        _controller->saveVg2File();
        QCOMPARE(filePanel(*_controller)->windowTitle(), "Save Register File");
        QCOMPARE(filePanel(*_controller)->acceptMode(), QFileDialog::AcceptSave);
        choose("Concert v1.2"); // the extension is added after "2"
        QCOMPARE(fileBytes(path("Concert v1.2.vg2")), registerFileText(sampleCollection()));
        QVERIFY(!_controller->window()->isWindowModified());
        QVERIFY(_controller->alerts()->current() == nullptr);
        QCOMPARE(proposal(), path("Concert v1.2.vg2"));
        QCOMPARE(app().window()->action(Command::Save)->text(), "Save"); // it asks for nothing now
        // Every panel starts in the last folder used while it concerns no file of its own.
        QCOMPARE(proposal(&AppController::downloadMenuSettings).section('/', 0, -2),
                 QDir(_files->path()).absolutePath());
    }

    // The panel asks before replacing the name it was given; the name with the extension added
    // is asked about too, and Cancel leaves that file as it was.
    void replacingAFileOnlyTheExtensionNamesIsConfirmed_data() {
        QTest::addColumn<bool>("replace");
        QTest::newRow("Replace") << true;
        QTest::newRow("Cancel") << false;
    }
    void replacingAFileOnlyTheExtensionNamesIsConfirmed() {
        QFETCH(bool, replace);
        writeBytes(path("Concert v1.2.vg2"), "kept");
        _controller->tableModel()->replaceRegisters(sampleCollection());
        _controller->saveVg2File();
        choose("Concert v1.2");
        QMessageBox* question = nullptr;
        QVERIFY(QTest::qWaitFor([&] {
            return (question = _controller->window()->findChild<QMessageBox*>()) != nullptr;
        }));
        QCOMPARE(question->text(), "\"Concert v1.2.vg2\" already exists.");
        QCOMPARE(question->informativeText(), "Do you want to replace it?");
        QCOMPARE(fileBytes(path("Concert v1.2.vg2")), QByteArray("kept")); // not before the answer
        QAbstractButton* answer =
            replace ? question->buttons().value(0) : question->defaultButton();
        QCOMPARE(answer->text(), replace ? "Replace" : "Cancel");
        answer->click();
        QCOMPARE(fileBytes(path("Concert v1.2.vg2")),
                 replace ? registerFileText(sampleCollection()) : QByteArray("kept"));
    }

    // A saved name always ends in the file type, so the Open panel's filter shows the file.
    void savedNamesEndInTheFileType() {
        const char* const cases[][3] = {
            // name, file type, name saved
            {"Concert v1.2", "vg2", "Concert v1.2.vg2"}, // a dot in the name
            {"/tmp/Rack", "vgs", "/tmp/Rack.vgs"},
            {"a.vg2", "vg2", "a.vg2"},
            {"a.VG2", "vg2", "a.VG2"},
            {"a.vgs", "vg2", "a.vgs.vg2"}, // the other file type
            {"avg2", "vg2", "avg2.vg2"},   // the extension without its dot
        };
        for (const auto& [name, suffix, saved] : cases) {
            QCOMPARE(withFileExtension(name, suffix), QString(saved));
        }
    }

    // A failed save leaves the old file and the window's modified mark.
    void failedSavesKeepTheOldFileAndTheMark_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("unsavableTime");
        QTest::addColumn<QString>("text");
        QTest::newRow("folder missing")
            << "gone/Saved.vg2" << false << "The file \"Saved.vg2\" couldn't be saved.";
        QTest::newRow("a time the file cannot hold") << "Saved.vg2" << true << QString();
    }
    void failedSavesKeepTheOldFileAndTheMark() {
        QFETCH(QString, name);
        QFETCH(bool, unsavableTime);
        QFETCH(QString, text);
        if (unsavableTime) {
            RegisterEntry wide = entryWith(7, FourClips);
            wide.reg.outA.minutes = 160;
            _controller->tableModel()->storeRegister(7, wide);
        }
        writeBytes(path("Saved.vg2"), "old contents");
        _controller->window()->setWindowModified(true);
        _controller->registerFiles()->saveTo(path(name));
        QMessageBox* alert = _controller->alerts()->current();
        QVERIFY(alert != nullptr);
        QCOMPARE(alert->icon(), QMessageBox::Critical);
        if (!text.isEmpty()) {
            QCOMPARE(alert->text(), text);
            QCOMPARE(alert->informativeText(), "No such file or directory");
        }
        QCOMPARE(fileBytes(path("Saved.vg2")), QByteArray("old contents"));
        QVERIFY(_controller->window()->isWindowModified());
    }
};

QTEST_MAIN(FileCommandsTest)
#include "tst_file_commands.moc"
