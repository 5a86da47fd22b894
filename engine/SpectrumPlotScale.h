#pragma once

// Where a spectrum stands on the spectrum plot that the centre-axis and results screens draw: user
// coordinates 6000 x 2500 with y growing downward, the frame from (1000, 100) to (5500, 2100), energy at
// x = 1000 + 30 E (0 to 150 keV across the frame), so bin i (E = 0.5 i keV) has its centre at
// x = 1000 + 15 i, and a value v against the divisor P at y = 2100 - 2000 v / P (0 on the bottom edge, P on
// the top edge; nothing clips values above P).

#include <optional>

namespace halvorn {

inline constexpr double kPlotFrameLeft = 1000;
inline constexpr double kPlotFrameTop = 100;
inline constexpr double kPlotFrameRight = 5500;
inline constexpr double kPlotFrameBottom = 2100;
inline constexpr double kPlotBinWidth = 15;  // user units per 0.5 keV bin

// x of the centre of bin i.
double BinCentreX(int bin);

// y of a value against the plot's divisor.
double ValueY(double value, double divisor);

// The bin the energy cursor reads for a mouse at (x, y): the first bin whose centre is not left of x.
// Nothing on the frame or outside it, where the cursor goes off.
std::optional<int> CursorBinAt(double x, double y);

}  // namespace halvorn
