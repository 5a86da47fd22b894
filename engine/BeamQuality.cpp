#include "engine/BeamQuality.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "engine/Filtration.h"

namespace halvorn {

namespace {

// First bin of the kerma weights the calibration's HVL normalises (10.5 keV).
constexpr int kFirstHvlBin = 21;

// Newton steps end once a step is below this (cm): 1e-6 mm, a tenth of the accuracy the figures promise.
constexpr double kRootStepCm = 1e-7;

// A root beyond a metre of metal is no half-value layer; the search gives up there.
constexpr double kLargestRootCm = 100;

// The kerma weights of one spectrum with non-zero weight, and the coefficients of their bins, packed.
struct KermaBins {
    int count = 0;
    std::array<double, kBinCount + 1> weight{};
    std::array<double, kBinCount + 1> mu{};
    double muMin = 0;  // smallest coefficient, factored out so that deep roots do not underflow
};

// ln of the transmitted fraction of the kerma after x cm, ln T(x) = -muMin x + ln(sum w exp(-(mu - muMin) x))
// - ln(sum w), and the mean and variance of the coefficient under the transmitted weights there, which
// are -d ln T / dx and d2 ln T / dx2.
struct Transmission {
    double logT = 0;
    double meanMu = 0;
    double varianceMu = 0;
};

Transmission TransmissionAt(const KermaBins& bins, double x, double logTotal) {
    double sum = 0;
    double sumMu = 0;
    double sumMu2 = 0;
    for (int k = 0; k < bins.count; ++k) {
        // At x = 0 every factor is 1: the first step of a search costs no exponentials.
        const double w = x == 0 ? bins.weight[k] : bins.weight[k] * std::exp(-(bins.mu[k] - bins.muMin) * x);
        sum += w;
        sumMu += w * bins.mu[k];
        sumMu2 += w * bins.mu[k] * bins.mu[k];
    }
    const double mean = sumMu / sum;
    return {-bins.muMin * x + std::log(sum) - logTotal, mean, std::max(0.0, sumMu2 / sum - mean * mean)};
}

// The thickness (cm) at which the transmitted kerma falls to exp(logLevel), searched from `start`, where the
// transmission must still be above the level. ln T is convex in x (a log-sum of exponentials), so Newton's
// steps from the left never pass the root and approach it quadratically: after a step s the distance left
// is about var / (2 mean) s^2. The search ends when that estimate, taken four times over, is below 1e-6 mm,
// or when the step itself is.
std::optional<double> KermaRoot(const KermaBins& bins, double logTotal, double logLevel, double start) {
    double x = start;
    for (int iteration = 0; iteration < 100; ++iteration) {
        const Transmission t = TransmissionAt(bins, x, logTotal);
        const double excess = t.logT - logLevel;
        if (!std::isfinite(excess) || !(t.meanMu > 0))
            return std::nullopt;  // a transmission that does not fall with thickness has no root
        const double step = excess / t.meanMu;
        x += step;
        if (!(x <= kLargestRootCm))
            return std::nullopt;
        const double remaining = 4 * t.varianceMu / (2 * t.meanMu) * step * step;
        if (std::fabs(step) <= kRootStepCm || remaining <= kRootStepCm)
            return x;
    }
    return std::nullopt;
}

// The energy (keV) at which `mu` equals `target`, interpolated log-log between bins. The table is searched
// from 150 keV down, so the crossing found is the one above any absorption edge (copper's K edge at
// 9.0 keV). Nothing when the target lies outside the table's range or a coefficient is not positive.
std::optional<double> EnergyAtCoefficient(const Spectrum& mu, double target) {
    if (!(target > 0) || !std::isfinite(target))
        return std::nullopt;
    int i = kBinCount;
    while (i >= 2 && mu[i] < target)
        --i;
    if (i < 2)
        return std::nullopt;
    if (i == kBinCount)
        return mu[i] == target ? std::optional<double>(0.5 * i) : std::nullopt;
    if (!(mu[i + 1] > 0))
        return std::nullopt;
    const double logE0 = std::log(0.5 * i);
    const double logE1 = std::log(0.5 * (i + 1));
    const double fraction = (std::log(target) - std::log(mu[i])) / (std::log(mu[i + 1]) - std::log(mu[i]));
    const double energy = std::exp(logE0 + fraction * (logE1 - logE0));
    if (!std::isfinite(energy))
        return std::nullopt;
    return energy;
}

// HVL1, HVL2, homogeneity and effective energy of one material for kerma weights by bin.
MaterialQuality MaterialFigures(const Spectrum& kerma, const Spectrum& mu, int highestBin) {
    MaterialQuality out;
    // Only bins with weight take part; packing them keeps the root search to the bins that matter.
    KermaBins bins;
    double total = 0;
    for (int i = kFirstHvlBin; i <= highestBin; ++i) {
        if (kerma[i] == 0)
            continue;
        bins.weight[bins.count] = kerma[i];
        bins.mu[bins.count] = mu[i];
        ++bins.count;
        total += kerma[i];
    }
    if (bins.count == 0 || !(total > 0) || !std::isfinite(total))
        return out;
    bins.muMin = *std::min_element(bins.mu.begin(), bins.mu.begin() + bins.count);
    if (!std::isfinite(bins.muMin))
        return out;
    const double logTotal = std::log(total);

    const auto half = KermaRoot(bins, logTotal, -std::log(2.0), 0);
    if (!half)
        return out;
    out.hvl1Mm = 10 * *half;
    out.effectiveEnergyKev = EnergyAtCoefficient(mu, std::log(2.0) / *half);
    const auto quarter = KermaRoot(bins, logTotal, -std::log(4.0), *half);
    if (!quarter || !(*quarter > *half))
        return out;
    out.hvl2Mm = 10 * (*quarter - *half);
    out.homogeneity = *out.hvl1Mm / *out.hvl2Mm;
    return out;
}

// Sum of a spectrum over bins 2..highestBin, or nothing when a bin is negative or not finite.
std::optional<double> PhotonSum(const Spectrum& photons, int highestBin) {
    double sum = 0;
    for (int i = 2; i <= highestBin; ++i) {
        if (!(photons[i] >= 0) || !std::isfinite(photons[i]))
            return std::nullopt;
        sum += photons[i];
    }
    return sum;
}

}  // namespace

SpectrumQuality SpectrumBeamQuality(const Spectrum& photons,
                                    double tubeVoltageKv,
                                    const AttenuationCoefficients& table) {
    SpectrumQuality out;
    const int highestBin = HighestBin(tubeVoltageKv);
    const auto total = PhotonSum(photons, highestBin);
    if (!total || !(*total > 0) || !std::isfinite(*total))
        return out;

    double energySum = 0;
    for (int i = 2; i <= highestBin; ++i)
        energySum += photons[i] * (0.5 * i);
    out.meanEnergyKev = energySum / *total;

    // Air-kerma weights by bin: photons x mu_en of air x E, as the calibration weights them.
    Spectrum kerma{};
    for (int i = kFirstHvlBin; i <= highestBin; ++i) {
        kerma[i] = photons[i] * table.MuEnAir[i] * (0.5 * i);
        if (!(kerma[i] >= 0) || !std::isfinite(kerma[i]))
            return out;
    }
    out.aluminium = MaterialFigures(kerma, table.MuAluminium, highestBin);
    out.copper = MaterialFigures(kerma, table.MuCopper, highestBin);
    return out;
}

int LastProfilePoint(const CalculationState& state) {
    const double n = state.ProfilePointCount;
    if (!(n >= 1))
        return 0;
    if (n >= kMaxPoint)
        return kMaxPoint;
    return static_cast<int>(std::floor(n));
}

std::vector<PointQuality> RunBeamQuality(const CalculationState& state,
                                         const AttenuationCoefficients& table,
                                         int lastPoint) {
    lastPoint = std::clamp(lastPoint, 0, kMaxPoint);
    const int highestBin = HighestBin(state.TubeVoltageKv);
    const auto centreSum = PhotonSum(state.PointSpectra[0], highestBin);
    const double focus = state.FocusCentreDistanceCm;

    std::vector<PointQuality> points;
    points.reserve(lastPoint + 1);
    for (int p = 0; p <= lastPoint; ++p) {
        PointQuality q;
        q.point = p;
        q.offAxisCm = state.DoseProfile[0][p];
        q.bowtieAlMm = state.BowtieAlMm[p];
        q.relativeKerma = state.DoseProfile[1][p];
        if (p == 0) {
            q.fanAngleDeg = 0;
        } else if (focus > 0 && std::isfinite(focus) && std::isfinite(q.offAxisCm)) {
            q.fanAngleDeg = std::atan(q.offAxisCm / focus) * (180 / std::numbers::pi);
        }
        const auto sum = PhotonSum(state.PointSpectra[p], highestBin);
        if (sum && *sum > 0 && centreSum && *centreSum > 0)
            q.relativeFluence = *sum / *centreSum;
        q.quality = SpectrumBeamQuality(state.PointSpectra[p], state.TubeVoltageKv, table);
        points.push_back(q);
    }
    return points;
}

}  // namespace halvorn
