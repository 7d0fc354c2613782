// What may be used now, for the states where the answer turns.
#include "controller/ControlRules.h"

#include <gtest/gtest.h>

namespace {

// page, camera mode, kind, tracking, Upside framing, Manual framing, the camera's axes.
ControlState State(int page, int mode, int kind, bool tracking, int upMode = 1, int userMode = 2, bool panTilt = true,
                   bool zoom = true)
{
    return ControlState{page, mode, kind, tracking, upMode, userMode, panTilt, zoom};
}

TEST(ControlRules, ChoicesAboveTheTabsAndTheSelector)
{
    struct Row { ControlState s; bool device, placement, selector, directions; };
    const Row rows[] = {
        {State(0, 1, 1, false), true, true, true, true},
        {State(0, 1, 1, true), false, false, true, false},    // tracking locks the choices
        {State(0, 1, 0, false), true, false, false, false},   // no speakerphone: no placement
        {State(1, 1, 1, false), false, false, false, false},  // the Manual page
        {State(0, 2, 1, false), true, true, false, false},    // OHP has no directions
        {State(0, 3, 6, false), true, true, true, true},      // a microphone array in Front
        {State(0, 255, 1, false), true, true, false, false},  // no camera
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "page " << r.s.page << " mode " << r.s.cameraMode << " kind "
                                        << r.s.deviceKind << " tracking " << r.s.tracking);
        EXPECT_EQ(rules::DeviceChoiceEnabled(r.s), r.device);
        EXPECT_EQ(rules::PlacementEnabled(r.s), r.placement);
        EXPECT_EQ(rules::SelectorShown(r.s), r.selector);
        EXPECT_EQ(rules::DirectionsEnabled(r.s), r.directions);
    }
    EXPECT_TRUE(rules::KindHasDirection(3, 2) && rules::KindHasDirection(3, 6));
    EXPECT_FALSE(rules::KindHasDirection(3, 3) || rules::KindHasDirection(1, 7) || rules::KindHasDirection(1, -1));
}

TEST(ControlRules, ViewButtonsPadAndZoomFollowPagePositionAndFraming)
{
    // shown and enabled as "123" strings ('-' for none), then pad and zoom.
    struct Row { ControlState s; const char* shown; const char* enabled; bool pad, zoom; };
    const Row rows[] = {
        {State(0, 0, 1, false), "1--", "1--", false, true},   // Release: zoom only
        {State(0, 2, 1, false), "12-", "12-", false, true},   // OHP
        {State(0, 3, 1, false), "12-", "12-", true, true},    // Front
        {State(0, 3, 1, true), "12-", "---", false, false},   // Front while tracking
        {State(0, 1, 1, false, 1), "123", "123", true, true}, // Upside, direction presets
        {State(0, 1, 1, false, 3), "123", "123", false, false},
        {State(0, 1, 1, true, 1), "123", "---", false, false},
        {State(1, 1, 1, true, 1, 2), "123", "123", true, true},    // Manual ignores tracking
        {State(1, 0, 1, false, 1, 3), "123", "123", false, false}, // Manual, camera views
        {State(1, 255, 1, false), "---", "---", false, false},
        {State(0, 7, 1, false), "---", "---", false, false},  // a garbled stand position
        // A USB camera with one kind of axis: the other's buttons are grey.
        {State(0, 3, 1, false, 1, 2, false, true), "12-", "12-", false, true},
        {State(1, 1, 1, false, 1, 2, true, false), "123", "123", true, false},
        {State(0, 0, 1, false, 1, 2, true, false), "1--", "1--", false, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "page " << r.s.page << " mode " << r.s.cameraMode << " up "
                                        << r.s.upMode << " user " << r.s.userMode << " tracking " << r.s.tracking);
        std::string shown, enabled;
        for (int b = 1; b <= 3; ++b) {
            shown += rules::ViewButtonShown(r.s, b) ? char('0' + b) : '-';
            enabled += rules::ViewButtonEnabled(r.s, b) ? char('0' + b) : '-';
        }
        EXPECT_EQ(shown, r.shown);
        EXPECT_EQ(enabled, r.enabled);
        EXPECT_EQ(rules::PadEnabled(r.s), r.pad);
        EXPECT_EQ(rules::ZoomEnabled(r.s), r.zoom);
        EXPECT_EQ(rules::HoldButtonEnabled(r.s, 1004), r.pad);
        EXPECT_EQ(rules::HoldButtonEnabled(r.s, 1012), r.zoom);
        EXPECT_FALSE(rules::HoldButtonEnabled(r.s, 1007)) << "the pad has no centre button";
    }
}

TEST(ControlRules, TalkerMovesOnlyWhileTrackingDrivesTheCamera)
{
    EXPECT_TRUE(rules::TalkerMoveAllowed(State(0, 3, 1, true)));
    EXPECT_TRUE(rules::TalkerMoveAllowed(State(0, 1, 1, true, 1)));
    EXPECT_FALSE(rules::TalkerMoveAllowed(State(0, 1, 1, true, 3)));
    EXPECT_FALSE(rules::TalkerMoveAllowed(State(0, 3, 1, false)));
    EXPECT_FALSE(rules::TalkerMoveAllowed(State(1, 3, 1, true)));
    EXPECT_FALSE(rules::SettingFilesEnabled(State(0, 3, 1, true)));
    EXPECT_TRUE(rules::SettingFilesEnabled(State(1, 255, 0, false)));
}

} // namespace
