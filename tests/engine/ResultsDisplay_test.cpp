#include "engine/ResultsDisplay.h"

#include <gtest/gtest.h>

#include <cmath>

namespace halvorn {

TEST(ResultsDisplay, PointToShowRoundsHalfToEvenWithinTheCount) {
    EXPECT_EQ(PointToShow(2.5, 5), 2);
    EXPECT_EQ(PointToShow(3.5, 5), 4);
    EXPECT_EQ(PointToShow(0.4, 5), 0);
    EXPECT_EQ(PointToShow(5, 5), 5);
    for (double p : {-0.4, 5.5, std::nan("")})
        EXPECT_EQ(PointToShow(p, 5), std::nullopt) << p;
    EXPECT_EQ(PointToShow(25.4, 30), 25);
    EXPECT_EQ(PointToShow(25.6, 30), std::nullopt) << "no data beyond point 25";
}

TEST(ResultsDisplay, CentrePeakIsTheDivisor) {
    CalculationState state;
    state.PointSpectra[0][40] = 3;
    state.PointSpectra[0][41] = 2;
    state.PointSpectra[0][0] = 9;  // bin 0 is never used
    EXPECT_EQ(TakeCentrePeak(state), 3);
    EXPECT_EQ(state.SpectrumPeak, 3);
    state.PointSpectra[0].fill(-1);
    EXPECT_EQ(TakeCentrePeak(state), 0) << "no positive bin: 0";
}

}  // namespace halvorn
