// The window's language. Tavrel's own texts are translated by tavrel_LANGUAGE.qm and Qt's (its
// standard buttons and dialogs) by Qt's qtbase_LANGUAGE.qm, for the first of the user's
// languages (LANGUAGE, then LC_ALL, LC_MESSAGES, LANG) that Tavrel has a translation for; with
// none, everything stays English, Qt's texts included. Device formats (times, register
// numbers, file contents) never follow the language or the locale.
#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

namespace tavrel::app {

// Installs English's plural forms ("1 register", "2 registers"), which every other translation
// then takes precedence over; once per application, whatever the language.
void installEnglishPlurals();

// Where Tavrel's .qm files may be: beside the installed program (../share/tavrel/translations)
// and in the build tree (../translations).
QStringList translationDirectories();

// Installs English's plural forms, then Tavrel's translation for the first of `locale`'s
// languages that one of `directories` holds, and Qt's for the same language. False when there
// is none.
bool installTranslations(const QLocale& locale, const QStringList& directories);

// Installs the translation file `name` (such as "tavrel_pseudo") from the first of
// `directories` that holds it, and Qt's for its language when there is one.
bool installTranslationFile(const QString& name, const QStringList& directories);

} // namespace tavrel::app
