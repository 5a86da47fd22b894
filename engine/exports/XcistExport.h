#pragma once

// XCIST (gecatsim) files: a bowtie over the whole fan and a spectrum.
//
// Bowtie: '#' comment lines, then tab-separated rows "angle (rad), Al (cm), graphite, Cu, Ti" from the
// outermost negative angle through 0 to the outermost positive one, the measured points mirrored. XCIST
// interpolates linearly in angle between rows, so the measured points are written as they are. The Al
// column is the path beyond the centre ray's, because the spectrum file already is the centre ray's
// spectrum, behind the bowtie's centre. XCIST extrapolates beyond the outermost row; the comment says
// where the measured fan ends.
//
// Spectrum: XCIST reads only lines that start with a digit: the count N, N lines "keV,intensity" (bin
// centres) and, optionally, the target angle. Comments start with '#'. The reader drops the last character
// of every line, so every line, the last one too, ends with a newline. The intensities are relative
// photons per 0.5 keV bin, not XCIST's photons per mA s per area at 1 m: the comment says so.

#include <string>
#include <vector>

#include "engine/BeamQuality.h"
#include "engine/exports/ExportCommon.h"

namespace halvorn {

ExportText XcistBowtie(const std::vector<PointQuality>& points, const ExportInputs& inputs);

// The spectrum of `photons`, ending with the target angle when the inputs hold one.
ExportText XcistSpectrum(const Spectrum& photons, const ExportInputs& inputs, const std::string& what);

}  // namespace halvorn
