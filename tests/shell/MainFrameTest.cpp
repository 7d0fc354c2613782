// The hidden frame over the camera library double and a recorded tray: presence, balloons,
// the hide timer, suspend and resume, the tray menu, commands and the message relays.
#include "app/MainFrame.h"
#include "platform/WinMessages.h"
#include "res/Resource.h"
#include "tests/shell/MessageSpy.h"
#include "tests/shell/RecordingTray.h"
#include "tests/support/CameraApiDouble.h"
#include "tests/support/RecordingWindow.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QCoreApplication>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const QString kAvailable = QStringLiteral("QVT-VZ1 is available.");
const QString kNotConnected = QStringLiteral("QVT-VZ1 is not connected to this PC.");

bool Contains(const std::vector<std::string>& calls, std::string_view prefix)
{
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
        QCoreApplication::sendPostedEvents();
    }

    // Creates the frame; the first presence report is handled when the test pumps.
    void Create(int present, bool trayAvailable = true, int hideTimerMs = 10000)
    {
        CamDouble().present = present;
        auto tray = std::make_unique<RecordingTray>();
        tray->available = trayAvailable;
        m_tray = tray.get();
        m_frame = std::make_unique<CMainFrame>(std::move(tray), hideTimerMs);
        AfxSetMainWnd(m_frame.get());
        ASSERT_TRUE(m_frame->Create());
    }

    // Delivers every posted message, as the message loop would.
    static void Pump() { QCoreApplication::sendPostedEvents(); }

    void DeviceChange(WPARAM event = DBT_DEVNODES_CHANGED)
    {
        SendMessage(m_frame.get(), WM_DEVICECHANGE, event, 0);
        Pump();
    }

    void FireHideTimer()
    {
        ASSERT_NE(m_frame->HideTimerId(), 0);
        SendMessage(m_frame.get(), WM_TIMER, static_cast<WPARAM>(m_frame->HideTimerId()), 0);
    }

    std::unique_ptr<CMainFrame> m_frame;
    RecordingTray* m_tray = nullptr;
};

TEST_F(MainFrameTest, StartWithTheCameraShowsAvailableOpensItAndKeepsTheDialogHidden)
{
    Create(1);
    EXPECT_TRUE(m_tray->events.empty()) << "no icon before the first report is handled";
    Pump();
    ASSERT_EQ(m_tray->events.size(), 1u);
    const TrayEvent& e = m_tray->events[0];
    EXPECT_EQ(e.kind, TrayEvent::Add);
    EXPECT_EQ(e.data.info, kAvailable);
    EXPECT_EQ(e.data.tip, QStringLiteral("QVT-VZ1"));
    EXPECT_EQ(e.data.infoTitle, QStringLiteral("QVT-VZ1"));
    EXPECT_EQ(e.data.infoTimeoutMs, 10000);
    EXPECT_FALSE(e.data.icon.isNull());
    EXPECT_TRUE(Contains(CamDouble().Commands(), "CamOpen(/dev/pts/77,"));
    EXPECT_EQ(CamDouble().wnd, m_frame.get()) << "the library reports to the frame";
    EXPECT_EQ(m_frame->HideTimerId(), 0);
    EXPECT_FALSE(m_frame->ControllerDlg().isVisible());
    EXPECT_EQ(m_tray->menu, &m_frame->TrayMenu());
    EXPECT_EQ(m_tray->target, m_frame.get());
}

TEST_F(MainFrameTest, StartWithoutTheCameraHidesTheIconLaterAndPluggingInBringsItBack)
{
    Create(0);
    Pump();
    EXPECT_EQ(m_tray->Balloons(), std::vector<QString>{kNotConnected});
    EXPECT_FALSE(Contains(CamDouble().Commands(), "CamOpen("));
    FireHideTimer();
    EXPECT_FALSE(m_tray->shown);
    EXPECT_EQ(m_frame->HideTimerId(), 0);
    EXPECT_FALSE(m_frame->ControllerDlg().isVisible());

    CamDouble().present = 1;
    DeviceChange();
    EXPECT_TRUE(m_tray->shown);
    EXPECT_EQ(m_tray->events.back().kind, TrayEvent::Add);
    EXPECT_EQ(m_tray->Balloons().back(), kAvailable);
    EXPECT_TRUE(Contains(CamDouble().Commands(), "CamOpen("));
}

