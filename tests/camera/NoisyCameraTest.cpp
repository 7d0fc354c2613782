// The library against a camera whose line is dirty: every reply comes wrapped in noise,
// truncated and overlong frames and replies for nobody, or the reply itself is damaged.
#include "camera/QvtVz1Api.h"
#include "camera/ViscaFrameSplitter.h"
#include "platform/WinMessages.h"
#include "sim/CameraModel.h"
#include "sim/PseudoTerminal.h"
#include "sim/ViscaServer.h"
#include "tests/support/RecordingWindow.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <poll.h>
#include <random>
#include <thread>
#include <unistd.h>

namespace {

enum class Dirt { Interleaved, TruncatedReplies, OverlongReplies };

// A camera on a pseudo-terminal that answers through ViscaServer and dirties the replies.
class NoisyCamera
{
public:
    explicit NoisyCamera(Dirt dirt)
        : m_dirt(dirt)
    {
        m_ok = m_pty.Open();
        if (m_ok)
            m_thread = std::thread([this] { Run(); });
    }
    ~NoisyCamera()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    bool ok() const { return m_ok; }
    std::string Port() const { return m_pty.SlavePath(); }

private:
    // Bytes that are no frame, a frame cut short, one that never ends, frames for nobody
    // (an unknown type, another socket's completion), an inquiry reply of no inquiry's length.
    visca::Frame Noise()
    {
        visca::Frame never{0x90, 0x50};
        never.insert(never.end(), 30, 0x02);
        const visca::Frame fixed[] = {{0x90, 0x50, 0x01}, never, {0x90, 0x77, 0xFF, 0x90, 0x52, 0xFF},
                                      {0x90, 0x50, 0x01, 0x02, 0x03, 0xFF}};
        if (const unsigned pick = m_rng() % 5; pick < 4)
            return fixed[pick];
        visca::Frame noise(m_rng() % 12);
        for (auto& byte : noise)
            byte = static_cast<std::uint8_t>(m_rng() % 0x80);
        return noise;
    }

    visca::Frame Dirty(const visca::Frame& reply, const visca::Frame& request)
    {
        // The link start stays clean so that every dirty case reaches the getters.
        if (request[0] == visca::kBroadcastHeader || m_dirt == Dirt::Interleaved) {
            visca::Frame out = Noise(), after = Noise();
            out.insert(out.end(), reply.begin(), reply.end());
            out.insert(out.end(), after.begin(), after.end());
            return out;
        }
        visca::Frame out(reply.begin(), reply.end() - 1);  // truncated: no terminator ever
        if (m_dirt == Dirt::OverlongReplies) {
            out.insert(out.end(), 40, 0x01);
            out.push_back(0xFF);
        }
        return out;
    }

    void Run()
    {
        std::uint8_t buf[512];
        while (!m_stop) {
            pollfd pfd{m_pty.Master(), POLLIN, 0};
            if (::poll(&pfd, 1, 20) <= 0)
                continue;
            const ssize_t n = ::read(m_pty.Master(), buf, sizeof buf);
            if (n <= 0)
                continue;
            m_splitter.Feed({buf, static_cast<size_t>(n)}, [this](const visca::Frame& f) {
                const ServerOutput out = m_server.Handle(f, 0);
                const visca::Frame bytes = Dirty(out.reply, f);
                [[maybe_unused]] ssize_t w = ::write(m_pty.Master(), bytes.data(), bytes.size());
            });
        }
    }

    Dirt m_dirt;
    bool m_ok = false;
    PseudoTerminal m_pty;
    CameraModel m_model;
    ViscaServer m_server{m_model};
    visca::FrameSplitter m_splitter{ViscaServer::kMaxFrameLength};
    std::mt19937 m_rng{99};
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

struct NoisyLine : ::testing::Test
{
    void TearDown() override { CamClose(); }
    RecordingWindow window;
};

} // namespace

TEST_F(NoisyLine, GoodRepliesAmongGarbageAreFoundAndTheValuesAreRight)
{
    NoisyCamera camera(Dirt::Interleaved);
    ASSERT_TRUE(camera.ok());
    CamOpen(camera.Port().c_str(), &window, WM_CAMERA_LINK, WM_CAMERA_MODE);
    ASSERT_TRUE(WaitUntil([&] { return !window.Params(WM_CAMERA_LINK).empty(); }));
    ASSERT_EQ(window.Params(WM_CAMERA_LINK).front(), 1u);
    for (int i = 0; i < 40; ++i) {
        const int pan = (i * 37) % 361, tilt = (i * 7) % 80, zoom = (i * 13) % 181, roll = (i * 29) % 271;
        ASSERT_EQ(CamSetPosition(2, pan, tilt, zoom, roll), 1) << i;
        int got[4] = {-1, -1, -1, -1};
        ASSERT_EQ(CamGetPan(&got[0]) + CamGetTilt(&got[1]) + CamGetZoom(&got[2]) + CamGetRoll(&got[3]), 4) << i;
        EXPECT_EQ(std::vector<int>(got, got + 4), (std::vector<int>{pan, tilt, zoom, roll})) << i;
    }
    char version[32];
    std::fill(std::begin(version), std::end(version), 'x');  // the answer is terminated
    ASSERT_EQ(CamGetFirmwareVersion(version), 1);
    EXPECT_STREQ(version, "2.03");
    EXPECT_EQ(CamIsOpen(), 1);
    EXPECT_TRUE(window.Params(WM_CAMERA_COMM_ERROR).empty());
}

TEST_F(NoisyLine, TruncatedOrOverlongRepliesFailTheGettersInTimeAndLeaveValuesAlone)
{
    for (Dirt dirt : {Dirt::TruncatedReplies, Dirt::OverlongReplies}) {
        window.Clear();
        NoisyCamera camera(dirt);
        ASSERT_TRUE(camera.ok());
        CamOpen(camera.Port().c_str(), &window, WM_CAMERA_LINK, WM_CAMERA_MODE);
        ASSERT_TRUE(WaitUntil([&] { return !window.Params(WM_CAMERA_LINK).empty(); }));
        int zoom = 1234;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(CamGetZoom(&zoom), 0);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        EXPECT_EQ(zoom, 1234);
        char version[32] = "untouched";
        EXPECT_EQ(CamGetFirmwareVersion(version), 0);
        EXPECT_STREQ(version, "untouched");
        // Two unanswered requests in a row: the link is reported lost, once.
        ASSERT_TRUE(WaitUntil([&] { return window.Params(WM_CAMERA_LINK).size() == 2; }));
        EXPECT_EQ(window.Params(WM_CAMERA_LINK).back(), 0u);
        EXPECT_EQ(CamDrive(8), 0);  // fails at once now, without waiting
        CamClose();
    }
}
