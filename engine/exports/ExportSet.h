#pragma once

// The whole export set of a run, as (file name, bytes) pairs with fixed plain-ASCII names:
//
//   centre.spectrum               EGSnrc tabulated spectrum of the centre ray
//   point01.spectrum ...          EGSnrc tabulated spectrum of each off-axis point (two digits)
//   bowtie_distribution.dat       EGSnrc CT source: photons per fan angle        } with at least one
//   al_bowtie.dat                 EGSnrc CT source: Al-equivalent bowtie path    } off-axis point
//   source.egsinp                 EGSnrc CT source: the source definition        }
//   xcist_bowtie.txt              XCIST bowtie over the whole fan                }
//   xcist_spectrum.dat            XCIST spectrum of the centre ray
//   gate9_spectrum.txt            GATE 9 user spectrum (histogram) of the centre ray
//   gate10_spectrum.py            GATE 10 bin edges and weights of the centre ray
//   spectrum.spk                  spectrum-toolkit text of the centre ray with its beam-quality figures
//   spectra_long.csv              every point's spectrum, one row per point and bin
//   beam_quality.csv              the beam-quality figures of every point
//
// The set is all or nothing: when one file cannot be made (a point without a spectrum, an angle step the
// EGSnrc source cannot read) the set holds no files and `error` says why. After a calibration alone (the
// centre only) the four fan files are left out.

#include <optional>
#include <string>
#include <vector>

#include "engine/AttenuationTable.h"
#include "engine/BeamQuality.h"
#include "engine/exports/ExportCommon.h"

namespace halvorn {

struct ExportOptions {
    std::optional<double> collimationCm;  // for source.egsinp; without it the line is left for the user
    double angleStepDeg = 0.125;          // grid of the EGSnrc bowtie files
};

struct ExportFile {
    std::string name;
    std::string bytes;
};

struct ExportSet {
    std::vector<ExportFile> files;
    std::string error;  // empty when the set was made
    // What the set was made from, for the manifest the folder writer adds (ExportWriter.h).
    ExportInputs inputs;
    ExportOptions options;
};

// The set for the points of `points` (RunBeamQuality of `state`, centre first). `table` gives the K-line
// split of spectrum.spk when the inputs hold a target angle.
ExportSet BuildExportSet(const CalculationState& state,
                         const AttenuationCoefficients& table,
                         const std::vector<PointQuality>& points,
                         const ExportInputs& inputs,
                         const ExportOptions& options);

}  // namespace halvorn
