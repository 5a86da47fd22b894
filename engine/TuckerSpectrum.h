#pragma once

#include <optional>

#include "engine/AttenuationCoefficients.h"
#include "engine/CalculationState.h"

namespace halvorn {

// Tucker's model of the unfiltered tungsten-target spectrum at TubeVoltageKv and TargetAngleDeg:
// bremsstrahlung in bins 2 .. 2*T0 and, above 70 kV, the four tungsten K lines, into TargetSpectrum.
// Returns false on an arithmetic failure (division by zero, overflow, invalid operation); the
// TargetSpectrum bins written before the failure keep their values.
[[nodiscard]] bool GenerateTargetSpectrum(CalculationState& state);

// The share of each bin of the model spectrum that the four K lines contribute (0 outside bins 116, 119,
// 134 and 138, and everywhere up to 70 kV), for the given tube voltage and target angle. Filtration
// attenuates a bin's bremsstrahlung and line parts alike, so the share applies to every filtered spectrum
// of that tube. Nothing when the model fails at these inputs.
std::optional<Spectrum> CharacteristicShare(const AttenuationCoefficients& table,
                                            double tubeVoltageKv,
                                            double targetAngleDeg);

}  // namespace halvorn
