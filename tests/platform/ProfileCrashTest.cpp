// A writer killed at any moment leaves the old or the new profile complete, never a torn one.
#include "platform/ProfileFile.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QDir>

#include <chrono>
#include <random>
#include <string>
#include <thread>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kKeys = 120;

// Every key of generation g holds g, and "End" closes the file: a torn file shows as a
// missing End or keys of mixed generations.
void WriteGeneration(const std::string& path, int generation)
{
    ProfileFile file(path);
    for (int k = 0; k < kKeys; ++k)
        file.SetInt("Section" + std::to_string(k % 7), "Key" + std::to_string(k), generation);
    file.SetInt("Tail", "End", generation);
    file.Save();
}

// The generation the file holds, or -1 when it is torn.
int CompleteGeneration(const std::string& path)
{
    ProfileFile file(path);
    if (file.LoadFailed())
        return -1;
    const int generation = file.GetInt("Tail", "End", -1);
    for (int k = 0; k < kKeys; ++k)
        if (file.GetInt("Section" + std::to_string(k % 7), "Key" + std::to_string(k), -2) != generation)
            return -1;
    return generation;
}

} // namespace

TEST(ProfileCrash, KilledWriterLeavesOldOrNewFile)
{
    const std::string folder = TestRootDir().toStdString() + "/crash";
    QDir().mkpath(QString::fromStdString(folder));
    const std::string path = folder + "/qvt.ini";
    WriteGeneration(path, 0);

    std::mt19937 random(20261206);
    int generation = 0;
    for (int round = 0; round < 40; ++round) {
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const int first = generation + 1;
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(ready[0]);
            for (int g = first;; ++g) {
                WriteGeneration(path, g);
                if (g == first) {
                    const char c = 1;
                    (void)!::write(ready[1], &c, 1);
                }
            }
        }
        ::close(ready[1]);
        // Wait until the child has saved once, then kill it somewhere inside a later save.
        char c = 0;
        ASSERT_EQ(::read(ready[0], &c, 1), 1);
        ::close(ready[0]);
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 3000));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));

        const int found = CompleteGeneration(path);
        ASSERT_GE(found, first) << "round " << round << ": torn or lost file";
        generation = found;
    }
    // The old file is replaced only by a complete one; the leftovers of killed saves are
    // temporary files beside it, never the profile itself.
    for (const auto& name : QDir(QString::fromStdString(folder)).entryList(QDir::Files | QDir::Hidden))
        EXPECT_TRUE(name == QStringLiteral("qvt.ini") || name.startsWith(QStringLiteral(".qvt.ini.tmp")))
            << name.toStdString();
}
