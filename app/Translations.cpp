#include "Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>
#include <QVariant>

#include <functional>
#include <memory>

namespace tavrel::app {

namespace {

// Qt's own texts, in the language Tavrel's translation is in.
void installQtTranslation(const QString& language) {
    if (language.isEmpty()) {
        return;
    }
    auto qt = std::make_unique<QTranslator>(QCoreApplication::instance());
    if (qt->load(QLocale(language), "qtbase", "_",
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(qt.release());
    }
}

bool install(const std::function<bool(QTranslator&, const QString&)>& load,
             const QStringList& directories) {
    for (const QString& directory : directories) {
        auto own = std::make_unique<QTranslator>(QCoreApplication::instance());
        if (load(*own, directory)) {
            const QString language = own->language();
            QCoreApplication::installTranslator(own.release());
            installQtTranslation(language);
            return true;
        }
    }
    return false;
}

} // namespace

void installEnglishPlurals() {
    auto* application = QCoreApplication::instance();
    if (application->property("tavrelEnglishPlurals").toBool()) {
        return;
    }
    auto english = std::make_unique<QTranslator>(application);
    if (english->load(":/translations/tavrel_en.qm")) {
        QCoreApplication::installTranslator(english.release());
        application->setProperty("tavrelEnglishPlurals", true);
    }
}

QStringList translationDirectories() {
    const QDir program(QCoreApplication::applicationDirPath());
    return {program.absoluteFilePath("../share/tavrel/translations"),
            program.absoluteFilePath("../translations")};
}

bool installTranslations(const QLocale& locale, const QStringList& directories) {
    installEnglishPlurals();
    return install(
        [&locale](QTranslator& translator, const QString& directory) {
            return translator.load(locale, "tavrel", "_", directory);
        },
        directories);
}

bool installTranslationFile(const QString& name, const QStringList& directories) {
    installEnglishPlurals();
    return install([&name](QTranslator& translator,
                           const QString& directory) { return translator.load(name, directory); },
                   directories);
}

} // namespace tavrel::app
