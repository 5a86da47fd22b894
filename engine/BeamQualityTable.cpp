#include "engine/BeamQualityTable.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "engine/NumberText.h"

namespace halvorn {

namespace {

std::string Fixed(const std::optional<double>& value, int decimals) {
    return value && std::isfinite(*value) ? FormatFixed(*value, decimals) : kNotAvailable;
}

std::string Significant(const std::optional<double>& value) {
    return value && std::isfinite(*value) ? FormatSignificant(*value, 4) : kNotAvailable;
}

}  // namespace

std::vector<std::string> BeamQualityCells(const PointQuality& p) {
    const MaterialQuality& al = p.quality.aluminium;
    const MaterialQuality& cu = p.quality.copper;
    return {std::to_string(p.point),
            std::isfinite(p.offAxisCm) ? PlainDecimal(p.offAxisCm) : kNotAvailable,
            Fixed(p.fanAngleDeg, 3),
            Fixed(p.bowtieAlMm, 3),
            Significant(p.relativeKerma),
            Significant(p.relativeFluence),
            Fixed(al.hvl1Mm, 3),
            Fixed(al.hvl2Mm, 3),
            Significant(al.homogeneity),
            Fixed(cu.hvl1Mm, 3),
            Fixed(cu.hvl2Mm, 3),
            Significant(cu.homogeneity),
            Fixed(p.quality.meanEnergyKev, 2),
            Fixed(al.effectiveEnergyKev, 2),
            Fixed(cu.effectiveEnergyKev, 2)};
}

std::string FormatSignificant(double value, int digits) {
    if (value == 0 || !std::isfinite(value))
        return FormatFixed(value, std::max(0, digits - 1));
    const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    int decimals = std::clamp(digits - 1 - exponent, 0, 17);
    std::string text = FormatFixed(value, decimals);
    // Rounding may carry into a new leading digit (0.99996 -> 1.0000): one decimal fewer then.
    if (decimals > 0 && std::fabs(WholeNumber(text).value_or(0)) >= std::pow(10.0, exponent + 1))
        text = FormatFixed(value, decimals - 1);
    return text;
}

}  // namespace halvorn
