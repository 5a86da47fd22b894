#include "engine/exports/SpectrumTextExport.h"

#include "engine/NumberText.h"

namespace halvorn {

namespace {

std::string Figure(const std::optional<double>& value, int decimals) {
    return value ? FormatFixed(*value, decimals) : std::string("not available");
}

}  // namespace

ExportText SpectrumText(const Spectrum& photons,
                        const SpectrumQuality& quality,
                        const RunInputs& inputs,
                        const std::optional<Spectrum>& lineShare,
                        const std::string& what) {
    ExportText out;
    if (const auto problem = SpectrumProblem(photons, inputs.tubeVoltageKv, what)) {
        out.error = *problem;
        return out;
    }
    const MaterialQuality& al = quality.aluminium;
    const MaterialQuality& cu = quality.copper;
    std::string& t = out.bytes;
    t = "# " + ProgramName() + " spectrum, " + what + ": relative photon fluence, no absolute scale\n";
    t += "# Tube voltage: " + PlainDecimal(inputs.tubeVoltageKv) + " kV\n";
    t += "# Target angle: " +
         (inputs.targetAngleDeg ? PlainDecimal(*inputs.targetAngleDeg) + " deg"
                                : std::string("not recorded")) +
         "\n";
    t += "# Inherent filtration: " + PlainDecimal(inputs.inherentFiltrationMm) + " mm Al\n";
    t += "# Added filtration: " + PlainDecimal(inputs.addedAlMm) + " mm Al, " +
         PlainDecimal(inputs.addedCuMm) + " mm Cu, " + PlainDecimal(inputs.addedAgMm) + " mm Ag\n";
    t += "# Measured HVL: " +
         (inputs.measuredHvl ? PlainDecimal(inputs.measuredHvl->valueMm) +
                                   (inputs.measuredHvl->material == HvlMaterial::Copper ? " mm Cu" : " mm Al")
                             : std::string("not recorded")) +
         "\n";
    t += "# Fitted total filtration: " +
         (inputs.fittedFiltrationMm ? FormatFixed(*inputs.fittedFiltrationMm, 3) + " mm Al"
                                    : std::string("not recorded")) +
         "\n";
    t += "# Focus-centre distance: " + PlainDecimal(inputs.focusCentreDistanceCm) + " cm\n";
    t += "# HVL1: " + Figure(al.hvl1Mm, 4) + " mm Al, " + Figure(cu.hvl1Mm, 4) + " mm Cu\n";
    t += "# HVL2: " + Figure(al.hvl2Mm, 4) + " mm Al, " + Figure(cu.hvl2Mm, 4) + " mm Cu\n";
    t += "# Homogeneity coefficient: " + Figure(al.homogeneity, 4) + " (Al), " + Figure(cu.homogeneity, 4) +
         " (Cu)\n";
    t += "# Effective energy: " + Figure(al.effectiveEnergyKev, 3) + " keV (Al), " +
         Figure(cu.effectiveEnergyKev, 3) + " keV (Cu)\n";
    t += "# Mean energy: " + Figure(quality.meanEnergyKev, 3) + " keV\n";
    t += lineShare ? "# Characteristic part: tungsten K lines at 58.0, 59.5, 67.0 and 69.0 keV\n"
                   : "# Characteristic part: not split (target angle not recorded), written as 0\n";
    t += "# Energy (keV);Relative photons per keV;Characteristic part\n";
    for (const EnergyBin& b : ExportBins(inputs.tubeVoltageKv)) {
        const double perKev = photons[b.index] / 0.5;
        const double lines = lineShare ? perKev * (*lineShare)[b.index] : 0;
        t += FormatFixed(b.centreKev, 1) + ";" + FormatScientific(perKev, 9) + ";" +
             FormatScientific(lines, 9) + "\n";
    }
    return out;
}

}  // namespace halvorn
