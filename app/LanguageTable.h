#pragma once
// The user's locale as a Windows locale id, and the language catalogue that id asks for.
#include "platform/WinTypes.h"

#include <QStringList>

#include <memory>
#include <string_view>

class CLanguageCatalogue;

using LCID = DWORD;
constexpr LCID kLocaleEnglishUS = 0x0409;

// "de_CH.UTF-8", "fr_CA@euro", "ja_JP" -> 0x0807, 0x0C0C, 0x0411. A bare language ("de")
// takes its main country. "C", "POSIX", empty and unknown names give en_US (0x0409).
LCID LocaleIdFromName(std::string_view name);

// The user's default locale: the first set of LC_ALL, LC_MESSAGES and LANG.
LCID GetUserDefaultLCID();

// The catalogue the locale asks for ("RESDE.ini", "RESFR.ini", "RESJP.ini", "RESCN.ini"), or
// null for every locale that uses the built-in texts.
const char* LanguageLibraryName(LCID lcid);

// The language of Qt's own translations ("qtbase_<name>.qm") that go with the catalogue of
// the locale: "de", "fr", "ja", "zh_CN"; empty where the built-in texts serve.
QString QtTranslationName(LCID lcid);

// Where catalogues are looked for, in order: the program's folder, then the install's data
// folder (<prefix>/share/qvt-vz1-controller beside <prefix>/bin).
QStringList LanguageLibraryDirs();

// The catalogue named fileName from the first folder that has it; null when none does or the
// file cannot be read.
std::unique_ptr<CLanguageCatalogue> LoadLanguageLibrary(const char* fileName, const QStringList& dirs);
