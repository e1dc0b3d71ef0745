// The application as a screen reader meets it, through the accessibility interface: every
// interactive control of the main window, its sheets and dialogs carries a name, the table says
// which register, machine and line each cell holds, alerts expose their texts, and the toolbar
// holds the port pop-up and nothing it does not show. accessibility_tree.py reads the tree from
// outside, over AT-SPI, as a screen reader does: it also drives the range sheet to a download with
// accessibility actions alone and finds the field editor and its refusal.
#include "AppTestSupport.h"
#include "ComparisonDialog.h"
#include "DeviceInformationDialog.h"
#include "MainToolbar.h"
#include "OffsetRegistersDialog.h"
#include "OtherPortDialog.h"
#include "RegisterCellDelegate.h"
#include "RegisterEditor.h"
#include "RegisterNumberDialog.h"
#include "RegisterTableModel.h"
#include "RegisterTableView.h"
#include "SnapshotDialog.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

using namespace tavrel::sim;
using namespace apptest;

namespace {

bool isInteractive(QAccessible::Role role) {
    using A = QAccessible;
    // Items of lists, tables and trees are what their views hold, not controls: an empty cell
    // is read as empty. The table's own cells are checked on their own below.
    static const std::set<A::Role> roles{
        A::PushButton,   A::CheckBox, A::RadioButton, A::ComboBox,      A::SpinBox,
        A::EditableText, A::Slider,   A::List,        A::Table,         A::Tree,
        A::MenuItem,     A::PageTab,  A::ButtonMenu,  A::ButtonDropDown};
    return roles.count(role) > 0;
}

QString describe(QAccessibleInterface* node) {
    if (QObject* object = node->object()) {
        return QString("%1 \"%2\"").arg(object->metaObject()->className(), object->objectName());
    }
    return QString("role 0x%1 in %2").arg(int(node->role()), 0, 16).arg(describe(node->parent()));
}

struct Walked {
    QStringList unnamed;  // interactive controls without a name
    QStringList texts;    // every text exposed
    QStringList defaults; // the default buttons' names
};

// Walks the shown part of the tree under `node` (the root is walked even while hidden, as a menu
// is).
void walk(QAccessibleInterface* node, bool root, Walked* walked) {
    if (node == nullptr || !node->isValid() || (!root && node->state().invisible)) {
        return;
    }
    if (isInteractive(node->role()) && node->text(QAccessible::Name).trimmed().isEmpty()) {
        walked->unnamed << describe(node);
    }
    if (node->state().defaultButton) {
        walked->defaults << node->text(QAccessible::Name);
    }
    for (auto kind :
         {QAccessible::Name, QAccessible::Value, QAccessible::Description, QAccessible::Help}) {
        walked->texts << node->text(kind);
    }
    for (int i = 0; i < node->childCount(); ++i) {
        walk(node->child(i), false, walked);
    }
}

// The first shown node under `node` with this role and name.
QAccessibleInterface* find(QAccessibleInterface* node, QAccessible::Role role,
                           const QString& name) {
    if (node == nullptr || node->state().invisible) {
        return nullptr;
    }
    if (node->role() == role && node->text(QAccessible::Name) == name) {
        return node;
    }
    for (int i = 0; i < node->childCount(); ++i) {
        if (QAccessibleInterface* found = find(node->child(i), role, name)) {
            return found;
        }
    }
    return nullptr;
}

// Whether `node` is in the tree under `root`: each of its ancestors, up to `root`, lists it.
bool inTree(QAccessibleInterface* node, QAccessibleInterface* root) {
    for (; node != nullptr && node->object() != root->object(); node = node->parent()) {
        if (node->parent() == nullptr || node->parent()->indexOfChild(node) < 0) {
            return false;
        }
    }
    return node != nullptr;
}

} // namespace

class AccessibilityTest : public QObject, DeviceTestFixture {
    Q_OBJECT

    QMainWindow* window() const { return app().window(); }

