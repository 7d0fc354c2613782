#include "firmware/LocalFirmwareFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include <cstdio>
#include <memory>

BOOL ReadFirmwareFile(const QString& path, CByteStream& stream, std::int64_t maxBytes)
{
    const QByteArray native = QFile::encodeName(path);
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(native.constData(), "rb"), &std::fclose);
    if (!file)
        return FALSE;
    char chunk[1024];
    std::int64_t total = 0;
    for (;;) {
        const size_t n = std::fread(chunk, 1, sizeof chunk, file.get());
        if (n == 0)
            break;
        total += static_cast<std::int64_t>(n);
        if (total > maxBytes)
            return FALSE;
        if (stream.Write(chunk, static_cast<std::int32_t>(n)) != static_cast<std::int32_t>(n))
            return FALSE;
    }
    return std::ferror(file.get()) ? FALSE : TRUE;
}

void RestoreCurrentFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QDir::setCurrent(documents))
        return;
    QDir::setCurrent(QCoreApplication::applicationDirPath());
}
