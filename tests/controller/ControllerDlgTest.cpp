// The controller dialog as a view of its session, over real widgets (offscreen), with the
// recording camera double and scripted message boxes. What the session decides without a
// widget is tested in ControllerSessionTest; here, what the dialog shows and forwards.
#include "ui/controller/ControllerDlg.h"

#include "controller/ControllerSession.h"
#include "platform/ProfileFile.h"
#include "platform/WinMessages.h"
#include "res/CameraStrings.h"
#include "res/Resource.h"
#include "res/Strings.h"
#include "ui/settings/SettingsDlg.h"
#include "tests/support/CameraApiDouble.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestEnvironment.h"
#include "ui/controller/AboutDlg.h"
#include "ui/controller/PageTabCtrl.h"
#include "ui/controls/BitmapButton.h"
#include "tests/controller/NoVideoCapture.h"
#include "video/VideoCapture.h"
#include "video/VideoDlg.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QTabBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

using Calls = std::vector<std::string>;

namespace {

// Capture services without any video input: the video window opens with no picture.
class ControllerDlgTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CamDouble().Reset();
        static int n = 0;
        path = (TestRootDir() + QStringLiteral("/controller-%1.ini").arg(++n)).toStdString();
    }
    void TearDown() override
    {
        dlg.reset();
        session.reset();
    }
    void WriteProfile(const char* text) { std::ofstream(path, std::ios::binary) << text; }
    // A created dialog over a new session (the ones before end first); balloons are counted.
    CControllerDlg& Make()
    {
        dlg.reset();
        session = std::make_unique<ControllerSession>(path);
        QObject::connect(session.get(), &ControllerSession::trayMessage, [this](UINT id) { balloons.push_back(id); });
        dlg = std::make_unique<CControllerDlg>(*session);
        dlg->SetVideoCaptureFactory([] { return std::make_unique<NoVideoCapture>(); });
        dlg->Create();
        CamDouble().TakeCommands();
        CamDouble().open = 1;  // read-backs need an open camera
        return *dlg;
    }
    ControllerSession& Session() const { return dlg->Session(); }
    int Saved(const char* section, const char* key) const { return ProfileFile(path).GetInt(section, key, -12345); }
    QAction* Action(UINT id) const
    {
        for (QAction* a : dlg->FileMenu()->actions())
            if (!a->isSeparator() && a->data().toUInt() == id)
                return a;
        return nullptr;
    }
    CVideoDlg* Video() const { return dlg->findChild<CVideoDlg*>(); }
    // The user picks entry index of box, as with the mouse.
    static void Choose(QComboBox* box, int index)
    {
        ASSERT_TRUE(box->isEnabled()) << "the user cannot choose in a disabled box";
        box->setCurrentIndex(index);
        Q_EMIT box->activated(index);
    }
    static void ChooseTab(CControllerDlg& d, int page) { d.TabPages()->TabBar()->setCurrentIndex(page); }
    // Device, position, Reverse: usable now.
    static std::vector<bool> ChoicesEnabled(const CControllerDlg& d)
    {
        return {d.DeviceBox()->isEnabled(), d.PositionBox()->isEnabled(), d.ReverseBox()->isEnabled()};
    }
    ScriptedPrompter prompter;
    std::string path;
    std::unique_ptr<ControllerSession> session;
    std::unique_ptr<CControllerDlg> dlg;
    std::vector<UINT> balloons;
};

