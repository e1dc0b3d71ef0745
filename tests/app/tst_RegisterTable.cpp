// The register table: row order, the texts of every column, which runs are bold, that storing
// one register touches only its row, and the sizes of rows and columns.
#include "AppTestSupport.h"
#include "RegisterTableModel.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QScreen>
#include <QSignalSpy>
#include <QTableView>
#include <QWindow>

using namespace AppTestSupport;

namespace {

VRG500_registerTime time(uint8_t h, uint8_t m, uint8_t s, uint8_t f, bool drop = false) {
    return {h, m, s, f, static_cast<int8_t>(drop ? 1 : 0), 0};
}

VRG500_registerTime nullTime() {
    VRG500_registerTime t;
    t.isNull = 1;
    return t;
}

RegisterEntry entryWith(VRG500_registerTime in, VRG500_registerTime out, std::string clip) {
    RegisterEntry entry;
    for (auto field : VRG500_registerTimes) {
        entry.reg.*field = nullTime();
    }
    entry.reg.inA = in;
    entry.reg.outA = out;
    entry.clips[0] = std::move(clip);
    return entry;
}

using Runs = QList<CellRun>;

} // namespace

Q_DECLARE_METATYPE(RegisterEntry)
Q_DECLARE_METATYPE(CellRun)

class RegisterTableTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { useTemporarySettings(_settings); }

    void init() {
        clearSettings();
        _controller = std::make_unique<AppController>(_ports.lister());
    }
    void cleanup() { _controller.reset(); }

    void emptyCollectionHasNoRows() { QCOMPARE(model()->rowCount(), 0); }

    void rowsInAscendingOrderWhateverTheOrderAdded() {
        for (int number : {1234, 7, 42, 0, 65535}) {
            _controller->_storeRegister(number, RegisterEntry{});
        }
        QCOMPARE(model()->rowCount(), 5);
        QStringList shown;
        for (int row = 0; row < 5; ++row) {
            shown << model()->cellText(row, "Register");
        }
        QCOMPARE(shown, QStringList({"000", "007", "042", "1234", "65535"}));
    }

    void machineCells_data() {
        QTest::addColumn<RegisterEntry>("entry");
        QTest::addColumn<Runs>("runs");
        QTest::newRow("all set") << entryWith(time(1, 2, 3, 4), time(1, 2, 9, 24), "REEL0001")
                                 << Runs{{"01:02:03:04", true},
                                         {"\n", false},
                                         {"01:02:09:24", true},
                                         {"\n", false},
                                         {"REEL0001", true}};
        QTest::newRow("drop frame") << entryWith(time(10, 0, 0, 2, true), nullTime(), "********")
                                    << Runs{{"10:00:00;02", true},
                                            {"\n", false},
                                            {"**:**:**:**", false},
                                            {"\n", false},
                                            {"** No Clip **", false}};
        QTest::newRow("IN not set, OUT set") << entryWith(nullTime(), time(0, 0, 1, 0), "CLIP0002")
                                             << Runs{{"**:**:**:**", false},
                                                     {"\n", false},
                                                     {"00:00:01:00", true},
                                                     {"\n", false},
                                                     {"CLIP0002", true}};
        QTest::newRow("eight spaces from the device")
            << entryWith(nullTime(), nullTime(), "        ")
            << Runs{{"**:**:**:**", false},
                    {"\n", false},
                    {"**:**:**:**", false},
                    {"\n", false},
                    {"        ", true}};
        QTest::newRow("Latin-1 clip name")
            << entryWith(nullTime(), nullTime(), "CAF\xc9 \xb0\xb1!")
            << Runs{{"**:**:**:**", false},
                    {"\n", false},
                    {"**:**:**:**", false},
                    {"\n", false},
                    {QString::fromUtf8("CAF\u00c9 \u00b0\u00b1!"), true}};
    }

    void machineCells() {
        QFETCH(RegisterEntry, entry);
        QFETCH(Runs, runs);
        _controller->_storeRegister(5, entry);
        QCOMPARE(model()->cellRuns(0, "A"), runs);
        // Machines B to D of this entry hold nothing.
        const Runs empty{{"**:**:**:**", false},
                         {"\n", false},
                         {"**:**:**:**", false},
                         {"\n", false},
                         {"** No Clip **", false}};
        for (const char* column : {"B", "C", "D"}) {
            QCOMPARE(model()->cellRuns(0, column), empty);
        }
        QString text;
        for (const CellRun& run : runs) {
            text += run.text;
        }
        QCOMPARE(model()->data(model()->index(0, RegisterTableModel::AColumn)).toString(), text);
    }

    void eachMachineShowsItsOwnFields() {
        RegisterEntry entry;
        const VRG500_registerTime ins[4] = {time(1, 0, 0, 0), time(2, 0, 0, 0), time(3, 0, 0, 0),
                                            time(4, 0, 0, 0)};
        entry.reg = {ins[0], time(1, 0, 0, 1),
                     ins[1], time(2, 0, 0, 1),
                     ins[2], time(3, 0, 0, 1),
                     ins[3], time(4, 0, 0, 1),
                     0,      0};
        entry.clips = {"AAAAAAAA", "BBBBBBBB", "CCCCCCCC", "DDDDDDDD"};
        _controller->_storeRegister(9, entry);
        const char* columns[] = {"A", "B", "C", "D"};
        for (int machine = 0; machine < 4; ++machine) {
            QString expected = QString("0%1:00:00:00\n0%1:00:00:01\n%2")
                                   .arg(machine + 1)
                                   .arg(QString(8, QChar('A' + machine)));
            QCOMPARE(model()->cellText(0, columns[machine]), expected);
        }
    }

    void labelAndUnknownColumns() {
        _controller->_storeRegister(1, RegisterEntry{});
        _controller->_storeRegister(2, RegisterEntry{});
        for (int row = 0; row < 2; ++row) {
            QCOMPARE(model()->cellRuns(row, "Label"), Runs({{"IN\nOUT\nCLIP", false}}));
            QCOMPARE(model()->cellRuns(row, "Register").at(0).bold, false);
        }
        QVERIFY(model()->cellRuns(0, "E").isEmpty());
        QVERIFY(model()->cellRuns(0, "register").isEmpty());
        QVERIFY(model()->cellRuns(2, "A").isEmpty());
        QCOMPARE(model()->columnCount(), 6);
        for (int column = 0; column < 6; ++column) {
            QCOMPARE(model()
                         ->headerData(column, Qt::Horizontal, RegisterTableModel::IdentifierRole)
                         .toString(),
                     RegisterTableModel::columnIdentifiers().at(column));
            QVERIFY(!(model()->flags(model()->index(0, column)) & Qt::ItemIsEditable));
        }
    }

    void storingOneRegisterTouchesOnlyItsRow() {
        for (int number : {10, 20, 30}) {
            _controller->_storeRegister(number, RegisterEntry{});
        }
        QSignalSpy resets(model(), &QAbstractItemModel::modelReset);
        QSignalSpy inserts(model(), &QAbstractItemModel::rowsInserted);
        QSignalSpy changes(model(), &QAbstractItemModel::dataChanged);

        _controller->_storeRegister(15, entryWith(time(1, 0, 0, 0), nullTime(), "NEWCLIP1"));
        QCOMPARE(resets.count(), 0);
        QCOMPARE(inserts.count(), 1);
        QCOMPARE(inserts[0][1].toInt(), 1);
        QCOMPARE(inserts[0][2].toInt(), 1);

        _controller->_storeRegister(30, entryWith(time(2, 0, 0, 0), nullTime(), "REPLACED"));
        QCOMPARE(resets.count(), 0);
        QCOMPARE(inserts.count(), 1);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(changes[0][0].toModelIndex().row(), 3);
        QCOMPARE(model()->rowCount(), 4);
        QCOMPARE(model()->cellText(3, "A"), QString("02:00:00:00\n**:**:**:**\nREPLACED"));
    }

    void wholesaleChanges() {
        _controller->_storeRegister(1, RegisterEntry{});
        RegisterCollection replacement;
        replacement.set(8, RegisterEntry{});
        replacement.set(4, RegisterEntry{});
        _controller->_replaceRegisters(replacement);
        QCOMPARE(model()->rowCount(), 2);
        QCOMPARE(model()->cellText(0, "Register"), QString("004"));
        _controller->_removeAllRegisters();
        QCOMPARE(model()->rowCount(), 0);
        QVERIFY(_controller->importedRegisters.empty());
    }

    void rowHeightAndColumnWidths() {
        QTableView* table = _controller->registerTable;
        const QFontMetrics metrics(table->font());
        const QRect unbounded(0, 0, 100000, 100000);
        const QSize label =
            metrics.boundingRect(unbounded, Qt::AlignLeft | Qt::AlignTop, "IN\nOUT\nCLIP").size();
        QVERIFY(label.height() >= 3 * metrics.height());
        _controller->_storeRegister(1, RegisterEntry{});
        QCOMPARE(table->rowHeight(0), label.height());
        QCOMPARE(table->columnWidth(RegisterTableModel::RegisterColumn),
                 metrics.boundingRect(unbounded, Qt::AlignLeft | Qt::AlignTop, "000").width() + 12);
        QCOMPARE(table->columnWidth(RegisterTableModel::LabelColumn), label.width() + 12);
        // The machine columns share the rest of the width.
        _controller->mainWindow->show();
        QVERIFY(QTest::qWaitForWindowExposed(_controller->mainWindow));
        const int a = table->columnWidth(RegisterTableModel::AColumn);
        for (int column = RegisterTableModel::BColumn; column <= RegisterTableModel::DColumn;
             ++column) {
            QVERIFY(qAbs(table->columnWidth(column) - a) <= 1);
        }
        QVERIFY(table->horizontalHeader()->length() <= table->viewport()->width());
    }

    // What the window shows on screen (its flushed backing store) must equal a fresh drawing
    // of the window, whether rows arrive in sight, out of sight or above the rows in sight.
    void screenFollowsTheCollection() {
        QMainWindow* window = _controller->mainWindow;
        QTableView* table = _controller->registerTable;
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        auto shownAsDrawn = [window] {
            // Let the event loop run the view's delayed layout and the redraw it asks for.
            QTest::qWait(20);
            QImage onScreen = window->screen()->grabWindow(window->winId()).toImage();
            QImage drawn = window->grab().toImage();
            return onScreen.convertToFormat(QImage::Format_RGB32) ==
                   drawn.convertToFormat(QImage::Format_RGB32);
        };
        for (int number = 1000; number < 1200; ++number) {
            _controller->_storeRegister(number, entryWith(time(1, 0, 0, 0), nullTime(), "A"));
            if (number < 1003 || number > 1196) {
                QVERIFY(shownAsDrawn());
            }
        }
        QVERIFY(table->rowAt(table->viewport()->height() - 1) < 199);
        _controller->_storeRegister(5, entryWith(time(2, 0, 0, 0), nullTime(), "FIRST"));
        QVERIFY(shownAsDrawn());
        QCOMPARE(model()->cellText(0, "Register"), QString("005"));
        _controller->_storeRegister(1100, entryWith(time(3, 0, 0, 0), nullTime(), "CHANGED"));
        table->scrollToBottom();
        QVERIFY(shownAsDrawn());
        QCOMPARE(table->rowAt(table->viewport()->height() - 1), 200);
    }

  private:
    RegisterTableModel* model() const { return _controller->tableModel(); }

    QTemporaryDir _settings;
    FedPorts _ports;
    std::unique_ptr<AppController> _controller;
};

QTEST_MAIN(RegisterTableTest)
#include "tst_RegisterTable.moc"
