#include "firmware/NamedFileFirmwareServices.h"

#include "firmware/FirmwareAddress.h"
#include "firmware/LocalFirmwareFile.h"
#include "firmware/SystemFirmwareUpdateServices.h"
#include "platform/Prompt.h"

DownloadResult NamedFileFirmwareServices::Download(const std::string&, CByteStream& stream, const std::atomic<int>& cancel)
{
    // The named address, not the profile's, which the update was not asked for.
    if (!IsFirmwareWebAddress(m_path))
        return DownloadResult::Failed;
    return SystemFirmwareServices().Download(m_path.toStdString(), stream, cancel);
}

LocalFileResult NamedFileFirmwareServices::LoadLocalFile(CByteStream& stream, const std::atomic<int>& cancel)
{
    if (cancel.load())
        return LocalFileResult::Cancelled;
    return ReadFirmwareFile(m_path, stream) ? LocalFileResult::Ok : LocalFileResult::Failed;
}

int NamedFileFirmwareServices::Ask(const QString&, UINT, const std::atomic<int>& cancel)
{
    return cancel.load() ? IDCANCEL : IDOK;
}

void NamedFileFirmwareServices::DrainChannel(int handle)
{
    SystemFirmwareServices().DrainChannel(handle);
}
