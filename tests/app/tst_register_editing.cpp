// Editing registers in the table through the real editors and commands: every kind of change
// with undo and redo, values the fields refuse, the clipboard, and the save prompt before
// changes can be lost.
#include "AppTestSupport.h"
#include "EditCommands.h"
#include "FilePanel.h"
#include "RegisterClipboardText.h"
#include "RegisterFile.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QUndoStack>

#include <functional>

using namespace apptest;
using namespace tavrel::sim;

namespace {

constexpr int TransferTimeout = 20000;

RegisterEntry sample(int seconds, const char* clipA) {
    return entryWith(seconds, {clipA, "********", "take 4  ", "********"});
}

// The registers every case starts from.
RegisterCollection baseRegisters() {
    return collectionOf({{5, sample(1, "SHOT0005")}, {9, sample(2, "SHOT0009")}});
}

template <typename Change> RegisterCollection changed(Change change) {
    RegisterCollection registers = baseRegisters();
    change(registers);
    return registers;
}

// The registers every case starts from, with register `number`'s fields changed.
RegisterCollection edited(int32_t number, const std::function<void(RegisterEntry&)>& change) {
    return changed([&](RegisterCollection& r) {
        RegisterEntry entry = *r.find(number);
        change(entry);
        r.set(number, entry);
    });
}

} // namespace

class RegisterEditingTest : public QObject {
    Q_OBJECT

    QTemporaryDir _settings;
    QTemporaryDir _files;
    std::unique_ptr<AppController> _controller;

    AppController& app() const { return *_controller; }
    RegisterTableView* table() const { return app().window()->table(); }
    const RegisterCollection& registers() const { return app().tableModel()->registers(); }
    QUndoStack* stack() const { return _controller->registerEditor()->undoStack(); }

    void startWith(const RegisterCollection& registers, const std::string& port = {}) {
        _controller = makeController(port);
        _controller->tableModel()->replaceRegisters(registers);
        QApplication::setActiveWindow(_controller->window());
        table()->setFocus();
    }

    QModelIndex cell(int32_t number, int column) const {
        return _controller->tableModel()->index(_controller->tableModel()->rowOfRegister(number),
                                                column);
    }

    // The open field editor, if any.
    QLineEdit* editor() const { return qobject_cast<QLineEdit*>(QApplication::focusWidget()); }

    // Opens the field's editor with F2, types `text` over its content and presses `key`.
    void typeInto(int32_t number, int column, int line, const QString& text,
                  Qt::Key key = Qt::Key_Return) {
        table()->setCurrentField(cell(number, column), line);
        QTest::keyClick(table(), Qt::Key_F2);
        QVERIFY(editor() != nullptr);
        editor()->selectAll();
        if (text.isEmpty()) {
            QTest::keyClick(editor(), Qt::Key_Delete);
        } else if (text.toLatin1() == text.toUtf8()) {
            QTest::keyClicks(editor(), text);
        } else {
            editor()->insert(text); // beyond what key clicks can type
        }
        QTest::keyClick(editor(), key);
    }

    // Selects registers `numbers`; the table, to type into.
    RegisterTableView* select(std::initializer_list<int32_t> numbers) {
        _controller->editCommands()->selectRegisters(std::vector<int32_t>(numbers));
        return table();
    }

    // The centre of `line` of the cell of register `number` in `column`, in the viewport.
    QPoint pointOf(int32_t number, int column, int line = RegisterTableModel::InLine) const {
        return RegisterCellDelegate::lineRect(table()->visualRect(cell(number, column)),
                                              table()->fontMetrics(), line)
            .center();
    }

