#include "engine/exports/ExportCommon.h"

#include <gtest/gtest.h>

#include <cmath>

namespace halvorn {
namespace {

PointQuality Point(int p, double angleDeg, double photons, double bowtie) {
    PointQuality q;
    q.point = p;
    q.fanAngleDeg = angleDeg;
    q.relativeFluence = photons;
    q.bowtieAlMm = bowtie;
    return q;
}

TEST(ExportCommon, FanIsSortedSymmetricAndMerged) {
    // Points out of order, one on the other side, two at the same angle.
    const MeasuredFan fan = FanOf({Point(0, 0, 1, 5), Point(1, 4, 0.6, 9), Point(2, -2, 0.9, 6),
                                   Point(3, 2, 0.7, 8), Point(4, 1, 0.95, 5.5)});
    ASSERT_EQ(fan.error, "");
    ASSERT_EQ(fan.samples.size(), 4u);
    EXPECT_EQ(fan.samples[1].angleDeg, 1);
    EXPECT_EQ(fan.samples[2].angleDeg, 2);
    EXPECT_DOUBLE_EQ(fan.samples[2].relativePhotons, 0.8) << "the two points at 2 degrees averaged";
    EXPECT_DOUBLE_EQ(fan.samples[2].bowtieAlMm, 7);
    EXPECT_EQ(fan.samples[3].angleDeg, 4);
}

TEST(ExportCommon, GridInterpolatesAndNeverExtrapolates) {
    const std::vector<FanSample> measured{{0, 1, 5}, {1, 0.8, 7}, {2.5, 0.2, 16}};
    auto grid = OnAngleGrid(measured, 0.5);
    ASSERT_EQ(grid.size(), 6u) << "0 .. 2.5 degrees, the last measured angle included";
    EXPECT_DOUBLE_EQ(grid[1].relativePhotons, 0.9);
    EXPECT_DOUBLE_EQ(grid[3].bowtieAlMm, 10);
    EXPECT_DOUBLE_EQ(grid[5].bowtieAlMm, 16);
    grid = OnAngleGrid(measured, 0.3);
    EXPECT_EQ(grid.size(), 9u) << "up to 2.4 degrees, not 2.7";
    EXPECT_NEAR(grid.back().angleDeg, 2.4, 1e-12);
    EXPECT_NEAR(grid.back().relativePhotons, 0.24, 1e-12);
    for (double step : {0.0, -1.0, std::nan(""), HUGE_VAL})
        EXPECT_TRUE(OnAngleGrid(measured, step).empty()) << step;
}

}  // namespace
}  // namespace halvorn
