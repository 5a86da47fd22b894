#pragma once

#include <optional>

#include "engine/CalculationState.h"

namespace halvorn {

// Highest used bin of a computation at the tube voltage T0: the largest i with i <= 2 * T0.
int HighestBin(double tubeVoltageKv);

// Sets BeamSpectrum's bins 1..kBinCount to 0 (bin 0 is never used).
void ClearBeamSpectrum(CalculationState& state);

// Largest of spectrum[first..last], starting from 0: a bin replaces the peak only if strictly greater, so a
// spectrum of zeros, negatives or NaNs has the peak 0.
double PeakOf(const Spectrum& spectrum, int first, int last);

// BeamSpectrum[i] = TargetSpectrum[i] * A(i) / E over the used bins, with
// A(i) = exp(-MuAluminium*FiltrationAlCm) * exp(-MuCopper*AddedCuCm) * exp(-MuSilver*AddedAgCm).
[[nodiscard]] bool FilterSpectrum(CalculationState& state);

// Same formula with an explicit aluminium thickness, from `source` into `target` (the fit filters the
// stored unfiltered spectrum into FitSpectrum with a trial thickness).
[[nodiscard]] bool FilterSpectrumWith(CalculationState& state,
                                      const Spectrum& source,
                                      double aluminiumCm,
                                      Spectrum& target);

// Air-kerma weights of `source` into KermaSpectrum: bins 11..20 unnormalised, 21..2*T0 normalised by
// the sum over 11..2*T0. Returns S2, the sum of the normalised bins, or nothing on failure (S1 = 0, ...).
[[nodiscard]] std::optional<double> ComputeKermaSpectrum(CalculationState& state, const Spectrum& source);

// Attenuates `weights` (bins 11..2*T0) in place by exp(-mu*h) per step and writes
// curve[k] = 100 * sum(weights) / s2 for k = 1..steps. Returns false on failure (s2 = 0, overflow).
[[nodiscard]] bool BuildTransmissionCurve(const CalculationState& state,
                                          Spectrum& weights,
                                          const Spectrum& mu,
                                          double stepCm,
                                          int steps,
                                          double s2,
                                          Curve& curve);

// Fractional step count at which `curve` crosses `levelPercent`, interpolated linearly in the logarithm
// between steps k-1 and k, the search starting at k = 2 and continuing while curve[k] >= level (or > level
// when `strict`). Only entries 1..`lastStep` are read; a crossing beyond lastStep, a zero or negative value
// at the crossing, a non-positive level or a flat segment gives nothing.
[[nodiscard]] std::optional<double> ThicknessAtTransmission(const Curve& curve,
                                                            double levelPercent,
                                                            bool strict,
                                                            int lastStep = kCurveSteps);

// The HVL step of a spectrum pass, after FilterSpectrum and ComputeKermaSpectrum of BeamSpectrum (whose
// S2 is passed in): both transmission curves of 1000 steps, HvlAlCm (cm) and HvlCuMm (mm).
[[nodiscard]] bool ComputeHvl(CalculationState& state, double s2);

}  // namespace halvorn
