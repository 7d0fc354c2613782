#include "firmware/FirmwareDownload.h"
#include "tests/firmware/LocalHttpServer.h"
#include "tests/support/RecordingWindow.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <string>
#include <thread>

namespace {

std::string Body(const CByteStream& s)
{
    return std::string(reinterpret_cast<const char*>(s.GetData()), static_cast<size_t>(s.GetLength()));
}

std::string Bytes(size_t n)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>(i * 31 + 7);
    return s;
}

class FirmwareDownload : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_GT(server.Port(), 0);
        ASSERT_TRUE(stream.Create());
    }
    LocalHttpServer server;
    CByteStream stream;
};

TEST_F(FirmwareDownload, FetchesTheWholeBodyAsAFreshCopy)
{
    const std::string body = Bytes(200000);
    server.Answer("/fw/QVTVZ1.BIN", {200, body});
    ASSERT_EQ(DownloadToStream(server.Url("/fw/QVTVZ1.BIN").c_str(), &stream), DownloadResult::Ok);
    EXPECT_EQ(Body(stream), body);

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_NE(requests[0].find("GET /fw/QVTVZ1.BIN "), std::string::npos);
    EXPECT_NE(requests[0].find("User-Agent: NORVEL QVT-VZ1 SUPPORT TOOL\r\n"), std::string::npos);
    EXPECT_NE(requests[0].find("Cache-Control: no-cache\r\n"), std::string::npos);
    EXPECT_NE(requests[0].find("Pragma: no-cache\r\n"), std::string::npos);

    // A body ended by closing the connection arrives whole too.
    CByteStream second;
    ASSERT_TRUE(second.Create());
    server.Answer("/unsized", {200, body, false});
    ASSERT_EQ(DownloadToStream(server.Url("/unsized").c_str(), &second), DownloadResult::Ok);
    EXPECT_EQ(Body(second), body);
}

TEST_F(FirmwareDownload, ErrorStatusIsReportedAndItsPageNotKept)
{
    EXPECT_EQ(DownloadToStream(server.Url("/missing.BIN").c_str(), &stream), DownloadResult::HttpError);
    EXPECT_EQ(stream.GetLength(), 0);
    server.Answer("/broken", {500, "oops"});
    EXPECT_EQ(DownloadToStream(server.Url("/broken").c_str(), &stream), DownloadResult::HttpError);
    EXPECT_EQ(stream.GetLength(), 0);
}

TEST_F(FirmwareDownload, UnreachableOrUnsupportedAddressesFail)
{
    const std::string dead = "http://127.0.0.1:" + std::to_string(LocalHttpServer::DeadPort()) + "/fw.BIN";
    EXPECT_EQ(DownloadToStream(dead.c_str(), &stream), DownloadResult::Failed);
    EXPECT_EQ(DownloadToStream("file:///etc/hostname", &stream), DownloadResult::Failed) << "only HTTP and HTTPS";
    EXPECT_EQ(DownloadToStream("not a url", &stream), DownloadResult::Failed);
    EXPECT_EQ(DownloadToStream("", &stream), DownloadResult::Failed);
    EXPECT_EQ(DownloadToStream(nullptr, &stream), DownloadResult::Failed);
    EXPECT_EQ(stream.GetLength(), 0);
}

TEST_F(FirmwareDownload, StopsAtTheSizeBound)
{
    DownloadLimits limits;
    limits.maxBytes = 10000;
    server.Answer("/sized", {200, Bytes(50000)});
    EXPECT_EQ(DownloadToStream(server.Url("/sized").c_str(), &stream, nullptr, limits), DownloadResult::TooLarge);
    EXPECT_LE(stream.GetLength(), 10000);

    CByteStream unsized;
    ASSERT_TRUE(unsized.Create());
    server.Answer("/unsized", {200, Bytes(50000), false});
    EXPECT_EQ(DownloadToStream(server.Url("/unsized").c_str(), &unsized, nullptr, limits), DownloadResult::TooLarge);
    EXPECT_LE(unsized.GetLength(), 10000);

    // Exactly at the bound is fine.
    CByteStream exact;
    ASSERT_TRUE(exact.Create());
    server.Answer("/exact", {200, Bytes(10000), false});
    EXPECT_EQ(DownloadToStream(server.Url("/exact").c_str(), &exact, nullptr, limits), DownloadResult::Ok);
    EXPECT_EQ(exact.GetLength(), 10000);
}

TEST_F(FirmwareDownload, AStalledServerTimesOut)
{
    DownloadLimits limits;
    limits.lowSpeedSeconds = 1;
    // Headers, then silence: libcurl averages the speed over a few seconds, so bytes
    // sent first would only lengthen the test.
    server.Answer("/stall", {200, Bytes(5000), true, 0});
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(DownloadToStream(server.Url("/stall").c_str(), &stream, nullptr, limits), DownloadResult::TimedOut);
    EXPECT_LT(timer.elapsed(), 20000);
}

TEST_F(FirmwareDownload, CancelStopsAWaitingTransfer)
{
    server.Answer("/stall", {200, Bytes(5000), true, 100});
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
    EXPECT_TRUE(finished) << "cancel must cut the transfer short, long before the stall limit";
    EXPECT_EQ(result, DownloadResult::Cancelled);

    CByteStream other;
    ASSERT_TRUE(other.Create());
    EXPECT_EQ(DownloadToStream(server.Url("/stall").c_str(), &other, &cancel), DownloadResult::Cancelled)
        << "a flag already set stops before connecting";
    EXPECT_EQ(server.Requests().size(), 1u);
}

} // namespace
