// The hidden frame over the camera library double and a recorded tray: presence, balloons,
// the hide timer, suspend and resume, the tray menu, commands and the message relays.
#include "app/MainFrame.h"
#include "app/SystemTrayIcon.h"
#include "firmware/FirmwareUpdateProcedure.h"
#include "platform/WinMessages.h"
#include "res/Resource.h"
#include "tests/shell/MessageSpy.h"
#include "tests/shell/RecordingTray.h"
#include "tests/support/CameraApiDouble.h"
#include "tests/support/RecordingWindow.h"
#include "ui/controller/ControllerHosts.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QCoreApplication>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const QString kAvailable = QStringLiteral("QVT-VZ1 is available.");
const QString kNotConnected = QStringLiteral("QVT-VZ1 is not connected to this PC.");

long CallCount(std::string_view prefix)
{
    const auto calls = CamDouble().Commands();
    return std::count_if(calls.begin(), calls.end(), [&](const std::string& c) { return c.starts_with(prefix); });
}

bool CameraCalled(std::string_view prefix)
{
    const auto calls = CamDouble().Commands();
    return std::any_of(calls.begin(), calls.end(), [&](const std::string& c) { return c.starts_with(prefix); });
}

class MainFrameTest : public ::testing::Test
{
protected:
    void SetUp() override { CamDouble().Reset(); }
    void TearDown() override
    {
        m_frame.reset();
        AfxSetMainWnd(nullptr);
        Pump();
    }

    // Creates the frame; its first presence report is handled when the test pumps. Unless
    // a test asks for them, the retries give up on a missing port at once and never reopen.
    void Create(int present, bool trayAvailable = true, int hideTimerMs = 10000,
                CameraRetryTiming retries = {.portPollMs = 10, .portWaitMs = 0, .reopenMs = 600000})
    {
        CamDouble().present = present;
        auto tray = std::make_unique<RecordingTray>();
        tray->available = trayAvailable;
        m_tray = tray.get();
        m_frame = std::make_unique<CMainFrame>(std::move(tray), hideTimerMs, retries);
        AfxSetMainWnd(m_frame.get());
        ASSERT_TRUE(m_frame->Create());
    }
    static void Pump() { QCoreApplication::sendPostedEvents(); }
    LRESULT Send(UINT msg, WPARAM w, LPARAM l = 0) { return SendMessage(m_frame.get(), msg, w, l); }
    void DeviceChange(WPARAM event = DBT_DEVNODES_CHANGED)
    {
        EXPECT_EQ(Send(WM_DEVICECHANGE, event), TRUE);
        Pump();
    }
    // What the running hide timer does when it expires, without waiting for it.
    void FireHideTimer()
    {
        ASSERT_NE(m_frame->Watch().HideTimerId(), 0);
        Send(WM_TIMER, static_cast<WPARAM>(m_frame->Watch().HideTimerId()));
    }
    CControllerDlg& Dialog() { return m_frame->ControllerDlg(); }

    std::unique_ptr<CMainFrame> m_frame;
    RecordingTray* m_tray = nullptr;
};

TEST_F(MainFrameTest, StartWithTheCameraOpensItAndKeepsTheDialogHidden)
{
    Create(1);
    EXPECT_TRUE(m_tray->events.empty()) << "no icon before the first report is handled";
    Pump();
    ASSERT_EQ(m_tray->events.size(), 1u);
    const TrayIconData& d = m_tray->events[0].data;
    EXPECT_EQ(m_tray->events[0].kind, TrayEvent::Add);
    EXPECT_EQ(d.info, kAvailable);
    EXPECT_EQ(d.tip, QStringLiteral("QVT-VZ1"));
    EXPECT_EQ(d.infoTitle, QStringLiteral("QVT-VZ1"));
    EXPECT_EQ(d.infoTimeoutMs, 10000);
    EXPECT_FALSE(d.icon.isNull());
    EXPECT_TRUE(CameraCalled("CamOpen(/dev/pts/77,"));
    EXPECT_EQ(CamDouble().wnd, m_frame.get()) << "the library reports to the frame";
    EXPECT_EQ(m_frame->Watch().HideTimerId(), 0);
    EXPECT_FALSE(Dialog().isVisible());
}