TEST_F(ControllerDlgTest, TheChoicesShowTheLoadedValues)
{
    struct Row { const char* profile; const char* device; const char* position; bool reverse; int tab; std::vector<bool> enabled; };
    const Row rows[] = {
        {nullptr, "Without Sonvara", "5cm", false, 0, {true, false, false}},  // first run
        {"[QVT-VZ1]\nDevice=3\nPosition=2\nReverse=1\n[General]\nMode=1\nTracking=0\n", "QVT-18TR", "50cm", true, 1,
         {false, false, false}},  // the Manual tab disables the choices
        {"[QVT-VZ1]\nDevice=1\nPosition=1\n[General]\nTracking=0\n", "QVT-40S", "25cm", false, 0, {true, true, true}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.profile ? r.profile : "no profile");
        dlg.reset();
        std::remove(path.c_str());
        if (r.profile)
            WriteProfile(r.profile);
        CControllerDlg& d = Make();
        EXPECT_EQ(d.DeviceBox()->currentText(), QString::fromUtf8(r.device));
        EXPECT_EQ(d.PositionBox()->currentText(), QString::fromUtf8(r.position));
        EXPECT_EQ(d.ReverseBox()->isChecked(), r.reverse);
        EXPECT_EQ(d.TabPages()->GetCurSel(), r.tab);
        EXPECT_EQ(ChoicesEnabled(d), r.enabled);
        EXPECT_EQ(d.PositionLabel()->isEnabled(), r.enabled[1]);
        EXPECT_FALSE(d.isVisible()) << "created hidden";
    }
}

