#pragma once

#include <string>
#include <string_view>

#include "engine/AttenuationCoefficients.h"
#include "engine/AttenuationTableText.h"
#include "engine/CalculationState.h"

namespace halvorn {

// Reads the table file into `table` alone; on any failure `table` is left unchanged.
TableLoadStatus ReadAttenuationTable(const std::string& path,
                                     AttenuationCoefficients& table,
                                     TableLoadDetail& detail);

// Reads the 300 records of seven numbers (free format: commas, blanks or line ends between numbers)
// from `path` into the Mu arrays of the state, once the numbers are found fit for a table (BadValue
// otherwise): the first numbers of the records are proportional to the record number (record i's is i
// times record 1's within 0.1 %, as the energies 0.5 i keV are in any unit), so that a field split in two,
// lost or added shows at once; columns 2 to 6 lie within the bounds a coefficient of their kind can take
// (TableColumnBounds); column 7 is any finite number. Then it clears PointSpectra (bins 1..300), DoseProfile
// and BowtieAlMm of every point. On any failure nothing in the state is changed.
TableLoadStatus LoadAttenuationTable(CalculationState& state, const std::string& path = "MUs2022.dat");

// The same, also telling where a failed load stopped.
TableLoadStatus LoadAttenuationTable(CalculationState& state,
                                     const std::string& path,
                                     TableLoadDetail& detail);

// The table a program run reads: MUs2022.dat in the working folder, else the copy installed beside the
// program (programDir/../share/halvorn, when the caller knows the program's folder), else the install
// prefix's share/halvorn, else the build tree's data/ - the first that exists, whatever it is (the loader
// then refuses what is not a regular table file, with a message naming it). When none exists, the working
// folder's name, so that the message names the file a user is expected to provide.
std::string FindAttenuationTable(const std::string& programDir = {});

}  // namespace halvorn
