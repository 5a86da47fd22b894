#pragma once

// EGSnrc files: a tabulated spectrum (.spectrum) of any point, and the three inputs of the egs++ source
// egs_al_eq_ct_source (aluminium-equivalent CT source): the bowtie distribution, the Al-equivalent bowtie
// thickness file and an input block naming them.
//
// Written to survive the reader. Every line ends with a newline (EGSnrc's readers treat reaching the end of
// the file while reading the last value as an error). The spectrum is mode 0 (counts per bin) with each
// bin's upper edge in MeV (ExportCommon.h for the edges). The CT source reader skips exactly eight header
// lines of the thickness file, reads its count line into four characters (so the grid is refused beyond
// 9998 angles), skips one more line and then pairs thickness i with angle i of the distribution. It builds
// one angle more than the distribution lists and reads the thickness of that one too, so the thickness
// file holds one entry more than the distribution, a copy of the last. The source subtracts thickness[0]
// itself, so the file holds the whole bowtie path and the centre-ray spectrum goes with it.

#include <optional>
#include <string>
#include <vector>

#include "engine/BeamQuality.h"
#include "engine/exports/ExportCommon.h"

namespace halvorn {

// The most angles the thickness file's count line (four characters) can announce, less the extra entry.
constexpr int kMaxEgsnrcAngles = 9998;

// A tabulated spectrum of `photons` (relative counts per bin); `what` names it in the title ("centre ray").
ExportText EgsnrcSpectrum(const Spectrum& photons, const RunInputs& inputs, const std::string& what);

// The bowtie distribution: fan angle (radians, 0 outward) against the fluence at equal distance from the
// focus relative to the centre ray (the points' relative fluence; photons per unit angle would carry another
// cos(angle)), on the grid of OnAngleGrid, mode 0.
ExportText EgsnrcBowtieDistribution(const std::vector<PointQuality>& points,
                                    const RunInputs& inputs,
                                    double stepDeg);

// The Al-equivalent bowtie: the whole bowtie path (mm) at the same angles, plus the extra last entry.
ExportText EgsnrcAlBowtie(const std::vector<PointQuality>& points, const RunInputs& inputs, double stepDeg);

// The file names the input block refers to.
struct EgsnrcSourceFiles {
    std::string distribution = "bowtie_distribution.dat";
    std::string alBowtie = "al_bowtie.dat";
    std::string spectrum = "centre.spectrum";
};

// A source definition for an .egsinp: egs_al_eq_ct_source with the focus-centre distance of the inputs and
// the given collimation (beam width at the rotation centre along the patient axis, cm). Without a
// collimation the line is left commented out with a note, since EGSnrc would quietly take 1 cm. One comment
// line says that this source lives only on a pull-request branch, with the faults read from its source there,
// and recommends the phase-space file with iaea_phsp_source.
ExportText EgsnrcSourceBlock(const RunInputs& inputs,
                             std::optional<double> collimationCm,
                             const EgsnrcSourceFiles& files = {});

}  // namespace halvorn
