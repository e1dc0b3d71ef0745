// The register table: row order, the texts of every column, which runs are bold, that storing
// one register touches only its row, the hint of an empty table, and what reaches the screen.
#include "AppTestSupport.h"
#include "RegisterCellDelegate.h"
#include "RegisterTableModel.h"
#include "WindowStatusBar.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QStyle>
#include <QTableView>

using namespace apptest;

namespace {

using Runs = QList<CellRun>;

const VRG500_registerTime Unset{0, 0, 0, 0, 0, 1};
const QString NoTime = "**:**:**:**";

// A register with only machine `machine` (0 to 3 for A to D) set.
RegisterEntry onMachine(int machine, VRG500_registerTime in, VRG500_registerTime out,
                        std::string clip) {
    RegisterEntry entry;
    for (auto field : VRG500_registerTimes) {
        entry.reg.*field = Unset;
    }
    entry.reg.*VRG500_registerTimes[2 * machine] = in;
    entry.reg.*VRG500_registerTimes[2 * machine + 1] = out;
    entry.clips[machine] = std::move(clip);
    return entry;
}

Runs cell(const QString& in, bool inBold, const QString& out, bool outBold, const QString& clip,
          bool clipBold) {
    return {{in, inBold}, {"\n", false}, {out, outBold}, {"\n", false}, {clip, clipBold}};
}

} // namespace

Q_DECLARE_METATYPE(RegisterEntry)
Q_DECLARE_METATYPE(CellRun)

class RegisterTableTest : public QObject {
    Q_OBJECT

    QTemporaryDir _settings;
    std::unique_ptr<AppController> _controller;

    RegisterTableModel* model() const { return _controller->tableModel(); }

  private slots:
    void initTestCase() { useTemporarySettings(_settings); }
    void init() {
        QSettings().remove(FrameRateKey);
        _controller = makeController({});
    }
    void cleanup() { _controller.reset(); }

    // The cell of the one machine set, in its own column; the other machines' cells are empty.
    void machineCells_data() {
        QTest::addColumn<int>("machine");
        QTest::addColumn<RegisterEntry>("entry");
        QTest::addColumn<Runs>("runs");
        VRG500_registerTime dropFrame = time(10, 0, 0, 2);
        dropFrame.dropFrame = 1;
        QTest::newRow("A, all set")
            << 0 << onMachine(0, time(1, 2, 3, 4), time(1, 2, 9, 24), "REEL0001")
            << cell("01:02:03:04", true, "01:02:09:24", true, "REEL0001", true);
        QTest::newRow("B, drop frame, no clip")
            << 1 << onMachine(1, dropFrame, Unset, "********")
            << cell("10:00:00;02", true, NoTime, false, "** No Clip **", false);
        QTest::newRow("C, IN not set, OUT set")
            << 2 << onMachine(2, Unset, time(0, 0, 1, 0), "CLIP0002")
            << cell(NoTime, false, "00:00:01:00", true, "CLIP0002", true);
        QTest::newRow("D, eight spaces from the device")
            << 3 << onMachine(3, Unset, Unset, "        ")
            << cell(NoTime, false, NoTime, false, "        ", true);
        QTest::newRow("A, Latin-1 clip name")
            << 0 << onMachine(0, Unset, Unset, "CAF\xc9 \xb0\xb1!")
            << cell(NoTime, false, NoTime, false, QString::fromUtf8("CAF\u00c9 \u00b0\u00b1!"),
                    true);
    }
    void machineCells() {
        QFETCH(int, machine);
        QFETCH(RegisterEntry, entry);
        QFETCH(Runs, runs);
        _controller->tableModel()->storeRegister(5, entry);
        for (int column = 0; column < 4; ++column) {
            QCOMPARE(model()->cellRuns(0, QString(QChar('A' + column))),
                     column == machine
                         ? runs
                         : cell(NoTime, false, NoTime, false, "** No Clip **", false));
        }
        QCOMPARE(model()->cellRuns(0, "Label"), Runs({{"IN\nOUT\nCLIP", false}}));
        QString text;
        for (const CellRun& run : runs) {
            text += run.text;
        }
        QCOMPARE(model()->data(model()->index(0, RegisterTableModel::AColumn + machine)).toString(),
                 text);
    }

