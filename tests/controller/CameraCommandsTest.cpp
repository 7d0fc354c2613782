// The camera command layer against the recording double of the camera library: every test
// asserts the exact calls that reach the camera.
#include "camera/control/CameraCommands.h"
#include "platform/WinMessages.h"
#include "settings/CameraSettings.h"
#include "tests/support/CameraApiDouble.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Calls = std::vector<std::string>;

namespace {
const Calls kReadAll{"CamGetPan()", "CamGetTilt()", "CamGetZoom()", "CamGetRoll()"};
struct RecordingEvents final : CameraCommandEvents
{
    void CameraModeChanged(int mode) override { modes.push_back(mode); }
    void CameraStateChanged() override { ++layouts; }
    void ShowTrayMessage(UINT id) override { balloons.push_back(id); }
    bool LoadFactoryFrontPreset(int direction) override
    {
        factoryDirections.push_back(direction);
        return hasSpeakerphone;
    }
    bool hasSpeakerphone = false;
    int layouts = 0;
    std::vector<int> factoryDirections, modes;
    std::vector<UINT> balloons;
};

class CameraCommandsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Mode(kNoCamera);  // the camera open, as read-backs need
        // Distinct values everywhere, so a call that takes the wrong one shows.
        for (int d = 0; d < 7; ++d) {
            settings.m_upPresets[d] = CCameraPosition(10 + d, 20 + d, 30 + d, 40 + d);
            settings.m_frontPresets[d] = CCameraPosition(110 + d, 120 + d, 130 + d, 140 + d);
        }
        settings.m_nUpDirection = 2;
        settings.m_nFrontDirection = 4;
        settings.m_nOhpZoom = 77;
        settings.m_nOhpRoll = 180;
        settings.m_nFreeZoom = 66;
        settings.m_userPosition = CCameraPosition(1, 2, 3, 4);
    }
    // Puts the layer into a stand position without recording the calls that takes.
    void Mode(int mode)
    {
        cmd.m_nCameraMode = mode;
        CamDouble().Reset();
        CamDouble().open = 1;
    }
    Calls Take() { return CamDouble().TakeCommands(); }
    CCameraSettings settings;
    int modified = 0;
    RecordingEvents events;
    CCameraCommands cmd{settings, modified, events};
};

TEST_F(CameraCommandsTest, ApplySendsTheSettingOfEachStandPositionOnBothPages)
{
    // view: the Up mode on the Auto page, the User mode on the Manual page.
    struct Row { int page, mode, view; Calls expected; };
    const Row rows[] = {
        {kAutoPage, kCameraRelease, 1, {"CamSetPosition(2,90,0,66,90)"}},
        {kAutoPage, kCameraUpside, 1, {"CamSetPosition(1,12,22,32,42)"}},
        {kAutoPage, kCameraUpside, 0, {"CamSelectView(0)"}},
        {kAutoPage, kCameraUpside, 3, {"CamSelectView(3)"}},
        {kAutoPage, kCameraOhp, 1, {"CamSetPosition(2,90,0,77,180)"}},
        {kAutoPage, kCameraFront, 1, {"CamSetPosition(2,114,124,134,144)"}},
        {kAutoPage, kNoCamera, 1, {}},
        {kManualPage, kNoCamera, 2, {}},
    };
    std::vector table(std::begin(rows), std::end(rows));
    for (int mode : {kCameraRelease, kCameraUpside, kCameraOhp, kCameraFront}) {
        table.push_back({kManualPage, mode, 2, {"CamSetPosition(2,1,2,3,4)"}});
        table.push_back({kManualPage, mode, 0, {"CamSelectView(0)"}});
    }
    for (const auto& r : table) {
        settings.m_nMode = r.page;
        (r.page == kAutoPage ? settings.m_nUpMode : settings.m_nUserMode) = r.view;
        Mode(r.mode);
        for (BOOL force : {FALSE, TRUE}) {
            cmd.ApplyCameraPosition(force);
            EXPECT_EQ(Take(), r.expected) << "page " << r.page << " mode " << r.mode << " view " << r.view
                                          << " forced " << force;
        }
    }
}

