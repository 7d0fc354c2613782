#include "firmware/FirmwareUpdateDlg.h"
#include "platform/WinMessages.h"
#include "tests/firmware/FakeFirmwareServices.h"
#include "tests/firmware/FirmwareFile.h"
#include "tests/support/CameraApiDouble.h"
#include "tests/support/ManualClock.h"
#include "tests/support/RecordingWindow.h"
#include "tests/support/ScriptedPrompter.h"
#include "firmware/SystemFirmwareUpdateServices.h"

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QThread>
#include <QUrl>

namespace {

class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void Open(const QUrl& url) { urls.push_back(url); }
};

class FirmwareUpdateDlgTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CamDouble().Reset();
        services.file = MakeFirmwareFile(MakeCameraImage("2.10", 3000), {.version = "2.10"});
        dlg.m_strCurrentVersion = QStringLiteral("2.03");
        dlg.m_strPortName = QStringLiteral("/dev/pts/5");
        dlg.m_strDownloadUrl = QStringLiteral("http://127.0.0.1:1/fw.BIN");
        dlg.show();
    }

    bool RunToTheEnd()
    {
        return WaitUntil([this] { return dlg.GetState() == FwFinished; });
    }

    FakeFirmwareServices services;
    ManualClock clock;
    CFirmwareUpdateDlg dlg{nullptr, &services, &clock};
};

TEST_F(FirmwareUpdateDlgTest, OpensReadyToStart)
{
    EXPECT_EQ(dlg.windowTitle(), "QVT-VZ1 Firmware Update");
    EXPECT_EQ(dlg.CurrentVersionLabel()->text(), "Current firmware version : 2.03");
    EXPECT_EQ(dlg.GetStatus(),
              "Update QVT-VZ1 firmware. Be sure to exit all applications used by QVT-VZ1.\r\n"
              "To start the update process, press the Start button.");
    EXPECT_EQ(dlg.GetState(), FwIdle);
    EXPECT_EQ(dlg.GetProgress(), 0);
    EXPECT_TRUE(dlg.SourceButton(0)->isChecked());
    EXPECT_TRUE(dlg.StartButton()->isEnabled());
    EXPECT_TRUE(dlg.CancelButton()->isVisible());
}

TEST_F(FirmwareUpdateDlgTest, SuccessfulRunLocksTheDialogThenOffersClose)
{
    QTest::mouseClick(dlg.StartButton(), Qt::LeftButton);
    EXPECT_NE(dlg.GetState(), FwIdle);
    EXPECT_FALSE(dlg.StartButton()->isEnabled());
    EXPECT_FALSE(dlg.SourceButton(0)->isEnabled());
    EXPECT_FALSE(dlg.SourceButton(1)->isEnabled());
    EXPECT_FALSE(dlg.ReleaseNoteButton()->isEnabled());
    EXPECT_FALSE(dlg.CancelButton()->isVisible());

    // Nothing ends the dialog while the worker is held (until its last message is handled).
    ASSERT_TRUE(dlg.HasWorker());
    QTest::keyClick(&dlg, Qt::Key_Escape);
    QTest::keyClick(&dlg, Qt::Key_Return);
    dlg.close();
    dlg.reject();
    EXPECT_TRUE(dlg.isVisible());

    ASSERT_TRUE(RunToTheEnd());
    EXPECT_FALSE(dlg.HasWorker());
    EXPECT_EQ(dlg.GetStatus(), "Firmware update completed successfully.");
    EXPECT_EQ(dlg.GetProgress(), 100);
    EXPECT_EQ(dlg.StartButton()->text(), "Close");
    EXPECT_TRUE(dlg.StartButton()->isEnabled());
    EXPECT_FALSE(dlg.SourceButton(0)->isEnabled());
    EXPECT_FALSE(dlg.CancelButton()->isVisible());
    EXPECT_EQ(CamDouble().Commands().front(), "CamFirmwareOpen(/dev/pts/5)");
    EXPECT_EQ(services.urls, std::vector<std::string>{"http://127.0.0.1:1/fw.BIN"});

    // The dialog never runs a second update: Start now closes it.
    QTest::mouseClick(dlg.StartButton(), Qt::LeftButton);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), IDOK);
    EXPECT_EQ(CamDouble().Commands().size(), 3u);
}

TEST_F(FirmwareUpdateDlgTest, FailuresAndCancelShowTheirStatus)
{
    dlg.SourceButton(1)->setChecked(true);
    services.localFileResult = FALSE;
    QTest::mouseClick(dlg.StartButton(), Qt::LeftButton);
    ASSERT_TRUE(RunToTheEnd());
    EXPECT_EQ(dlg.GetStatus(), "Firmware download failed.");
    EXPECT_EQ(services.localFileCalls, 1);
    EXPECT_EQ(dlg.StartButton()->text(), "Close");

    CFirmwareUpdateDlg second(nullptr, &services, &clock);
    second.m_strCurrentVersion = QStringLiteral("2.03");
    second.show();
    services.answers = {IDCANCEL};
    QTest::mouseClick(second.StartButton(), Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return second.GetState() == FwFinished; }));
    EXPECT_EQ(second.GetStatus(), "The updating process has been canceled by user.");
    EXPECT_TRUE(CamDouble().Commands().empty());
}

