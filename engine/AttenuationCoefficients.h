#pragma once

// The coefficient columns of the attenuation table on their own, for the arithmetic that needs the
// coefficients without a calculation (the beam-quality figures of a loaded result file). Reading them from
// the table file is engine/AttenuationTable.h's business; nothing here touches a file.

#include "engine/CalculationState.h"

namespace halvorn {

// Same bins as CalculationState.
struct AttenuationCoefficients {
    Spectrum MuTungsten{};   // 1/cm
    Spectrum MuAluminium{};  // 1/cm
    Spectrum MuCopper{};     // 1/cm
    Spectrum MuEnAir{};      // cm^2/g
    Spectrum MuSilver{};     // 1/cm
    Spectrum MuColumn7{};    // read and kept, never used
};

// The coefficients a state holds (after LoadAttenuationTable).
AttenuationCoefficients CoefficientsOf(const CalculationState& state);

}  // namespace halvorn
