#pragma once
// The product's firmware update services: libcurl for the download, the file dialog and the
// questions through Prompter() on the user-interface thread, a non-blocking read of the
// firmware channel.
#include "firmware/FirmwareUpdateServices.h"

class SystemFirmwareUpdateServices final : public FirmwareUpdateServices
{
public:
    DownloadResult Download(const std::string& url, CByteStream& stream, const std::atomic<int>& cancel) override;
    LocalFileResult LoadLocalFile(CByteStream& stream, const std::atomic<int>& cancel) override;
    int Ask(const QString& text, UINT type, const std::atomic<int>& cancel) override;
    void DrainChannel(int handle) override;
};

// The services the update dialog uses unless it is given others.
FirmwareUpdateServices& SystemFirmwareServices();
