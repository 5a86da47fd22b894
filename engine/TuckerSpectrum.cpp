#include "engine/TuckerSpectrum.h"

#include <array>
#include <cmath>
#include <memory>

#include "engine/Filtration.h"

namespace halvorn {

// Tucker's semi-empirical tungsten spectrum. Every expression is evaluated in the order it is written in
// the model, powers as repeated products, so that the result is the same to the last digit wherever it is
// computed. Factors of the inner term that depend only on the electron energy T = 0.5 k keV are tabulated
// once per call by k; T built by repeated +0.5 steps is exactly 0.5 k, so the tables hold the very values
// the term would compute.
namespace {

// The model into state.TargetSpectrum; when `lines` is given it receives the K-line part of each bin (0 in
// the bins without a line).
bool GenerateSpectrum(CalculationState& state, Spectrum* lines) {
    const double t0 = state.TubeVoltageKv;  // tube voltage in kV, electron energy in keV
    // The energy grid ends at 150 keV; a higher voltage has no bins to go into.
    if (!std::isfinite(t0) || t0 > 0.5 * kBinCount)
        return false;
    const int highestBin = HighestBin(t0);

    // Target geometry; pi is taken as 3.14159.
    const double tanTheta = std::tan(state.TargetAngleDeg * 3.14159 / 180);
    if (!std::isfinite(tanTheta) || tanTheta == 0)
        return false;  // cot undefined
    const double cotTheta = 1 / tanTheta;
    if (!std::isfinite(cotTheta))
        return false;

    // Thomson-Whiddington constant as a polynomial of the tube voltage.
    const double c = 141766 + 12157 * t0 - 111.046 * (t0 * t0) + 0.552536 * (t0 * t0 * t0) -
                     0.000970158 * (t0 * t0 * t0 * t0);
    if (!std::isfinite(c) || c == 0)
        return false;
    const double depthDivisor = 19.3 * c;  // 19.3 g/cm^3: density of tungsten
    if (!std::isfinite(depthDivisor) || depthDivisor == 0)
        return false;

    // Ratio of the characteristic lines to the bremsstrahlung, above 70 kV only.
    double lineRatio = 0;
    const bool withLines = t0 > 70;
    if (withLines) {
        lineRatio = (std::sqrt(8.79856 * t0 - 595.149) - 4.55528) / 4.39928;
        if (!std::isfinite(lineRatio))
            return false;
    }

    if (highestBin < 2)
        return true;  // no photon energy between 1 keV and the tube voltage

    const double t0Squared = t0 * t0;
    const double bremsFactor = 0.03658 + 0.000029 * t0;

    // The depth d = (T0^2 - T^2) / (19.3 C) cot(theta) is largest in magnitude at the lowest T (1 keV);
    // rounding is monotone, so if it and mu * d stay finite there, every term's exponent is finite.
    const double deepest = (t0Squared - 1.0 * 1.0) / depthDivisor * cotTheta;
    if (!std::isfinite(deepest))
        return false;

    // Per electron energy T = 0.5 k: T^2, the relativistic factor 1 + 511/T (511 keV: electron rest
    // energy) and the stopping term 1036.1 exp(-0.04695 T) + 202.41.
    std::array<double, kBinCount + 1> tSquared{};
    std::array<double, kBinCount + 1> relativistic{};
    std::array<double, kBinCount + 1> stopping{};
    for (int k = 2; k <= highestBin; ++k) {
        const double t = 0.5 * k;
        tSquared[k] = t * t;
        relativistic[k] = 1 + 511 / t;
        stopping[k] = 1036.1 * std::exp(-0.04695 * t) + 202.41;
    }

    // Bremsstrahlung: for each photon energy E a plain sum over the electron energies T = E .. T0 in
    // 0.5 keV steps, each photon attenuated by tungsten on its way out of the target.
    for (int i = 2; i <= highestBin; ++i) {
        const double e = 0.5 * i;
        const double mu = state.MuTungsten[i];
        if (!std::isfinite(mu * deepest))
            return false;
        double sum = 0;
        for (int k = i; k <= highestBin; ++k) {
            const double r = e / (0.5 * k);
            const double r2 = r * r;
            const double r3 = r2 * r;
            const double r4 = r3 * r;
            const double b = bremsFactor * (1 - 5.049 * r + 10.847 * r2 - 10.516 * r3 + 3.842 * r4);
            const double d = (t0Squared - tSquared[k]) / depthDivisor * cotTheta;  // cm of tungsten
            sum = sum + relativistic[k] * b / stopping[k] * std::exp(-mu * d);
        }
        // An overflowing exponential or a not-a-number term leaves the sum non-finite for good.
        if (!std::isfinite(sum))
            return false;
        state.TargetSpectrum[i] = sum;
    }

    if (withLines) {
        // The four tungsten K lines share F = 1 % of R times the bremsstrahlung sum.
        double bremsSum = 0;
        for (int i = 2; i <= highestBin; ++i)
            bremsSum = bremsSum + state.TargetSpectrum[i];
        const double f = bremsSum * lineRatio * 0.01;
        if (!std::isfinite(f))
            return false;
        state.TargetSpectrum[119] = state.TargetSpectrum[119] + f * 0.5048;  // K-alpha-1, 59.5 keV
        state.TargetSpectrum[116] = state.TargetSpectrum[116] + f * 0.2908;  // K-alpha-2, 58.0 keV
        state.TargetSpectrum[134] = state.TargetSpectrum[134] + f * 0.162;   // K-beta-1, 67.0 keV
        state.TargetSpectrum[138] = state.TargetSpectrum[138] + f * 0.0424;  // K-beta-2, 69.0 keV
        if (lines) {
            (*lines)[119] = f * 0.5048;
            (*lines)[116] = f * 0.2908;
            (*lines)[134] = f * 0.162;
            (*lines)[138] = f * 0.0424;
        }
    }
    return true;
}

}  // namespace

bool GenerateTargetSpectrum(CalculationState& state) {
    return GenerateSpectrum(state, nullptr);
}

std::optional<Spectrum> CharacteristicShare(const AttenuationCoefficients& table,
                                            double tubeVoltageKv,
                                            double targetAngleDeg) {
    auto scratch = std::make_unique<CalculationState>();
    scratch->TubeVoltageKv = tubeVoltageKv;
    scratch->TargetAngleDeg = targetAngleDeg;
    scratch->MuTungsten = table.MuTungsten;
    Spectrum lines{};
    if (!GenerateSpectrum(*scratch, &lines))
        return std::nullopt;
    Spectrum share{};
    for (int i = 2; i <= HighestBin(tubeVoltageKv); ++i) {
        const double total = scratch->TargetSpectrum[i];
        if (lines[i] != 0 && total > 0 && std::isfinite(total))
            share[i] = lines[i] / total;
    }
    return share;
}

}  // namespace halvorn
