#pragma once

// The geometry of a measured profile, checked alike by the dose-profile screen and the batch tool before a
// run: every off-axis point in use lies off the centre, and the focus lies farther from the centre than any
// point.

#include <optional>
#include <span>
#include <string>

#include "engine/Phrase.h"

namespace halvorn {

struct GeometryRefusal {
    enum class Kind {
        // A point in use at distance 0. Only the centre lies there; an empty distance field reads as 0,
        // so a forgotten distance would otherwise put the point on the centre with a plausible-looking
        // bowtie path.
        PointOnCentre,
        // The focus-centre distance is not greater than the farthest point's distance: that point would sit
        // at a fan angle of 45 degrees or more, outside any CT fan (typically metres typed for centimetres).
        FocusNotBeyondPoints,
    };
    Kind kind;
    int point;  // 1..N: the point at the centre, or the farthest point
};

// `distancesCm` are the distances of points 1..N (either side of the centre, repeats allowed). The first
// point at distance 0 is refused first; then the focus distance against the farthest point.
std::optional<GeometryRefusal> CheckProfileGeometry(double focusDistanceCm,
                                                    std::span<const double> distancesCm);

// The refusal's line for the screens, naming the point ("ポイント 11 の軸外距離がありません" filled in).
Phrase GeometryRefusalLine(const GeometryRefusal& refusal,
                           double focusDistanceCm,
                           std::span<const double> distancesCm);

}  // namespace halvorn
