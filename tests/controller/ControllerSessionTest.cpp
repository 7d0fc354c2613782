// The controller core with no widget: its operations over the recording camera double, the
// camera calls they make and the signals the views redraw from.
#include "controller/ControllerSession.h"

#include "platform/ProfileFile.h"
#include "platform/WinMessages.h"
#include "tests/support/CameraApiDouble.h"
#include "tests/support/RecordingWindow.h"
#include "tests/support/TestEnvironment.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>

using Calls = std::vector<std::string>;

namespace {

class ControllerSessionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CamDouble().Reset();
        static int n = 0;
        path = (TestRootDir() + QStringLiteral("/session-%1.ini").arg(++n)).toStdString();
    }
    void TearDown() override
    {
        session.reset();
        AfxSetMainWnd(nullptr);
    }
    // The session before ends first: its end would save over the new profile.
    void WriteProfile(const char* text)
    {
        session.reset();
        std::ofstream(path, std::ios::binary) << text;
    }
    // A loaded session (the one before ends first); no camera has reported yet.
    ControllerSession& Load()
    {
        session.reset();
        session = std::make_unique<ControllerSession>(path);
        session->SetConfirm([this](UINT id) { return questions.push_back(id), confirm; });
        session->Load();
        return *session;
    }
    // A loaded session whose camera is open in stand position mode.
    ControllerSession& Make(int mode = 1)
    {
        Load();
        CamDouble().open = 1;
        session->OnCameraMode(mode);
        CamDouble().TakeCommands();
        return *session;
    }
    int Saved(const char* section, const char* key) const { return ProfileFile(path).GetInt(section, key, -12345); }
    // The call that sends the camera to preset p.
    static std::string SetPosition(int kind, const CCameraPosition& p)
    {
        return "CamSetPosition(" + std::to_string(kind) + "," + std::to_string(p.m_nPan) + "," +
               std::to_string(p.m_nTilt) + "," + std::to_string(p.m_nZoom) + "," + std::to_string(p.m_nRoll) + ")";
    }
    std::string path;
    std::unique_ptr<ControllerSession> session;
    std::vector<UINT> questions;
    bool confirm = true;
};

TEST_F(ControllerSessionTest, SavedValuesComeBackAndGoOutAgainUnchanged)
{
    constexpr const char* kSaved =
        "[QVT-VZ1]\nDevice=3\nPosition=2\nReverse=1\nAlwaysOnTop=1\nModified=1\nURL=http://h/f.bin\n"
        "[General]\nMode=1\nTracking=0\n[Front]\nDirection=2\n[FrontDir2]\nPan=11\nTilt=12\nZoom=13\nRoll=14\n";
    struct Row { const char* profile; int kind, position, reverse, page; bool tracking; int up, front; };
    const Row rows[] = {
        {"", 0, 0, 0, 0, false, 6, 6},  // first run: no speakerphone, so no tracking
        {kSaved, 3, 2, 1, 1, false, 0, 2},
        {"[QVT-VZ1]\nDevice=3\n[Up]\nDirection=3\n", 3, 0, 0, 0, true, 3, 0},  // a speakerphone keeps both
        // Hand-edited values without an entry in the lists fall back to the first one.
        {"[QVT-VZ1]\nDevice=17\nPosition=9\n[General]\nTracking=1\n[Up]\nDirection=3\n", 0, 0, 0, 0, false, 6, 6},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.profile);
        WriteProfile(r.profile);
        if (!*r.profile)
            std::remove(path.c_str());
        // Loaded, saved at the end and loaded again: the same state both times.
        for (int round = 0; round < 2; ++round) {
            ControllerSession& s = Load();
            EXPECT_EQ(std::tuple(s.DeviceKind(), s.Position(), s.Reverse(), s.Page(), s.Tracking()),
                      std::tuple(r.kind, r.position, r.reverse, r.page, r.tracking)) << round;
            EXPECT_EQ(std::pair(s.Settings().m_nUpDirection, s.Settings().m_nFrontDirection), std::pair(r.up, r.front));
            EXPECT_EQ(s.CameraPort(), QStringLiteral("/dev/pts/77")) << "the port is looked up on loading";
            s.Shutdown();
        }
    }
    // The last values of the saved row, key by key and in the order the program writes them.
    WriteProfile(kSaved);
    ControllerSession& s = Load();
    EXPECT_TRUE(s.AlwaysOnTop());
    EXPECT_EQ(s.Modified(), 1);
    EXPECT_EQ(s.FirmwareUrl(), QStringLiteral("http://h/f.bin"));
    s.Shutdown();
    for (const auto& [key, value] : {std::pair{"Device", 3}, {"Position", 2}, {"Reverse", 1}, {"AlwaysOnTop", 1}, {"Modified", 1}})
        EXPECT_EQ(Saved("QVT-VZ1", key), value) << key;
    EXPECT_EQ(ProfileFile(path).GetString("QVT-VZ1", "URL", ""), "http://h/f.bin");
    EXPECT_EQ(Saved("General", "Mode"), 1);
    EXPECT_EQ(Saved("FrontDir2", "Roll"), 14);
    EXPECT_EQ(ProfileFile(path).Keys("QVT-VZ1"),
              (std::vector<std::string>{"Device", "Position", "Reverse", "AlwaysOnTop", "Modified", "URL"}));
}

