#include "TuckerSpectrum.h"

namespace halvorn {

bool GenerateTargetSpectrum(CalculationState&) { return false; }

}  // namespace halvorn
