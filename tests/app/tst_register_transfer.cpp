// The register transfers through the range and progress sheets, against the simulated device on
// a pseudo-terminal: what reaches the collection, the table and the device, and in which order.
// A transfer refused, cancelled or failing: tst_device_jobs.
#include "AppTestSupport.h"
#include "RegisterTableModel.h"
#include "RegisterTimeWire.h"

#include <QLabel>
#include <QPushButton>
#include <QTableView>

using namespace tavrel::sim;
using namespace apptest;

Q_DECLARE_METATYPE(RegisterEntry)

namespace {

constexpr int TransferTimeout = 60000; // a guard against a hang, not a speed requirement

// Keeps the progress text shown when the progress sheet comes up, before any step replaces it.
class OpeningTextWitness : public QObject {
  public:
    OpeningTextWitness(QDialog* sheet, QLabel* label) : _label(label) {
        sheet->installEventFilter(this);
    }
    QString text;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            text = _label->text();
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    QLabel* _label;
};

} // namespace

class RegisterTransferTest : public QObject, DeviceTestFixture {
    Q_OBJECT

    void waitForTransferEnd() {
        QTRY_COMPARE_WITH_TIMEOUT(_ended, 1, TransferTimeout);
        QVERIFY(!app().progressSheet()->isVisible());
        QVERIFY(app().window()->table()->updatesEnabled()); // redraws held back are let through
    }

    // Transfers `first` to `last` through the range sheet, opened for `command`'s direction
    // (`label`, `button`), after the other direction's when `otherFirst`.
    void transferThroughSheet(Command command, int first, int last, const QString& label,
                              const QString& button, const QString& openingText,
                              bool otherFirst = false) {
        OpeningTextWitness opening(app().progressSheet(), app().progressSheet()->label());
        if (otherFirst) {
            _controller->downloadRegisters();
            app().rangeSheet()->reject();
        }
        chooseRange(app(), app().window()->action(command), first, last);
        QCOMPARE(app().rangeSheet()->label()->text(), label);
        QCOMPARE(app().rangeSheet()->confirmButton()->text(), button);
        waitForTransferEnd();
        QCOMPARE(opening.text, openingText);
    }

  private slots:
    void initTestCase() { useTemporarySettings(_settings); }

    void init() {
        startDevice(true);
        // The uploads here are the plain ones: every register of the range is written.
        app().window()->action(Command::SafeUpload)->setChecked(false);
    }

    void cleanup() { stopDevice(); }

    void downloadFillsTheTableInOrder() {
        _controller->tableModel()->replaceRegisters(collectionOf({{100, entryWith(3, FourClips)}}));
        _device->setClipNames(4, std::nullopt); // answered with a negative acknowledgement
        QStringList insertedRows;
        connect(_controller->tableModel(), &QAbstractItemModel::rowsInserted, this,
                [&](const QModelIndex&, int first) {
                    insertedRows << _controller->tableModel()->cellText(first, "Register");
                });
        transferThroughSheet(Command::DownloadRegisters, 3, 7,
                             "Download selected registers from the VRG-500", "Download",
                             "Downloading registers");

        QVERIFY(app().tableModel()->registers() ==
                deviceRegisters(*_device, 3, 7)); // 100 went first
        QCOMPARE(app().tableModel()->registers().find(4)->clips,
                 RegisterEntry{}.clips); // "********"
        QCOMPARE(insertedRows, QStringList({"003", "004", "005", "006", "007"}));
        QCOMPARE(registerFrames(*_device), readFrames(3, 7));
        QCOMPARE(app().progressSheet()->label()->text(), "Downloading register 7");
        QVERIFY(_controller->alerts()->current() == nullptr);
    }

