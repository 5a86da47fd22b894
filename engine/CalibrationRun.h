#pragma once

#include <optional>

#include "engine/CalculationState.h"
#include "engine/InputRanges.h"
#include "engine/Reporter.h"
#include "engine/RunRecord.h"

namespace halvorn {

// The centre-axis inputs as numbers, in the units the user gives them.
struct CalibrationInputs {
    double measuredHvlMm = 0;         // measured HVL, mm of hvlMaterial
    double tubeVoltageKv = 0;         // kV
    double targetAngleDeg = 0;        // degrees
    double inherentFiltrationMm = 0;  // mm Al equivalent
    double addedAlMm = 0;             // mm
    double addedCuMm = 0;             // mm
    double addedAgMm = 0;             // mm
    HvlMaterial hvlMaterial = HvlMaterial::Aluminium;
};

// What a run found. A value that is empty was not produced by this run.
struct CalibrationResult {
    bool started = false;                      // false: a value was refused (message given), nothing changed
    std::optional<InputField> refused;         // the refused value's field
    bool succeeded = false;                    // every phase completed and the centre spectrum is stored
    std::optional<double> fittedFiltrationMm;  // total aluminium-equivalent filtration of the fit
    std::optional<double> hvlAlMm;             // model aluminium HVL of pass 2
    std::optional<double> hvlCuMm;             // model copper HVL of pass 2
    std::optional<double> centreBowtieMm;      // centre bowtie thickness, only when positive
};

// The calibration run: the inputs are checked against their accepted ranges (the first refused one is
// reported and ends the run before anything changes), written into the state (the measured material into
// HvlMaterial), then pass 1, the filtration fit and pass 2 run under the busy dialog.
// CalibrationSucceeded is 1 afterwards only when the result says succeeded.
CalibrationResult CalibrationRun(CalculationState& state,
                                 const CalibrationInputs& inputs,
                                 Reporter& reporter);

// One spectrum pass (CalibrationPass 1 or 2); pass 2 fills the HVLs and the centre bowtie of `result` and
// stores the centre spectrum. False when the pass failed or found no positive bowtie thickness (reported).
bool RunSpectrumPass(CalculationState& state, Reporter& reporter, CalibrationResult& result);

// The filtration fit to the measured HVL (mm of the material HvlMaterial names): the aluminium variant for
// HvlMaterial 1, the copper one otherwise. False when it ended in a failure (reported).
bool FitFiltrationToHvl(CalculationState& state,
                        double measuredHvlMm,
                        Reporter& reporter,
                        CalibrationResult& result);

}  // namespace halvorn
