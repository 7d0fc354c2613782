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
#include <string>
#include <vector>

// Readable failure output for message lists.
void PrintTo(const RecordedMessage& m, std::ostream* os)
{
    *os << "{WM_USER+" << (m.message - WM_USER) << ", " << static_cast<LPARAM>(m.wParam) << "}";
}

namespace {

using Msgs = std::vector<RecordedMessage>;

RecordedMessage M(UINT msg, WPARAM w)
{
    return {msg, w, 0};
}

WPARAM Neg(int v)
{
    return static_cast<WPARAM>(static_cast<LPARAM>(v));
}

Msgs RestartProgress()
{
    Msgs out;
    for (WPARAM s = 0; s <= 11; ++s)
        out.push_back(M(WM_FW_RESTART_PROGRESS, s * 10));
    return out;
}

Msgs Concat(Msgs a, const Msgs& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class FirmwareUpdateWorker : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CamDouble().Reset();
        services.file = MakeFirmwareFile(MakeCameraImage("2.10", 5000), {.version = "2.10"});
        inputs.strPortName = "/dev/pts/9";
        inputs.strDownloadUrl = "http://127.0.0.1:1/QVTVZ1.BIN";
        inputs.strCurrentVersion = "2.03";
    }

    Msgs RunWorker()
    {
        EXPECT_EQ(FirmwareUpdateThread(&window, inputs, services, clock, cancel), 0u);
        QCoreApplication::sendPostedEvents(&window);
        return window.Messages();
    }

    std::uint32_t ImageSize() const
    {
        CFirmwareImage img;
        img.Load(services.file.data(), static_cast<std::uint32_t>(services.file.size()));
        std::uint32_t len = 0;
        img.GetImage(&len, nullptr);
        return len;
    }

    RecordingWindow window;
    FakeFirmwareServices services;
    ManualClock clock{1000};
    std::atomic<int> cancel{0};
    FirmwareUpdateInputs inputs;
};

TEST_F(FirmwareUpdateWorker, DownloadWriteAndRestart)
{
    const Msgs expected = Concat(Concat({M(WM_FW_DOWNLOADED, 1), M(WM_FW_LOADED, 0), M(WM_FW_WRITE_PROGRESS, 0),
                                         M(WM_FW_WRITE_PROGRESS, 50), M(WM_FW_WRITE_PROGRESS, 100)},
                                        RestartProgress()),
                                 {M(WM_FW_FINISHED, FW_RESULT_COMPLETED)});
    EXPECT_EQ(RunWorker(), expected);
    EXPECT_EQ(services.urls, std::vector<std::string>{"http://127.0.0.1:1/QVTVZ1.BIN"});
    EXPECT_EQ(services.localFileCalls, 0);

    const std::vector<std::string> camera{"CamFirmwareOpen(/dev/pts/9)",
                                          "CamFirmwareWrite(42," + std::to_string(ImageSize()) + ")",
                                          "CamFirmwareClose(42)"};
    EXPECT_EQ(CamDouble().Commands(), camera);

    // One question, the versions side by side; no second one for a newer file.
    ASSERT_EQ(services.questions.size(), 1);
    EXPECT_EQ(services.questions[0],
              "Current firm ware version [2.03]\n Firmware version to be downloaded [2.10]\nStart update?");
    EXPECT_EQ(services.types[0], MB_OKCANCEL);

    // The restart wait: about 11 s of virtual time, the channel read on every poll.
    EXPECT_EQ(clock.GetTickCount(), 1000u + 11000u);
    EXPECT_EQ(services.drainedHandles.size(), 111u);
    EXPECT_EQ(services.drainedHandles.front(), 42);
}

TEST_F(FirmwareUpdateWorker, RestartWaitSurvivesTheTickCounterWrapping)
{
    clock.Set(0xFFFFFFFFu - 4500);
    const Msgs msgs = RunWorker();
    Msgs restart;
    for (const auto& m : msgs)
        if (m.message == WM_FW_RESTART_PROGRESS)
            restart.push_back(m);
    EXPECT_EQ(restart, RestartProgress());
    EXPECT_EQ(msgs.back(), M(WM_FW_FINISHED, FW_RESULT_COMPLETED));
}

