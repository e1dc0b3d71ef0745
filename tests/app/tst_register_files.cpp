// The Open File and Save File commands with vg2 register files: the deferred load and the
// immediate save, the remembered name that the save panel proposes, the alerts of unreadable,
// malformed and unwritable files, and the whole round trip of registers and menu settings
// between two simulated devices.
#include "MenuSettingsFile.h"
#include "RegisterFile.h"
#include "RegisterTableModel.h"
#include "TransferFixture.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>
#include <QSignalSpy>

using namespace transfertest;

namespace {

const std::array<std::string, 4> FourClips{"SHOT0001", "SHOT0002", "********", "take 4  "};

RegisterCollection sampleCollection() {
    RegisterCollection registers;
    registers.set(5, entryWith(5, FourClips));
    registers.set(42, entryWith(42, {"AAAAAAAA", "BBBBBBBB", "CCCCCCCC", "DDDDDDDD"}));
    registers.set(1234, entryWith(12, FourClips));
    return registers;
}

QByteArray fileText(const RegisterCollection& registers) {
    std::string text;
    if (!formatRegisterFile(registers, &text)) {
        return {};
    }
    return QByteArray::fromStdString(text);
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QFileDialog* filePanel(AppController& c) {
    return c.mainWindow->findChild<QFileDialog*>();
}

// The name the panel offers: its selection, unless that is only the folder it shows.
QString proposedName(QFileDialog* panel) {
    const QFileInfo selected(panel->selectedFiles().value(0));
    return selected.isDir() ? QString() : selected.fileName();
}

} // namespace

class RegisterFilesTest : public QObject {
    Q_OBJECT

    QTemporaryDir _settings;
    std::unique_ptr<QTemporaryDir> _files;
    std::unique_ptr<Vrg500Simulator> _device;
    std::unique_ptr<AppController> _c;

    QString path(const QString& name) const { return _files->filePath(name); }

    // What Save would propose now.
    QString saveProposal() {
        _c->saveVg2File();
        QFileDialog* panel = filePanel(*_c);
        const QString name = panel ? proposedName(panel) : QString("(no panel)");
        if (panel) {
            panel->reject();
            (void)QTest::qWaitFor([this] { return filePanel(*_c) == nullptr; });
        }
        return name;
    }

    void expectAlert(const QString& text, const QString& informativeText) {
        QMessageBox* alert = AppTestSupport::waitForAlert(*_c);
        QVERIFY(alert != nullptr);
        QCOMPARE(alert->text(), text);
        QCOMPARE(alert->informativeText(), informativeText);
        QCOMPARE(alert->icon(), QMessageBox::Critical);
    }

  private slots:
    void initTestCase() { isolateSettings(_settings); }

    void init() {
        _files = std::make_unique<QTemporaryDir>();
        _device = std::make_unique<Vrg500Simulator>(sampleDevice());
        std::string why;
        QVERIFY2(_device->start(&why), why.c_str());
        _c = makeController(_device->slavePath());
    }

    void cleanup() {
        _c.reset();
        _device.reset();
        _files.reset();
    }

    // ---- Open ------------------------------------------------------------------------------

    void openReplacesTheCollectionAfterThePanel() {
        _c->_replaceRegisters(collectionOf5());
        writeBytes(path("Show.vg2"), fileText(sampleCollection()));

        _c->openPanelDidEnd(1, path("Show.vg2"));
        QCOMPARE(_c->filename, "Show.vg2");
        QVERIFY(_c->importedRegisters == collectionOf5()); // the load is deferred
        QTRY_VERIFY(_c->importedRegisters == sampleCollection());

        QCOMPARE(_c->tableModel()->rowCount(), 3);
        QCOMPARE(_c->tableModel()->cellText(0, "Register"), "005");
        QCOMPARE(_c->tableModel()->cellText(2, "Register"), "1234");
        QVERIFY(_c->saveAction->isEnabled());
        QVERIFY(_c->currentAlert() == nullptr);
    }

