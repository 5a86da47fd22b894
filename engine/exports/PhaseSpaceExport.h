#pragma once

// The fan beam (FanBeam.h) as an IAEA phase-space file pair, NAME.IAEAheader + NAME.IAEAphsp, read by
// EGSnrc's iaea_phsp_source and by GATE, TOPAS and Geant4 applications through the IAEA routines.
//
// N photons cross the plane z = D (cm from the focus), each its own history: every record carries the
// new-history mark (a negative energy) and $ORIG_HISTORIES: is N, so a code that normalises per history
// normalises per photon of the file. A photon's fan angle is drawn with density f(gamma) cos(gamma) over
// -gamma_N..gamma_N, its y uniformly over the collimation scaled to the plane (c D / F), its energy from the
// point spectra interpolated in gamma (a bin of the interpolated spectrum, then uniformly within the bin's
// edges as the histogram files give them), its direction from the focus at the origin through (x, y, D).
//
// Records, little-endian, 25 bytes: the particle type (1, photon; W is always positive), then floats:
// energy (MeV, negative), X, Y (cm), U, V (direction cosines), weight (1). Z is constant, the plane, in
// $RECORD_CONSTANT:. The header holds every block the IAEA routines require, the counts, the checksum (record
// length times N, the size of the .IAEAphsp file) and the statistics block.
//
// With an absolute scale (AbsoluteScale.h, Phi photons per cm^2 per mAs at the centre), the photons the beam
// sends per mAs through the collimated fan are N1 = Phi F c * integral of f(gamma) cos(gamma) dgamma; a
// simulated quantity per history times N1 is that quantity per mAs. The header's title gives N1.
//
// The same options and seed give the same bytes: the generator is the program's own (xoshiro256**), the
// sampling uses no library distribution.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "engine/exports/ExportCommon.h"
#include "engine/exports/FanBeam.h"

namespace halvorn {

constexpr int kPhaseSpaceRecordBytes = 25;
constexpr long long kMaxPhaseSpacePhotons = 1000000000;  // 25 GB of records

struct PhaseSpaceOptions {
    long long photons = 1000000;  // N
    double planeCm = 20;          // D, distance of the plane from the focus
    double collimationCm = 0;     // c, the beam width along y at the rotation centre (FWHM)
    std::uint64_t seed = 20;
    std::optional<double> photonsPerMasPerCm2Centre;  // Phi, for N1
};

// Receives the records in pieces, in order; false stops the writing (a full disk).
using PhaseSpaceSink = std::function<bool(std::string_view bytes)>;
// Told the photons written so far after each piece; false cancels.
using PhaseSpaceProgress = std::function<bool(long long done, long long total)>;

struct PhaseSpaceResult {
    std::string header;  // the .IAEAheader text, when the records were all written
    std::string error;   // a bad option or fan, a sink that stopped, or "cancelled"
    bool cancelled = false;
    std::optional<double> photonsPerMas;  // N1, with an absolute scale
    bool ok() const { return error.empty(); }
};

// N1 = Phi F c * FanIntegral(fan).
double PhaseSpacePhotonsPerMas(const FanBeam& fan, double photonsPerMasPerCm2Centre, double collimationCm);

// Writes the records through `sink` and returns the header that goes with them; `inputs` are named in the
// header.
PhaseSpaceResult WritePhaseSpace(const FanBeam& fan,
                                 const RunInputs& inputs,
                                 const PhaseSpaceOptions& options,
                                 const PhaseSpaceSink& sink,
                                 const PhaseSpaceProgress& progress = {});

// The same into memory: `records` receives the .IAEAphsp bytes (empty on failure).
PhaseSpaceResult PhaseSpaceFiles(const FanBeam& fan,
                                 const RunInputs& inputs,
                                 const PhaseSpaceOptions& options,
                                 std::string& records,
                                 const PhaseSpaceProgress& progress = {});

}  // namespace halvorn
