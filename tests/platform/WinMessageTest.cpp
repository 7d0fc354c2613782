#include "platform/WinMessage.h"
#include "platform/WinMessages.h"
#include "tests/support/RecordingWindow.h"

#include <gtest/gtest.h>

#include <numeric>
#include <thread>
#include <vector>

TEST(WinMessage, SendIsSynchronousAndReturnsTheHandlersResultNullTargetIsRefused)
{
    RecordingWindow w;
    w.reply = 1234;
    EXPECT_EQ(SendMessage(&w, WM_CAMERA_MODE, 3, 7), 1234);
    EXPECT_EQ(w.Messages(), (std::vector<RecordedMessage>{{WM_CAMERA_MODE, 3, 7}}));
    EXPECT_FALSE(PostMessage(nullptr, WM_CAMERA_LINK, 1, 0));
    EXPECT_EQ(SendMessage(nullptr, WM_CAMERA_LINK, 1, 0), 0);
}

TEST(WinMessage, PostIsQueuedUntilTheLoopRuns)
{
    RecordingWindow w;
    EXPECT_TRUE(PostMessage(&w, WM_CAMERA_LINK, 1, 0));
    EXPECT_TRUE(w.Messages().empty());
    ASSERT_TRUE(WaitUntil([&] { return w.Messages().size() == 1; }));
    EXPECT_EQ(w.Params(WM_CAMERA_LINK), std::vector<WPARAM>{1});
}

TEST(WinMessage, PostsFromWorkerThreadsArriveInOrderPerThread)
{
    RecordingWindow w;
    constexpr int perThread = 200;
    std::thread a([&] { for (int i = 0; i < perThread; ++i) PostMessage(&w, WM_TRACKING_DIRECTION, i, 0); });
    std::thread b([&] { for (int i = 0; i < perThread; ++i) PostMessage(&w, WM_PAD_BUTTON, i, 1); });
    a.join();
    b.join();
    ASSERT_TRUE(WaitUntil([&] { return w.Messages().size() == 2 * perThread; }));
    std::vector<WPARAM> expected(perThread);
    std::iota(expected.begin(), expected.end(), WPARAM(0));
    EXPECT_EQ(w.Params(WM_TRACKING_DIRECTION), expected);
    EXPECT_EQ(w.Params(WM_PAD_BUTTON), expected);
}

TEST(WinMessage, PendingPostsToADestroyedWindowAreDropped)
{
    auto* w = new RecordingWindow;
    PostMessage(w, WM_CAMERA_LINK, 1, 0);
    delete w;  // Qt discards the queued event with its receiver
    RecordingWindow other;
    PostMessage(&other, WM_CAMERA_LINK, 2, 0);
    ASSERT_TRUE(WaitUntil([&] { return other.Messages().size() == 1; }));
}