TEST_F(ControllerSessionTest, PageDirectionAndTrackingDriveTheCameraAndTellTheViews)
{
    WriteProfile("[QVT-VZ1]\nDevice=1\n[General]\nTracking=0\n[Up]\nMode=1\nDirection=0\n");
    ControllerSession& s = Make(1);
    QSignalSpy changed(&s, &ControllerSession::stateChanged);
    QSignalSpy talker(&s, &ControllerSession::talkerDirection);
    CamDouble().pan = {1, 40};

    // Choosing direction 2 teaches direction 0 what the camera shows, then goes to 2's preset.
    s.OnSelectDirection(2);
    EXPECT_EQ(s.Direction(), 2);
    EXPECT_EQ(s.Settings().m_upPresets[0].m_nPan, 40);
    Calls calls = CamDouble().TakeCommands();
    ASSERT_FALSE(calls.empty());
    EXPECT_TRUE(calls.back().starts_with("CamSetPosition(1,")) << calls.back();
    EXPECT_GE(changed.count(), 1);

    // Tracking on: a talker moves the camera to that direction's preset; nothing is read back.
    s.OnTrackingEnable(true);
    CamDouble().TakeCommands();
    s.OnTrackingDirection(4);
    EXPECT_EQ(CamDouble().TakeCommands(), (Calls{SetPosition(1, s.Settings().m_upPresets[4])}));
    EXPECT_EQ(s.TalkerDirection(), 4);
    ASSERT_EQ(talker.count(), 1);
    EXPECT_EQ(talker.at(0).at(0).toInt(), 4);
    EXPECT_EQ(s.Direction(), 2) << "the chosen direction stays";

    // The Manual page stops tracking's hold on the camera; the talker is no longer followed.
    s.OnSelchangeTab(kManualPage);
    EXPECT_EQ(s.Page(), kManualPage);
    CamDouble().TakeCommands();
    s.OnTrackingDirection(3);
    EXPECT_TRUE(CamDouble().TakeCommands().empty());
    s.OnSelchangeTab(kManualPage);
    EXPECT_TRUE(CamDouble().TakeCommands().empty()) << "the page in force again changes nothing";

    s.OnTrackingEnable(false);
    EXPECT_EQ(s.TalkerDirection(), 255) << "without tracking nobody is followed";
}

TEST_F(ControllerSessionTest, ChoicesThatReloadFactoryPresetsAskFirstAndAnswerNoKeepsEverything)
{
    WriteProfile("[QVT-VZ1]\nDevice=1\nPosition=0\nModified=1\n");
    ControllerSession& s = Make(3);
    const CCameraSettings before = s.Settings();
    confirm = false;
    struct Row { const char* what; std::function<bool()> act; };
    const Row rows[] = {{"device", [&] { return s.OnSelchangeDevice(2); }},
                        {"position", [&] { return s.OnSelchangePosition(3); }},
                        {"reverse", [&] { return s.OnReverse(1); }}};
    for (const Row& row : rows) {
        EXPECT_FALSE(row.act()) << row.what;
        EXPECT_EQ(std::tuple(s.DeviceKind(), s.Position(), s.Reverse(), s.Modified()), std::tuple(1, 0, 0, 1))
            << row.what;
    }
    EXPECT_EQ(questions, (std::vector<UINT>{35014, 35014, 35014}));
    EXPECT_EQ(s.Settings(), before);

    confirm = true;
    EXPECT_TRUE(s.OnSelchangeDevice(3));
    EXPECT_EQ(s.Modified(), 0);
    EXPECT_FALSE(s.Settings() == before) << "the triangle's factory presets";
    // Steering teaches, yet giving up the speakerphone replaces nothing: no question.
    s.OnPadButton(1004, true);
    ASSERT_EQ(s.Modified(), 1);
    const std::size_t asked = questions.size();
    EXPECT_TRUE(s.OnSelchangeDevice(0));
    EXPECT_EQ(questions.size(), asked);
    EXPECT_EQ(std::tuple(s.DeviceKind(), s.Tracking()), std::tuple(0, false));
    EXPECT_EQ(std::tuple(s.Settings().m_nUpDirection, s.Settings().m_nFrontDirection), std::tuple(6, 6));
}

