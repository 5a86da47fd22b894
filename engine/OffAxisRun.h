#pragma once

#include <array>
#include <string>

#include "engine/CalculationState.h"
#include "engine/Reporter.h"

namespace halvorn {

// The texts of the dose-profile screen's fields, indexed by field number: [1] focus-centre distance,
// [3..27] distances of points 1..25, [28] centre reading, [29..53] readings of points 1..25, [54] N.
// Entries 0 and 2 are unused.
using ProfileFields = std::array<std::string, 55>;

enum class OffAxisOutcome {
    InputError,  // the conversion failed: message shown, no busy dialog, solver not run
    Completed,   // the solver ran (possibly reporting its own failure) and the completion notice was shown
};

// The spectrum-calculation button of the dose-profile screen: converts the grid into distance-corrected
// relative kerma, runs the solver with the busy dialog and shows the completion notice. On Completed the
// screen makes its results button visible and focuses it.
OffAxisOutcome OffAxisRun(CalculationState& state, const ProfileFields& fields, Reporter& reporter);

// Bowtie path length of every off-axis point from the centre beam's aluminium transmission curve, the
// spectrum of points 0..N, and their normalisation to the centre peak. Reports its own failure.
void SolveBowtieProfile(CalculationState& state, Reporter& reporter);

}  // namespace halvorn
