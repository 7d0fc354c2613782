#pragma once
// Whether a firmware file named to the remote verbs is a web address to download rather than
// a file to read.
#include <QString>

inline bool IsFirmwareWebAddress(const QString& path)
{
    return path.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
        || path.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}