TEST_F(ControllerSessionTest, ADirectionIsChosenOnlyOnTheAutoPageInUpsideOrFront)
{
    constexpr const char* kProfile = "[QVT-VZ1]\nDevice=1\n[General]\nTracking=0\n[Front]\nDirection=1\n"
                                     "[FrontDir4]\nPan=40\nTilt=41\nZoom=42\nRoll=43\n";
    struct Row { const char* why; int mode, page, direction; };
    const Row refused[] = {{"no camera: nothing to teach", kNoCamera, kAutoPage, 4}, {"OHP", kCameraOhp, kAutoPage, 4},
                           {"Manual page", kCameraFront, kManualPage, 4}, {"no such direction", kCameraFront, kAutoPage, 7},
                           {"negative", kCameraFront, kAutoPage, -1}};
    for (const Row& r : refused) {
        WriteProfile(kProfile);
        ControllerSession& s = Make(r.mode);
        s.OnSelchangeTab(r.page);
        CamDouble().TakeCommands();
        s.OnSelectDirection(r.direction);
        EXPECT_EQ(s.Settings().m_nFrontDirection, 1) << r.why;
        EXPECT_EQ(CamDouble().TakeCommands(), Calls{}) << r.why;
    }
    // In Front: what the camera shows is taught to direction 1, then direction 4's preset sent.
    WriteProfile(kProfile);
    ControllerSession& s = Make(kCameraFront);
    CamDouble().pan = {1, 99};
    s.OnSelectDirection(4);
    EXPECT_EQ(CamDouble().TakeCommands(), (Calls{"CamGetPan()", "CamGetTilt()", "CamGetZoom()", "CamGetRoll()",
                                                 "CamSetPosition(2,40,41,42,43)"}));
    EXPECT_EQ(s.Settings().m_frontPresets[1].m_nPan, 99);
    EXPECT_EQ(s.Direction(), 4);
}

TEST_F(ControllerSessionTest, LeavingAPageStopsAHeldPadReadsBackAndSendsTheNewPage)
{
    WriteProfile("[General]\nUser Mode=0\nTracking=0\n");
    ControllerSession& s = Make(kCameraOhp);
    s.OnPadButton(1012, true);
    CamDouble().zoom = {1, 120};
    CamDouble().TakeCommands();
    s.OnSelchangeTab(kManualPage);
    EXPECT_EQ(CamDouble().TakeCommands(), (Calls{"CamDrive(0)", "CamGetZoom()", "CamSelectView(0)"}));
    EXPECT_EQ(s.Settings().m_nOhpZoom, 120);
    // The pad counts as released: leaving the Auto page again stops nothing.
    s.OnSelchangeTab(kAutoPage);
    CamDouble().TakeCommands();
    s.OnSelchangeTab(kManualPage);
    EXPECT_EQ(CamDouble().TakeCommands(), (Calls{"CamGetZoom()", "CamSelectView(0)"}));
}

TEST_F(ControllerSessionTest, TrackingRunsOnlyOnTheAutoPageWithASpeakerphone)
{
    WriteProfile("[QVT-VZ1]\nDevice=0\n[General]\nTracking=1\n");
    EXPECT_EQ(Load().StartTracking(), 0);
    WriteProfile("[QVT-VZ1]\nDevice=3\n[General]\nTracking=1\n");
    ControllerSession& s = Load();
    EXPECT_EQ(s.StartTracking(), 1);
    EXPECT_TRUE(s.TrackingWorkerRunning());
    EXPECT_EQ(s.StartTracking(), 0) << "one worker at a time";
    s.OnSelchangeTab(kManualPage);
    EXPECT_FALSE(s.TrackingWorkerRunning());
    EXPECT_EQ(s.StartTracking(), 0);
    s.OnSelchangeTab(kAutoPage);
    EXPECT_TRUE(s.TrackingWorkerRunning());
    s.Shutdown();
    EXPECT_FALSE(s.TrackingWorkerRunning());
}

TEST_F(ControllerSessionTest, TheTrackingSwitchTeachesFirstAndTheWorkersReportsMoveTheCamera)
{
    WriteProfile("[QVT-VZ1]\nDevice=3\n[General]\nTracking=0\n[Up]\nMode=1\nDirection=2\n"
                 "[UpDir2]\nPan=20\nTilt=21\nZoom=22\nRoll=23\n");
    ControllerSession& s = Make(kCameraUpside);
    // Where the user steered to before switching tracking on is taught first.
    CamDouble().pan = {1, 50};
    CamDouble().roll = {1, 53};
    s.OnTrackingEnable(true);
    EXPECT_EQ(s.Settings().m_upPresets[2].m_nPan, 50);
    EXPECT_TRUE(s.Tracking());
    EXPECT_TRUE(s.TrackingWorkerRunning());
    // The worker's first report, posted to the session, is "nobody": the centre preset.
    EXPECT_TRUE(WaitUntil([] {
        const Calls c = CamDouble().Commands();
        return !c.empty() && c.back() == "CamSetPosition(1,90,0,90,90)";
    })) << "the worker's report never moved the camera";
    CamDouble().TakeCommands();
    s.OnTrackingEnable(false);
    EXPECT_FALSE(s.TrackingWorkerRunning());
    EXPECT_EQ(CamDouble().TakeCommands(), Calls{"CamSetPosition(1,50,0,90,53)"})
        << "tracking held the camera, so nothing is read back; the chosen preset is sent";
}

