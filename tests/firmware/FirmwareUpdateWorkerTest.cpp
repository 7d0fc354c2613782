#include "firmware/FirmwareImage.h"
#include "firmware/FirmwareUpdateWorker.h"
#include "platform/WinMessages.h"
#include "tests/firmware/FakeFirmwareServices.h"
#include "tests/firmware/FirmwareFile.h"
#include "tests/support/CameraApiDouble.h"
#include "tests/support/ManualClock.h"
#include "tests/support/RecordingWindow.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <ostream>

void PrintTo(const RecordedMessage& m, std::ostream* os)
{
    *os << "{WM_USER+" << (m.message - WM_USER) << ", " << static_cast<LPARAM>(m.wParam) << "}";
}

namespace {

using Msgs = std::vector<RecordedMessage>;
using Calls = std::vector<std::string>;

RecordedMessage M(UINT msg, LPARAM w) { return {msg, static_cast<WPARAM>(w), 0}; }

const Msgs kLoaded{M(WM_FW_DOWNLOADED, 1), M(WM_FW_LOADED, 0)};
const Msgs kCancelledAfterLoad{M(WM_FW_DOWNLOADED, 1), M(WM_FW_LOADED, 0), M(WM_FW_FINISHED, FW_RESULT_CANCELLED)};
const Msgs kNotObtained{M(WM_FW_DOWNLOADED, 0), M(WM_FW_FINISHED, FW_RESULT_FAILED)};
const Msgs kCancelled{M(WM_FW_FINISHED, FW_RESULT_CANCELLED)};
Msgs LoadFailed(LPARAM code) { return {M(WM_FW_DOWNLOADED, 1), M(WM_FW_LOADED, code), M(WM_FW_FINISHED, FW_RESULT_FAILED)}; }

class FirmwareUpdateWorker : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CamDouble().Reset();
        services.file = MakeFirmwareFile(MakeCameraImage("2.10", 5000), "2.10");
    }
    Msgs Run()
    {
        window.Clear();
        EXPECT_EQ(FirmwareUpdateThread(&window, inputs, services, clock, cancel), 0u);
        QCoreApplication::sendPostedEvents(&window);
        return window.Messages();
    }

    RecordingWindow window;
    FakeFirmwareServices services;
    ManualClock clock{1000};
    std::atomic<int> cancel{0};
    FirmwareUpdateInputs inputs{"/dev/pts/9", "http://127.0.0.1:1/QVTVZ1.BIN", "2.03", 0};
};

TEST_F(FirmwareUpdateWorker, DownloadWriteAndRestart)
{
    Msgs expected = kLoaded;
    for (LPARAM p : {0, 50, 100})
        expected.push_back(M(WM_FW_WRITE_PROGRESS, p));
    for (LPARAM s = 0; s <= 11; ++s)
        expected.push_back(M(WM_FW_RESTART_PROGRESS, s * 10));
    expected.push_back(M(WM_FW_FINISHED, FW_RESULT_COMPLETED));
    EXPECT_EQ(Run(), expected);
    EXPECT_EQ(services.urls, Calls{"http://127.0.0.1:1/QVTVZ1.BIN"});
    EXPECT_EQ(CamDouble().Commands(),
              (Calls{"CamFirmwareOpen(/dev/pts/9)", "CamFirmwareWrite(42,5016)", "CamFirmwareClose(42)"}));
    ASSERT_EQ(services.questions,
              QStringList{"Current firm ware version [2.03]\n Firmware version to be downloaded [2.10]\nStart update?"});
    EXPECT_EQ(services.types[0], MB_OKCANCEL);
    // About 11 s of virtual time, the channel read on every 100 ms poll.
    EXPECT_EQ(clock.GetTickCount(), 12000u);
    EXPECT_EQ(services.drained, std::vector<int>(111, 42));

    // The same from a local file, and across a wrap of the tick counter.
    inputs.nSource = 1;
    clock.Set(0xFFFFFFFFu - 4500);
    EXPECT_EQ(Run(), expected);
    EXPECT_EQ(services.localFileCalls, 1);
    EXPECT_EQ(services.urls.size(), 1u);
}

