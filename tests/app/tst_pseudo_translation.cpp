// The window under the pseudo-translation, in which every translated text reads ⟦text~~~⟧: a
// text the window shows without it was never marked for translation, or came from the libraries
// without being translated. Device data (times, register numbers, port and file names) is not
// translated, and is left out by its shape.
#include "AppTestSupport.h"
#include "HelpViewer.h"
#include "LibraryTexts.h"
#include "Translations.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QToolBar>
#include <QTreeWidget>

namespace {

bool isTranslated(const QString& text) {
    // Numbers, times and their form, machine letters, port paths and names, the product's name.
    static const QRegularExpression data(QStringLiteral(
        R"(^[\s\d:;.,*#()\-\x{2013}\x{2014}/+]*$|^[A-D]$|^HH:MM:SS:FF$|^Tavrel$|^/dev/\S*$|^tty\S*$)"));
    return text.contains(u'\u27e6') || data.match(text).hasMatch();
}

// A standard button, which Qt's own translation names.
bool isStandardButton(QAbstractButton* button) {
    if (auto* box = qobject_cast<QDialogButtonBox*>(button->parentWidget())) {
        return box->standardButton(button) != QDialogButtonBox::NoButton;
    }
    for (QWidget* parent = button->parentWidget(); parent; parent = parent->parentWidget()) {
        if (auto* alert = qobject_cast<QMessageBox*>(parent)) {
            return alert->standardButton(button) != QMessageBox::NoButton;
        }
    }
    return false;
}

// Every text of `widget` and its visible children a person reads, or a screen reader speaks,
// that is not translated.
QStringList untranslatedTexts(QWidget* widget) {
    QStringList found;
    auto check = [&found](const QString& what, const QString& text) {
        if (!isTranslated(text)) {
            found << what + ": " + text;
        }
    };
    check("title of " + widget->objectName(), widget->windowTitle());
    QList<QWidget*> widgets = widget->findChildren<QWidget*>();
    widgets.prepend(widget);
    for (QWidget* child : widgets) {
        if (!child->isVisibleTo(widget)) {
            continue;
        }
        check("tooltip", child->toolTip());
        check("accessible name", child->accessibleName());
        if (auto* label = qobject_cast<QLabel*>(child)) {
            check("label", label->text());
        } else if (auto* button = qobject_cast<QAbstractButton*>(child)) {
            if (!isStandardButton(button)) { // Qt's own translation names those
                check("button", button->text());
            }
        } else if (auto* group = qobject_cast<QGroupBox*>(child)) {
            check("group", group->title());
        } else if (auto* field = qobject_cast<QLineEdit*>(child)) {
            check("placeholder", field->placeholderText());
        } else if (auto* tree = qobject_cast<QTreeWidget*>(child)) {
            for (int column = 0; column < tree->columnCount(); ++column) {
                check("column", tree->headerItem()->text(column));
            }
        }
    }
    for (QAction* action : widget->findChildren<QAction*>()) {
        check("action", action->text());
        check("action tooltip", action->toolTip());
    }
    return found;
}

QWidget* shownModalWindow() {
    QWidget* modal = QApplication::activeModalWidget();
    return modal && modal->isVisible() ? modal : nullptr;
}

} // namespace

class PseudoTranslationTest : public QObject, apptest::DeviceTestFixture {
    Q_OBJECT

  private slots:
    void initTestCase() {
        apptest::useTemporarySettings(_settings);
        QVERIFY(installTranslationFile("tavrel_pseudo", {TAVREL_TRANSLATIONS_DIR}));
    }
    void init() {
        startDevice(true);
        app().tableModel()->replaceRegisters(
            apptest::collectionOf({{1, apptest::entryWith(1, {"CLIP0001", "", "", ""})},
                                   {2, apptest::entryWith(2, {"", "", "", ""})}}));
    }
    void cleanup() { stopDevice(); }

    void theWindowIsTranslated() {
        const QStringList untranslated = untranslatedTexts(app().window());
        QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join('\n')));
    }

    // Each command that opens a sheet or dialog, and what it shows.
    void everySheetAndDialogIsTranslated_data() {
        QTest::addColumn<Command>("command");
        QTest::newRow("Download Registers") << Command::DownloadRegisters;
        QTest::newRow("Upload Registers") << Command::UploadRegisters;
        QTest::newRow("Offset Registers") << Command::OffsetRegisters;
        QTest::newRow("Device Information") << Command::DeviceInformation;
        QTest::newRow("Go to Register") << Command::GoToRegister;
        QTest::newRow("Insert Register") << Command::InsertRegister;
        QTest::newRow("Restore Snapshot") << Command::RestoreSnapshot;
        QTest::newRow("Show Version") << Command::ShowVersion;
        QTest::newRow("About") << Command::About;
    }
    void everySheetAndDialogIsTranslated() {
        QFETCH(Command, command);
        app().window()->table()->selectRow(0);
        QAction* action = app().window()->action(command);
        QVERIFY(action->isEnabled());
        action->trigger();
        QWidget* shown = nullptr;
        QVERIFY(QTest::qWaitFor([&] { return (shown = shownModalWindow()) != nullptr; }));
        const QStringList untranslated = untranslatedTexts(shown);
        QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join('\n')));
        shown->close();
    }

    void theHelpWindowIsTranslated() {
        app().window()->action(Command::Help)->trigger();
        HelpViewer* help = nullptr;
        QVERIFY(QTest::qWaitFor([&] {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (auto* viewer = qobject_cast<HelpViewer*>(window);
                    viewer && viewer->isVisible()) {
                    help = viewer;
                }
            }
            return help != nullptr;
        }));
        const QStringList untranslated = untranslatedTexts(help);
        QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join('\n')));
        help->close();
    }

    // The libraries' texts reach the window translated, with what they were filled with.
    void libraryTextsAreTranslated_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("kept");
        for (const LibraryText& text : libraryTexts()) {
            const std::string filled = filledText(text.source, {"ARG1", "ARG2", "ARG3", "ARG4"});
            QTest::newRow(text.source)
                << QString::fromStdString(filled) << (filled != text.source ? "ARG1" : "");
        }
    }
    void libraryTextsAreTranslated() {
        QFETCH(QString, text);
        QFETCH(QString, kept);
        const QString shown = translatedLibraryText(text.toStdString());
        QVERIFY2(shown.contains(u'\u27e6'), qPrintable(shown));
        QVERIFY(shown.contains(kept));
    }

  private:
    QTemporaryDir _settings;
};

QTEST_MAIN(PseudoTranslationTest)
#include "tst_pseudo_translation.moc"
