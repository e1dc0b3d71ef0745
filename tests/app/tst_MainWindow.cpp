// The main window: start-up with and without ports, the port pop-up's order and the "Serial Port"
// setting through hot-plug rebuilds, the enabling of the commands in toolbar and menus alike, the
// version command and the generic alert, the help window and the manual, and closing.
#include "AppTestSupport.h"
#include "ComparisonDialog.h"
#include "DeviceInformationDialog.h"
#include "HelpMenu.h"
#include "HelpViewer.h"
#include "MainToolbar.h"
#include "OtherPortDialog.h"
#include "ProgressSheet.h"
#include "RangeSheet.h"
#include "RegisterTableModel.h"
#include "SnapshotDialog.h"
#include "WindowStatusBar.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QInputDialog>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextBrowser>
#include <QToolBar>
#include <QTranslator>

using namespace tavrel::sim;

using namespace apptest;

namespace {

QVariant storedChoice() {
    return QSettings().value(SelectedSerialPortKey);
}

// Every command of the menus, the submenus' own included, and the menus themselves.
void collectMenuActions(const QList<QAction*>& actions, QList<QAction*>& collected) {
    for (QAction* action : actions) {
        if (!action->isSeparator()) {
            collected << action;
        }
        if (action->menu() != nullptr) {
            collectMenuActions(action->menu()->actions(), collected);
        }
    }
}

// Pads every text that goes through tr() by 40%, as a longer language would; a text that does
// not go through tr() keeps its length, and shows itself by it.
class LongerTranslation : public QTranslator {
  public:
    bool isEmpty() const override { return false; }
    QString translate(const char*, const char* source, const char*, int) const override {
        const QString text = QString::fromUtf8(source);
        return text + QString((text.size() * 2 + 4) / 5, QChar('~'));
    }
};

template <typename T> T* opened(T* dialog) {
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
    return dialog;
}

RegisterComparison someDifferences() {
    RegisterComparison comparison;
    RegisterDifference differs{12, RegisterDifference::Differs, {{"A IN", "01:00:00:00", ""}}};
    comparison.differences = {differs, {13, RegisterDifference::OnlyLeft, {}}};
    comparison.identical = 298;
    return comparison;
}

// The sheets and dialogs, each opened over a controller's window with the port
// "VRG-500 Simulator"; the window's toolbar and status bar too, whose controls must show whole.
struct DialogCase {
    const char* name;
    std::function<QWidget*(AppController&)> open;
    bool sheet = false;
    bool wholeWindow = true; // the window it is must be as large as its contents ask
};

const DialogCase Dialogs[] = {
    {"range sheet",
     [](AppController& c) -> QWidget* {
         c.window()->action(Command::DownloadRegisters)->trigger();
         return c.rangeSheet();
     },
     true},
    {"progress sheet",
     [](AppController& c) -> QWidget* {
         c.progressSheet()->begin(RegisterTransfers::tr("Downloading registers"), {0, 299});
         c.progressSheet()->showProgress(RegisterTransfers::tr("Downloading register %1"), 65535);
         return c.progressSheet();
     },
     true},
    {"alert",
     [](AppController& c) -> QWidget* {
         return c.alerts()->showGenericError(OtherPortDialog::tr("It is not a terminal device."));
     }},
    {"unsaved changes",
     [](AppController& c) -> QWidget* {
         c.registerEditor()->store({{3, RegisterEntry{}}}, "Insert");
         c.window()->action(Command::DownloadRegisters)->trigger();
         return c.alerts()->current();
     }},
    {"other port",
     [](AppController& c) -> QWidget* {
         c.portChooser()->askForPath();
         return shownDialog<OtherPortDialog>(c);
     }},
    {"register number",
     [](AppController& c) -> QWidget* {
         c.window()->action(Command::InsertRegister)->trigger();
         return shownDialog<QInputDialog>(c);
     }},
    {"offset registers",
     [](AppController& c) -> QWidget* {
         return opened(new OffsetRegistersDialog(c.window(), OffsetChoice{}));
     }},
    {"device information",
     [](AppController& c) -> QWidget* {
         auto* dialog = new DeviceInformationDialog(c.window());
         dialog->showInformation({"2.10", 1, 65535});
         return opened(dialog);
     }},
    {"snapshots",
     [](AppController& c) -> QWidget* {
         const SnapshotInfo snapshot{
             "/tmp/s.vg2", "VRG-500 Simulator", {0, 299}, 300, "2026-12-07 22:58:14"};
         return opened(new SnapshotDialog(c.window(), {snapshot}));
     }},
    {"comparison",
     [](AppController& c) -> QWidget* {
         return opened(new ComparisonDialog(c.window(), someDifferences(), 0, 299));
     }},
    {"toolbar", [](AppController& c) -> QWidget* { return c.window()->toolbar(); }, false, false},
    {"status bar",
     [](AppController& c) -> QWidget* {
         c.tableModel()->storeRegister(3, RegisterEntry{});
         c.editCommands()->selectAllRegisters();
         return c.window()->statusBar();
     },
     false, false},
};

// The controls a person reads or uses in `part`: each whole, inside the window, and over no
// other; the window, when `wholeWindow`, as large as its contents ask.
void checkLayout(QWidget* part, bool wholeWindow) {
    QWidget* window = part->window();
    std::vector<QWidget*> controls;
    for (QWidget* w : part->findChildren<QWidget*>()) {
        const bool inSpinBox = qobject_cast<QAbstractSpinBox*>(w->parentWidget()) != nullptr;
        if (w->isVisible() && !inSpinBox &&
            (qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w) ||
             qobject_cast<QComboBox*>(w) || qobject_cast<QLineEdit*>(w) ||
             qobject_cast<QAbstractSpinBox*>(w))) {
            controls.push_back(w);
        }
    }
    QVERIFY(!controls.empty());
    if (wholeWindow) {
        // A window of wrapped text is as high as the text needs at its width.
        const int height = window->hasHeightForWidth() ? window->heightForWidth(window->width())
                                                       : window->sizeHint().height();
        QVERIFY2(window->width() >= window->sizeHint().width() && window->height() >= height,
                 qPrintable(QString("%1x%2 < %3x%4")
                                .arg(window->width())
                                .arg(window->height())
                                .arg(window->sizeHint().width())
                                .arg(window->sizeHint().height())));
    }
    for (QWidget* w : controls) {
        const QString name =
            QString("%1 \"%2\"").arg(w->metaObject()->className(), w->property("text").toString());
        const QRect area(w->mapTo(window, QPoint(0, 0)), w->size());
        QVERIFY2(window->rect().contains(area), qPrintable(name));
        auto* label = qobject_cast<QLabel*>(w);
        if (label != nullptr && label->wordWrap()) {
            QVERIFY2(w->height() >= label->heightForWidth(w->width()), qPrintable(name));
        } else {
            QVERIFY2(w->width() >= w->sizeHint().width(), qPrintable(name));
        }
        QVERIFY2(w->height() >= w->minimumSizeHint().height(), qPrintable(name));
        for (QWidget* other : controls) {
            const QRect otherArea(other->mapTo(window, QPoint(0, 0)), other->size());
            QVERIFY2(other == w || other->isAncestorOf(w) || w->isAncestorOf(other) ||
                         !area.intersects(otherArea),
                     qPrintable(name));
        }
    }
}

