// The window in German, as a German desktop starts it: its own texts, Qt's buttons and the
// libraries' texts in German, while the device's formats (register numbers, times) stay as the
// device writes them whatever the locale.
#include "AppTestSupport.h"
#include "LibraryTexts.h"

#include <QMenuBar>

class TranslationsTest : public QObject, apptest::DeviceTestFixture {
    Q_OBJECT

  private slots:
    void initTestCase() {
        apptest::useTemporarySettings(_settings);
        const QLocale german(QLocale::German, QLocale::Germany);
        QLocale::setDefault(german);
        QVERIFY(installTranslations(german, {TAVREL_TRANSLATIONS_DIR}));
    }
    void init() { startDevice(true); }
    void cleanup() { stopDevice(); }

    void theWindowAndQtSpeakGerman() {
        QCOMPARE(app().window()->menuBar()->actions().constFirst()->text(), "&Datei");
        QCOMPARE(app().window()->action(Command::Open)->text(), "Öffnen...");
        // Qt's own: a question's standard Cancel button.
        app().alerts()->ask("?", "", "OK", [] {});
        QMessageBox* question = app().alerts()->current();
        QVERIFY(question);
        QCOMPARE(question->button(QMessageBox::Cancel)->text(), "Abbrechen");
        apptest::dismissAlert(app());
    }

    void libraryTextsSpeakGerman_data() {
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("german");
        QTest::newRow("a plain text") << "Unexpected response to Version request"
                                      << "Unerwartete Antwort auf die Versionsanfrage";
        QTest::newRow("filled in") << "Register 042 cannot be uploaded"
                                   << "Register 042 kann nicht hochgeladen werden";
        QTest::newRow("a text within a text")
            << "Time A IN out of range: hours, minutes and seconds must be 0 to 99 and frames 0 to "
               "39"
            << "Zeit A IN außerhalb des gültigen Bereichs: Stunden, Minuten und Sekunden müssen "
               "zwischen 0 und 99 liegen, Frames zwischen 0 und 39";
        QTest::newRow("the fuller template of two that fit")
            << "2 of 5 registers written: 001-002; 003 may be partly written"
            << "2 von 5 Registern geschrieben: 001-002; 003 ist möglicherweise nur teilweise "
               "geschrieben";
        QTest::newRow("a device's own text") << "V1.2 BETA"
                                             << "V1.2 BETA";
    }
    void libraryTextsSpeakGerman() {
        QFETCH(QString, english);
        QFETCH(QString, german);
        QCOMPARE(translatedLibraryText(english.toStdString()), german);
    }

    void anErrorsAlertIsGerman() {
        TavrelError error;
        tavrelDomainError(&error, "Unexpected response to Version request");
        app().alerts()->showError(error);
        apptest::expectAlert(app(), "Unerwartete Antwort auf die Versionsanfrage",
                             "Prüfen Sie, ob das VRG-500 eingeschaltet und die richtige serielle "
                             "Schnittstelle ausgewählt ist.");
        apptest::dismissAlert(app());
    }

    // Register numbers and times as the device and its files write them, not as the locale
    // would (1.234, 01.02.03.04).
    void deviceFormatsDoNotFollowTheLocale() {
        RegisterEntry entry = apptest::entryWith(0, {"", "", "", ""});
        entry.reg.inA = apptest::time(1, 2, 3, 4);
        app().tableModel()->replaceRegisters(apptest::collectionOf({{1234, entry}}));
        QCOMPARE(app().tableModel()->data(app().tableModel()->index(0, 0)).toString(), "1234");
        QCOMPARE(app().tableModel()->fieldText(0, 0, 0), "01:02:03:04");
    }

  private:
    QTemporaryDir _settings;
};

QTEST_MAIN(TranslationsTest)
#include "tst_translations.moc"
