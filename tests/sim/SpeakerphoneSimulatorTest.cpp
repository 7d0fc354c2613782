// The simulator's speakerphones as the program's sources see them, driven by their commands.
#include "platform/NamedLock.h"
#include "platform/SharedMemory.h"
#include "sim/CommandRegistry.h"
#include "sim/speakerphones/SpeakerphoneCommands.h"
#include "sim/speakerphones/SpeakerphoneSimulator.h"
#include "tests/support/TestEnvironment.h"
#include "tracking/CompanionFilter.h"
#include "tracking/DeviceReportReader.h"
#include "tracking/SharedRecordSource.h"
#include "tracking/uxapi/QvtUxApi.h"
#include "tracking/uxapi/UxDeviceLink.h"

#include <QFile>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sstream>
#include <unistd.h>

namespace {

class SpeakerphoneSimulatorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        static int n = 0;
        const std::string tag = std::to_string(::getpid()) + "-" + std::to_string(++n);
        const std::string root = QFile::encodeName(TestRootDir()).toStdString();
        ::setenv("QVT_VZ1_SHM_PREFIX", ("qvt-sim-test-" + tag + "-").c_str(), 1);
        ::setenv("QVT_VZ1_40S_DEVICE", (root + "/dev/QVT40SDev0-" + tag).c_str(), 1);
        ::setenv("QVT_VZ1_90UX_LINK", (root + "/runtime/qvt-vz1/qvt-90ux-" + tag).c_str(), 1);
        phones = std::make_unique<SpeakerphoneSimulator>();
        RegisterSpeakerphoneCommands(registry, *phones);
    }
    void TearDown() override
    {
        phones.reset();
        ::unlink(SharedMutexPath(kQvt18TRMutexName).c_str());  // this test's own lock files
        ::unlink(SharedMutexPath(kMzcMutexName).c_str());
    }

    bool Run(const std::string& line)
    {
        const auto words = SplitCommandLine(line);
        const SimCommand* command = registry.Find(words.at(0));
        std::ostringstream out;
        return command && command->run(std::vector<std::string>(words.begin() + 1, words.end()), out);
    }

    // The two bytes of a shared record, read under its mutex as the worker reads them.
    std::pair<int, int> Record(const char* name, const char* mutex)
    {
        SharedMemory record = SharedMemory::OpenExisting(name, 2);
        if (!record.IsOpen())
            return {-1, -1};
        NamedLock lock(SharedMutexPath(mutex));
        EXPECT_TRUE(lock.Lock());
        return {record.Data()[0], record.Data()[1]};
    }

    CommandRegistry registry;
    std::unique_ptr<SpeakerphoneSimulator> phones;
};

TEST_F(SpeakerphoneSimulatorTest, CommandsRejectWrongArguments)
{
    for (const char* wrong : {"speakerphone", "speakerphone 50s", "talk", "talk 6", "talk -1", "talk 2x",
                              "talk-code 256", "silence now", "speakerphone-version"})
        EXPECT_FALSE(Run(wrong)) << wrong;
    EXPECT_TRUE(Run("talk 2"));  // nobody attached: said, harmless
    EXPECT_EQ(phones->Model(), SpeakerphoneModel::None);
    EXPECT_TRUE(Run("speakerphone MZC-90X"));
    EXPECT_EQ(phones->Model(), SpeakerphoneModel::Mzc90X);
}

TEST_F(SpeakerphoneSimulatorTest, Qvt18TRWritesTheDirectionIntoByteZero)
{
    EXPECT_EQ(Record(kQvt18TRRecordName, kQvt18TRMutexName).first, -1);
    // "none": the software stays, silent.
    for (auto [command, byte] : {std::pair{"speakerphone 18tr", 255}, {"talk 2", 2}, {"speakerphone none", 255}}) {
        ASSERT_TRUE(Run(command));
        EXPECT_EQ(Record(kQvt18TRRecordName, kQvt18TRMutexName).first, byte) << command;
    }
}