TEST_F(MainFrameTest, StartWithoutTheCameraHidesTheIconLaterAndPluggingInBringsItBack)
{
    Create(0);
    Pump();
    EXPECT_EQ(m_tray->Balloons(), std::vector<QString>{kNotConnected});
    FireHideTimer();
    EXPECT_FALSE(m_tray->shown);
    EXPECT_EQ(m_frame->Watch().HideTimerId(), 0);
    EXPECT_FALSE(CameraCalled("CamOpen("));

    CamDouble().present = 1;
    DeviceChange();
    EXPECT_EQ(m_tray->events.back().kind, TrayEvent::Add);
    EXPECT_EQ(m_tray->Balloons().back(), kAvailable);
    EXPECT_TRUE(CameraCalled("CamOpen("));
}

TEST_F(MainFrameTest, UnplugWhileTheDialogIsVisibleClosesTheCameraThenHidesDialogAndIcon)
{
    Create(1);
    Pump();
    Send(WM_COMMAND, ID_SHOW_CONTROLLER);
    CamDouble().present = 0;
    DeviceChange();
    EXPECT_EQ(m_tray->events.back().kind, TrayEvent::Modify);
    EXPECT_EQ(m_tray->Balloons().back(), kNotConnected);
    EXPECT_TRUE(CameraCalled("CamClose("));
    EXPECT_TRUE(Dialog().isVisible()) << "hidden only when the timer runs out";
    FireHideTimer();
    EXPECT_FALSE(Dialog().isVisible());
    EXPECT_FALSE(m_tray->shown);
}

TEST_F(MainFrameTest, AfterUnplugAutoHideAndReplugTheControllerIsWhereTheUserPutIt)
{
    Create(1);
    Pump();
    Send(WM_TRAYNOTIFY, 1, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Dialog()));
    // Dragged by the user: the window system moves it, not the program.
    const QPoint where = Dialog().pos() + QPoint(97, 41);
    Dialog().windowHandle()->setFramePosition(where);
    ASSERT_TRUE(WaitUntil([&] { return Dialog().pos() == where; }, 5000));
    CamDouble().present = 0;
    DeviceChange();
    FireHideTimer();
    ASSERT_FALSE(Dialog().isVisible());
    CamDouble().present = 1;
    DeviceChange();
    Send(WM_TRAYNOTIFY, 1, WM_LBUTTONDBLCLK);
    EXPECT_EQ(Dialog().pos(), where);
}

TEST_F(MainFrameTest, DeviceChangesThatChangeNothingShowNoBalloon)
{
    Create(1);
    Pump();
    DeviceChange();
    DeviceChange();
    CamDouble().present = 0;
    DeviceChange(0x8000);  // an arrival message, not a change of the device tree
    EXPECT_EQ(m_tray->events.size(), 1u);
}

TEST_F(MainFrameTest, CameraWithoutPortIsNotConnectedAndOnlyReplugTriesAgain)
{
    CamDouble().findPortResult = 0;
    Create(1);
    Pump();
    EXPECT_EQ(m_tray->Balloons(), (std::vector<QString>{kAvailable, kNotConnected}));
    EXPECT_NE(m_frame->Watch().HideTimerId(), 0);
    CamDouble().findPortResult = 1;
    DeviceChange();
    EXPECT_FALSE(CameraCalled("CamOpen(")) << "still present: no new try";
    CamDouble().present = 0;
    DeviceChange();
    CamDouble().present = 1;
    DeviceChange();
    EXPECT_EQ(m_tray->Balloons().back(), kAvailable);
    EXPECT_TRUE(CameraCalled("CamOpen("));
}