    // Opens the window of a row of everyControlIsNamed, as the application does.
    QWidget* open(const QByteArray& name) {
        AppController& c = *_controller;
        const RegisterComparison comparison{
            {{12, RegisterDifference::Differs, {{"A IN", "01:00:00:00", "02:00:00:00"}}},
             {40, RegisterDifference::OnlyRight, {}}},
            3};
        QDialog* dialog = nullptr;
        if (name == "other port") {
            dialog = new OtherPortDialog(window());
        } else if (name == "comparison") {
            dialog = new ComparisonDialog(window(), comparison, 10, 40);
        } else if (name == "snapshots") {
            dialog = new SnapshotDialog(window(), {{"/a.vg2", "ttyS0", 0, 9, 10, "now"}});
        }
        if (dialog != nullptr) {
            dialog->setAttribute(Qt::WA_DeleteOnClose);
            dialog->open();
        } else if (name == "range sheet") {
            c.uploadRegisters();
        } else if (name == "progress sheet") {
            c.progressSheet()->begin("Offsetting registers", {0, 9});
        } else if (name == "register number") {
            askRegisterNumber(window(), "Go to Register", "Register number:", "Go", 5, {});
        } else if (name == "save prompt") {
            c.registerEditor()->store({{7, RegisterEntry{}}}, "Insert");
            c.downloadRegisters();
        } else if (name == "error alert") {
            c.alerts()->show("Could not read", "Because.", true);
        } else if (name == "device information") {
            app().window()->action(Command::DeviceInformation)->trigger();
            awaitDialog<DeviceInformationDialog>(c);
        } else if (name == "offset registers") {
            app().window()->action(Command::OffsetRegisters)->trigger();
            auto* offset = qobject_cast<OffsetRegistersDialog*>(QApplication::activeModalWidget());
            offset->offsetField()->setText("1"); // refused, with the reason beside it
        }
        return name == "main window" ? window() : QApplication::activeModalWidget();
    }

  private slots:
    void initTestCase() { useTemporarySettings(_settings); }

    void init() {
        startDevice();
        _controller->tableModel()->storeRegister(12, entryWith(0, FourClips));
        _controller->tableModel()->storeRegister(13, RegisterEntry{});
    }

    void cleanup() { stopDevice(); }

    // Each window: its default button (what Return presses; none where Return must not act)
    // and the texts it must expose besides its controls' names.
    void everyControlIsNamed_data() {
        QTest::addColumn<QString>("defaultButton");
        QTest::addColumn<QStringList>("texts");
        const QStringList none;
        QTest::newRow("main window") << "" << none;
        QTest::newRow("range sheet") << "Upload" << none;
        QTest::newRow("progress sheet") << "" << none;
        QTest::newRow("other port") << "Add" << none;
        QTest::newRow("register number") << "Go" << none;
        QTest::newRow("save prompt") << "Save"
                                     << QStringList{"Save changes to the registers?",
                                                    "Your changes will be lost if you don't "
                                                    "save them."};
        QTest::newRow("error alert") << "OK" << QStringList{"Could not read", "Because."};
        QTest::newRow("comparison") << "Close" << none;
        QTest::newRow("snapshots") << "Restore" << none;
        QTest::newRow("device information") << "Close" << none;
        QTest::newRow("offset registers")
            << "Offset" << QStringList{"Type an offset as HH:MM:SS:FF, two digits each."};
    }
    void everyControlIsNamed() {
        QFETCH(QString, defaultButton);
        QFETCH(QStringList, texts);
        QWidget* widget = open(QTest::currentDataTag());
        QVERIFY(widget != nullptr && widget->isVisible());
        Walked walked;
        walk(QAccessible::queryAccessibleInterface(widget), true, &walked);
        if (widget == window()) { // the menus' commands, reachable while their menus are shut
            for (QMenu* menu : window()->menuBar()->findChildren<QMenu*>()) {
                walk(QAccessible::queryAccessibleInterface(menu), true, &walked);
            }
        }
        QVERIFY2(walked.unnamed.isEmpty(), qPrintable("unnamed: " + walked.unnamed.join(", ")));
        QCOMPARE(walked.defaults.join(", "), defaultButton);
        for (const QString& text : texts) {
            QVERIFY2(walked.texts.contains(text), qPrintable("not exposed: " + text));
        }
    }

