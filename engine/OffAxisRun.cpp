#include "OffAxisRun.h"

namespace halvorn {

OffAxisOutcome OffAxisRun(CalculationState&, const ProfileFields&, Reporter&) { return OffAxisOutcome::InputError; }
void SolveBowtieProfile(CalculationState&, Reporter&) {}

}  // namespace halvorn
