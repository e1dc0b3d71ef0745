// The register transfers through the range and progress sheets, against the simulated device on
// a pseudo-terminal: what reaches the collection, the table and the device, in which order, and
// what the person sees when a transfer is cancelled or fails.
#include "RangeSheet.h"
#include "RegisterTableModel.h"
#include "TavrelLog.h"
#include "TransferFixture.h"

#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableView>

using namespace transfertest;

Q_DECLARE_METATYPE(RegisterEntry)

namespace {

constexpr int TransferTimeout = 60000; // a guard against a hang, not a speed requirement

enum class Direction { Download, Upload };

// Opens the range sheet, chooses a range and confirms, as a person would.
void chooseRange(AppController& c, Direction direction, int tag, int first = 0, int last = 0) {
    direction == Direction::Download ? c.downloadRegisters() : c.uploadRegisters();
    c.rangeRadios->button(tag)->click();
    if (tag == TypedRangeTag) {
        c.maxRangeField->setValue(HighestRegisterNumber);
        c.minRangeField->setValue(first);
        c.maxRangeField->setValue(last);
    }
    c.rangeConfirmButton->click();
}

// Calls `action` once, when the table reaches `rows` rows during a download.
void atRowCount(AppController& c, int rows, std::function<void()> action) {
    auto* model = c.tableModel();
    auto fired = std::make_shared<bool>(false);
    QObject::connect(model, &QAbstractItemModel::rowsInserted, model,
                     [model, rows, fired, action = std::move(action)] {
                         if (!*fired && model->rowCount() == rows) {
                             *fired = true;
                             action();
                         }
                     });
}

// Calls `action` once, when the progress sheet comes up.
class OnProgressSheetShown : public QObject {
  public:
    OnProgressSheetShown(QDialog* sheet, std::function<void()> action)
        : _action(std::move(action)) {
        sheet->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show && _action) {
            auto action = std::move(_action);
            _action = nullptr;
            action();
        }
        return false;
    }

  private:
    std::function<void()> _action;
};

std::vector<int32_t> numbersOf(const RegisterCollection& registers) {
    std::vector<int32_t> numbers;
    for (const auto& [number, entry] : registers) {
        numbers.push_back(number);
    }
    return numbers;
}

std::vector<int32_t> span(int32_t first, int32_t last) {
    std::vector<int32_t> numbers;
    for (int32_t n = first; n <= last; ++n) {
        numbers.push_back(n);
    }
    return numbers;
}

RegisterCollection collectionOf(const std::vector<std::pair<int32_t, RegisterEntry>>& items) {
    RegisterCollection registers;
    for (const auto& [number, entry] : items) {
        registers.set(number, entry);
    }
    return registers;
}

const std::array<std::string, 4> FourClips{"SHOT0001", "SHOT0002", "********", "take 4  "};

} // namespace

class RegisterTransferTest : public QObject {
    Q_OBJECT

    QTemporaryDir _settings;
    std::unique_ptr<Vrg500Simulator> _device;
    std::unique_ptr<AppController> _c;
    std::unique_ptr<QSignalSpy> _ended;

    void waitForTransferEnd() {
        QTRY_COMPARE_WITH_TIMEOUT(_ended->count(), 1, TransferTimeout);
        QVERIFY(!_c->progressSheet->isVisible());
        QVERIFY(_c->registerTable->updatesEnabled()); // redraws held back are let through
    }

  private slots:
    void initTestCase() { isolateSettings(_settings); }

    void init() {
        _device = std::make_unique<Vrg500Simulator>(sampleDevice());
        std::string why;
        QVERIFY2(_device->start(&why), why.c_str());
        _c = makeController(_device->slavePath());
        _ended = std::make_unique<QSignalSpy>(_c->progressSheet, &QDialog::finished);
    }

    void cleanup() {
        _ended.reset();
        _c.reset();
        _device.reset();
        tavrelLogSetSink({});
    }

    // ---- Download --------------------------------------------------------------------------