TEST_F(MainFrameTest, APortThatFollowsTheArrivalIsWaitedForAFewSeconds)
{
    for (bool portComes : {true, false}) {
        SCOPED_TRACE(portComes);
        CamDouble().Reset();
        CamDouble().findPortResult = 0;
        Create(1, true, 10000, {.portPollMs = 10, .portWaitMs = 400, .reopenMs = 600000});
        Pump();
        EXPECT_EQ(m_tray->Balloons(), std::vector<QString>{kAvailable});
        EXPECT_EQ(m_frame->Watch().HideTimerId(), 0) << "no verdict while the port may still come";
        if (portComes) {
            CamDouble().findPortResult = 1;
            ASSERT_TRUE(WaitUntil([] { return CameraCalled("CamOpen(/dev/pts/77,"); }));
            EXPECT_EQ(m_tray->Balloons(), std::vector<QString>{kAvailable});
        } else {
            ASSERT_TRUE(WaitUntil([&] { return m_tray->Balloons().size() == 2; }));
            EXPECT_EQ(m_tray->Balloons().back(), kNotConnected);
            EXPECT_NE(m_frame->Watch().HideTimerId(), 0);
            EXPECT_FALSE(CameraCalled("CamOpen("));
        }
        EXPECT_FALSE(m_frame->Watch().Retries().WaitingForPort());
    }
}

TEST_F(MainFrameTest, ACameraThatAnswersAgainAfterItsLinkWasLostComesBackAsOnAPlugIn)
{
    const std::pair<UINT, WPARAM> losses[] = {{WM_CAMERA_LINK, 0}, {WM_CAMERA_COMM_ERROR, 0}};
    for (auto [message, wParam] : losses) {
        SCOPED_TRACE(message);
        CamDouble().Reset();
        Create(1, true, 10000, {.portPollMs = 10, .portWaitMs = 0, .reopenMs = 20});
        Pump();
        Send(message, wParam);  // the camera has stopped answering
        EXPECT_EQ(CamDouble().open, 0) << "the dialog closed it";
        const auto balloons = m_tray->Balloons().size();
        ASSERT_TRUE(WaitUntil([&] { return CallCount("CamProbeOnOwnLink(") >= 2; }));
        EXPECT_EQ(CallCount("CamOpen("), 1) << "the tries use a link of their own";
        EXPECT_EQ(m_tray->Balloons().size(), balloons) << "a silent try shows nothing";
        CamDouble().ownLinkAnswers = true;
        ASSERT_TRUE(WaitUntil([&] { return m_tray->Balloons().size() == balloons + 1; }));
        EXPECT_EQ(m_tray->Balloons().back(), kAvailable);
        EXPECT_EQ(CamDouble().wnd, m_frame.get());
        EXPECT_EQ(CamDouble().open, 1);
        EXPECT_FALSE(m_frame->Watch().Retries().Reopening());
        m_frame.reset();
    }
}