    void uploadSendsTheCollectionsRegistersOfTheRange() {
        const RegisterEntry two = entryWith(2, FourClips);
        const RegisterEntry four = entryWith(4, {"AAAAAAAA", "BBBBBBBB", "CCCCCCCC", "DDDDDDDD"});
        const RegisterEntry five =
            entryWith(5, {"\xe9t\xe9 0005", "********", "12345678", "ABCDEFGH"});
        const RegisterCollection registers =
            collectionOf({{1, two}, {2, two}, {4, four}, {5, five}, {9, four}});
        _controller->tableModel()->replaceRegisters(registers);
        RegisterCollection expected = deviceRegisters(*_device, 3, 3); // 3 is left alone
        for (int32_t n : {2, 4, 5}) {
            expected.set(n, *registers.find(n));
        }
        transferThroughSheet(Command::UploadRegisters, 2, 6,
                             "Upload selected registers to the VRG-500", "Upload",
                             "Uploading registers", true);

        QCOMPARE(registerFrames(*_device),
                 Frames({{0x40, 2}, {0x45, 2}, {0x40, 4}, {0x45, 4}, {0x40, 5}, {0x45, 5}}));
        QVERIFY(deviceRegisters(*_device, 2, 5) == expected);
        QVERIFY(app().tableModel()->registers() == registers);
        QCOMPARE(app().progressSheet()->label()->text(),
                 "Uploading register 6"); // every number shown
        QVERIFY(_controller->alerts()->current() == nullptr);
    }

    // The range fields take register numbers only, and the sheet confirms only a range that
    // holds a register: Return confirms it like the button; an empty range moves nothing, even
    // past the button. Escape ends the sheet like Cancel.
    void rangeSheetChoices_data() {
        QTest::addColumn<int>("tag");
        QTest::addColumn<int>("first"); // typed into the fields
        QTest::addColumn<int>("last");
        QTest::addColumn<int>("movedFirst"); // -1: not confirmable
        QTest::addColumn<int>("movedLast");
        QTest::newRow("0 to 299, fields inverted") << AllRegistersRangeTag << 10 << 5 << 0 << 299;
        QTest::newRow("0 to 99, fields inverted") << FirstHundredRangeTag << 10 << 5 << 0 << 99;
        QTest::newRow("typed, one register") << TypedRangeTag << 5 << 5 << 5 << 5;
        QTest::newRow("typed, below 0") << TypedRangeTag << -2 << 1 << 0 << 1;
        QTest::newRow("typed, past 65535") << TypedRangeTag << 65534 << 70000 << 65534 << 65535;
        QTest::newRow("typed, last below first") << TypedRangeTag << 10 << 5 << -1 << -1;
        QTest::newRow("typed, last one below first") << TypedRangeTag << 6 << 5 << -1 << -1;
    }
    void rangeSheetChoices() {
        QFETCH(int, tag);
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(int, movedFirst);
        QFETCH(int, movedLast);
        const bool confirmable = movedFirst >= 0;
        _controller->tableModel()->replaceRegisters(collectionOf({{1, entryWith(3, FourClips)}}));
        _controller->downloadRegisters();
        app().rangeSheet()->firstField()->setValue(first);
        app().rangeSheet()->lastField()->setValue(last);
        app().rangeSheet()->radios()->button(tag)->click();
        QCOMPARE(app().rangeSheet()->firstField()->value(),
                 qBound(0, first, HighestRegisterNumber));
        QCOMPARE(app().rangeSheet()->lastField()->value(), qBound(0, last, HighestRegisterNumber));
        QCOMPARE(app().rangeSheet()->firstField()->isEnabled(), tag == TypedRangeTag);
        QCOMPARE(app().rangeSheet()->confirmButton()->isEnabled(), confirmable);
        QTest::keyClick(app().rangeSheet(), Qt::Key_Return);
        QCOMPARE(app().rangeSheet()->isVisible(), !confirmable);
        if (confirmable) {
            waitForTransferEnd();
            QCOMPARE(app().progressSheet()->bar()->minimum(), movedFirst);
            // The bar runs to one past the last register: the step that ends the transfer fills it.
            QCOMPARE(app().progressSheet()->bar()->maximum(), movedLast + 1);
            QVERIFY(app().tableModel()->registers() ==
                    deviceRegisters(*_device, movedFirst, movedLast));
            QCOMPARE(registerFrames(*_device).size(), size_t(2 * (movedLast - movedFirst + 1)));
            return;
        }
        app().rangeSheet()->accept(); // as if confirmed all the same: it chooses nothing
        QTest::qWait(20);
        QVERIFY(!app().rangeSheet()->isVisible());
        QCOMPARE(app().tableModel()->registers().size(), size_t(1));
        QVERIFY(_device->receivedFrames().empty());
    }
};

QTEST_MAIN(RegisterTransferTest)
#include "tst_register_transfer.moc"
