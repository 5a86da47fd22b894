#pragma once

// The whole fan beam of a run, in one frame shared by every geometric export: the focus at the origin, the
// central ray along +z, the fan in the x-z plane (fan angle gamma = atan(x / z)), the patient axis along y.
//
// The beam: along the ray at fan angle gamma, the photon fluence at distance F (focus to rotation centre)
// from the focus is f(gamma) times the centre's, f the measured points' relative fluence, linear in gamma
// between measured points and mirrored (the filter is taken as symmetric). Its spectrum is the point spectra
// interpolated in gamma the same way; since the stored point spectra share one normaliser, their sums are
// f, so interpolating the spectra interpolates f too. Along the patient axis the beam covers the
// collimation c (its width at the centre) scaled to each plane's distance from the focus. So the photons per
// unit fan angle are proportional to f(gamma) cos(gamma): at distance F along the ray, a unit of fan angle
// spans F across the ray and c cos(gamma) along y. The fan ends at the outermost measured point, +-gamma_N:
// nothing lies beyond it, nothing is extrapolated.

#include <string>
#include <vector>

#include "engine/BeamQuality.h"
#include "engine/CalculationState.h"
#include "engine/RunRecord.h"

namespace halvorn {

struct FanBeam {
    double tubeVoltageKv = 0;
    double focusCentreDistanceCm = 0;
    // The measured fan by angle, centre first; points at the same |gamma| are averaged.
    std::vector<double> angleRad;
    std::vector<double> relativeFluence;  // f
    std::vector<double> bowtieAlMm;       // the whole bowtie path along the ray
    std::vector<Spectrum> spectra;        // the point spectra, as stored (relative to the centre's peak)
    std::string error;                    // why the run gives no fan; then the lists are empty
};

// The fan of the run's points (centre first) with their spectra.
FanBeam FanBeamOf(const RunRecord& run);

// f(gamma): interpolated, mirrored, 0 beyond the last measured angle.
double FluenceAt(const FanBeam& fan, double gammaRad);

// The integral of f(gamma) cos(gamma) over the whole fan, -gamma_N..gamma_N (exact for f linear in pieces).
double FanIntegral(const FanBeam& fan);

}  // namespace halvorn
