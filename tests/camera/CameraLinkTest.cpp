// The link's threads on short timings: the keeper notices a silent camera by itself,
// and requests from several threads at once each get their own reply.
#include "camera/CameraConnectionApi.h"
#include "camera/CameraLink.h"
#include "camera/QvtVz1Api.h"
#include "camera/ViscaUnits.h"
#include "camera/model/ViscaModel.h"
#include "camera/transport/ViscaIpTransport.h"
#include "platform/WinMessages.h"
#include "sim/VirtualCamera.h"
#include "tests/support/RecordingWindow.h"

#include <gtest/gtest.h>

#include <atomic>
#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>

namespace {

// Delivers everything posted to window so far: a marker posted now arrives after it.
void DeliverPosted(RecordingWindow& window)
{
    constexpr UINT kMarker = WM_USER + 99;
    const auto markers = window.Params(kMarker).size();
    PostMessage(&window, kMarker, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return window.Params(kMarker).size() > markers; }));
}

// A link on short timings to a virtual camera in this process.
struct CameraLinkThreads : ::testing::Test
{
    void SetUp() override
    {
        ASSERT_TRUE(camera.Attach());
        ASSERT_TRUE(link.Open(camera.PortPath(), &window, WM_CAMERA_LINK, WM_CAMERA_MODE));
    }
    static CameraLinkTiming Quick()
    {
        CameraLinkTiming timing;
        timing.replyTimeoutMs = 200;
        timing.keepAliveMs = 100;
        return timing;
    }

    VirtualCamera camera{{}, nullptr};
    RecordingWindow window;
    CameraLink link{Quick()};
};

} // namespace

TEST_F(CameraLinkThreads, KeeperReportsASilentCameraWithoutAnyRequest)
{
    camera.SetMute(true);
    ASSERT_TRUE(WaitUntil([&] { return window.Params(WM_CAMERA_LINK).size() == 2; }));
    EXPECT_EQ(window.Params(WM_CAMERA_LINK), (std::vector<WPARAM>{1, 0}));
    EXPECT_FALSE(link.IsUsable());
    link.Close();
    EXPECT_TRUE(window.Params(WM_CAMERA_COMM_ERROR).empty());
}

TEST_F(CameraLinkThreads, KeeperCatchesAStandChangeWhoseReportWasLost)
{
    camera.SetGarble(true);  // the report of the change turns into noise
    camera.SetStand(2);
    camera.SetGarble(false);
    ASSERT_TRUE(WaitUntil([&] {
        const auto modes = window.Params(WM_CAMERA_MODE);
        return !modes.empty() && modes.back() == 2u;
    }));
    EXPECT_TRUE(link.IsUsable());
}

TEST_F(CameraLinkThreads, ConcurrentRequestsEachGetTheirOwnReply)
{
    ASSERT_TRUE(link.Command(visca::RollDirect(0, visca_units::RollToWire(45)), CameraLink::Wait::Completion));
    ASSERT_TRUE(link.Command(visca::VideoFormatSet(1), CameraLink::Wait::Completion));

    std::atomic<int> wrong{0};
    auto ask = [&](bool roll) {
        for (int i = 0; i < 200; ++i) {
            const auto payload = link.Inquire(visca::VendorInquiry(roll ? visca::kItemRoll : visca::kItemVideoFormat), roll ? 4 : 1);
            if (!payload || (roll ? visca::ReadNibbles(*payload, 4) != 450u : (*payload)[0] != 1))
                ++wrong;
        }
    };
    std::thread a(ask, true), b(ask, false);
    a.join();
    b.join();
    EXPECT_EQ(wrong, 0);
    EXPECT_TRUE(link.IsUsable());
}

