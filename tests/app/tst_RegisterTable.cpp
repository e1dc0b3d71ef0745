// The register table: row order, the texts of every column, which runs are bold, that storing
// one register touches only its row, and what reaches the screen.
#include "AppTestSupport.h"
#include "RegisterTableModel.h"

#include <QScreen>
#include <QSignalSpy>
#include <QTableView>

using namespace apptest;

namespace {

using Runs = QList<CellRun>;

const VRG500_registerTime Unset{0, 0, 0, 0, 0, 1};

RegisterEntry machineA(VRG500_registerTime in, VRG500_registerTime out, std::string clip) {
    RegisterEntry entry = entryWith(0, {clip, NoClipName, NoClipName, NoClipName});
    entry.reg.inA = in;
    entry.reg.outA = out;
    return entry;
}

Runs cell(const QString& in, bool inBold, const QString& out, bool outBold, const QString& clip,
          bool clipBold) {
    return {{in, inBold}, {"\n", false}, {out, outBold}, {"\n", false}, {clip, clipBold}};
}

const QString NoTime = "**:**:**:**";

} // namespace

Q_DECLARE_METATYPE(RegisterEntry)
Q_DECLARE_METATYPE(CellRun)

class RegisterTableTest : public QObject {
    Q_OBJECT

    QTemporaryDir _settings;
    std::unique_ptr<AppController> _c;

    RegisterTableModel* model() const { return _c->tableModel(); }

  private slots:
    void initTestCase() { useTemporarySettings(_settings); }
    void init() { _c = makeController({}); }
    void cleanup() { _c.reset(); }

    void machineCells_data() {
        QTest::addColumn<RegisterEntry>("entry");
        QTest::addColumn<Runs>("runs");
        VRG500_registerTime dropFrame = time(10, 0, 0, 2);
        dropFrame.dropFrame = 1;
        QTest::newRow("all set") << machineA(time(1, 2, 3, 4), time(1, 2, 9, 24), "REEL0001")
                                 << cell("01:02:03:04", true, "01:02:09:24", true, "REEL0001",
                                         true);
        QTest::newRow("drop frame, no clip")
            << machineA(dropFrame, Unset, "********")
            << cell("10:00:00;02", true, NoTime, false, "** No Clip **", false);
        QTest::newRow("IN not set, OUT set")
            << machineA(Unset, time(0, 0, 1, 0), "CLIP0002")
            << cell(NoTime, false, "00:00:01:00", true, "CLIP0002", true);
        QTest::newRow("eight spaces from the device")
            << machineA(Unset, Unset, "        ")
            << cell(NoTime, false, NoTime, false, "        ", true);
        QTest::newRow("Latin-1 clip name")
            << machineA(Unset, Unset, "CAF\xc9 \xb0\xb1!")
            << cell(NoTime, false, NoTime, false, QString::fromUtf8("CAF\u00c9 \u00b0\u00b1!"),
                    true);
    }
    void machineCells() {
        QFETCH(RegisterEntry, entry);
        QFETCH(Runs, runs);
        _c->_storeRegister(5, entry);
        QCOMPARE(model()->cellRuns(0, "A"), runs);
        for (const char* column : {"B", "C", "D"}) {
            QCOMPARE(model()->cellRuns(0, column),
                     cell(NoTime, false, NoTime, false, "** No Clip **", false));
        }
        QCOMPARE(model()->cellRuns(0, "Label"), Runs({{"IN\nOUT\nCLIP", false}}));
        QString text;
        for (const CellRun& run : runs) {
            text += run.text;
        }
        QCOMPARE(model()->data(model()->index(0, RegisterTableModel::AColumn)).toString(), text);
    }

    void rowsInOrderEachMachineWithItsOwnFields() {
        RegisterEntry entry;
        entry.reg = {time(1, 0, 0, 0),
                     time(1, 0, 0, 1),
                     time(2, 0, 0, 0),
                     time(2, 0, 0, 1),
                     time(3, 0, 0, 0),
                     time(3, 0, 0, 1),
                     time(4, 0, 0, 0),
                     time(4, 0, 0, 1),
                     0,
                     0};
        entry.clips = {"AAAAAAAA", "BBBBBBBB", "CCCCCCCC", "DDDDDDDD"};
        for (int number : {1234, 7, 42, 0, 65535}) {
            _c->_storeRegister(number, entry);
        }
        const QString numbers[] = {"000", "007", "042", "1234", "65535"};
        for (int row = 0; row < 5; ++row) {
            QCOMPARE(model()->cellText(row, "Register"), numbers[row]);
            for (int machine = 0; machine < 4; ++machine) {
                QCOMPARE(model()->cellText(row, QString(QChar('A' + machine))),
                         QString("0%1:00:00:00\n0%1:00:00:01\n%2")
                             .arg(machine + 1)
                             .arg(QString(8, QChar('A' + machine))));
            }
        }
    }

    // A new register is one inserted row, a replaced one one changed row; never a reset.
    void storingOneRegisterTouchesOnlyItsRow() {
        for (int number : {10, 20, 30}) {
            _c->_storeRegister(number, RegisterEntry{});
        }
        QSignalSpy resets(model(), &QAbstractItemModel::modelReset);
        QSignalSpy inserts(model(), &QAbstractItemModel::rowsInserted);
        QSignalSpy changes(model(), &QAbstractItemModel::dataChanged);
        _c->_storeRegister(15, RegisterEntry{});
        _c->_storeRegister(30, machineA(time(2, 0, 0, 0), Unset, "REPLACED"));
        QCOMPARE(resets.count(), 0);
        QCOMPARE(inserts.count(), 1);
        QCOMPARE(inserts[0][1].toInt(), 1);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(changes[0][0].toModelIndex().row(), 3);
        QCOMPARE(model()->cellText(3, "A"), "02:00:00:00\n**:**:**:**\nREPLACED");
    }

    // What the window shows on screen (its flushed backing store) must equal a fresh drawing
    // of the window, whether rows arrive in sight, out of sight or above the rows in sight.
    void screenFollowsTheCollection() {
        QMainWindow* window = _c->mainWindow;
        QTableView* table = _c->registerTable;
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const auto shownAsDrawn = [window] {
            QTest::qWait(20); // the view's delayed layout and the redraw it asks for
            const QImage onScreen = window->screen()->grabWindow(window->winId()).toImage();
            return onScreen.convertToFormat(QImage::Format_RGB32) ==
                   window->grab().toImage().convertToFormat(QImage::Format_RGB32);
        };
        for (int number = 1000; number < 1200; ++number) {
            _c->_storeRegister(number, machineA(time(1, 0, 0, 0), Unset, "A"));
            if (number < 1003 || number > 1196) {
                QVERIFY(shownAsDrawn());
            }
        }
        QVERIFY(table->rowAt(table->viewport()->height() - 1) < 199);
        _c->_storeRegister(5, machineA(time(2, 0, 0, 0), Unset, "FIRST"));
        QVERIFY(shownAsDrawn());
        _c->_storeRegister(1100, machineA(time(3, 0, 0, 0), Unset, "CHANGED"));
        table->scrollToBottom();
        QVERIFY(shownAsDrawn());
        QCOMPARE(table->rowAt(table->viewport()->height() - 1), 200);
    }
};

QTEST_MAIN(RegisterTableTest)
#include "tst_RegisterTable.moc"