TEST_F(CameraCommandsTest, ReadBackStoresWhatEachStandPositionLearns)
{
    settings.m_nUpMode = 1;
    const auto save = [&](int mode) {
        Mode(mode);
        CamDouble().pan = {1, 201};
        CamDouble().tilt = {1, 5};
        CamDouble().zoom = {1, 150};
        CamDouble().roll = {1, 270};
        cmd.SaveCameraPosition();
        return Take();
    };
    EXPECT_EQ(save(kCameraRelease), Calls{"CamGetZoom()"});
    EXPECT_EQ(settings.m_nFreeZoom, 150);
    EXPECT_EQ(save(kCameraOhp), Calls{"CamGetZoom()"});
    EXPECT_EQ(settings.m_nOhpZoom, 150);
    EXPECT_EQ(settings.m_nOhpRoll, 180) << "OHP never learns the roll from the camera";
    EXPECT_EQ(save(kCameraUpside), kReadAll);
    EXPECT_EQ(settings.m_upPresets[2], CCameraPosition(201, 5, 150, 270));
    EXPECT_EQ(settings.m_upPresets[3].m_nPan, 13) << "only the preset of the chosen direction";
    EXPECT_EQ(save(kCameraFront), kReadAll);
    EXPECT_EQ(settings.m_frontPresets[4], CCameraPosition(201, 5, 150, 270));
    EXPECT_EQ(save(kNoCamera), Calls{});
    settings.m_nUpMode = 3;
    EXPECT_EQ(save(kCameraUpside), Calls{}) << "a built-in view learns nothing";
    // The Manual page learns only its own position.
    settings.m_nMode = kManualPage;
    settings.m_nUserMode = 3;
    EXPECT_EQ(save(kCameraFront), Calls{});
    settings.m_nUserMode = 2;
    settings.m_frontPresets[4].m_nPan = 114;
    EXPECT_EQ(save(kCameraFront), kReadAll);
    EXPECT_EQ(settings.m_userPosition, CCameraPosition(201, 5, 150, 270));
    EXPECT_EQ(settings.m_frontPresets[4].m_nPan, 114);
    EXPECT_EQ(save(kNoCamera), Calls{});
}

TEST_F(CameraCommandsTest, AGetterThatFailsKeepsTheStoredValue)
{
    Mode(kCameraFront);
    CamDouble().pan = {0, 999};
    CamDouble().tilt = {1, 7};
    CamDouble().zoom = {0, 999};
    CamDouble().roll = {1, 0};
    cmd.SaveCameraPosition();
    EXPECT_EQ(settings.m_frontPresets[4], CCameraPosition(114, 7, 134, 0));
}

TEST_F(CameraCommandsTest, AHeldPadIsStoppedBeforeTheReadBack)
{
    Mode(kCameraRelease);
    cmd.OnPadButton(1012, 1);
    cmd.SaveCameraPosition();
    EXPECT_EQ(Take(), (Calls{"CamDrive(16)", "CamDrive(0)", "CamGetZoom()"}));
    EXPECT_EQ(cmd.m_wPadBits, 0);
    cmd.SaveCameraPosition();
    EXPECT_EQ(Take(), Calls{"CamGetZoom()"}) << "stopped once only";
}

TEST_F(CameraCommandsTest, TrackingInUpsideOrFrontKeepsReadBackAndUnforcedApplyAway)
{
    settings.m_bTracking = 1;
    settings.m_nUpMode = 1;
    for (const auto& [mode, forced] : {std::pair{kCameraUpside, "CamSetPosition(1,12,22,32,42)"},
                                       {kCameraFront, "CamSetPosition(2,114,124,134,144)"}}) {
        Mode(mode);
        cmd.OnPadButton(1004, 1);
        Take();
        cmd.SaveCameraPosition();
        cmd.ApplyCameraPosition(FALSE);
        EXPECT_EQ(Take(), Calls{}) << "mode " << mode;
        EXPECT_EQ(cmd.m_wPadBits, 8) << "tracking leaves a held pad alone";
        cmd.OnPadButton(1004, 0);
        Take();
        cmd.ApplyCameraPosition(TRUE);
        EXPECT_EQ(Take(), Calls{forced});
    }
}

TEST_F(CameraCommandsTest, TrackingDoesNotHoldTheCameraInReleaseOhpOrOnTheManualPage)
{
    settings.m_bTracking = 1;
    Mode(kCameraOhp);
    CamDouble().zoom = {1, 88};
    cmd.SaveCameraPosition();
    cmd.ApplyCameraPosition(FALSE);
    EXPECT_EQ(Take(), (Calls{"CamGetZoom()", "CamSetPosition(2,90,0,88,180)"}));
    settings.m_nMode = kManualPage;
    settings.m_nUserMode = 3;
    Mode(kCameraFront);
    cmd.ApplyCameraPosition(FALSE);
    EXPECT_EQ(Take(), Calls{"CamSelectView(3)"});
}

