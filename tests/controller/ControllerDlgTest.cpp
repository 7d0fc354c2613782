// The controller dialog over real widgets (offscreen), with the recording camera double and
// scripted message boxes.
#include "ui/controller/ControllerDlg.h"

#include "platform/ProfileFile.h"
#include "res/CameraStrings.h"
#include "platform/WinMessages.h"
#include "res/Resource.h"
#include "res/Strings.h"
#include "tests/support/CameraApiDouble.h"
#include "tests/support/RecordingWindow.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestEnvironment.h"
#include "ui/controller/AboutDlg.h"
#include "settings/SettingsDlg.h"
#include "ui/controls/BitmapButton.h"
#include "ui/controller/PageTabCtrl.h"
#include "video/VideoCapture.h"
#include "video/VideoDlg.h"
#include "ui/controller/TrayFrameOperations.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTabBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

using Calls = std::vector<std::string>;

namespace {
// The application's main window as the dialog sees it: where balloons go.
struct FakeFrame final : QObject, CMessageTarget, TrayFrameOperations
{
    LRESULT WindowProc(UINT, WPARAM, LPARAM) override { return 0; }
    void ShowTrayMessage(UINT id) override { balloons.push_back(id); }
    void DeleteTrayIcon() override {}
    void CheckCameraPresence(BOOL force) override { presenceChecks += force ? 1 : 0; }
    std::vector<UINT> balloons;
    int presenceChecks = 0;
};

// Capture services without any video input: the video window opens with no picture.
struct NoVideoCapture final : VideoCapture
{
    std::vector<VideoDeviceInfo> Devices() override { return {}; }
    std::unique_ptr<VideoQualityControl> OpenQualityControl(const VideoDeviceInfo&) override { return nullptr; }
    std::unique_ptr<VideoPreview> StartPreview(const VideoDeviceInfo&, QWidget*) override { return nullptr; }
};

class ControllerDlgTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CamDouble().Reset();
        AfxSetMainWnd(&frame);
        static int n = 0;
        path = (TestRootDir() + QStringLiteral("/controller-%1.ini").arg(++n)).toStdString();
    }
    void TearDown() override { dlg.reset(), AfxSetMainWnd(nullptr); }
    void WriteProfile(const char* text) { std::ofstream(path, std::ios::binary) << text; }
    CControllerDlg& Make()
    {
        dlg = std::make_unique<CControllerDlg>(nullptr, path);
        dlg->m_makeVideoCapture = [] { return std::make_unique<NoVideoCapture>(); };
        dlg->Create();
        CamDouble().TakeCommands();
        CamDouble().open = 1;  // read-backs need an open camera
        return *dlg;
    }
    int Saved(const char* section, const char* key) const { return ProfileFile(path).GetInt(section, key, -12345); }
    QAction* Action(UINT id) const
    {
        for (QAction* a : dlg->m_pFileMenu->actions())
            if (!a->isSeparator() && a->data().toUInt() == id)
                return a;
        return nullptr;
    }
    // The user picks entry index of box, as with the mouse.
    static void Choose(QComboBox* box, int index)
    {
        ASSERT_TRUE(box->isEnabled()) << "the user cannot choose in a disabled box";
        box->setCurrentIndex(index);
        Q_EMIT box->activated(index);
    }
    FakeFrame frame;
    ScriptedPrompter prompter;
    std::string path;
    std::unique_ptr<CControllerDlg> dlg;
};

TEST_F(ControllerDlgTest, FirstRunWithoutProfileShowsTheDefaults)
{
    CControllerDlg& d = Make();
    EXPECT_EQ(d.m_cbDevice->currentText(), QStringLiteral("Without Sonvara"));
    EXPECT_EQ(d.m_cbPosition->currentText(), QStringLiteral("5cm"));
    EXPECT_FALSE(d.m_btnReverse->isChecked());
    EXPECT_TRUE(d.m_cbDevice->isEnabled());
    EXPECT_FALSE(d.m_cbPosition->isEnabled() || d.m_btnReverse->isEnabled());
    EXPECT_EQ(d.m_tabPages->GetCurSel(), 0);
    EXPECT_EQ(d.m_strCameraPort, QStringLiteral("/dev/pts/77")) << "the port is looked up at the end of creation";
    EXPECT_FALSE(d.isVisible());
}