TEST_F(MainFrameTest, ANetworkCameraIsLookedForEveryFiveSecondsWithoutHoldingTheInterface)
{
    CamDouble().pollsPresence = 1;
    CamDouble().HoldOwnLinkProbes(true);  // the start-up look meets a camera that never answers
    Create(0);
    int ticks = 0;
    QTimer timer;
    timer.callOnTimeout([&] { ++ticks; });
    timer.start(5);
    ASSERT_TRUE(WaitUntil([&] { return ticks >= 10 && CamDouble().OwnLinkProbeHeld(); }));
    EXPECT_TRUE(m_tray->Balloons().empty()) << "no verdict before the answer";
    CamDouble().HoldOwnLinkProbes(false);
    ASSERT_TRUE(WaitUntil([&] { return !m_tray->Balloons().empty(); }));
    ASSERT_NE(m_frame->Watch().PresencePollTimerId(), 0);
    const auto timers = QAbstractEventDispatcher::instance()->registeredTimers(&m_frame->Watch());
    EXPECT_TRUE(std::any_of(timers.begin(), timers.end(), [&](const auto& t) {
        return t.timerId == m_frame->Watch().PresencePollTimerId() && t.interval == 5000;
    }));
    // Each row: whether the camera answers, whether its link is then lost, the balloons.
    struct Row { bool answers; bool linkLost; std::vector<QString> balloons; };
    const Row rows[] = {{true, false, {kNotConnected, kAvailable}},
                        {true, false, {kNotConnected, kAvailable}},  // open: no new look, no balloon
                        {false, true, {kNotConnected, kAvailable, kNotConnected}}};
    for (const Row& row : rows) {
        CamDouble().ownLinkAnswers = row.answers;
        CamDouble().present = row.answers;  // while open, the library answers from its keep-alive
        if (row.linkLost)
            Send(WM_CAMERA_LINK, 0);
        const auto looks = CallCount("CamProbeOnOwnLink(");
        Send(WM_TIMER, static_cast<WPARAM>(m_frame->Watch().PresencePollTimerId()));
        EXPECT_EQ(CallCount("CamProbeOnOwnLink(") > looks || m_frame->Watch().Probe().Running(), CamDouble().open == 0);
        ASSERT_TRUE(WaitUntil([&] { return !m_frame->Watch().Probe().Running() && m_tray->Balloons() == row.balloons; }));
        EXPECT_EQ(CamDouble().open, row.answers ? 1 : 0);
    }
    CamDouble().pollsPresence = 0;  // back to a camera that announces itself
    Send(WM_TIMER, static_cast<WPARAM>(m_frame->Watch().PresencePollTimerId()));
    EXPECT_EQ(m_frame->Watch().PresencePollTimerId(), 0);
}

TEST_F(MainFrameTest, HideTimerCountsFromTheLatestReport)
{
    auto timers = [&] { return QAbstractEventDispatcher::instance()->registeredTimers(&m_frame->Watch()); };
    Create(0);
    Pump();
    ASSERT_EQ(timers().size(), 1);
    EXPECT_EQ(timers().front().interval, 10000);
    m_frame->CheckCameraPresence(TRUE);
    Pump();
    ASSERT_EQ(timers().size(), 1) << "the running timer is replaced, not joined by a second one";
    EXPECT_EQ(timers().front().timerId, m_frame->Watch().HideTimerId());
    Send(WM_TIMER, static_cast<WPARAM>(m_frame->Watch().HideTimerId()) + 1);
    EXPECT_TRUE(m_tray->shown) << "another timer id does nothing";
    CamDouble().present = 1;
    DeviceChange();
    EXPECT_TRUE(timers().empty()) << "a camera found in time stops the countdown";
    EXPECT_TRUE(m_tray->shown);
}

TEST_F(MainFrameTest, HideTimerReallyRunsOut)
{
    Create(0, true, 30);
    Pump();
    ASSERT_TRUE(m_tray->shown);
    EXPECT_TRUE(WaitUntil([&] { return !m_tray->shown; }, 5000));
    EXPECT_EQ(m_frame->Watch().HideTimerId(), 0);
}

TEST_F(MainFrameTest, SuspendRemovesIconAndClosesCameraResumeTellsTheState)
{
    Create(1);
    Pump();
    Send(WM_CAMERA_MODE, 0);  // Release: the zoom is read back into the settings
    CamDouble().zoom = {1, 144};
    EXPECT_EQ(Send(WM_POWERBROADCAST, PBT_APMSUSPEND), TRUE);
    EXPECT_FALSE(m_tray->shown);
    EXPECT_TRUE(CameraCalled("CamClose("));
    EXPECT_EQ(m_frame->Session().Settings().m_nFreeZoom, 144) << "read back before the close";
    EXPECT_EQ(Send(WM_POWERBROADCAST, PBT_APMQUERYSUSPEND), TRUE) << "no icon to remove: no harm";
    EXPECT_EQ(Send(WM_POWERBROADCAST, 10), TRUE);
    Pump();
    EXPECT_EQ(m_tray->events.size(), 2u) << "nothing comes back before the resume";

    CamDouble().calls.clear();
    Send(WM_POWERBROADCAST, PBT_APMRESUMESUSPEND);
    Pump();
    EXPECT_EQ(m_tray->Balloons().back(), kAvailable);
    EXPECT_TRUE(CameraCalled("CamOpen("));

    Send(WM_POWERBROADCAST, PBT_APMSUSPEND);
    CamDouble().present = 0;  // unplugged while asleep
    Send(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC);
    Pump();
    EXPECT_EQ(m_tray->Balloons().back(), kNotConnected);
    EXPECT_NE(m_frame->Watch().HideTimerId(), 0);
}

