#include "firmware/FirmwareUpdateWorker.h"

#include "camera/QvtVz1Api.h"
#include "firmware/FirmwareImage.h"
#include "firmware/FirmwareVersion.h"
#include "firmware/MessageText.h"
#include "platform/Prompt.h"
#include "platform/WinMessage.h"
#include "platform/WinMessages.h"
#include "res/Strings.h"

#include <memory>
#include <optional>
#include <string>

namespace {

constexpr UINT IDS_FW_CONFIRM_VERSIONS = 35037;
constexpr UINT IDS_FW_NO_UPDATE_NEEDED = 35026;

struct Run
{
    HWND wnd;
    const FirmwareUpdateInputs& in;
    FirmwareUpdateServices& services;
    CClock& clock;
    const std::atomic<int>& cancel;

    void Post(UINT msg, WPARAM w) { PostMessage(wnd, msg, w, 0); }
    bool Cancelled() const { return cancel.load() != 0; }

    WPARAM Update()
    {
        CFirmwareImage image;
        if (const auto end = ObtainImage(image))
            return *end;
        if (!Confirmed(image))
            return FW_RESULT_CANCELLED;
        return WriteAndRestart(image);
    }

    // Steps 1 to 5: the file's bytes into an image; the run's result when it ends here.
    std::optional<WPARAM> ObtainImage(CFirmwareImage& image)
    {
        auto stream = std::make_unique<CByteStream>();
        if (!stream->Create()) {
            Post(WM_FW_DOWNLOADED, 0);
            return FW_RESULT_FAILED;
        }
        if (in.nSource == 0) {
            switch (services.Download(in.strDownloadUrl, *stream, cancel)) {
            case DownloadResult::Ok:
                break;
            case DownloadResult::Cancelled:
                return FW_RESULT_CANCELLED;
            case DownloadResult::HttpError:
                // The server answered, but not with a firmware file (a missing file's page):
                // reported like a file that does not load.
                Post(WM_FW_DOWNLOADED, 1);
                Post(WM_FW_LOADED, static_cast<WPARAM>(static_cast<LPARAM>(FW_LOAD_INVALID)));
                return FW_RESULT_FAILED;
            default:
                Post(WM_FW_DOWNLOADED, 0);
                return FW_RESULT_FAILED;
            }
        } else if (const LocalFileResult r = services.LoadLocalFile(*stream, cancel); r != LocalFileResult::Ok) {
            if (r == LocalFileResult::Cancelled || Cancelled())
                return FW_RESULT_CANCELLED;
            Post(WM_FW_DOWNLOADED, 0);
            return FW_RESULT_FAILED;
        }
        if (Cancelled())
            return FW_RESULT_CANCELLED;
        Post(WM_FW_DOWNLOADED, 1);

        const std::int32_t r = image.Load(stream->GetData(), static_cast<std::uint32_t>(stream->GetLength()));
        stream.reset();  // the file is not needed once the image is out of it
        // A negative result travels as the same bits an int posted through a WPARAM has.
        Post(WM_FW_LOADED, static_cast<WPARAM>(static_cast<LPARAM>(r)));
        if (r != FW_LOAD_OK)
            return FW_RESULT_FAILED;
        return std::nullopt;
    }

    // Steps 6 to 8.
    bool Confirmed(const CFirmwareImage& image)
    {
        const std::string offered = image.GetVersionText();
        const QString current = QString::fromStdString(in.strCurrentVersion);
        const QString text = FormatMessageText(LoadStringRes(IDS_FW_CONFIRM_VERSIONS),
                                               {current, QString::fromStdString(offered)});
        if (services.Ask(text, MB_OKCANCEL, cancel) != IDOK || Cancelled())
            return false;
        if (!IsUpdateNeeded(in.strCurrentVersion.c_str(), offered.c_str())) {
            if (services.Ask(LoadStringRes(IDS_FW_NO_UPDATE_NEEDED), MB_OKCANCEL | MB_ICONINFORMATION, cancel) != IDOK ||
                Cancelled())
                return false;
        }
        return true;
    }

    // Steps 9 to 12.
    WPARAM WriteAndRestart(const CFirmwareImage& image)
    {
        std::uint32_t length = 0;
        const std::uint8_t* bytes = image.GetImage(&length, nullptr);
        const int h = CamFirmwareOpen(in.strPortName.c_str());
        if (!CamFirmwareWrite(h, bytes, static_cast<int>(length), wnd, WM_FW_WRITE_PROGRESS)) {
            CamFirmwareClose(h);
            Post(WM_FW_WRITE_PROGRESS, static_cast<WPARAM>(-1));
            return FW_RESULT_FAILED;
        }
        const DWORD start = clock.GetTickCount();
        DWORD last = static_cast<DWORD>(-1);
        for (;;) {
            const DWORD seconds = (clock.GetTickCount() - start) / 1000;
            services.DrainChannel(h);
            if (seconds != last) {
                Post(WM_FW_RESTART_PROGRESS, static_cast<WPARAM>(seconds) * 10);
                last = seconds;
            }
            if (last > kRestartLastSecond)
                break;
            clock.Sleep(kRestartPollMs);
        }
        CamFirmwareClose(h);
        return FW_RESULT_COMPLETED;
    }
};

} // namespace

DWORD FirmwareUpdateThread(HWND wnd, const FirmwareUpdateInputs& inputs, FirmwareUpdateServices& services,
                           CClock& clock, const std::atomic<int>& cancel)
{
    Run run{wnd, inputs, services, clock, cancel};
    const WPARAM result = run.Cancelled() ? FW_RESULT_CANCELLED : run.Update();
    run.Post(WM_FW_FINISHED, result);
    return 0;
}