    // A cell names its register, machine and lines, and with a frame rate its duration; the
    // table says which field is current.
    void tableCellsSayWhatTheyHold() {
        using M = RegisterTableModel;
        QAccessibleInterface* node = QAccessible::queryAccessibleInterface(app().window()->table());
        QAccessibleTableInterface* table = node->tableInterface();
        QVERIFY(table);
        const QString wire = "Wire limits only";
        const struct {
            QString rate;
            int row, column;
            QString name;
        } cells[] = {
            {"25", 0, M::AColumn,
             "Register 012, machine A: IN 01:00:00:00, OUT 01:00:10:05, CLIP SHOT0001, duration "
             "00:00:10:05"},
            {"25", 0, M::CColumn, "Register 012, machine C: IN unset, OUT unset, CLIP no clip"},
            {wire, 0, M::RegisterColumn, "Register 012"},
            {wire, 0, M::LabelColumn, "Register 012: IN, OUT, CLIP"},
            {wire, 0, M::AColumn,
             "Register 012, machine A: IN 01:00:00:00, OUT 01:00:10:05, CLIP SHOT0001"},
            {wire, 0, M::CColumn, "Register 012, machine C: IN unset, OUT unset, CLIP no clip"},
        };
        for (const auto& c : cells) {
            chooseFrameRate(app(), c.rate);
            QCOMPARE(table->cellAt(c.row, c.column)->text(QAccessible::Name), c.name);
        }
        app().window()->table()->setCurrentField(_controller->tableModel()->index(1, M::BColumn),
                                                 M::OutLine);
        QCOMPARE(node->text(QAccessible::Description), "Current field: B OUT of register 013");
    }

    // The toolbar lists what it shows: the port pop-up, in a group named by the item's label, and
    // Qt's extension button only in a window too narrow for every item.
    void toolbarHoldsThePortPopUp() {
        QToolBar* toolbar = _controller->window()->toolbar();
        QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(toolbar);
        auto listed = [bar] {
            QStringList names;
            for (int i = 0; i < bar->childCount(); ++i) {
                QAccessibleInterface* child = bar->child(i);
                names << (child->state().invisible ? "hidden " : "") +
                             child->text(QAccessible::Name);
            }
            return names;
        };
        QVERIFY2(!listed().join(",").contains("hidden"), qPrintable(listed().join(", ")));
        QComboBox* popUp = app().portChooser()->popUp();
        QAccessibleInterface* node = find(bar, QAccessible::ComboBox, popUp->currentText());
        QVERIFY(node && node->object() == popUp && inTree(node, bar));
        QCOMPARE(node->parent()->text(QAccessible::Name), "Serial Port");
        QCOMPARE(node->parent()->role(), QAccessible::Grouping);

        window()->setMinimumWidth(0);
        window()->resize(window()->width() / 2, window()->height());
        window()->layout()->activate();
        toolbar->layout()->activate();
        QVERIFY2(!listed().join(",").contains("hidden"), qPrintable(listed().join(", ")));
        QVERIFY2(listed().contains("More Toolbar Items"), qPrintable(listed().join(", ")));
    }

    // Device ▸ Choose Serial Port, or its shortcut, opens the port pop-up for the arrow keys;
    // choosing there, as any other change of the pop-up's choice, is acted upon.
    void portPopUpFromTheKeyboard() {
        QComboBox* popUp = app().portChooser()->popUp();
        QCOMPARE(app().window()->action(Command::ChoosePort)->shortcut(),
                 QKeySequence("Ctrl+Shift+P"));
        app().window()->action(Command::ChoosePort)->trigger();
        QVERIFY(popUp->view()->isVisible());
        QVERIFY(QApplication::focusWidget() == popUp ||
                QApplication::focusWidget() == popUp->view());
        popUp->hidePopup();
        popUp->setCurrentIndex(popUp->count() - 1); // "Other Port…", chosen without a click
        QVERIFY(qobject_cast<OtherPortDialog*>(QApplication::activeModalWidget()));
        QCOMPARE(popUp->currentText(), "ttySIM0");
    }
};

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
