#include "engine/ProfileGeometry.h"

#include <gtest/gtest.h>

#include <vector>

namespace halvorn {
namespace {

using Kind = GeometryRefusal::Kind;

TEST(ProfileGeometry, PointAtTheCentreIsNamedFirst) {
    const std::vector<double> distances{10, 0, 20, 0};
    const auto refused = CheckProfileGeometry(0.6, distances);
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->kind, Kind::PointOnCentre) << "before the focus distance, which is also wrong";
    EXPECT_EQ(refused->point, 2);
}

// The farthest point on either side decides; a focus at its distance is refused (a fan angle of 45 degrees).
TEST(ProfileGeometry, FocusMustLieBeyondTheFarthestPoint) {
    const std::vector<double> distances{10, -30, 20};
    for (const double focus : {30.0, 0.6, 1e-10, -40.0}) {
        const auto refused = CheckProfileGeometry(focus, distances);
        ASSERT_TRUE(refused) << focus;
        EXPECT_EQ(refused->kind, Kind::FocusNotBeyondPoints) << focus;
        EXPECT_EQ(refused->point, 2) << focus;
    }
    EXPECT_FALSE(CheckProfileGeometry(30.001, distances));
    EXPECT_FALSE(CheckProfileGeometry(60, std::vector<double>{10, -10, 10})) << "both sides, repeats";
    EXPECT_FALSE(CheckProfileGeometry(0.5, {})) << "the centre alone has no geometry to refuse";
}

}  // namespace
}  // namespace halvorn