    void openThroughThePanel() {
        writeBytes(path("Show.vg2"), fileText(sampleCollection()));
        _c->openVg2File();
        QFileDialog* panel = filePanel(*_c);
        QVERIFY(panel != nullptr);
        QCOMPARE(panel->acceptMode(), QFileDialog::AcceptOpen);
        QCOMPARE(panel->fileMode(), QFileDialog::ExistingFile);
        panel->selectFile(path("Show.vg2"));
        static_cast<QDialog*>(panel)->accept();
        QTRY_VERIFY(_c->importedRegisters == sampleCollection());
        QCOMPARE(_c->filename, "Show.vg2");
    }

    void unreadableOrMalformedFilesChangeNothing_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("contents"); // empty: no file
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("informativeText");
        const QByteArray good = fileText(sampleCollection());
        QTest::newRow("missing") << "missing.vg2" << QByteArray()
                                 << "The file \"missing.vg2\" couldn't be opened."
                                 << "No such file or directory";
        QTest::newRow("malformed last line")
            << "bad.vg2" << good + "007,01:00:00:00\r\n"
            << "Error processing .vg2 file"
            << "The file bad.vg2 is malformed and could not be processed.";
        QTest::newRow("blank before a field")
            << "blank.vg2" << QByteArray(" ") + good << "Error processing .vg2 file"
            << "The file blank.vg2 is malformed and could not be processed.";
        QTest::newRow("a name beyond ASCII")
            << "r\u00e9gie.vg2" << QByteArray("x") << "Error processing .vg2 file"
            << "The file r\u00e9gie.vg2 is malformed and could not be processed.";
    }
    void unreadableOrMalformedFilesChangeNothing() {
        QFETCH(QString, name);
        QFETCH(QByteArray, contents);
        QFETCH(QString, text);
        QFETCH(QString, informativeText);
        if (!contents.isEmpty()) {
            writeBytes(path(name), contents);
        }
        _c->_replaceRegisters(collectionOf5());

        _c->openPanelDidEnd(1, path(name));
        expectAlert(text, informativeText);

        QVERIFY(_c->importedRegisters == collectionOf5());
        QCOMPARE(_c->tableModel()->rowCount(), 1);
        QCOMPARE(_c->filename, name); // a failed load still names its file
        AppTestSupport::dismissAlert(*_c);
        QCOMPARE(saveProposal(), name);
    }

    // ---- Save ------------------------------------------------------------------------------

    void saveWritesTheCollectionAtOnce() {
        _c->_replaceRegisters(sampleCollection());
        _c->mainWindow->setWindowModified(true);

        _c->savePanelDidEnd(1, path("Saved.vg2"));

        QCOMPARE(fileBytes(path("Saved.vg2")), fileText(sampleCollection()));
        QVERIFY(!_c->mainWindow->isWindowModified());
        QCOMPARE(_c->filename, "Saved.vg2");
        QVERIFY(_c->currentAlert() == nullptr);
    }

    void saveThroughThePanel() {
        _c->_replaceRegisters(sampleCollection());
        _c->saveVg2File();
        QFileDialog* panel = filePanel(*_c);
        QVERIFY(panel != nullptr);
        QCOMPARE(panel->acceptMode(), QFileDialog::AcceptSave);
        QCOMPARE(proposedName(panel), ""); // nothing opened or saved yet
        panel->selectFile(path("Evening"));
        static_cast<QDialog*>(panel)->accept(); // the extension is added
        QCOMPARE(fileBytes(path("Evening.vg2")), fileText(sampleCollection()));
        QCOMPARE(_c->filename, "Evening.vg2");
        QCOMPARE(saveProposal(), "Evening.vg2");
    }