    void downloadFillsTheTableInOrder() {
        _c->_replaceRegisters(collectionOf({{100, entryWith(3, FourClips)}}));
        std::vector<QString> insertedRows;
        connect(_c->tableModel(), &QAbstractItemModel::rowsInserted, this,
                [&](const QModelIndex&, int first) {
                    insertedRows.push_back(_c->tableModel()->cellText(first, "Register"));
                });

        _c->downloadRegisters();
        QVERIFY(_c->rangeSheet->isVisible());
        QCOMPARE(_c->rangeLabel->text(), "Download selected registers from the VRG-500");
        QCOMPARE(_c->rangeConfirmButton->text(), "Download");
        _c->rangeSheet->done(0);
        chooseRange(*_c, Direction::Download, TypedRangeTag, 3, 7);
        waitForTransferEnd();

        QCOMPARE(numbersOf(_c->importedRegisters), span(3, 7)); // register 100 went first
        for (int32_t n = 3; n <= 7; ++n) {
            QVERIFY(sameEntry(*_c->importedRegisters.find(n), deviceEntry(*_device, uint16_t(n))));
        }
        QCOMPARE(insertedRows, (std::vector<QString>{"003", "004", "005", "006", "007"}));
        QCOMPARE(_c->tableModel()->rowCount(), 5);
        std::vector<RegisterFrame> expected;
        for (int n = 3; n <= 7; ++n) {
            expected.push_back({0x20, n});
            expected.push_back({0x25, n});
        }
        QCOMPARE(registerFrames(*_device), expected);
        QCOMPARE(_c->progressLabel->text(), "Downloading register 7");
        QVERIFY(_c->currentAlert() == nullptr);
        QVERIFY(_c->uploadRegistersAction->isEnabled());
    }

    void registerWithoutClipNamesIsStoredAsNoClip() {
        _device->setClipNames(4, std::nullopt);
        chooseRange(*_c, Direction::Download, TypedRangeTag, 4, 5);
        waitForTransferEnd();

        QCOMPARE(numbersOf(_c->importedRegisters), span(4, 5));
        const RegisterEntry& entry = *_c->importedRegisters.find(4);
        for (const std::string& clip : entry.clips) {
            QCOMPARE(clip, std::string(NoClipName));
        }
        RegisterEntry expected = deviceEntry(*_device, 4);
        expected.clips = entry.clips;
        QVERIFY(sameEntry(entry, expected));
        QVERIFY(_c->tableModel()->cellText(0, "A").endsWith(RegisterTableModel::NoClipText));
    }

    void cancelKeepsTheCompletedRegisters_data() {
        QTest::addColumn<bool>("escapeKey");
        QTest::newRow("Cancel button") << false;
        QTest::newRow("Escape key") << true;
    }
    void cancelKeepsTheCompletedRegisters() {
        QFETCH(bool, escapeKey);
        atRowCount(*_c, 3, [this, escapeKey] {
            if (escapeKey) {
                QTest::keyClick(_c->progressSheet, Qt::Key_Escape);
                // Escape asks to cancel; the sheet stays until the transfer has ended.
                QVERIFY(_c->progressSheet->isVisible());
            } else {
                _c->progressSheet->findChild<QPushButton*>("progressCancelButton")->click();
            }
        });
        chooseRange(*_c, Direction::Download, AllRegistersRangeTag);
        waitForTransferEnd();

        QCOMPARE(numbersOf(_c->importedRegisters), span(0, 2));
        for (int32_t n = 0; n <= 2; ++n) {
            QVERIFY(sameEntry(*_c->importedRegisters.find(n), deviceEntry(*_device, uint16_t(n))));
        }
        // Nothing of register 3 was asked for.
        QCOMPARE(registerFrames(*_device).size(), size_t(6));
        QVERIFY(_c->cancelledProgressSheet);
        QVERIFY(_c->currentAlert() == nullptr);
    }

    void deviceFailureShowsItsErrorAfterTheSheetHasGone() {
        AlertWatch alerts(_c.get());
        atRowCount(*_c, 2, [this] { _device->injectFault(Vrg500Fault::NakInstead); });
        chooseRange(*_c, Direction::Download, TypedRangeTag, 0, 9);
        waitForTransferEnd();
        QTRY_VERIFY(_c->currentAlert() != nullptr);

        QCOMPARE(numbersOf(_c->importedRegisters), span(0, 1));
        QCOMPARE(alerts.sightings.size(), size_t(1));
        QVERIFY(!alerts.sightings[0].progressSheetVisible);
        QVERIFY(alerts.sightings[0].critical);
        QVERIFY(!alerts.sightings[0].text.isEmpty());
        QVERIFY(alerts.sightings[0].text != "Error communicating with VRG-500");
        QCOMPARE(registerFrames(*_device).back(), (RegisterFrame{0x20, 2}));
    }

