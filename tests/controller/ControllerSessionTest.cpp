// The controller core with no widget: its operations over the recording camera double, the
// camera calls they make and the signals the views redraw from.
#include "controller/ControllerSession.h"

#include "platform/WinMessages.h"
#include "settings/SettingFile.h"
#include "tests/support/CameraApiDouble.h"
#include "tests/support/TestEnvironment.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

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
    void WriteProfile(const char* text) { std::ofstream(path, std::ios::binary) << text; }
    // A loaded session whose camera is open in stand position mode.
    ControllerSession& Make(int mode = 1)
    {
        session = std::make_unique<ControllerSession>(path);
        session->SetConfirm([this](UINT id) { return questions.push_back(id), confirm; });
        session->Load();
        CamDouble().open = 1;
        session->OnCameraMode(mode);
        CamDouble().TakeCommands();
        return *session;
    }
    std::string path;
    std::unique_ptr<ControllerSession> session;
    std::vector<UINT> questions;
    bool confirm = true;
};

TEST_F(ControllerSessionTest, PageDirectionAndTrackingDriveTheCameraAndTellTheViews)
{
    WriteProfile("[QVT-VZ1]\nDevice=1\n[Up]\nMode=1\nDirection=0\n");
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
    const CCameraPosition& p4 = s.Settings().m_upPresets[4];
    EXPECT_EQ(CamDouble().TakeCommands(), (Calls{"CamSetPosition(1," + std::to_string(p4.m_nPan) + "," +
                                                 std::to_string(p4.m_nTilt) + "," + std::to_string(p4.m_nZoom) +
                                                 "," + std::to_string(p4.m_nRoll) + ")"}));
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
    EXPECT_TRUE(s.OnSelchangeDevice(0));
    EXPECT_EQ(std::tuple(s.Settings().m_nUpDirection, s.Settings().m_nFrontDirection), std::tuple(6, 6));
}

TEST_F(ControllerSessionTest, BorrowingTheCameraStopsItAndReturningItLooksForItAnew)
{
    ControllerSession& s = Make(1);
    QStringList order;
    QObject::connect(&s, &ControllerSession::cameraBorrowed, [&] { order << "borrowed"; });
    QObject::connect(&s, &ControllerSession::cameraReturned, [&] { order << "returned"; });
    s.BorrowCamera();
    EXPECT_EQ(CamDouble().TakeCommands(), (Calls{"CamClose()"}));
    CamDouble().port = "/dev/pts/78";
    s.ReturnCamera();
    EXPECT_EQ(order, (QStringList{"borrowed", "returned"}));
    EXPECT_EQ(s.CameraPort(), QStringLiteral("/dev/pts/78")) << "the restarted camera's new port";
    const Calls calls = CamDouble().TakeCommands();
    ASSERT_FALSE(calls.empty());
    EXPECT_TRUE(calls.front().starts_with("CamOpen(/dev/pts/78,")) << calls.front();
}

TEST_F(ControllerSessionTest, ImportWithoutSpeakerphoneGoesToTheFilesPresetThenCentres)
{
    const std::string file = (TestRootDir() + QStringLiteral("/plain.set")).toStdString();
    std::ofstream(file) << "[Up]\nMode=1\nDirection=2\n[Front]\nDirection=4\n";
    WriteProfile("[QVT-VZ1]\nDevice=2\nModified=1\n");
    ControllerSession& s = Make(1);
    QSignalSpy changed(&s, &ControllerSession::stateChanged);
    ASSERT_EQ(s.ImportSettingsFrom(file), SettingFileOutcome::Done);
    EXPECT_EQ(std::tuple(s.DeviceKind(), s.Modified(), s.Tracking()), std::tuple(0, 0, false));
    EXPECT_EQ(std::tuple(s.Settings().m_nUpDirection, s.Settings().m_nFrontDirection), std::tuple(6, 6));
    const CCameraPosition& p2 = s.Settings().m_upPresets[2];
    EXPECT_EQ(CamDouble().TakeCommands(),
              (Calls{"CamSetPosition(1," + std::to_string(p2.m_nPan) + "," + std::to_string(p2.m_nTilt) + "," +
                     std::to_string(p2.m_nZoom) + "," + std::to_string(p2.m_nRoll) + ")"}));
    EXPECT_GE(changed.count(), 1);

    // A file from a newer program, or none at all: nothing changes.
    std::ofstream(file) << "[QVT-VZ1]\nDevice=9\n";
    const CCameraSettings before = s.Settings();
    EXPECT_EQ(s.ImportSettingsFrom(file), SettingFileOutcome::InvalidDevice);
    EXPECT_EQ(s.ImportSettingsFrom(file + ".missing/x"), SettingFileOutcome::NotRead);
    EXPECT_EQ(s.Settings(), before);
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
