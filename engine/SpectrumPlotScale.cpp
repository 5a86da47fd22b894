#include "engine/SpectrumPlotScale.h"

namespace halvorn {

double BinCentreX(int bin) {
    return kPlotFrameLeft + kPlotBinWidth * bin;
}

double ValueY(double value, double divisor) {
    return kPlotFrameBottom - 2000 * value / divisor;
}

std::optional<int> CursorBinAt(double x, double y) {
    if (!(x > kPlotFrameLeft && x < kPlotFrameRight && y > kPlotFrameTop && y < kPlotFrameBottom))
        return std::nullopt;
    int bin = 1;
    while (BinCentreX(bin) < x)
        ++bin;
    return bin;
}

}  // namespace halvorn