TEST_F(FirmwareUpdateWorker, NotNewerAsksASecondQuestion)
{
    services.file = MakeFirmwareFile(MakeCameraImage("2.03", 100), "2.03");
    EXPECT_EQ(Run().back(), M(WM_FW_FINISHED, FW_RESULT_COMPLETED)) << "OK to both writes the firmware";
    ASSERT_EQ(services.questions.size(), 2);
    EXPECT_EQ(services.questions[1], "No update needed. Start update?");
    EXPECT_EQ(services.types[1], MB_OKCANCEL | MB_ICONINFORMATION);

    // 2.10 against a camera with 2.3 (that is 2.30): asked again; Cancel at the second, then
    // at the first question.
    CamDouble().Reset();
    services.file = MakeFirmwareFile(MakeCameraImage("2.10", 100), "2.10");
    inputs.strCurrentVersion = "2.3";
    for (auto [answers, asked] : {std::pair{std::deque{IDOK, IDCANCEL}, 4}, {std::deque{IDCANCEL}, 5}}) {
        services.answers = answers;
        EXPECT_EQ(Run(), kCancelledAfterLoad);
        EXPECT_EQ(services.questions.size(), asked);
        EXPECT_TRUE(CamDouble().Commands().empty());
    }
}

TEST_F(FirmwareUpdateWorker, EachFailureEndsTheRunWithItsMessages)
{
    for (auto r : {DownloadResult::Failed, DownloadResult::TooLarge, DownloadResult::TimedOut}) {
        services.downloadResult = r;
        EXPECT_EQ(Run(), kNotObtained);
    }
    // A missing file on a working server reads as a file that does not load.
    services.downloadResult = DownloadResult::HttpError;
    EXPECT_EQ(Run(), LoadFailed(-5));
    inputs.nSource = 1;
    services.localFileResult = LocalFileResult::Failed;
    EXPECT_EQ(Run(), kNotObtained);
    // Closing the picker is the user's cancel, not a failed download.
    services.localFileResult = LocalFileResult::Cancelled;
    EXPECT_EQ(Run(), kCancelled);

    services.localFileResult = LocalFileResult::Ok;
    const auto good = services.file;
    for (auto [at, code] : {std::pair{0, -5}, {30, -6}}) {
        services.file = good;
        services.file[at] ^= 0xFF;
        EXPECT_EQ(Run(), LoadFailed(code));
    }
    EXPECT_TRUE(services.questions.isEmpty());
    EXPECT_TRUE(CamDouble().Commands().empty());

    services.file = good;
    CamDouble().firmwareWriteResult = 0;
    CamDouble().firmwareProgress = {0, 30};
    Msgs expected = kLoaded;
    for (LPARAM p : {0, 30, -1})
        expected.push_back(M(WM_FW_WRITE_PROGRESS, p));
    expected.push_back(M(WM_FW_FINISHED, FW_RESULT_FAILED));
    EXPECT_EQ(Run(), expected);
    EXPECT_EQ(CamDouble().Commands().back(), "CamFirmwareClose(42)");
    EXPECT_TRUE(services.drained.empty()) << "no restart wait after a failed write";
}

TEST_F(FirmwareUpdateWorker, CancelRequestEndsTheRunAtEachStepBeforeWriting)
{
    cancel = 1;
    EXPECT_EQ(Run(), kCancelled);
    EXPECT_TRUE(services.urls.empty());

    services.onObtain = [this] { cancel = 1; };
    for (int source : {0, 1})
        for (BOOL obtained : {FALSE, TRUE}) {  // the download sees it itself, or the bytes came in just then
            cancel = 0;
            inputs.nSource = source;
            services.downloadResult = obtained ? DownloadResult::Ok : DownloadResult::Cancelled;
            services.localFileResult = obtained ? LocalFileResult::Ok : LocalFileResult::Failed;
            EXPECT_EQ(Run(), kCancelled) << source << obtained;
        }
    services.onObtain = nullptr;
    services.onAsk = [this] { cancel = 1; };
    cancel = 0;
    EXPECT_EQ(Run(), kCancelledAfterLoad) << "while a question is open";
    EXPECT_TRUE(CamDouble().Commands().empty());
}

TEST_F(FirmwareUpdateWorker, CancelRequestDoesNotBreakOffTheRestartWait)
{
    services.onDrain = [this] { cancel = 1; };
    EXPECT_EQ(Run().back(), M(WM_FW_FINISHED, FW_RESULT_COMPLETED));
    EXPECT_EQ(services.drained.size(), 111u);
    EXPECT_EQ(CamDouble().Commands().back(), "CamFirmwareClose(42)");
}

} // namespace
