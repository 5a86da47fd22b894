#include "engine/exports/AbsoluteScale.h"

#include <cmath>

#include "engine/Filtration.h"

namespace halvorn {

std::optional<double> KermaPerPhotonMgyCm2(const Spectrum& photons,
                                           double tubeVoltageKv,
                                           const AttenuationCoefficients& table) {
    double count = 0;
    double kerma = 0;  // keV cm^2/g
    for (int i = 2; i <= HighestBin(tubeVoltageKv); ++i) {
        if (!(photons[i] >= 0) || !std::isfinite(photons[i]))
            return std::nullopt;
        count += photons[i];
        kerma += photons[i] * (0.5 * i) * table.MuEnAir[i];
    }
    const double perPhoton = kerma / count * kMgyPerKevPerGram;
    if (!(count > 0) || !(perPhoton > 0) || !std::isfinite(perPhoton))
        return std::nullopt;
    return perPhoton;
}

AbsoluteScaleResult AbsoluteScaleOf(const Spectrum& centre,
                                    double tubeVoltageKv,
                                    const AttenuationCoefficients& table,
                                    double kermaPer100MasMgy) {
    AbsoluteScaleResult out;
    if (!(kermaPer100MasMgy > 0) || !std::isfinite(kermaPer100MasMgy)) {
        out.error = "the air kerma per 100 mAs must be a positive number of mGy";
        return out;
    }
    const auto perPhoton = KermaPerPhotonMgyCm2(centre, tubeVoltageKv, table);
    if (!perPhoton) {
        out.error = "the centre ray has no spectrum to scale";
        return out;
    }
    out.scale = AbsoluteScale{kermaPer100MasMgy, kermaPer100MasMgy / 100 / *perPhoton};
    return out;
}

}  // namespace halvorn
