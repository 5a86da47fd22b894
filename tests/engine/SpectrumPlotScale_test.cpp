#include "engine/SpectrumPlotScale.h"

#include <gtest/gtest.h>

namespace halvorn {

// Bin 300 (150 keV) sits on the frame's right edge, a value equal to the divisor on its top edge.
TEST(SpectrumPlotScale, FrameEdgesAndCursorBins) {
    EXPECT_EQ(BinCentreX(0), kPlotFrameLeft);
    EXPECT_EQ(BinCentreX(300), kPlotFrameRight);
    EXPECT_EQ(ValueY(0, 4), kPlotFrameBottom);
    EXPECT_EQ(ValueY(4, 4), kPlotFrameTop);
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
