#pragma once

// The beam in absolute units, from one more measurement: the air kerma free in air at the rotation centre
// on the central ray, per 100 mAs, read with a small chamber (a point kerma; a CTDI-free-in-air reading
// over a pencil chamber would also hold the over-beaming and is larger by that ratio).
//
// With s(E) the centre ray's photon spectrum normalised to a sum of 1 over the exported bins, the kerma per
// unit photon fluence is k = sum s(E) E (mu_en/rho)_air(E): keV cm^2/g per photon/cm^2, that is keV/g. With
// 1 keV = 1.602176634e-16 J, 1 g = 1e-3 kg and 1 Gy = 1000 mGy, 1 keV/g = 1.602176634e-10 mGy. So
//
//     K / 100 [mGy per mAs] = Phi [photons per cm^2 per mAs] * k [keV/g] * 1.602176634e-10
//
// and Phi, the photons per cm^2 per mAs at the centre (distance F from the focus), is K / (100 * 1.602e-10
// * k). The mu_en/rho of air is the attenuation table's column (cm^2/g). Along the ray of a profile point,
// at the same distance F from the focus, the fluence is Phi times the point's relative fluence.

#include <optional>
#include <string>

#include "engine/AttenuationTable.h"
#include "engine/CalculationState.h"

namespace halvorn {

// mGy per keV/g.
constexpr double kMgyPerKevPerGram = 1.602176634e-10;

struct AbsoluteScale {
    double kermaPer100MasMgy = 0;          // the measurement
    double photonsPerMasPerCm2Centre = 0;  // Phi
};

// Air kerma per unit photon fluence of the spectrum's shape (mGy cm^2 per photon), over bins 2..2*T0;
// nothing for a spectrum without photons or with a negative or non-finite bin.
std::optional<double> KermaPerPhotonMgyCm2(const Spectrum& photons,
                                           double tubeVoltageKv,
                                           const AttenuationCoefficients& table);

// Phi from the measured kerma per 100 mAs and the centre ray's spectrum; `error` says why not (a kerma that
// is not a positive number, a centre ray without photons).
struct AbsoluteScaleResult {
    std::optional<AbsoluteScale> scale;
    std::string error;
};
AbsoluteScaleResult AbsoluteScaleOf(const Spectrum& centre,
                                    double tubeVoltageKv,
                                    const AttenuationCoefficients& table,
                                    double kermaPer100MasMgy);

}  // namespace halvorn
