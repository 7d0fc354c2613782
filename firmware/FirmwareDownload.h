#pragma once
// Fetching the firmware file over HTTP or HTTPS, synchronously on the update worker.
#include "firmware/ByteStream.h"

#include <atomic>
#include <cstdint>

enum class DownloadResult
{
    Ok,         // the whole body is in the stream
    Failed,     // no connection, a bad address, a transfer broken off, no memory
    HttpError,  // the server answered with a status of 400 or more (its page is not kept)
    TooLarge,   // the body passed DownloadLimits::maxBytes
    TimedOut,   // no connection in time, or the transfer stalled
    Cancelled,  // the cancel flag was set
};

// Bounds that keep a wrong address from taking the machine's memory or hanging the worker.
struct DownloadLimits
{
    std::int64_t maxBytes = 64ll * 1024 * 1024;
    long connectTimeoutMs = 15000;
    // A transfer slower than lowSpeedBytes per second for lowSpeedSeconds has stalled.
    long lowSpeedBytes = 1;
    long lowSpeedSeconds = 30;
};

// The agent the camera maker's server knows the tool by.
inline constexpr const char* kFirmwareUserAgent = "NORVEL QVT-VZ1 SUPPORT TOOL";

// Appends the body at url to stream. Always a fresh copy: no-cache headers, a new
// connection. Redirects are followed (at most 5, HTTP and HTTPS only). cancel may be null;
// when it becomes nonzero the transfer stops within about a second.
DownloadResult DownloadToStream(const char* url, CByteStream* stream, const std::atomic<int>* cancel = nullptr,
                                const DownloadLimits& limits = {});
