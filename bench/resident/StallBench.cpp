// How long the controller's event loop stalls while it works the camera, in the same
// process and code as the program: (a) opening a camera that answers (plugged in while the
// program runs), (b) choosing a direction (read-back of the old preset, then a move), (c) a
// tracking move, (d) opening a camera that never answers, and then a call to that camera,
// (e) a network camera that is absent, looked for every 5 s, (f) a camera that stays attached
// but silent, tried again every 5 s.
//
// A helper thread posts a time-stamped event whenever the previous one has arrived; the
// longest wait for such an event is the longest stretch in which the loop did not turn.
//   qvt-bench-stalls <path of qvt-vz1-sim>
// Runs in a private runtime and configuration folder, on the offscreen platform unless
// DISPLAY is set.
#include "app/ControllerApp.h"
#include "app/MainFrame.h"
#include "camera/CameraConnectionApi.h"
#include "camera/QvtVz1Api.h"
#include "platform/WinMessage.h"
#include "platform/WinMessages.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <libgen.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

const QEvent::Type kPing = static_cast<QEvent::Type>(QEvent::registerEventType());

struct PingEvent final : QEvent
{
    PingEvent() : QEvent(kPing), posted(Clock::now()) {}
    Clock::time_point posted;
};

// Receives the pings on the interface thread and keeps the longest delay since Reset.
class StallMeter final : public QObject
{
public:
    StallMeter()
        : m_thread([this] {
              while (!m_quit) {
                  if (!m_outstanding.exchange(true))
                      QCoreApplication::postEvent(this, new PingEvent);
                  std::this_thread::sleep_for(std::chrono::microseconds(500));
              }
          })
    {
    }
    ~StallMeter() override
    {
        m_quit = true;
        m_thread.join();
    }
    void Reset() { m_worstMs = 0; }
    double WorstMs() const { return m_worstMs; }

    bool event(QEvent* e) override
    {
        if (e->type() != kPing)
            return QObject::event(e);
        const double delay = Ms(Clock::now() - static_cast<PingEvent*>(e)->posted);
        if (delay > 20 && std::getenv("QVT_BENCH_TRACE"))
            std::fprintf(stderr, "%lld stall %.1f ms\n", (long long)(Ms(Clock::now().time_since_epoch())), delay);
        m_worstMs = std::max(m_worstMs, delay);
        m_outstanding = false;
        return true;
    }

private:
    std::atomic<bool> m_quit{false};
    std::atomic<bool> m_outstanding{false};
    double m_worstMs = 0;
    std::thread m_thread;
};

