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
    constexpr double inf = std::numeric_limits<double>::infinity();
    for (auto [quality, percent] : {std::pair{0.755, 75}, {0.759999, 75}, {0.0, 0}, {1.0, 100}, {-0.25, 0}, {1.7, 100},
                                    {inf, 100}, {-inf, 0}})
        EXPECT_EQ(QualityToPercent(quality), percent) << quality;
    EXPECT_EQ(QualityToPercent(std::nan("")), std::nullopt);
}

TEST(V4l2QualityScale, PercentRoundTripsOverTheUsualRange)
{
    // 0.29 * 100 is 28.999... in doubles: plain truncation would show 28.
    for (int percent = 0; percent <= 100; ++percent) {
        EXPECT_EQ(QualityToPercent(percent * 0.01), percent) << percent;
        const int value = QualityToControlValue(percent * 0.01, 0, 100, 1);
        EXPECT_EQ(value, percent);
        EXPECT_EQ(QualityToPercent(ControlValueToQuality(value, 0, 100)), percent);
    }
}

TEST(V4l2QualityScale, OtherRangesAndStepsStayInside)
{
    // quality, minimum, maximum, step: the control value. A range of no whole number of
    // steps (40) must not round beyond it.
    const struct { double q; int min, max, step, value; } cases[] = {
        {0.0, 1, 100, 1, 1}, {1.0, 1, 100, 1, 100}, {0.42, 0, 100, 5, 40}, {0.43, 0, 100, 5, 45},
        {1.0, 0, 100, 40, 100}, {1.5, 0, 100, 1, 100}, {-1.0, 10, 20, 1, 10}, {std::nan(""), 10, 20, 1, 10}};
    for (const auto& c : cases)
        EXPECT_EQ(QualityToControlValue(c.q, c.min, c.max, c.step), c.value) << c.q << " step " << c.step;
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