TEST_F(MainFrameTest, TheFrameLeavesTheCameraAloneWhileAFirmwareUpdateRuns)
{
    Create(1, true, 10000, {.portPollMs = 10, .portWaitMs = 0, .reopenMs = 20});
    Pump();
    ControllerFirmwareHost host(m_frame->Session(), &Dialog());
    bool ran = false;
    RunFirmwareUpdate(host, [&](CFirmwareUpdateDlg&) {
        ran = true;
        CamDouble().calls.clear();
        // The camera restarts with its new firmware, on a new port, and the machine wakes meanwhile.
        CamDouble().port = "/dev/pts/78";
        for (int present : {0, 1}) {
            CamDouble().present = present;
            DeviceChange();
        }
        Send(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC);
        PostMessage(m_frame.get(), WM_TRAY_CREATED, 0, 0);
        Send(WM_CAMERA_LINK, 0);  // no tries to open the camera under the update
        Pump();
        EXPECT_FALSE(m_frame->Watch().Retries().Reopening());
        EXPECT_FALSE(m_tray->shown);
        EXPECT_EQ(m_tray->Balloons().size(), 1u) << "no balloon since the start";
        EXPECT_FALSE(CameraCalled("CamOpen("));
        EXPECT_EQ(m_frame->Watch().HideTimerId(), 0);
    });
    ASSERT_TRUE(ran);
    Pump();
    EXPECT_TRUE(m_tray->shown) << "one presence check brings everything back";
    EXPECT_EQ(m_tray->Balloons(), (std::vector<QString>{kAvailable, kAvailable}));
    EXPECT_TRUE(CameraCalled("CamOpen(/dev/pts/78,"));
    EXPECT_FALSE(CameraCalled("CamOpen(/dev/pts/77,")) << "the port it had before the restart is gone";
}

TEST_F(MainFrameTest, MenuStatesFollowTheCameraAndTheDialog)
{
    Create(0);
    Pump();
    auto enabled = [&](UINT id) { return m_frame->MenuAction(id)->isEnabled(); };
    emit m_frame->TrayMenu().aboutToShow();
    EXPECT_TRUE(enabled(ID_SHOW_CONTROLLER));
    EXPECT_FALSE(enabled(ID_ALWAYS_ON_TOP));
    EXPECT_FALSE(enabled(ID_APP_ABOUT));
    EXPECT_TRUE(enabled(ID_APP_EXIT));

    CamDouble().open = 1;
    Dialog().SetTopMost(TRUE, TRUE);
    Send(WM_TRAYNOTIFY, 1, WM_LBUTTONDBLCLK);
    emit m_frame->TrayMenu().aboutToShow();
    EXPECT_FALSE(enabled(ID_SHOW_CONTROLLER));
    EXPECT_TRUE(enabled(ID_ALWAYS_ON_TOP));
    EXPECT_TRUE(m_frame->MenuAction(ID_ALWAYS_ON_TOP)->isChecked());
    EXPECT_TRUE(enabled(ID_APP_ABOUT));
}

