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

struct RecordingEvents final : CameraCommandEvents
{
    void CameraModeChanged(int mode) override { modes.push_back(mode); }
    void RecalcLayout() override { ++layouts; }
    void ShowTrayMessage(UINT id) override { balloons.push_back(id); }
    bool LoadFactoryFrontPreset(int direction) override
    {
        factoryDirections.push_back(direction);
        return hasSpeakerphone;
    }
    bool hasSpeakerphone = false;
    std::vector<int> factoryDirections;
    std::vector<int> modes;
    int layouts = 0;
    std::vector<UINT> balloons;
};

void SetPreset(CCameraPosition& p, int pan, int tilt, int zoom, int roll)
{
    p.m_nPan = pan;
    p.m_nTilt = tilt;
    p.m_nZoom = zoom;
    p.m_nRoll = roll;
}

class CameraCommandsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CamDouble().Reset();
        // Distinct values everywhere, so a call that takes the wrong one shows.
        for (int d = 0; d < 7; ++d) {
            SetPreset(settings.m_upPresets[d], 10 + d, 20 + d, 30 + d, 40 + d);
            SetPreset(settings.m_frontPresets[d], 110 + d, 120 + d, 130 + d, 140 + d);
        }
        settings.m_nUpDirection = 2;
        settings.m_nFrontDirection = 4;
        settings.m_nOhpZoom = 77;
        settings.m_nOhpRoll = 180;
        settings.m_nFreeZoom = 66;
        SetPreset(settings.m_userPosition, 1, 2, 3, 4);
    }

    // Puts the layer into a stand position without recording the calls that takes.
    void Mode(int mode)
    {
        cmd.m_nCameraMode = mode;
        CamDouble().Reset();
    }

    Calls Take() { return CamDouble().TakeCommands(); }

    CCameraSettings settings;
    int modified = 0;
    RecordingEvents events;
    CCameraCommands cmd{settings, modified, events};
};

// --- Applying ---------------------------------------------------------------------------

TEST_F(CameraCommandsTest, ApplyOnAutoPageSendsTheSettingOfEachStandPosition)
{
    settings.m_nMode = kAutoPage;
    settings.m_nUpMode = 1;
    const std::vector<std::pair<int, Calls>> rows{
        {kCameraRelease, {"CamSetPosition(2,90,0,66,90)"}},
        {kCameraUpside, {"CamSetPosition(1,12,22,32,42)"}},
        {kCameraOhp, {"CamSetPosition(2,90,0,77,180)"}},
        {kCameraFront, {"CamSetPosition(2,114,124,134,144)"}},
        {kNoCamera, {}},
    };
    for (const auto& [mode, expected] : rows) {
        Mode(mode);
        cmd.ApplyCameraPosition(FALSE);
        EXPECT_EQ(Take(), expected) << "mode " << mode;
        cmd.ApplyCameraPosition(TRUE);
        EXPECT_EQ(Take(), expected) << "forced, mode " << mode;
    }
}

TEST_F(CameraCommandsTest, UpsideWithABuiltInViewSelectsThatView)
{
    Mode(kCameraUpside);
    for (int view : {0, 3}) {
        settings.m_nUpMode = view;
        cmd.ApplyCameraPosition(FALSE);
        EXPECT_EQ(Take(), Calls{"CamSelectView(" + std::to_string(view) + ")"});
    }
}

TEST_F(CameraCommandsTest, ApplyOnManualPageSendsTheUserSettingInEveryStandPosition)
{
    settings.m_nMode = kManualPage;
    for (int mode : {kCameraRelease, kCameraUpside, kCameraOhp, kCameraFront}) {
        Mode(mode);
        settings.m_nUserMode = 2;
        cmd.ApplyCameraPosition(FALSE);
        EXPECT_EQ(Take(), Calls{"CamSetPosition(2,1,2,3,4)"});
        settings.m_nUserMode = 0;
        cmd.ApplyCameraPosition(FALSE);
        EXPECT_EQ(Take(), Calls{"CamSelectView(0)"});
    }
    Mode(kNoCamera);
    settings.m_nUserMode = 2;
    cmd.ApplyCameraPosition(TRUE);
    EXPECT_EQ(Take(), Calls{});
}

// --- Reading back -----------------------------------------------------------------------

