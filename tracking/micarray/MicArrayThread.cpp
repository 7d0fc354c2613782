// The microphone array source (kind 6): the talker's sector from the array's own audio,
// through the same 500 ms hold as the QVT-40S, so the camera never chases single frames.
#include "tracking/DeviceFileFilter.h"
#include "tracking/TrackingContext.h"
#include "tracking/TrackingState.h"
#include "tracking/TrackingThreads.h"
#include "tracking/micarray/AudioCapture.h"
#include "tracking/micarray/DirectionFinder.h"
#include "tracking/micarray/MicArrayReadout.h"
#include "tracking/micarray/SectorDecision.h"

#include <QLoggingCategory>

namespace {

Q_LOGGING_CATEGORY(lcMicArray, "qvt.tracking.micarray", QtWarningMsg)

constexpr std::size_t kBlockFrames = 256;

std::unique_ptr<AudioCapture> OpenCapture(const MicArraySetup& setup, int channels)
{
    std::string device = setup.device;
    if (device.empty()) {
        const std::vector<CaptureDevice> devices = ListCaptureDevices();
        if (devices.empty())
            return nullptr;
        device = devices.front().name;
    }
    std::string error;
    auto capture = OpenAlsaCapture(device, channels, &error);
    if (!capture)
        qCInfo(lcMicArray, "%s", error.c_str());
    return capture;
}

} // namespace

unsigned MicArrayThread(HWND dialog, CClock&, const TrackingContext& context)
{
    PostTrackingDirection(dialog, 255);
    MicArrayReadout unwatched;  // nobody shows the decisions
    MicArrayReadout& readout = context.micArrayReadout ? *context.micArrayReadout : unwatched;
    readout.Clear();
    const MicArraySetup& setup = context.micArray;
    const std::optional<ArrayGeometry> geometry = ParseArrayGeometry(setup.geometry);
    if (!geometry) {
        qCInfo(lcMicArray, "unusable array geometry \"%s\"", setup.geometry.c_str());
        return 0;
    }
    const std::unique_ptr<AudioCapture> capture = OpenCapture(setup, geometry->Channels());
    if (!capture)
        return 0;  // no array: the worker ends, as after any failed open

    DirectionFinder finder(*geometry, capture->Rate());
    SectorDecision sectors(setup.nZeroAngle);
    DeviceFileFilter hold;
    std::vector<float> block(kBlockFrames * geometry->Channels());
    std::vector<DoaDecision> decisions;
    while (!g_bStopTracking.load()) {
        const long frames = capture->Read(block.data(), kBlockFrames);
        if (frames < 0)
            break;  // the device went away; the next start looks for it again
        decisions.clear();
        finder.Feed(block.data(), std::size_t(frames), decisions);
        for (const DoaDecision& d : decisions) {
            readout.Publish(d);
            // Held on the audio's own time, which is what the talker's speech follows.
            const BYTE sector = sectors.Next(d);
            if (hold.Accept(sector, DWORD(d.timeS * 1000)))
                PostTrackingDirection(dialog, sector);
        }
    }
    readout.Clear();
    return 0;
}
