#pragma once

#include <string>

#include "CalculationState.h"

namespace halvorn {

// Outcome of reading the attenuation table file.
enum class TableLoadStatus {
    Ok,
    CannotOpen,     // the file does not exist or cannot be read
    EndedEarly,     // fewer than 2100 numbers before the end of the file
    NotANumber,     // a field that is not a number before the 2100th
};

// Reads the 300 records of seven numbers (free format: commas, blanks or line ends between numbers)
// from `path` into the Mu arrays of the state, then clears PointSpectra (bins 1..300), DoseProfile and
// BowtieAlMm of every point. On any failure nothing in the state is changed.
TableLoadStatus LoadAttenuationTable(CalculationState& state, const std::string& path = "MUs2022.dat");

// A one-line description of a failed load, naming the file, for the fatal error box or stderr.
std::string DescribeTableLoadFailure(TableLoadStatus status, const std::string& path);

}  // namespace halvorn
