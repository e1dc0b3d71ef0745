// The menu settings transfers between the simulated device and vgs files: the files written and
// read, the remembered file name and the panels' proposals, the version check and its alert, and
// every failure's alert with what it leaves behind.
#include "MenuSettingsFile.h"
#include "TransferFixture.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

using namespace transfertest;

namespace {

VRG500_menuData patternBlock(uint8_t seed) {
    VRG500_menuData block{};
    for (size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<uint8_t>(seed + i * 37);
    }
    return block;
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

QByteArray menuFileText(const std::string& version, const VRG500_menuData& block) {
    std::string text;
    if (!formatMenuSettingsFile(version, block, &text)) {
        return {};
    }
    return QByteArray::fromStdString(text);
}

QString rememberedName() {
    return QSettings().value(MenuSettingsFilenameKey).toString();
}

// The version reply of the simulated device, sent in place of its own answer.
std::vector<uint8_t> versionReply(const std::string& version) {
    std::vector<uint8_t> reply{0x11, static_cast<uint8_t>(version.size())};
    reply.insert(reply.end(), version.begin(), version.end());
    return reply;
}

QFileDialog* openPanel(AppController& c) {
    return c.mainWindow->findChild<QFileDialog*>();
}

// The name the panel offers: its selection, unless that is only the folder it shows.
QString proposedName(QFileDialog* panel) {
    const QFileInfo selected(panel->selectedFiles().value(0));
    return selected.isDir() ? QString() : selected.fileName();
}

} // namespace

class MenuSettingsTest : public QObject {
    Q_OBJECT

    QTemporaryDir _settings;
    std::unique_ptr<QTemporaryDir> _files;
    std::unique_ptr<Vrg500Simulator> _device;
    std::unique_ptr<AppController> _c;

    QString path(const QString& name) const { return _files->filePath(name); }

    void expectAlert(const QString& text, const QString& informativeText, bool critical) {
        QMessageBox* alert = AppTestSupport::waitForAlert(*_c);
        QVERIFY(alert != nullptr);
        QCOMPARE(alert->text(), text);
        QCOMPARE(alert->informativeText(), informativeText);
        QCOMPARE(alert->icon() == QMessageBox::Critical, critical);
    }

  private slots:
    void initTestCase() { isolateSettings(_settings); }

    void init() {
        AppTestSupport::clearSettings();
        _files = std::make_unique<QTemporaryDir>();
        _device = std::make_unique<Vrg500Simulator>();
        std::string why;
        QVERIFY2(_device->start(&why), why.c_str());
        _device->setMenu(patternBlock(3));
        _c = makeController(_device->slavePath());
    }

    void cleanup() {
        _c.reset();
        _device.reset();
        _files.reset();
    }

    // ---- Download: device to file ----------------------------------------------------------

    void downloadWritesTheDevicesSettings() {
        _c->completeMenuDownload(path("Studio A.vgs"));

        QCOMPARE(fileBytes(path("Studio A.vgs")), menuFileText("2.10", patternBlock(3)));
        expectAlert("Download VRG-500 Menu Settings", "Download complete.", false);
        QCOMPARE(rememberedName(), "Studio A.vgs");
    }

    void downloadThroughTheSavePanel() {
        _c->downloadMenuSettings();
        QFileDialog* panel = openPanel(*_c);
        QVERIFY(panel != nullptr);
        QCOMPARE(panel->acceptMode(), QFileDialog::AcceptSave);
        QCOMPARE(proposedName(panel), "Menu Settings.vgs"); // nothing remembered yet
        QVERIFY(panel->isVisible());

        panel->selectFile(path("Rack"));
        static_cast<QDialog*>(panel)->accept();    // the extension is added
        QVERIFY(!QFile::exists(path("Rack.vgs"))); // the work is deferred past the panel
        expectAlert("Download VRG-500 Menu Settings", "Download complete.", false);
        QCOMPARE(fileBytes(path("Rack.vgs")), menuFileText("2.10", patternBlock(3)));
        AppTestSupport::dismissAlert(*_c);
        QTRY_VERIFY(openPanel(*_c) == nullptr);

        _c->downloadMenuSettings(); // the next one proposes the name without its folder
        panel = openPanel(*_c);
        QCOMPARE(proposedName(panel), "Rack.vgs");
        panel->reject();
        QTRY_VERIFY(openPanel(*_c) == nullptr);
        QCOMPARE(rememberedName(), "Rack.vgs");
    }

    void anUploadsFileIsProposedForTheNextDownload() {
        QVERIFY(QDir().mkpath(path("elsewhere")));
        writeBytes(path("elsewhere/Show.vgs"), menuFileText("2.10", patternBlock(9)));
        _c->completeMenuUpload(path("elsewhere/Show.vgs"));
        AppTestSupport::dismissAlert(*_c);
        _c->downloadMenuSettings();
        QCOMPARE(proposedName(openPanel(*_c)), "Show.vgs");
        openPanel(*_c)->reject();
    }

