#include "common/Language.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QSettings>
#include <QTranslator>
#include <memory>
#include <vector>

namespace halvorn::ui {

namespace {

constexpr char kSettingsKey[] = "language";

std::vector<std::unique_ptr<QTranslator>>& Installed() {
    static std::vector<std::unique_ptr<QTranslator>> translators;
    return translators;
}

Language& Current() {
    static Language language = Language::Japanese;
    return language;
}

// The language a locale name such as "de_DE.UTF-8" or "ja_JP" names; nothing for an unset locale, C or
// POSIX.
std::optional<Language> LanguageOfLocale(const QString& locale) {
    const QString name = locale.trimmed();
    if (name.isEmpty() || name == QLatin1String("C") || name == QLatin1String("POSIX") ||
        name.startsWith(QLatin1String("C.")))
        return std::nullopt;
    return name.startsWith(QLatin1String("ja"), Qt::CaseInsensitive) ? Language::Japanese : Language::English;
}

bool Load(const QString& name, const QStringList& folders) {
    for (const QString& folder : folders) {
        auto translator = std::make_unique<QTranslator>();
        if (translator->load(name, folder)) {
            QCoreApplication::installTranslator(translator.get());
            Installed().push_back(std::move(translator));
            return true;
        }
    }
    return false;
}

}  // namespace

QString LanguageCode(Language language) {
    return language == Language::English ? QStringLiteral("en") : QStringLiteral("ja");
}

std::optional<Language> LanguageFromCode(const QString& code) {
    const QString c = code.trimmed().toLower();
    if (c == QLatin1String("en"))
        return Language::English;
    if (c == QLatin1String("ja"))
        return Language::Japanese;
    return std::nullopt;
}

Language ChooseLanguage(const LanguageSources& sources) {
    if (const auto language = LanguageFromCode(sources.commandLine))
        return *language;
    if (const auto language = LanguageFromCode(sources.environment))
        return *language;
    if (sources.remembered)
        return *sources.remembered;
    return LanguageOfLocale(sources.systemLocale).value_or(Language::Japanese);
}

QString SystemMessageLocale() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(name);
        if (!value.isEmpty())
            return value;
    }
    return {};
}

std::unique_ptr<QSettings> OpenSettings(const QString& file) {
    if (!file.isEmpty())
        return std::make_unique<QSettings>(file, QSettings::IniFormat);
    return std::make_unique<QSettings>(QStringLiteral("Halvorn"), QStringLiteral("Halvorn"));
}

std::optional<Language> RememberedLanguage(QSettings& settings) {
    return LanguageFromCode(settings.value(QLatin1String(kSettingsKey)).toString());
}

void RememberLanguage(QSettings& settings, Language language) {
    settings.setValue(QLatin1String(kSettingsKey), LanguageCode(language));
    settings.sync();
}

QStringList TranslationFolders() {
    return {QDir(QCoreApplication::applicationDirPath())
                .absoluteFilePath(QStringLiteral("../share/halvorn/translations")),
            QStringLiteral(HALVORN_INSTALLED_TRANSLATIONS_DIR),
            QStringLiteral(HALVORN_BUILD_TRANSLATIONS_DIR)};
}

bool InstallLanguage(Language language) {
    for (const auto& translator : Installed())
        QCoreApplication::removeTranslator(translator.get());
    Installed().clear();
    Current() = language;
    // The Japanese texts are the source texts; Qt's own are English.
    if (language == Language::English)
        return Load(QStringLiteral("halvorn_en"), TranslationFolders());
    return Load(QStringLiteral("qtbase_ja"), {QLibraryInfo::path(QLibraryInfo::TranslationsPath)});
}

Language InstalledLanguage() {
    return Current();
}

}  // namespace halvorn::ui
