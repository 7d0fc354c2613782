// The window with real pictures: the virtual camera through its GStreamer plugin (a real
// simulator process), a local RTSP server, and sources that never send a frame.
#include "camera/CameraAnnouncement.h"
#include "camera/CameraConnection.h"
#include "tests/support/CameraApiDouble.h"
#include "tests/support/RecordingWindow.h"
#include "video/VideoDlg.h"
#include "video/VideoPicture.h"
#include "video/VideoSourceChoice.h"

#include <QCameraDevice>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QImage>
#include <QMediaDevices>
#include <QProcess>
#include <QVideoFrame>
#include <QVideoSink>
#include <QVideoWidget>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kFirstFrameMs = 15000;  // generous: a loaded machine, or a sanitizer build

// Counts the frames the window's video widget shows and keeps the last one.
struct FrameCounter
{
    int count = 0;
    QVideoFrame last;
    QMetaObject::Connection connection;

    explicit FrameCounter(CVideoDlg& dlg)
    {
        QVideoWidget* widget = dlg.findChild<QVideoWidget*>();
        if (!widget)
            return;
        connection = QObject::connect(widget->videoSink(), &QVideoSink::videoFrameChanged, widget,
                                      [this](const QVideoFrame& frame) {
                                          ++count;
                                          last = frame;
                                      });
    }
    ~FrameCounter() { QObject::disconnect(connection); }
    bool WaitFor(int frames, int timeoutMs = kFirstFrameMs)
    {
        const int target = count + frames;
        return WaitUntil([&] { return count >= target; }, timeoutMs);
    }
    QImage Picture() const { return QVideoFrame(last).toImage(); }
};

bool Uniform(const QImage& image)
{
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); y += 7) {
        for (int x = 0; x < image.width(); x += 7) {
            if (image.pixel(x, y) != first)
                return false;
        }
    }
    return true;
}

// The window gave the picture up: its video widget is hidden (NO VIDEO shows through).
bool ShowsNoVideo(CVideoDlg& dlg)
{
    const QVideoWidget* widget = dlg.findChild<QVideoWidget*>();
    return !widget || !widget->isVisible();
}

// A simulator of its own (in this test process's private runtime folder), driven through
// its console.
class Simulator
{
public:
    Simulator()
    {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(QVT_SIM_PATH), {});
        m_process.waitForStarted();
    }
    ~Simulator()
    {
        m_process.write("quit\n");
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished();
    }
    void Command(const char* line) { m_process.write(line), m_process.write("\n"); }
    // Qt lists the camera (the plugin saw the simulator).
    static bool Listed()
    {
        for (const QCameraDevice& input : QMediaDevices::videoInputs()) {
            if (input.description() == QStringLiteral("NORVEL QVT-VZ1"))
                return true;
        }
        return false;
    }
    bool WaitListed(bool listed) { return WaitUntil([&] { return Listed() == listed; }, kFirstFrameMs); }

private:
    QProcess m_process;
};

// Pans the camera (degrees from the centre, 0..179) through its announced port, as the
// controller's library does.
bool PanTo(int degrees)
{
    const std::string port = ReadCameraAnnouncement();
    const int fd = ::open(port.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const int wire = degrees * 10;
    const unsigned char frame[] = {0x81, 0x01, 0x06, 0x02, 0x18, 0x17,
                                   static_cast<unsigned char>((wire >> 12) & 15), static_cast<unsigned char>((wire >> 8) & 15),
                                   static_cast<unsigned char>((wire >> 4) & 15), static_cast<unsigned char>(wire & 15),
                                   0, 0, 0, 0, 0xFF};
    const bool written = ::write(fd, frame, sizeof frame) == static_cast<ssize_t>(sizeof frame);
    ::close(fd);
    return written;
}

std::unique_ptr<CVideoDlg> OpenWindow(const CameraConnection& connection)
{
    auto dlg = std::make_unique<CVideoDlg>(nullptr, MakeVideoCapture(connection));
    dlg->Create();
    return dlg;
}

CameraConnection StreamConnection(const std::string& url)
{
    CameraConnection connection;
    connection.kind = CameraConnection::Kind::Network;
    connection.videoStream = url;
    return connection;
}

TEST(VideoLive, VirtualCameraShowsTheRoomFollowsThePanAndSurvivesUnplugging)
{
    CamDouble().Reset();
    Simulator sim;
    ASSERT_TRUE(sim.WaitListed(true));
    // Opened and closed repeatedly, each time showing frames.
    for (int i = 0; i < 20; ++i) {
        auto dlg = OpenWindow(CameraConnection{});
        FrameCounter frames(*dlg);
        ASSERT_TRUE(frames.WaitFor(i == 0 ? 10 : 1)) << "opening " << i;
        dlg->DestroyWindow();
    }

    auto dlg = OpenWindow(CameraConnection{});
    FrameCounter frames(*dlg);
    ASSERT_TRUE(frames.WaitFor(3));
    const QImage before = frames.Picture();
    ASSERT_FALSE(before.isNull());
    EXPECT_FALSE(Uniform(before));
    // The virtual camera has no quality control.
    EXPECT_EQ(dlg->GetInitialQuality(), -1);

    ASSERT_TRUE(PanTo(60));
    EXPECT_TRUE(WaitUntil([&] { return frames.WaitFor(1, 1000) && frames.Picture() != before; }, kFirstFrameMs));

    // Unplugged with the window open: the picture goes, nothing else happens.
    sim.Command("detach");
    EXPECT_TRUE(WaitUntil([&] { return ShowsNoVideo(*dlg); }, kFirstFrameMs));
    EXPECT_TRUE(sim.WaitListed(false));
    dlg->DestroyWindow();
}

TEST(VideoLive, SourcesThatSendNoFramesFallBackToNoVideo)
{
    CamDouble().Reset();
    Simulator sim;
    ASSERT_TRUE(sim.WaitListed(true));
    sim.Command("video stall");
    struct Case
    {
        const char* name;
        CameraConnection connection;
    };
    // A camera that is listed but stalls, and a stream that never starts.
    const Case cases[] = {{"stalled camera", CameraConnection{}},
                          {"silent stream", StreamConnection("udp://127.0.0.1:9")}};
    for (const Case& c : cases) {
        auto dlg = OpenWindow(c.connection);
        ASSERT_FALSE(ShowsNoVideo(*dlg)) << c.name;
        QElapsedTimer clock;
        clock.start();
        EXPECT_TRUE(WaitUntil([&] { return ShowsNoVideo(*dlg); }, 7000)) << c.name;
        // Restarted once first: not given up at the first time-out.
        EXPECT_GT(clock.elapsed(), 5000) << c.name;
        dlg->DestroyWindow();
    }
}

TEST(VideoLive, NetworkStreamShowsItsPicture)
{
    QProcess server;
    server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(QVT_RTSP_SERVER)});
    ASSERT_TRUE(WaitUntil([&] { return server.canReadLine(); }, kFirstFrameMs)) << "RTSP server did not start";
    const QByteArray port = server.readLine().trimmed();
    {
        auto dlg = OpenWindow(StreamConnection("rtsp://127.0.0.1:" + port.toStdString() + "/camera"));
        FrameCounter frames(*dlg);
        EXPECT_TRUE(frames.WaitFor(5));
        EXPECT_FALSE(Uniform(frames.Picture()));
        EXPECT_EQ(dlg->findChild<QLineEdit*>()->text(), QStringLiteral("--"));
        dlg->DestroyWindow();
    }
    server.kill();
    server.waitForFinished();
}

} // namespace
