// Prints, per tracking source kind, (a) how long a direction takes from the speakerphone's
// write to its arrival at the dialog beyond the source's own period and hold, and (b) how
// long StopTracking blocks. Goals: (a) under 5 ms, (b) under 50 ms, and under 10 ms while
// the speakerphone software holds the shared record's mutex.
//
// (a) is measured as arrival - max(write, start of the worker's poll that read it): what
// is left after the sampling wait and the hold is reading, filtering, posting, delivering.
#include "platform/NamedLock.h"
#include "platform/WinMessage.h"
#include "platform/WinMessages.h"
#include "sim/speakerphones/SharedRecordSpeakerphone.h"
#include "sim/speakerphones/UsbLinkSpeakerphone.h"
#include "tracking/CompanionFilter.h"
#include "tracking/DeviceReportReader.h"
#include "tracking/SharedRecordSource.h"
#include "tracking/TrackingState.h"
#include "tracking/TrackingWorker.h"
#include "tracking/uxapi/UxDeviceLink.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <mutex>
#include <random>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using SteadyTime = std::chrono::steady_clock::time_point;
SteadyTime Now() { return std::chrono::steady_clock::now(); }
double Ms(std::chrono::steady_clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The real clock, remembering when the worker last woke from its period.
class WakeClock final : public CClock
{
public:
    DWORD GetTickCount() override { return m_real.GetTickCount(); }
    void Sleep(DWORD ms) override { m_real.Sleep(ms); }
    bool SleepUnless(DWORD ms, const std::atomic<int>& stop) override
    {
        const bool stopped = m_real.SleepUnless(ms, stop);
        m_lastWake = Now().time_since_epoch().count();
        return stopped;
    }
    SteadyTime LastWake() const { return SteadyTime(SteadyTime::duration(m_lastWake.load())); }

private:
    CSteadyClock m_real;
    std::atomic<SteadyTime::rep> m_lastWake{0};
};

class Receiver final : public QObject, public CMessageTarget
{
public:
    explicit Receiver(WakeClock& clock) : m_clock(clock) {}
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM) override
    {
        if (message == WM_TRACKING_DIRECTION) {
            last = static_cast<int>(wParam);
            arrival = Now();
            wakeBefore = m_clock.LastWake();
            ++count;
        }
        return 0;
    }
    bool event(QEvent* e) override { return DispatchWinMessage(e, this) || QObject::event(e); }

    int last = -1;
    int count = 0;
    SteadyTime arrival{};
    SteadyTime wakeBefore{};

private:
    WakeClock& m_clock;
};

