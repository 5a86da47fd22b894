#pragma once

// What the results screen works out before it draws: the divisor of its curves and the point whose
// spectrum a typed number asks for.

#include <optional>

#include "engine/CalculationState.h"

namespace halvorn {

// The largest of bins 1..300, starting from 0: a bin replaces the peak only when strictly greater, so a
// spectrum of zeros has the peak 0.
double OwnPeak(const Spectrum& spectrum);

// SpectrumPeak becomes the peak of the centre spectrum, the divisor of every curve drawn against the
// centre; returns it.
double TakeCentrePeak(CalculationState& state);

// The point shown for the typed number p: p rounded to the nearest whole number, a half going to the even
// neighbour, when 0 <= p <= ProfilePointCount and that point has data (points 0..25). Nothing otherwise.
std::optional<int> PointToShow(double p, double pointCount);

}  // namespace halvorn
