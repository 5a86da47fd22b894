#pragma once

// The beam-quality figures a physicist reads off a photon spectrum: half-value layers in aluminium and
// copper with their homogeneity coefficients, the mean and effective energies, and, per profile point, the
// fan angle and the photon fluence relative to the centre ray.
//
// The half-value layers use the air-kerma weighting of the calibration run: the weight of bin i is
// photons x air mu_en x E over bins 21..2*T0 (10.5 keV up), the bins the calibration's transmission curves
// normalise. Unlike the calibration, which reads its HVL off a curve of 0.1 mm (Al) or 0.01 mm (Cu) steps,
// HVL1 and HVL2 here are exact roots of the transmitted kerma (1/2, then 1/4), to within 1e-5 mm. The
// centre-axis screen keeps showing the calibration's model HVL; the beam-quality table and the exports show
// these figures. At the centre, HVL1 in the measured material equals the measured HVL within the fit's own
// tolerance (within 0.0001 mm at 120 kV for 5 to 9 mm Al and 0.25 to 0.4 mm Cu), and the other material's
// HVL1 agrees with the calibration's within 0.0001 mm.
//
// The figures take the table's coefficients apart from any calculation state, so that a loaded result
// file, whose state may hold no table, can be described with a table read on its own
// (ReadAttenuationTable).

#include <optional>
#include <vector>

#include "engine/AttenuationCoefficients.h"
#include "engine/CalculationState.h"

namespace halvorn {

// Figures of one filter material. Each is empty when it cannot be given: no photons in the kerma bins, a
// transmission that never falls to the level, or (effective energy) a coefficient outside the table.
struct MaterialQuality {
    std::optional<double> hvl1Mm;              // thickness that halves the air kerma
    std::optional<double> hvl2Mm;              // further thickness from 1/2 to 1/4 of the air kerma
    std::optional<double> homogeneity;         // HVL1 / HVL2
    std::optional<double> effectiveEnergyKev;  // energy at which the table's mu equals ln 2 / HVL1
};

// Figures of one spectrum.
struct SpectrumQuality {
    std::optional<double> meanEnergyKev;  // photon-fluence-weighted mean energy
    MaterialQuality aluminium;
    MaterialQuality copper;
};

// Figures of one profile point of a run.
struct PointQuality {
    int point = 0;                          // 0 is the rotation centre
    double offAxisCm = 0;                   // DoseProfile[0][p]
    std::optional<double> fanAngleDeg;      // atan(d / F); 0 at the centre; empty without a usable F
    double bowtieAlMm = 0;                  // BowtieAlMm[p]
    double relativeKerma = 0;               // DoseProfile[1][p], distance-corrected
    std::optional<double> relativeFluence;  // photons at p / photons at the centre
    SpectrumQuality quality;
};

// Figures of a relative photon spectrum (bins 2..2*T0 of `photons`) at tube voltage T0. A spectrum with a
// negative or non-finite bin, or without photons, gets no figures at all.
SpectrumQuality SpectrumBeamQuality(const Spectrum& photons,
                                    double tubeVoltageKv,
                                    const AttenuationCoefficients& table);

// The last profile point a finished off-axis run (or a loaded result file) holds: N = ProfilePointCount as
// the solver loops over it (p <= N), at most 25, and 0 when N is below 1 or not a number.
int LastProfilePoint(const CalculationState& state);

// Figures of points 0..lastPoint (clamped to 0..25) of `state`, centre first: after an off-axis run or for a
// loaded result file lastPoint is LastProfilePoint(state), after a calibration run alone it is 0. A point
// whose spectrum is all zero (a run that failed before it) gets a PointQuality with every spectrum figure
// empty.
std::vector<PointQuality> RunBeamQuality(const CalculationState& state,
                                         const AttenuationCoefficients& table,
                                         int lastPoint);

}  // namespace halvorn