TEST_F(CameraCommandsTest, ModeChangeReadsBackTheOldModeOnTheAutoPageThenForcesTheNewOne)
{
    settings.m_bTracking = 1;  // a forced apply sends even while tracking holds the camera
    Mode(kCameraRelease);
    CamDouble().zoom = {1, 120};
    EXPECT_EQ(cmd.OnCameraMode(kCameraFront), 0);
    EXPECT_EQ(Take(), (Calls{"CamGetZoom()", "CamSetPosition(2,114,124,134,144)"}));
    EXPECT_EQ(settings.m_nFreeZoom, 120);
    EXPECT_EQ(cmd.m_nCameraMode, kCameraFront);
    EXPECT_EQ(events.modes, std::vector<int>{kCameraFront});
    EXPECT_EQ(events.layouts, 1);
    // The Manual page sends its own setting without reading back.
    settings.m_nMode = kManualPage;
    settings.m_nUserMode = 2;
    Mode(kCameraUpside);
    cmd.OnCameraMode(kCameraOhp);
    EXPECT_EQ(Take(), Calls{"CamSetPosition(2,1,2,3,4)"});
}

TEST_F(CameraCommandsTest, RepeatedOrUnknownModeChangesNothing)
{
    Mode(kCameraOhp);
    for (WPARAM m : {WPARAM(2), WPARAM(4), WPARAM(255), WPARAM(-1)})
        EXPECT_EQ(cmd.OnCameraMode(m), 0);
    EXPECT_EQ(Take(), Calls{});
    EXPECT_EQ(cmd.m_nCameraMode, kCameraOhp);
    EXPECT_TRUE(events.modes.empty());
    EXPECT_EQ(events.layouts, 0);
}

TEST_F(CameraCommandsTest, LinkUpSendsTheCurrentSettingUnforced)
{
    Mode(kCameraOhp);
    cmd.OnCameraLink(1);
    EXPECT_EQ(Take(), Calls{"CamSetPosition(2,90,0,77,180)"});
    EXPECT_EQ(events.layouts, 1);
    settings.m_bTracking = 1;
    Mode(kCameraFront);
    cmd.OnCameraLink(1);
    EXPECT_EQ(Take(), Calls{});
}

TEST_F(CameraCommandsTest, LinkLossAndCommunicationErrorCloseAndForgetTheMode)
{
    for (bool commError : {false, true}) {
        Mode(kCameraFront);
        events.modes.clear();
        commError ? cmd.OnCameraCommError() : cmd.OnCameraLink(0);
        EXPECT_EQ(Take(), Calls{"CamClose()"});
        EXPECT_EQ(cmd.m_nCameraMode, kNoCamera);
        EXPECT_EQ(events.modes, std::vector<int>{kNoCamera});
        EXPECT_EQ(events.balloons, commError ? std::vector<UINT>{35013} : std::vector<UINT>{})
            << "only the communication error shows a balloon";
    }
    EXPECT_EQ(events.layouts, 2);
    // With no camera nothing is applied or read, but the pads still drive.
    cmd.ApplyCameraPosition(TRUE);
    cmd.SaveCameraPosition();
    cmd.OnPadButton(1008, 1);
    EXPECT_EQ(Take(), Calls{"CamDrive(1)"});
}

TEST_F(CameraCommandsTest, PadButtonsDriveWithTheirBitsAndReleaseAlwaysStops)
{
    Mode(kCameraRelease);
    const std::vector<std::pair<WPARAM, int>> table{{1003, 10}, {1004, 8}, {1005, 9}, {1006, 2}, {1008, 1},
                                                    {1009, 6},  {1010, 4}, {1011, 5}, {1012, 16}, {1013, 32},
                                                    {1007, 0},  {1002, 0}, {1014, 0}};
    for (const auto& [id, bits] : table) {
        cmd.OnPadButton(id, 1);
        EXPECT_EQ(Take(), Calls{"CamDrive(" + std::to_string(bits) + ")"}) << "id " << id;
        EXPECT_EQ(cmd.m_wPadBits, bits);
    }
    cmd.OnPadButton(1004, 0);
    cmd.OnPadButton(1004, 0);
    cmd.OnPadButton(1004, 2);  // anything but 1 stops
    EXPECT_EQ(Take(), (Calls{"CamDrive(0)", "CamDrive(0)", "CamDrive(0)"}));
    EXPECT_EQ(modified, 0) << "steering in Release teaches no direction preset";
    Mode(kCameraUpside);
    cmd.OnPadButton(1004, 0);
    EXPECT_EQ(modified, 0) << "a release alone changes nothing";
    cmd.OnPadButton(1004, 1);
    EXPECT_EQ(modified, 1) << "steering in Upside or Front on the Auto page marks the presets";
    modified = 0;
    settings.m_nMode = kManualPage;
    Mode(kCameraFront);
    cmd.OnPadButton(1004, 1);
    EXPECT_EQ(modified, 0) << "the Manual page teaches no direction preset";
}