TEST_F(CameraLinkThreads, NewsOfAClosedLinkNeverReachesTheNextOne)
{
    camera.SetMute(true);  // the keeper posts the loss; nothing is delivered yet
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (link.IsUsable() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_FALSE(link.IsUsable());
    camera.SetMute(false);
    link.Close();
    ASSERT_TRUE(link.Open(camera.PortPath(), &window, WM_CAMERA_LINK, WM_CAMERA_MODE));
    DeliverPosted(window);
    EXPECT_EQ(window.Params(WM_CAMERA_LINK), (std::vector<WPARAM>{1}));
    EXPECT_EQ(window.Params(WM_CAMERA_MODE), (std::vector<WPARAM>{1}));
}

TEST(CameraLinkClose, AKeeperWaitingForItsAnswerIsNoMissedReply)
{
    std::atomic<int> standInquiries{0};
    VirtualCamera camera({}, [&](const std::string& line) { standInquiries += line == "inquire stand"; });
    ASSERT_TRUE(camera.Attach());
    RecordingWindow window;
    CameraLink link({.replyTimeoutMs = 5000, .keepAliveMs = 100, .missesForLinkLoss = 1});
    ASSERT_TRUE(link.Open(camera.PortPath(), &window, WM_CAMERA_LINK, WM_CAMERA_MODE));
    DeliverPosted(window);
    camera.SetMute(true);
    ASSERT_TRUE(WaitUntil([&] { return standInquiries >= 2; }));  // the keeper waits on its answer
    link.Close();
    DeliverPosted(window);
    EXPECT_EQ(window.Params(WM_CAMERA_LINK), (std::vector<WPARAM>{1}));
}

// The 20-bit camera of the model table over VISCA over IP, with the virtual camera's
// delivery confirmation as strict as a real one's.
struct StrictViscaIpCamera : ::testing::Test
{
    StrictViscaIpCamera()
        : camera(Options(), [this](const std::string& line) {
            std::lock_guard lock(mutex);
            lines.push_back(line);
        })
    {
    }
    static VirtualCameraOptions Options()
    {
        VirtualCameraOptions o;
        o.generic = true;
        o.model = "brc-h700";
        o.pty = false;
        o.network.viscaIp = 0;
        return o;
    }
    bool Open(CameraLink& link)
    {
        CameraLinkProfile profile;
        profile.vendorFrames = profile.addressSet = false;
        profile.positionReplyLength = BuiltInModel("brc-h700").PanTiltReplyLength();
        return camera.Attach()
            && link.Open(std::make_unique<ViscaIpTransport>("127.0.0.1", camera.NetworkBound().viscaIp), profile, &window,
                         WM_CAMERA_LINK, WM_CAMERA_MODE);
    }
    long Count(std::string_view start)
    {
        std::lock_guard lock(mutex);
        return std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.starts_with(start); });
    }

    std::mutex mutex;
    std::vector<std::string> lines;
    VirtualCamera camera;
    RecordingWindow window;
};

TEST_F(StrictViscaIpCamera, TheKeeperTakesTheFiveNibblePositionAsAnAnswer)
{
    CameraLink link({.replyTimeoutMs = 1000, .keepAliveMs = 50});
    ASSERT_TRUE(Open(link));
    ASSERT_TRUE(WaitUntil([&] { return Count("inquire pan-tilt") >= 4; }));
    // Each was answered at once: nothing timed out, was resent or refused.
    EXPECT_EQ(Count("ip-error"), 0);
    EXPECT_TRUE(link.IsUsable());
}

TEST_F(StrictViscaIpCamera, ALostReplyIsNotCarriedOutTwiceAndTheLinkCountsAgain)
{
    CameraLink link({.replyTimeoutMs = 1500, .keepAliveMs = 60000});
    ASSERT_TRUE(Open(link));
    camera.SetMute(true);  // carried out, its ACK lost
    bool ok = false;
    std::thread move([&] {
        ok = link.Command(visca::PanTiltAbsolute(0x8A58, 0, visca::kMaxPanSpeed, visca::kMaxTiltSpeed, 5),
                          CameraLink::Wait::Ack);
    });
    EXPECT_TRUE(WaitUntil([&] { return Count("pan-tilt-absolute") == 1; }));
    camera.SetMute(false);
    move.join();
    EXPECT_TRUE(ok);
    // The resend under the same number was refused, not carried out; the message went
    // again as number 1 after a RESET.
    EXPECT_EQ(Count("ip-error"), 1);
    EXPECT_EQ(Count("ip-reset"), 2);
    EXPECT_EQ(Count("pan-tilt-absolute pan=10 tilt=0"), 2);
    EXPECT_TRUE(link.IsUsable());
}

TEST_F(StrictViscaIpCamera, TheLibraryMovesItToItsEndsAndReadsThemBack)
{
    ASSERT_TRUE(camera.Attach());
    CameraConnection c;
    c.kind = CameraConnection::Kind::Network;
    c.host = "127.0.0.1";
    c.port = camera.NetworkBound().viscaIp;
    c.modelId = "brc-h700";
    CamConfigure(c);
    ASSERT_EQ(CamOpen("network", &window, WM_CAMERA_LINK, WM_CAMERA_MODE), 1);
    for (auto [pan, tilt] : {std::pair{10, 90}, {350, -30}, {123, 45}}) {
        EXPECT_EQ(CamSetPosition(1, pan, tilt, 90, 0), 1);
        int readPan = -1, readTilt = -1;
        EXPECT_EQ(CamGetPan(&readPan) && CamGetTilt(&readTilt), 1);
        EXPECT_EQ(std::pair(readPan, readTilt), std::pair(pan, tilt));
        EXPECT_EQ(Count("pan-tilt-absolute pan=" + std::to_string(pan) + " tilt=" + std::to_string(tilt)), 1);
    }
    CamClose();
    CamConfigure({});
}
