#include "firmware/NamedFileFirmwareServices.h"

#include "firmware/LocalFirmwareFile.h"
#include "firmware/SystemFirmwareUpdateServices.h"
#include "platform/Prompt.h"

DownloadResult NamedFileFirmwareServices::Download(const std::string&, CByteStream&, const std::atomic<int>&)
{
    return DownloadResult::Failed;  // a named file is local; the network source is never chosen
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