TEST_F(ControllerDlgTest, SavedValuesComeBackAndGoOutAgainUnchanged)
{
    WriteProfile("[QVT-VZ1]\nDevice=3\nPosition=2\nReverse=1\nAlwaysOnTop=1\nModified=1\nURL=http://h/f.bin\n"
                 "[General]\nMode=1\nTracking=0\n[Front]\nDirection=2\n[FrontDir2]\nPan=11\nTilt=12\nZoom=13\nRoll=14\n");
    CControllerDlg& d = Make();
    EXPECT_EQ(d.m_cbDevice->currentText(), QStringLiteral("QVT-18TR"));
    EXPECT_EQ(d.m_cbPosition->currentText(), QStringLiteral("50cm"));
    EXPECT_TRUE(d.m_btnReverse->isChecked());
    EXPECT_EQ(d.GetAlwaysOnTop(), 1);
    EXPECT_EQ(d.m_bModified, 1);
    EXPECT_EQ(d.m_strFirmwareURL, QStringLiteral("http://h/f.bin"));
    EXPECT_EQ(d.m_tabPages->GetCurSel(), 1);
    EXPECT_FALSE(d.m_cbDevice->isEnabled()) << "the Manual tab disables the choices";
    EXPECT_EQ(d.m_settings.m_nFrontDirection, 2) << "a chosen speakerphone keeps the directions";
    SendMessage(dlg.get(), WM_DESTROY, 0, 0);
    for (const auto& [key, value] : {std::pair{"Device", 3}, {"Position", 2}, {"Reverse", 1}, {"AlwaysOnTop", 1}, {"Modified", 1}})
        EXPECT_EQ(Saved("QVT-VZ1", key), value) << key;
    EXPECT_EQ(ProfileFile(path).GetString("QVT-VZ1", "URL", ""), "http://h/f.bin");
    EXPECT_EQ(Saved("General", "Mode"), 1);
    EXPECT_EQ(Saved("FrontDir2", "Roll"), 14);
    EXPECT_EQ(ProfileFile(path).Keys("QVT-VZ1"),
              (std::vector<std::string>{"Device", "Position", "Reverse", "AlwaysOnTop", "Modified", "URL"}));
}

TEST_F(ControllerDlgTest, HandEditedValuesWithoutAnEntryFallBackToTheFirstOne)
{
    WriteProfile("[QVT-VZ1]\nDevice=17\nPosition=9\n[General]\nTracking=1\n[Up]\nDirection=3\n");
    CControllerDlg& d = Make();
    EXPECT_EQ(d.m_cbDevice->currentText(), QStringLiteral("Without Sonvara"));
    EXPECT_EQ(d.m_cbPosition->currentText(), QStringLiteral("5cm"));
    EXPECT_EQ(d.m_settings.m_bTracking, 0) << "no speakerphone, no tracking";
    EXPECT_EQ(d.m_settings.m_nUpDirection, 6);
}

