#pragma once

// The spectrum plot shared by the centre-axis and results screens: user coordinates 6000 x 2500 (y down),
// frame (1000, 100)-(5500, 2100), bin i at x = 1000 + 15 i, value v at y = 2100 - 2000 v / divisor.

#include "common/DrawingSurface.h"
#include "engine/CalculationState.h"

namespace halvorn::ui {

// A drawing surface with the plot's coordinates and its font.
DrawingSurface* MakeSpectrumPlot(QWidget* parent);

// Erases the plot and draws the grid, the axis labels and the frame; leaves the line width at 2.
void DrawSpectrumAxes(DrawingSurface& plot);

// Draws the spectrum as a red step curve over what the plot holds, then the frame again.
void DrawSpectrumCurve(DrawingSurface& plot, const Spectrum& spectrum, double divisor);

}  // namespace halvorn::ui
