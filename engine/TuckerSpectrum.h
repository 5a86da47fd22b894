#pragma once

#include "engine/CalculationState.h"

namespace halvorn {

// Tucker's model of the unfiltered tungsten-target spectrum at TubeVoltageKv and TargetAngleDeg:
// bremsstrahlung in bins 2 .. 2*T0 and, above 70 kV, the four tungsten K lines, into TargetSpectrum.
// Returns false on an arithmetic failure (division by zero, overflow, invalid operation); the
// TargetSpectrum bins written before the failure keep their values.
[[nodiscard]] bool GenerateTargetSpectrum(CalculationState& state);

}  // namespace halvorn
