// The tracking worker against real sources: the simulator's speakerphones, made by each
// test in its private folders and shared-memory names, on real threads and the real clock.
#include "platform/WinMessages.h"
#include "sim/speakerphones/DeviceFileSpeakerphone.h"
#include "sim/speakerphones/SharedRecordSpeakerphone.h"
#include "sim/speakerphones/SpeakerphoneSimulator.h"
#include "sim/speakerphones/UsbLinkSpeakerphone.h"
#include "tests/support/RecordingWindow.h"
#include "tests/support/TestEnvironment.h"
#include "tracking/DeviceReportReader.h"
#include "tracking/SharedRecordSource.h"
#include "tracking/TrackingState.h"
#include "tracking/TrackingThreads.h"
#include "tracking/TrackingWorker.h"
#include "tracking/uxapi/UxDeviceLink.h"

#include <QCoreApplication>
#include <QFile>

#include <functional>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The real clock, counting the worker's periods: two more periods since a source changed
// prove the worker has read the changed source at least once.
struct CountingClock final : CClock
{
    DWORD GetTickCount() override { return real.GetTickCount(); }
    void Sleep(DWORD ms) override { real.Sleep(ms); }
    bool SleepUnless(DWORD ms, const std::atomic<int>& stop) override
    {
        lastMs = ms;
        ++periods;
        return real.SleepUnless(ms, stop);
    }
    CSteadyClock real;
    std::atomic<int> periods{0};
    std::atomic<DWORD> lastMs{0};
};

using Posts = std::vector<WPARAM>;

class TrackingWorkerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        static int n = 0;
        const std::string tag = std::to_string(::getpid()) + "-" + std::to_string(++n);
        const std::string root = QFile::encodeName(TestRootDir()).toStdString();
        ::setenv("QVT_VZ1_SHM_PREFIX", ("qvt-tracking-test-" + tag + "-").c_str(), 1);
        ::setenv("QVT_VZ1_40S_DEVICE", (root + "/dev/QVT40SDev0-" + tag).c_str(), 1);
        ::setenv("QVT_VZ1_90UX_LINK", (root + "/runtime/qvt-vz1/qvt-90ux-" + tag).c_str(), 1);
    }
    void TearDown() override
    {
        worker.Stop();
        ::unlink(SharedMutexPath(kQvt18TRMutexName).c_str());  // this test's own lock files
        ::unlink(SharedMutexPath(kMzcMutexName).c_str());
    }
    Posts Posted() const  // everything posted so far, delivered first
    {
        QCoreApplication::sendPostedEvents();
        return window.Params(WM_TRACKING_DIRECTION);
    }
    bool PostedBecomes(const Posts& expected) { return WaitUntil([&] { return Posted() == expected; }); }
    bool Ended() { return WaitUntil([&] { return worker.HasEnded(); }); }
    bool ReadAgain()  // the worker has read its source at least once from now on
    {
        const int now = clock.periods;
        return WaitUntil([&] { return clock.periods >= now + 2; });
    }
    void Start(int kind) { ASSERT_TRUE(worker.Start(kind, &window, clock)); }

    RecordingWindow window;
    CountingClock clock;
    CTrackingWorker worker;  // after the window: stopped before the window goes
};

TEST_F(TrackingWorkerTest, StartsOnlyForAKindWithASourceAndOneAtATime)
{
    for (int kind : {int(kTrackingNone), 7, -1})
        EXPECT_FALSE(worker.Start(kind, &window, clock)) << kind;
    EXPECT_FALSE(worker.IsRunning());
    worker.Stop();  // nothing to stop

    Start(kTrackingQvt90XMzc);
    EXPECT_EQ(g_bStopTracking.load(), 0);
    EXPECT_FALSE(worker.Start(kTrackingQvt18TR, &window, clock));
    EXPECT_EQ(g_nTrackingDevice.load(), kTrackingQvt90XMzc);
    worker.Stop();
    EXPECT_TRUE(worker.HasEnded());
    EXPECT_FALSE(worker.IsRunning());
    EXPECT_EQ(g_bStopTracking.load(), 1);
    EXPECT_TRUE(PostedBecomes({255}));  // stopped while waiting for the MZC record
}

TEST_F(TrackingWorkerTest, DeviceFilePostsEachHeldDirectionOnce)
{
    DeviceFileSpeakerphone phone(VirtualDevicePath());
    ASSERT_TRUE(phone.Attach(nullptr));
    Posts expected{255};
    Start(kTrackingQvt40S);
    for (BYTE code : {3, 5, 255, 200}) {  // 200: no sector of any model, passed on to be ignored
        phone.SetCode(code);
        expected.push_back(code);
        EXPECT_TRUE(PostedBecomes(expected)) << int(code);
    }
}

