#include "engine/BowtieShape.h"

#include <cmath>

#include "engine/NumberText.h"

namespace halvorn {

std::optional<BowtieOutline> ComputeBowtieOutline(const CalculationState& state) {
    const double s = state.FocusCentreDistanceCm;
    const double n = state.ProfilePointCount;
    if (s == 0 || !std::isfinite(s) || !(n >= 0 && n <= kMaxPoint))
        return std::nullopt;

    const double k = 15 / s;  // rotation-centre plane to the plane 15 cm from the focus
    auto pointOf = [&](int p) {
        const double d = state.DoseProfile[0][p];
        const double theta = std::atan(d / s);
        const double t = 10 * state.BowtieAlMm[p];
        const double x = 100 * k * d;
        return OutlinePoint{x, x - t * std::sin(theta), t * std::cos(theta)};
    };
    auto finite = [](const OutlinePoint& o) {
        return std::isfinite(o.baseX) && std::isfinite(o.x) && std::isfinite(o.y);
    };

    BowtieOutline outline;
    outline.centreThickness = 10 * state.BowtieAlMm[0];
    // The base segment reaches the ray of point N taken as the nearest whole point, which for a fractional
    // N may be one point beyond the outline.
    const int last = static_cast<int>(RoundHalfEven(n));
    for (int p = 0; p <= last; ++p) {
        const OutlinePoint point = pointOf(p);
        if (!finite(point))
            return std::nullopt;
        if (p >= 1 && p <= n)
            outline.points.push_back(point);
        if (p == last)
            outline.baseHalfWidth = point.baseX;
    }
    return outline;
}

}  // namespace halvorn
