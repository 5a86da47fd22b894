#pragma once

// The beam-quality table of the screens as text: the columns by identity (the screens give them their
// headings), and each point's figures as they are read off a table: millimetres and the fan angle to 3
// decimals, ratios (relative kerma and fluence, homogeneity coefficients) to 4 significant digits, energies
// to 2 decimals, and "—" for a figure that is not available. The columns are those of the per-point CSV
// (BeamQualityCsv).

#include <string>
#include <vector>

#include "engine/BeamQuality.h"

namespace halvorn {

// The columns in their order, the units those of the figures in PointQuality.
enum class BeamQualityColumn {
    Point,
    OffAxisCm,
    FanAngleDeg,
    BowtieAlMm,
    RelativeKerma,
    RelativeFluence,
    Hvl1AlMm,
    Hvl2AlMm,
    HomogeneityAl,
    Hvl1CuMm,
    Hvl2CuMm,
    HomogeneityCu,
    MeanEnergyKev,
    EffectiveEnergyAlKev,
    EffectiveEnergyCuKev,
};
inline constexpr int kBeamQualityColumns = static_cast<int>(BeamQualityColumn::EffectiveEnergyCuKev) + 1;

// What a cell shows for a figure that is not available (an em dash).
inline constexpr const char* kNotAvailable = "\xE2\x80\x94";

// The cells of one point, in the order of the columns.
std::vector<std::string> BeamQualityCells(const PointQuality& point);

// `value` to `digits` significant digits in fixed notation, "." always (1 -> "1.000", 0.12345 -> "0.1235",
// 123456 -> "123456" at 4 digits).
std::string FormatSignificant(double value, int digits);

}  // namespace halvorn