TEST_F(FirmwareUpdateDlgTest, ReactsToEachWorkerMessage)
{
    SendMessage(&dlg, WM_FW_DOWNLOADED, 1, 0);
    EXPECT_EQ(dlg.GetProgress(), 100);
    SendMessage(&dlg, WM_FW_LOADED, static_cast<WPARAM>(-5), 0);
    EXPECT_EQ(dlg.GetStatus(), "Loading firmware file failed.");
    SendMessage(&dlg, WM_FW_LOADED, 7, 0);
    EXPECT_EQ(dlg.GetStatus(), "Loading firmware file failed.") << "other values change nothing";
    SendMessage(&dlg, WM_FW_LOADED, 0, 0);
    EXPECT_EQ(dlg.GetState(), FwWriting);
    EXPECT_TRUE(dlg.GetStatus().startsWith("New firmware is being written to QVT-VZ1.\r\n"));
    SendMessage(&dlg, WM_FW_WRITE_PROGRESS, 42, 0);
    EXPECT_EQ(dlg.GetProgress(), 42);
    SendMessage(&dlg, WM_FW_WRITE_PROGRESS, 101, 0);
    EXPECT_EQ(dlg.GetStatus(), "Firmware writing failed.");
    EXPECT_EQ(dlg.GetProgress(), 42);
    SendMessage(&dlg, WM_FW_RESTART_PROGRESS, 0, 0);
    EXPECT_EQ(dlg.GetState(), FwRestarting);
    EXPECT_EQ(dlg.GetStatus(), "Restarting QVT-VZ1. Please wait.");
    EXPECT_EQ(dlg.GetProgress(), 0);
    SendMessage(&dlg, WM_FW_RESTART_PROGRESS, 110, 0);
    EXPECT_EQ(dlg.GetProgress(), 100);
    SendMessage(&dlg, WM_FW_DOWNLOADED, 0, 0);
    EXPECT_EQ(dlg.GetStatus(), "Firmware download failed.");
    SendMessage(&dlg, WM_FW_FINISHED, 0, 0);
    EXPECT_EQ(dlg.GetState(), FwFinished);
    EXPECT_EQ(dlg.GetStatus(), "Firmware download failed.") << "a failed run keeps the status it has";
}

TEST_F(FirmwareUpdateDlgTest, BeforeStartTheDialogClosesTheUsualWays)
{
    QTest::mouseClick(dlg.CancelButton(), Qt::LeftButton);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), IDCANCEL);

    dlg.show();
    QTest::keyClick(&dlg, Qt::Key_Return);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), IDOK);

    dlg.show();
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_TRUE(services.urls.empty());
}

TEST_F(FirmwareUpdateDlgTest, ReleaseNoteOpensThePageInTheBrowser)
{
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &recorder, "Open");
    QTest::mouseClick(dlg.ReleaseNoteButton(), Qt::LeftButton);
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    ASSERT_EQ(recorder.urls.size(), 1);
    EXPECT_EQ(recorder.urls[0].scheme(), "http");
    EXPECT_FALSE(recorder.urls[0].host().isEmpty());
}

// The fake's file, the product's question: asked on the user-interface thread.
class RealQuestions final : public FirmwareUpdateServices
{
public:
    explicit RealQuestions(FakeFirmwareServices& fake) : m_fake(fake) {}
    DownloadResult Download(const std::string& url, CByteStream& s, const std::atomic<int>& c) override
    {
        return m_fake.Download(url, s, c);
    }
    BOOL LoadLocalFile(CByteStream& s, const std::atomic<int>& c) override { return m_fake.LoadLocalFile(s, c); }
    int Ask(const QString& text, UINT type, const std::atomic<int>& cancel) override
    {
        asking = true;
        return SystemFirmwareServices().Ask(text, type, cancel);
    }
    void DrainChannel(int) override {}
    std::atomic<bool> asking{false};

private:
    FakeFirmwareServices& m_fake;
};

TEST_F(FirmwareUpdateDlgTest, QuestionsAreAskedOnTheUserInterfaceThread)
{
    ScriptedPrompter prompter;
    prompter.answers = {IDOK};
    RealQuestions questions(services);
    CFirmwareUpdateDlg d(nullptr, &questions, &clock);
    d.m_strCurrentVersion = QStringLiteral("2.03");
    d.show();
    QTest::mouseClick(d.StartButton(), Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return d.GetState() == FwFinished; }));
    ASSERT_EQ(prompter.texts.size(), 1);
    EXPECT_EQ(prompter.captions[0], "QVT-VZ1");
    EXPECT_EQ(prompter.texts[0], "Current firm ware version [2.03]\n Firmware version to be downloaded [2.10]\nStart update?");
    EXPECT_EQ(d.GetStatus(), "Firmware update completed successfully.");
}

TEST_F(FirmwareUpdateDlgTest, ClosingWithAWorkerWaitingOnAQuestionDoesNotHang)
{
    // A worker waits at a question the user-interface thread has not shown yet; the dialog
    // is destroyed (the program quits): the worker must give up its wait so it can be joined.
    ScriptedPrompter prompter;
    RealQuestions questions(services);
    auto* d = new CFirmwareUpdateDlg(nullptr, &questions, &clock);
    d->show();
    QTest::mouseClick(d->StartButton(), Qt::LeftButton);
    // Wait without running the event loop, so that the question stays unshown.
    for (int i = 0; i < 10000 && !questions.asking; ++i)
        QThread::msleep(1);
    ASSERT_TRUE(questions.asking.load());
    delete d;
    EXPECT_TRUE(CamDouble().Commands().empty());
    // The abandoned question still reaches the prompter later; its answer goes nowhere.
    EXPECT_TRUE(WaitUntil([&] { return prompter.texts.size() == 1; }));
}

} // namespace

#include "FirmwareUpdateDlgTest.moc"