TEST_F(FirmwareUpdateWorker, SameVersionAsksTwiceAndWritesOnOkToBoth)
{
    services.file = MakeFirmwareFile(MakeCameraImage("2.03", 100), {.version = "2.03"});
    const Msgs msgs = RunWorker();
    EXPECT_EQ(msgs.back(), M(WM_FW_FINISHED, FW_RESULT_COMPLETED));
    ASSERT_EQ(services.questions.size(), 2);
    EXPECT_EQ(services.questions[1], "No update needed. Start update?");
    EXPECT_EQ(services.types[1], MB_OKCANCEL | MB_ICONINFORMATION);
    EXPECT_EQ(CamDouble().Commands().size(), 3u);
}

TEST_F(FirmwareUpdateWorker, OlderFileAgainstShortMinorAsksWhetherToGoOn)
{
    inputs.strCurrentVersion = "2.3";  // counts as 2.30
    services.answers = {IDOK, IDCANCEL};
    const Msgs msgs = RunWorker();
    ASSERT_EQ(services.questions.size(), 2);
    EXPECT_EQ(services.questions[1], "No update needed. Start update?");
    EXPECT_EQ(msgs, (Msgs{M(WM_FW_DOWNLOADED, 1), M(WM_FW_LOADED, 0), M(WM_FW_FINISHED, FW_RESULT_CANCELLED)}));
    EXPECT_TRUE(CamDouble().Commands().empty()) << "the camera is not touched";
}

TEST_F(FirmwareUpdateWorker, CancelAtTheFirstQuestionLeavesTheCameraAlone)
{
    services.answers = {IDCANCEL};
    EXPECT_EQ(RunWorker(), (Msgs{M(WM_FW_DOWNLOADED, 1), M(WM_FW_LOADED, 0), M(WM_FW_FINISHED, FW_RESULT_CANCELLED)}));
    EXPECT_EQ(services.questions.size(), 1);
    EXPECT_TRUE(CamDouble().Commands().empty());
}

TEST_F(FirmwareUpdateWorker, EveryWayTheFileIsNotObtained)
{
    for (auto r : {DownloadResult::Failed, DownloadResult::TooLarge, DownloadResult::TimedOut}) {
        window.Clear();
        services.downloadResult = r;
        EXPECT_EQ(RunWorker(), (Msgs{M(WM_FW_DOWNLOADED, 0), M(WM_FW_FINISHED, FW_RESULT_FAILED)}));
    }
    // A missing file on a working server reads as a file that does not load.
    window.Clear();
    services.downloadResult = DownloadResult::HttpError;
    EXPECT_EQ(RunWorker(),
              (Msgs{M(WM_FW_DOWNLOADED, 1), M(WM_FW_LOADED, Neg(FW_LOAD_INVALID)), M(WM_FW_FINISHED, FW_RESULT_FAILED)}));

    // The local file: the dialog cancelled or the file not opened.
    window.Clear();
    inputs.nSource = 1;
    services.localFileResult = FALSE;
    EXPECT_EQ(RunWorker(), (Msgs{M(WM_FW_DOWNLOADED, 0), M(WM_FW_FINISHED, FW_RESULT_FAILED)}));
    EXPECT_EQ(services.localFileCalls, 1);
    EXPECT_TRUE(services.questions.isEmpty());
    EXPECT_TRUE(CamDouble().Commands().empty());
}

TEST_F(FirmwareUpdateWorker, LocalFileTakesTheSamePathAsTheDownload)
{
    inputs.nSource = 1;
    const Msgs msgs = RunWorker();
    EXPECT_TRUE(services.urls.empty());
    EXPECT_EQ(services.localFileCalls, 1);
    EXPECT_EQ(msgs.back(), M(WM_FW_FINISHED, FW_RESULT_COMPLETED));
}