TEST_F(ControllerDlgTest, WhatTheUserSetIsInTheProfileAfterTheDialogEnds)
{
    CControllerDlg& d = Make();
    Choose(d.m_cbDevice, 1);
    Choose(d.m_cbPosition, 3);
    d.m_btnReverse->click();
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
    Choose(Make().m_cbDevice, 2);
    EXPECT_EQ(SendMessage(dlg.get(), WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_EQ(Saved("QVT-VZ1", "Device"), 2);
    EXPECT_EQ(CamDouble().TakeCommands().back(), "CamClose()");
    // Before sleeping, the video window (its capture would not survive) is closed; the
    // dialog never refuses to sleep.
    for (auto [event, videoStays] : {std::pair{PBT_APMSUSPEND, true}, {PBT_APMRESUMESUSPEND, true},
                                     {PBT_APMQUERYSUSPEND, false}}) {
        if (!dlg->m_pVideoWnd)
            SendMessage(dlg.get(), WM_COMMAND, ID_VIDEO_WINDOW, 0);
        EXPECT_EQ(SendMessage(dlg.get(), WM_POWERBROADCAST, event, 0), TRUE) << event;
        EXPECT_EQ(dlg->m_pVideoWnd != nullptr, videoStays) << event;
    }
}

TEST_F(ControllerDlgTest, ReplacingTaughtPresetsAsksAndCancelKeepsTheChoice)
{
    WriteProfile("[QVT-VZ1]\nDevice=1\nPosition=1\nModified=1\n[General]\nTracking=0\n");
    CControllerDlg& d = Make();
    prompter.answers = {IDCANCEL};
    Choose(d.m_cbDevice, 2);
    ASSERT_EQ(prompter.texts.size(), 1u);
    EXPECT_EQ(prompter.texts[0],
              QStringLiteral("Current camera settings will be replaced with new settings. Are you sure to continue?"));
    EXPECT_EQ(prompter.captions[0], QStringLiteral("QVT-VZ1"));
    EXPECT_EQ(prompter.types[0], MB_OKCANCEL | MB_ICONINFORMATION);
    EXPECT_EQ(d.m_nDeviceKind, 1);
    EXPECT_EQ(d.m_cbDevice->currentText(), QStringLiteral("QVT-40S"));
    EXPECT_EQ(d.m_bModified, 1);
    prompter.answers = {IDCANCEL, IDCANCEL};
    Choose(d.m_cbPosition, 3);
    d.m_btnReverse->click();
    EXPECT_EQ(d.m_nPosition, 1);
    EXPECT_EQ(d.m_cbPosition->currentText(), QStringLiteral("25cm"));
    EXPECT_EQ(d.m_bReverse, 0);
    EXPECT_FALSE(d.m_btnReverse->isChecked());
    prompter.answers = {IDOK};
    Choose(d.m_cbDevice, 2);
    EXPECT_EQ(d.m_nDeviceKind, 2);
    EXPECT_EQ(d.m_bModified, 0);
    EXPECT_EQ(prompter.texts.size(), 4u);
    Choose(d.m_cbPosition, 2);
    EXPECT_EQ(prompter.texts.size(), 4u) << "not modified: no question";
    EXPECT_EQ(d.m_nPosition, 2);
}

TEST_F(ControllerDlgTest, WithoutSonvaraNeverAsksAndTurnsTrackingOff)
{
    WriteProfile("[QVT-VZ1]\nDevice=4\nModified=1\n[General]\nTracking=0\n[Up]\nDirection=2\n");
    CControllerDlg& d = Make();
    EXPECT_TRUE(d.m_cbPosition->isEnabled());
    d.m_settings.m_bTracking = 0;
    Choose(d.m_cbDevice, 0);
    EXPECT_TRUE(prompter.texts.isEmpty());
    EXPECT_EQ(d.m_nDeviceKind, 0);
    EXPECT_EQ(d.m_settings.m_nUpDirection, 6);
    EXPECT_EQ(d.m_settings.m_nFrontDirection, 6);
    EXPECT_FALSE(d.m_cbPosition->isEnabled() || d.m_btnReverse->isEnabled());
}

TEST_F(ControllerDlgTest, ChoicesAreUsableOnlyOnTheAutoTabWithTrackingOff)
{
    WriteProfile("[QVT-VZ1]\nDevice=2\n[General]\nTracking=0\n");
    CControllerDlg& d = Make();
    const auto enabled = [&] {
        return std::vector{d.m_cbDevice->isEnabled(), d.m_cbPosition->isEnabled(), d.m_btnReverse->isEnabled()};
    };
    d.m_tabPages->TabBar()->setCurrentIndex(1);
    EXPECT_EQ(d.m_settings.m_nMode, 1);
    EXPECT_EQ(enabled(), std::vector(3, false));
    d.m_tabPages->TabBar()->setCurrentIndex(0);
    EXPECT_EQ(enabled(), std::vector(3, true));
    d.m_settings.m_bTracking = 1;
    d.UpdateControlStates();
    EXPECT_EQ(enabled(), std::vector(3, false));
}

TEST_F(ControllerDlgTest, LeavingAPageStopsAHeldPadReadsBackAndSendsTheNewPage)
{
    CControllerDlg& d = Make();
    d.m_settings.m_nUserMode = 0;
    SendMessage(&d, WM_CAMERA_MODE, 2, 0);  // OHP
    SendMessage(&d, WM_PAD_BUTTON, 1012, 1);
    CamDouble().zoom = {1, 120};
    CamDouble().TakeCommands();
    d.m_tabPages->TabBar()->setCurrentIndex(1);
    EXPECT_EQ(CamDouble().TakeCommands(), (Calls{"CamDrive(0)", "CamGetZoom()", "CamSelectView(0)"}));
    EXPECT_EQ(d.m_settings.m_nOhpZoom, 120);
    EXPECT_EQ(d.m_camera.m_wPadBits, 0);
}

TEST_F(ControllerDlgTest, TrackingRunsOnlyOnTheAutoTabWithASpeakerphone)
{
    WriteProfile("[QVT-VZ1]\nDevice=3\n[General]\nTracking=1\n");
    CControllerDlg& d = Make();
    EXPECT_EQ(d.StartTracking(), 1);
    EXPECT_TRUE(d.m_trackingWorker.IsRunning());
    EXPECT_EQ(d.StartTracking(), 0) << "one worker at a time";
    d.m_tabPages->TabBar()->setCurrentIndex(1);
    EXPECT_FALSE(d.m_trackingWorker.IsRunning());
    EXPECT_EQ(d.StartTracking(), 0);
    d.m_tabPages->TabBar()->setCurrentIndex(0);
    EXPECT_TRUE(d.m_trackingWorker.IsRunning());
    SendMessage(&d, WM_DESTROY, 0, 0);
    EXPECT_FALSE(d.m_trackingWorker.IsRunning());
}

TEST_F(ControllerDlgTest, ChoosingADirectionTeachesTheOneLeftAndMovesToTheNewOne)
{
    WriteProfile("[QVT-VZ1]\nDevice=1\n[General]\nTracking=0\n[Front]\nDirection=1\n"
                 "[FrontDir4]\nPan=40\nTilt=41\nZoom=42\nRoll=43\n");
    CControllerDlg& d = Make();
    SendMessage(&d, WM_SELECT_DIRECTION, 4, 0);
    EXPECT_EQ(d.m_settings.m_nFrontDirection, 1) << "no camera: nothing to teach";
    SendMessage(&d, WM_CAMERA_MODE, 3, 0);
    CamDouble().pan = {1, 99};
    CamDouble().TakeCommands();
    EXPECT_EQ(SendMessage(&d, WM_SELECT_DIRECTION, 4, 0), 0);
    EXPECT_EQ(CamDouble().TakeCommands(), (Calls{"CamGetPan()", "CamGetTilt()", "CamGetZoom()", "CamGetRoll()",
                                                 "CamSetPosition(2,40,41,42,43)"}));
    EXPECT_EQ(d.m_settings.m_frontPresets[1].m_nPan, 99);
    EXPECT_EQ(d.m_settings.m_nFrontDirection, 4);
    SendMessage(&d, WM_SELECT_DIRECTION, 7, 0);
    EXPECT_EQ(d.m_settings.m_nFrontDirection, 4) << "no such direction";
    EXPECT_EQ(CamDouble().TakeCommands(), Calls{});
}

TEST_F(ControllerDlgTest, TheTrackingSwitchStartsAndStopsTheWorkerAndLocksTheChoices)
{
    WriteProfile("[QVT-VZ1]\nDevice=3\n[General]\nTracking=0\n[Up]\nMode=1\nDirection=2\n"
                 "[UpDir2]\nPan=20\nTilt=21\nZoom=22\nRoll=23\n");
    CControllerDlg& d = Make();
    SendMessage(&d, WM_CAMERA_MODE, 1, 0);
    // Where the user steered to before switching tracking on is taught first.
    CamDouble().pan = {1, 50};
    CamDouble().roll = {1, 53};
    SendMessage(&d, WM_TRACKING_ENABLE, 1, 0);
    EXPECT_EQ(d.m_settings.m_upPresets[2].m_nPan, 50);
    EXPECT_EQ(d.m_settings.m_bTracking, 1);
    EXPECT_TRUE(d.m_trackingWorker.IsRunning());
    EXPECT_FALSE(d.m_cbDevice->isEnabled());
    // The worker's first report is "nobody": the centre preset.
    EXPECT_TRUE(WaitUntil([] {
        const Calls c = CamDouble().Commands();
        return !c.empty() && c.back() == "CamSetPosition(1,90,0,90,90)";
    }));
    CamDouble().TakeCommands();
    SendMessage(&d, WM_TRACKING_ENABLE, 0, 0);
    EXPECT_FALSE(d.m_trackingWorker.IsRunning());
    EXPECT_TRUE(d.m_cbDevice->isEnabled());
    EXPECT_EQ(CamDouble().TakeCommands(), Calls{"CamSetPosition(1,50,0,90,53)"})
        << "tracking held the camera, so nothing is read back; the chosen preset is sent";
}

TEST_F(ControllerDlgTest, ExportThenImportBringsTheSetUpBackIntoTheControls)
{
    WriteProfile("[QVT-VZ1]\nDevice=2\nPosition=1\nReverse=1\nModified=1\n[General]\nTracking=0\n");
    CControllerDlg& d = Make();
    const QString file = TestRootDir() + QStringLiteral("/room.set");
    prompter.files = {file};
    SendMessage(&d, WM_COMMAND, ID_FILE_EXPORT, 0);
    ASSERT_TRUE(QFile::exists(file));
    EXPECT_EQ(d.m_bModified, 0);
    Choose(d.m_cbDevice, 0);
    EXPECT_FALSE(d.m_cbPosition->isEnabled());
    d.m_tabPages->TabBar()->setCurrentIndex(1);  // exported on Auto, imported on Manual
    prompter.files = {file};
    SendMessage(&d, WM_COMMAND, ID_FILE_IMPORT, 0);
    EXPECT_EQ(std::pair(d.m_tabPages->GetCurSel(), d.m_settings.m_nMode), std::pair(1, 1)) << "the tab and the mode agree";
    EXPECT_EQ(d.m_cbDevice->currentText(), QStringLiteral("QVT-90UX"));
    EXPECT_EQ(d.m_cbPosition->currentText(), QStringLiteral("25cm"));
    EXPECT_TRUE(d.m_btnReverse->isChecked());
    EXPECT_FALSE(d.m_cbPosition->isEnabled() || d.m_btnReverse->isEnabled()) << "locked like the device box on Manual";
    EXPECT_EQ(std::pair(d.m_nDeviceKind, d.m_autoPage.GetDeviceKind()), std::pair(2, 2));
    EXPECT_EQ(d.m_settings.m_bTracking, 0);
    d.m_tabPages->TabBar()->setCurrentIndex(0);
    EXPECT_TRUE(d.m_cbPosition->isEnabled() && d.m_btnReverse->isEnabled());
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
    EXPECT_NE(d.m_pVideoWnd, nullptr) << "a top-most change leaves the video window open";
    EXPECT_EQ(d.m_strFirmwareURL, QStringLiteral("http://elsewhere/f.bin"));
}

TEST_F(ControllerDlgTest, ThePagesOptionButtonsRunTheDialogsOperations)
{
    CControllerDlg& d = Make();
    d.show();
    SendMessage(&d, WM_CAMERA_MODE, 2, 0);  // OHP: button 1015 turns the picture
    CamDouble().zoom = {0, 0};
    CamDouble().TakeCommands();
    CBitmapButton* rotate = d.m_autoPage.OptionButton(1015);
    ASSERT_NE(rotate, nullptr);
    ASSERT_TRUE(rotate->isEnabled());
    rotate->click();
    EXPECT_EQ(d.m_settings.m_nOhpRoll, 0);
    EXPECT_EQ(CamDouble().TakeCommands(), (Calls{"CamGetZoom()", "CamSetPosition(2,90,0,100,0)"}));
    d.m_tabPages->TabBar()->setCurrentIndex(1);
    CamDouble().TakeCommands();
    d.m_manualPage.OptionButton(1016)->click();
    EXPECT_EQ(d.m_settings.m_nUserMode, 0);
    EXPECT_EQ(CamDouble().TakeCommands(), Calls{"CamSelectView(0)"});
}

TEST_F(ControllerDlgTest, CameraMessagesReachThePagesAndTheTray)
{
    CControllerDlg& d = Make();
    EXPECT_EQ(SendMessage(&d, WM_CAMERA_MODE, 3, 0), 0);
    const auto modes = [&] {
        return std::vector{d.m_camera.m_nCameraMode, d.m_autoPage.GetCameraMode(), d.m_manualPage.GetCameraMode()};
    };
    EXPECT_EQ(modes(), std::vector(3, 3));
    EXPECT_EQ(SendMessage(&d, WM_CAMERA_COMM_ERROR, 0, 0), 0);
    EXPECT_EQ(modes(), std::vector(3, 255));
    EXPECT_EQ(frame.balloons, std::vector<UINT>{35013});
    EXPECT_EQ(CamDouble().TakeCommands().back(), "CamClose()");
    SendMessage(&d, WM_CAMERA_MODE, 1, 0);
    EXPECT_EQ(modes(), std::vector(3, 1));
    SendMessage(&d, WM_CAMERA_LINK, 0, 0);  // link loss
    EXPECT_EQ(modes(), std::vector(3, 255));
    EXPECT_EQ(CamDouble().TakeCommands().back(), "CamClose()");
}

TEST_F(ControllerDlgTest, OpenUsesThePortFoundAndTheMainWindow)
{
    CControllerDlg& d = Make();
    CamDouble().port = "/dev/pts/5";
    EXPECT_EQ(d.FindCameraPort(), 1);
    CamDouble().findPortResult = 0;
    CamDouble().port = "/dev/pts/6";
    EXPECT_EQ(d.FindCameraPort(), 0);
    EXPECT_EQ(d.m_strCameraPort, QStringLiteral("/dev/pts/5")) << "a failed lookup keeps the port";
    EXPECT_EQ(d.OpenCamera(), 1);
    EXPECT_EQ(CamDouble().wnd, &frame);
    EXPECT_EQ(CamDouble().TakeCommands().front(), "CamOpen(/dev/pts/5,1027,1029)");
}

TEST_F(ControllerDlgTest, MenuStatesFollowCameraTrackingAndVideoWindow)
{
    CControllerDlg& d = Make();
    d.m_settings.m_bTracking = 1;
    CamDouble().open = 0;
    Q_EMIT d.m_pFileMenu->aboutToShow();
    for (UINT id : {ID_FILE_EXPORT, ID_FILE_IMPORT, ID_APP_ABOUT, ID_FIRMWARE_UPDATE})
        EXPECT_FALSE(Action(id)->isEnabled()) << id;
    EXPECT_TRUE(Action(ID_SETTINGS)->isEnabled() && Action(ID_CLOSE_CONTROLLER)->isEnabled());
    EXPECT_FALSE(Action(ID_VIDEO_WINDOW)->isChecked());
    d.m_settings.m_bTracking = 0;
    CamDouble().open = 1;
    SendMessage(&d, WM_COMMAND, ID_VIDEO_WINDOW, 0);
    ASSERT_NE(d.m_pVideoWnd, nullptr);
    Q_EMIT d.m_pFileMenu->aboutToShow();
    for (UINT id : {ID_FILE_EXPORT, ID_FILE_IMPORT, ID_APP_ABOUT, ID_FIRMWARE_UPDATE})
        EXPECT_TRUE(Action(id)->isEnabled()) << id;
    EXPECT_TRUE(Action(ID_VIDEO_WINDOW)->isChecked());
    SendMessage(&d, WM_COMMAND, ID_VIDEO_WINDOW, 0);
    EXPECT_EQ(d.m_pVideoWnd, nullptr) << "the same command closes it";
}

TEST_F(ControllerDlgTest, AnotherCameraComesFromTheProfileAndAChangeReconnects)
{
    WriteProfile("[QVT-VZ1]\nDevice=0\n[Camera]\nConnection=2\nHost=127.0.0.1\nTransport=1\nPort=5678\nFraming=1\n");
    CControllerDlg& d = Make();
    EXPECT_EQ(CamConnection().Describe(), "tcp 127.0.0.1:5678");
    EXPECT_EQ(CamConnection().framing, CameraConnection::kOneParticipant);
    // A camera that takes no firmware: the item is grey and says why.
    CamDouble().open = 1;
    CamDouble().capabilities.firmware = false;
    Q_EMIT d.m_pFileMenu->aboutToShow();
    EXPECT_FALSE(Action(ID_FIRMWARE_UPDATE)->isEnabled());
    EXPECT_EQ(Action(ID_FIRMWARE_UPDATE)->toolTip(), LoadStringRes(kStrNoFirmwareUpdate));

    // Back to the QVT-VZ1: the old camera is read back and closed, the library
    // configured, the profile written and the frame looks for the camera again.
    CamDouble().TakeCommands();
    d.ChangeCameraConnection(CameraConnection{});
    const auto calls = CamDouble().TakeCommands();
    const auto at = [&](const std::string& c) { return std::find(calls.begin(), calls.end(), c) - calls.begin(); };
    EXPECT_LT(at("CamClose()"), at("CamConfigure(usb)"));
    EXPECT_LT(at("CamConfigure(usb)"), static_cast<long>(calls.size()));
    EXPECT_EQ(frame.presenceChecks, 1);
    EXPECT_EQ(d.m_camera.m_nCameraMode, kNoCamera);
    EXPECT_EQ(Saved("Camera", "Connection"), 0) << "a section once written stays, now saying USB";
}

TEST_F(ControllerDlgTest, EnterAndEscapeDoNothingCloseHidesAndClosesTheVideoWindow)
{
    CControllerDlg& d = Make();
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    QTest::keyClick(&d, Qt::Key_Escape);
    QTest::keyClick(&d, Qt::Key_Return);
    QTest::keyClick(d.m_cbPosition, Qt::Key_Escape);
    EXPECT_TRUE(d.isVisible());
    SendMessage(&d, WM_COMMAND, ID_VIDEO_WINDOW, 0);
    QPointer<QWidget> video = d.m_pVideoWnd;
    ASSERT_FALSE(video.isNull());
    Action(ID_CLOSE_CONTROLLER)->trigger();
    QCoreApplication::processEvents();  // the command is posted, as a menu command is
    EXPECT_FALSE(d.isVisible());
    EXPECT_TRUE(video.isNull());
    EXPECT_EQ(d.m_pVideoWnd, nullptr);
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
    const QPointer<QWidget> video = d.m_pVideoWnd;
    const auto topMost = [&] {
        EXPECT_EQ(d.windowFlags().testFlag(Qt::WindowStaysOnTopHint), d.GetAlwaysOnTop() == 1);
        EXPECT_TRUE(video && d.m_pVideoWnd == video) << "the video window stays open";
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
    d.SetTopMost(2, FALSE);  // toggled
    EXPECT_EQ(topMost(), 1);
    EXPECT_EQ(d.pos(), pos);
}

TEST_F(ControllerDlgTest, LayoutFitsTheCurrentPageAndNeverGetsNarrowerThanTheChoices)
{
    CControllerDlg& d = Make();
    const QSize page = d.m_autoPage.GetPageSize();
    const int item = d.m_tabPages->ItemHeight();
    EXPECT_EQ(d.m_tabPages->geometry(), QRect(d.m_nMargin, d.m_nTabTop, page.width() + 8, page.height() + 8 + item));
    EXPECT_EQ(d.m_autoPage.geometry().topLeft(), d.m_tabPages->DisplayOrigin());
    EXPECT_GE(d.width(), d.m_nMinWidth);
    EXPECT_EQ(d.m_pClient->geometry().bottom() + 1, d.height());
    EXPECT_GT(d.m_nTabTop, d.m_cbPosition->geometry().bottom());
    EXPECT_GT(d.m_nMinWidth, d.m_btnReverse->geometry().right());
    EXPECT_LE(std::max(d.m_cbDevice->geometry().right(), d.m_btnReverse->geometry().right()), d.width());
    // The Manual page has a size of its own; the dialog follows the tab, keeping its place.
    d.move(50, 60);
    d.m_tabPages->TabBar()->setCurrentIndex(1);
    EXPECT_EQ(d.m_manualPage.GetPageSize(), QSize(222, 222));
    EXPECT_EQ(d.m_tabPages->size(), QSize(230, 230 + item));
    EXPECT_EQ(d.m_manualPage.geometry().topLeft(), d.m_tabPages->DisplayOrigin());
    EXPECT_EQ(d.width(), std::max(230 + 2 * d.m_nMargin, d.m_nMinWidth));
    EXPECT_EQ(d.pos(), QPoint(50, 60));
    EXPECT_TRUE(d.m_manualPage.isVisibleTo(d.m_tabPages));
    EXPECT_FALSE(d.m_autoPage.isVisibleTo(d.m_tabPages));
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
    EXPECT_EQ(d.m_camera.m_nCameraMode, 255);
}

} // namespace
