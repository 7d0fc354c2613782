#pragma once
// The firmware channel: a port opened on its own (the link is closed during an update),
// spoken to synchronously by the update worker: link start, then the image in
// acknowledged blocks, then the end frame that the camera answers once it has checked
// and accepted the image.
#include "camera/ViscaFrameSplitter.h"
#include "camera/ViscaReply.h"
#include "platform/WinTypes.h"

#include <functional>

struct FirmwareChannelTiming
{
    int replyTimeoutMs = 1000;   // per block
    int acceptTimeoutMs = 10000; // for the camera's check of the whole image
    int blockAttempts = 3;
};

class FirmwareChannel
{
public:
    FirmwareChannel(int fd, FirmwareChannelTiming timing = {});

    // progress(percent) is called with 0 first, then as blocks are accepted, 100 last.
    bool Write(std::span<const std::uint8_t> image, const std::function<void(int)>& progress);

private:
    bool Exchange(const visca::Frame& frame, visca::Reply::Kind expect, int timeoutMs);
    bool ExchangeCommand(const visca::Frame& frame, int timeoutMs);

    int m_fd;
    FirmwareChannelTiming m_timing;
    visca::FrameSplitter m_splitter{visca::kMaxReplyLength};
};