    // With a frame rate, machine B's duration is its cell's tooltip, the end of its spoken text
    // and, while the cell is current, in the status bar; choosing the rate redraws the machine
    // cells of every row.
    void durations_data() {
        QTest::addColumn<QString>("rate");
        QTest::addColumn<RegisterEntry>("entry");
        QTest::addColumn<QString>("tooltip"); // also the status bar's; empty: none
        QTest::addColumn<QString>("spoken");  // after the cell's lines
        VRG500_registerTime minuteEnd = time(0, 0, 59, 28), minuteStart = time(0, 1, 0, 2);
        minuteEnd.dropFrame = minuteStart.dropFrame = 1;
        QTest::newRow("25, ten seconds")
            << "25" << onMachine(1, time(1, 0, 0, 0), time(1, 0, 10, 0), "REEL0001")
            << "Duration 00:00:10:00"
            << ", duration 00:00:10:00";
        QTest::newRow("25, OUT before IN")
            << "25" << onMachine(1, time(1, 0, 10, 0), time(1, 0, 8, 0), "REEL0001")
            << "OUT is before IN: -00:00:02:00"
            << ", OUT before IN by 00:00:02:00";
        QTest::newRow("30, drop frame across a minute")
            << "30" << onMachine(1, minuteEnd, minuteStart, "********") << "Duration 00:00:00;02"
            << ", duration 00:00:00;02";
        QTest::newRow("24, frames beyond the rate")
            << "24" << onMachine(1, time(1, 0, 0, 0), time(1, 0, 0, 24), "********")
            << "No duration: IN or OUT is not a time at 24 frames per second"
            << ", no duration at 24 frames per second";
        QTest::newRow("25, OUT unset")
            << "25" << onMachine(1, time(1, 0, 0, 0), Unset, "********") << ""
            << "";
        QTest::newRow("wire limits only")
            << "Wire limits only" << onMachine(1, time(1, 0, 0, 0), time(1, 0, 10, 0), "********")
            << ""
            << "";
    }
    void durations() {
        QFETCH(QString, rate);
        QFETCH(RegisterEntry, entry);
        QFETCH(QString, tooltip);
        QFETCH(QString, spoken);
        model()->storeRegister(5, entry);
        model()->storeRegister(6, entry);
        const QModelIndex cell = model()->index(0, RegisterTableModel::BColumn);
        const QString lines = cell.data(Qt::AccessibleTextRole).toString();
        _controller->window()->show();
        _controller->window()->table()->setCurrentField(cell, RegisterTableModel::OutLine);
        QSignalSpy changes(model(), &QAbstractItemModel::dataChanged);
        chooseFrameRate(*_controller, rate);
        QCOMPARE(changes.count(), rate == "Wire limits only" ? 0 : 1);
        if (!changes.isEmpty()) {
            QCOMPARE(changes[0][0].toModelIndex(), model()->index(0, RegisterTableModel::AColumn));
            QCOMPARE(changes[0][1].toModelIndex(), model()->index(1, RegisterTableModel::DColumn));
        }
        QCOMPARE(cell.data(Qt::ToolTipRole).toString(), tooltip);
        QCOMPARE(cell.data(Qt::AccessibleTextRole).toString(), lines + spoken);
        QLabel* status = _controller->window()->statusLine()->durationLabel();
        QCOMPARE(status->isVisible() ? status->text() : QString(), tooltip);
        _controller->window()->table()->setCurrentField(
            model()->index(0, RegisterTableModel::AColumn), RegisterTableModel::InLine);
        QVERIFY(!status->isVisible()); // machine A is unset
    }

    // Rows in register order, whatever the order of arrival. A new register is one inserted row,
    // a replaced one one changed row; never a reset.
    void storingOneRegisterTouchesOnlyItsRow() {
        for (int number : {1234, 7, 65535, 0}) {
            _controller->tableModel()->storeRegister(number, RegisterEntry{});
        }
        QSignalSpy resets(model(), &QAbstractItemModel::modelReset);
        QSignalSpy inserts(model(), &QAbstractItemModel::rowsInserted);
        QSignalSpy changes(model(), &QAbstractItemModel::dataChanged);
        _controller->tableModel()->storeRegister(42, RegisterEntry{});
        _controller->tableModel()->storeRegister(1234,
                                                 onMachine(0, time(2, 0, 0, 0), Unset, "REPLACED"));
        QCOMPARE(resets.count(), 0);
        QCOMPARE(inserts.count(), 1);
        QCOMPARE(inserts[0][1].toInt(), 2);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(changes[0][0].toModelIndex().row(), 3);
        const QString numbers[] = {"000", "007", "042", "1234", "65535"};
        for (int row = 0; row < 5; ++row) {
            QCOMPARE(model()->cellText(row, "Register"), numbers[row]);
        }
        QCOMPARE(model()->cellText(3, "A"), "02:00:00:00\n**:**:**:**\nREPLACED");
    }