    // Right-clicks the table at `at`, as the pointer does, and picks `choice` from the context
    // menu if given (else leaves it); the titles of the menu's enabled commands.
    QStringList rightClick(const QPoint& at, const QString& choice = {}) {
        QStringList enabled;
        bool done = false;
        QTest::mousePress(table()->viewport(), Qt::RightButton, {}, at);
        // The menu runs its own loop: a timer there reads the menu and ends it, or gives up.
        QTimer reader;
        int tries = 0;
        connect(&reader, &QTimer::timeout, this, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (menu == nullptr && ++tries < 200) {
                return;
            }
            reader.stop();
            done = true;
            QAction* chosen = nullptr;
            for (QAction* action : menu != nullptr ? menu->actions() : QList<QAction*>()) {
                if (action->isEnabled() && !action->isSeparator()) {
                    enabled << action->text();
                    chosen = action->text() == choice ? action : chosen;
                }
            }
            if (menu != nullptr) {
                menu->close();
            }
            if (chosen != nullptr) {
                chosen->trigger();
            }
        });
        reader.start(10);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, table()->viewport()->mapToGlobal(at));
        QApplication::sendEvent(table()->viewport(), &event);
        QTest::mouseRelease(table()->viewport(), Qt::RightButton, {}, at);
        [&] { QVERIFY(QTest::qWaitFor([&] { return done; })); }();
        return enabled;
    }

    // Triggers `command` and answers the register number dialog it opens.
    void answerNumber(QAction* command, int number) {
        command->trigger();
        if (QInputDialog* dialog = awaitDialog<QInputDialog>(*_controller)) {
            dialog->setIntValue(number);
            dialog->accept();
        }
    }

  private slots:
    void initTestCase() { useTemporarySettings(_settings); }
    void init() { clearSettings(); }
    void cleanup() { _controller.reset(); }

    // Each kind of change: what it does, what Undo names it, and that Undo and Redo take the
    // table back and forth exactly.
    void everyChangeIsUndoneAndRedone() {
        struct Case {
            const char* name;
            std::function<void()> act;
            RegisterCollection expected;
            QString undoText;
        };
        using M = RegisterTableModel;
        const std::vector<Case> cases{
            {"time", [&] { typeInto(5, M::AColumn, M::InLine, "02:03:04:05"); },
             edited(5, [](auto& e) { e.reg.inA = time(2, 3, 4, 5); }), "Undo Edit A IN of 005"},
            {"drop frame", [&] { typeInto(9, M::DColumn, M::OutLine, "10:00:00;12"); },
             edited(9, [](auto& e) { e.reg.outD = {10, 0, 0, 12, 1, 0}; }),
             "Undo Edit D OUT of 009"},
            {"null time", [&] { typeInto(5, M::AColumn, M::OutLine, ""); },
             edited(5, [](auto& e) { e.reg.outA = {0, 0, 0, 0, 0, 1}; }), "Undo Edit A OUT of 005"},
            {"clip padded", [&] { typeInto(5, M::BColumn, M::ClipLine, "AB"); },
             edited(5, [](auto& e) { e.clips[1] = "AB      "; }), "Undo Edit B CLIP of 005"},
            {"no clip", [&] { typeInto(9, M::AColumn, M::ClipLine, ""); },
             edited(9, [](auto& e) { e.clips[0] = NoClipName; }), "Undo Edit A CLIP of 009"},
            {"insert", [&] { answerNumber(app().window()->action(Command::InsertRegister), 7); },
             changed([](auto& r) { r.set(7, blankRegisterEntry()); }), "Undo Insert Register 007"},
            {"delete",
             [&] {
                 QTest::keyClick(select({5, 9}), Qt::Key_Delete);
             },
             RegisterCollection{}, "Undo Delete 2 Registers"},
            {"delete after a click on the number",
             [&] {
                 QTest::mouseClick(table()->viewport(), Qt::LeftButton, {},
                                   pointOf(5, M::RegisterColumn));
                 QTest::keyClick(table(), Qt::Key_Delete);
             },
             collectionOf({{9, sample(2, "SHOT0009")}}), "Undo Delete Register 005"},
            {"clear a time",
             [&] {
                 table()->setCurrentField(cell(5, M::AColumn), M::InLine);
                 QTest::keyClick(table(), Qt::Key_Delete);
             },
             edited(5, [](auto& e) { e.reg.inA = {0, 0, 0, 0, 0, 1}; }), "Undo Clear A IN of 005"},
            {"clear a clicked time",
             [&] {
                 select({5});
                 QTest::mouseClick(table()->viewport(), Qt::LeftButton, {},
                                   pointOf(9, M::AColumn, M::OutLine));
                 QTest::keyClick(table(), Qt::Key_Delete);
             },
             edited(9, [](auto& e) { e.reg.outA = {0, 0, 0, 0, 0, 1}; }),
             "Undo Clear A OUT of 009"},
            {"clear a clip name",
             [&] {
                 table()->setCurrentField(cell(9, M::CColumn), M::ClipLine);
                 app().window()->action(Command::Delete)->trigger();
             },
             edited(9, [](auto& e) { e.clips[2] = NoClipName; }), "Undo Clear C CLIP of 009"},
            {"duplicate keeps the spacing",
             [&] {
                 select({5, 9});
                 answerNumber(app().window()->action(Command::Duplicate), 20);
             },
             changed([](auto& r) {
                 r.set(20, *r.find(5));
                 r.set(24, *r.find(9));
             }),
             "Undo Duplicate 2 Registers"},
            {"cut", [&] { QTest::keyClick(select({5}), Qt::Key_X, Qt::ControlModifier); },
             collectionOf({{9, sample(2, "SHOT0009")}}), "Undo Cut Register 005"},
            {"paste registers",
             [&] {
                 QGuiApplication::clipboard()->setText(
                     QString::fromStdString(registerClipboardLines(
                         {{30, sample(3, "NEW00030")}, {31, sample(4, "NEW00031")}})));
                 QTest::keyClick(table(), Qt::Key_V, Qt::ControlModifier);
             },
             changed([](auto& r) {
                 r.set(30, sample(3, "NEW00030"));
                 r.set(31, sample(4, "NEW00031"));
             }),
             "Undo Paste 2 Registers"},
            {"paste into a field",
             [&] {
                 table()->setCurrentField(cell(9, M::CColumn), M::InLine);
                 QGuiApplication::clipboard()->setText(" 01:02:03:04\n");
                 app().window()->action(Command::Paste)->trigger();
             },
             edited(9, [](auto& e) { e.reg.inC = time(1, 2, 3, 4); }), "Undo Edit C IN of 009"},
        };
        for (const Case& c : cases) {
            QTest::qWait(0);
            startWith(baseRegisters());
            c.act();
            QVERIFY2(registers() == c.expected, c.name);
            QCOMPARE(app().window()->action(Command::Undo)->text(), c.undoText);
            QCOMPARE(stack()->count(), 1);
            QVERIFY(_controller->window()->isWindowModified());
            app().window()->action(Command::Undo)->trigger();
            QVERIFY2(registers() == baseRegisters(), c.name);
            QVERIFY(!_controller->window()->isWindowModified());
            app().window()->action(Command::Redo)->trigger();
            QVERIFY2(registers() == c.expected, c.name);
        }
    }

    // Insert Register refuses a number the table holds: that register stays as it was.
    void insertingANumberTheTableHoldsIsRefused() {
        startWith(baseRegisters());
        answerNumber(app().window()->action(Command::InsertRegister), 5);
        expectAlert(*_controller, "Register 005 already exists",
                    "Choose a number that is not in the table.", true);
        QVERIFY(registers() == baseRegisters() && stack()->count() == 0);
    }

    // What a field refuses stays in its editor with the reason beside it; nothing changes. The
    // frame rate preference makes times stricter than the wire.
    void refusedValuesChangeNothing() {
        using M = RegisterTableModel;
        struct Field {
            int column, line;
        };
        struct Case {
            const char* rate; // the preference's stored name
            Field field;
            QString text;
            QString reason; // empty: accepted
        };
        const char* wire = "Wire limits only";
        const Field AIn{M::AColumn, M::InLine}, BOut{M::BColumn, M::OutLine},
            CClip{M::CColumn, M::ClipLine};
        const QString notATime = "Type a time as HH:MM:SS:FF, with \";\" before the frames for "
                                 "drop frame.";
        const std::vector<Case> cases{
            {wire, AIn, "1:02:03:04", notATime},
            {wire, BOut, "01:02:03:40",
             "The VRG-500 takes hours, minutes and seconds up to 99 and frames up to 39."},
            {wire, BOut, "99:99:99:39", ""},
            {"25", AIn, "00:00:10:25", "At 25 frames per second the frames go up to 24."},
            {"25", AIn, "00:00:10:24", ""},
            {"24", AIn, "00:00:10:24", "At 24 frames per second the frames go up to 23."},
            {"30", AIn, "00:60:00:00", "At 30 frames per second a time goes up to 23:59:59."},
            {wire, CClip, "NINECHARS", "A clip name has at most 8 characters."},
            {wire, CClip, QString::fromUtf8("Caf\u00e9"),
             "A clip name holds printable ASCII characters only."},
        };
        for (const Case& c : cases) {
            startWith(baseRegisters());
            chooseFrameRate(app(), c.rate);
            const QString context = QString("%1 at %2").arg(c.text, c.rate);
            typeInto(5, c.field.column, c.field.line, c.text);
            if (c.reason.isEmpty()) {
                QVERIFY2(editor() == nullptr && stack()->count() == 1, qPrintable(context));
                continue;
            }
            QVERIFY2(editor() != nullptr, qPrintable(context));
            QLabel* refusal = app().window()->cellDelegate()->refusalLabel();
            QVERIFY2(refusal != nullptr && refusal->isVisible(), qPrintable(context));
            QCOMPARE(refusal->text(), c.reason);
            QTest::keyClick(editor(), Qt::Key_Escape);
            QVERIFY(editor() == nullptr);
            QVERIFY2(registers() == baseRegisters() && stack()->count() == 0, qPrintable(context));
        }
    }

    // Tab goes across the machines, then down the lines and on to the next register, editing
    // each field in turn; Shift+Tab goes back.
    void tabWalksTheFields() {
        startWith(baseRegisters());
        using M = RegisterTableModel;
        table()->setCurrentField(cell(5, M::CColumn), M::OutLine);
        QTest::keyClick(table(), Qt::Key_F2);
        QStringList visited;
        for (int i = 0; i < 8; ++i) {
            visited << QString::number(_controller->tableModel()->registers().numberAt(
                           size_t(table()->currentIndex().row()))) +
                           " " + editor()->accessibleName();
            QTest::keyClick(editor(), Qt::Key_Tab);
        }
        QCOMPARE(visited, QStringList({"5 C OUT", "5 D OUT", "5 A CLIP", "5 B CLIP", "5 C CLIP",
                                       "5 D CLIP", "9 A IN", "9 B IN"}));
        for (int i = 0; i < 3; ++i) { // from 9 C IN back to 5 D CLIP
            QTest::keyClick(editor(), Qt::Key_Backtab);
        }
        QCOMPARE(editor()->accessibleName(), "D CLIP");
        QCOMPARE(table()->currentIndex().row(), 0);
        QVERIFY(registers() == baseRegisters()); // fields passed through unchanged
        QCOMPARE(stack()->count(), 0);
    }

    // A bad line refuses the whole paste and is named, as is a field's value that cannot go in;
    // pasting over registers asks first, naming those replaced and those added.
    void pasteChecksAndAsks() {
        startWith(baseRegisters());
        QTest::keyClick(select({5, 9}), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text().toStdString(),
                 registerClipboardLines({{5, sample(1, "SHOT0005")}, {9, sample(2, "SHOT0009")}}));
        const QString lines =
            QString::fromStdString(registerClipboardLines({{40, sample(8, "NEW00040")}}));
        const QString omega = QString::fromUtf8("\u03a9");
        const struct {
            QString clipboard;
            int field; // a clip field to paste into, or -1 for none
            QString text, information;
        } refusals[] = {
            {lines + "041,bad\n", -1, "The clipboard's text cannot be pasted as registers",
             "Line 2 is not a register: \"041,bad\""},
            {lines + QString(lines).replace(0, 3, "65536"), -1,
             "The clipboard's text cannot be pasted as registers",
             "Line 2 is register 65536, outside 0 to 65535: \"" +
                 QString(lines).replace(0, 3, "65536").left(60) + "\u2026\""},
            {QString(lines).replace("NEW00040", "NEW" + omega), -1,
             "The clipboard's text cannot be pasted as registers",
             "Line 1 holds \"" + omega + "\", which does not fit in one byte: \"" +
                 QString(lines).replace("NEW00040", "NEW" + omega).left(60) + "\u2026\""},
            {"Z" + omega + "\n", RegisterTableModel::BColumn,
             "The clipboard's text cannot go into B CLIP of 009",
             "\"" + omega + "\" does not fit in one byte."},
            {"TOO LONG!", RegisterTableModel::BColumn,
             "The clipboard's text cannot go into B CLIP of 009",
             "A clip name has at most 8 characters."},
        };
        for (const auto& refusal : refusals) {
            table()->clearSelection();
            table()->setCurrentIndex({});
            if (refusal.field >= 0) {
                table()->setCurrentField(cell(9, refusal.field), RegisterTableModel::ClipLine);
            }
            QGuiApplication::clipboard()->setText(refusal.clipboard);
            app().window()->action(Command::Paste)->trigger();
            expectAlert(*_controller, refusal.text, refusal.information);
            dismissAlert(*_controller);
            QVERIFY(registers() == baseRegisters());
        }

        const struct {
            std::vector<int32_t> numbers;
            QString question, information;
        } questions[] = {
            {{9}, "Replace register 009?", "The table holds 009 already. Pasting replaces them."},
            {{5, 9},
             "Replace 2 registers?",
             "The table holds 005 and 009 already. Pasting replaces them."},
            {{9, 40},
             "Replace register 009 and add register 040?",
             "The table holds 009 already. Pasting replaces them and adds 040."},
            {{5, 9, 40, 41, 42},
             "Replace 2 registers and add 3?",
             "The table holds 005 and 009 already. Pasting replaces them and adds 040, 041 and "
             "042."},
        };
        for (const auto& asked : questions) {
            std::vector<RegisterCollection::Item> incoming;
            for (int32_t number : asked.numbers) {
                incoming.emplace_back(number, sample(7, "REPLACED"));
            }
            // A spreadsheet's copy: tab-separated only.
            auto* data = new QMimeData;
            data->setData("text/tab-separated-values",
                          QByteArray::fromStdString(registerClipboardTabs(incoming)));
            QGuiApplication::clipboard()->setMimeData(data);
            for (const QString answer : {"Cancel", "Replace"}) {
                app().window()->action(Command::Paste)->trigger();
                QVERIFY(
                    QTest::qWaitFor([&] { return _controller->alerts()->current() != nullptr; }));
                QCOMPARE(_controller->alerts()->current()->informativeText(), asked.information);
                answerAlert(*_controller, asked.question, answer);
            }
            RegisterCollection expected = baseRegisters();
            for (const auto& [number, entry] : incoming) {
                expected.set(number, entry);
            }
            QVERIFY(registers() == expected);
            QCOMPARE(stack()->count(), 1);
            app().window()->action(Command::Undo)->trigger();
        }
    }

    // Every byte a clip name can hold, 0x20 to 0xFF but the comma, comes back from the clipboard
    // in each form it is offered: the registers as text, as tab-separated values alone, and one
    // field's value through Copy Field and a paste into a field.
    void clipNamesComeBackByteForByte() {
        RegisterCollection every;
        for (int byte = 0x20; byte <= 0xFF; ++byte) {
            if (byte != ',') {
                every.set(byte, sample(1, (std::string(1, char(byte)) + "af 1234").c_str()));
            }
        }
        startWith(every);
        QTest::keyClick(table(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(table(), Qt::Key_C, Qt::ControlModifier);
        const QString text = QGuiApplication::clipboard()->text();
        QVERIFY(text.contains(QString::fromUtf8("\n233,") + "01:00:01:00")); // é is 233
        QVERIFY(text.contains(QString::fromUtf8(",\u00e9af 1234,")));
        const QByteArray tabs =
            QGuiApplication::clipboard()->mimeData()->data("text/tab-separated-values");
        QCOMPARE(QString::fromUtf8(tabs), QString(text).replace(',', '\t'));
        const std::vector<std::pair<const char*, std::function<void()>>> forms{
            {"text", [] {}},
            {"tab-separated values",
             [&] {
                 auto* data = new QMimeData;
                 data->setData("text/tab-separated-values", tabs);
                 QGuiApplication::clipboard()->setMimeData(data);
             }},
        };
        for (const auto& [form, offer] : forms) {
            startWith({});
            offer();
            QTest::keyClick(table(), Qt::Key_V, Qt::ControlModifier);
            QVERIFY2(registers() == every, form);
        }

        RegisterCollection expected = every;
        for (const auto& [number, entry] : every) {
            table()->setCurrentField(cell(number, RegisterTableModel::AColumn),
                                     RegisterTableModel::ClipLine);
            QTest::keyClick(table(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
            table()->setCurrentField(cell(number, RegisterTableModel::DColumn),
                                     RegisterTableModel::ClipLine);
            QTest::keyClick(table(), Qt::Key_V, Qt::ControlModifier);
            expected.set(number, withClip(entry, 3, entry.clips[0]));
        }
        QVERIFY(_controller->alerts()->current() == nullptr);
        QVERIFY(registers() == expected);
    }

    // Each command's shortcut does what its command does, and nothing while it is disabled:
    // Copy is the Edit menu's, not the table's own copy of a cell. Save stays enabled while an
    // emptied table is unsaved, as the save prompt would save it.
    void shortcutsFollowTheirCommands() {
        using M = RegisterTableModel;
        const QStringList onAField{"Cut", "Copy", "Copy Field", "Delete", "Paste", "Save..."};
        const struct {
            const char* name;
            std::function<void()> enter;
            QStringList enabled;
        } states[] = {
            {"nothing current", [&] { startWith(baseRegisters()); }, {"Paste", "Save..."}},
            {"a field current",
             [&] {
                 startWith(baseRegisters());
                 table()->setCurrentField(cell(5, M::AColumn), M::InLine);
             },
             onAField},
            {"a field current, its register unselected",
             [&] {
                 startWith(baseRegisters());
                 table()->setCurrentField(cell(5, M::AColumn), M::InLine);
                 QTest::mouseClick(table()->viewport(), Qt::LeftButton, Qt::ControlModifier,
                                   pointOf(5, M::AColumn));
             },
             {"Copy Field", "Delete", "Paste", "Save..."}},
            {"registers chosen",
             [&] {
                 startWith(baseRegisters());
                 select({5, 9});
             },
             onAField},
            {"a register number current",
             [&] {
                 startWith(baseRegisters());
                 QTest::mouseClick(table()->viewport(), Qt::LeftButton, {},
                                   pointOf(9, M::RegisterColumn));
             },
             {"Cut", "Copy", "Delete", "Paste", "Save..."}},
            {"an emptied table",
             [&] {
                 startWith(baseRegisters());
                 QTest::keyClick(select({5, 9}), Qt::Key_Delete);
             },
             {"Paste", "Save..."}},
            {"an empty table", [&] { startWith({}); }, {"Paste"}},
        };
        const std::pair<Command, QKeySequence> commands[] = {
            {Command::Cut, QKeySequence::Cut},
            {Command::Copy, QKeySequence::Copy},
            {Command::CopyField, QKeySequence("Ctrl+Shift+C")},
            {Command::Delete, QKeySequence::Delete},
            {Command::Paste, QKeySequence::Paste},
            {Command::Save, {}}, // its shortcut opens the save panel
        };
        const QString marker =
            QString::fromStdString(registerClipboardLines({{70, sample(3, "PASTED70")}}));
        for (const auto& state : states) {
            for (const auto& [command, keys] : commands) {
                state.enter();
                QAction* action = app().window()->action(command);
                const bool enabled = state.enabled.contains(action->text());
                const QString context = QString("%1, %2").arg(action->text(), state.name);
                QVERIFY2(action->isEnabled() == enabled, qPrintable(context));
                if (keys.isEmpty()) {
                    continue;
                }
                QGuiApplication::clipboard()->setText(marker);
                const RegisterCollection before = registers();
                QTest::keySequence(table(), keys);
                const bool acted =
                    QGuiApplication::clipboard()->text() != marker || !(registers() == before);
                QVERIFY2(acted == enabled, qPrintable(context));
            }
        }
    }

    // The context menu acts on what was clicked: a register not selected is selected first and
    // the menu's commands act on it; below the rows nothing is selected or current any more.
    void contextMenuActsOnWhatWasClicked() {
        using M = RegisterTableModel;
        startWith(baseRegisters());
        table()->setCurrentField(cell(5, M::AColumn), M::InLine);
        const QStringList onARegister{"Cut",
                                      "Copy",
                                      "Copy Field",
                                      "Paste",
                                      "Delete",
                                      "Insert Register...",
                                      "Duplicate To..."};
        QCOMPARE(rightClick(pointOf(9, M::BColumn), "Delete"), onARegister);
        QVERIFY(registers() == collectionOf({{5, sample(1, "SHOT0005")}}));
        QCOMPARE(app().window()->action(Command::Undo)->text(), "Undo Delete Register 009");

        // The register selected through its field: the menu's Delete clears the field clicked.
        table()->setCurrentField(cell(5, M::AColumn), M::InLine);
        QCOMPARE(rightClick(pointOf(5, M::CColumn, M::ClipLine), "Delete"), onARegister);
        QCOMPARE(app().window()->action(Command::Undo)->text(), "Undo Clear C CLIP of 005");

        select({5});
        const QPoint below(pointOf(5, M::AColumn).x(),
                           table()->visualRect(cell(5, M::AColumn)).bottom() + 10);
        QVERIFY(!table()->indexAt(below).isValid());
        QCOMPARE(rightClick(below), QStringList({"Paste", "Insert Register..."}));
        QVERIFY(!table()->selectionModel()->hasSelection());
        QVERIFY(!table()->currentIndex().isValid());
    }

    // Each way of losing changes asks first; Save saves and goes on, Don't Save goes on,
    // Cancel stays.
    void unsavedChangesAreAskedAbout() {
        struct Way {
            const char* name;
            std::function<void()> start;
            std::function<bool()> wentOn;
        };
        const std::vector<Way> ways{
            {"quit", [&] { _controller->quit(); },
             [&] { return !_controller->window()->isVisible(); }},
            {"close", [&] { _controller->window()->close(); },
             [&] { return !_controller->window()->isVisible(); }},
            {"open", [&] { app().window()->action(Command::Open)->trigger(); },
             [&] {
                 QFileDialog* panel = filePanel(*_controller);
                 return panel != nullptr && panel->acceptMode() == QFileDialog::AcceptOpen;
             }},
            {"download", [&] { app().window()->action(Command::DownloadRegisters)->trigger(); },
             [&] { return app().rangeSheet()->isVisible(); }},
        };
        // A value still being typed (no Enter) is a change too.
        for (const Way& way : ways) {
            for (const QString answer : {"Cancel", "Don't Save", "Save"}) {
                const bool entered = answer != "Save"; // Save: the typed value, not yet entered
                const QString context = QString("%1, %2").arg(way.name, answer);
                startWith(baseRegisters(), "/dev/null");
                QCOMPARE(_controller->window()->windowTitle(), "Untitled[*] \u2014 Tavrel");
                typeInto(5, RegisterTableModel::AColumn, RegisterTableModel::InLine, "03:00:00:00",
                         entered ? Qt::Key_Return : Qt::Key_End);
                way.start();
                answerAlert(*_controller, "Save changes to the registers?", answer);
                const QString saved = _files.filePath(QString("%1.vg2").arg(way.name));
                if (answer == "Save") {
                    QVERIFY(QTest::qWaitFor([&] { return filePanel(*_controller) != nullptr; }));
                    filePanel(*_controller)->selectFile(saved);
                    static_cast<QDialog*>(filePanel(*_controller))->accept();
                    RegisterCollection written;
                    QVERIFY2(readRegisterFile(localFilePath(saved), &written), qPrintable(context));
                    QVERIFY(written == registers());
                    QCOMPARE(written.find(5)->reg.inA.hours, 3);
                    QVERIFY(!_controller->window()->isWindowModified());
                }
                if (answer == "Cancel") {
                    QCoreApplication::processEvents(); // the deferred steps, had any been left
                    QVERIFY2(!way.wentOn(), qPrintable(context));
                    QVERIFY(_controller->window()->isWindowModified());
                } else {
                    QVERIFY2(QTest::qWaitFor(way.wentOn), qPrintable(context));
                }
                _controller.reset();
            }
            // A value the field refuses stops it: the editor stays open and says why.
            startWith(baseRegisters(), "/dev/null");
            typeInto(5, RegisterTableModel::AColumn, RegisterTableModel::InLine, "3 o'clock",
                     Qt::Key_End);
            way.start();
            QCoreApplication::processEvents();
            QVERIFY2(_controller->alerts()->current() == nullptr, way.name);
            QVERIFY2(!way.wentOn(), way.name);
            QLabel* refusal = app().window()->cellDelegate()->refusalLabel();
            QVERIFY2(refusal != nullptr && refusal->isVisible(), way.name);
            QCOMPARE(editor()->text(), "3 o'clock");
            _controller.reset();
        }
    }

    // Leaving a refused value with the mouse does not drop it: the field opens again with it,
    // and says why.
    void aRefusedValueLeftWithTheMouseIsKept() {
        startWith(baseRegisters());
        typeInto(5, RegisterTableModel::AColumn, RegisterTableModel::InLine, "3 o'clock",
                 Qt::Key_End);
        const QRect other = table()->visualRect(cell(9, RegisterTableModel::DColumn));
        QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, other.center());
        QTRY_VERIFY(app().window()->cellDelegate()->refusalLabel() != nullptr &&
                    app().window()->cellDelegate()->refusalLabel()->isVisible());
        QVERIFY(editor() != nullptr);
        QCOMPARE(editor()->text(), "3 o'clock");
        QCOMPARE(table()->currentIndex(), cell(5, RegisterTableModel::AColumn));
        QVERIFY(registers() == baseRegisters());
    }

    // A signal quits at once, without asking; the unsaved registers go to a recovery file.
    void aSignalKeepsTheUnsavedRegisters() {
        QDir recovered(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
                       "/Recovered");
        recovered.removeRecursively();
        startWith(baseRegisters());
        typeInto(9, RegisterTableModel::BColumn, RegisterTableModel::ClipLine, "UNSAVED");
        const RegisterCollection unsaved = registers();
        _controller->terminate();
        QVERIFY(!_controller->window()->isVisible());
        QVERIFY(_controller->alerts()->current() == nullptr);
        const QStringList kept = recovered.entryList({"*.vg2"}, QDir::Files);
        QCOMPARE(kept.size(), 1);
        RegisterCollection written;
        QVERIFY(readRegisterFile(localFilePath(recovered.filePath(kept.front())), &written));
        QVERIFY(written == unsaved);
    }

    // A download is one step: undoing it brings back the table as it was.
    void undoingADownloadBringsBackTheTable() {
        Vrg500SimulatorOptions options;
        options.sampleRegisters = true;
        Vrg500Simulator device(options);
        QVERIFY(device.start());
        startWith(baseRegisters(), device.slavePath());
        chooseRange(*_controller, app().window()->action(Command::DownloadRegisters), 0, 2);
        QVERIFY(QTest::qWaitFor([&] { return registers().size() == 3 && stack()->count() == 1; },
                                TransferTimeout));
        const RegisterCollection downloaded = registers();
        QCOMPARE(app().window()->action(Command::Undo)->text(), "Undo Download");
        QVERIFY(_controller->window()->isWindowModified());
        app().window()->action(Command::Undo)->trigger();
        QVERIFY(registers() == baseRegisters());
        app().window()->action(Command::Redo)->trigger();
        QVERIFY(registers() == downloaded);
    }
};

QTEST_MAIN(RegisterEditingTest)
#include "tst_register_editing.moc"