TEST_F(MainFrameTest, TrayClicksAndCommands)
{
    Create(1);
    Pump();
    EXPECT_EQ(m_tray->menu, &m_frame->TrayMenu());
    EXPECT_EQ(m_tray->target, m_frame.get());
    Send(WM_TRAYNOTIFY, 2, WM_LBUTTONDBLCLK);  // not our icon
    Send(WM_TRAYNOTIFY, 1, WM_LBUTTONDOWN);
    EXPECT_FALSE(Dialog().isVisible());
    Send(WM_TRAYNOTIFY, 1, WM_RBUTTONDOWN);
    EXPECT_TRUE(m_frame->TrayMenu().isVisible());
    m_frame->TrayMenu().hide();

    MessageSpy spy(&Dialog());
    spy.reply = 0;  // the dialog's own handlers stay out of this
    m_frame->MenuAction(ID_ALWAYS_ON_TOP)->trigger();
    m_frame->MenuAction(ID_APP_ABOUT)->trigger();
    Send(WM_COMMAND, ID_SETTINGS);
    EXPECT_TRUE(spy.Params(WM_COMMAND).empty()) << "posted: they run after the menu has returned";
    Pump();
    EXPECT_EQ(spy.Params(WM_COMMAND), (std::vector<WPARAM>{ID_ALWAYS_ON_TOP, ID_APP_ABOUT, ID_SETTINGS}));
    m_frame->MenuAction(ID_SHOW_CONTROLLER)->trigger();
    EXPECT_TRUE(Dialog().isVisible());
}

TEST_F(MainFrameTest, RelaysEachMessageToTheDialogWithItsParametersAndResult)
{
    Create(1);
    Pump();
    MessageSpy spy(&Dialog());
    spy.reply = 4242;
    for (auto [msg, w, l] : {std::tuple<UINT, WPARAM, LPARAM>{WM_CAMERA_LINK, 1, 0}, {WM_CAMERA_COMM_ERROR, 5, 6},
                             {WM_CAMERA_MODE, 3, 0}, {WM_PAD_BUTTON, 1007, 1}, {WM_SELECT_DIRECTION, 6, 0},
                             {WM_TRACKING_ENABLE, 1, 0}}) {
        spy.messages.clear();
        EXPECT_EQ(Send(msg, w, l), 4242) << msg;
        ASSERT_EQ(spy.messages.size(), 1u) << msg << " is delivered at once, exactly once";
        EXPECT_EQ(spy.messages[0].message, msg);
        EXPECT_EQ(spy.messages[0].wParam, w);
        EXPECT_EQ(spy.messages[0].lParam, l);
    }
    spy.messages.clear();
    EXPECT_EQ(Send(WM_TRACKING_DIRECTION, 2), 0);
    EXPECT_TRUE(spy.messages.empty()) << "the worker talks to the dialog directly";
}

TEST_F(MainFrameTest, ExitDestroysTheDialogFirstThenRemovesTheIconAndDropsLateMessages)
{
    Create(1);
    Pump();
    std::vector<std::string> order;
    MessageSpy spy(&Dialog());
    spy.onMessage = [&](const SpiedMessage& m) {
        if (m.message == WM_DESTROY)
            order.push_back("dialog destroyed");
    };
    m_tray->onEvent = [&](const TrayEvent& e) {
        if (e.kind == TrayEvent::Delete)
            order.push_back("icon removed");
    };
    int destroyed = 0;
    m_frame->SetOnDestroyed([&] { ++destroyed; });
    CamDouble().calls.clear();
    m_frame->MenuAction(ID_APP_EXIT)->trigger();
    EXPECT_EQ(order, (std::vector<std::string>{"dialog destroyed", "icon removed"}));
    EXPECT_EQ(destroyed, 1);
    EXPECT_TRUE(CameraCalled("CamClose("));

    CamDouble().calls.clear();
    PostMessage(m_frame.get(), WM_CAMERA_PRESENCE, 1, 0);
    Pump();
    Send(WM_CLOSE, 0);
    EXPECT_TRUE(CamDouble().Commands().empty()) << "the camera stays closed";
    EXPECT_EQ(destroyed, 1);
}

