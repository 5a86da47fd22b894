#include "engine/CalculationState.h"

#include <gtest/gtest.h>

namespace halvorn {
namespace {

TEST(CalculationState, StartsAllZero) {
    static CalculationState state;
    EXPECT_EQ(state.TubeVoltageKv, 0);
    EXPECT_EQ(state.HvlMaterial, 0);
    for (const auto& spectrum : state.PointSpectra)
        for (double v : spectrum)
            EXPECT_EQ(v, 0);
    for (double v : state.AlTransmissionCurve)
        EXPECT_EQ(v, 0);
}

}  // namespace
}  // namespace halvorn