    void failedSavesKeepTheOldFileAndTheMark_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("unsavableTime");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("informativeText");
        QTest::newRow("folder missing")
            << "gone/Saved.vg2" << false << "The file \"Saved.vg2\" couldn't be saved."
            << "No such file or directory";
        QTest::newRow("a time the file cannot hold")
            << "Saved.vg2" << true << QString() << QString();
    }
    void failedSavesKeepTheOldFileAndTheMark() {
        QFETCH(QString, name);
        QFETCH(bool, unsavableTime);
        QFETCH(QString, text);
        QFETCH(QString, informativeText);
        RegisterCollection registers = sampleCollection();
        if (unsavableTime) {
            RegisterEntry wide = entryWith(7, FourClips);
            wide.reg.outA.minutes = 160;
            registers.set(7, wide);
        }
        _c->_replaceRegisters(registers);
        writeBytes(path("Saved.vg2"), "old contents");
        _c->mainWindow->setWindowModified(true);

        _c->savePanelDidEnd(1, path(name));

        QMessageBox* alert = _c->currentAlert();
        QVERIFY(alert != nullptr);
        QCOMPARE(alert->icon(), QMessageBox::Critical);
        if (!text.isEmpty()) {
            QCOMPARE(alert->text(), text);
            QCOMPARE(alert->informativeText(), informativeText);
        }
        QCOMPARE(fileBytes(path("Saved.vg2")), QByteArray("old contents"));
        QVERIFY(_c->mainWindow->isWindowModified());
        QCOMPARE(_c->filename, "Saved.vg2");
    }

    void cancelledPanelsChangeNothing() {
        _c->_replaceRegisters(sampleCollection());
        _c->savePanelDidEnd(1, path("First.vg2"));
        _c->openPanelDidEnd(0, path("Other.vg2"));
        _c->savePanelDidEnd(0, path("Other.vg2"));
        _c->openVg2File();
        filePanel(*_c)->reject();
        QTest::qWait(20);
        QCOMPARE(_c->filename, "First.vg2");
        QVERIFY(!QFile::exists(path("Other.vg2")));
        QVERIFY(_c->importedRegisters == sampleCollection());
    }

    // ---- The whole job ---------------------------------------------------------------------

    // Download registers 0 to 299 and the menu settings from one device, save both, open the
    // register file again and send everything to a second device, which then holds the same.
    void copyEverythingFromOneDeviceToAnother() {
        Vrg500SimulatorOptions otherOptions;
        otherOptions.seed = 99;
        Vrg500Simulator other(otherOptions);
        QVERIFY(other.start());
        AppTestSupport::FedPorts ports;
        ports.set(SerialPortList{{"ttySIM0", _device->slavePath()}});
        _c.reset(); // one controller at a time: it owns the port notifications
        _c = std::make_unique<AppController>(ports.lister());
        _c->mainWindow->show();
        _device->setMenu({1, 2, 3, 250});

        QSignalSpy ended(_c->progressSheet, &QDialog::finished);
        _c->downloadRegisters();
        _c->rangeRadios->button(0)->click();
        _c->rangeConfirmButton->click();
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 60000);
        QCOMPARE(_c->importedRegisters.size(), size_t(300));
        _c->savePanelDidEnd(1, path("All.vg2"));
        _c->completeMenuDownload(path("Menu.vgs"));
        AppTestSupport::dismissAlert(*_c);

        _c->_replaceRegisters(RegisterCollection{});
        _c->openPanelDidEnd(1, path("All.vg2"));
        QTRY_COMPARE(_c->importedRegisters.size(), size_t(300));

        ports.set(SerialPortList{{"ttySIM1", other.slavePath()}});
        _c->updateSerialPortsPopup();
        _c->uploadRegisters();
        _c->rangeConfirmButton->click();
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 2, 60000);
        QVERIFY(_c->currentAlert() == nullptr);
        _c->completeMenuUpload(path("Menu.vgs"));
        QCOMPARE(AppTestSupport::waitForAlert(*_c)->text(), "Upload VRG-500 Menu Settings");
        AppTestSupport::dismissAlert(*_c);
        QCOMPARE(other.menu(), _device->menu());

        // Read back from the second device: the same file, byte for byte.
        _c->downloadRegisters();
        _c->rangeConfirmButton->click();
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 3, 60000);
        QCOMPARE(_c->filename, "All.vg2"); // a download leaves the proposed name alone
        _c->savePanelDidEnd(1, path("Copy.vg2"));
        QCOMPARE(fileBytes(path("Copy.vg2")), fileBytes(path("All.vg2")));
        QCOMPARE(_c->filename, "Copy.vg2");
    }

  private:
    static RegisterCollection collectionOf5() {
        RegisterCollection registers;
        registers.set(5, entryWith(1, FourClips));
        return registers;
    }
};

QTEST_MAIN(RegisterFilesTest)
#include "tst_register_files.moc"
