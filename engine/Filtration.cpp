#include "engine/Filtration.h"

#include <array>
#include <cmath>

namespace halvorn {

namespace {

// First bin of the air-kerma weighting (5.5 keV) and first normalised bin (10.5 keV).
constexpr int kFirstKermaBin = 11;
constexpr int kFirstNormalisedBin = 21;

// The transmission curve of `weights` through kCurveSteps steps of `stepCm` of `mu`, and 0.01 x the step
// count at which it crosses 50 %: the HVL in cm for steps of 0.1 mm, in mm for steps of 0.01 mm.
std::optional<double> HalfValueLayer(const CalculationState& state,
                                     Spectrum& weights,
                                     const Spectrum& mu,
                                     double stepCm,
                                     double s2,
                                     Curve& curve) {
    if (!BuildTransmissionCurve(state, weights, mu, stepCm, kCurveSteps, s2, curve))
        return std::nullopt;
    const auto steps = ThicknessAtTransmission(curve, 50, false);
    if (!steps)
        return std::nullopt;
    return 0.01 * *steps;
}

}  // namespace

int HighestBin(double tubeVoltageKv) {
    const double top = 2 * tubeVoltageKv;
    if (!(top >= 0))
        return 0;  // negative or not a number: no used bins
    if (top >= kBinCount)
        return kBinCount;
    return static_cast<int>(std::floor(top));
}

void ClearBeamSpectrum(CalculationState& state) {
    for (int i = 1; i <= kBinCount; ++i)
        state.BeamSpectrum[i] = 0;
}

double PeakOf(const Spectrum& spectrum, int first, int last) {
    double peak = 0;
    for (int i = first; i <= last; ++i)
        if (spectrum[i] > peak)
            peak = spectrum[i];
    return peak;
}

bool FilterSpectrum(CalculationState& state) {
    return FilterSpectrumWith(state, state.TargetSpectrum, state.FiltrationAlCm, state.BeamSpectrum);
}

bool FilterSpectrumWith(CalculationState& state,
                        const Spectrum& source,
                        double aluminiumCm,
                        Spectrum& target) {
    const int highestBin = HighestBin(state.TubeVoltageKv);
    for (int i = 2; i <= highestBin; ++i) {
        const double e = 0.5 * i;
        // Transmission of the aluminium-equivalent filtration, the copper and the silver filter, as one
        // product; a zero thickness gives a factor of exactly 1.
        const double a = std::exp(-state.MuAluminium[i] * aluminiumCm) *
                         std::exp(-state.MuCopper[i] * state.AddedCuCm) *
                         std::exp(-state.MuSilver[i] * state.AddedAgCm);
        if (!std::isfinite(a))
            return false;  // an exponential overflowed (a strongly negative thickness)
        // Dividing by E turns the model's energy fluence into relative photon fluence.
        const double value = source[i] * a / e;
        if (!std::isfinite(value))
            return false;
        target[i] = value;
    }
    return true;
}

std::optional<double> ComputeKermaSpectrum(CalculationState& state, const Spectrum& source) {
    const int highestBin = HighestBin(state.TubeVoltageKv);
    Spectrum& kerma = state.KermaSpectrum;

    // Air kerma per bin: photon fluence x air energy-absorption coefficient x energy.
    double s1 = 0;
    for (int i = kFirstKermaBin; i <= highestBin; ++i) {
        const double e = 0.5 * i;
        kerma[i] = source[i] * state.MuEnAir[i] * e;
        s1 = s1 + kerma[i];
    }
    if (!std::isfinite(s1) || s1 == 0)
        return std::nullopt;

    // Bins from 10.5 keV up are normalised by the sum that includes 5.5..10 keV, so S2 is slightly below 1.
    double s2 = 0;
    for (int i = kFirstNormalisedBin; i <= highestBin; ++i) {
        kerma[i] = kerma[i] / s1;
        s2 = s2 + kerma[i];
    }
    if (!std::isfinite(s2))
        return std::nullopt;
    return s2;
}

bool BuildTransmissionCurve(const CalculationState& state,
                            Spectrum& weights,
                            const Spectrum& mu,
                            double stepCm,
                            int steps,
                            double s2,
                            Curve& curve) {
    if (steps < 0 || steps > kCurveSteps)
        return false;
    if (!std::isfinite(s2) || s2 == 0 || !std::isfinite(stepCm))
        return false;
    const int highestBin = HighestBin(state.TubeVoltageKv);

    // The transmission of one step per bin; applying it once per step attenuates the weights by k steps
    // after step k, exactly as multiplying by exp(-mu h) at every step.
    std::array<double, kBinCount + 1> stepFactor{};
    for (int i = kFirstKermaBin; i <= highestBin; ++i) {
        stepFactor[i] = std::exp(-mu[i] * stepCm);
        if (!std::isfinite(stepFactor[i]))
            return false;
    }

    for (int k = 1; k <= steps; ++k) {
        double sum = 0;
        for (int i = kFirstKermaBin; i <= highestBin; ++i) {
            weights[i] = weights[i] * stepFactor[i];
            sum = sum + weights[i];
        }
        const double percent = 100 * sum / s2;
        // An overflowing weight (a negative coefficient) leaves the sum non-finite.
        if (!std::isfinite(percent))
            return false;
        curve[k] = percent;
    }
    return true;
}

std::optional<double> ThicknessAtTransmission(const Curve& curve,
                                              double levelPercent,
                                              bool strict,
                                              int lastStep) {
    if (lastStep > kCurveSteps)
        lastStep = kCurveSteps;
    if (!(levelPercent > 0) || !std::isfinite(levelPercent))
        return std::nullopt;  // log of the level

    // Step 0 (100 %) is not part of the curve: the search starts between steps 1 and 2.
    int k = 2;
    while (k <= lastStep && (strict ? curve[k] > levelPercent : curve[k] >= levelPercent))
        ++k;
    if (k > lastStep)
        return std::nullopt;  // the curve does not cross the level within its steps

    const double before = curve[k - 1];
    const double after = curve[k];
    if (!(before > 0) || !(after > 0) || !std::isfinite(before) || !std::isfinite(after))
        return std::nullopt;
    const double logBefore = std::log(before);
    const double logAfter = std::log(after);
    if (logAfter == logBefore)
        return std::nullopt;  // a flat segment: division by zero
    // Linear interpolation in the logarithm of the transmission between steps k-1 and k.
    const double x = (std::log(levelPercent) - logBefore) / (logAfter - logBefore);
    const double steps = (k - 1) + x;
    if (!std::isfinite(steps))
        return std::nullopt;
    return steps;
}

bool ComputeHvl(CalculationState& state, double s2) {
    const int highestBin = HighestBin(state.TubeVoltageKv);

    // The working copies hold only the normalised bins (10.5 keV up); below they stay 0.
    for (int i = 1; i < kFirstNormalisedBin; ++i) {
        state.AlAttenuatedKerma[i] = 0;
        state.CuAttenuatedKerma[i] = 0;
    }
    for (int i = kFirstNormalisedBin; i <= highestBin; ++i) {
        state.AlAttenuatedKerma[i] = state.KermaSpectrum[i];
        state.CuAttenuatedKerma[i] = state.KermaSpectrum[i];
    }

    // Aluminium: 1000 steps of 0.1 mm; the HVL in cm.
    const auto al = HalfValueLayer(state, state.AlAttenuatedKerma, state.MuAluminium, 0.01, s2,
                                   state.AlTransmissionCurve);
    if (!al)
        return false;
    state.HvlAlCm = *al;

    // Copper: 1000 steps of 0.01 mm; the HVL in mm.
    const auto cu =
        HalfValueLayer(state, state.CuAttenuatedKerma, state.MuCopper, 0.001, s2, state.CuTransmissionCurve);
    if (!cu)
        return false;
    state.HvlCuMm = *cu;
    return true;
}

}  // namespace halvorn
