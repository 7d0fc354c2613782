// Reading the QVT-40S's reports: whole reports only, the newest first, never stuck.
#include "tracking/DeviceReportReader.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

struct Pipe
{
    Pipe() { EXPECT_EQ(::pipe2(fds, O_NONBLOCK | O_CLOEXEC), 0); }
    ~Pipe() { CloseWriter(); ::close(fds[0]); }
    void Write(const std::vector<BYTE>& b) { ASSERT_EQ(::write(fds[1], b.data(), b.size()), ssize_t(b.size())); }
    void CloseWriter() { if (fds[1] >= 0) ::close(fds[1]); fds[1] = -1; }
    int fds[2] = {-1, -1};
};

// Reports of sequence i and direction(i) for i in [0, count).
std::vector<BYTE> Reports(int count, BYTE (*direction)(int))
{
    std::vector<BYTE> bytes;
    for (int i = 0; i < count; ++i)
        bytes.insert(bytes.end(), {0x51, 0x40, BYTE(i), 0, 0, 0, 0, 0, direction(i)});
    return bytes;
}

}  // namespace

TEST(DeviceReportReader, ReturnsTheNewestWholeReportAndKeepsAPartOne)
{
    Pipe pipe;
    const auto bytes = Reports(4, [](int i) { return BYTE(i == 3 ? 4 : 10 + i); });
    pipe.Write(std::vector<BYTE>(bytes.begin(), bytes.end() - 5));
    std::atomic<int> stop{0};
    DeviceReportReader reader(pipe.fds[0]);
    BYTE report[kDeviceReportSize] = {};
    ASSERT_TRUE(reader.Read(report, stop));
    EXPECT_EQ(report[2], 2);
    EXPECT_EQ(report[kDeviceReportDirection], 12);
    pipe.Write(std::vector<BYTE>(bytes.end() - 5, bytes.end()));
    ASSERT_TRUE(reader.Read(report, stop));
    EXPECT_EQ(report[2], 3);
    EXPECT_EQ(report[kDeviceReportDirection], 4);
}

TEST(DeviceReportReader, AFloodIsTakenInBoundedSteps)
{
    Pipe pipe;
    constexpr int kReports = 3000;  // 27,000 bytes, within the pipe's buffer
    pipe.Write(Reports(kReports, [](int i) { return BYTE(i == kReports - 1 ? 2 : 1); }));
    std::atomic<int> stop{0};
    DeviceReportReader reader(pipe.fds[0]);
    BYTE report[kDeviceReportSize] = {};
    ASSERT_TRUE(reader.Read(report, stop));
    EXPECT_EQ(report[kDeviceReportDirection], 1);  // returned before reading it all
    for (int calls = 1; report[kDeviceReportDirection] != 2 && calls < 100; ++calls)
        ASSERT_TRUE(reader.Read(report, stop));
    EXPECT_EQ(report[kDeviceReportDirection], 2);
    EXPECT_EQ(report[2], BYTE(kReports - 1));  // whole reports throughout: still aligned
}

TEST(DeviceReportReader, RealignsOnTheHeaderAfterALostByte)
{
    const auto good = Reports(3, [](int i) { return BYTE(i + 1); });
    const struct { const char* what; std::vector<BYTE> bytes; BYTE direction; } rows[] = {
        {"noise before the first header", {0x40, 0x51, 0x00, 0x51}, 3},
        {"a lost sequence byte", {0x51, 0x40, 0, 0, 0, 0, 0, 9}, 3},
        {"a lost header byte", {0x40, 7, 0, 0, 0, 0, 0, 9}, 3},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Pipe pipe;
        std::vector<BYTE> bytes = row.bytes;
        bytes.insert(bytes.end(), good.begin(), good.end());
        pipe.Write(bytes);
        std::atomic<int> stop{0};
        DeviceReportReader reader(pipe.fds[0]);
        BYTE report[kDeviceReportSize] = {};
        ASSERT_TRUE(reader.Read(report, stop));
        EXPECT_EQ(report[0], 0x51);
        EXPECT_EQ(report[2], 2);
        EXPECT_EQ(report[kDeviceReportDirection], row.direction);
        pipe.Write({0x51, 0x40, 3, 0, 0, 0, 0, 0, 5});  // and stays aligned
        ASSERT_TRUE(reader.Read(report, stop));
        EXPECT_EQ(report[kDeviceReportDirection], 5);
    }
}

TEST(DeviceReportReader, GivesWayToStopAndFailsAtEndOfFile)
{
    Pipe pipe;
    DeviceReportReader reader(pipe.fds[0]);
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
    if (::access("/dev/QVT40SDev0", F_OK) != 0) {  // without the driver: the simulator's
        EXPECT_EQ(TrackingDevicePath(), VirtualDevicePath());
        EXPECT_NE(VirtualDevicePath().find("/qvt-vz1/QVT40SDev0"), std::string::npos);
    }
}