    void downloadFailures_data() {
        QTest::addColumn<QString>("setUp");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("informativeText");
        QTest::newRow("version not 4 characters")
            << "version 2.1"
            << "Short.vgs"
            << "The VRG-500 version string is not 4 chars long"
            << "";
        QTest::newRow("menu data request refused")
            << "menu refused"
            << "Refused.vgs"
            << "Unexpected response from Menu Data Request"
            << "Check to make sure that the VRG-500 is on and the right serial port is selected.";
        QTest::newRow("no answer to the version request") << "silent"
                                                          << "Silent.vgs"
                                                          << ""
                                                          << "";
        QTest::newRow("folder missing") << ""
                                        << "missing/Lost.vgs"
                                        << "The file \"Lost.vgs\" couldn't be saved."
                                        << "No such file or directory";
    }
    void downloadFailures() {
        QFETCH(QString, setUp);
        QFETCH(QString, fileName);
        QFETCH(QString, text);
        QFETCH(QString, informativeText);
        if (setUp == "version 2.1") {
            _device->setVersion("2.1");
        } else if (setUp == "menu refused") {
            _device->queueRawReply(versionReply("2.10"));
            _device->injectFault(Vrg500Fault::BooleanInstead);
        } else if (setUp == "silent") {
            _device->injectFault(Vrg500Fault::NoReply);
        }

        _c->completeMenuDownload(path(fileName));

        QMessageBox* alert = AppTestSupport::waitForAlert(*_c);
        QVERIFY(alert != nullptr);
        QCOMPARE(alert->icon(), QMessageBox::Critical);
        if (!text.isEmpty()) {
            QCOMPARE(alert->text(), text);
            QCOMPARE(alert->informativeText(), informativeText);
        }
        QVERIFY(!QFile::exists(path(fileName)));
        QCOMPARE(rememberedName(), QFileInfo(fileName).fileName()); // remembered all the same
        if (setUp == "version 2.1") {
            QVERIFY(!receivedFunction(*_device, 0x26)); // checked before the device is asked
        }
    }

    void aFailedDownloadLeavesTheOldFileAlone() {
        writeBytes(path("Old.vgs"), "keep me");
        _device->queueRawReply(versionReply("2.10"));
        _device->injectFault(Vrg500Fault::BooleanInstead);
        _c->completeMenuDownload(path("Old.vgs"));
        QVERIFY(AppTestSupport::waitForAlert(*_c) != nullptr);
        QCOMPARE(fileBytes(path("Old.vgs")), QByteArray("keep me"));
    }

    // ---- Upload: file to device ------------------------------------------------------------

    void uploadLoadsTheFileIntoTheDevice() {
        writeBytes(path("Show.vgs"), menuFileText("2.10", patternBlock(200)));
        _c->completeMenuUpload(path("Show.vgs"));

        QCOMPARE(_device->menu(), patternBlock(200));
        expectAlert("Upload VRG-500 Menu Settings", "Upload complete.", false);
        QCOMPARE(rememberedName(), "Show.vgs");
    }

    void uploadThroughTheOpenPanel() {
        writeBytes(path("Show.vgs"), menuFileText("2.10", patternBlock(77)));
        QSettings().setValue(MenuSettingsFilenameKey, "Remembered.vgs");
        _c->uploadMenuSettings();
        QFileDialog* panel = openPanel(*_c);
        QVERIFY(panel != nullptr);
        QCOMPARE(panel->acceptMode(), QFileDialog::AcceptOpen);
        QCOMPARE(proposedName(panel), ""); // the remembered name is not offered here
        panel->selectFile(path("Show.vgs"));
        static_cast<QDialog*>(panel)->accept();
        expectAlert("Upload VRG-500 Menu Settings", "Upload complete.", false);
        QCOMPARE(_device->menu(), patternBlock(77));
    }

    void versionMismatchShowsBothVersionsTrimmed_data() {
        QTest::addColumn<QString>("deviceVersion");
        QTest::addColumn<QString>("fileVersion");
        QTest::addColumn<QString>("informativeText");
        QTest::newRow("other firmware")
            << "2.10"
            << "2.11"
            << ".vgs file version \"2.11\" does not match device version "
               "\"2.10\"";
        QTest::newRow("differing only in blanks")
            << "2.1 "
            << " 2.1"
            << ".vgs file version \"2.1\" does not match device version "
               "\"2.1\"";
        QTest::newRow("tab against space")
            << "\t2.1"
            << " 2.1"
            << ".vgs file version \"2.1\" does not match device version "
               "\"2.1\"";
        QTest::newRow("case differs") << "v2.1"
                                      << "V2.1"
                                      << ".vgs file version \"V2.1\" does not match device "
                                         "version \"v2.1\"";
    }
    void versionMismatchShowsBothVersionsTrimmed() {
        QFETCH(QString, deviceVersion);
        QFETCH(QString, fileVersion);
        QFETCH(QString, informativeText);
        _device->setVersion(deviceVersion.toStdString());
        writeBytes(path("Other.vgs"), menuFileText(fileVersion.toStdString(), patternBlock(1)));

        _c->completeMenuUpload(path("Other.vgs"));

        expectAlert("Version Mismatch", informativeText, true);
        QVERIFY(!receivedFunction(*_device, 0x46));
        QCOMPARE(_device->menu(), patternBlock(3));
    }

