#pragma once

// What every export writer shares: the inputs a file names, the energy grid of the spectra, the fan of the
// profile points.
//
// Energy bins. Bin i of a spectrum (0.5 keV wide) stands for E = 0.5 i keV, its centre. Formats that take
// one energy per value (XCIST, the spectrum-toolkit text, the spreadsheet table) write E. Histogram formats
// (EGSnrc, GATE) write the bin as [E - 0.25, E + 0.25] keV, except that the top bin ends at the tube
// voltage where that falls inside it (at 120 kV the last bin is 119.75..120 keV), so that no photon above
// the tube voltage is ever sampled. The exported bins are 2..2*T0 (1 keV up to the tube voltage).
//
// The spectra are relative: the stored point spectra, all normalised to the peak bin of the centre ray's
// spectrum, so that the point files keep their ratios to the centre. Formats that need a normalised
// density (GATE) are normalised to an integral of 1.

#include <optional>
#include <string>
#include <vector>

#include "engine/BeamQuality.h"
#include "engine/CalculationState.h"
#include "engine/NumberText.h"
#include "engine/RunRecord.h"

namespace halvorn {

// The file's bytes, or the reason it cannot be made (then `bytes` is empty).
struct ExportText {
    std::string bytes;
    std::string error;
    bool ok() const { return error.empty(); }
};

// "Halvorn 2.0": the program and version every file names.
std::string ProgramName();

// The inputs in one line of plain ASCII: "tube voltage 120 kV, target angle 16 deg, ...".
std::string DescribeInputs(const RunInputs& inputs);

// Energy bins 2..2*T0 with their centres and histogram edges in keV.
struct EnergyBin {
    int index = 0;
    double centreKev = 0;
    double lowerKev = 0;
    double upperKev = 0;
};
std::vector<EnergyBin> ExportBins(double tubeVoltageKv);

// Why `photons` cannot be exported (no bins at this tube voltage, a negative or non-finite bin, no photons
// at all), or nothing when it can. `what` names the spectrum in the message ("point 3").
std::optional<std::string> SpectrumProblem(const Spectrum& photons,
                                           double tubeVoltageKv,
                                           const std::string& what);

// A spectrum file: `write` fills the text over the bins the tube voltage gives, once SpectrumProblem finds
// nothing wrong with the spectrum; otherwise the file is that problem.
template <typename Write>
ExportText WriteSpectrum(const Spectrum& photons,
                         double tubeVoltageKv,
                         const std::string& what,
                         Write write) {
    ExportText out;
    if (const auto problem = SpectrumProblem(photons, tubeVoltageKv, what))
        out.error = *problem;
    else
        write(ExportBins(tubeVoltageKv), out.bytes);
    return out;
}

// One sample of the fan: angle from the centre ray (degrees, 0 and up), the fluence at equal distance from
// the focus relative to the centre ray, and the bowtie's aluminium-equivalent path (mm).
struct FanSample {
    double angleDeg = 0;
    double relativePhotons = 0;
    double bowtieAlMm = 0;
};

// The measured points as a fan, centre first, by angle. The filter is taken as symmetric, so a point on
// either side counts at its absolute angle; points at the same angle are averaged. `error` says which point
// lacks a fan angle (no usable focus distance) or a spectrum, or that there is no off-axis angle at all.
struct MeasuredFan {
    std::vector<FanSample> samples;
    std::string error;
};
MeasuredFan FanOf(const std::vector<PointQuality>& points);

// The fan on the grid 0, step, 2 step, ... up to the last measured angle, linearly interpolated between
// measured samples and never beyond the last one. Empty when the step is not a positive finite number.
std::vector<FanSample> OnAngleGrid(const std::vector<FanSample>& measured, double stepDeg);

}  // namespace halvorn
