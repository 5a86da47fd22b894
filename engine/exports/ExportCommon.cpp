#include "engine/exports/ExportCommon.h"

#include <algorithm>
#include <cmath>

#include "engine/Filtration.h"
#include "engine/NumberText.h"
#include "engine/Version.h"

namespace halvorn {

std::string ProgramName() {
    return "Halvorn " + ProgramVersion();
}

std::string DescribeInputs(const RunInputs& in) {
    std::string text = "tube voltage " + PlainDecimal(in.tubeVoltageKv) + " kV, ";
    text += in.targetAngleDeg ? "target angle " + PlainDecimal(*in.targetAngleDeg) + " deg, "
                              : std::string("target angle not recorded, ");
    text += "inherent filtration " + PlainDecimal(in.inherentFiltrationMm) + " mm Al, ";
    text += "added filters " + PlainDecimal(in.addedAlMm) + " mm Al + " + PlainDecimal(in.addedCuMm) +
            " mm Cu + " + PlainDecimal(in.addedAgMm) + " mm Ag, ";
    if (in.measuredHvl)
        text += "measured HVL " + PlainDecimal(in.measuredHvl->valueMm) +
                (in.measuredHvl->material == HvlMaterial::Copper ? " mm Cu, " : " mm Al, ");
    else
        text += "measured HVL not recorded, ";
    text += in.fittedFiltrationMm
                ? "fitted total filtration " + FormatFixed(*in.fittedFiltrationMm, 3) + " mm Al, "
                : std::string("fitted total filtration not recorded, ");
    text += "focus-centre distance " + PlainDecimal(in.focusCentreDistanceCm) + " cm";
    return text;
}

std::vector<EnergyBin> ExportBins(double tubeVoltageKv) {
    std::vector<EnergyBin> bins;
    for (int i = 2; i <= HighestBin(tubeVoltageKv); ++i) {
        const double centre = 0.5 * i;
        bins.push_back({i, centre, centre - 0.25, std::min(centre + 0.25, tubeVoltageKv)});
    }
    return bins;
}

std::optional<std::string> SpectrumProblem(const Spectrum& photons,
                                           double tubeVoltageKv,
                                           const std::string& what) {
    if (HighestBin(tubeVoltageKv) < 2)
        return "the tube voltage " + PlainDecimal(tubeVoltageKv) + " kV leaves no energy bins";
    double sum = 0;
    for (int i = 2; i <= HighestBin(tubeVoltageKv); ++i) {
        if (!(photons[i] >= 0) || !std::isfinite(photons[i]))
            return "the spectrum of " + what + " holds an invalid value at " + PlainDecimal(0.5 * i) + " keV";
        sum += photons[i];
    }
    if (!(sum > 0) || !std::isfinite(sum))
        return what + " has no spectrum (the calculation did not reach it)";
    return std::nullopt;
}

MeasuredFan FanOf(const std::vector<PointQuality>& points) {
    MeasuredFan fan;
    for (const PointQuality& p : points) {
        const std::string name = p.point == 0 ? "the centre" : "point " + std::to_string(p.point);
        if (!p.fanAngleDeg || !std::isfinite(*p.fanAngleDeg)) {
            fan.error = name + " has no fan angle (the focus-centre distance is not a positive number)";
            return fan;
        }
        if (!p.relativeFluence || !std::isfinite(p.bowtieAlMm)) {
            fan.error = name + " has no spectrum (the calculation did not reach it)";
            return fan;
        }
        fan.samples.push_back({std::fabs(*p.fanAngleDeg), *p.relativeFluence, p.bowtieAlMm});
    }
    std::stable_sort(fan.samples.begin(), fan.samples.end(),
                     [](const FanSample& a, const FanSample& b) { return a.angleDeg < b.angleDeg; });
    // Equal angles: one sample with the mean of their values.
    std::vector<FanSample> merged;
    for (std::size_t k = 0; k < fan.samples.size();) {
        std::size_t end = k;
        FanSample sum{fan.samples[k].angleDeg, 0, 0};
        while (end < fan.samples.size() && fan.samples[end].angleDeg == sum.angleDeg) {
            sum.relativePhotons += fan.samples[end].relativePhotons;
            sum.bowtieAlMm += fan.samples[end].bowtieAlMm;
            ++end;
        }
        const double n = static_cast<double>(end - k);
        merged.push_back({sum.angleDeg, sum.relativePhotons / n, sum.bowtieAlMm / n});
        k = end;
    }
    fan.samples = merged;
    if (fan.samples.size() < 2)
        fan.error = "a bowtie file needs at least one off-axis point";
    return fan;
}

std::vector<FanSample> OnAngleGrid(const std::vector<FanSample>& measured, double stepDeg) {
    std::vector<FanSample> grid;
    if (measured.empty() || !(stepDeg > 0) || !std::isfinite(stepDeg))
        return grid;
    const double last = measured.back().angleDeg;
    // A grid angle within rounding of the last measured angle is that angle, not one beyond it.
    const double count = std::floor(last / stepDeg * (1 + 1e-12)) + 1;
    if (!(count < 1e6))
        return grid;
    std::size_t j = 0;
    for (int k = 0; k < static_cast<int>(count); ++k) {
        const double angle = std::min(k * stepDeg, last);
        while (j + 1 < measured.size() && measured[j + 1].angleDeg < angle)
            ++j;
        FanSample s{k * stepDeg, measured[j].relativePhotons, measured[j].bowtieAlMm};
        if (j + 1 < measured.size()) {
            const FanSample& a = measured[j];
            const FanSample& b = measured[j + 1];
            const double t = (angle - a.angleDeg) / (b.angleDeg - a.angleDeg);
            s.relativePhotons = a.relativePhotons + t * (b.relativePhotons - a.relativePhotons);
            s.bowtieAlMm = a.bowtieAlMm + t * (b.bowtieAlMm - a.bowtieAlMm);
        }
        grid.push_back(s);
    }
    return grid;
}

}  // namespace halvorn
