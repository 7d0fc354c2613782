// The settings dialog's "Microphone array" group: what it shows of a stored setup, what it
// gives back, and the readout of what the array hears.
#include "ui/settings/MicArrayGroup.h"
#include "tracking/micarray/MicArrayReadout.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QSpinBox>

#include <gtest/gtest.h>

TEST(MicArrayGroup, StoredSetupsComeBackAndTheControlsMakeTheGeometry)
{
    struct Row { const char* device; const char* geometry; int zero; int shape; };
    const Row rows[] = {{"", "circular:6:0.046", 90, 0},
                        {"hw:CARD=Bar,DEV=0", "linear:4:0.05", 0, 1},  // not plugged in: kept
                        {"", "custom:0,0;0.1,0;0,0.1", 359, 2},
                        {"", "spiral:3", 0, 2}};                    // hand-edited: kept as it is
    for (const Row& row : rows) {
        CMicArrayGroup group(nullptr);
        group.SetSetup({row.device, row.geometry, row.zero});
        EXPECT_EQ(group.findChild<QComboBox*>(QStringLiteral("micArrayShape"))->currentIndex(), row.shape) << row.geometry;
        const MicArraySetup back = group.Setup();
        EXPECT_EQ(back.device, row.device);
        EXPECT_EQ(back.geometry, row.geometry);
        EXPECT_EQ(back.nZeroAngle, row.zero);
    }
    CMicArrayGroup group(nullptr);
    group.findChild<QComboBox*>(QStringLiteral("micArrayShape"))->setCurrentIndex(1);
    for (auto* spin : group.findChildren<QSpinBox*>())
        spin->setValue(spin->minimum() == 2 ? 8 : 45);
    group.findChild<QDoubleSpinBox*>()->setValue(42.5);
    EXPECT_EQ(group.Setup().geometry, "linear:8:0.0425");
    EXPECT_EQ(group.Setup().nZeroAngle, 45);
}

TEST(MicArrayGroup, ReadoutShowsAngleSectorAndLevel)
{
    MicArrayReadout readout;
    CMicArrayGroup group(&readout);
    group.SetSetup({"", "circular:4:0.032", 60});
    EXPECT_EQ(group.ReadoutText(), "Not listening: start tracking with the microphone array to check it.");
    readout.Publish({1.0, true, 121.4, -31.6});
    EXPECT_EQ(group.ReadoutText(), "Heard: 121 degrees, sector 1, level -32 dB");
    readout.Publish({1.1, false, 0, -60.2});
    EXPECT_EQ(group.ReadoutText(), "No voice heard, level -60 dB");
    readout.Clear();
    EXPECT_EQ(group.ReadoutText(), "Not listening: start tracking with the microphone array to check it.");
}