    void failureAtTheFirstRegisterLeavesAnEmptyTable() {
        AlertWatch alerts(_c.get());
        _c->_replaceRegisters(collectionOf({{1, entryWith(3, FourClips)}}));
        OnProgressSheetShown inject(_c->progressSheet,
                                    [this] { _device->injectFault(Vrg500Fault::NoReply); });
        chooseRange(*_c, Direction::Download, FirstHundredRangeTag);
        waitForTransferEnd();
        QTRY_VERIFY(_c->currentAlert() != nullptr);

        QVERIFY(_c->importedRegisters.empty());
        QCOMPARE(_c->tableModel()->rowCount(), 0);
        QCOMPARE(alerts.sightings.size(), size_t(1));
        QVERIFY(!alerts.sightings[0].progressSheetVisible);
    }

    void failedStartChangesNothing_data() {
        QTest::addColumn<bool>("portPresent");
        QTest::addColumn<QString>("alertText");
        QTest::newRow("no serial port") << false << "Error communicating with VRG-500";
        QTest::newRow("no answer to the version request") << true << QString();
    }
    void failedStartChangesNothing() {
        QFETCH(bool, portPresent);
        QFETCH(QString, alertText);
        if (!portPresent) {
            _ended.reset();
            _c.reset();
            _c = makeController({});
            _ended = std::make_unique<QSignalSpy>(_c->progressSheet, &QDialog::finished);
        }
        _device->injectFault(Vrg500Fault::NoReply);
        AlertWatch alerts(_c.get());
        _c->_replaceRegisters(collectionOf({{1, entryWith(3, FourClips)}}));

        _c->_downloadRegisters(RegisterRange{0, 5});

        QVERIFY(_c->currentAlert() != nullptr);
        QCOMPARE(alerts.sightings.size(), size_t(1));
        QVERIFY(alerts.sightings[0].critical);
        if (!alertText.isEmpty()) {
            QCOMPARE(alerts.sightings[0].text, alertText);
        }
        QCOMPARE(numbersOf(_c->importedRegisters), span(1, 1));
        QCOMPARE(_ended->count(), 0);
        QVERIFY(!_c->progressSheet->isVisible());
        QVERIFY(registerFrames(*_device).empty());
    }

    void theTransferHoldsItsConnectionUntilItEnds() {
        std::weak_ptr<TavrelSocket> connection;
        bool heldMidway = false;
        atRowCount(*_c, 2, [&] {
            connection = TavrelSocket::socketForDeviceFilePath(_device->slavePath());
            heldMidway = !connection.expired();
        });
        chooseRange(*_c, Direction::Download, TypedRangeTag, 0, 4);
        waitForTransferEnd();
        QVERIFY(heldMidway);
        QTRY_VERIFY(connection.expired());
    }

    // ---- Upload ----------------------------------------------------------------------------

    void uploadSendsTheCollectionsRegistersOfTheRange() {
        const RegisterEntry two = entryWith(2, FourClips);
        const RegisterEntry four = entryWith(4, {"AAAAAAAA", "BBBBBBBB", "CCCCCCCC", "DDDDDDDD"});
        const RegisterEntry five = entryWith(5, {"\xe9t\xe9 0005", "********", "x", "y"});
        RegisterEntry fiveSendable = five;
        fiveSendable.clips = {"\xe9t\xe9 0005", "********", "12345678", "ABCDEFGH"};
        const RegisterCollection registers =
            collectionOf({{1, two}, {2, two}, {4, four}, {5, fiveSendable}, {9, four}});
        _c->_replaceRegisters(registers);
        const auto untouched = _device->registerWire(3);

        _c->uploadRegisters();
        QCOMPARE(_c->rangeLabel->text(), "Upload selected registers to the VRG-500");
        QCOMPARE(_c->rangeConfirmButton->text(), "Upload");
        _c->rangeSheet->done(0);
        chooseRange(*_c, Direction::Upload, TypedRangeTag, 2, 6);
        waitForTransferEnd();

        QCOMPARE(registerFrames(*_device),
                 (std::vector<RegisterFrame>{
                     {0x40, 2}, {0x45, 2}, {0x40, 4}, {0x45, 4}, {0x40, 5}, {0x45, 5}}));
        QCOMPARE(_device->registerWire(2), wireOf(two.reg));
        QCOMPARE(_device->registerWire(4), wireOf(four.reg));
        QCOMPARE(_device->registerWire(5), wireOf(fiveSendable.reg));
        QCOMPARE(*_device->clipNames(4), clipBytesOf(four));
        QCOMPARE(*_device->clipNames(5), clipBytesOf(fiveSendable)); // bytes above 0x7F intact
        QCOMPARE(_device->registerWire(3), untouched);
        QVERIFY(_c->importedRegisters == registers);
        QCOMPARE(_c->progressLabel->text(), "Uploading register 6"); // every number was shown
        QVERIFY(_c->currentAlert() == nullptr);
    }