TEST_F(ControllerDlgTest, WhatTheUserSetIsInTheProfileAfterTheDialogEnds)
{
    CControllerDlg& d = Make();
    Choose(d.DeviceBox(), 1);
    Choose(d.PositionBox(), 3);
    d.ReverseBox()->click();
    d.SetTopMost(TRUE, FALSE);
    // The camera is in Release: its zoom is read back on the way out.
    SendMessage(&d, WM_CAMERA_MODE, 0, 0);
    CamDouble().zoom = {1, 144};
    dlg.reset();  // the owner's end: destructor without an explicit WM_DESTROY
    for (const auto& [key, value] : {std::pair{"Device", 1}, {"Position", 3}, {"Reverse", 1}, {"AlwaysOnTop", 1}})
        EXPECT_EQ(Saved("QVT-VZ1", key), value) << key;
    EXPECT_EQ(Saved("Free", "Zoom"), 144);
    const Calls calls = CamDouble().TakeCommands();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls.back(), "CamClose()") << "saved first, then the camera closes";
    // The end of the session saves, closes and agrees.
    Choose(Make().DeviceBox(), 2);
    EXPECT_EQ(SendMessage(dlg.get(), WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_EQ(Saved("QVT-VZ1", "Device"), 2);
    EXPECT_EQ(CamDouble().TakeCommands().back(), "CamClose()");
    // Before sleeping, the video window (its capture would not survive) is closed; the
    // dialog never refuses to sleep.
    for (auto [event, videoStays] : {std::pair{PBT_APMSUSPEND, true}, {PBT_APMRESUMESUSPEND, true},
                                     {PBT_APMQUERYSUSPEND, false}}) {
        if (!dlg->VideoWindowOpen())
            SendMessage(dlg.get(), WM_COMMAND, ID_VIDEO_WINDOW, 0);
        EXPECT_EQ(SendMessage(dlg.get(), WM_POWERBROADCAST, event, 0), TRUE) << event;
        EXPECT_EQ(dlg->VideoWindowOpen(), videoStays) << event;
    }
}

TEST_F(ControllerDlgTest, ReplacingTaughtPresetsAsksAndCancelShowsTheChoiceKept)
{
    WriteProfile("[QVT-VZ1]\nDevice=1\nPosition=1\nModified=1\n[General]\nTracking=0\n");
    CControllerDlg& d = Make();
    prompter.answers = {IDCANCEL, IDCANCEL, IDCANCEL};
    Choose(d.DeviceBox(), 2);
    Choose(d.PositionBox(), 3);
    d.ReverseBox()->click();
    ASSERT_EQ(prompter.texts.size(), 3);
    EXPECT_EQ(prompter.texts[0],
              QStringLiteral("Current camera settings will be replaced with new settings. Are you sure to continue?"));
    EXPECT_EQ(prompter.captions[0], QStringLiteral("QVT-VZ1"));
    EXPECT_EQ(prompter.types[0], MB_OKCANCEL | MB_ICONINFORMATION);
    EXPECT_EQ(std::tuple(Session().DeviceKind(), Session().Position(), Session().Reverse(), Session().Modified()),
              std::tuple(1, 1, 0, 1));
    EXPECT_EQ(d.DeviceBox()->currentText(), QStringLiteral("QVT-40S"));
    EXPECT_EQ(d.PositionBox()->currentText(), QStringLiteral("25cm"));
    EXPECT_FALSE(d.ReverseBox()->isChecked());
    prompter.answers = {IDOK};
    Choose(d.DeviceBox(), 2);
    EXPECT_EQ(std::pair(Session().DeviceKind(), Session().Modified()), std::pair(2, 0));
    Choose(d.PositionBox(), 2);
    EXPECT_EQ(prompter.texts.size(), 4) << "not modified: no question";
    EXPECT_EQ(Session().Position(), 2);
    EXPECT_EQ(d.PositionBox()->currentText(), QStringLiteral("50cm"));
}

TEST_F(ControllerDlgTest, ChoicesAreUsableOnlyOnTheAutoTabWithTrackingOff)
{
    WriteProfile("[QVT-VZ1]\nDevice=2\n[General]\nTracking=0\n");
    CControllerDlg& d = Make();
    ChooseTab(d, 1);
    EXPECT_EQ(Session().Page(), 1);
    EXPECT_EQ(ChoicesEnabled(d), std::vector(3, false));
    ChooseTab(d, 0);
    EXPECT_EQ(Session().Page(), 0);
    EXPECT_EQ(ChoicesEnabled(d), std::vector(3, true));
    SendMessage(&d, WM_TRACKING_ENABLE, 1, 0);
    EXPECT_TRUE(Session().Tracking());
    EXPECT_EQ(ChoicesEnabled(d), std::vector(3, false));
    SendMessage(&d, WM_TRACKING_ENABLE, 0, 0);
    EXPECT_EQ(ChoicesEnabled(d), std::vector(3, true));
    // Without a speakerphone only the device box stays.
    Choose(d.DeviceBox(), 0);
    EXPECT_EQ(ChoicesEnabled(d), (std::vector{true, false, false}));
}

TEST_F(ControllerDlgTest, ExportThenImportBringsTheSetUpBackIntoTheControls)
{
    WriteProfile("[QVT-VZ1]\nDevice=2\nPosition=1\nReverse=1\nModified=1\n[General]\nTracking=0\n");
    CControllerDlg& d = Make();
    const QString file = TestRootDir() + QStringLiteral("/room.set");
    prompter.files = {file};
    SendMessage(&d, WM_COMMAND, ID_FILE_EXPORT, 0);
    ASSERT_TRUE(QFile::exists(file));
    EXPECT_EQ(Session().Modified(), 0);
    Choose(d.DeviceBox(), 0);
    ChooseTab(d, 1);  // exported on Auto, imported on Manual
    prompter.files = {file};
    SendMessage(&d, WM_COMMAND, ID_FILE_IMPORT, 0);
    EXPECT_EQ(std::pair(d.TabPages()->GetCurSel(), Session().Page()), std::pair(1, 1)) << "the tab and the mode agree";
    EXPECT_EQ(d.DeviceBox()->currentText(), QStringLiteral("QVT-90UX"));
    EXPECT_EQ(d.PositionBox()->currentText(), QStringLiteral("25cm"));
    EXPECT_TRUE(d.ReverseBox()->isChecked());
    EXPECT_EQ(ChoicesEnabled(d), std::vector(3, false)) << "locked like the device box on Manual";
    EXPECT_EQ(std::pair(Session().DeviceKind(), d.AutoPage().GetDeviceKind()), std::pair(2, 2));
    EXPECT_FALSE(Session().Tracking());
    ChooseTab(d, 0);
    EXPECT_EQ(ChoicesEnabled(d), std::vector(3, true));
}

TEST_F(ControllerDlgTest, SettingsDialogChangesTopMostAndAddress)
{
    CControllerDlg& d = Make();
    bool shown = false;
    QTimer::singleShot(0, [&] {
        auto* box = dynamic_cast<CSettingsDlg*>(QApplication::activeModalWidget());
        if (!box)
            return;
        shown = true;
        box->findChild<QCheckBox*>()->setChecked(true);
        box->m_editUrl->setText(QStringLiteral("http://elsewhere/f.bin"));
        box->accept();
    });
    d.show();
    SendMessage(&d, WM_COMMAND, ID_VIDEO_WINDOW, 0);
    SendMessage(&d, WM_COMMAND, ID_SETTINGS, 0);
    ASSERT_TRUE(shown);
    EXPECT_EQ(d.GetAlwaysOnTop(), 1);
    EXPECT_TRUE(d.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(d.VideoWindowOpen()) << "a top-most change leaves the video window open";
    EXPECT_EQ(Session().FirmwareUrl(), QStringLiteral("http://elsewhere/f.bin"));
}

TEST_F(ControllerDlgTest, ThePagesOptionButtonsRunTheSessionsOperations)
{
    CControllerDlg& d = Make();
    d.show();
    SendMessage(&d, WM_CAMERA_MODE, 2, 0);  // OHP: button 1015 turns the picture
    CamDouble().zoom = {0, 0};
    CamDouble().TakeCommands();
    CBitmapButton* rotate = d.AutoPage().OptionButton(1015);
    ASSERT_NE(rotate, nullptr);
    ASSERT_TRUE(rotate->isEnabled());
    rotate->click();
    EXPECT_EQ(Session().Settings().m_nOhpRoll, 0);
    EXPECT_EQ(CamDouble().TakeCommands(), (Calls{"CamGetZoom()", "CamSetPosition(2,90,0,100,0)"}));
    ChooseTab(d, 1);
    CamDouble().TakeCommands();
    d.ManualPage().OptionButton(1016)->click();
    EXPECT_EQ(Session().Settings().m_nUserMode, 0);
    EXPECT_EQ(CamDouble().TakeCommands(), Calls{"CamSelectView(0)"});
}

TEST_F(ControllerDlgTest, CameraMessagesReachThePagesAndTheTray)
{
    CControllerDlg& d = Make();
    EXPECT_EQ(SendMessage(&d, WM_CAMERA_MODE, 3, 0), 0);
    const auto modes = [&] {
        return std::vector{Session().CameraMode(), d.AutoPage().GetCameraMode(), d.ManualPage().GetCameraMode()};
    };
    EXPECT_EQ(modes(), std::vector(3, 3));
    EXPECT_EQ(SendMessage(&d, WM_CAMERA_COMM_ERROR, 0, 0), 0);
    EXPECT_EQ(modes(), std::vector(3, 255));
    EXPECT_EQ(balloons, std::vector<UINT>{35013});
    EXPECT_EQ(CamDouble().TakeCommands().back(), "CamClose()");
    SendMessage(&d, WM_CAMERA_MODE, 1, 0);
    EXPECT_EQ(modes(), std::vector(3, 1));
    SendMessage(&d, WM_CAMERA_LINK, 0, 0);  // link loss
    EXPECT_EQ(modes(), std::vector(3, 255));
    EXPECT_EQ(CamDouble().TakeCommands().back(), "CamClose()");
}

TEST_F(ControllerDlgTest, MenuStatesFollowCameraTrackingAndVideoWindow)
{
    CControllerDlg& d = Make();
    struct Row { bool tracking; int open; bool takesFirmware; bool files, about, update; };
    const Row rows[] = {
        {true, 0, true, false, false, false},
        {false, 1, true, true, true, true},
        {false, 1, false, true, true, false},  // a camera that takes no firmware
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "tracking " << r.tracking << " open " << r.open << " firmware " << r.takesFirmware);
        Session().OnTrackingEnable(r.tracking);
        CamDouble().open = r.open;
        CamDouble().capabilities.firmware = r.takesFirmware;
        CamDouble().connection.kind = r.takesFirmware ? CameraConnection::Kind::Usb : CameraConnection::Kind::Serial;
        CamDouble().connection.serialPort = "/dev/ttyUSB0";
        Q_EMIT d.FileMenu()->aboutToShow();
        EXPECT_EQ(Action(ID_FILE_EXPORT)->isEnabled(), r.files);
        EXPECT_EQ(Action(ID_FILE_IMPORT)->isEnabled(), r.files);
        EXPECT_EQ(Action(ID_APP_ABOUT)->isEnabled(), r.about);
        EXPECT_EQ(Action(ID_FIRMWARE_UPDATE)->isEnabled(), r.update);
        // A greyed update says why when the camera takes none, naming it.
        EXPECT_EQ(Action(ID_FIRMWARE_UPDATE)->toolTip() == QStringLiteral("Camera /dev/ttyUSB0 takes no firmware update; only the QVT-VZ1 does."),
                  !r.takesFirmware);
        EXPECT_TRUE(Action(ID_SETTINGS)->isEnabled() && Action(ID_CLOSE_CONTROLLER)->isEnabled());
        EXPECT_FALSE(Action(ID_VIDEO_WINDOW)->isChecked());
    }
    SendMessage(&d, WM_COMMAND, ID_VIDEO_WINDOW, 0);
    ASSERT_TRUE(d.VideoWindowOpen());
    Q_EMIT d.FileMenu()->aboutToShow();
    EXPECT_TRUE(Action(ID_VIDEO_WINDOW)->isChecked());
    SendMessage(&d, WM_COMMAND, ID_VIDEO_WINDOW, 0);
    EXPECT_FALSE(d.VideoWindowOpen()) << "the same command closes it";
}

TEST_F(ControllerDlgTest, EnterAndEscapeDoNothingCloseHidesAndClosesTheVideoWindow)
{
    CControllerDlg& d = Make();
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    QTest::keyClick(&d, Qt::Key_Escape);
    QTest::keyClick(&d, Qt::Key_Return);
    QTest::keyClick(d.PositionBox(), Qt::Key_Escape);
    EXPECT_TRUE(d.isVisible());
    SendMessage(&d, WM_COMMAND, ID_VIDEO_WINDOW, 0);
    QPointer<QWidget> video = Video();
    ASSERT_FALSE(video.isNull());
    Action(ID_CLOSE_CONTROLLER)->trigger();
    QCoreApplication::processEvents();  // the command is posted, as a menu command is
    EXPECT_FALSE(d.isVisible());
    EXPECT_TRUE(video.isNull());
    EXPECT_FALSE(d.VideoWindowOpen());
    d.show();
    d.close();  // the close box
    EXPECT_FALSE(d.isVisible());
    EXPECT_FALSE(d.testAttribute(Qt::WA_QuitOnClose)) << "closing the dialog must not end the tray program";
    d.show();
    SendMessage(&d, WM_CLOSE, 0, 0);
    EXPECT_FALSE(d.isVisible());
}

TEST_F(ControllerDlgTest, TopMostFollowsTheForcedAndToggledRulesWithoutMoving)
{
    CControllerDlg& d = Make();
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    d.move(120, 80);
    const QPoint pos = d.pos();
    const QSize size = d.size();
    SendMessage(&d, WM_COMMAND, ID_VIDEO_WINDOW, 0);
    const QPointer<QWidget> video = Video();
    const auto topMost = [&] {
        EXPECT_EQ(d.windowFlags().testFlag(Qt::WindowStaysOnTopHint), d.GetAlwaysOnTop() == 1);
        EXPECT_TRUE(video && Video() == video) << "the video window stays open";
        return d.GetAlwaysOnTop();
    };
    SendMessage(&d, WM_COMMAND, ID_ALWAYS_ON_TOP, 0);
    EXPECT_EQ(topMost(), 1);
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.size(), size);
    SendMessage(&d, WM_COMMAND, ID_ALWAYS_ON_TOP, 0);
    EXPECT_EQ(topMost(), 0);
    d.SetTopMost(1, TRUE);
    EXPECT_EQ(topMost(), 1);
    d.SetTopMost(2, TRUE);  // forced: only 1 means on
    EXPECT_EQ(topMost(), 0);
    d.SetTopMost(2, FALSE);  // unforced: any nonzero means on
    EXPECT_EQ(topMost(), 1);
    EXPECT_EQ(d.pos(), pos);
}

