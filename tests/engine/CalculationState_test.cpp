#include "engine/CalculationState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace halvorn {
namespace {

bool AllZero(const auto& values) {
    return std::all_of(values.begin(), values.end(), [](double v) { return v == 0; });
}

// Every field has its initialiser: a state made in memory full of other bytes still starts at zero, where a
// field without one would keep those bytes.
TEST(CalculationState, EveryFieldStartsAtZeroWhateverTheMemoryHeld) {
    const auto memory = std::make_unique<unsigned char[]>(sizeof(CalculationState));
    std::memset(memory.get(), 0xA5, sizeof(CalculationState));
    const CalculationState& s = *new (memory.get()) CalculationState;
    for (double v : {s.TubeVoltageKv, s.TargetAngleDeg, s.InherentFiltrationMm, s.AddedAlMm,
                     s.NominalFiltrationAlCm, s.AddedCuCm, s.AddedAgCm, s.FocusCentreDistanceCm,
                     s.ProfilePointCount, s.FiltrationAlCm, s.HvlAlCm, s.HvlCuMm, s.SpectrumPeak})
        EXPECT_EQ(v, 0);
    for (int v : {int(s.HvlMaterial), int(s.CalibrationPass), int(s.HvlFitFailed),
                  int(s.CalibrationSucceeded), int(s.PlotCursorShown), s.PlotCursorIndex})
        EXPECT_EQ(v, 0);
    for (const Spectrum* spectrum : {&s.MuTungsten, &s.MuAluminium, &s.MuCopper, &s.MuEnAir, &s.MuSilver,
                                     &s.MuColumn7, &s.TargetSpectrum, &s.BeamSpectrum, &s.FitSpectrum,
                                     &s.KermaSpectrum, &s.AlAttenuatedKerma, &s.CuAttenuatedKerma})
        EXPECT_TRUE(AllZero(*spectrum));
    for (const Curve* curve : {&s.AlTransmissionCurve, &s.CuTransmissionCurve, &s.FitTransmission})
        EXPECT_TRUE(AllZero(*curve));
    EXPECT_TRUE(AllZero(s.DoseProfile[0]) && AllZero(s.DoseProfile[1]) && AllZero(s.BowtieAlMm));
    for (const Spectrum& spectrum : s.PointSpectra)
        EXPECT_TRUE(AllZero(spectrum));
    s.~CalculationState();
}

}  // namespace
}  // namespace halvorn