    // The number column shows every number whole, however it came into the collection, and
    // narrows again when the collection is replaced by smaller numbers.
    void numberColumnFitsTheWidestNumber_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("label");
        QTest::newRow("three digits") << 5 << "005";
        QTest::newRow("five digits") << 12345 << "12345";
        QTest::newRow("the highest register") << 65535 << "65535";
        QTest::newRow("negative, from a file") << -12345 << "-12345";
    }
    void numberColumnFitsTheWidestNumber() {
        QFETCH(int, number);
        QFETCH(QString, label);
        QTableView* table = _controller->window()->table();
        const int narrowest = table->columnWidth(RegisterTableModel::RegisterColumn);
        const auto fits = [&] {
            return table->columnWidth(RegisterTableModel::RegisterColumn) >=
                   table->fontMetrics().horizontalAdvance(label) +
                       RegisterCellDelegate::HorizontalMargin;
        };
        _controller->tableModel()->storeRegister(7, RegisterEntry{});
        _controller->tableModel()->storeRegister(number, RegisterEntry{});
        QCOMPARE(model()->cellText(number < 7 ? 0 : 1, "Register"), label);
        QVERIFY(fits());
        _controller->tableModel()->replaceRegisters(collectionOf({{number, RegisterEntry{}}}));
        QVERIFY(fits());
        _controller->tableModel()->replaceRegisters(collectionOf({{7, RegisterEntry{}}}));
        QCOMPARE(table->columnWidth(RegisterTableModel::RegisterColumn), narrowest);
    }

    // The focused table frames the current field, one line of one cell, and nothing else.
    void currentFieldIsFramedAlone() {
        RegisterTableView* table = _controller->window()->table();
        _controller->tableModel()->storeRegister(1,
                                                 onMachine(0, time(1, 2, 3, 4), Unset, "REEL0001"));
        QApplication::setActiveWindow(_controller->window());
        table->setFocus();
        QVERIFY(QTest::qWaitFor([table] { return table->hasFocus(); }));
        table->selectRow(0);
        table->selectionModel()->clearCurrentIndex();
        const QImage withoutCurrent = table->viewport()->grab().toImage();
        const QModelIndex cell = model()->index(0, RegisterTableModel::BColumn);
        table->setCurrentField(cell, RegisterTableModel::OutLine);
        const QImage withCurrent = table->viewport()->grab().toImage();
        const QRect field =
            RegisterCellDelegate::lineRect(table->visualRect(cell), table->fontMetrics(),
                                           RegisterTableModel::OutLine)
                .adjusted(-1, -2, 1, 1);
        QRect changed;
        for (int y = 0; y < withCurrent.height(); ++y) {
            for (int x = 0; x < withCurrent.width(); ++x) {
                if (withCurrent.pixel(x, y) != withoutCurrent.pixel(x, y)) {
                    changed |= QRect(x, y, 1, 1);
                }
            }
        }
        QVERIFY(!changed.isEmpty());
        QVERIFY2(field.contains(changed), qPrintable(QDebug::toString(changed)));
    }

    // An empty table says how to fill it, in the placeholder text colour and to screen readers
    // as its description; a table with registers says nothing of it.
    void emptyTableShowsAHint() {
        RegisterTableView* table = _controller->window()->table();
        QPalette palette = table->palette();
        const QColor hint(255, 0, 255); // a colour nothing else in the table has
        palette.setColor(QPalette::PlaceholderText, hint);
        table->setPalette(palette);
        const auto hinted = [table, hint] {
            const QImage image = table->viewport()->grab().toImage();
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    if (image.pixelColor(x, y) == hint) {
                        return true;
                    }
                }
            }
            return false;
        };
        const std::pair<int, bool> steps[] = {{0, true}, {1, false}, {0, true}};
        for (const auto& [registers, shown] : steps) {
            if (registers > 0) {
                model()->storeRegister(1, onMachine(0, time(1, 2, 3, 4), Unset, "REEL0001"));
            } else {
                model()->removeAllRegisters();
            }
            QCOMPARE(hinted(), shown);
            QCOMPARE(table->accessibleDescription() == RegisterTableView::emptyHint(), shown);
        }
    }

    // What the window shows on screen (its flushed backing store) comes to equal a fresh drawing
    // of the window, whether rows arrive in sight, out of sight or above the rows in sight: once
    // the view's delayed layout and the redraw it asks for have run.
    void screenFollowsTheCollection() {
        QMainWindow* window = _controller->window();
        QTableView* table = _controller->window()->table();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const auto shownAsDrawn = [window] {
            const QImage onScreen = window->screen()->grabWindow(window->winId()).toImage();
            return onScreen.convertToFormat(QImage::Format_RGB32) ==
                   window->grab().toImage().convertToFormat(QImage::Format_RGB32);
        };
        for (int number = 1000; number < 1200; ++number) {
            _controller->tableModel()->storeRegister(number,
                                                     onMachine(0, time(1, 0, 0, 0), Unset, "A"));
            if (number < 1003 || number > 1196) {
                QTRY_VERIFY_WITH_TIMEOUT(shownAsDrawn(), 2000);
            }
        }
        QVERIFY(table->rowAt(table->viewport()->height() - 1) < 199);
        _controller->tableModel()->storeRegister(5, onMachine(0, time(2, 0, 0, 0), Unset, "FIRST"));
        QTRY_VERIFY_WITH_TIMEOUT(shownAsDrawn(), 2000);
        _controller->tableModel()->storeRegister(1100,
                                                 onMachine(0, time(3, 0, 0, 0), Unset, "CHANGED"));
        table->scrollToBottom();
        QTRY_VERIFY_WITH_TIMEOUT(shownAsDrawn(), 2000);
        QCOMPARE(table->rowAt(table->viewport()->height() - 1), 200);
    }
};

QTEST_MAIN(RegisterTableTest)
#include "tst_RegisterTable.moc"