TEST_F(ControllerDlgTest, LayoutFitsTheCurrentPageAndNeverGetsNarrowerThanTheChoices)
{
    CControllerDlg& d = Make();
    // The margin is the labels' left edge, on both sides; the tabs stand below the choices.
    const int margin = d.PositionLabel()->geometry().left();
    const int minWidth = d.ReverseBox()->geometry().right() + 1 + margin;
    const QWidget* client = d.DeviceBox()->parentWidget();
    CPageTabCtrl* tabs = d.TabPages();
    const QSize page = d.AutoPage().GetPageSize();
    const int item = tabs->ItemHeight();
    EXPECT_EQ(tabs->x(), margin);
    EXPECT_GT(tabs->y(), d.PositionBox()->geometry().bottom());
    EXPECT_EQ(tabs->size(), QSize(page.width() + 8, page.height() + 8 + item));
    EXPECT_EQ(d.AutoPage().geometry().topLeft(), tabs->DisplayOrigin());
    EXPECT_GE(d.width(), minWidth);
    EXPECT_EQ(client->geometry().bottom() + 1, d.height());
    EXPECT_EQ(client->height(), tabs->geometry().bottom() + 1 + margin);
    EXPECT_LE(std::max(d.DeviceBox()->geometry().right(), d.ReverseBox()->geometry().right()), d.width());
    // The Manual page has a size of its own; the dialog follows the tab, keeping its place.
    d.move(50, 60);
    ChooseTab(d, 1);
    EXPECT_EQ(d.ManualPage().GetPageSize(), QSize(222, 222));
    EXPECT_EQ(tabs->size(), QSize(230, 230 + item));
    EXPECT_EQ(d.ManualPage().geometry().topLeft(), tabs->DisplayOrigin());
    EXPECT_EQ(d.width(), std::max(230 + 2 * margin, minWidth));
    EXPECT_EQ(d.pos(), QPoint(50, 60));
    EXPECT_TRUE(d.ManualPage().isVisibleTo(tabs));
    EXPECT_FALSE(d.AutoPage().isVisibleTo(tabs));
}

