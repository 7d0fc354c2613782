// Reading the QVT-40S's reports: whole reports only, the newest first, never stuck.
#include "tracking/DeviceReportReader.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

class Pipe
{
public:
    Pipe()
    {
        EXPECT_EQ(::pipe2(fds, O_NONBLOCK | O_CLOEXEC), 0);
    }
    ~Pipe()
    {
        CloseWriter();
        ::close(fds[0]);
    }
    void Write(const std::vector<BYTE>& bytes) { ASSERT_EQ(::write(fds[1], bytes.data(), bytes.size()), ssize_t(bytes.size())); }
    void CloseWriter()
    {
        if (fds[1] >= 0)
            ::close(fds[1]);
        fds[1] = -1;
    }
    int Reader() const { return fds[0]; }

private:
    int fds[2] = {-1, -1};
};

std::vector<BYTE> Report(BYTE sequence, BYTE direction)
{
    return {0x51, 0x40, sequence, 0, 0, 0, 0, 0, direction};
}

}  // namespace

TEST(DeviceReportReader, ReturnsTheNewestWholeReportAndKeepsAPartOne)
{
    Pipe pipe;
    std::vector<BYTE> bytes;
    for (BYTE i = 0; i < 3; ++i) {
        const auto r = Report(i, BYTE(10 + i));
        bytes.insert(bytes.end(), r.begin(), r.end());
    }
    const auto fourth = Report(3, 4);
    bytes.insert(bytes.end(), fourth.begin(), fourth.begin() + 4);
    pipe.Write(bytes);

    std::atomic<int> stop{0};
    DeviceReportReader reader(pipe.Reader());
    BYTE report[kDeviceReportSize] = {};
    ASSERT_TRUE(reader.Read(report, stop));
    EXPECT_EQ(report[2], 2);
    EXPECT_EQ(report[kDeviceReportDirection], 12);

    pipe.Write(std::vector<BYTE>(fourth.begin() + 4, fourth.end()));
    ASSERT_TRUE(reader.Read(report, stop));
    EXPECT_EQ(report[2], 3);
    EXPECT_EQ(report[kDeviceReportDirection], 4);
}

TEST(DeviceReportReader, AFloodIsTakenInBoundedSteps)
{
    Pipe pipe;
    std::vector<BYTE> bytes;
    constexpr int kReports = 3000;  // 27,000 bytes, within the pipe's buffer
    for (int i = 0; i < kReports; ++i) {
        const auto r = Report(BYTE(i), i == kReports - 1 ? 2 : 1);
        bytes.insert(bytes.end(), r.begin(), r.end());
    }
    pipe.Write(bytes);
    std::atomic<int> stop{0};
    DeviceReportReader reader(pipe.Reader());
    BYTE report[kDeviceReportSize] = {};
    ASSERT_TRUE(reader.Read(report, stop));
    EXPECT_EQ(report[kDeviceReportDirection], 1);  // returned before reading it all
    int calls = 1;
    while (report[kDeviceReportDirection] != 2 && calls < 100) {
        ASSERT_TRUE(reader.Read(report, stop));
        ++calls;
    }
    EXPECT_EQ(report[kDeviceReportDirection], 2);
    EXPECT_EQ(report[2], BYTE(kReports - 1));  // whole reports throughout: still aligned
}

TEST(DeviceReportReader, GivesWayToStopAndFailsAtEndOfFile)
{
    Pipe pipe;
    DeviceReportReader reader(pipe.Reader());
    BYTE report[kDeviceReportSize] = {};
    std::atomic<int> stop{1};
    pipe.Write({1, 2, 3});
    EXPECT_FALSE(reader.Read(report, stop));  // nothing whole, stop asked: returns at once

    stop = 0;
    pipe.CloseWriter();  // the device went away with a report half sent
    EXPECT_FALSE(reader.Read(report, stop));
}

TEST(DeviceReportReader, DevicePathComesFromTheEnvironment)
{
    ::setenv("QVT_VZ1_40S_DEVICE", "/tmp/somewhere/QVT40SDev0", 1);
    EXPECT_EQ(TrackingDevicePath(), "/tmp/somewhere/QVT40SDev0");
    EXPECT_EQ(VirtualDevicePath(), "/tmp/somewhere/QVT40SDev0");
    ::unsetenv("QVT_VZ1_40S_DEVICE");
    if (::access("/dev/QVT40SDev0", F_OK) != 0) {
        // Without the driver's device the program reads the simulator's.
        EXPECT_EQ(TrackingDevicePath(), VirtualDevicePath());
        EXPECT_NE(VirtualDevicePath().find("/qvt-vz1/QVT40SDev0"), std::string::npos);
    }
}
