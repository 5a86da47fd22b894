#include "engine/ResultsDisplay.h"

#include "engine/Filtration.h"
#include "engine/NumberText.h"

namespace halvorn {

double OwnPeak(const Spectrum& spectrum) {
    return PeakOf(spectrum, 1, kBinCount);
}

double TakeCentrePeak(CalculationState& state) {
    state.SpectrumPeak = OwnPeak(state.PointSpectra[0]);
    return state.SpectrumPeak;
}

std::optional<int> PointToShow(double p, double pointCount) {
    // Numbers above 25 have no data; only a damaged count can offer them.
    if (!(p >= 0 && p <= pointCount) || RoundHalfEven(p) > kMaxPoint)
        return std::nullopt;
    return static_cast<int>(RoundHalfEven(p));
}

}  // namespace halvorn