TEST_F(SpeakerphoneSimulatorTest, MzcRecordCarriesModelAndCodeThatTheWorkerTranslatesBack)
{
    ASSERT_TRUE(Run("speakerphone mzc-40s"));
    for (int d = 0; d <= 5; ++d) {
        ASSERT_TRUE(Run("talk " + std::to_string(d)));
        const auto [model, code] = Record(kMzcRecordName, kMzcMutexName);
        EXPECT_EQ(model, kCompanionModel40S);
        const auto reading = TranslateCompanionRecord(BYTE(model), BYTE(code), 255);
        ASSERT_TRUE(reading);
        EXPECT_EQ(reading->kind, 4);
        EXPECT_EQ(reading->direction, d);
    }
    ASSERT_TRUE(Run("speakerphone mzc-90x") && Run("talk 5"));
    EXPECT_EQ(Record(kMzcRecordName, kMzcMutexName), std::make_pair(int(kCompanionModel90X), 5));
    ASSERT_TRUE(Run("silence"));
    EXPECT_EQ(Record(kMzcRecordName, kMzcMutexName), std::make_pair(int(kCompanionModel90X), 255));
}

TEST_F(SpeakerphoneSimulatorTest, Qvt90UXAnswersTheLibraryWithItsVersionAndDirection)
{
    char version[kUxVersionSize] = {};
    EXPECT_EQ(UxOpen(0, 0, version), nullptr);  // not attached yet
    ASSERT_TRUE(Run("speakerphone-version 2.05") && Run("speakerphone 90ux"));
    EXPECT_EQ(UxOpen(1, 0, version), nullptr);  // only the first speakerphone exists
    UXHANDLE h = UxOpen(0, 0, version);
    ASSERT_NE(h, nullptr);
    EXPECT_STREQ(version, "2.05");

    unsigned char buffer[4] = {};
    for (auto [command, direction] : {std::pair{"", 255}, {"talk 3", 3}}) {  // silent at first
        ASSERT_TRUE(!*command || Run(command));
        buffer[0] = kUxDirectionQuery;
        ASSERT_EQ(UxRequest(h, kUxRequestDirection, buffer), 0);
        EXPECT_EQ(buffer[1], direction);
    }
    buffer[0] = 0;  // the query byte must be set before every call
    EXPECT_NE(UxRequest(h, kUxRequestDirection, buffer), 0);
    buffer[0] = kUxDirectionQuery;
    EXPECT_NE(UxRequest(h, 0x32, buffer), 0);
    EXPECT_NE(UxRequest(nullptr, kUxRequestDirection, buffer), 0);

    ASSERT_TRUE(Run("speakerphone none"));  // unplugged under an open handle
    EXPECT_NE(UxRequest(h, kUxRequestDirection, buffer), 0);
    EXPECT_EQ(UxClose(h), 0);
    EXPECT_EQ(UxOpen(0, 0, version), nullptr);

    // A long version text is cut to 15 characters and the NUL.
    ASSERT_TRUE(Run("speakerphone 90ux") && Run("speakerphone-version 1.32-with-a-very-long-suffix"));
    std::memset(version, 'x', sizeof version);
    h = UxOpen(0, 0, version);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(std::string(version), "1.32-with-a-ver");
    UxClose(h);
}

TEST_F(SpeakerphoneSimulatorTest, Qvt40SDeliversNineByteReportsWithTheDirectionLast)
{
    ASSERT_TRUE(Run("speakerphone 40s") && Run("talk 4"));
    const int fd = ::open(TrackingDevicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    DeviceReportReader reader(fd);
    std::atomic<int> stop{0};
    BYTE report[kDeviceReportSize] = {};
    // Reports are sent ten times a second; wait for one sent after the talk.
    bool seen = false;
    for (int i = 0; i < 50 && !seen; ++i)
        seen = reader.Read(report, stop) && report[kDeviceReportDirection] == 4;
    EXPECT_TRUE(seen);
    ASSERT_TRUE(Run("speakerphone none"));
    EXPECT_NE(::access(TrackingDevicePath().c_str(), F_OK), 0);  // unplugged: gone
    EXPECT_FALSE(reader.Read(report, stop));                     // and reads fail
    ::close(fd);
}

}  // namespace