TEST_F(CameraCommandsTest, ReadBackStoresWhatEachStandPositionLearns)
{
    CamDouble().pan = {1, 200};
    auto camera = [&] {
        CamDouble().pan = {1, 201};
        CamDouble().tilt = {1, 5};
        CamDouble().zoom = {1, 150};
        CamDouble().roll = {1, 270};
    };
    settings.m_nUpMode = 1;

    Mode(kCameraRelease);
    camera();
    cmd.SaveCameraPosition();
    EXPECT_EQ(Take(), Calls{"CamGetZoom()"});
    EXPECT_EQ(settings.m_nFreeZoom, 150);

    Mode(kCameraOhp);
    camera();
    cmd.SaveCameraPosition();
    EXPECT_EQ(Take(), Calls{"CamGetZoom()"});
    EXPECT_EQ(settings.m_nOhpZoom, 150);
    EXPECT_EQ(settings.m_nOhpRoll, 180) << "OHP never learns the roll from the camera";

    const Calls all{"CamGetPan()", "CamGetTilt()", "CamGetZoom()", "CamGetRoll()"};
    Mode(kCameraUpside);
    camera();
    cmd.SaveCameraPosition();
    EXPECT_EQ(Take(), all);
    EXPECT_EQ(settings.m_upPresets[2].m_nPan, 201);
    EXPECT_EQ(settings.m_upPresets[2].m_nRoll, 270);
    EXPECT_EQ(settings.m_upPresets[3].m_nPan, 13) << "only the preset of the chosen direction";

    Mode(kCameraFront);
    camera();
    cmd.SaveCameraPosition();
    EXPECT_EQ(Take(), all);
    EXPECT_EQ(settings.m_frontPresets[4].m_nTilt, 5);
    EXPECT_EQ(settings.m_frontPresets[4].m_nZoom, 150);

    Mode(kNoCamera);
    cmd.SaveCameraPosition();
    EXPECT_EQ(Take(), Calls{});
}

TEST_F(CameraCommandsTest, UpsideWithABuiltInViewLearnsNothing)
{
    settings.m_nUpMode = 3;
    Mode(kCameraUpside);
    cmd.SaveCameraPosition();
    EXPECT_EQ(Take(), Calls{});
}

TEST_F(CameraCommandsTest, ManualPageLearnsOnlyItsOwnPosition)
{
    settings.m_nMode = kManualPage;
    CamDouble().pan = {1, 33};
    Mode(kCameraFront);
    settings.m_nUserMode = 3;
    cmd.SaveCameraPosition();
    EXPECT_EQ(Take(), Calls{});

    settings.m_nUserMode = 2;
    CamDouble().pan = {1, 33};
    cmd.SaveCameraPosition();
    EXPECT_EQ(Take().size(), 4u);
    EXPECT_EQ(settings.m_userPosition.m_nPan, 33);
    EXPECT_EQ(settings.m_frontPresets[4].m_nPan, 114);

    Mode(kNoCamera);
    cmd.SaveCameraPosition();
    EXPECT_EQ(Take(), Calls{});
}

TEST_F(CameraCommandsTest, AGetterThatFailsKeepsTheStoredValue)
{
    Mode(kCameraFront);
    CamDouble().pan = {0, 999};
    CamDouble().tilt = {1, 7};
    CamDouble().zoom = {0, 999};
    CamDouble().roll = {1, 0};
    cmd.SaveCameraPosition();
    const CCameraPosition& p = settings.m_frontPresets[4];
    EXPECT_EQ(p.m_nPan, 114);
    EXPECT_EQ(p.m_nTilt, 7);
    EXPECT_EQ(p.m_nZoom, 134);
    EXPECT_EQ(p.m_nRoll, 0);
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

// --- Tracking holds the camera ----------------------------------------------------------

TEST_F(CameraCommandsTest, TrackingInUpsideOrFrontKeepsReadBackAndUnforcedApplyAway)
{
    settings.m_bTracking = 1;
    settings.m_nUpMode = 1;
    for (int mode : {kCameraUpside, kCameraFront}) {
        Mode(mode);
        cmd.OnPadButton(1004, 1);
        Take();
        cmd.SaveCameraPosition();
        cmd.ApplyCameraPosition(FALSE);
        EXPECT_EQ(Take(), Calls{}) << "mode " << mode;
        EXPECT_EQ(cmd.m_wPadBits, 8) << "tracking leaves a held pad alone";
        cmd.OnPadButton(1004, 0);
        Take();
    }
    Mode(kCameraUpside);
    cmd.ApplyCameraPosition(TRUE);
    EXPECT_EQ(Take(), Calls{"CamSetPosition(1,12,22,32,42)"});
    Mode(kCameraFront);
    cmd.ApplyCameraPosition(TRUE);
    EXPECT_EQ(Take(), Calls{"CamSetPosition(2,114,124,134,144)"});
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

// --- Camera mode messages ---------------------------------------------------------------

TEST_F(CameraCommandsTest, ModeChangeOnAutoPageReadsBackTheOldModeThenForcesTheNewOne)
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
}

TEST_F(CameraCommandsTest, ModeChangeOnManualPageSendsTheManualSettingWithoutReadingBack)
{
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

// --- Link and errors --------------------------------------------------------------------

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
    Mode(kCameraFront);
    cmd.OnCameraLink(0);
    EXPECT_EQ(Take(), Calls{"CamClose()"});
    EXPECT_EQ(cmd.m_nCameraMode, kNoCamera);
    EXPECT_EQ(events.modes, std::vector<int>{kNoCamera});
    EXPECT_TRUE(events.balloons.empty()) << "link loss shows no balloon";

    Mode(kCameraUpside);
    events.modes.clear();
    cmd.OnCameraCommError();
    EXPECT_EQ(Take(), Calls{"CamClose()"});
    EXPECT_EQ(cmd.m_nCameraMode, kNoCamera);
    EXPECT_EQ(events.modes, std::vector<int>{kNoCamera});
    EXPECT_EQ(events.balloons, std::vector<UINT>{35013});
    EXPECT_EQ(events.layouts, 2);

    // With no camera nothing is applied or read, but the pads still drive.
    cmd.ApplyCameraPosition(TRUE);
    cmd.SaveCameraPosition();
    cmd.OnPadButton(1008, 1);
    EXPECT_EQ(Take(), Calls{"CamDrive(1)"});
}

// --- Pads -------------------------------------------------------------------------------

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
}

