#include "engine/exports/EgsnrcExport.h"

#include <cmath>
#include <numbers>

#include "engine/NumberText.h"

namespace halvorn {

namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180;

// The fan of the points on the angle grid, checked against what the CT source can read.
struct Grid {
    std::vector<FanSample> samples;
    std::string error;
};

Grid FanGrid(const std::vector<PointQuality>& points, double stepDeg) {
    Grid grid;
    if (!(stepDeg > 0) || !std::isfinite(stepDeg)) {
        grid.error = "the angle step must be a positive number of degrees";
        return grid;
    }
    const MeasuredFan fan = FanOf(points);
    if (!fan.error.empty()) {
        grid.error = fan.error;
        return grid;
    }
    const double last = fan.samples.back().angleDeg;
    grid.samples = OnAngleGrid(fan.samples, stepDeg);
    if (grid.samples.empty() || grid.samples.size() > kMaxEgsnrcAngles) {
        grid.error = "an angle step of " + PlainDecimal(stepDeg) + " deg gives more than " +
                     std::to_string(kMaxEgsnrcAngles) + " angles up to " + FormatFixed(last, 3) +
                     " deg; the EGSnrc source reads at most that many";
        grid.samples.clear();
        return grid;
    }
    if (grid.samples.size() < 2) {
        grid.error = "the last measured angle (" + FormatFixed(last, 4) +
                     " deg) is smaller than the angle step (" + PlainDecimal(stepDeg) + " deg)";
        grid.samples.clear();
    }
    return grid;
}

}  // namespace

ExportText EgsnrcSpectrum(const Spectrum& photons, const RunInputs& inputs, const std::string& what) {
    return WriteSpectrum(
        photons, inputs.tubeVoltageKv, what, [&](const std::vector<EnergyBin>& bins, std::string& t) {
            t = ProgramName() + " relative photon spectrum (counts per bin, no absolute scale), " + what +
                ": " + DescribeInputs(inputs) + "\n";
            // Bin edges are multiples of 0.25 keV: five decimals of MeV hold them exactly.
            t += "  " + std::to_string(bins.size()) + ", " + FormatFixed(bins.front().lowerKev / 1000, 5) +
                 ", 0\n";
            for (const EnergyBin& b : bins)
                t += FormatFixed(b.upperKev / 1000, 5) + ", " + FormatScientific(photons[b.index], 9) + "\n";
        });
}

// A file written over the fan grid by `write`, or the grid's error.
template <typename Write>
ExportText OnFanGrid(const std::vector<PointQuality>& points, double stepDeg, Write write) {
    ExportText out;
    const Grid grid = FanGrid(points, stepDeg);
    if (!grid.error.empty())
        out.error = grid.error;
    else
        write(grid, out.bytes);
    return out;
}

ExportText EgsnrcBowtieDistribution(const std::vector<PointQuality>& points,
                                    const RunInputs& inputs,
                                    double stepDeg) {
    return OnFanGrid(points, stepDeg, [&](const Grid& grid, std::string& t) {
        t = ProgramName() +
            " bowtie distribution: fan angle (rad, from the centre ray outward) against the fluence " +
            "at equal distance from the focus relative to the centre ray (photons per angle carry " +
            "cos(angle) more), every " + PlainDecimal(stepDeg) + " deg; " + DescribeInputs(inputs) + "\n";
        t += std::to_string(grid.samples.size()) + ", 0.0, 0\n";
        for (const FanSample& s : grid.samples)
            t += FormatFixed(s.angleDeg * kRadiansPerDegree, 13) + "    " +
                 FormatScientific(s.relativePhotons, 12) + "\n";
    });
}

ExportText EgsnrcAlBowtie(const std::vector<PointQuality>& points, const RunInputs& inputs, double stepDeg) {
    return OnFanGrid(points, stepDeg, [&](const Grid& grid, std::string& t) {
        // Eight header lines, which the reader skips: the first one is ours.
        t = ProgramName() +
            " Al-equivalent bowtie path (mm) by fan angle, centre ray outward, for the relative " +
            "centre-ray spectrum of this export; " + DescribeInputs(inputs) + "\n";
        t += "#Name of the material\nAl\n";
        t += "# Density of the material (g/cm^3)\n2.699\n";
        t += "# Angular increment (deg)\n" + PlainDecimal(stepDeg) + "\n";
        t += "# Num values\n";
        t += std::to_string(grid.samples.size() + 1) + "\n";
        t += "# Thickness array (mm)\n";
        for (const FanSample& s : grid.samples)
            t += FormatFixed(s.bowtieAlMm, 6) + "\n";
        t += FormatFixed(grid.samples.back().bowtieAlMm, 6) + "\n";  // read for the one angle beyond the last
    });
}

ExportText EgsnrcSourceBlock(const RunInputs& inputs,
                             std::optional<double> collimationCm,
                             const EgsnrcSourceFiles& files) {
    ExportText out;
    const double focus = inputs.focusCentreDistanceCm;
    if (!(focus > 0) || !std::isfinite(focus)) {
        out.error = "the focus-centre distance must be a positive number";
        return out;
    }
    if (collimationCm && (!(*collimationCm > 0) || !std::isfinite(*collimationCm))) {
        out.error = "the collimation must be a positive number of centimetres";
        return out;
    }
    std::string& t = out.bytes;
    t = "# " + ProgramName() + ": aluminium-equivalent CT source for EGSnrc (egs_al_eq_ct_source).\n";
    t += "# Spectra and bowtie distribution are relative (no absolute scale).\n";
    t +=
        "# Caution: egs_al_eq_ct_source exists only on EGSnrc's pull-request branch add-aleqctsource, whose "
        "source looks its aluminium table (built on log E) up with E, reading past its end, leaves the upper "
        "edge of its last angle bin unset, smooths its weights reading one past their array and drops the "
        "top energy bin; until it is fixed, use this export's phase-space file (fan_beam.IAEAheader and "
        "fan_beam.IAEAphsp) with iaea_phsp_source instead.\n";
    t += "# Inputs: " + DescribeInputs(inputs) + ".\n";
    t += "# Paste this source definition into the .egsinp; the three files named below must be in the "
         "folder\n";
    t += "# the application runs in, or be given with their full paths.\n";
    t += ":start source definition:\n";
    t += "    :start source:\n";
    t += "        library = egs_al_eq_ct_source\n";
    t += "        name = halvorn_ct_source\n";
    t += "        distance = " + PlainDecimal(focus) + "    # focus to rotation centre, cm\n";
    if (collimationCm) {
        t += "        collimation = " + PlainDecimal(*collimationCm) +
             "    # beam width at the rotation centre along the patient axis, cm\n";
    } else {
        t += "        # collimation = ?    # NOT GIVEN: the beam width at the rotation centre along the "
             "patient\n";
        t += "        #                    # axis, cm. Without this line EGSnrc takes 1 cm.\n";
    }
    t += "        bowtie distribution = " + files.distribution + "\n";
    t += "        al equivalent bowtie = " + files.alBowtie + "\n";
    t += "        :start spectrum:\n";
    t += "            type = tabulated spectrum\n";
    t += "            spectrum file = " + files.spectrum +
         "    # the centre ray, behind the bowtie's centre\n";
    t += "            charge = 0\n";
    t += "        :stop spectrum:\n";
    t += "    :stop source:\n";
    t += "    simulation source = halvorn_ct_source\n";
    t += ":stop source definition:\n";
    return out;
}

}  // namespace halvorn