    void uploadRefusesARegisterItCannotSend_data() {
        QTest::addColumn<RegisterEntry>("refused");
        QTest::addColumn<QString>("reason");
        RegisterEntry shortClip = entryWith(3, {"SHOT0001", "SHORT", "SHOT0003", "SHOT0004"});
        QTest::newRow("clip name B of 5 bytes") << shortClip << "Clip Name B not 8 bytes in length";
        RegisterEntry longClip = entryWith(3, {"SHOT0001", "SHOT0002", "SHOT0003", "SHOT00004"});
        QTest::newRow("clip name D of 9 bytes") << longClip << "Clip Name D not 8 bytes in length";
        RegisterEntry wideTime = entryWith(3, FourClips);
        wideTime.reg.inA.hours = 120;
        QTest::newRow("hours beyond the wire form")
            << wideTime
            << "Time A IN out of range: hours, minutes and seconds must be 0 to 99 and frames 0 "
               "to 39";
        RegisterEntry wideFrames = entryWith(3, FourClips);
        wideFrames.reg.outD = time(1, 2, 3, 40);
        QTest::newRow("frames beyond the wire form")
            << wideFrames
            << "Time D OUT out of range: hours, minutes and seconds must be 0 to 99 and frames 0 "
               "to 39";
    }
    void uploadRefusesARegisterItCannotSend() {
        QFETCH(RegisterEntry, refused);
        QFETCH(QString, reason);
        AlertWatch alerts(_c.get());
        _c->_replaceRegisters(collectionOf(
            {{2, entryWith(2, FourClips)}, {3, refused}, {4, entryWith(4, FourClips)}}));
        const auto before = _device->registerWire(3);
        const auto clipsBefore = _device->clipNames(3);

        chooseRange(*_c, Direction::Upload, TypedRangeTag, 2, 4);
        waitForTransferEnd();
        QTRY_VERIFY(_c->currentAlert() != nullptr);

        // Register 2 went out whole; nothing of register 3 or of anything after it.
        QCOMPARE(registerFrames(*_device), (std::vector<RegisterFrame>{{0x40, 2}, {0x45, 2}}));
        QCOMPARE(_device->registerWire(3), before);
        QCOMPARE(_device->clipNames(3), clipsBefore);
        QCOMPARE(alerts.sightings.size(), size_t(1));
        QCOMPARE(alerts.sightings[0].text, "Register 003 cannot be uploaded");
        QCOMPARE(alerts.sightings[0].informativeText, reason);
        QVERIFY(alerts.sightings[0].critical);
        QVERIFY(!alerts.sightings[0].progressSheetVisible);
    }

    void uploadOverARangeWithoutEntriesSendsNothing() {
        _c->_replaceRegisters(collectionOf({{50, entryWith(2, FourClips)}}));
        chooseRange(*_c, Direction::Upload, TypedRangeTag, 10, 20);
        waitForTransferEnd();
        QVERIFY(registerFrames(*_device).empty());
        QCOMPARE(_c->progressLabel->text(), "Uploading register 20");
        QCOMPARE(_c->progressBar->value(), 20);
    }

    // ---- The range sheet -------------------------------------------------------------------