TEST_F(MainFrameTest, UnplugWhileTheDialogIsVisibleClosesTheCameraThenHidesDialogAndIcon)
{
    Create(1);
    Pump();
    SendMessage(m_frame.get(), WM_COMMAND, ID_SHOW_CONTROLLER, 0);
    ASSERT_TRUE(m_frame->ControllerDlg().isVisible());
    CamDouble().calls.clear();

    CamDouble().present = 0;
    DeviceChange();
    EXPECT_EQ(m_tray->events.back().kind, TrayEvent::Modify);
    EXPECT_EQ(m_tray->Balloons().back(), kNotConnected);
    EXPECT_TRUE(Contains(CamDouble().Commands(), "CamClose("));
    EXPECT_TRUE(m_frame->ControllerDlg().isVisible()) << "hidden only when the timer runs out";
    FireHideTimer();
    EXPECT_FALSE(m_frame->ControllerDlg().isVisible());
    EXPECT_FALSE(m_tray->shown);
}

TEST_F(MainFrameTest, DeviceChangesThatChangeNothingShowNoBalloon)
{
    Create(1);
    Pump();
    const size_t before = m_tray->events.size();
    DeviceChange();
    DeviceChange();
    CamDouble().present = 0;
    DeviceChange(0x8000);  // an arrival message, not a change of the device tree
    EXPECT_EQ(m_tray->events.size(), before);
    EXPECT_EQ(SendMessage(m_frame.get(), WM_DEVICECHANGE, 0x8004, 0), TRUE);
}

TEST_F(MainFrameTest, CameraWithoutPortIsNotConnectedAndOnlyReplugTriesAgain)
{
    CamDouble().findPortResult = 0;
    Create(1);
    Pump();
    EXPECT_EQ(m_tray->Balloons(), (std::vector<QString>{kAvailable, kNotConnected}));
    EXPECT_NE(m_frame->HideTimerId(), 0);
    EXPECT_FALSE(Contains(CamDouble().Commands(), "CamOpen("));

    CamDouble().findPortResult = 1;
    DeviceChange();  // still present: nothing new
    EXPECT_EQ(m_tray->Balloons().size(), 2u);
    CamDouble().present = 0;
    DeviceChange();
    CamDouble().present = 1;
    DeviceChange();
    EXPECT_EQ(m_tray->Balloons().back(), kAvailable);
    EXPECT_EQ(m_frame->HideTimerId(), 0);
    EXPECT_TRUE(Contains(CamDouble().Commands(), "CamOpen("));
}

TEST_F(MainFrameTest, HideTimerCountsFromTheLatestReport)
{
    auto timers = [&] { return QAbstractEventDispatcher::instance()->registeredTimers(m_frame.get()); };
    Create(0);
    Pump();
    ASSERT_EQ(timers().size(), 1);
    EXPECT_EQ(timers().front().interval, 10000);
    EXPECT_EQ(timers().front().timerId, m_frame->HideTimerId());
    m_frame->CheckCameraPresence(TRUE);
    Pump();
    ASSERT_EQ(timers().size(), 1) << "the running timer is replaced, not joined by a second one";
    EXPECT_EQ(timers().front().timerId, m_frame->HideTimerId());
    SendMessage(m_frame.get(), WM_TIMER, static_cast<WPARAM>(m_frame->HideTimerId()) + 1, 0);
    EXPECT_TRUE(m_tray->shown) << "another timer id does nothing";
    CamDouble().present = 1;
    DeviceChange();
    EXPECT_TRUE(timers().empty()) << "a camera found in time stops the countdown";
    EXPECT_EQ(m_frame->HideTimerId(), 0);
    EXPECT_TRUE(m_tray->shown);
}

TEST_F(MainFrameTest, HideTimerReallyRunsOut)
{
    Create(0, true, 30);
    Pump();
    ASSERT_TRUE(m_tray->shown);
    EXPECT_TRUE(WaitUntil([&] { return !m_tray->shown; }, 5000));
    EXPECT_EQ(m_frame->HideTimerId(), 0);
}

