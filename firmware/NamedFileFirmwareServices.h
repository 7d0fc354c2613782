#pragma once
// The firmware update from a file named in advance (the remote verbs): the file is read
// instead of asking for one, or, for an http:// or https:// address, downloaded from there
// instead of the profile's address; both questions are answered "OK", since whoever named
// the file asked for exactly this update. The channel is read as the product's services do.
#include "firmware/FirmwareUpdateServices.h"

class NamedFileFirmwareServices final : public FirmwareUpdateServices
{
public:
    explicit NamedFileFirmwareServices(QString path) : m_path(std::move(path)) {}

    DownloadResult Download(const std::string& url, CByteStream& stream, const std::atomic<int>& cancel) override;
    LocalFileResult LoadLocalFile(CByteStream& stream, const std::atomic<int>& cancel) override;
    int Ask(const QString& text, UINT type, const std::atomic<int>& cancel) override;
    void DrainChannel(int handle) override;

private:
    QString m_path;
};
