#pragma once

// The outline of the bowtie filter as the results screen's figure draws it. The filter is taken to be
// aluminium lying on the plane 15 cm from the focus; each profile point's path length is laid back along
// its ray from that plane towards the focus. Units are 0.1 mm in that plane: x across the fan from the
// central axis, y up from the plane.

#include <optional>
#include <vector>

#include "engine/CalculationState.h"

namespace halvorn {

// Point p of the right half: where its ray meets the base plane, x_p = 100 (15 / S) d_p, and the outline
// point R_p = (x_p - t_p sin(theta_p), t_p cos(theta_p)) with theta_p = atan(d_p / S) and t_p = 10 B_p. The
// left half is the mirror image.
struct OutlinePoint {
    double baseX = 0;
    double x = 0;
    double y = 0;
};

struct BowtieOutline {
    double centreThickness = 0;        // t_0, on the central axis
    double baseHalfWidth = 0;          // x of the point N rounded half to even: the base segment's half width
    std::vector<OutlinePoint> points;  // points 1, 2, ... while p <= N
};

// Nothing when the data cannot give a figure: a focus-centre distance of 0 or not finite, a point count
// outside 0 to 25, or a point whose numbers overflow.
std::optional<BowtieOutline> ComputeBowtieOutline(const CalculationState& state);

}  // namespace halvorn
