#pragma once

// Tables for spreadsheets: UTF-8 with a byte-order mark (Excel on Japanese Windows reads a CSV without one
// as CP932), comma-separated, CR LF, a header row and nothing else (a comment row would break the table).
//
// Long form: one row per point and energy bin (bins 2..2*T0, energies at the bin centres):
//     point,off_axis_cm,fan_angle_deg,bowtie_al_mm,energy_keV,relative_fluence
// relative_fluence is the point's relative photons in the bin, on the common scale of all points (the peak
// bin of the centre ray = 1).
//
// Beam quality: one row per point, centre first, the figures of BeamQuality.h; a figure that is not
// available is an empty field.

#include <string>
#include <vector>

#include "engine/BeamQuality.h"
#include "engine/exports/ExportCommon.h"

namespace halvorn {

ExportText SpectraLongCsv(const RunRecord& run);

ExportText BeamQualityCsv(const std::vector<PointQuality>& points);

}  // namespace halvorn