TEST_F(MainFrameTest, SuspendRemovesTheIconAndClosesTheCameraResumeReportsTheState)
{
    Create(1);
    Pump();
    CamDouble().calls.clear();
    EXPECT_EQ(SendMessage(m_frame.get(), WM_POWERBROADCAST, PBT_APMSUSPEND, 0), TRUE);
    EXPECT_FALSE(m_tray->shown);
    EXPECT_TRUE(Contains(CamDouble().Commands(), "CamClose("));
    Pump();
    EXPECT_FALSE(m_tray->shown) << "nothing comes back before the resume";

    CamDouble().calls.clear();
    EXPECT_EQ(SendMessage(m_frame.get(), WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0), TRUE);
    Pump();
    EXPECT_TRUE(m_tray->shown);
    EXPECT_EQ(m_tray->Balloons().back(), kAvailable);
    EXPECT_TRUE(Contains(CamDouble().Commands(), "CamOpen("));

    // Resume with the camera gone while asleep: the state is told all the same.
    SendMessage(m_frame.get(), WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 0);
    CamDouble().present = 0;
    SendMessage(m_frame.get(), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    Pump();
    EXPECT_EQ(m_tray->Balloons().back(), kNotConnected);
    EXPECT_NE(m_frame->HideTimerId(), 0);
}

TEST_F(MainFrameTest, SuspendWithoutIconAndOtherPowerEventsAreHarmless)
{
    Create(0);
    Pump();
    FireHideTimer();
    const size_t before = m_tray->events.size();
    EXPECT_EQ(SendMessage(m_frame.get(), WM_POWERBROADCAST, PBT_APMSUSPEND, 0), TRUE);
    EXPECT_EQ(SendMessage(m_frame.get(), WM_POWERBROADCAST, 10, 0), TRUE);
    Pump();
    EXPECT_EQ(m_tray->events.size(), before);
}

TEST_F(MainFrameTest, MenuStatesFollowTheCameraAndTheDialog)
{
    Create(0);
    Pump();
    QMenu& menu = m_frame->TrayMenu();
    emit menu.aboutToShow();
    EXPECT_TRUE(m_frame->MenuAction(ID_SHOW_CONTROLLER)->isEnabled());
    EXPECT_FALSE(m_frame->MenuAction(ID_ALWAYS_ON_TOP)->isEnabled());
    EXPECT_FALSE(m_frame->MenuAction(ID_APP_ABOUT)->isEnabled());
    EXPECT_TRUE(m_frame->MenuAction(ID_APP_EXIT)->isEnabled());
    EXPECT_EQ(m_frame->MenuAction(ID_SHOW_CONTROLLER)->text(), QStringLiteral("Show &Controller"));

    CamDouble().open = 1;
    m_frame->ControllerDlg().SetTopMost(TRUE, TRUE);
    SendMessage(m_frame.get(), WM_TRAYNOTIFY, 1, WM_LBUTTONDBLCLK);
    emit menu.aboutToShow();
    EXPECT_FALSE(m_frame->MenuAction(ID_SHOW_CONTROLLER)->isEnabled());
    EXPECT_TRUE(m_frame->MenuAction(ID_ALWAYS_ON_TOP)->isEnabled());
    EXPECT_TRUE(m_frame->MenuAction(ID_ALWAYS_ON_TOP)->isChecked());
    EXPECT_TRUE(m_frame->MenuAction(ID_APP_ABOUT)->isEnabled());

    m_frame->ControllerDlg().SetTopMost(FALSE, TRUE);
    emit menu.aboutToShow();
    EXPECT_FALSE(m_frame->MenuAction(ID_ALWAYS_ON_TOP)->isChecked());
}

TEST_F(MainFrameTest, DialogCommandsArePostedNotSent)
{
    Create(1);
    Pump();
    MessageSpy spy(&m_frame->ControllerDlg());
    spy.reply = 0;  // the dialog's own handlers stay out of this test
    m_frame->MenuAction(ID_ALWAYS_ON_TOP)->trigger();
    m_frame->MenuAction(ID_APP_ABOUT)->trigger();
    SendMessage(m_frame.get(), WM_COMMAND, ID_SETTINGS, 0);
    EXPECT_TRUE(spy.Params(WM_COMMAND).empty()) << "commands run after the menu has returned";
    Pump();
    EXPECT_EQ(spy.Params(WM_COMMAND), (std::vector<WPARAM>{ID_ALWAYS_ON_TOP, ID_APP_ABOUT, ID_SETTINGS}));
}

TEST_F(MainFrameTest, TrayMouseMessages)
{
    Create(1);
    Pump();
    SendMessage(m_frame.get(), WM_TRAYNOTIFY, 2, WM_LBUTTONDBLCLK);
    SendMessage(m_frame.get(), WM_TRAYNOTIFY, 1, WM_LBUTTONDOWN);
    EXPECT_FALSE(m_frame->ControllerDlg().isVisible());
    SendMessage(m_frame.get(), WM_TRAYNOTIFY, 1, WM_RBUTTONDOWN);
    EXPECT_TRUE(m_frame->TrayMenu().isVisible());
    m_frame->TrayMenu().hide();
    EXPECT_EQ(SendMessage(m_frame.get(), WM_TRAYNOTIFY, 1, WM_LBUTTONDBLCLK), 0);
    EXPECT_TRUE(m_frame->ControllerDlg().isVisible());
}

TEST_F(MainFrameTest, RelaysEachMessageToTheDialogWithItsParametersAndResult)
{
    Create(1);
    Pump();
    MessageSpy spy(&m_frame->ControllerDlg());
    spy.reply = 4242;
    const struct { UINT msg; WPARAM w; LPARAM l; } cases[] = {
        {WM_CAMERA_LINK, 1, 0}, {WM_CAMERA_COMM_ERROR, 5, 6}, {WM_CAMERA_MODE, 3, 0},
        {WM_PAD_BUTTON, 1007, 1}, {WM_SELECT_DIRECTION, 6, 0}, {WM_TRACKING_ENABLE, 1, 0},
    };
    for (const auto& c : cases) {
        spy.messages.clear();
        EXPECT_EQ(SendMessage(m_frame.get(), c.msg, c.w, c.l), 4242) << c.msg;
        ASSERT_EQ(spy.messages.size(), 1u) << c.msg << " is delivered at once, exactly once";
        EXPECT_EQ(spy.messages[0].message, c.msg);
        EXPECT_EQ(spy.messages[0].wParam, c.w);
        EXPECT_EQ(spy.messages[0].lParam, c.l);
    }
    spy.messages.clear();
    EXPECT_EQ(SendMessage(m_frame.get(), WM_TRACKING_DIRECTION, 2, 0), 0);
    EXPECT_TRUE(spy.messages.empty()) << "the worker talks to the dialog directly";
}

TEST_F(MainFrameTest, ExitDestroysTheDialogFirstThenRemovesTheIcon)
{
    Create(1);
    Pump();
    std::vector<std::string> order;
    MessageSpy spy(&m_frame->ControllerDlg());
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
    EXPECT_TRUE(Contains(CamDouble().Commands(), "CamClose("));
    EXPECT_FALSE(m_frame->IsWindow());

    // Whatever was still queued for it is dropped: the camera stays closed.
    CamDouble().calls.clear();
    PostMessage(m_frame.get(), WM_CAMERA_PRESENCE, 1, 0);
    Pump();
    SendMessage(m_frame.get(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(CamDouble().Commands().empty());
    EXPECT_EQ(destroyed, 1);
}

TEST_F(MainFrameTest, WithoutTrayTheDialogShowsAtStartStaysAndClosingItEndsTheProgram)
{
    Create(0, false);
    EXPECT_TRUE(m_frame->ControllerDlg().isVisible());
    Pump();
    FireHideTimer();
    EXPECT_TRUE(m_frame->ControllerDlg().isVisible()) << "the window is the only sign of the program";
    int destroyed = 0;
    m_frame->SetOnDestroyed([&] { ++destroyed; });
    m_frame->ControllerDlg().close();
    Pump();
    EXPECT_EQ(destroyed, 1);
}

TEST_F(MainFrameTest, BalloonTextIsCutWithoutSplittingACharacter)
{
    Create(1);
    Pump();
    m_frame->UpdateTrayIcon(QString(300, u'x'));
    EXPECT_EQ(m_tray->events.back().data.info.size(), 255);
    m_frame->UpdateTrayIcon(QString(254, u'x') + QString::fromUtf8("\xF0\x9F\x93\xB7"));
    EXPECT_EQ(m_tray->events.back().data.info, QString(254, u'x'));
}

TEST_F(MainFrameTest, IconThatCannotBeAddedIsNoError)
{
    Create(1);
    m_tray->canAdd = false;
    Pump();
    EXPECT_TRUE(m_tray->events.empty());
    EXPECT_TRUE(Contains(CamDouble().Commands(), "CamOpen(")) << "the camera works without the icon";
}

} // namespace
