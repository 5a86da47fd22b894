#include "CalibrationRun.h"

namespace halvorn {

CalibrationOutcome CalibrationRun(CalculationState&, const CalibrationInputs&, Reporter&) { return {}; }
void RunSpectrumPass(CalculationState&, Reporter&, CalibrationOutcome&) {}
void FitFiltrationToHvl(CalculationState&, const std::string&, Reporter&, CalibrationOutcome&) {}

}  // namespace halvorn
