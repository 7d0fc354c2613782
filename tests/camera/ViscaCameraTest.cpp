// The real camera library against the virtual camera as a standard VISCA camera, on each
// transport: a serial line (pseudo-terminal), UDP, TCP and VISCA over IP on 127.0.0.1.
#include "camera/CameraConnectionApi.h"
#include "camera/QvtVz1Api.h"
#include "platform/WinMessages.h"
#include "sim/VirtualCamera.h"
#include "tests/support/RecordingWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <mutex>

namespace {

enum class Way { Serial, Udp, Tcp, ViscaIp };

class ViscaCamera : public ::testing::TestWithParam<Way>
{
protected:
    void SetUp() override
    {
        VirtualCameraOptions options;
        options.generic = true;
        options.pty = GetParam() == Way::Serial;
        (GetParam() == Way::Udp ? options.network.udp : GetParam() == Way::Tcp ? options.network.tcp
                                                                                 : options.network.viscaIp) =
            GetParam() == Way::Serial ? -1 : 0;
        camera = std::make_unique<VirtualCamera>(options, [this](const std::string& line) {
            std::lock_guard lock(traceMutex);
            trace.push_back(line);
        });
        ASSERT_TRUE(camera->Attach());
        connection = Connection();
        CamConfigure(connection);
    }

    void TearDown() override
    {
        CamClose();
        CamConfigure({});
        camera.reset();
    }

    CameraConnection Connection() const
    {
        CameraConnection c;
        const NetworkPorts bound = camera->NetworkBound();
        switch (GetParam()) {
        case Way::Serial:
            c.kind = CameraConnection::Kind::Serial;
            c.serialPort = camera->PortPath();
            c.baud = 38400;
            break;
        case Way::Udp:
            c.kind = CameraConnection::Kind::Network, c.net = CameraConnection::Net::Udp, c.port = bound.udp;
            break;
        case Way::Tcp:
            c.kind = CameraConnection::Kind::Network, c.net = CameraConnection::Net::Tcp, c.port = bound.tcp;
            break;
        case Way::ViscaIp:
            c.kind = CameraConnection::Kind::Network, c.net = CameraConnection::Net::ViscaIp, c.port = bound.viscaIp;
            break;
        }
        c.host = "127.0.0.1";
        return c;
    }

    void Open()
    {
        ASSERT_EQ(CamIsPresent(), 1);
        char port[20] = {};
        ASSERT_EQ(CamFindPort(port), 1);
        window.Clear();
        CamOpen(port, &window, WM_CAMERA_LINK, WM_CAMERA_MODE);
        ASSERT_TRUE(WaitUntil([&] { return !window.Params(WM_CAMERA_MODE).empty(); }));
        ASSERT_EQ(window.Params(WM_CAMERA_LINK), std::vector<WPARAM>{1});
        ASSERT_EQ(CamIsOpen(), 1);
        TakeTrace();
    }

    std::vector<std::string> TakeTrace()
    {
        std::lock_guard lock(traceMutex);
        return std::exchange(trace, {});
    }
    // The trace lines of camera commands (the keeper's inquiries left out).
    std::vector<std::string> Moves()
    {
        auto lines = TakeTrace();
        std::erase_if(lines, [](const std::string& l) { return l.starts_with("inquire"); });
        return lines;
    }

    std::unique_ptr<VirtualCamera> camera;
    CameraConnection connection;
    RecordingWindow window;
    std::mutex traceMutex;
    std::vector<std::string> trace;
};

} // namespace

TEST_P(ViscaCamera, DrivesPresetsAndReadsBackWithoutRoll)
{
    Open();
    EXPECT_EQ(window.Params(WM_CAMERA_MODE), std::vector<WPARAM>{1});  // "All participants"
    EXPECT_TRUE(window.Params(WM_CAMERA_COMM_ERROR).empty());

    EXPECT_EQ(CamDrive(10), 1);
    EXPECT_EQ(CamDrive(0), 1);
    EXPECT_EQ(Moves(), (std::vector<std::string>{"drive bits=10", "drive bits=0", "zoom-drive bits=0"}));

    // A preset: pan-tilt and zoom, the roll kept back. Out-of-range values are clamped
    // to the model's range (pan 10..350, tilt -30..90) rather than sent raw.
    struct Row { int pan, tilt, zoom; const char* panTilt; const char* zoomLine; int readPan, readTilt, readZoom; };
    const Row rows[] = {
        {65, 75, 39, "pan-tilt-absolute pan=65 tilt=75", "zoom-direct zoom=39", 65, 75, 39},
        {400, -90, 500, "pan-tilt-absolute pan=350 tilt=-30", "zoom-direct zoom=180", 350, -30, 180},
        {-5, 200, -1, "pan-tilt-absolute pan=10 tilt=90", "zoom-direct zoom=0", 10, 90, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.panTilt);
        EXPECT_EQ(CamSetPosition(1, r.pan, r.tilt, r.zoom, 45), 1);
        EXPECT_EQ(Moves(), (std::vector<std::string>{r.panTilt, r.zoomLine}));
        int pan = -1, tilt = -1, zoom = -1, roll = 77;
        EXPECT_EQ(CamGetPan(&pan) && CamGetTilt(&tilt) && CamGetZoom(&zoom), 1);
        EXPECT_EQ(CamGetRoll(&roll), 0);
        EXPECT_EQ((std::vector{pan, tilt, zoom, roll}), (std::vector{r.readPan, r.readTilt, r.readZoom, 77}));
    }

    // The built-in views are the camera's memories 0 and 3.
    EXPECT_EQ(CamSelectView(3), 1);
    int zoom = -1;
    EXPECT_EQ(CamGetZoom(&zoom), 1);
    EXPECT_EQ(zoom, 120);
    EXPECT_EQ(Moves(), std::vector<std::string>{"select-view view=3"});
}

