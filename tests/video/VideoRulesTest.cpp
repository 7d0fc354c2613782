// The rules under the live picture: when a silent preview is restarted or given up, and
// where the picture of the camera in use comes from.
#include "video/FrameWatchdog.h"
#include "video/VideoSourceChoice.h"

#include <gtest/gtest.h>

namespace {

using Action = FrameWatchdog::Action;

TEST(FrameWatchdog, RestartsASilentPreviewOnceThenGivesUp)
{
    struct Step
    {
        long long atMs;
        bool frame;  // a frame arrives at atMs; else the watchdog is asked
        Action expected;
    };
    const struct
    {
        const char* name;
        std::vector<Step> steps;
    } cases[] = {
        {"frames keep it going", {{2999, false, Action::None}, {2000, true, Action::None}, {4999, false, Action::None},
                                  {5000, false, Action::Restart}}},
        {"no first frame", {{3000, false, Action::Restart}, {5999, false, Action::None}, {6000, false, Action::GiveUp},
                            {60000, false, Action::None}}},
        {"frames after the restart", {{3000, false, Action::Restart}, {4000, true, Action::None},
                                      {6999, false, Action::None}, {7000, false, Action::GiveUp}}},
    };
    for (const auto& c : cases) {
        FrameWatchdog watchdog;
        watchdog.Start(0);
        for (const Step& step : c.steps) {
            if (step.frame)
                watchdog.Frame(step.atMs);
            else
                EXPECT_EQ(watchdog.Check(step.atMs), step.expected) << c.name << " at " << step.atMs;
        }
    }
}

TEST(VideoSourceChoice, StreamFirstThenSystemCameraThenTheVirtualOne)
{
    CameraConnection usb;
    CameraConnection network;
    network.kind = CameraConnection::Kind::Network;
    CameraConnection streamed = network;
    streamed.videoStream = "rtsp://cam/live";
    const VideoSource system;
    const VideoSource simulated{VideoSource::Kind::Devices, "/run/q/sys", "/run/q/dev", ""};
    const VideoSource stream{VideoSource::Kind::Stream, "/sys", "/dev", "rtsp://cam/live"};
    const struct
    {
        CameraConnection connection;
        bool onSystem;
        const char* virtualDir;
        VideoSource expected;
    } cases[] = {
        {streamed, true, "/run/q", stream},
        {usb, false, "/run/q", simulated},
        {usb, true, "/run/q", system},  // a plugged-in camera wins over the simulator
        {usb, false, "", system},
        {network, false, "/run/q", system},  // the simulator's picture is the USB camera's
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChooseVideoSource(c.connection, c.onSystem, c.virtualDir), c.expected)
            << static_cast<int>(c.connection.kind) << c.onSystem << c.virtualDir;
}

} // namespace
