#pragma once

// The language of the screens. The Japanese texts are the source texts in the code; English comes from
// the translation halvorn_en.qm, and Qt's own dialogs (file dialogs, standard buttons) from Qt's
// translations for the same language. Files the program writes never depend on the language.

#include <QSettings>
#include <QString>
#include <memory>
#include <optional>

namespace halvorn::ui {

enum class Language { Japanese, English };

// "ja" or "en": the code --lang, HALVORN_LANG and the settings use.
QString LanguageCode(Language language);
// The language of a code ("ja", "en", any case, blanks around ignored); nothing for anything else.
std::optional<Language> LanguageFromCode(const QString& code);

// Where the choice comes from, strongest first: --lang, HALVORN_LANG, the choice remembered from the start
// screen, and on a first start the system locale (LC_ALL, else LC_MESSAGES, else LANG, as the C library
// reads them). Codes that are empty or not understood are skipped.
struct LanguageSources {
    QString commandLine;
    QString environment;
    std::optional<Language> remembered;
    QString systemLocale;
};

// Japanese unless English is asked for, remembered, or the system locale names a language other than
// Japanese (an unset locale, C or POSIX says nothing about the user's language).
Language ChooseLanguage(const LanguageSources& sources);

// The locale the C library would use for messages, from the environment.
QString SystemMessageLocale();

// The user's settings: ~/.config/Halvorn/Halvorn.conf, or `file` (an INI file) when not empty.
std::unique_ptr<QSettings> OpenSettings(const QString& file = {});

// The choice remembered between starts, in `settings`; nothing when none or not understood.
std::optional<Language> RememberedLanguage(QSettings& settings);
void RememberLanguage(QSettings& settings, Language language);

// Folders the program's own translation is looked for in: installed beside the program
// (share/halvorn/translations of the install prefix), then the build tree.
QStringList TranslationFolders();

// Makes `language` the language of every text translated from now on: removes the translators installed
// before and installs the program's translation and Qt's own. False when a translation file the language
// needs was not found (the screens then show the source texts of what is missing).
bool InstallLanguage(Language language);
// The language installed last (Japanese before any).
Language InstalledLanguage();

}  // namespace halvorn::ui
