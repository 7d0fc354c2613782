#pragma once
// What the firmware update worker needs besides the camera library: the file's bytes (from
// the network or a local file), the user's answers to its two questions, and a read on the
// firmware channel while the camera restarts. The product's implementation is
// SystemFirmwareUpdateServices; tests hand in their own.
#include "firmware/ByteStream.h"
#include "firmware/FirmwareDownload.h"
#include "platform/WinTypes.h"

#include <QString>

#include <atomic>
#include <string>

// How picking and reading a local file ended: the user's cancel is not a failure.
enum class LocalFileResult { Ok, Failed, Cancelled };

class FirmwareUpdateServices
{
public:
    virtual ~FirmwareUpdateServices() = default;

    virtual DownloadResult Download(const std::string& url, CByteStream& stream, const std::atomic<int>& cancel) = 0;

    // Lets the user pick a ".BIN" file and appends its bytes; Failed when the file does not
    // open, is unreadable or too large, Cancelled when the user closes the picker.
    virtual LocalFileResult LoadLocalFile(CByteStream& stream, const std::atomic<int>& cancel) = 0;

    // A question with the caption "QVT-VZ1"; IDOK or IDCANCEL (also when cancel is set).
    virtual int Ask(const QString& text, UINT type, const std::atomic<int>& cancel) = 0;

    // Reads and drops whatever the firmware channel has ready, never blocking.
    virtual void DrainChannel(int handle) = 0;
};