// Sleeps in the event loop until something arrives (the worker's post, or the timer of the
// deadline), then looks again: no spinning (processEvents with a time limit would spin),
// so the worker has the cores to itself and the arrival is seen as the controller sees it.
bool WaitFor(const std::function<bool()>& cond, int ms)
{
    QDeadlineTimer deadline(ms);
    QTimer timeout;
    timeout.setSingleShot(true);
    timeout.start(ms);
    while (!cond()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

struct Stats
{
    std::vector<double> values;
    void Add(double v) { values.push_back(v); }
    double Mean() const
    {
        double s = 0;
        for (double v : values)
            s += v;
        return values.empty() ? 0 : s / values.size();
    }
    double Max() const { return values.empty() ? 0 : *std::max_element(values.begin(), values.end()); }
};

// A source the benchmark can write a direction into, remembering when.
struct Source
{
    std::function<void(BYTE)> write;
    std::function<SteadyTime()> lastWrite;
};

// QVT-40S stand-in: a FIFO fed with reports every 20 ms by a writer thread.
class FifoDevice
{
public:
    explicit FifoDevice(const std::string& path) : m_path(path)
    {
        ::mkfifo(path.c_str(), 0600);
        m_fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        m_thread = std::thread([this] {
            while (!m_stop) {
                const BYTE report[9] = {0x51, 0x40, 0, 0, 0, 0, 0, 0, m_code.load()};
                {
                    std::lock_guard lock(m_mutex);
                    [[maybe_unused]] ssize_t n = ::write(m_fd, report, sizeof report);
                    m_last = Now();
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        });
    }
    ~FifoDevice()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_fd);
        ::unlink(m_path.c_str());
    }
    void Write(BYTE code) { m_code = code; }
    SteadyTime LastWrite()
    {
        std::lock_guard lock(m_mutex);
        return m_last;
    }

private:
    std::string m_path;
    int m_fd = -1;
    std::atomic<BYTE> m_code{255};
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    SteadyTime m_last{};
    std::thread m_thread;
};

void Measure(const char* name, int kind, Source source, int rounds, WakeClock& clock)
{
    Receiver receiver(clock);
    CTrackingWorker worker;
    if (!worker.Start(kind, &receiver, clock) || !WaitFor([&] { return receiver.count >= 1; }, 5000)) {
        std::printf("%-28s could not start\n", name);
        return;
    }
    Stats latency;
    std::mt19937 random(kind);
    for (int i = 0; i < rounds; ++i) {
        const BYTE direction = BYTE(i % 2);  // alternate so every round is a change
        source.write(direction);
        const SteadyTime written = Now();
        if (!WaitFor([&] { return receiver.last == direction; }, 8000)) {
            std::printf("%-28s direction %d never arrived\n", name, direction);
            return;
        }
        SteadyTime from = std::max({written, receiver.wakeBefore, source.lastWrite ? source.lastWrite() : written});
        from = std::min(from, receiver.arrival);
        latency.Add(Ms(receiver.arrival - from));
    }
    Stats stop;
    for (int i = 0; i < 10; ++i) {
        // Stop at an arbitrary point of the period.
        std::this_thread::sleep_for(std::chrono::milliseconds(std::uniform_int_distribution<int>(5, 300)(random)));
        const SteadyTime begin = Now();
        worker.Stop();
        stop.Add(Ms(Now() - begin));
        worker.Start(kind, &receiver, clock);
    }
    worker.Stop();
    std::printf("%-28s (a) write to post beyond period and hold: mean %6.3f ms, max %6.3f ms (goal < 5 ms, %s)\n",
                name, latency.Mean(), latency.Max(), latency.Max() < 5 ? "met" : "MISSED");
    std::printf("%-28s (b) StopTracking blocks:                  mean %6.3f ms, max %6.3f ms (goal < 50 ms, %s)\n",
                name, stop.Mean(), stop.Max(), stop.Max() < 50 ? "met" : "MISSED");
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    ::setenv("QVT_VZ1_SHM_PREFIX", ("qvt-bench-" + std::to_string(::getpid()) + "-").c_str(), 1);
    ::setenv("QVT_VZ1_40S_DEVICE", (root + "/QVT40SDev0").c_str(), 1);
    ::setenv("QVT_VZ1_90UX_LINK", (root + "/qvt-90ux").c_str(), 1);
    if (!std::getenv("QVT_VZ1_UXAPI"))
        ::setenv("QVT_VZ1_UXAPI", QVT_UXAPI_PATH, 1);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 8;
    WakeClock clock;

    {
        FifoDevice device(VirtualDevicePath());
        Measure("kind 1 QVT-40S device file", kTrackingQvt40S,
                {[&](BYTE d) { device.Write(d); }, [&] { return device.LastWrite(); }}, rounds, clock);
    }
    {
        UsbLinkSpeakerphone phone(UxDeviceLinkPath(), "1.32");
        phone.Attach(nullptr);
        Measure("kind 2 QVT-90UX library", kTrackingQvt90UX, {[&](BYTE d) { phone.SetCode(d); }, nullptr}, rounds,
                clock);
    }
    {
        SharedRecordSpeakerphone phone(kQvt18TRRecordName, kQvt18TRMutexName, std::nullopt);
        phone.Attach(nullptr);
        Measure("kind 3 QVT-18TR shared mem", kTrackingQvt18TR, {[&](BYTE d) { phone.SetCode(d); }, nullptr}, rounds,
                clock);
    }
    {
        SharedRecordSpeakerphone phone(kMzcRecordName, kMzcMutexName, kCompanionModel90X);
        phone.Attach(nullptr);
        Measure("kind 5 QVT-90X via MZC", kTrackingQvt90XMzc, {[&](BYTE d) { phone.SetCode(d); }, nullptr}, rounds,
                clock);
    }
    {
        // Stop while the speakerphone software holds its mutex: the lock wait must give way.
        SharedRecordSpeakerphone phone(kMzcRecordName, kMzcMutexName, kCompanionModel90X);
        phone.Attach(nullptr);
        NamedLock held(SharedMutexPath(kMzcMutexName));
        held.Lock();
        Receiver receiver(clock);
        Stats stop;
        for (int i = 0; i < 10; ++i) {
            CTrackingWorker worker;
            worker.Start(kTrackingQvt90XMzc, &receiver, clock);
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            const SteadyTime begin = Now();
            worker.Stop();
            stop.Add(Ms(Now() - begin));
        }
        std::printf("%-28s (b) StopTracking blocks:                  mean %6.3f ms, max %6.3f ms (goal < 10 ms, %s)\n",
                    "kind 5, mutex held", stop.Mean(), stop.Max(), stop.Max() < 10 ? "met" : "MISSED");
    }
    {
        // Stop while the worker waits for a speakerphone that is not plugged in.
        Receiver receiver(clock);
        Stats stop;
        for (int kind : {kTrackingQvt40S, kTrackingQvt90UX}) {
            for (int i = 0; i < 5; ++i) {
                CTrackingWorker worker;
                worker.Start(kind, &receiver, clock);
                std::this_thread::sleep_for(std::chrono::milliseconds(30 + 97 * i));
                const SteadyTime begin = Now();
                worker.Stop();
                stop.Add(Ms(Now() - begin));
            }
        }
        std::printf("%-28s (b) StopTracking blocks:                  mean %6.3f ms, max %6.3f ms (goal < 50 ms, %s)\n",
                    "kinds 1, 2, none plugged", stop.Mean(), stop.Max(), stop.Max() < 50 ? "met" : "MISSED");
    }
    ::unlink(SharedMutexPath(kQvt18TRMutexName).c_str());
    ::unlink(SharedMutexPath(kMzcMutexName).c_str());
    return 0;
}