    void uploadFailures_data() {
        QTest::addColumn<QByteArray>("contents"); // empty: no file at all
        QTest::addColumn<QString>("setUp");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("informativeText");
        QTest::addColumn<bool>("deviceAsked");
        QTest::newRow("corrupt file")
            << QByteArray("2.10 \r\n 1 \r\n") << ""
            << "Invalid .vgs file"
            << "The .vgs file had an unrecoverable corruption error." << false;
        QTest::newRow("missing file") << QByteArray() << ""
                                      << "The file \"Show.vgs\" couldn't "
                                         "be opened."
                                      << "No such file or directory" << false;
        QTest::newRow("menu data load refused")
            << menuFileText("2.10", patternBlock(5)) << "load refused"
            << "Unexpected response from Menu Data Load"
            << "Check to make sure that the VRG-500 is on and the right serial port is selected."
            << true;
        QTest::newRow("no answer to the version request")
            << menuFileText("2.10", patternBlock(5)) << "silent"
            << ""
            << "" << true;
    }
    void uploadFailures() {
        QFETCH(QByteArray, contents);
        QFETCH(QString, setUp);
        QFETCH(QString, text);
        QFETCH(QString, informativeText);
        QFETCH(bool, deviceAsked);
        if (!contents.isEmpty()) {
            writeBytes(path("Show.vgs"), contents);
        }
        if (setUp == "load refused") {
            _device->queueRawReply(versionReply("2.10"));
            _device->injectFault(Vrg500Fault::BooleanInstead);
        } else if (setUp == "silent") {
            _device->injectFault(Vrg500Fault::NoReply);
        }

        _c->completeMenuUpload(path("Show.vgs"));

        QMessageBox* alert = AppTestSupport::waitForAlert(*_c);
        QVERIFY(alert != nullptr);
        QCOMPARE(alert->icon(), QMessageBox::Critical);
        if (!text.isEmpty()) {
            QCOMPARE(alert->text(), text);
            QCOMPARE(alert->informativeText(), informativeText);
        }
        QCOMPARE(!_device->receivedFrames().empty(), deviceAsked);
        QCOMPARE(rememberedName(), "Show.vgs");
        if (setUp != "load refused") {
            QCOMPARE(_device->menu(), patternBlock(3));
        }
    }

    void withoutAConnectionNothingMoves() {
        _c.reset();
        _c = makeController({}); // no serial port at all
        writeBytes(path("Show.vgs"), menuFileText("2.10", patternBlock(5)));

        _c->completeMenuDownload(path("Down.vgs"));
        expectAlert("Error communicating with VRG-500",
                    "Perhaps the device is off or the wrong port is selected.", true);
        QVERIFY(!QFile::exists(path("Down.vgs")));
        QCOMPARE(rememberedName(), "Down.vgs");
        AppTestSupport::dismissAlert(*_c);

        _c->completeMenuUpload(path("Show.vgs"));
        expectAlert("Error communicating with VRG-500",
                    "Perhaps the device is off or the wrong port is selected.", true);
        QCOMPARE(rememberedName(), "Show.vgs");
        AppTestSupport::dismissAlert(*_c);

        // A corrupt file is reported without asking for the connection.
        writeBytes(path("Bad.vgs"), "2.1");
        _c->completeMenuUpload(path("Bad.vgs"));
        expectAlert("Invalid .vgs file", "The .vgs file had an unrecoverable corruption error.",
                    true);
    }

    void cancelledPanelsChangeNothing() {
        QSettings().setValue(MenuSettingsFilenameKey, "Keep.vgs");
        _c->menuSavePanelDidEnd(0, path("Other.vgs"));
        _c->menuOpenPanelDidEnd(0, path("Other.vgs"));
        _c->downloadMenuSettings();
        openPanel(*_c)->reject();
        QTest::qWait(20);
        QCOMPARE(rememberedName(), "Keep.vgs");
        QVERIFY(_c->currentAlert() == nullptr);
        QVERIFY(_device->receivedFrames().empty());
        QVERIFY(!QFile::exists(path("Other.vgs")));
    }
};

QTEST_MAIN(MenuSettingsTest)
#include "tst_menu_settings.moc"
