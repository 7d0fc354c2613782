#pragma once
// A language catalogue: the translated texts of one language, read from a UTF-8 text file
// that stands in for a resource-only library ("RESFR.DLL" becomes "RESFR.ini").
//
//   ; comment
//   [Strings]            string table:  id=text
//   35015=QVT-VZ1 est disponible.
//   [Menu193]            menu 193:      command id=text (0 = the popup's title)
//   32776=Afficher le &contrôleur
//   [Dialog102]          dialog 102:    control id=text
//
// Values are trimmed; a value in double quotes keeps its blanks. \n, \r, \t, \\ and \" are
// escapes. Lines that do not fit the format are skipped, so a damaged catalogue still gives
// every text it holds and the program shows the built-in English text for the rest.
#include "platform/WinTypes.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>

class CLanguageCatalogue
{
public:
    // Reads path; null when the file is missing, unreadable or larger than any catalogue can be.
    static std::unique_ptr<CLanguageCatalogue> Load(const QString& path);
    // Parses text already read.
    static std::unique_ptr<CLanguageCatalogue> Parse(const QByteArray& text);

    // The translated text, or an empty string when the catalogue has none.
    QString String(UINT id) const;
    QString MenuItem(UINT menuId, UINT commandId) const;
    QString DialogItem(UINT templateId, UINT controlId) const;

    // Every text the catalogue holds, in no particular order.
    QStringList Texts() const { return m_texts.values(); }
    int Count() const { return static_cast<int>(m_texts.size()); }

    // The largest file accepted: far above any real catalogue.
    static constexpr qint64 kMaxFileSize = 1024 * 1024;

private:
    // Key: section kind and number in the high half, item id in the low half.
    QHash<quint64, QString> m_texts;
};