TEST_F(MainFrameTest, WithoutTrayTheDialogShowsAtStartStaysAndClosingItEndsTheProgram)
{
    Create(0, false);
    EXPECT_TRUE(Dialog().isVisible());
    Pump();
    FireHideTimer();
    EXPECT_TRUE(Dialog().isVisible()) << "the window is the only sign of the program";
    int destroyed = 0;
    m_frame->SetOnDestroyed([&] { ++destroyed; });
    Dialog().close();
    Pump();
    EXPECT_EQ(destroyed, 1);
}

TEST_F(MainFrameTest, ATrayThatAppearsLaterTakesOverFromTheWindow)
{
    // Whether the camera is there, and whether the hide timer ran out before the tray came.
    for (auto [present, hidden, balloon] : {std::tuple{1, false, kAvailable}, {0, false, kNotConnected},
                                            {0, true, QString()}}) {
        SCOPED_TRACE(present * 10 + hidden);
        Create(present, false);
        Pump();
        if (hidden)
            FireHideTimer();
        EXPECT_TRUE(m_tray->events.empty());
        m_tray->available = true;
        PostMessage(m_frame.get(), WM_TRAY_CREATED, 0, 0);
        Pump();
        EXPECT_FALSE(Dialog().isVisible()) << "the window stood in for the icon";
        EXPECT_EQ(m_tray->shown, !hidden);
        EXPECT_EQ(m_tray->Balloons(), hidden ? std::vector<QString>{} : std::vector<QString>{balloon});
        int destroyed = 0;
        m_frame->SetOnDestroyed([&] { ++destroyed; });
        Send(WM_TRAYNOTIFY, 1, WM_LBUTTONDBLCLK);
        Dialog().close();
        Pump();
        EXPECT_EQ(destroyed, 0) << "with a tray, closing the window no longer ends the program";
        m_frame.reset();
    }
}

TEST_F(MainFrameTest, BalloonTextIsCutWithoutSplittingACharacter)
{
    Create(1);
    m_frame->UpdateTrayIcon(QString(300, u'x'));
    EXPECT_EQ(m_tray->events.back().data.info.size(), 255);
    m_frame->UpdateTrayIcon(QString(254, u'x') + QString::fromUtf8("\xF0\x9F\x93\xB7"));
    EXPECT_EQ(m_tray->events.back().data.info, QString(254, u'x'));
}

TEST(SystemTrayIconTest, WaitsForATrayThenOpensTheControllerWithEachHostsGesture)
{
    using R = QSystemTrayIcon::ActivationReason;
    // The host that appears, and the mouse message each activation then stands for.
    for (auto [host, trigger] : {std::pair{TrayHost::XEmbed, WM_LBUTTONDOWN}, {TrayHost::StatusNotifier, WM_LBUTTONDBLCLK}}) {
        TrayHost offered = TrayHost::None;
        CSystemTrayIcon tray([&] { return offered; }, 5);
        RecordingWindow target;
        tray.SetNotifyTarget(&target);
        EXPECT_FALSE(tray.IsAvailable());
        EXPECT_FALSE(tray.Add({}));
        offered = host;
        ASSERT_TRUE(WaitUntil([&] { return !target.Params(WM_TRAY_CREATED).empty(); }, 5000));
        EXPECT_TRUE(tray.IsAvailable());
        for (R reason : {R::Trigger, R::DoubleClick, R::Context, R::MiddleClick})
            emit tray.Icon()->activated(reason);
        QCoreApplication::sendPostedEvents();
        const std::vector<LPARAM> clicks{trigger, WM_LBUTTONDBLCLK};
        std::vector<LPARAM> got;
        for (const RecordedMessage& m : target.Messages())
            if (m.message == WM_TRAYNOTIFY && m.wParam == 1)
                got.push_back(m.lParam);
        EXPECT_EQ(got, clicks);
        EXPECT_EQ(target.Params(WM_TRAY_CREATED).size(), 1u) << "announced once";
    }
}

} // namespace
