#pragma once

// The bowtie filter as a solid, for codes that take a geometry, with what goes with it: the spectrum before
// the bowtie and a GATE 10 module that puts the two together.
//
// Frame as in FanBeam.h, in mm: the focus at the origin, the central ray along +z, the fan in the x-z plane,
// the patient axis along y. The solid is aluminium; its outline in the x-z plane is the one the bowtie figure
// draws: a base on the plane 150 mm from the focus, and along the ray at each fan angle gamma the whole
// bowtie path t(gamma) (BowtieAlMm, linear in gamma between measured points) laid back from the base towards
// the focus, so that the chord of every ray from the focus is t(gamma). Beyond the outermost measured angle
// the outline goes on with the outermost path for kBowtieSolidMarginDeg, so that the outermost ray's chord is
// defined. The outline is extruded along y over the collimation scaled to the base plane, 10 % and 2 mm
// wider on either side (16 cm at the centre when the collimation is not known).
//
// Binary STL: an 80-byte header text, the triangle count, then per triangle its outward normal and three
// vertices counter-clockwise seen from outside (little-endian floats) and a zero attribute. The solid is
// closed: every edge belongs to two triangles that run it in opposite directions.

#include <optional>
#include <string>

#include "engine/AttenuationTable.h"
#include "engine/exports/ExportCommon.h"
#include "engine/exports/FanBeam.h"

namespace halvorn {

constexpr double kBowtieBasePlaneMm = 150;
constexpr double kBowtieSolidMarginDeg = 1;

ExportText BowtieStl(const FanBeam& fan, std::optional<double> collimationCm);

// The spectrum before the bowtie: Tucker's model at the tube's inputs behind the nominal filtration alone
// (inherent and added Al, Cu, Ag), on the scale of the stored point spectra (divided by the peak of the
// centre ray's spectrum computed the same way with the centre's bowtie path), so that it is the centre
// spectrum with the bowtie's attenuation taken out. Needs the target angle.
struct PreBowtieSpectrum {
    Spectrum photons{};
    double photonsToCentre = 0;  // its photons over the centre ray's
    std::string error;
};
PreBowtieSpectrum PreBowtieSpectrumOf(const AttenuationCoefficients& table,
                                      const RunInputs& inputs,
                                      double centreBowtieAlMm);

// gate10_fan_beam.py: a function that adds to an opengate simulation, in the frame above with the world's
// origin at the focus, the solid (bowtie.stl, G4_Al) and a point source at the focus with the spectrum
// before the bowtie, sent into the fan: +-gamma_N across, the collimation along y. With an absolute scale,
// the photons that source sends per mAs.
ExportText Gate10FanBeam(const FanBeam& fan,
                         const RunInputs& inputs,
                         const PreBowtieSpectrum& preBowtie,
                         std::optional<double> collimationCm,
                         std::optional<double> photonsPerMasPerCm2Centre);

}  // namespace halvorn
