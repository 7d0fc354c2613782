#include "firmware/SystemFirmwareUpdateServices.h"

#include "firmware/LocalFirmwareFile.h"
#include "firmware/UiThreadCall.h"
#include "platform/Prompt.h"
#include "res/Strings.h"
#include "res/TextIds.h"

#include <QApplication>

#include <poll.h>
#include <unistd.h>

DownloadResult SystemFirmwareUpdateServices::Download(const std::string& url, CByteStream& stream,
                                                      const std::atomic<int>& cancel)
{
    return DownloadToStream(url.c_str(), &stream, &cancel);
}

LocalFileResult SystemFirmwareUpdateServices::LoadLocalFile(CByteStream& stream, const std::atomic<int>& cancel)
{
    const auto path = CallOnUiThread<std::optional<QString>>(
        [] {
            FileDialogRequest request;
            request.open = true;
            // Both cases: Linux file names are case-sensitive, the maker ships ".BIN".
            request.filter = LoadFilterString(IDS_FILTER_FIRMWARE_FILES);
            request.overwritePrompt = true;
            auto chosen = Prompter().FileDialog(nullptr, request);
            RestoreCurrentFolder();
            return chosen;
        },
        cancel);
    if (!path || !*path)
        return LocalFileResult::Cancelled;
    return ReadFirmwareFile(**path, stream) ? LocalFileResult::Ok : LocalFileResult::Failed;
}

int SystemFirmwareUpdateServices::Ask(const QString& text, UINT type, const std::atomic<int>& cancel)
{
    const auto answer = CallOnUiThread<int>(
        [text, type] {
            return Prompter().MessageBox(QApplication::activeWindow(), QString::fromLatin1(kMessageBoxCaption), text, type);
        },
        cancel);
    return answer.value_or(IDCANCEL);
}

void SystemFirmwareUpdateServices::DrainChannel(int handle)
{
    // The camera talks on the channel while it restarts; what it says is not needed, and a
    // read must never hold up the restart wait.
    if (handle < 0)
        return;
    pollfd p{handle, POLLIN, 0};
    if (::poll(&p, 1, 0) > 0 && (p.revents & POLLIN)) {
        char buf[256];
        [[maybe_unused]] const ssize_t n = ::read(handle, buf, sizeof buf);
    }
}

FirmwareUpdateServices& SystemFirmwareServices()
{
    static SystemFirmwareUpdateServices services;
    return services;
}
