#pragma once
// Reading a firmware file the user picked.
#include "firmware/ByteStream.h"
#include "platform/WinTypes.h"

#include <QString>

#include <cstdint>

// A local file may be no larger than a download (FirmwareDownload.h): 64 MiB.
constexpr std::int64_t kMaxFirmwareFileBytes = 64ll * 1024 * 1024;

// Appends the file's bytes to stream in 1024-byte chunks. FALSE when the file does not
// open, a read fails part way, the stream cannot take the bytes, or the file passes
// maxBytes; a broken read is not passed off as a whole file.
BOOL ReadFirmwareFile(const QString& path, CByteStream& stream, std::int64_t maxBytes = kMaxFirmwareFileBytes);

// Where the process's current folder goes after the file dialog: the user's documents
// folder, else the program's folder.
void RestoreCurrentFolder();