    void rangeChoicesMoveTheirRegisters_data() {
        QTest::addColumn<int>("tag");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::newRow("registers 0 to 299") << AllRegistersRangeTag << 0 << 299;
        QTest::newRow("registers 0 to 99") << FirstHundredRangeTag << 0 << 99;
        QTest::newRow("range 5 to 5") << TypedRangeTag << 5 << 5;
        QTest::newRow("range 65534 to 65535") << TypedRangeTag << 65534 << 65535;
    }
    void rangeChoicesMoveTheirRegisters() {
        QFETCH(int, tag);
        QFETCH(int, first);
        QFETCH(int, last);
        int barMinimum = -1, barMaximum = -1, barValue = -1;
        OnProgressSheetShown record(_c->progressSheet, [&] {
            barMinimum = _c->progressBar->minimum();
            barMaximum = _c->progressBar->maximum();
            barValue = _c->progressBar->value();
        });
        chooseRange(*_c, Direction::Download, tag, first, last);
        waitForTransferEnd();

        QCOMPARE(barMinimum, first);
        QCOMPARE(barMaximum, last);
        QCOMPARE(barValue, first);
        QCOMPARE(numbersOf(_c->importedRegisters), span(first, last));
        QCOMPARE(registerFrames(*_device).size(), size_t(2 * (last - first + 1)));
        QCOMPARE(registerFrames(*_device).back(), (RegisterFrame{0x25, last}));
    }

    void confirmFollowsTheTypedRange_data() {
        QTest::addColumn<int>("tag");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<bool>("confirmable");
        QTest::newRow("typed, last below first") << TypedRangeTag << 10 << 5 << false;
        QTest::newRow("typed, last one below first") << TypedRangeTag << 6 << 5 << false;
        QTest::newRow("typed, one register") << TypedRangeTag << 5 << 5 << true;
        QTest::newRow("typed, every register") << TypedRangeTag << 0 << 65535 << true;
        QTest::newRow("fixed 0 to 299, fields inverted") << AllRegistersRangeTag << 10 << 5 << true;
        QTest::newRow("fixed 0 to 99, fields inverted") << FirstHundredRangeTag << 10 << 5 << true;
    }
    void confirmFollowsTheTypedRange() {
        QFETCH(int, tag);
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(bool, confirmable);
        _c->downloadRegisters();
        _c->minRangeField->setValue(first);
        _c->maxRangeField->setValue(last);
        _c->rangeRadios->button(tag)->click();
        QCOMPARE(_c->rangeConfirmButton->isEnabled(), confirmable);
        QCOMPARE(_c->minRangeField->isEnabled(), tag == TypedRangeTag);
        QCOMPARE(_c->maxRangeField->isEnabled(), tag == TypedRangeTag);
        // Return with the button disabled does not confirm either.
        QTest::keyClick(_c->rangeSheet, Qt::Key_Return);
        QCOMPARE(_c->rangeSheet->isVisible(), !confirmable);
        _c->rangeSheet->done(0);
        QTest::qWait(0);
    }

    void rangeFieldsTakeRegisterNumbersOnly() {
        _c->downloadRegisters();
        _c->rangeRadios->button(TypedRangeTag)->click();
        _c->minRangeField->setValue(70000);
        QCOMPARE(_c->minRangeField->value(), 65535);
        _c->minRangeField->setValue(-2);
        QCOMPARE(_c->minRangeField->value(), 0);

        QLineEdit* typed = _c->maxRangeField->findChild<QLineEdit*>();
        typed->selectAll();
        QTest::keyClicks(typed, "-2");
        QVERIFY(_c->maxRangeField->value() >= 0);
        typed->selectAll();
        QTest::keyClicks(typed, "12.5");
        QCOMPARE(_c->maxRangeField->value(), 125);
        _c->rangeSheet->done(0);
    }

    void anInvertedRangeReachingTheEndMovesNothing() {
        // Only a caller that bypasses the disabled button can get here.
        _c->_replaceRegisters(collectionOf({{1, entryWith(3, FourClips)}}));
        _c->rangeRadios->button(TypedRangeTag)->setChecked(true);
        _c->minRangeField->setValue(10);
        _c->maxRangeField->setValue(5);
        _c->rangeSheetDidEnd(1, &AppController::_downloadRegisters);
        QTest::qWait(20);
        QCOMPARE(numbersOf(_c->importedRegisters), span(1, 1));
        QCOMPARE(_ended->count(), 0);
        QVERIFY(_device->receivedFrames().empty());
    }

