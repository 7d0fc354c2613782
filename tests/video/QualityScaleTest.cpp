// The quality's way from the device to the percentage shown and back.
#include "tests/support/TestEnvironment.h"
#include "video/V4l2QualityControl.h"
#include "video/VideoQualityControl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>

namespace {

TEST(QualityToPercent, TruncatesAndLimits)
{
    EXPECT_EQ(QualityToPercent(0.755), 75);
    EXPECT_EQ(QualityToPercent(0.759999), 75);
    EXPECT_EQ(QualityToPercent(0.0), 0);
    EXPECT_EQ(QualityToPercent(1.0), 100);
    EXPECT_EQ(QualityToPercent(-0.25), 0);
    EXPECT_EQ(QualityToPercent(1.7), 100);
    EXPECT_EQ(QualityToPercent(std::numeric_limits<double>::infinity()), 100);
    EXPECT_EQ(QualityToPercent(-std::numeric_limits<double>::infinity()), 0);
    EXPECT_EQ(QualityToPercent(std::nan("")), std::nullopt);
}

TEST(QualityToPercent, EveryPercentSentAsAFractionReadsBackAsItself)
{
    // 0.29 * 100 is 28.999... in doubles: plain truncation would show 28.
    for (int percent = 0; percent <= 100; ++percent)
        EXPECT_EQ(QualityToPercent(percent * 0.01), percent) << percent;
}

TEST(V4l2QualityScale, PercentRoundTripsOverTheUsualRange)
{
    for (int percent = 0; percent <= 100; ++percent) {
        const int value = QualityToControlValue(percent * 0.01, 0, 100, 1);
        EXPECT_EQ(value, percent);
        EXPECT_EQ(QualityToPercent(ControlValueToQuality(value, 0, 100)), percent);
    }
}

TEST(V4l2QualityScale, OtherRangesAndStepsStayInside)
{
    EXPECT_EQ(QualityToControlValue(0.0, 1, 100, 1), 1);
    EXPECT_EQ(QualityToControlValue(1.0, 1, 100, 1), 100);
    EXPECT_EQ(QualityToControlValue(0.42, 0, 100, 5), 40);
    EXPECT_EQ(QualityToControlValue(0.43, 0, 100, 5), 45);
    // A range that is no whole number of steps: the nearest step would lie beyond it.
    EXPECT_EQ(QualityToControlValue(1.0, 0, 100, 40), 100);
    EXPECT_EQ(QualityToControlValue(1.5, 0, 100, 1), 100);
    EXPECT_EQ(QualityToControlValue(-1.0, 10, 20, 1), 10);
    EXPECT_EQ(QualityToControlValue(std::nan(""), 10, 20, 1), 10);
    EXPECT_DOUBLE_EQ(ControlValueToQuality(55, 10, 100), 0.5);
    EXPECT_DOUBLE_EQ(ControlValueToQuality(150, 0, 100), 1.0);
    EXPECT_DOUBLE_EQ(ControlValueToQuality(5, 5, 5), 0.0);
}

TEST(V4l2QualityControl, NodesWithoutTheControlOfferNone)
{
    const std::string plainFile = TestRootDir().toStdString() + "/not-a-device";
    std::ofstream(plainFile) << "x";
    EXPECT_EQ(V4l2QualityControl::Open(plainFile), nullptr);
    EXPECT_EQ(V4l2QualityControl::Open(TestRootDir().toStdString() + "/missing-node"), nullptr);
    EXPECT_EQ(V4l2QualityControl::Open("/dev/null"), nullptr);
}

} // namespace
