#include "engine/SpectrumPlotScale.h"

#include <gtest/gtest.h>

namespace halvorn {

// Bin 300 (150 keV) sits on the frame's right edge, a value equal to the divisor on its top edge.
TEST(SpectrumPlotScale, FrameEdgesAndCursorBins) {
    // The frame in the plot's user units: 1000..5500 across, 2100 (zero) up to 100 (the divisor).
    EXPECT_EQ(BinCentreX(0), 1000);
    EXPECT_EQ(BinCentreX(300), 5500);
    EXPECT_EQ(BinCentreX(150), 3250);
    EXPECT_EQ(ValueY(0, 4), 2100);
    EXPECT_EQ(ValueY(4, 4), 100);
    EXPECT_EQ(ValueY(1, 4), 1600);
    EXPECT_EQ(ValueY(6, 4), -900) << "values above the divisor lie above the frame";

    EXPECT_EQ(CursorBinAt(1000.5, 1000), 1);
    EXPECT_EQ(CursorBinAt(1015, 1000), 1) << "exactly on a bin centre";
    EXPECT_EQ(CursorBinAt(1015.1, 1000), 2);
    EXPECT_EQ(CursorBinAt(5499.9, 1000), 300);
    for (const auto& [x, y] :
         {std::pair{1000.0, 1000.0}, {5500.0, 1000.0}, {2000.0, 100.0}, {2000.0, 2100.0}, {900.0, 1000.0}})
        EXPECT_EQ(CursorBinAt(x, y), std::nullopt) << x << ", " << y;
}

}  // namespace halvorn