TEST_P(ViscaCamera, RefusesWhatOnlyTheQvtVz1CanDoWithoutAskingTheCamera)
{
    Open();
    const CameraCapabilities caps = CamCapabilities();
    EXPECT_FALSE(caps.roll || caps.stand || caps.videoFormat || caps.firmware);
    int format = 5;
    char version[32] = "untouched";
    char port[20] = {};
    ASSERT_EQ(CamFindPort(port), 1);
    EXPECT_EQ(CamGetVideoFormat(&format), 0);
    EXPECT_EQ(CamSetVideoFormat(1), 0);
    EXPECT_EQ(CamCommitSettings(), 0);
    EXPECT_EQ(CamGetFirmwareVersion(version), 0);
    EXPECT_EQ(CamFirmwareOpen(port), -1);
    EXPECT_EQ(format, 5);
    EXPECT_STREQ(version, "untouched");
    EXPECT_TRUE(Moves().empty());
    EXPECT_EQ(CamIsOpen(), 1);
}

TEST_P(ViscaCamera, FramingChoosesTheStandAndTheTestNamesTheCamera)
{
    connection.framing = CameraConnection::kOneParticipant;
    CamConfigure(connection);
    Open();
    EXPECT_EQ(window.Params(WM_CAMERA_MODE), std::vector<WPARAM>{3});

    const CameraProbe probe = CamProbe(connection);  // through the open link
    EXPECT_TRUE(probe.ok) << probe.error;
    EXPECT_EQ(probe.vendor + "/" + probe.model + "/" + probe.rom, "0020/0511/0203");
    CamClose();
    EXPECT_TRUE(CamProbe(connection).ok);  // on a link of its own
}

TEST_P(ViscaCamera, ASlowCameraIsSlowOnEveryWay)
{
    Open();
    // Within the reply time-out; then beyond it and the one resend of VISCA over IP.
    for (auto [delayMs, answered] : {std::pair{150, 1}, {1000, 0}}) {
        camera->SetReplyDelay(delayMs);
        int pan = -1;
        EXPECT_EQ(CamGetPan(&pan), answered) << delayMs;
    }
    camera->SetReplyDelay(0);
}

TEST_P(ViscaCamera, ComesAndGoesWithTheCamera)
{
    Open();
    camera->Detach();
    // The next request (or the keeper's inquiry) finds the camera gone.
    ASSERT_TRUE(WaitUntil([&] {
        int pan;
        CamGetPan(&pan);
        return window.Params(WM_CAMERA_LINK) == std::vector<WPARAM>{1, 0};
    }));
    CamClose();
    EXPECT_EQ(CamIsPresent(), 0);
    ASSERT_TRUE(camera->Attach());
    ASSERT_TRUE(WaitUntil([&] { return CamIsPresent() == 1; }));
    Open();
}

std::string WayName(const ::testing::TestParamInfo<Way>& info)
{
    static const char* const names[] = {"Serial", "Udp", "Tcp", "ViscaIp"};
    return names[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Ways, ViscaCamera, ::testing::Values(Way::Serial, Way::Udp, Way::Tcp, Way::ViscaIp), WayName);

TEST(ViscaCameraErrors, AnUnreachableCameraIsAClearFailureNotAHang)
{
    struct Row { CameraConnection::Net net; const char* host; int port; };
    // Port 9 of 127.0.0.1: nothing listens (a refused TCP connection, an unanswered or
    // refused datagram).
    const Row rows[] = {{CameraConnection::Net::Tcp, "127.0.0.1", 9}, {CameraConnection::Net::Udp, "127.0.0.1", 9},
                        {CameraConnection::Net::ViscaIp, "127.0.0.1", 9}, {CameraConnection::Net::Tcp, "", 9}};
    for (const Row& r : rows) {
        CameraConnection c;
        c.kind = CameraConnection::Kind::Network, c.net = r.net, c.host = r.host, c.port = r.port;
        CamConfigure(c);
        const CameraProbe probe = CamProbe(c);
        EXPECT_FALSE(probe.ok);
        EXPECT_FALSE(probe.error.empty());
        EXPECT_EQ(CamIsPresent(), 0);
        RecordingWindow window;
        CamOpen("network", &window, WM_CAMERA_LINK, WM_CAMERA_MODE);
        EXPECT_TRUE(WaitUntil([&] { return !window.Params(WM_CAMERA_COMM_ERROR).empty(); }));
        EXPECT_TRUE(window.Params(WM_CAMERA_LINK).empty());
        EXPECT_EQ(CamIsOpen(), 0);
    }
    CameraConnection serial;
    serial.kind = CameraConnection::Kind::Serial, serial.serialPort = "/dev/no-such-port";
    CamConfigure(serial);
    char port[20] = {};
    EXPECT_EQ(CamIsPresent(), 0);
    EXPECT_EQ(CamFindPort(port), 0);
    CamConfigure({});
}