TEST_F(FirmwareUpdateWorker, RejectedImagesReportTheLoadResult)
{
    auto damaged = services.file;
    damaged[0] = 'X';
    auto badStream = services.file;
    badStream[30] ^= 0xFF;
    const std::vector<std::pair<std::vector<std::uint8_t>, int>> cases{
        {damaged, FW_LOAD_INVALID}, {badStream, FW_LOAD_INFLATE_FAILED}, {{'<', 'h', 't', 'm', 'l'}, FW_LOAD_INVALID}};
    for (const auto& [file, code] : cases) {
        window.Clear();
        services.file = file;
        EXPECT_EQ(RunWorker(), (Msgs{M(WM_FW_DOWNLOADED, 1), M(WM_FW_LOADED, Neg(code)), M(WM_FW_FINISHED, FW_RESULT_FAILED)}))
            << code;
    }
    EXPECT_TRUE(services.questions.isEmpty());
    EXPECT_TRUE(CamDouble().Commands().empty());
}

TEST_F(FirmwareUpdateWorker, WriteFailure)
{
    CamDouble().firmwareWriteResult = 0;
    CamDouble().firmwareProgress = {0, 30};
    EXPECT_EQ(RunWorker(), (Msgs{M(WM_FW_DOWNLOADED, 1), M(WM_FW_LOADED, 0), M(WM_FW_WRITE_PROGRESS, 0),
                                 M(WM_FW_WRITE_PROGRESS, 30), M(WM_FW_WRITE_PROGRESS, static_cast<WPARAM>(-1)),
                                 M(WM_FW_FINISHED, FW_RESULT_FAILED)}));
    const auto cmds = CamDouble().Commands();
    ASSERT_EQ(cmds.size(), 3u);
    EXPECT_EQ(cmds.back(), "CamFirmwareClose(42)");
    EXPECT_TRUE(services.drainedHandles.empty()) << "no restart wait after a failed write";
}

TEST_F(FirmwareUpdateWorker, CancelRequestEndsTheRunAtEachStepBeforeWriting)
{
    // Before anything.
    cancel = 1;
    EXPECT_EQ(RunWorker(), (Msgs{M(WM_FW_FINISHED, FW_RESULT_CANCELLED)}));
    EXPECT_TRUE(services.urls.empty());

    // While the file is obtained (download and local file).
    for (int source : {0, 1}) {
        cancel = 0;
        window.Clear();
        inputs.nSource = source;
        services.onObtain = [this] { cancel = 1; };
        services.downloadResult = DownloadResult::Cancelled;
        services.localFileResult = FALSE;
        EXPECT_EQ(RunWorker(), (Msgs{M(WM_FW_FINISHED, FW_RESULT_CANCELLED)})) << source;
    }
    // A download that finished just as the request came.
    cancel = 0;
    window.Clear();
    inputs.nSource = 0;
    services.downloadResult = DownloadResult::Ok;
    EXPECT_EQ(RunWorker(), (Msgs{M(WM_FW_FINISHED, FW_RESULT_CANCELLED)}));

    // While a question is open.
    cancel = 0;
    window.Clear();
    services.onObtain = nullptr;
    services.onAsk = [this] { cancel = 1; };
    EXPECT_EQ(RunWorker(), (Msgs{M(WM_FW_DOWNLOADED, 1), M(WM_FW_LOADED, 0), M(WM_FW_FINISHED, FW_RESULT_CANCELLED)}));
    EXPECT_TRUE(CamDouble().Commands().empty());
}

TEST_F(FirmwareUpdateWorker, CancelRequestDoesNotBreakOffTheRestartWait)
{
    // The request arrives once the image is written: the camera is restarting and the wait
    // runs to its end, then the run reports what happened, a completed update.
    services.onDrain = [this] { cancel = 1; };
    const Msgs msgs = RunWorker();
    EXPECT_EQ(msgs.back(), M(WM_FW_FINISHED, FW_RESULT_COMPLETED));
    EXPECT_EQ(services.drainedHandles.size(), 111u);
    EXPECT_EQ(CamDouble().Commands().back(), "CamFirmwareClose(42)");
}

} // namespace
