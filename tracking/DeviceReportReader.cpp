#include "tracking/DeviceReportReader.h"

#include "platform/StopWait.h"
#include "tracking/uxapi/UxDeviceLink.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <unistd.h>

std::string VirtualDevicePath()
{
    if (const char* path = std::getenv("QVT_VZ1_40S_DEVICE"); path && *path)
        return path;
    return SpeakerphoneRuntimeDir() + "/QVT40SDev0";
}

std::string TrackingDevicePath()
{
    if (const char* path = std::getenv("QVT_VZ1_40S_DEVICE"); path && *path)
        return path;
    constexpr const char* kDriverPath = "/dev/QVT40SDev0";
    if (::access(kDriverPath, F_OK) == 0)
        return kDriverPath;
    return VirtualDevicePath();
}

// Reads what is there without waiting; completes reports into report. Reads a bounded
// amount, so a device that sends without pause cannot keep the worker here.
DeviceReportReader::Fill DeviceReportReader::ReadAvailable(BYTE report[kDeviceReportSize], bool* gotReport)
{
    constexpr int kMaxChunks = 16;
    BYTE chunk[kDeviceReportSize * 64];
    for (int i = 0; i < kMaxChunks; ++i) {
        const ssize_t n = ::read(m_fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return Fill::Empty;
        if (n <= 0)
            return Fill::Failed;  // end of file or an error
        for (ssize_t k = 0; k < n; ++k) {
            const BYTE byte = chunk[k];
            // A report starts with its header: after a lost byte, whatever precedes the next
            // header is dropped, so the stream is aligned again from the next report on.
            if (m_have < kDeviceReportHeader.size() && byte != kDeviceReportHeader[m_have]) {
                m_have = byte == kDeviceReportHeader[0] ? 1 : 0;
                if (m_have)
                    m_partial[0] = byte;
                continue;
            }
            m_partial[m_have++] = byte;
            if (m_have == kDeviceReportSize) {
                std::memcpy(report, m_partial, kDeviceReportSize);
                m_have = 0;
                *gotReport = true;
            }
        }
    }
    return Fill::More;  // the rest on the next call
}

bool DeviceReportReader::Read(BYTE report[kDeviceReportSize], const std::atomic<int>& stop)
{
    bool gotReport = false;
    while (!stop.load()) {
        const Fill fill = ReadAvailable(report, &gotReport);
        if (gotReport)
            return true;
        if (fill == Fill::Failed)
            return false;
        // Sleeps until the device sends or a stop is raised: no wake-ups in between.
        short revents = 0;
        const StopWait wait = PollUnless(m_fd, POLLIN, stop, -1, &revents);
        if (wait == StopWait::Stopped || wait == StopWait::Failed)
            return false;
        if (wait == StopWait::Ready && (revents & (POLLERR | POLLNVAL)))
            return false;
        // POLLHUP with data still buffered is read on the next turn; without data the
        // read reports end of file.
    }
    return false;
}