// Makes `window` the active window (which takes the keys), as a click on it would.
bool activate(QWidget* window) {
    window->activateWindow();
    return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; });
}

// Presses F1 in the main window and gives the help window it made active.
HelpViewer* pressHelpKey(AppController& controller) {
    if (!activate(controller.window())) {
        return nullptr;
    }
    QTest::keyClick(controller.window(), Qt::Key_F1);
    HelpViewer* viewer = controller.helpMenu()->viewer();
    return viewer != nullptr &&
                   QTest::qWaitFor([viewer] { return QApplication::activeWindow() == viewer; })
               ? viewer
               : nullptr;
}

} // namespace

Q_DECLARE_METATYPE(std::optional<SerialPortList>)

class MainWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir _settings;
    std::optional<SerialPortList> _ports; // what the port lister reports now

    AppController::PortLister lister() {
        return [this] { return _ports; };
    }

  private slots:
    void initTestCase() {
        useTemporarySettings(_settings);
        // Where the build puts the manual, as a system's data folder holds it installed.
        qputenv("XDG_DATA_DIRS", TAVREL_BUILT_DATA_DIR);
    }
    void init() {
        clearSettings();
        _ports = SerialPortList{};
    }

    // Which port a fresh start lists and selects; the start writes no setting.
    void startUp_data() {
        QTest::addColumn<std::optional<SerialPortList>>("ports");
        QTest::addColumn<QVariant>("setting");
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QString>("selected");
        QTest::newRow("no ports") << std::optional(SerialPortList{}) << QVariant() << QStringList()
                                  << "";
        QTest::newRow("enumeration failed")
            << std::optional<SerialPortList>() << QVariant() << QStringList() << "";
        QTest::newRow("case-sensitive order, first selected")
            << std::optional(portsNamed({"ttyUSB0", "ttyS0", "beta", "Zeta", "Alpha"}))
            << QVariant() << QStringList{"Alpha", "Zeta", "beta", "ttyS0", "ttyUSB0"} << "Alpha";
        QTest::newRow("setting present")
            << std::optional(portsNamed({"ttyS0", "ttyUSB0"})) << QVariant("ttyUSB0")
            << QStringList{"ttyS0", "ttyUSB0"} << "ttyUSB0";
        QTest::newRow("setting absent from the list")
            << std::optional(portsNamed({"ttyS1", "ttyS0"})) << QVariant("ttyUSB3")
            << QStringList{"ttyS0", "ttyS1"} << "ttyS0";
        QTest::newRow("setting matches only in case")
            << std::optional(portsNamed({"ttyS0", "ttyS1"})) << QVariant("TTYS1")
            << QStringList{"ttyS0", "ttyS1"} << "ttyS0";
    }
    void startUp() {
        QFETCH(std::optional<SerialPortList>, ports);
        QFETCH(QVariant, setting);
        QFETCH(QStringList, listed);
        QFETCH(QString, selected);
        if (setting.isValid()) {
            QSettings().setValue(SelectedSerialPortKey, setting);
        }
        _ports = ports;
        AppController controller(lister());
        QComboBox* popUp = controller.portChooser()->popUp();
        QStringList titles;
        for (int i = 0; i < popUp->count() && !popUp->itemData(i).toString().isEmpty(); ++i) {
            titles << popUp->itemText(i);
            QCOMPARE(popUp->itemData(i).toString(), "/dev/" + titles.last());
        }
        QCOMPARE(titles, listed);
        QCOMPARE(popUp->itemText(popUp->count() - 1), OtherPortItemTitle); // after a separator
        QCOMPARE(popUp->count(), listed.size() + 2);
        QCOMPARE(popUp->currentText(), selected);
        QVERIFY(popUp->isEnabled()); // "Other Port…" can be chosen even with no ports
        QCOMPARE(popUp->placeholderText(), listed.isEmpty() ? "No serial ports" : "");
        QCOMPARE(controller.tableModel()->rowCount(), 0);
        QCOMPARE(storedChoice(), setting);
    }

    // Ports come and go under one window; a person chooses now and then. Only the choice is
    // written, and it comes back into the pop-up whenever its port does.
    void hotPlugRebuilds() {
        struct Step {
            QStringList ports;
            const char* chosen; // by a person, after the rebuild
            const char* selected;
            const char* stored;
        };
        const Step steps[] = {
            {{"ttyUSB0", "ttyUSB1"}, nullptr, "ttyUSB0", nullptr},
            {{"ttyUSB0", "ttyUSB1", "ttyACM0"}, nullptr, "ttyACM0", nullptr}, // a new first port
            {{"ttyUSB0", "ttyUSB1", "ttyACM0"}, "ttyUSB1", "ttyUSB1", "ttyUSB1"},
            {{"ttyUSB0", "ttyUSB1", "Alpha"}, nullptr, "ttyUSB1", "ttyUSB1"},
            {{"ttyUSB0", "Alpha"}, nullptr, "Alpha", "ttyUSB1"},     // the chosen port leaves
            {{"ttyUSB0", "ttyUSB1"}, nullptr, "ttyUSB1", "ttyUSB1"}, // and comes back
            {{}, nullptr, "", "ttyUSB1"},
            {{"ttyS9"}, nullptr, "ttyS9", "ttyUSB1"},
        };
        AppController controller(lister());
        QComboBox* popUp = controller.portChooser()->popUp();
        for (const Step& step : steps) {
            _ports = portsNamed(step.ports);
            controller.updateSerialPortsPopup();
            if (step.chosen) {
                popUp->setCurrentIndex(popUp->findText(step.chosen));
                emit popUp->activated(popUp->currentIndex());
            }
            const QString context = step.ports.join(' ');
            QVERIFY2(popUp->currentText() == step.selected, qPrintable(context));
            QVERIFY2(storedChoice() == (step.stored ? QVariant(step.stored) : QVariant()),
                     qPrintable(context));
            QCOMPARE(popUp->count(), step.ports.size() + 2); // and "Other Port…"
        }
    }

    // The four situations, reached one after another on one window: the commands follow every
    // change of the ports and the collection, in the toolbar and in the menus.
    void enablingRules() {
        AppController controller(lister());
        AppController& app = controller;
        struct Situation {
            bool port, registers, download, upload, menus, save;
        };
        const Situation situations[] = {{true, false, true, false, true, false},
                                        {true, true, true, true, true, true},
                                        {false, true, false, false, false, true},
                                        {false, false, false, false, false, false}};
        for (const Situation& s : situations) {
            _ports = s.port ? portsNamed({"ttyS0"}) : SerialPortList{};
            controller.updateSerialPortsPopup();
            if (s.registers && app.tableModel()->registers().empty()) {
                controller.tableModel()->storeRegister(3, RegisterEntry{});
            } else if (!s.registers) {
                controller.tableModel()->removeAllRegisters();
            }
            const std::pair<QAction*, bool> expected[] = {
                {app.window()->action(Command::DownloadRegisters), s.download},
                {app.window()->action(Command::UploadRegisters), s.upload},
                {app.window()->action(Command::DownloadMenuSettings), s.menus},
                {app.window()->action(Command::UploadMenuSettings), s.menus},
                {app.window()->action(Command::Save), s.save},
                {app.window()->action(Command::Open), true},
                {app.window()->action(Command::ShowVersion), true},
                {app.window()->action(Command::AboutQt), true},
            };
            for (bool menusOpened : {false, true}) { // at once, and when a menu opens
                for (QMenu* menu : controller.window()->menuBar()->findChildren<QMenu*>()) {
                    if (menusOpened) {
                        emit menu->aboutToShow();
                    }
                }
                for (const auto& [action, enabled] : expected) {
                    QVERIFY2(action->isEnabled() == enabled, qPrintable(action->text()));
                    QWidget* button = controller.window()->toolbar()->widgetForAction(action);
                    QVERIFY(action == app.window()->action(Command::ShowVersion) ||
                            action == app.window()->action(Command::AboutQt) ||
                            button->isEnabled() == enabled);
                }
            }
        }
    }

    // Against the simulated device: its version, trimmed. Without a connection: tst_device_jobs.
    void versionCommand_data() {
        QTest::addColumn<QByteArray>("deviceVersion");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain") << QByteArray("2.10") << "Version: 2.10";
        QTest::newRow("blanks around, one inside") << QByteArray(" \tV 2\t ") << "Version: V 2";
        QTest::newRow("Latin-1 byte")
            << QByteArray("2.1\xb5") << QString::fromUtf8("Version: 2.1\u00b5");
    }
    void versionCommand() {
        QFETCH(QByteArray, deviceVersion);
        QFETCH(QString, shown);
        Vrg500Simulator simulator;
        QVERIFY(simulator.start());
        simulator.setVersion(deviceVersion.toStdString());
        auto controller = makeController(simulator.slavePath());
        controller->window()->action(Command::ShowVersion)->trigger();
        expectAlert(*controller, "VRG-500", shown, false);
    }

    // A single register fills the bar from empty to full; the bar never has a range of no
    // length, which draws nothing or the toolkit's busy bar.
    void progressOfOneRegister() {
        Vrg500Simulator simulator;
        QVERIFY(simulator.start());
        auto controller = makeController(simulator.slavePath());
        QProgressBar* bar = controller->progressSheet()->bar();
        QList<int> percents;
        QObject::connect(bar, &QProgressBar::valueChanged, bar, [bar, &percents](int value) {
            QVERIFY(bar->maximum() > bar->minimum());
            percents.append(100 * (value - bar->minimum()) / (bar->maximum() - bar->minimum()));
        });
        QDialog* sheet = controller->progressSheet();
        controller->registerTransfers()->downloadRange(tavrel::records::RegisterRange{5, 5});
        QVERIFY(QTest::qWaitFor([sheet] { return sheet->isVisible(); }));
        QVERIFY(QTest::qWaitFor([sheet] { return !sheet->isVisible(); }));
        QCOMPARE(controller->tableModel()->registers().size(), size_t(1));
        QCOMPARE(percents.value(0, -1), 0);
        QCOMPARE(percents.last(), 100);
    }

    // New and Close take the platform's keys (Ctrl+N, Ctrl+W here), and no two commands share a
    // shortcut.
    void shortcutsAreTheirsAlone() {
        AppController controller(lister());
        QCOMPARE(controller.window()->action(Command::New)->shortcut(),
                 QKeySequence(QKeySequence::New));
        QCOMPARE(controller.window()->action(Command::Close)->shortcut(),
                 QKeySequence(QKeySequence::Close));
        QMap<QString, QString> owners;
        for (const auto& [command, action] : controller.window()->actions()) {
            for (const QKeySequence& key : action->shortcuts()) {
                const QString text = key.toString();
                QVERIFY2(!owners.contains(text),
                         qPrintable(text + ": " + owners.value(text) + ", " + action->text()));
                owners[text] = action->text();
            }
        }
        QVERIFY(owners.contains("Ctrl+N") && owners.contains("Ctrl+W"));
    }

    // The window can be made larger or smaller both ways; the first start shows every toolbar
    // item, and every later one puts the window where it was when it last closed.
    void windowGeometryIsKept() {
        QRect closedAt;
        for (int start = 0; start < 2; ++start) {
            AppController controller(lister());
            MainWindow* window = controller.window();
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window));
            QCOMPARE(window->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
            QVERIFY(window->minimumSizeHint().width() < window->width());
            if (start == 0) {
                for (QAction* action : window->toolbar()->actions()) {
                    QVERIFY(window->toolbar()->widgetForAction(action)->isVisible());
                }
                window->setGeometry(window->geometry().adjusted(20, 30, 260, 140));
                QTRY_VERIFY(window->width() > window->toolbar()->sizeHint().width() + 200);
                closedAt = window->geometry();
                window->close();
            } else {
                QCOMPARE(window->geometry(), closedAt);
            }
        }
    }

    // The status bar names the port chosen, counts the registers (a download's as they arrive)
    // and the registers selected.
    void statusBarFollowsPortTableAndSelection() {
        Vrg500Simulator simulator;
        QVERIFY(simulator.start());
        _ports = SerialPortList{{"ttySIM0", {simulator.slavePath()}}};
        AppController controller(lister());
        controller.window()->show();
        WindowStatusBar* status = controller.window()->statusLine();
        auto texts = [status] {
            return QStringList{
                status->portLabel()->text(), status->countLabel()->text(),
                status->selectionLabel()->isVisible() ? status->selectionLabel()->text() : "-"};
        };
        QCOMPARE(texts(), QStringList({"ttySIM0", "0 registers", "-"}));
        controller.registerTransfers()->downloadRange(tavrel::records::RegisterRange{5, 9});
        awaitTransferEnd(controller, 10000);
        QCOMPARE(texts(), QStringList({"ttySIM0", "5 registers", "-"}));
        controller.editCommands()->selectAllRegisters();
        QCOMPARE(texts(), QStringList({"ttySIM0", "5 registers", "5 selected"}));
        controller.editCommands()->selectRegisters({6, 8});
        QCOMPARE(texts(), QStringList({"ttySIM0", "5 registers", "2 selected"}));
        controller.registerEditor()->remove({6}, "Delete");
        QCOMPARE(texts().mid(1), QStringList({"4 registers", "1 selected"}));
        _ports = SerialPortList{};
        controller.updateSerialPortsPopup();
        QCOMPARE(texts().first(), "No serial port");
        controller.tableModel()->removeAllRegisters();
        QCOMPARE(texts().mid(1), QStringList({"0 registers", "-"}));
    }

    // Every sheet and dialog lays itself out at the default font, at twice its size and in a
    // language 40% longer: each control at least as wide as its text needs, whole, inside its
    // window and over no other; the window as large as its contents ask. The sheets offer nothing
    // to maximise or minimise.
    void dialogsLayOutAtAnyFontAndTextLength_data() {
        QTest::addColumn<int>("dialog");
        QTest::addColumn<double>("scale");
        QTest::addColumn<bool>("longer");
        for (int i = 0; i < int(std::size(Dialogs)); ++i) {
            QTest::addRow("%s, default", Dialogs[i].name) << i << 1.0 << false;
            QTest::addRow("%s, twice the font", Dialogs[i].name) << i << 2.0 << false;
            QTest::addRow("%s, longer texts", Dialogs[i].name) << i << 1.0 << true;
        }
    }
    void dialogsLayOutAtAnyFontAndTextLength() {
        QFETCH(int, dialog);
        QFETCH(double, scale);
        QFETCH(bool, longer);
        const DialogCase& dialogCase = Dialogs[dialog];
        const QFont original = QApplication::font();
        QFont font = original;
        font.setPointSizeF(original.pointSizeF() * scale);
        QApplication::setFont(font);
        LongerTranslation translation;
        if (longer) {
            QCoreApplication::installTranslator(&translation);
        }
        _ports = portsNamed({"VRG-500 Simulator"});
        {
            AppController controller(lister());
            controller.window()->show();
            QVERIFY(QTest::qWaitForWindowExposed(controller.window()));
            QWidget* shown = dialogCase.open(controller);
            QVERIFY(shown != nullptr);
            QVERIFY(QTest::qWaitForWindowExposed(shown->window()));
            checkLayout(shown, dialogCase.wholeWindow);
            if (dialogCase.sheet) {
                const Qt::WindowFlags flags = shown->windowFlags();
                QVERIFY(flags.testFlag(Qt::CustomizeWindowHint)); // no buttons of the system's own
                QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
                QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
                QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint)); // which cancels
            }
            controller.cancelProgressSheet();
            controller.progressSheet()->end();
        }
        QCoreApplication::removeTranslator(&translation);
        QApplication::setFont(original);
    }

    // The about box shows the copyright, the credit and Qt's licence a line each, even on a small
    // screen.
    void aboutBoxFitsTheCopyrightLine() {
        AppController controller(lister());
        controller.window()->show();
        controller.showAboutPanel();
        QMessageBox* box = controller.alerts()->current();
        QVERIFY(box != nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(box));
        auto* label = box->findChild<QLabel*>("qt_msgbox_informativelabel");
        QVERIFY(label != nullptr);
        const QFontMetrics metrics(label->font());
        const QStringList lines = box->informativeText().split('\n');
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].startsWith("Copyright"));
        QVERIFY(lines[2].contains("GNU LGPL"));
        QVERIFY(label->width() >= metrics.horizontalAdvance(lines[0]));
        // As high as the text is on a line of any length: no line wraps.
        QCOMPARE(label->heightForWidth(label->width()), label->heightForWidth(10000));
    }

    // F1 shows the manual in a window of its own; F1 again brings the same window back up.
    void helpKeyShowsTheManual() {
        AppController controller(lister());
        controller.window()->show();
        HelpViewer* viewer = pressHelpKey(controller);
        QVERIFY(viewer != nullptr);
        QCOMPARE(viewer->browser()->source().fileName(), QString("tavrel-help.html"));
        QCOMPARE(viewer->windowTitle(), QString("Tavrel Help"));
        QVERIFY(viewer->browser()->toPlainText().contains("Keyboard shortcuts"));
        QCOMPARE(pressHelpKey(controller), viewer);
        QCOMPARE(controller.window()->findChildren<HelpViewer*>().size(), 1);
    }

    // A link within the manual goes to its place there, and Alt+Left comes back; a link to the
    // web goes to the desktop's browser. Every link within the manual has its place.
    void manualLinks_data() {
        QTest::addColumn<QUrl>("link");
        QTest::addColumn<bool>("withinManual");
        QTest::newRow("within") << QUrl("#trouble") << true;
        QTest::newRow("web") << QUrl("https://download.qt.io/") << false;
    }
    void manualLinks() {
        QFETCH(QUrl, link);
        QFETCH(bool, withinManual);
        AppController controller(lister());
        QList<QUrl> opened;
        controller.helpMenu()->setUrlOpener([&opened](const QUrl& url) {
            opened << url;
            return true;
        });
        controller.window()->show();
        HelpViewer* viewer = pressHelpKey(controller);
        QVERIFY(viewer != nullptr);
        QTextBrowser* browser = viewer->browser();
        QStringList places;
        QStringList links;
        for (QTextBlock block = browser->document()->begin(); block.isValid();
             block = block.next()) {
            for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
                const QTextCharFormat format = fragment.fragment().charFormat();
                places << format.anchorNames();
                if (format.anchorHref().startsWith('#')) {
                    links << format.anchorHref().mid(1);
                }
            }
        }
        QVERIFY(links.size() > 10);
        for (const QString& target : links) {
            QVERIFY2(places.contains(target), qPrintable(target));
        }

        emit browser->anchorClicked(link);
        QCOMPARE(opened, withinManual ? QList<QUrl>() : QList<QUrl>{link});
        QCOMPARE(browser->source().fragment(), link.fragment());
        QCOMPARE(viewer->backAction()->isEnabled(), withinManual);
        if (withinManual) {
            QTRY_VERIFY(browser->verticalScrollBar()->value() > 0);
            QTest::keyClick(viewer, Qt::Key_Left, Qt::AltModifier);
            QTRY_COMPARE(browser->verticalScrollBar()->value(), 0);
            QVERIFY(browser->source().fragment().isEmpty());
        }
    }

    // Without the manual, the help window says so and where it looked.
    void missingManualIsExplained() {
        AppController controller(lister());
        const QStringList places{_settings.filePath("nowhere/tavrel-help.html"),
                                 _settings.filePath("elsewhere/tavrel-help.html")};
        controller.helpMenu()->setManualPlaces(places);
        controller.showHelpText();
        HelpViewer* viewer = controller.helpMenu()->viewer();
        QVERIFY(viewer != nullptr && viewer->isVisible());
        const QString text = viewer->browser()->toPlainText();
        QVERIFY2(text.contains("could not be found"), qPrintable(text));
        for (const QString& place : places) {
            QVERIFY2(text.contains(place), qPrintable(place));
        }
    }

    // The manual names every command of the menus as the menus do: a command added to a menu
    // needs its place in the manual.
    void manualNamesEveryMenuCommand() {
        AppController controller(lister());
        QList<QAction*> commands;
        collectMenuActions(controller.window()->menuBar()->actions(), commands);
        commands << controller.window()->action(Command::CompareSelected);
        QVERIFY(commands.contains(controller.window()->action(Command::AboutQt)));
        controller.showHelpText();
        const QString manual = controller.helpMenu()->viewer()->browser()->toPlainText();
        for (QAction* command : commands) {
            const QString text = command->text().remove('&').section('\t', 0, 0);
            QVERIFY2(manual.contains(text), qPrintable(text));
        }
    }

    void closingTheMainWindowQuits() {
        AppController controller(lister());
        QSignalSpy terminating(&controller, &AppController::applicationWillTerminate);
        controller.window()->show();
        controller.alerts()->showGenericError({});
        controller.alerts()->current()->close();
        controller.rangeSheet()->open();
        controller.rangeSheet()->close();
        QCOMPARE(terminating.count(), 0); // closing an alert or a sheet does not quit
        controller.window()->close();
        QCOMPARE(terminating.count(), 1);
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_MainWindow.moc"