TEST_F(TrackingWorkerTest, SpeakerphoneAwayAtTheStartOrUnpluggedIsOpenedOnceItIsBack)
{
    struct Row { int kind; std::function<std::unique_ptr<VirtualSpeakerphone>()> make; };
    const Row rows[] = {
        {kTrackingQvt40S, [] { return std::make_unique<DeviceFileSpeakerphone>(VirtualDevicePath()); }},
        {kTrackingQvt90UX, [] { return std::make_unique<UsbLinkSpeakerphone>(UxDeviceLinkPath(), "1.32"); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.kind);
        window.Clear();
        Start(row.kind);
        ASSERT_TRUE(ReadAgain());  // waiting for the speakerphone, not ended
        EXPECT_EQ(clock.lastMs.load(), kReopenRetryMs);
        EXPECT_FALSE(worker.HasEnded());
        Posts expected{255};
        for (BYTE code : {2, 3}) {  // plugged in, then unplugged and plugged in again
            auto phone = row.make();
            ASSERT_TRUE(phone->Attach(nullptr));
            phone->SetCode(code);
            expected.push_back(code);
            EXPECT_TRUE(PostedBecomes(expected));
        }
        worker.Stop();
    }
}

TEST_F(TrackingWorkerTest, DeviceFileThatSendsNothingStillStops)
{
    const std::string path = VirtualDevicePath();
    ::mkdir(path.substr(0, path.rfind('/')).c_str(), 0700);
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    const int fifo = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(fifo, 0);
    ASSERT_EQ(::write(fifo, "\x51\x40\x00\x00", 4), 4);  // part of a report, never finished
    Start(kTrackingQvt40S);
    ASSERT_TRUE(WaitUntil([&] {  // the worker has taken the part and waits for the rest
        int queued = -1;
        return ::ioctl(fifo, FIONREAD, &queued) == 0 && queued == 0;
    }));
    worker.Stop();
    ::close(fifo);
    ::unlink(path.c_str());
    EXPECT_TRUE(worker.HasEnded());
    EXPECT_EQ(Posted(), Posts{255});
}

TEST_F(TrackingWorkerTest, UsbLibraryPostsANewTalkerAtOnce)
{
    UsbLinkSpeakerphone phone(UxDeviceLinkPath(), "1.32");
    ASSERT_TRUE(phone.Attach(nullptr));
    phone.SetCode(2);
    Start(kTrackingQvt90UX);
    EXPECT_TRUE(PostedBecomes({255, 2}));
    phone.SetCode(3);
    EXPECT_TRUE(PostedBecomes({255, 2, 3}));
    phone.SetCode(255);  // a pause shorter than the silence hold posts nothing
    ASSERT_TRUE(ReadAgain());
    phone.SetCode(3);  // the same talker again counts as new
    EXPECT_TRUE(PostedBecomes({255, 2, 3, 3}));
}

TEST_F(TrackingWorkerTest, UsbLibraryTracksFromVersion132)
{
    for (const char* version : {"1.31", "1.32", "2.00"}) {
        SCOPED_TRACE(version);
        const bool tracks = version != std::string("1.31");
        window.Clear();
        UsbLinkSpeakerphone phone(UxDeviceLinkPath(), version);
        ASSERT_TRUE(phone.Attach(nullptr));
        phone.SetCode(4);
        Start(kTrackingQvt90UX);
        if (!tracks) {
            ASSERT_TRUE(Ended());
        }
        EXPECT_TRUE(PostedBecomes(tracks ? Posts{255, 4} : Posts{255}));
        EXPECT_EQ(worker.HasEnded(), !tracks);
        worker.Stop();
    }
}

TEST_F(TrackingWorkerTest, UsbLibraryMissingEndsTheWorkerAfterItsFirstPost)
{
    UsbLinkSpeakerphone phone(UxDeviceLinkPath());
    ASSERT_TRUE(phone.Attach(nullptr));
    const char* set = std::getenv("QVT_VZ1_UXAPI");
    ASSERT_NE(set, nullptr) << "run through ctest, which names the library";
    const std::string library = set;
    ::setenv("QVT_VZ1_UXAPI", "/nonexistent/libQVTUXAPI.so", 1);
    Start(kTrackingQvt90UX);
    const bool ended = Ended();
    worker.Stop();
    ::setenv("QVT_VZ1_UXAPI", library.c_str(), 1);
    EXPECT_TRUE(ended);
    EXPECT_EQ(Posted(), Posts{255});
}

TEST_F(TrackingWorkerTest, SharedMemoryWaitsForTheRecordThenPostsChanges)
{
    Start(kTrackingQvt18TR);
    ASSERT_TRUE(ReadAgain());  // retrying the attach
    SharedRecordSpeakerphone phone(kQvt18TRRecordName, kQvt18TRMutexName, std::nullopt);
    ASSERT_TRUE(phone.Attach(nullptr));  // silent: the start post already said so
    ASSERT_TRUE(ReadAgain());
    EXPECT_EQ(Posted(), Posts{255});
    phone.SetCode(1);
    EXPECT_TRUE(PostedBecomes({255, 1}));
    phone.SetCode(2);
    EXPECT_TRUE(PostedBecomes({255, 1, 2}));
}

TEST_F(TrackingWorkerTest, SharedMemoryStopsWhileTheWriterHoldsTheMutex)
{
    SharedRecordSpeakerphone phone(kQvt18TRRecordName, kQvt18TRMutexName, std::nullopt);
    ASSERT_TRUE(phone.Attach(nullptr));
    NamedLock writer(SharedMutexPath(kQvt18TRMutexName));
    ASSERT_TRUE(writer.Lock());
    Start(kTrackingQvt18TR);
    ASSERT_TRUE(PostedBecomes({255}));
    worker.Stop();  // would hang if the lock wait ignored the stop
    EXPECT_TRUE(worker.HasEnded());
}

TEST_F(TrackingWorkerTest, SharedRecordWhoseLockFileCannotBeOpenedRetriesTheAttach)
{
    SharedRecordSpeakerphone phone(kQvt18TRRecordName, kQvt18TRMutexName, std::nullopt);
    ASSERT_TRUE(phone.Attach(nullptr));
    phone.SetCode(2);
    const std::string lock = SharedMutexPath(kQvt18TRMutexName);
    ASSERT_EQ(::unlink(lock.c_str()), 0);
    ASSERT_EQ(::symlink(lock.c_str(), lock.c_str()), 0);  // a link to itself: not even root opens it
    Start(kTrackingQvt18TR);
    ASSERT_TRUE(ReadAgain());
    EXPECT_EQ(clock.lastMs.load(), kAttachRetryMs);  // retrying the attach, not waiting for a lock
    EXPECT_EQ(Posted(), Posts{255});
    ASSERT_EQ(::unlink(lock.c_str()), 0);
    EXPECT_TRUE(PostedBecomes({255, 2}));
}

TEST_F(TrackingWorkerTest, CompanionPostsOnlyRecordsOfTheSelectedModel)
{
    SpeakerphoneSimulator phones;
    ASSERT_TRUE(phones.Select(SpeakerphoneModel::Mzc90X, nullptr));
    phones.Talk(3);
    Start(kTrackingQvt40SMzc);
    ASSERT_TRUE(ReadAgain());
    EXPECT_EQ(Posted(), Posts{255});  // a QVT-90X record while the QVT-40S is selected

    ASSERT_TRUE(phones.Select(SpeakerphoneModel::Mzc40S, nullptr));
    phones.TalkCode(1);  // codes 0 and 1 are sector 0
    EXPECT_TRUE(PostedBecomes({255, 0}));
    phones.Talk(3);
    EXPECT_TRUE(PostedBecomes({255, 0, 3}));
    phones.TalkCode(4);  // "unchanged"
    ASSERT_TRUE(ReadAgain());
    phones.Silence();
    EXPECT_TRUE(PostedBecomes({255, 0, 3, 255}));
}

TEST_F(TrackingWorkerTest, CompanionFollowsTheQvt90X)
{
    SpeakerphoneSimulator phones;
    ASSERT_TRUE(phones.Select(SpeakerphoneModel::Mzc90X, nullptr));
    Start(kTrackingQvt90XMzc);
    phones.Talk(4);
    EXPECT_TRUE(PostedBecomes({255, 4}));
    phones.TalkCode(6);  // no sector of the QVT-90X: silence
    EXPECT_TRUE(PostedBecomes({255, 4, 255}));
    phones.Talk(5);
    EXPECT_TRUE(PostedBecomes({255, 4, 255, 5}));
}

}  // namespace
