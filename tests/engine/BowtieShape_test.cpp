#include "engine/BowtieShape.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace halvorn {

// S = 60 cm, a point at 30 cm with 20 mm of aluminium: its ray meets the base plane at 75 mm, at
// atan(0.5) from the axis, and the outline point lies 20 mm back along the ray.
TEST(BowtieShape, OutlineFollowsTheRays) {
    auto state = std::make_unique<CalculationState>();
    state->FocusCentreDistanceCm = 60;
    state->ProfilePointCount = 2;
    state->BowtieAlMm = {5, 20, 0};
    state->DoseProfile[0] = {0, 30, 40};
    const auto outline = ComputeBowtieOutline(*state);
    ASSERT_TRUE(outline);
    EXPECT_EQ(outline->centreThickness, 50);
    ASSERT_EQ(outline->points.size(), 2u);
    const OutlinePoint& r1 = outline->points[0];
    EXPECT_DOUBLE_EQ(r1.baseX, 750);
    EXPECT_NEAR(r1.x, 750 - 200 / std::sqrt(5.0), 1e-9);
    EXPECT_NEAR(r1.y, 400 / std::sqrt(5.0), 1e-9);
    EXPECT_EQ(outline->points[1].y, 0) << "no path length: on the base plane";
    EXPECT_EQ(outline->points[1].x, outline->points[1].baseX);
    EXPECT_DOUBLE_EQ(outline->baseHalfWidth, 1000);

    // A fractional count: the outline runs while p <= N, the base segment to N rounded half to even.
    state->ProfilePointCount = 2.5;
    EXPECT_EQ(ComputeBowtieOutline(*state)->points.size(), 2u);
    state->ProfilePointCount = 1.6;  // outline to point 1, base to point 2
    EXPECT_EQ(ComputeBowtieOutline(*state)->points.size(), 1u);
    EXPECT_DOUBLE_EQ(ComputeBowtieOutline(*state)->baseHalfWidth, 1000);

    // Data that cannot give a figure.
    for (double n : {-1.0, 25.5, std::nan("")}) {
        state->ProfilePointCount = n;
        EXPECT_FALSE(ComputeBowtieOutline(*state)) << "N = " << n;
    }
    state->ProfilePointCount = 2;
    state->FocusCentreDistanceCm = 0;
    EXPECT_FALSE(ComputeBowtieOutline(*state));
    state->FocusCentreDistanceCm = 60;
    state->BowtieAlMm[2] = 1e308;
    EXPECT_FALSE(ComputeBowtieOutline(*state)) << "an overflowing point";
}

}  // namespace halvorn
