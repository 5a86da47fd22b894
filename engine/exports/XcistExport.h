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
// of every line, so every line, the last one too, ends with a newline. Without an absolute scale the
// intensities are relative photons per 0.5 keV bin, not XCIST's photons per mA s per area at 1 m, and the
// comment says so. With one (AbsoluteScale.h: Phi, photons per cm^2 per mAs at the centre, distance F) they
// are XCIST's own units, photons per bin per mA s per mm^2 at 1 m: Phi s(E) / sum s, times (F / 100 cm)^2
// for the inverse square from F to 1 m, divided by 100 for cm^2 to mm^2.

#include <optional>
#include <string>
#include <vector>

#include "engine/BeamQuality.h"
#include "engine/exports/ExportCommon.h"

namespace halvorn {

// `absoluteSpectrum`: the spectrum it goes with is in XCIST's units (the comment names it so).
ExportText XcistBowtie(const std::vector<PointQuality>& points,
                       const RunInputs& inputs,
                       bool absoluteSpectrum = false);

// The spectrum of `photons`, ending with the target angle when the inputs hold one; in XCIST's units when
// `photonsPerMasPerCm2` (Phi of this spectrum at the focus-centre distance) is given.
ExportText XcistSpectrum(const Spectrum& photons,
                         const RunInputs& inputs,
                         const std::string& what,
                         std::optional<double> photonsPerMasPerCm2 = std::nullopt);

}  // namespace halvorn
