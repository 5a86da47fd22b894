#include "engine/exports/XcistExport.h"

#include <cmath>
#include <numbers>

#include "engine/NumberText.h"

namespace halvorn {

ExportText XcistBowtie(const std::vector<PointQuality>& points,
                       const RunInputs& inputs,
                       bool absoluteSpectrum) {
    ExportText out;
    const MeasuredFan fan = FanOf(points);
    if (!fan.error.empty()) {
        out.error = fan.error;
        return out;
    }
    const double toRadians = std::numbers::pi / 180;
    const double centre = fan.samples.front().bowtieAlMm;
    auto row = [&](double angleDeg, const FanSample& s) {
        return FormatFixed(angleDeg * toRadians, 6) + "\t" + FormatFixed((s.bowtieAlMm - centre) / 10, 6) +
               "\t0.000000\t0.000000\t0.000000\n";
    };

    std::string& t = out.bytes;
    t = "# " + ProgramName() +
        " bowtie for XCIST: aluminium-equivalent path beyond the centre ray's, whole fan\n";
    t += std::string("# (measured points mirrored). Use with the ") +
         (absoluteSpectrum ? "absolute" : "relative") +
         " centre-ray spectrum xcist_spectrum.dat, which "
         "already\n";
    t += "# holds the centre ray's filtration. Measured up to +-" +
         FormatFixed(fan.samples.back().angleDeg * toRadians, 6) + " rad; XCIST extrapolates beyond.\n";
    t += "# Inputs: " + DescribeInputs(inputs) + "\n";
    t += "# angle, materials in cm ('al', 'graphite', 'cu', 'ti')\n";
    for (std::size_t k = fan.samples.size() - 1; k >= 1; --k)
        t += row(-fan.samples[k].angleDeg, fan.samples[k]);
    for (const FanSample& s : fan.samples)
        t += row(s.angleDeg, s);
    return out;
}

ExportText XcistSpectrum(const Spectrum& photons,
                         const RunInputs& inputs,
                         const std::string& what,
                         std::optional<double> photonsPerMasPerCm2) {
    const double focus = inputs.focusCentreDistanceCm;
    if (photonsPerMasPerCm2 &&
        (!(*photonsPerMasPerCm2 > 0) || !std::isfinite(*photonsPerMasPerCm2) || !(focus > 0))) {
        ExportText out;
        out.error = "an absolute XCIST spectrum needs a positive fluence and focus-centre distance";
        return out;
    }
    return WriteSpectrum(
        photons, inputs.tubeVoltageKv, what, [&](const std::vector<EnergyBin>& bins, std::string& t) {
            // Relative: the stored values. Absolute: photons per bin per mA s per mm^2 at 1 m.
            double scale = 1;
            if (photonsPerMasPerCm2) {
                double sum = 0;
                for (const EnergyBin& b : bins)
                    sum += photons[b.index];
                scale = *photonsPerMasPerCm2 / sum * (focus / 100) * (focus / 100) / 100;
            }
            t = "# " + ProgramName() + " spectrum for XCIST, " + what + "\n";
            if (photonsPerMasPerCm2) {
                t += "# Absolute: photons per 0.5 keV bin per mA s per mm^2 at 1 m from the focus, from " +
                     FormatScientific(*photonsPerMasPerCm2, 6) + " photons per cm^2 per mAs\n";
                t += "# at " + PlainDecimal(focus) +
                     " cm (the measured air kerma at the rotation centre): read it with spectrumUnit_mm = "
                     "1,\n";
                t += "# spectrumUnit_mA = 1 and spectrumScaling = 1.\n";
            } else {
                t += "# Relative photons per 0.5 keV bin (peak of the centre ray = 1), not photons per mA s "
                     "per area at\n";
                t += "# 1 m: scale with cfg.protocol.spectrumScaling.\n";
            }
            t += "# Inputs: " + DescribeInputs(inputs) + "\n";
            t += inputs.targetAngleDeg
                     ? "# Lines: bin count, keV,intensity per bin, target angle (deg)\n"
                     : "# Lines: bin count, keV,intensity per bin (target angle not recorded)\n";
            t += std::to_string(bins.size()) + "\n";
            for (const EnergyBin& b : bins)
                t += FormatFixed(b.centreKev, 1) + "," + FormatScientific(photons[b.index] * scale, 9) + "\n";
            if (inputs.targetAngleDeg)
                t += PlainDecimal(*inputs.targetAngleDeg) + "\n";
        });
}

}  // namespace halvorn
