#include "firmware/FirmwareUpdateDlg.h"
#include "firmware/SystemFirmwareUpdateServices.h"
#include "platform/WinMessages.h"
#include "tests/firmware/FakeFirmwareServices.h"
#include "tests/firmware/FirmwareFile.h"
#include "tests/support/CameraApiDouble.h"
#include "tests/support/ManualClock.h"
#include "tests/support/RecordingWindow.h"
#include "tests/support/ScriptedPrompter.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

namespace {

class FirmwareUpdateDlgTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CamDouble().Reset();
        services.file = MakeFirmwareFile(MakeCameraImage("2.10", 3000), "2.10");
        Prepare(dlg);
    }
    static void Prepare(CFirmwareUpdateDlg& d)
    {
        d.m_strCurrentVersion = QStringLiteral("2.03");
        d.m_strPortName = QStringLiteral("/dev/pts/5");
        d.show();
    }
    // Starts the update and waits until it has finished: how often the dialog said so, -1
    // when it never finished.
    static int RunToTheEnd(CFirmwareUpdateDlg& d)
    {
        QSignalSpy finished(&d, &CFirmwareUpdateDlg::updateFinished);
        QTest::mouseClick(d.StartButton(), Qt::LeftButton);
        if (!WaitUntil([&] { return d.GetState() == FwFinished; }))
            return -1;
        QCoreApplication::processEvents();
        return int(finished.count());
    }

    FakeFirmwareServices services;
    ManualClock clock;
    CFirmwareUpdateDlg dlg{nullptr, &services, &clock};
};

TEST_F(FirmwareUpdateDlgTest, RunLocksTheDialogThenOffersClose)
{
    EXPECT_EQ(dlg.CurrentVersionLabel()->text(), "Current firmware version : 2.03");
    EXPECT_TRUE(dlg.GetStatus().startsWith("Update QVT-VZ1 firmware. Be sure to exit all applications"));
    EXPECT_TRUE(dlg.SourceButton(0)->isChecked());

    QSignalSpy finished(&dlg, &CFirmwareUpdateDlg::updateFinished);
    QTest::mouseClick(dlg.StartButton(), Qt::LeftButton);
    for (QWidget* w : std::initializer_list<QWidget*>{dlg.StartButton(), dlg.ReleaseNoteButton(), dlg.SourceButton(0),
                                                       dlg.SourceButton(1)})
        EXPECT_FALSE(w->isEnabled());
    EXPECT_FALSE(dlg.CancelButton()->isVisible());
    // The worker is held until its last message is handled: nothing ends the dialog.
    ASSERT_TRUE(dlg.HasWorker());
    QTest::keyClick(&dlg, Qt::Key_Escape);
    QTest::keyClick(&dlg, Qt::Key_Return);
    dlg.close();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(finished.count(), 0) << "not finished while the worker is held";

    ASSERT_TRUE(WaitUntil([&] { return dlg.GetState() == FwFinished; }));
    EXPECT_FALSE(dlg.HasWorker());
    EXPECT_EQ(dlg.GetStatus(), "Firmware update completed successfully.");
    EXPECT_EQ(dlg.GetProgress(), 100);
    EXPECT_EQ(dlg.StartButton()->text(), "Close");
    EXPECT_FALSE(dlg.CancelButton()->isVisible());
    EXPECT_EQ(CamDouble().Commands().front(), "CamFirmwareOpen(/dev/pts/5)");

    QTest::mouseClick(dlg.StartButton(), Qt::LeftButton);  // never a second update
    EXPECT_EQ(finished.count(), 1);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), IDOK);
    EXPECT_EQ(CamDouble().Commands().size(), 3u);
}

TEST_F(FirmwareUpdateDlgTest, FailedAndCancelledRunsShowTheirStatus)
{
    dlg.SourceButton(1)->setChecked(true);
    services.localFileResult = LocalFileResult::Failed;
    ASSERT_EQ(RunToTheEnd(dlg), 1);
    EXPECT_EQ(dlg.GetStatus(), "Firmware download failed.");
    EXPECT_EQ(services.localFileCalls, 1);

    // The file picker closed, or the version question answered with Cancel.
    for (auto picker : {LocalFileResult::Cancelled, LocalFileResult::Ok}) {
        CFirmwareUpdateDlg second(nullptr, &services, &clock);
        Prepare(second);
        second.SourceButton(1)->setChecked(true);
        services.localFileResult = picker;
        services.answers = {IDCANCEL};
        ASSERT_EQ(RunToTheEnd(second), 1);
        EXPECT_EQ(second.GetStatus(), "The updating process has been canceled by user.");
    }
    EXPECT_TRUE(CamDouble().Commands().empty());
}

