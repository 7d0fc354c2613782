#include "platform/NamedLock.h"
#include "platform/SharedMemory.h"
#include "tests/support/RecordingWindow.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <thread>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string LockPath(const char* name)
{
    return TestRootDir().toStdString() + "/" + name + ".lock";
}

// Private names for this test process, so parallel runs never share a record.
class SharedNames : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const std::string prefix = "qvt-test-" + std::to_string(::getpid()) + "-";
        ::setenv("QVT_VZ1_SHM_PREFIX", prefix.c_str(), 1);
    }
    void TearDown() override { ::unsetenv("QVT_VZ1_SHM_PREFIX"); }
};

} // namespace

TEST(NamedLock, SecondHolderIsRefusedUntilTheFirstLets)
{
    NamedLock first(LockPath("single"));
    NamedLock second(LockPath("single"));
    EXPECT_TRUE(first.TryLock());
    EXPECT_TRUE(first.IsLocked());
    EXPECT_EQ(second.Try(), NamedLock::Attempt::Held);
    EXPECT_FALSE(second.LockFor(std::chrono::milliseconds(20)));
    first.Unlock();
    EXPECT_TRUE(second.TryLock());
    {
        NamedLock third(LockPath("single"));
        EXPECT_FALSE(third.TryLock());
    }
    second.Unlock();
    {
        NamedLock scoped(LockPath("single"));
        EXPECT_TRUE(scoped.TryLock());
    }  // released by the destructor
    EXPECT_TRUE(first.TryLock());
}

TEST(NamedLock, LockFileThatCannotBeMadeIsAFailureNotAHang)
{
    NamedLock nowhere(TestRootDir().toStdString() + "/missing-folder/x.lock");
    EXPECT_EQ(nowhere.Try(), NamedLock::Attempt::CannotOpen);  // not taken by another
    EXPECT_NE(nowhere.OpenError(), 0);
    EXPECT_FALSE(nowhere.Lock());
    EXPECT_FALSE(nowhere.LockFor(std::chrono::seconds(30)));
    EXPECT_FALSE(nowhere.IsLocked());
}

TEST(NamedLock, WaitersGetTheLockWhenItIsReleased)
{
    NamedLock holder(LockPath("wait"));
    ASSERT_TRUE(holder.TryLock());
    std::atomic<bool> blockingGot{false}, boundedGot{false};
    std::thread blocking([&] {
        NamedLock waiter(LockPath("wait"));
        blockingGot = waiter.Lock();
    });
    std::thread bounded([&] {
        NamedLock waiter(LockPath("wait"));
        boundedGot = waiter.LockFor(std::chrono::seconds(30));
    });
    EXPECT_FALSE(blockingGot);
    EXPECT_FALSE(boundedGot);
    holder.Unlock();
    EXPECT_TRUE(WaitUntil([&] { return blockingGot && boundedGot; }, 30000));
    blocking.join();
    bounded.join();
}

TEST(NamedLock, HolderThatDiesReleasesIt)
{
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        NamedLock lock(LockPath("crash"));
        const char c = lock.TryLock() ? 1 : 0;
        (void)!::write(ready[1], &c, 1);
        for (;;)
            ::pause();
    }
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    ASSERT_EQ(c, 1);
    NamedLock mine(LockPath("crash"));
    EXPECT_FALSE(mine.TryLock());
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_TRUE(mine.LockFor(std::chrono::seconds(30)));
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST(NamedLock, SingleInstancePathsPerSessionAndMachineWide)
{
    const std::string runtime = std::getenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(SingleInstanceLockPath("NORVEL_QVT-VZ1_CONTROLLER"), runtime + "/NORVEL_QVT-VZ1_CONTROLLER.lock");
    EXPECT_EQ(SingleInstanceLockPath("a/b\\c"), runtime + "/a_b_c.lock");
    const auto global = SingleInstanceLockPath("Global\\NORVEL_QVT-VZ1_CONTROLLER");
    EXPECT_TRUE(global == "/run/lock/NORVEL_QVT-VZ1_CONTROLLER.lock" || global == "/tmp/NORVEL_QVT-VZ1_CONTROLLER.lock")
        << global;
    ::unsetenv("XDG_RUNTIME_DIR");
    const auto noSession = SingleInstanceLockPath("X");
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    EXPECT_EQ(noSession, "/tmp/X-" + std::to_string(::getuid()) + ".lock");
}

TEST_F(SharedNames, ReaderSeesTheWritersRecordUnderTheMutex)
{
    EXPECT_FALSE(SharedMemory::OpenExisting("QVT-18TR_TRACKING_INFO", 2).IsOpen());

    SharedMemory writer = SharedMemory::Create("QVT-18TR_TRACKING_INFO", 2);
    ASSERT_TRUE(writer.IsOpen());
    EXPECT_EQ(writer.Data()[0], 0);  // a new record starts zeroed
    SharedMemory reader = SharedMemory::OpenExisting("QVT-18TR_TRACKING_INFO", 2);
    ASSERT_TRUE(reader.IsOpen());

    const auto mutexPath = SharedMutexPath("QVT-18TR_TRACKING_INFO_MUTEX");
    EXPECT_EQ(mutexPath, "/dev/shm/qvt-test-" + std::to_string(::getpid()) + "-QVT-18TR_TRACKING_INFO_MUTEX");
    NamedLock writerLock(mutexPath), readerLock(mutexPath);
    ASSERT_TRUE(writerLock.Lock());
    writer.Data()[0] = 3;
    EXPECT_FALSE(readerLock.TryLock());
    writerLock.Unlock();
    ASSERT_TRUE(readerLock.LockFor(std::chrono::seconds(10)));
    EXPECT_EQ(reader.Data()[0], 3);
    readerLock.Unlock();
    ::unlink(mutexPath.c_str());

    // A record shorter than the reader asks for is refused rather than mapped past its end.
    EXPECT_FALSE(SharedMemory::OpenExisting("QVT-18TR_TRACKING_INFO", 4096 * 2).IsOpen());

    // The writer's close removes the name; the reader's mapping stays valid.
    writer.Close();
    EXPECT_FALSE(SharedMemory::OpenExisting("QVT-18TR_TRACKING_INFO", 2).IsOpen());
    EXPECT_EQ(reader.Data()[0], 3);
}

TEST_F(SharedNames, MovedRecordKeepsOneOwner)
{
    SharedMemory a = SharedMemory::Create("MZC_TRACKING_INFO", 2, false);
    ASSERT_TRUE(a.IsOpen());
    a.Data()[1] = 5;
    SharedMemory b(std::move(a));
    EXPECT_FALSE(a.IsOpen());
    ASSERT_TRUE(b.IsOpen());
    SharedMemory c;
    c = std::move(b);
    EXPECT_EQ(c.Data()[1], 5);
    c.Close();
    // Kept after close (removeOnClose false), until removed by name.
    SharedMemory again = SharedMemory::OpenExisting("MZC_TRACKING_INFO", 2);
    ASSERT_TRUE(again.IsOpen());
    EXPECT_EQ(again.Data()[1], 5);
    EXPECT_TRUE(SharedMemory::Remove("MZC_TRACKING_INFO"));
    EXPECT_FALSE(SharedMemory::Remove("MZC_TRACKING_INFO"));
    EXPECT_EQ(SharedMemory::ObjectName("MZC/X"), "/qvt-test-" + std::to_string(::getpid()) + "-MZC_X");
}
