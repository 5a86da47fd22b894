#include "engine/exports/FanBeam.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/exports/ExportCommon.h"

namespace halvorn {

FanBeam FanBeamOf(const RunRecord& run) {
    const std::vector<PointQuality>& points = run.points;
    FanBeam fan;
    fan.tubeVoltageKv = run.inputs.tubeVoltageKv;
    fan.focusCentreDistanceCm = run.inputs.focusCentreDistanceCm;
    const MeasuredFan measured = FanOf(points);
    if (!measured.error.empty()) {
        fan.error = measured.error;
        return fan;
    }
    if (!(fan.focusCentreDistanceCm > 0) || !std::isfinite(fan.focusCentreDistanceCm)) {
        fan.error = "the focus-centre distance must be a positive number";
        return fan;
    }
    for (const PointQuality& p : points) {
        const std::string what = p.point == 0 ? "the centre" : "point " + std::to_string(p.point);
        if (const auto problem = SpectrumProblem(SpectrumOf(run, p.point), fan.tubeVoltageKv, what)) {
            fan.error = *problem;
            return fan;
        }
    }
    // FanOf has merged the points at equal angles into its samples; the spectra are merged alike.
    for (const FanSample& s : measured.samples) {
        Spectrum sum{};
        int count = 0;
        for (const PointQuality& p : points) {
            if (std::fabs(*p.fanAngleDeg) != s.angleDeg)
                continue;
            for (int i = 0; i <= kBinCount; ++i)
                sum[i] += SpectrumOf(run, p.point)[i];
            ++count;
        }
        for (double& v : sum)
            v /= count;
        fan.angleRad.push_back(s.angleDeg * std::numbers::pi / 180);
        fan.relativeFluence.push_back(s.relativePhotons);
        fan.bowtieAlMm.push_back(s.bowtieAlMm);
        fan.spectra.push_back(sum);
    }
    return fan;
}

double FluenceAt(const FanBeam& fan, double gammaRad) {
    const double g = std::fabs(gammaRad);
    if (fan.angleRad.empty() || g > fan.angleRad.back())
        return 0;
    const auto upper = std::upper_bound(fan.angleRad.begin(), fan.angleRad.end(), g);
    if (upper == fan.angleRad.end())
        return fan.relativeFluence.back();
    const std::size_t j = static_cast<std::size_t>(upper - fan.angleRad.begin()) - 1;
    const double t = (g - fan.angleRad[j]) / (fan.angleRad[j + 1] - fan.angleRad[j]);
    return fan.relativeFluence[j] + t * (fan.relativeFluence[j + 1] - fan.relativeFluence[j]);
}

double FanIntegral(const FanBeam& fan) {
    // On each piece f = a + b g: the integral of (a + b g) cos g is a sin g + b (g sin g + cos g).
    double half = 0;
    for (std::size_t j = 0; j + 1 < fan.angleRad.size(); ++j) {
        const double g0 = fan.angleRad[j];
        const double g1 = fan.angleRad[j + 1];
        const double b = (fan.relativeFluence[j + 1] - fan.relativeFluence[j]) / (g1 - g0);
        const double a = fan.relativeFluence[j] - b * g0;
        auto primitive = [&](double g) { return a * std::sin(g) + b * (g * std::sin(g) + std::cos(g)); };
        half += primitive(g1) - primitive(g0);
    }
    return 2 * half;
}

}  // namespace halvorn
