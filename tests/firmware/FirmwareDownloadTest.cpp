#include "firmware/FirmwareDownload.h"
#include "tests/firmware/LocalHttpServer.h"
#include "tests/support/RecordingWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

std::string Text(size_t n)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>(i * 31 + 7);
    return s;
}

class FirmwareDownload : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_GT(server.Port(), 0); }
    DownloadResult Get(const std::string& path, const DownloadLimits& limits = {})
    {
        stream.Create();
        return DownloadToStream(server.Url(path).c_str(), &stream, nullptr, limits);
    }
    std::string Body() const
    {
        return std::string(reinterpret_cast<const char*>(stream.GetData()), static_cast<size_t>(stream.GetLength()));
    }
    LocalHttpServer server;
    CByteStream stream;
};

TEST_F(FirmwareDownload, FetchesTheWholeBodyAsAFreshCopy)
{
    const std::string body = Text(200000);
    server.Answer("/fw/QVTVZ1.BIN", {200, body});
    server.Answer("/unsized", {200, body, false});
    ASSERT_EQ(Get("/fw/QVTVZ1.BIN"), DownloadResult::Ok);
    EXPECT_EQ(Body(), body);
    const std::string head = server.Requests().at(0);
    EXPECT_EQ(head.rfind("GET /fw/QVTVZ1.BIN ", 0), 0u);
    for (const char* field : {"User-Agent: NORVEL QVT-VZ1 SUPPORT TOOL\r\n", "Cache-Control: no-cache\r\n", "Pragma: no-cache\r\n"})
        EXPECT_NE(head.find(field), std::string::npos) << field;
    ASSERT_EQ(Get("/unsized"), DownloadResult::Ok);
    EXPECT_EQ(Body(), body);
}

TEST_F(FirmwareDownload, ErrorsAndBadAddressesFailWithoutKeepingAnything)
{
    EXPECT_EQ(Get("/missing.BIN"), DownloadResult::HttpError);
    EXPECT_EQ(stream.GetLength(), 0) << "the error page is not kept";
    server.Answer("/broken", {500, "oops"});
    EXPECT_EQ(Get("/broken"), DownloadResult::HttpError);
    const std::string dead = "http://127.0.0.1:" + std::to_string(LocalHttpServer::DeadPort()) + "/fw.BIN";
    for (const char* url : {dead.c_str(), "file:///etc/hostname", "not a url", "", static_cast<const char*>(nullptr)})
        EXPECT_EQ(DownloadToStream(url, &stream), DownloadResult::Failed) << (url ? url : "null");
    EXPECT_EQ(stream.GetLength(), 0);
}

TEST_F(FirmwareDownload, StopsAtTheSizeBound)
{
    DownloadLimits limits;
    limits.maxBytes = 10000;
    for (bool sendLength : {true, false}) {
        server.Answer("/big", {200, Text(50000), sendLength});
        EXPECT_EQ(Get("/big", limits), DownloadResult::TooLarge) << sendLength;
        EXPECT_LE(stream.GetLength(), 10000);
    }
    server.Answer("/exact", {200, Text(10000), false});
    EXPECT_EQ(Get("/exact", limits), DownloadResult::Ok);
}

TEST_F(FirmwareDownload, AStalledServerTimesOutOrIsCancelled)
{
    server.Answer("/stall", {200, Text(5000), true, true});
    DownloadLimits limits;
    limits.lowSpeedSeconds = 1;
    EXPECT_EQ(Get("/stall", limits), DownloadResult::TimedOut);
    ASSERT_TRUE(WaitUntil([&] { return !server.Stalling(); }));

    std::atomic<int> cancel{0};
    std::atomic<bool> done{false};
    DownloadResult result = DownloadResult::Ok;
    std::thread worker([&] {
        result = DownloadToStream(server.Url("/stall").c_str(), &stream, &cancel);  // 30 s stall limit
        done = true;
    });
    ASSERT_TRUE(WaitUntil([&] { return server.Stalling(); }));
    cancel = 1;
    const bool finished = WaitUntil([&] { return done.load(); }, 10000);
    worker.join();
    EXPECT_TRUE(finished) << "cancel cuts the transfer short, long before the stall limit";
    EXPECT_EQ(result, DownloadResult::Cancelled);
    EXPECT_EQ(DownloadToStream(server.Url("/stall").c_str(), &stream, &cancel), DownloadResult::Cancelled);
    EXPECT_EQ(server.Requests().size(), 2u) << "a flag already set stops before connecting";
}

} // namespace
