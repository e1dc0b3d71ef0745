// The main window: start-up state, the toolbar's items and order, the fixed width, the enabling
// of the commands in toolbar and menus, closing, the about box and the help document.
#include "AppTestSupport.h"
#include "RegisterTableModel.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>

using namespace AppTestSupport;

namespace {

RegisterEntry sampleEntry() {
    RegisterEntry entry;
    entry.reg.inA = {1, 2, 3, 4, 0, 0};
    return entry;
}

bool toolbarShowsEnabled(const AppController& controller, QAction* action) {
    QWidget* button = controller.mainToolbar()->widgetForAction(action);
    return button != nullptr && button->isEnabled();
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { useTemporarySettings(_settings); }
    void init() {
        clearSettings();
        _ports.set(SerialPortList{});
    }

    void startsWithoutPorts() {
        _ports.set(SerialPortList{});
        AppController controller(_ports.lister());
        QComboBox* popUp = controller.serialPopUpButton;
        QCOMPARE(popUp->count(), 0);
        QCOMPARE(popUp->currentIndex(), -1);
        QCOMPARE(popUp->placeholderText(), QString("No serial ports"));
        QVERIFY(!popUp->isEnabled());
        QVERIFY(controller.importedRegisters.empty());
        QCOMPARE(controller.tableModel()->rowCount(), 0);
        QVERIFY(controller.filename.isNull());
        QVERIFY(!controller.cancelledProgressSheet);
    }

    void failedEnumerationLooksLikeNoPorts() {
        _ports.set(std::nullopt);
        AppController controller(_ports.lister());
        QCOMPARE(controller.serialPopUpButton->count(), 0);
        QVERIFY(!controller.serialPopUpButton->isEnabled());
        QVERIFY(!controller.downloadRegistersAction->isEnabled());
    }

    void startsWithPorts() {
        _ports.set(SerialPortList{{"ttyUSB0", "/dev/ttyUSB0"}, {"ttyS0", "/dev/ttyS0"}});
        AppController controller(_ports.lister());
        QComboBox* popUp = controller.serialPopUpButton;
        QVERIFY(popUp->isEnabled());
        QCOMPARE(popUp->count(), 2);
        QCOMPARE(popUp->currentText(), QString("ttyS0"));
        QCOMPARE(popUp->currentData().toString(), QString("/dev/ttyS0"));
        QVERIFY(!QSettings().contains(SelectedSerialPortKey));
    }

    void toolbarItemsInOrder() {
        AppController controller(_ports.lister());
        QToolBar* toolbar = controller.mainToolbar();
        QCOMPARE(toolbar->objectName(), QString("mainToolbar"));
        QVERIFY(!toolbar->isMovable());
        QVERIFY(!toolbar->isFloatable());
        QCOMPARE(toolbar->contextMenuPolicy(), Qt::PreventContextMenu);
        QCOMPARE(toolbar->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        const QList<QAction*> items = toolbar->actions();
        QCOMPARE(items.size(), 8);
        QCOMPARE(controller.toolbarItemIdentifier(items[0]),
                 QString(SerialPortsToolbarItemIdentifier));
        QVERIFY(toolbar->widgetForAction(items[0])->isAncestorOf(controller.serialPopUpButton));
        QVERIFY(items[1]->isSeparator());

        struct Expected {
            const char* identifier;
            const char* label;
            const char* paletteLabel;
            const char* toolTip;
        };
        const Expected expected[] = {
            {OpenFileToolbarItemIdentifier, "Open File", "Open File", "Open a .vg2 file"},
            {SaveFileToolbarItemIdentifier, "Save File", "Save File",
             "Save the registers to a .vg2 file"},
            {DownloadRegistersToolbarItemIdentifier, "Download Registers", "Download Registers",
             "Download registers from the VRG-500"},
            {UploadRegistersToolbarItemIdentifier, "Upload Registers", "Upload Registers",
             "Upload registers to the VRG-500"},
            {DownloadMenuSettingsToolbarItemIdentifier, "Download Menu", "Download Menu Settings",
             "Download menu settings from the VRG-500"},
            {UploadMenuSettingsToolbarItemIdentifier, "Upload Menu", "Upload Menu Settings",
             "Upload menu settings to the VRG-500"},
        };
        for (int i = 0; i < 6; ++i) {
            QAction* item = items[i + 2];
            auto* button = qobject_cast<QToolButton*>(toolbar->widgetForAction(item));
            QVERIFY(button != nullptr);
            QCOMPARE(controller.toolbarItemIdentifier(item), QString(expected[i].identifier));
            QCOMPARE(button->text(), QString(expected[i].label));
            QCOMPARE(button->accessibleName(), QString(expected[i].paletteLabel));
            QCOMPARE(item->toolTip(), QString(expected[i].toolTip));
            QVERIFY(!item->icon().isNull());
        }
        QWidget* portItem = toolbar->widgetForAction(items[0]);
        QCOMPARE(portItem->accessibleName(), QString("Serial Port"));
        QCOMPARE(portItem->toolTip(), QString("The serial port for the VRG-500"));
        QCOMPARE(controller.serialPopUpButton->minimumSize(),
                 controller.serialPopUpButton->maximumSize());
    }

    void widthIsFixedAtTheNarrowestShowingEveryItem() {
        AppController controller(_ports.lister());
        QMainWindow* window = controller.mainWindow;
        QCOMPARE(window->minimumWidth(), window->maximumWidth());
        QCOMPARE(window->width(), window->minimumWidth());
        QVERIFY(window->minimumHeight() < window->maximumHeight());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QCOMPARE(hiddenToolbarItems(controller), 0);

        // One unit narrower pushes an item out of the bar.
        const int width = window->width();
        window->setMinimumWidth(0);
        window->resize(width - 1, window->height());
        window->layout()->activate();
        controller.mainToolbar()->layout()->activate();
        QVERIFY(hiddenToolbarItems(controller) > 0);
    }

    void enablingRules_data() {
        QTest::addColumn<bool>("port");
        QTest::addColumn<bool>("registers");
        QTest::addColumn<bool>("download");
        QTest::addColumn<bool>("upload");
        QTest::addColumn<bool>("menus");
        QTest::addColumn<bool>("save");
        QTest::newRow("no port, no registers")
            << false << false << false << false << false << false;
        QTest::newRow("port, no registers") << true << false << true << false << true << false;
        QTest::newRow("port and registers") << true << true << true << true << true << true;
        QTest::newRow("registers, no port") << false << true << false << false << false << true;
    }

    void enablingRules() {
        QFETCH(bool, port);
        QFETCH(bool, registers);
        QFETCH(bool, download);
        QFETCH(bool, upload);
        QFETCH(bool, menus);
        QFETCH(bool, save);
        if (port) {
            _ports.set(SerialPortList{{"ttyS0", "/dev/ttyS0"}});
        }
        AppController controller(_ports.lister());
        if (registers) {
            controller._storeRegister(3, sampleEntry());
        }
        // The menus re-check when they open.
        for (QMenu* menu : controller.mainWindow->menuBar()->findChildren<QMenu*>()) {
            emit menu->aboutToShow();
        }
        const std::pair<QAction*, bool> expected[] = {
            {controller.downloadRegistersAction, download},
            {controller.uploadRegistersAction, upload},
            {controller.downloadMenuSettingsAction, menus},
            {controller.uploadMenuSettingsAction, menus},
            {controller.saveAction, save},
            {controller.openAction, true},
            {controller.showVersionAction, true},
            {controller.helpAction, true},
            {controller.aboutAction, true},
            {controller.quitAction, true},
        };
        for (const auto& [action, enabled] : expected) {
            QCOMPARE(action->isEnabled(), enabled);
            QCOMPARE(controller.validateMenuItem(action), enabled);
            QString identifier = controller.toolbarItemIdentifier(action);
            if (!identifier.isEmpty()) {
                QCOMPARE(controller.validateToolbarItem(identifier), enabled);
                QCOMPARE(toolbarShowsEnabled(controller, action), enabled);
            }
        }
        QVERIFY(controller.validateToolbarItem(SerialPortsToolbarItemIdentifier));
    }

    void everyCommandIsInAMenu() {
        AppController controller(_ports.lister());
        QList<QAction*> inMenus;
        for (QMenu* menu : controller.mainWindow->menuBar()->findChildren<QMenu*>()) {
            inMenus += menu->actions();
        }
        for (QAction* action :
             {controller.openAction, controller.saveAction, controller.quitAction,
              controller.downloadRegistersAction, controller.uploadRegistersAction,
              controller.downloadMenuSettingsAction, controller.uploadMenuSettingsAction,
              controller.showVersionAction, controller.helpAction, controller.aboutAction}) {
            QVERIFY2(inMenus.contains(action), qPrintable(action->text()));
        }
        QCOMPARE(controller.openAction->shortcut(), QKeySequence(QKeySequence::Open));
        QCOMPARE(controller.saveAction->shortcut(), QKeySequence(QKeySequence::Save));
        QCOMPARE(controller.quitAction->shortcut(), QKeySequence(QKeySequence::Quit));
    }

    void enablingFollowsTheCollectionAndThePorts() {
        AppController controller(_ports.lister());
        QVERIFY(!controller.saveAction->isEnabled());
        controller._storeRegister(1, sampleEntry());
        QVERIFY(controller.saveAction->isEnabled());
        QVERIFY(!controller.uploadRegistersAction->isEnabled());
        _ports.set(SerialPortList{{"ttyS0", "/dev/ttyS0"}});
        controller.updateSerialPortsPopup();
        QVERIFY(controller.uploadRegistersAction->isEnabled());
        controller._removeAllRegisters();
        QVERIFY(!controller.saveAction->isEnabled());
        QVERIFY(!controller.uploadRegistersAction->isEnabled());
        _ports.set(SerialPortList{});
        controller.updateSerialPortsPopup();
        QVERIFY(!controller.downloadRegistersAction->isEnabled());
    }

    void closingTheMainWindowQuits() {
        AppController controller(_ports.lister());
        QSignalSpy terminating(&controller, &AppController::applicationWillTerminate);
        controller.mainWindow->show();

        controller._showError(nullptr);
        QVERIFY(controller.currentAlert() != nullptr);
        controller.currentAlert()->close();
        controller.rangeSheet->open();
        controller.rangeSheet->close();
        controller.windowWillClose(controller.rangeSheet);
        QCOMPARE(terminating.count(), 0);

        controller.mainWindow->close();
        QCOMPARE(terminating.count(), 1);
    }

    void quitCommandClosesTheMainWindow() {
        AppController controller(_ports.lister());
        QSignalSpy terminating(&controller, &AppController::applicationWillTerminate);
        controller.mainWindow->show();
        controller.quitAction->trigger();
        QCOMPARE(terminating.count(), 1);
        QVERIFY(!controller.mainWindow->isVisible());
    }

    void aboutBoxShowsCopyrightAndCredit() {
        AppController controller(_ports.lister());
        controller.mainWindow->show();
        controller.aboutAction->trigger();
        QMessageBox* box = controller.currentAlert();
        QVERIFY(box != nullptr);
        QCOMPARE(box->windowModality(), Qt::WindowModal);
        QStringList lines = box->informativeText().split('\n');
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[0].startsWith(QString::fromUtf8("Copyright \u00a9")));
        QVERIFY(!lines[1].isEmpty());
        dismissAlert(controller);
    }

    void helpOpensTheDocumentInTheDesktopViewer() {
        AppController controller(_ports.lister());
        QList<QUrl> opened;
        controller.setUrlOpener([&opened](const QUrl& url) {
            opened << url;
            return true;
        });
        controller.helpAction->trigger();
        QCOMPARE(opened.size(), 1);
        QVERIFY(opened[0].isLocalFile());
        QCOMPARE(opened[0].toLocalFile(), controller.helpDocumentPath());
        QVERIFY(opened[0].fileName() == "Mac Tavrel Help.html");
        QFile document(opened[0].toLocalFile());
        QVERIFY(document.open(QIODevice::ReadOnly));
        QVERIFY(document.readAll().contains("<title>Tavrel Help</title>"));
    }

  private:
    static int hiddenToolbarItems(const AppController& controller) {
        int hidden = 0;
        for (QAction* action : controller.mainToolbar()->actions()) {
            QWidget* widget = controller.mainToolbar()->widgetForAction(action);
            hidden += widget == nullptr || widget->isHidden() ? 1 : 0;
        }
        return hidden;
    }

    QTemporaryDir _settings;
    FedPorts _ports;
};

QTEST_MAIN(MainWindowTest)
#include "tst_MainWindow.moc"
