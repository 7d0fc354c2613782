#include "firmware/FirmwareDownload.h"

#include <curl/curl.h>

#include <mutex>

namespace {

struct Transfer
{
    CURL* curl = nullptr;
    CByteStream* stream = nullptr;
    const std::atomic<int>* cancel = nullptr;
    std::int64_t maxBytes = 0;
    std::int64_t received = 0;
    bool tooLarge = false;
    bool writeFailed = false;
};

size_t OnBody(char* data, size_t size, size_t count, void* user)
{
    auto& t = *static_cast<Transfer*>(user);
    const size_t bytes = size * count;
    if (t.received + static_cast<std::int64_t>(bytes) > t.maxBytes) {
        t.tooLarge = true;
        return 0;  // makes libcurl stop with a write error
    }
    long status = 0;
    curl_easy_getinfo(t.curl, CURLINFO_RESPONSE_CODE, &status);
    if (status >= 400)
        return bytes;  // an error page is no firmware file; read it off without keeping it
    if (bytes > 0 && t.stream->Write(data, static_cast<std::int32_t>(bytes)) != static_cast<std::int32_t>(bytes)) {
        t.writeFailed = true;
        return 0;
    }
    t.received += static_cast<std::int64_t>(bytes);
    return bytes;
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    const auto& t = *static_cast<Transfer*>(user);
    return t.cancel && t.cancel->load() ? 1 : 0;
}

void InitCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

} // namespace

DownloadResult DownloadToStream(const char* url, CByteStream* stream, const std::atomic<int>* cancel,
                                const DownloadLimits& limits)
{
    if (!url || !*url || !stream)
        return DownloadResult::Failed;
    if (cancel && cancel->load())
        return DownloadResult::Cancelled;
    InitCurlOnce();
    CURL* curl = curl_easy_init();
    if (!curl)
        return DownloadResult::Failed;

    Transfer t;
    t.curl = curl;
    t.stream = stream;
    t.cancel = cancel;
    t.maxBytes = limits.maxBytes;

    curl_slist* headers = nullptr;
    headers = curl_slist_append(headers, "Cache-Control: no-cache");
    headers = curl_slist_append(headers, "Pragma: no-cache");

    curl_easy_setopt(curl, CURLOPT_URL, url);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, kFirmwareUserAgent);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl, CURLOPT_FRESH_CONNECT, 1L);
    curl_easy_setopt(curl, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);  // the worker is not the main thread
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, limits.connectTimeoutMs);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, limits.lowSpeedBytes);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, limits.lowSpeedSeconds);
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBytes));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &t);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &t);

    const CURLcode rc = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_cleanup(curl);
    curl_slist_free_all(headers);

    if (rc == CURLE_OK)
        return status >= 400 ? DownloadResult::HttpError : DownloadResult::Ok;
    if (rc == CURLE_ABORTED_BY_CALLBACK)
        return DownloadResult::Cancelled;
    if (t.tooLarge || rc == CURLE_FILESIZE_EXCEEDED)
        return DownloadResult::TooLarge;
    if (rc == CURLE_OPERATION_TIMEDOUT)
        return DownloadResult::TimedOut;
    return DownloadResult::Failed;
}
