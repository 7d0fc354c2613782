// The microphone array source (kind 6) through its real ALSA capture: the simulator's
// virtual array, an ALSA file-plugin device fed in real time, in this test's own folder.
#include "platform/WinMessages.h"
#include "sim/speakerphones/MicArraySpeakerphone.h"
#include "tests/support/RecordingWindow.h"
#include "tests/support/TestEnvironment.h"
#include "tracking/TrackingState.h"
#include "tracking/TrackingWorker.h"
#include "tracking/micarray/MicArrayReadout.h"

#include <QCoreApplication>
#include <QFile>

#include <gtest/gtest.h>

#include <chrono>
#include <unistd.h>

namespace {

using Posts = std::vector<WPARAM>;

class MicArraySourceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        static int n = 0;
        const std::string folder = QFile::encodeName(TestRootDir()).toStdString() + "/array-" + std::to_string(++n);
        array = std::make_unique<MicArraySpeakerphone>(folder);
        ::setenv("ALSA_CONFIG_PATH", ("/usr/share/alsa/alsa.conf:" + array->ConfigPath()).c_str(), 1);
        context.micArray.device = kVirtualArrayPcm;
    }
    void TearDown() override { worker.Stop(); }
    Posts Posted() const
    {
        QCoreApplication::sendPostedEvents();
        return window.Params(WM_TRACKING_DIRECTION);
    }
    bool PostedBecomes(const Posts& expected) { return WaitUntil([&] { return Posted() == expected; }, 20000); }
    bool Heard(double seconds)  // the source has decided on that much audio
    {
        return WaitUntil([&] {
            const std::optional<DoaDecision> d = readout.Latest();
            return d && d->timeS >= seconds;
        }, 20000);
    }
    void Start() { ASSERT_TRUE(worker.Start(kTrackingMicArray, &window, clock, context)); }

    std::unique_ptr<MicArraySpeakerphone> array;
    RecordingWindow window;
    CSteadyClock clock;
    MicArrayReadout readout;
    TrackingContext context{{}, &readout};
    CTrackingWorker worker;  // after the readout: stopped before the readout goes
};

TEST_F(MicArraySourceTest, TalkersArePostedOnceEachAndSilenceAfterIt)
{
    ASSERT_TRUE(array->SetRoom(0.3, 15));
    ASSERT_TRUE(array->Attach(nullptr));
    Start();
    // Nobody speaks: the start's 255, then the held 255 of the silence.
    ASSERT_TRUE(PostedBecomes({255, 255}));
    array->SetCode(2);
    EXPECT_TRUE(PostedBecomes({255, 255, 2}));
    array->SetCode(5);
    EXPECT_TRUE(PostedBecomes({255, 255, 2, 5}));
    array->SetCode(255);
    EXPECT_TRUE(PostedBecomes({255, 255, 2, 5, 255}));

    // The capture read is bounded, so a stop does not wait for the audio.
    const auto before = std::chrono::steady_clock::now();
    worker.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(1));
    EXPECT_TRUE(worker.HasEnded());
    EXPECT_FALSE(readout.Latest()) << "a stopped source leaves nothing to show";
}

TEST_F(MicArraySourceTest, NoiseAloneNeverPostsADirection)
{
    ASSERT_TRUE(array->SetRoom(0.6, 5));
    ASSERT_TRUE(array->Attach(nullptr));
    Start();
    ASSERT_TRUE(Heard(3.0));
    for (WPARAM posted : Posted())
        EXPECT_EQ(posted, 255u);
}

TEST_F(MicArraySourceTest, MissingOrVanishingArrayEndsTheWorkerAfterItsFirstPost)
{
    for (const char* geometry : {"circular:4", "circular:4:0.032"}) {  // unusable geometry, no device
        context.micArray.geometry = geometry;
        window.Clear();
        Start();
        EXPECT_TRUE(WaitUntil([&] { return worker.HasEnded(); })) << geometry;
        EXPECT_EQ(Posted(), Posts{255}) << geometry;
        worker.Stop();
    }
    ASSERT_TRUE(array->Attach(nullptr));
    Start();
    ASSERT_TRUE(Heard(0.5));
    array->Detach();  // unplugged: the capture runs dry
    EXPECT_TRUE(WaitUntil([&] { return worker.HasEnded(); }, 20000));
}

} // namespace
