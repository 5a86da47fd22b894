#include "Filtration.h"

namespace halvorn {

int HighestBin(double) { return 0; }
bool FilterSpectrum(CalculationState&) { return false; }
bool FilterSpectrumWith(CalculationState&, const Spectrum&, double, Spectrum&) { return false; }
std::optional<double> ComputeKermaSpectrum(CalculationState&, const Spectrum&) { return std::nullopt; }
bool BuildTransmissionCurve(const CalculationState&, Spectrum&, const Spectrum&, double, int, double, Curve&) {
    return false;
}
std::optional<double> ThicknessAtTransmission(const Curve&, double, bool, int) { return std::nullopt; }
bool ComputeHvl(CalculationState&, double) { return false; }

}  // namespace halvorn