TEST_F(ControllerSessionTest, TheCameraOpensOnThePortFoundAndABorrowedOneIsLookedForAnew)
{
    // The library reports the link and the stand position to the main window.
    RecordingWindow frame;
    AfxSetMainWnd(&frame);
    ControllerSession& s = Make(kCameraUpside);
    CamDouble().port = "/dev/pts/5";
    EXPECT_EQ(s.FindCameraPort(), 1);
    CamDouble().findPortResult = 0;
    CamDouble().port = "/dev/pts/6";
    EXPECT_EQ(s.FindCameraPort(), 0);
    EXPECT_EQ(s.CameraPort(), QStringLiteral("/dev/pts/5")) << "a failed lookup keeps the port";
    EXPECT_EQ(s.OpenCamera(), 1);
    EXPECT_EQ(CamDouble().wnd, &frame);
    EXPECT_EQ(CamDouble().TakeCommands().front(), "CamOpen(/dev/pts/5,1027,1029)");

    QStringList order;
    QObject::connect(&s, &ControllerSession::cameraBorrowed, [&] { order << "borrowed"; });
    QObject::connect(&s, &ControllerSession::cameraReturned, [&] { order << "returned"; });
    s.BorrowCamera();
    EXPECT_EQ(CamDouble().TakeCommands(), (Calls{"CamClose()"}));
    CamDouble().findPortResult = 1;
    CamDouble().port = "/dev/pts/78";
    s.ReturnCamera();
    EXPECT_EQ(order, (QStringList{"borrowed", "returned"}));
    EXPECT_EQ(s.CameraPort(), QStringLiteral("/dev/pts/78")) << "the restarted camera's new port";
    const Calls calls = CamDouble().TakeCommands();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front(), "CamOpen(/dev/pts/78,1027,1029)");
}

TEST_F(ControllerSessionTest, AnotherCameraComesFromTheProfileAndAChangeReconnects)
{
    WriteProfile("[QVT-VZ1]\nDevice=0\n[Camera]\nConnection=2\nHost=127.0.0.1\nTransport=1\nPort=5678\nFraming=1\n");
    ControllerSession& s = Make(kCameraRelease);
    EXPECT_EQ(CamConnection().Describe(), "tcp 127.0.0.1:5678");
    EXPECT_EQ(CamConnection().framing, CameraConnection::kOneParticipant);
    // Back to the QVT-VZ1: the old camera is read back and closed, the library configured,
    // the profile written, and the watch is asked to look for the camera again.
    QSignalSpy lookAgain(&s, &ControllerSession::cameraConnectionChanged);
    s.ChangeCameraConnection(CameraConnection{});
    const Calls calls = CamDouble().TakeCommands();
    const auto at = [&](const std::string& c) { return std::find(calls.begin(), calls.end(), c) - calls.begin(); };
    EXPECT_LT(at("CamGetZoom()"), at("CamClose()"));
    EXPECT_LT(at("CamClose()"), at("CamConfigure(usb)"));
    EXPECT_LT(at("CamConfigure(usb)"), static_cast<long>(calls.size()));
    EXPECT_EQ(lookAgain.count(), 1);
    EXPECT_EQ(s.CameraMode(), kNoCamera);
    EXPECT_EQ(Saved("Camera", "Connection"), 0) << "a section once written stays, now saying USB";
}

TEST_F(ControllerSessionTest, CameraMessagesReachTheSessionAndALostLinkIsTold)
{
    ControllerSession& s = Make(1);
    QSignalSpy down(&s, &ControllerSession::cameraLinkDown);
    QSignalSpy balloons(&s, &ControllerSession::trayMessage);
    SendMessage(&s, WM_CAMERA_MODE, 3, 0);
    EXPECT_EQ(s.CameraMode(), 3);
    SendMessage(&s, WM_CAMERA_LINK, 0, 0);
    EXPECT_EQ(s.CameraMode(), 255);
    SendMessage(&s, WM_CAMERA_COMM_ERROR, 0, 0);
    EXPECT_EQ(down.count(), 2);
    ASSERT_EQ(balloons.count(), 1);
    EXPECT_EQ(balloons.at(0).at(0).toUInt(), 35013u);
}

} // namespace