TEST_F(CameraCommandsTest, SteeringInUpsideOrFrontOnTheAutoPageMarksThePresetsModified)
{
    Mode(kCameraUpside);
    cmd.OnPadButton(1004, 0);
    EXPECT_EQ(modified, 0) << "a release alone changes nothing";
    cmd.OnPadButton(1004, 1);
    EXPECT_EQ(modified, 1);

    modified = 0;
    settings.m_nMode = kManualPage;
    Mode(kCameraFront);
    cmd.OnPadButton(1004, 1);
    EXPECT_EQ(modified, 0) << "the Manual page teaches no direction preset";
}

// --- Setters ----------------------------------------------------------------------------

TEST_F(CameraCommandsTest, SettersReadBackWhereTheyMustAndApply)
{
    settings.m_nUpMode = 1;
    Mode(kCameraUpside);
    CamDouble().pan = {1, 55};
    cmd.SetUpsideMode(1, 0, 1, 2, 3, 4);
    EXPECT_EQ(Take(), (Calls{"CamGetPan()", "CamGetTilt()", "CamGetZoom()", "CamGetRoll()",
                             "CamSetPosition(1,1,2,3,4)"}));
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
    EXPECT_EQ(Take(), (Calls{"CamGetPan()", "CamGetTilt()", "CamGetZoom()", "CamGetRoll()", "CamSelectView(3)"}));
    cmd.SetUserMode(2, 90, 0, 180, 90);
    EXPECT_EQ(Take(), Calls{"CamSetPosition(2,90,0,180,90)"});
}

// --- Hand-edited values -----------------------------------------------------------------

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

// --- Opening and the video format ---------------------------------------------------------

TEST_F(CameraCommandsTest, OpenTakesThePortAndReadsTheVideoFormat)
{
    CamDouble().videoFormat = 1;
    EXPECT_EQ(cmd.OpenCamera("/dev/pts/9", nullptr), 1);
    EXPECT_EQ(Take(), (Calls{"CamOpen(/dev/pts/9," + std::to_string(WM_CAMERA_LINK) + ","
                                 + std::to_string(WM_CAMERA_MODE) + ")",
                             "CamGetVideoFormat()"}));
    EXPECT_EQ(cmd.m_nVideoFormat, 1);

    CamDouble().present = 0;
    EXPECT_EQ(cmd.OpenCamera("/dev/pts/9", nullptr), 0);
    EXPECT_EQ(Take(), Calls{});
}

TEST_F(CameraCommandsTest, VideoFormatIsSentAndCommittedOnlyWhenChangedOnAnOpenCamera)
{
    cmd.ChangeVideoFormat(1, FALSE);
    cmd.ChangeVideoFormat(0, TRUE);
    EXPECT_EQ(Take(), Calls{});
    EXPECT_EQ(cmd.m_nVideoFormat, 0);
    cmd.ChangeVideoFormat(1, TRUE);
    EXPECT_EQ(Take(), (Calls{"CamSetVideoFormat(1)", "CamCommitSettings()"}));
    EXPECT_EQ(cmd.m_nVideoFormat, 1);
}

// --- Tracking response ------------------------------------------------------------------

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
        Mode(mode);
        cmd.OnTrackingDirection(3);
    }
    settings.m_nUpMode = 3;
    Mode(kCameraUpside);
    cmd.OnTrackingDirection(3);
    settings.m_nMode = kManualPage;
    Mode(kCameraFront);
    cmd.OnTrackingDirection(3);
    EXPECT_EQ(Take(), Calls{});
}

// --- View buttons -------------------------------------------------------------------------

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
    SetPreset(settings.m_frontPresets[4], 1, 2, 3, 4);
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
    cmd.OnViewButton(1);
    cmd.OnViewButton(2);
    cmd.OnViewButton(3);
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
    EXPECT_EQ(Take(), (Calls{"CamSetPosition(2,90,0,180,90)", "CamGetPan()", "CamGetTilt()", "CamGetZoom()",
                             "CamGetRoll()", "CamSelectView(0)"}));
}

} // namespace
