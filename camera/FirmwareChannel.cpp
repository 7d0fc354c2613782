#include "camera/FirmwareChannel.h"

#include "camera/CameraConnectionApi.h"
#include "camera/QvtVz1Api.h"
#include "camera/SerialPort.h"
#include "platform/WinMessage.h"

#include <cerrno>
#include <chrono>
#include <poll.h>
#include <unistd.h>

FirmwareChannel::FirmwareChannel(int fd, FirmwareChannelTiming timing)
    : m_fd(fd)
    , m_timing(timing)
{
}

// Sends frame and reads until a reply of kind expect (true), an error reply (false) or
// the time-out. For commands, expect is the completion and the ACK before it is passed.
bool FirmwareChannel::Exchange(const visca::Frame& frame, visca::Reply::Kind expect, int timeoutMs)
{
    using Kind = visca::Reply::Kind;
    if (!WriteAll(m_fd, frame, timeoutMs))
        return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int result = -1;  // -1 waiting, 0 refused, 1 done
    std::uint8_t buf[256];
    while (result < 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0)
            return false;
        pollfd pfd{m_fd, POLLIN, 0};
        const int n = ::poll(&pfd, 1, static_cast<int>(left));
        if (n < 0 && errno != EINTR)
            return false;
        if (n <= 0)
            continue;
        if (!(pfd.revents & POLLIN))
            return false;  // hang-up or error with nothing left to read
        const ssize_t got = ::read(m_fd, buf, sizeof buf);
        if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR))
            return false;
        if (got < 0)
            continue;
        m_splitter.Feed({buf, static_cast<size_t>(got)}, [&](const visca::Frame& f) {
            if (result >= 0)
                return;
            const visca::Reply reply = visca::ClassifyReply(f);
            if (reply.kind == expect)
                result = 1;
            else if (reply.kind == Kind::Error)
                result = 0;
        });
    }
    return result == 1;
}

bool FirmwareChannel::ExchangeCommand(const visca::Frame& frame, int timeoutMs)
{
    return Exchange(frame, visca::Reply::Kind::Completion, timeoutMs);
}

bool FirmwareChannel::Write(std::span<const std::uint8_t> image, const std::function<void(int)>& progress)
{
    using Kind = visca::Reply::Kind;
    if (m_fd < 0 || image.empty() || image.size() > 0xFFFFFFFFu)
        return false;
    const int t = m_timing.replyTimeoutMs;
    if (!Exchange(visca::AddressSet(), Kind::AddressSetDone, t)
        || !Exchange(visca::InterfaceClear(), Kind::InterfaceCleared, t))
        return false;
    progress(0);
    if (!ExchangeCommand(visca::FirmwareStart(static_cast<std::uint32_t>(image.size())), t))
        return false;

    const size_t blocks = (image.size() + visca::kFirmwareBlockBytes - 1) / visca::kFirmwareBlockBytes;
    int lastPercent = 0;
    for (size_t i = 0; i < blocks; ++i) {
        const auto data = image.subspan(i * visca::kFirmwareBlockBytes,
                                        std::min<size_t>(visca::kFirmwareBlockBytes, image.size() - i * visca::kFirmwareBlockBytes));
        const visca::Frame frame = visca::FirmwareBlockFrame(static_cast<std::uint16_t>(i & 0xFFFF), data);
        bool sent = false;
        // The camera takes a repeated block again without harm, so a lost reply is retried.
        for (int attempt = 0; attempt < m_timing.blockAttempts && !sent; ++attempt)
            sent = ExchangeCommand(frame, t);
        if (!sent)
            return false;
        // 100 is kept for the camera's acceptance of the whole image.
        const int percent = static_cast<int>((i + 1) * 99 / blocks);
        if (percent != lastPercent) {
            lastPercent = percent;
            progress(percent);
        }
    }
    if (!ExchangeCommand(visca::FirmwareEnd(visca::FirmwareChecksum(image)), m_timing.acceptTimeoutMs))
        return false;
    progress(100);
    return true;
}

extern "C" {

int CamFirmwareOpen(const char* port)
{
    // Only the QVT-VZ1 takes a firmware image.
    return port && CamCapabilities().firmware ? OpenSerialPort(port) : -1;
}

int CamFirmwareWrite(int handle, const unsigned char* image, int size, HWND wnd, UINT msg)
{
    if (handle < 0 || !image || size <= 0)
        return 0;
    FirmwareChannel channel(handle);
    const bool ok = channel.Write({image, static_cast<size_t>(size)}, [&](int percent) {
        PostMessage(wnd, msg, static_cast<WPARAM>(percent), 0);
    });
    return ok ? 1 : 0;
}

int CamFirmwareClose(int handle)
{
    if (handle < 0)
        return 0;
    return ::close(handle) == 0 ? 1 : 0;
}

} // extern "C"