TEST_F(CameraCommandsTest, SettersReadBackWhereTheyMustAndApply)
{
    settings.m_nUpMode = 1;
    Mode(kCameraUpside);
    CamDouble().pan = {1, 55};
    const auto readAllThen = [](const char* call) {
        Calls c = kReadAll;
        c.push_back(call);
        return c;
    };
    cmd.SetUpsideMode(1, 0, 1, 2, 3, 4);
    EXPECT_EQ(Take(), readAllThen("CamSetPosition(1,1,2,3,4)"));
    cmd.SetUpsideMode(1, -1, -1, -1, -1, -1);
    EXPECT_EQ(settings.m_upPresets[2].m_nPan, 55) << "a negative flag keeps the preset, read back";
    Take();
    cmd.SetUpsideMode(0, -1, -1, -1, -1, -1);
    EXPECT_EQ(Take().back(), "CamSelectView(0)");
    Mode(kCameraOhp);
    cmd.SetOhpRoll(270);
    EXPECT_EQ(Take(), (Calls{"CamGetZoom()", "CamSetPosition(2,90,0,90,270)"}));
    cmd.SetOhpZoom(100);
    EXPECT_EQ(Take(), Calls{"CamSetPosition(2,90,0,100,270)"});
    Mode(kCameraRelease);
    cmd.SetFreeZoom(12);
    EXPECT_EQ(Take(), Calls{"CamSetPosition(2,90,0,12,90)"});
    Mode(kCameraFront);
    cmd.SetFrontPreset(4, 90, 0, 180, 90);
    EXPECT_EQ(Take(), Calls{"CamSetPosition(2,90,0,180,90)"});
    settings.m_nMode = kManualPage;
    settings.m_nUserMode = 2;
    cmd.SetUserMode(3, -1, -1, -1, -1);
    EXPECT_EQ(Take(), readAllThen("CamSelectView(3)"));
    cmd.SetUserMode(2, 90, 0, 180, 90);
    EXPECT_EQ(Take(), Calls{"CamSetPosition(2,90,0,180,90)"});
}

TEST_F(CameraCommandsTest, ADirectionOutsideTheSevenPresetsUsesTheCentre)
{
    settings.m_nUpMode = 1;
    settings.m_nUpDirection = 7;
    settings.m_nFrontDirection = -3;
    Mode(kCameraUpside);
    cmd.ApplyCameraPosition(FALSE);
    EXPECT_EQ(Take(), Calls{"CamSetPosition(1,16,26,36,46)"});
    EXPECT_EQ(settings.m_nUpDirection, 6);
    Mode(kCameraFront);
    CamDouble().pan = {1, 1};
    cmd.SaveCameraPosition();
    EXPECT_EQ(settings.m_frontPresets[6].m_nPan, 1);
    EXPECT_EQ(settings.m_nFrontDirection, 6);
    cmd.SetFrontPreset(1000, 5, 6, 7, 8);
    EXPECT_EQ(settings.m_frontPresets[6].m_nZoom, 7);
}

TEST_F(CameraCommandsTest, OpenTakesThePortAndReadsTheVideoFormat)
{
    CamDouble().videoFormat = 1;
    EXPECT_EQ(cmd.OpenCamera("/dev/pts/9", nullptr), 1);
    EXPECT_EQ(Take(), (Calls{"CamOpen(/dev/pts/9,1027,1029)", "CamGetVideoFormat()"}));
    EXPECT_EQ(cmd.m_nVideoFormat, 1);
    CamDouble().present = 0;
    EXPECT_EQ(cmd.OpenCamera("/dev/pts/9", nullptr), 0);
    EXPECT_EQ(Take(), Calls{});
}

