#include "engine/exports/GateExport.h"

#include <vector>

namespace halvorn {

namespace {

// Weights per MeV of each bin, with integral 1.
std::vector<double> DensityPerMev(const Spectrum& photons, const std::vector<EnergyBin>& bins) {
    double total = 0;
    for (const EnergyBin& b : bins)
        total += photons[b.index];
    std::vector<double> density;
    for (const EnergyBin& b : bins)
        density.push_back(photons[b.index] / total / ((b.upperKev - b.lowerKev) / 1000));
    return density;
}

}  // namespace

ExportText Gate9Spectrum(const Spectrum& photons, double tubeVoltageKv, const std::string& what) {
    return WriteSpectrum(
        photons, tubeVoltageKv, what, [&](const std::vector<EnergyBin>& bins, std::string& t) {
            const std::vector<double> density = DensityPerMev(photons, bins);
            t = "2 " + FormatFixed(bins.front().lowerKev / 1000, 5) + "\n";
            for (std::size_t k = 0; k < bins.size(); ++k)
                t += FormatFixed(bins[k].upperKev / 1000, 5) + " " + FormatScientific(density[k], 9) + "\n";
        });
}

ExportText Gate10Spectrum(const Spectrum& photons, const RunInputs& inputs, const std::string& what) {
    return WriteSpectrum(
        photons, inputs.tubeVoltageKv, what, [&](const std::vector<EnergyBin>& bins, std::string& t) {
            const std::vector<double> density = DensityPerMev(photons, bins);
            t = "# " + ProgramName() + " spectrum for GATE 10 (opengate GenericSource), " + what + ".\n";
            t += "# Relative spectrum: the weights are a probability density per MeV with integral 1.\n";
            t += "# Inputs: " + DescribeInputs(inputs) + "\n";
            t += "#\n";
            t += "# Use:\n";
            t += "#     import gate10_spectrum\n";
            t += "#     gate10_spectrum.apply_to(source)\n";
            t += "\n";
            t += "# " + std::to_string(bins.size() + 1) + " bin edges, MeV\n";
            t += "SPECTRUM_ENERGY_BIN_EDGES_MEV = [\n";
            t += "    " + FormatFixed(bins.front().lowerKev / 1000, 5) + ",\n";
            for (const EnergyBin& b : bins)
                t += "    " + FormatFixed(b.upperKev / 1000, 5) + ",\n";
            t += "]\n\n";
            t += "# " + std::to_string(bins.size()) + " weights, per MeV\n";
            t += "SPECTRUM_WEIGHTS_PER_MEV = [\n";
            for (double d : density)
                t += "    " + FormatScientific(d, 9) + ",\n";
            t += "]\n\n\n";
            t += "def apply_to(source):\n";
            t += "    \"\"\"Sets the energy of an opengate GenericSource to this spectrum.\"\"\"\n";
            t += "    import opengate as gate\n\n";
            t += "    MeV = gate.g4_units.MeV\n";
            t += "    source.energy.type = \"spectrum_histogram\"\n";
            t += "    source.energy.spectrum_energy_bin_edges = [e * MeV for e in "
                 "SPECTRUM_ENERGY_BIN_EDGES_MEV]\n";
            t += "    source.energy.spectrum_weights = [w / MeV for w in SPECTRUM_WEIGHTS_PER_MEV]\n";
        });
}

}  // namespace halvorn
