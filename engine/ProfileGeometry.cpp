#include "engine/ProfileGeometry.h"

#include <cmath>

#include "engine/NumberText.h"
#include "engine/Translatable.h"

namespace halvorn {

std::optional<GeometryRefusal> CheckProfileGeometry(double focusDistanceCm,
                                                    std::span<const double> distancesCm) {
    for (std::size_t k = 0; k < distancesCm.size(); ++k)
        if (distancesCm[k] == 0)
            return GeometryRefusal{GeometryRefusal::Kind::PointOnCentre, static_cast<int>(k) + 1};
    int farthest = 0;
    for (std::size_t k = 0; k < distancesCm.size(); ++k)
        if (farthest == 0 || std::abs(distancesCm[k]) > std::abs(distancesCm[farthest - 1]))
            farthest = static_cast<int>(k) + 1;
    if (farthest > 0 && !(focusDistanceCm > std::abs(distancesCm[farthest - 1])))
        return GeometryRefusal{GeometryRefusal::Kind::FocusNotBeyondPoints, farthest};
    return std::nullopt;
}

Phrase GeometryRefusalLine(const GeometryRefusal& refusal,
                           double focusDistanceCm,
                           std::span<const double> distancesCm) {
    const std::string point = std::to_string(refusal.point);
    if (refusal.kind == GeometryRefusal::Kind::PointOnCentre)
        //: %1 is the point's number.
        return {"ProfileGeometry",
                HALVORN_TRANSLATABLE("ProfileGeometry", "ポイント %1 の軸外距離がありません"),
                {point}};
    const double distance = distancesCm[static_cast<std::size_t>(refusal.point) - 1];
    //: %1 is the farthest point's number, %2 its off-axis distance, %3 the focus-centre distance (both in
    //: cm).
    return {"ProfileGeometry",
            HALVORN_TRANSLATABLE("ProfileGeometry",
                                 "ポイント %1 の軸外距離 %2 cm に対し、焦点-回転中心間距離が %3 cm です"),
            {point, PlainDecimal(distance), PlainDecimal(focusDistanceCm)}};
}

}  // namespace halvorn