TEST_F(FirmwareUpdateDlgTest, ReactsToEachWorkerMessage)
{
    const auto send = [&](UINT msg, LPARAM w) { SendMessage(&dlg, msg, static_cast<WPARAM>(w), 0); };
    QSignalSpy finished(&dlg, &CFirmwareUpdateDlg::updateFinished);
    send(WM_FW_DOWNLOADED, 1);
    EXPECT_EQ(dlg.GetProgress(), 100);
    send(WM_FW_LOADED, -5);
    EXPECT_EQ(dlg.GetStatus(), "Loading firmware file failed.");
    send(WM_FW_LOADED, 0);
    EXPECT_EQ(dlg.GetState(), FwWriting);
    EXPECT_TRUE(dlg.GetStatus().startsWith("New firmware is being written to QVT-VZ1.\r\n"));
    send(WM_FW_WRITE_PROGRESS, 42);
    send(WM_FW_WRITE_PROGRESS, 101);
    EXPECT_EQ(dlg.GetStatus(), "Firmware writing failed.");
    EXPECT_EQ(dlg.GetProgress(), 42);
    send(WM_FW_RESTART_PROGRESS, 0);
    EXPECT_EQ(dlg.GetState(), FwRestarting);
    EXPECT_EQ(dlg.GetStatus(), "Restarting QVT-VZ1. Please wait.");
    send(WM_FW_RESTART_PROGRESS, 110);
    EXPECT_EQ(dlg.GetProgress(), 100);
    EXPECT_EQ(finished.count(), 0) << "only the last message finishes the run";
    send(WM_FW_FINISHED, FW_RESULT_FAILED);
    EXPECT_EQ(dlg.GetState(), FwFinished);
    EXPECT_EQ(dlg.GetStatus(), "Restarting QVT-VZ1. Please wait.") << "a failed run keeps the status it has";
    send(WM_FW_FINISHED, FW_RESULT_FAILED);
    EXPECT_EQ(finished.count(), 1) << "a run finishes once";
}

TEST_F(FirmwareUpdateDlgTest, BeforeStartTheDialogClosesTheUsualWays)
{
    QTest::mouseClick(dlg.CancelButton(), Qt::LeftButton);
    EXPECT_EQ(dlg.result(), IDCANCEL);
    dlg.show();
    QTest::keyClick(&dlg, Qt::Key_Return);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), IDOK);
    EXPECT_TRUE(services.urls.empty());
}

// The fake's file, the product's questions: shown on the user-interface thread.
struct RealQuestions final : FirmwareUpdateServices
{
    explicit RealQuestions(FakeFirmwareServices& fake) : fake(fake) {}
    DownloadResult Download(const std::string& u, CByteStream& s, const std::atomic<int>& c) override
    {
        return fake.Download(u, s, c);
    }
    LocalFileResult LoadLocalFile(CByteStream& s, const std::atomic<int>& c) override { return fake.LoadLocalFile(s, c); }
    int Ask(const QString& text, UINT type, const std::atomic<int>& cancel) override
    {
        return asking = true, SystemFirmwareServices().Ask(text, type, cancel);
    }
    void DrainChannel(int) override {}
    FakeFirmwareServices& fake;
    std::atomic<bool> asking{false};
};

TEST_F(FirmwareUpdateDlgTest, QuestionsAreShownForTheWorkerAndGiveWayWhenTheDialogGoes)
{
    ScriptedPrompter prompter;
    prompter.answers = {IDOK};
    RealQuestions questions(services);
    {
        CFirmwareUpdateDlg d(nullptr, &questions, &clock);
        Prepare(d);
        ASSERT_EQ(RunToTheEnd(d), 1);
        EXPECT_EQ(prompter.captions, QStringList{"QVT-VZ1"});
        EXPECT_EQ(d.GetStatus(), "Firmware update completed successfully.");
    }
    // A worker waits at a question not shown yet, and the dialog is destroyed (the program
    // quits): the worker gives up its wait, so it can be joined.
    questions.asking = false;
    auto* d = new CFirmwareUpdateDlg(nullptr, &questions, &clock);
    Prepare(*d);
    QTest::mouseClick(d->StartButton(), Qt::LeftButton);
    for (int i = 0; i < 10000 && !questions.asking; ++i)  // no event loop: the question stays unshown
        QThread::msleep(1);
    ASSERT_TRUE(questions.asking.load());
    delete d;
    EXPECT_EQ(CamDouble().Commands().size(), 3u) << "only the first run wrote";
    EXPECT_TRUE(WaitUntil([&] { return prompter.texts.size() == 2; })) << "the abandoned question is dropped harmlessly";
}

} // namespace
