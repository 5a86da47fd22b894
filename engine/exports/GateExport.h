#pragma once

// GATE user spectra, histogram form, MeV.
//
// GATE 9 (/gate/source/NAME/gps/setSpectrumFile): first line "2 Emin" (mode 2, histogram; Emin the lower
// edge of the first bin), then one line "E weight" per bin, E the bin's upper edge and the weight a density
// per MeV. GATE's reader counts the lines after the first to size its tables and has no comment syntax, so
// the file holds nothing else: no title, no blank line, one newline after the last line.
//
// GATE 10 (opengate GenericSource, energy.type "spectrum_histogram"): N + 1 bin edges (MeV) and N weights,
// written as a Python module with the two lists and a function that sets them on a source. GATE 10 scales
// the source activity by the integral of the weights, so the weights are a density per MeV with integral 1.
// The GATE 9 weights are normalised the same way.

#include <string>

#include "engine/exports/ExportCommon.h"

namespace halvorn {

ExportText Gate9Spectrum(const Spectrum& photons, double tubeVoltageKv, const std::string& what);

ExportText Gate10Spectrum(const Spectrum& photons, const RunInputs& inputs, const std::string& what);

}  // namespace halvorn
