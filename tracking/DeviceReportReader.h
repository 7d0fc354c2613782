#pragma once
// Reads the QVT-40S's 9-byte reports from its device file without ever blocking for long:
// the file is non-blocking and waited on together with a wake-up descriptor, so a stop
// raised with RaiseStop is seen at once even when the device sends nothing.
#include "platform/WinTypes.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <string>

constexpr std::size_t kDeviceReportSize = 9;
constexpr std::size_t kDeviceReportDirection = 8;  // the ninth byte
constexpr std::array<BYTE, 2> kDeviceReportHeader = {0x51, 0x40};  // every report starts so

// The path in $QVT_VZ1_40S_DEVICE (tests); else "/dev/QVT40SDev0" where the driver made
// it; else the simulator's virtual device, SpeakerphoneRuntimeDir()/QVT40SDev0.
std::string TrackingDevicePath();

// Where the simulator serves its QVT-40S: $QVT_VZ1_40S_DEVICE, else the virtual path above.
std::string VirtualDevicePath();

class DeviceReportReader
{
public:
    explicit DeviceReportReader(int fd) : m_fd(fd) {}

    // Waits until at least one whole report has arrived, then returns the newest one
    // available, so that reports queued while the worker slept are not read late.
    // Bytes before a report header are dropped (a lost byte costs at most one report).
    // False when the read fails (error, end of file) or stop is set first.
    bool Read(BYTE report[kDeviceReportSize], const std::atomic<int>& stop);

private:
    enum class Fill { More, Empty, Failed };
    Fill ReadAvailable(BYTE report[kDeviceReportSize], bool* gotReport);

    int m_fd;
    BYTE m_partial[kDeviceReportSize] = {};
    std::size_t m_have = 0;
};