    void cancelledOrUnknownChoicesDoNothing_data() {
        QTest::addColumn<int>("returnCode");
        QTest::addColumn<bool>("noRadio");
        QTest::addColumn<QString>("logged");
        QTest::newRow("sheet cancelled") << 0 << false << QString();
        QTest::newRow("no radio selected") << 1 << true << "Unexpected radio tag: -1";
    }
    void cancelledOrUnknownChoicesDoNothing() {
        QFETCH(int, returnCode);
        QFETCH(bool, noRadio);
        QFETCH(QString, logged);
        QStringList lines;
        tavrelLogSetSink([&](const std::string& line) { lines << QString::fromStdString(line); });
        if (noRadio) {
            _c->rangeRadios->setExclusive(false);
            for (QAbstractButton* radio : _c->rangeRadios->buttons()) {
                radio->setChecked(false);
            }
        }
        _c->downloadRegisters();
        _c->rangeSheet->done(returnCode);
        QTest::qWait(20);
        QVERIFY(!_c->rangeSheet->isVisible());
        QCOMPARE(_ended->count(), 0);
        QVERIFY(_device->receivedFrames().empty());
        if (!logged.isEmpty()) {
            QVERIFY2(lines.filter(logged).size() == 1, qPrintable(lines.join('\n')));
        }
    }

    void escapeEndsTheRangeSheetLikeCancel() {
        _c->downloadRegisters();
        QTest::keyClick(_c->rangeSheet, Qt::Key_Escape);
        QTest::qWait(20);
        QVERIFY(!_c->rangeSheet->isVisible());
        QVERIFY(_device->receivedFrames().empty());
    }

    void theConfirmButtonFitsItsTitle() {
        _c->downloadRegisters();
        const QRect download = _c->rangeConfirmButton->geometry();
        const QRect cancelForDownload = _c->rangeCancelButton->geometry();
        QCOMPARE(download.width(), pushButtonFittedWidth(_c->rangeConfirmButton) + 12);
        _c->rangeSheet->done(0);

        _c->downloadRegisters(); // the same title again: nothing moves
        QCOMPARE(_c->rangeConfirmButton->geometry(), download);
        QCOMPARE(_c->rangeCancelButton->geometry(), cancelForDownload);
        _c->rangeSheet->done(0);

        _c->uploadRegisters(); // a shorter title: narrower, same right edge, Cancel follows
        const QRect upload = _c->rangeConfirmButton->geometry();
        const QRect cancelForUpload = _c->rangeCancelButton->geometry();
        QCOMPARE(upload.width(), pushButtonFittedWidth(_c->rangeConfirmButton) + 12);
        QVERIFY(upload.width() < download.width());
        QCOMPARE(upload.right(), download.right());
        QCOMPARE(upload.top(), download.top());
        QCOMPARE(cancelForUpload.x() - cancelForDownload.x(), upload.x() - download.x());
        QCOMPARE(cancelForUpload.size(), cancelForDownload.size());
        _c->rangeSheet->done(0);

        _c->downloadRegisters(); // and back
        QCOMPARE(_c->rangeConfirmButton->geometry(), download);
        QCOMPARE(_c->rangeCancelButton->geometry(), cancelForDownload);
        _c->rangeSheet->done(0);
    }

    void theSheetKeepsItsChoicesBetweenUses() {
        _c->downloadRegisters();
        _c->rangeRadios->button(TypedRangeTag)->click();
        _c->minRangeField->setValue(12);
        _c->maxRangeField->setValue(34);
        _c->rangeSheet->done(0);
        _c->uploadRegisters();
        QCOMPARE(_c->rangeRadios->checkedId(), TypedRangeTag);
        QCOMPARE(_c->minRangeField->value(), 12);
        QCOMPARE(_c->maxRangeField->value(), 34);
        QVERIFY(_c->minRangeField->isEnabled());
        _c->rangeSheet->done(0);
    }
};

QTEST_MAIN(RegisterTransferTest)
#include "tst_register_transfer.moc"