// Turns the event loop, sleeping while nothing happens (processEvents with a time limit
// would spin instead), until done() or ms passed.
bool RunUntil(const std::function<bool()>& done, int ms)
{
    QDeadlineTimer deadline(ms);
    QTimer tick;
    tick.start(10);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void RunFor(int ms)
{
    RunUntil([] { return false; }, ms);
}

class Simulator
{
public:
    explicit Simulator(const QString& path)
    {
        m_process.setProgram(path);
        m_process.setArguments({QStringLiteral("--trace"), QStringLiteral("--stay"), QStringLiteral("--detached")});
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start();
    }
    ~Simulator()
    {
        m_process.terminate();
        m_process.waitForFinished(5000);
    }
    bool Started() { return m_process.waitForStarted(10000); }
    void Say(const char* line)
    {
        m_process.write(QByteArray(line) + '\n');
        m_process.waitForBytesWritten(1000);
    }
    void Drain()
    {
        while (m_process.canReadLine())
            m_process.readLine();
    }
    // Waits (turning the loop) for a trace line that starts with text.
    bool Traced(const char* text, int ms = 10000)
    {
        return RunUntil([&] {
            while (m_process.canReadLine()) {
                const QByteArray line = m_process.readLine();
                if (std::getenv("QVT_BENCH_TRACE"))
                    std::fprintf(stderr, "%lld sim: %s", (long long)(Ms(Clock::now().time_since_epoch())), line.constData());
                if (line.startsWith(text))
                    return true;
            }
            return false;
        }, ms);
    }

private:
    QProcess m_process;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <path of qvt-vz1-sim>\n", argv[0]);
        return 2;
    }
    QTemporaryDir root;
    if (!root.isValid())
        return 1;
    const QByteArray runtime = QFile::encodeName(root.path() + "/runtime");
    const QByteArray config = QFile::encodeName(root.path() + "/config");
    ::mkdir(runtime.constData(), 0700);
    ::mkdir(config.constData(), 0700);
    ::setenv("XDG_RUNTIME_DIR", runtime.constData(), 1);
    ::setenv("XDG_CONFIG_HOME", config.constData(), 1);
    ::setenv("QVT_VZ1_SHM_PREFIX", ("qvt-bench-stalls-" + std::to_string(::getpid()) + "-").c_str(), 1);
    if (!std::getenv("DISPLAY"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Auto page, Upside presets by direction, tracking off; the QVT-18TR chosen but absent,
    // so that tracking can be switched on while its worker only waits for the record: the
    // moves measured here are the dialog's own.
    // The profile is named after the executable.
    QFile profile(QFile::decodeName(config) + "/" + QFile::decodeName(::basename(argv[0])) + ".ini");
    if (!profile.open(QIODevice::WriteOnly))
        return 1;
    profile.write("[QVT-VZ1]\nDevice=3\n[General]\nMode=0\nTracking=0\n[Up]\nMode=1\nDirection=0\n");
    profile.close();

    QApplication qapp(argc, argv);
    Simulator sim(QString::fromLocal8Bit(argv[1]));
    if (!sim.Started()) {
        std::fprintf(stderr, "cannot start %s\n", argv[1]);
        return 1;
    }
    CControllerApp app;
    if (!app.InitInstance()) {
        std::fprintf(stderr, "the controller did not start\n");
        return 1;
    }
    CMainFrame& frame = *app.MainFrame();
    ControllerSession& session = frame.Session();
    StallMeter meter;
    RunFor(1000);  // start-up settles: no camera yet

    std::printf("Event-loop stalls (longest time between two turns of the loop; per case the\n"
                "median of its trials' longest, and the longest of all):\n");
    bool all = true;
    auto check = [&](const char* what, std::vector<double> trials, double goal) {
        std::sort(trials.begin(), trials.end());
        const double median = trials[trials.size() / 2];
        const bool ok = median < goal;
        all = all && ok;
        std::printf("  %-50s %7.1f ms, longest %7.1f ms in %zu  (goal < %.0f ms)%s\n", what, median,
                    trials.back(), trials.size(), goal, ok ? "" : "  [NOT REACHED]");
    };

    // (a) The camera is plugged in: presence, balloon, open, link, stand position.
    std::vector<double> trials;
    for (int round = 0; round < 3; ++round) {
        if (round > 0) {
            sim.Say("detach");
            RunUntil([&] { return session.CameraMode() == 255; }, 15000);
            RunFor(500);
        }
        meter.Reset();
        sim.Say("attach");
        if (!RunUntil([&] { return session.CameraMode() == 1; }, 15000)) {
            std::fprintf(stderr, "the camera was not opened\n");
            return 1;
        }
        RunFor(500);
        trials.push_back(meter.WorstMs());
    }
    check("(a) opening a camera that answers", trials, 50);

    trials.clear();
    for (int round = 0; round < 5; ++round) {
        meter.Reset();
        RunFor(2000);
        trials.push_back(meter.WorstMs());
    }
    check("    idle, camera open (2 s each)", trials, 50);

    // (b) Choosing directions on the Auto page: read-back of the old preset, then the move.
    trials.clear();
    for (WPARAM direction : {1, 2, 3, 4, 5, 6, 0}) {
        meter.Reset();
        PostMessage(&session, WM_SELECT_DIRECTION, direction, 0);
        RunUntil([&] { return session.Settings().m_nUpDirection == int(direction); }, 5000);
        RunFor(200);
        trials.push_back(meter.WorstMs());
    }
    check("(b) choosing a direction (read-back, then move)", trials, 50);

    // (c) Tracking moves: tracking on, directions posted as the worker posts them.
    PostMessage(&session, WM_TRACKING_ENABLE, 1, 0);
    RunUntil([&] { return session.Tracking(); }, 5000);
    trials.clear();
    for (WPARAM direction : {2, 4, 255, 1, 3, 5, 0}) {
        RunFor(100);
        sim.Drain();
        meter.Reset();
        PostMessage(&session, WM_TRACKING_DIRECTION, direction, 0);
        if (!sim.Traced("set-position kind=1", 5000))
            std::fprintf(stderr, "no move for direction %d\n", int(direction));
        RunFor(200);
        trials.push_back(meter.WorstMs());
    }
    check("(c) a tracking move", trials, 50);
    PostMessage(&session, WM_TRACKING_ENABLE, 0, 0);
    RunFor(300);

    // (d) A camera that never answers is opened (the presence check after a resume does so).
    sim.Say("mute");
    sim.Say("status");
    sim.Traced("camera attached=1");
    meter.Reset();
    const auto openStart = Clock::now();
    QMetaObject::invokeMethod(&qapp, [&] { frame.CheckCameraPresence(TRUE); }, Qt::QueuedConnection);
    RunUntil([&] { return session.CameraMode() == 255; }, 15000);
    const double untilError = Ms(Clock::now() - openStart);
    RunFor(1500);
    check("(d) opening a camera that never answers", {meter.WorstMs()}, 1000);
    std::printf("      (communication error reported after %.0f ms)\n", untilError);
    meter.Reset();
    int value = -1;
    const auto callStart = Clock::now();
    const int got = CamGetPan(&value);
    const double callMs = Ms(Clock::now() - callStart);
    PostMessage(&session, WM_SELECT_DIRECTION, 2, 0);
    RunFor(300);
    check("(d) afterwards: a getter of that camera", {callMs}, 10);
    check("(d) afterwards: choosing a direction", {meter.WorstMs()}, 50);
    if (got)
        std::printf("      (the getter answered although the camera is mute)\n");

    // (f) The camera stays attached and silent: the frame tries it again every 5 s.
    meter.Reset();
    RunFor(12000);
    check("(f) a silent camera re-opened (12 s)", {meter.WorstMs()}, 50);
    sim.Say("unmute");
    const auto unmuted = Clock::now();
    if (RunUntil([&] { return session.CameraMode() == 1; }, 15000))
        std::printf("      (answering again, it was opened after %.0f ms)\n", Ms(Clock::now() - unmuted));
    else
        std::printf("      (answering again, it was not opened within 15 s)\n");

    // (e) A network camera that never answers: a datagram socket of our own that reads
    // nothing. The frame looks for it at once and then every 5 s.
    const int silent = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (silent < 0 || ::bind(silent, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || ::getsockname(silent, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        std::fprintf(stderr, "no datagram socket for the absent camera\n");
        return 1;
    }
    CameraConnection network;
    network.kind = CameraConnection::Kind::Network;
    network.host = "127.0.0.1";
    network.port = ntohs(address.sin_port);
    meter.Reset();
    QMetaObject::invokeMethod(&qapp, [&] { session.ChangeCameraConnection(network); }, Qt::QueuedConnection);
    RunFor(12000);
    check("(e) an absent network camera polled (12 s)", {meter.WorstMs()}, 50);
    QMetaObject::invokeMethod(&qapp, [&] { session.ChangeCameraConnection({}); }, Qt::QueuedConnection);
    RunFor(500);
    ::close(silent);

    app.ExitInstance();
    return all ? 0 : 3;
}