TEST_F(CameraCommandsTest, TalkerDirectionsMoveToTheirPresetOnlyWhileTrackingOnTheAutoPage)
{
    settings.m_nUpMode = 1;
    Mode(kCameraUpside);
    cmd.OnTrackingDirection(1);
    EXPECT_EQ(Take(), Calls{}) << "tracking off";
    settings.m_bTracking = 1;
    cmd.OnTrackingDirection(1);
    cmd.OnTrackingDirection(255);
    EXPECT_EQ(Take(), (Calls{"CamSetPosition(1,11,21,31,41)", "CamSetPosition(1,16,26,36,46)"}));
    EXPECT_EQ(settings.m_nUpDirection, 2) << "the chosen direction stays";
    Mode(kCameraFront);
    cmd.OnTrackingDirection(0);
    EXPECT_EQ(Take(), Calls{"CamSetPosition(2,110,120,130,140)"});
    for (WPARAM bad : {WPARAM(7), WPARAM(200), WPARAM(254), WPARAM(-1)})
        cmd.OnTrackingDirection(bad);
    EXPECT_EQ(Take(), Calls{}) << "a byte that names no preset is dropped";
    for (int mode : {kCameraRelease, kCameraOhp, kNoCamera}) {
        cmd.m_nCameraMode = mode;
        cmd.OnTrackingDirection(3);
    }
    settings.m_nUpMode = 3;
    cmd.m_nCameraMode = kCameraUpside;
    cmd.OnTrackingDirection(3);
    settings.m_nMode = kManualPage;
    cmd.m_nCameraMode = kCameraFront;
    cmd.OnTrackingDirection(3);
    EXPECT_EQ(Take(), Calls{});
}

TEST_F(CameraCommandsTest, OhpRotateStepsTheRollByQuarterTurns)
{
    Mode(kCameraOhp);
    CamDouble().zoom = {0, 0};
    const std::vector<std::pair<int, int>> steps{{90, 0}, {0, 270}, {270, 180}, {180, 90}, {45, 270}, {135, 0}};
    for (const auto& [from, to] : steps) {
        settings.m_nOhpRoll = from;
        cmd.OnViewButton(2);
        EXPECT_EQ(settings.m_nOhpRoll, to) << "from " << from;
    }
    EXPECT_EQ(Take().back(), "CamSetPosition(2,90,0,77,0)");
}

TEST_F(CameraCommandsTest, FrontViewButtonsSetThePresetAndMarkItModified)
{
    Mode(kCameraFront);
    cmd.OnViewButton(1);
    EXPECT_EQ(events.factoryDirections, std::vector<int>{4});
    EXPECT_EQ(Take(), Calls{"CamSetPosition(2,90,0,90,90)"}) << "no speakerphone: the plain default";
    EXPECT_EQ(modified, 1);
    modified = 0;
    events.hasSpeakerphone = true;
    settings.m_frontPresets[4] = CCameraPosition(1, 2, 3, 4);
    cmd.OnViewButton(1);
    EXPECT_EQ(Take(), Calls{"CamSetPosition(2,1,2,3,4)"}) << "the factory preset as loaded";
    EXPECT_EQ(modified, 1);
    modified = 0;
    cmd.OnViewButton(2);
    EXPECT_EQ(Take(), Calls{"CamSetPosition(2,90,0,180,90)"});
    EXPECT_EQ(modified, 1);
    cmd.OnViewButton(3);
    EXPECT_EQ(Take(), Calls{});
}

TEST_F(CameraCommandsTest, ViewButtonsOfEachModeAndOfTheManualPage)
{
    Mode(kCameraRelease);
    for (int button : {1, 2, 3})
        cmd.OnViewButton(button);
    EXPECT_EQ(Take(), (Calls{"CamSetPosition(2,90,0,90,90)"}));
    Mode(kCameraUpside);
    cmd.OnViewButton(3);
    EXPECT_EQ(settings.m_nUpMode, 0);
    cmd.OnViewButton(1);
    EXPECT_EQ(settings.m_nUpMode, 1);
    EXPECT_EQ(Take(), (Calls{"CamSelectView(0)", "CamSetPosition(1,12,22,32,42)"}));
    Mode(kCameraOhp);
    cmd.OnViewButton(1);
    EXPECT_EQ(Take(), Calls{"CamSetPosition(2,90,0,100,180)"});
    settings.m_nMode = kManualPage;
    cmd.OnViewButton(1);
    EXPECT_EQ(settings.m_nUserMode, 2);
    cmd.OnViewButton(3);
    EXPECT_EQ(settings.m_nUserMode, 0);
    Calls expected{"CamSetPosition(2,90,0,180,90)"};
    expected.insert(expected.end(), kReadAll.begin(), kReadAll.end());
    expected.push_back("CamSelectView(0)");
    EXPECT_EQ(Take(), expected);
}

} // namespace
