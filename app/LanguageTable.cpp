#include "app/LanguageTable.h"

#include "res/LanguageCatalogue.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct LocaleEntry
{
    const char* name;  // language_COUNTRY
    LCID lcid;
};

// Every locale of the language table, plus the main country of each bare language.
constexpr LocaleEntry kLocales[] = {
    {"de_DE", 0x0407}, {"de_CH", 0x0807}, {"de_AT", 0x0C07}, {"de_LU", 0x1007}, {"de_LI", 0x1407},
    {"fr_FR", 0x040C}, {"fr_BE", 0x080C}, {"fr_CA", 0x0C0C}, {"fr_CH", 0x100C}, {"fr_LU", 0x140C},
    {"ja_JP", 0x0411}, {"zh_CN", 0x0804}, {"zh_TW", 0x0404}, {"zh_HK", 0x0C04}, {"zh_SG", 0x1004},
    {"en_US", 0x0409}, {"en_GB", 0x0809},
    {"de", 0x0407},    {"fr", 0x040C},    {"ja", 0x0411},    {"zh", 0x0804},    {"en", 0x0409},
};

} // namespace

LCID LocaleIdFromName(std::string_view name)
{
    // Drop the codeset and modifier: "fr_CA.UTF-8@euro" -> "fr_CA".
    const size_t cut = name.find_first_of(".@");
    if (cut != std::string_view::npos)
        name = name.substr(0, cut);
    std::string key(name);
    std::replace(key.begin(), key.end(), '-', '_');
    for (const LocaleEntry& e : kLocales) {
        if (key == e.name)
            return e.lcid;
    }
    return kLocaleEnglishUS;
}

LCID GetUserDefaultLCID()
{
    for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(var);
        if (value && *value)
            return LocaleIdFromName(value);
    }
    return kLocaleEnglishUS;
}

const char* LanguageLibraryName(LCID lcid)
{
    switch (lcid) {
    case 0x0407: case 0x0807: case 0x0C07: case 0x1007: case 0x1407:
        return "RESDE.ini";
    case 0x040C: case 0x080C: case 0x0C0C: case 0x100C: case 0x140C:
        return "RESFR.ini";
    case 0x0411:
        return "RESJP.ini";
    case 0x0804:
        return "RESCN.ini";
    default:
        return nullptr;
    }
}

QString QtTranslationName(LCID lcid)
{
    static const std::pair<const char*, const char*> kNames[] = {
        {"RESDE.ini", "de"}, {"RESFR.ini", "fr"}, {"RESJP.ini", "ja"}, {"RESCN.ini", "zh_CN"}};
    const char* library = LanguageLibraryName(lcid);
    for (const auto& [file, name] : kNames)
        if (library && std::strcmp(library, file) == 0)
            return QLatin1String(name);
    return {};
}

QStringList LanguageLibraryDirs()
{
    const QString appDir = QCoreApplication::applicationDirPath();
    return {appDir, QDir::cleanPath(appDir + QStringLiteral("/../share/qvt-vz1-controller"))};
}

std::unique_ptr<CLanguageCatalogue> LoadLanguageLibrary(const char* fileName, const QStringList& dirs)
{
    if (!fileName)
        return nullptr;
    for (const QString& dir : dirs) {
        const QString path = dir + QLatin1Char('/') + QLatin1String(fileName);
        if (QFileInfo::exists(path))
            return CLanguageCatalogue::Load(path);
    }
    return nullptr;
}