TEST_F(ControllerDlgTest, AboutBoxShowsTheFirmwareVersionAndStaysOnTop)
{
    CControllerDlg& d = Make();
    CamDouble().firmwareVersion = "2.05%n";
    EXPECT_EQ(CAboutDlg::FirmwareVersionLine(), QStringLiteral("QVT-VZ1 Firmware Ver.2.05%n"));
    CamDouble().firmwareVersionResult = 0;
    EXPECT_EQ(CAboutDlg::FirmwareVersionLine(), QStringLiteral("QVT-VZ1 Firmware Ver.Unknown"));
    CamDouble().firmwareVersionResult = 1;
    CamDouble().firmwareVersion = "2.03";
    bool checked = false;
    QTimer::singleShot(0, [&] {
        auto* box = dynamic_cast<CAboutDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->m_stVersion->text(), QStringLiteral("QVT-VZ1 Firmware Ver.2.03"));
        EXPECT_TRUE(box->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        EXPECT_EQ(g_pAboutDlg, box);
        checked = true;
        box->accept();
    });
    SendMessage(&d, WM_COMMAND, ID_APP_ABOUT, 0);
    EXPECT_TRUE(checked);
    EXPECT_EQ(g_pAboutDlg, nullptr);
}

TEST_F(ControllerDlgTest, ADestroyedDialogTakesNoMoreMessages)
{
    CControllerDlg& d = Make();
    SendMessage(&d, WM_DESTROY, 0, 0);
    CamDouble().TakeCommands();
    SendMessage(&d, WM_CAMERA_MODE, 1, 0);
    SendMessage(&d, WM_PAD_BUTTON, 1004, 1);
    EXPECT_EQ(CamDouble().TakeCommands(), Calls{});
    EXPECT_EQ(Session().CameraMode(), 255);
}

} // namespace
