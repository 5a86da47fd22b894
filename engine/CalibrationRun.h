#pragma once

#include <optional>
#include <string>

#include "engine/CalculationState.h"
#include "engine/Reporter.h"

namespace halvorn {

// The texts of the centre-axis screen's input fields, as typed.
struct CalibrationInputs {
    std::string Text13;  // measured HVL, mm of the chosen material
    std::string Text1;   // tube voltage, kV
    std::string Text5;   // target angle, degrees
    std::string Text3;   // inherent filtration, mm Al eq.
    std::string Text4;   // added aluminium, mm
    std::string Text10;  // added copper, mm
    std::string Text11;  // added silver, mm
};

// What a run writes back to the screen. A field that is empty (nullopt) was not written by this run and
// keeps its previous text on the screen.
struct CalibrationOutcome {
    bool started = false;                // false: a validation message was shown, nothing changed
    std::optional<std::string> Text2;    // fitted total filtration, mm, "0.000"
    std::optional<std::string> Text9;    // model aluminium HVL, mm, "#0.00"
    std::optional<std::string> Text8;    // model copper HVL, mm, "#0.00"
    std::optional<std::string> Label20;  // model HVL in the measured material
    std::optional<std::string> Label21;  // centre bowtie thickness, mm, "0.000"
    // True when pass 2 drew the centre spectrum: the screen draws BeamSpectrum with the divisor
    // SpectrumPeak over what the plot holds and turns the cursor lines red.
    bool drawCentreSpectrum = false;
};

// The compute button of the centre-axis screen: validation, pass 1, the filtration fit, pass 2.
// HvlMaterial must already hold the option chosen on the screen.
CalibrationOutcome CalibrationRun(CalculationState& state,
                                  const CalibrationInputs& inputs,
                                  Reporter& reporter);

// One spectrum pass (CalibrationPass 1 or 2). Pass 2 fills the result texts of `outcome`.
void RunSpectrumPass(CalculationState& state, Reporter& reporter, CalibrationOutcome& outcome);

// The filtration fit (aluminium variant for HvlMaterial 1, copper otherwise); measuredText is Text13.
void FitFiltrationToHvl(CalculationState& state,
                        const std::string& measuredText,
                        Reporter& reporter,
                        CalibrationOutcome& outcome);

}  // namespace halvorn
