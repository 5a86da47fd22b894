#pragma once

// clang-format off
// The whole export set of a run, as (file name, bytes) pairs with fixed plain-ASCII names:
//
//   centre.spectrum          EGSnrc tabulated spectrum of the centre ray
//   point01.spectrum ...     EGSnrc tabulated spectrum of each off-axis point (two digits)
//   bowtie_distribution.dat  EGSnrc CT source: relative fluence by fan angle   } with at least one
//   al_bowtie.dat            EGSnrc CT source: Al-equivalent bowtie path       } off-axis point
//   source.egsinp            EGSnrc CT source: the source definition           }
//   xcist_bowtie.txt         XCIST bowtie over the whole fan                   }
//   xcist_spectrum.dat       XCIST spectrum of the centre ray
//   gate9_spectrum.txt       GATE 9 user spectrum (histogram) of the centre ray
//   gate10_spectrum.py       GATE 10 bin edges and weights of the centre ray
//   spectrum.spk             spectrum-toolkit text of the centre ray with its beam-quality figures
//   spectra_long.csv         every point's spectrum, one row per point and bin
//   beam_quality.csv         the beam-quality figures of every point
//
// and, when their options ask for them (each needs at least one off-axis point):
//
//   fan_beam.IAEAheader      IAEA phase space of the whole fan (PhaseSpaceExport.h)  } phaseSpacePhotons
//   fan_beam.IAEAphsp        its records                                             }
//   bowtie.stl               the bowtie as an aluminium solid (BowtieSolidExport.h)  } bowtieSolid
//   pre_bowtie.spectrum      EGSnrc spectrum before the bowtie                       }
//   pre_bowtie_gate9.txt     GATE 9 user spectrum before the bowtie                  }
//   gate10_fan_beam.py       GATE 10 module: that spectrum, the fan and the solid    }
// clang-format on
//
// With the air kerma at the centre (kermaPer100MasMgy) the set carries its absolute scale: xcist_spectrum.dat
// is in XCIST's own units, the phase-space header and the GATE 10 module give photons per mAs; every other
// file stays relative. Without it every file is relative and says so.
//
// The set is all or nothing: when one file cannot be made (a point without a spectrum, an angle step the
// EGSnrc source cannot read) the set holds no files and `error` says why. After a calibration alone (the
// centre only) the four fan files are left out.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/AttenuationTable.h"
#include "engine/BeamQuality.h"
#include "engine/exports/AbsoluteScale.h"
#include "engine/exports/ExportCommon.h"
#include "engine/exports/PhaseSpaceExport.h"

namespace halvorn {

struct ExportOptions {
    // The beam width at the rotation centre along the patient axis (FWHM, cm): for source.egsinp (without it
    // the line is left for the user), the phase space (which needs it) and the solid's extent along y.
    std::optional<double> collimationCm;
    double angleStepDeg = 0.125;  // grid of the EGSnrc bowtie files
    // The air kerma free in air at the rotation centre on the central ray per 100 mAs (mGy): the absolute
    // scale (AbsoluteScale.h).
    std::optional<double> kermaPer100MasMgy{};
    std::optional<long long> phaseSpacePhotons{};  // N: the phase space only with it
    double phaseSpacePlaneCm = 20;                 // its plane's distance from the focus
    std::uint64_t phaseSpaceSeed = PhaseSpaceOptions{}.seed;
    PhaseSpaceProgress phaseSpaceProgress{};  // told the photons written; false cancels the whole set
    bool bowtieSolid = false;  // bowtie.stl and the files that go with it (needs the target angle)
};

struct ExportFile {
    std::string name;
    std::string bytes;
};

struct ExportSet {
    std::vector<ExportFile> files;
    std::string error;  // empty when the set was made
    bool cancelled = false;
    // With kermaPer100MasMgy: the scale, and with a phase space its photons per mAs (N1).
    std::optional<AbsoluteScale> absolute{};
    std::optional<double> phaseSpacePhotonsPerMas{};
    // What the set was made from, for the manifest the folder writer adds (ExportWriter.h).
    RunInputs inputs;
    ExportOptions options;
};

// The set for the run's points (centre first) and spectra. The run's table gives the K-line split of
// spectrum.spk when the inputs hold a target angle.
ExportSet BuildExportSet(const RunRecord& run, const ExportOptions& options);

}  // namespace halvorn
