#include "engine/exports/ExportSet.h"

#include <cstdio>

#include "engine/TuckerSpectrum.h"
#include "engine/exports/EgsnrcExport.h"
#include "engine/exports/GateExport.h"
#include "engine/exports/SpectrumTextExport.h"
#include "engine/exports/SpreadsheetExport.h"
#include "engine/exports/XcistExport.h"

namespace halvorn {

ExportSet BuildExportSet(const CalculationState& state,
                         const AttenuationCoefficients& table,
                         const std::vector<PointQuality>& points,
                         const ExportInputs& inputs,
                         const ExportOptions& options) {
    ExportSet set;
    set.inputs = inputs;
    set.options = options;
    if (points.empty() || points.front().point != 0 || points.size() > kMaxPoint + 1) {
        set.error = "the export needs the figures of the centre and of points 1..N in order";
        return set;
    }
    for (std::size_t k = 0; k < points.size(); ++k) {
        if (points[k].point != static_cast<int>(k)) {
            set.error = "the export needs the figures of the centre and of points 1..N in order";
            return set;
        }
    }
    const Spectrum& centre = state.PointSpectra[0];
    auto add = [&](const std::string& name, const ExportText& text) {
        if (!set.error.empty())
            return;
        if (!text.ok()) {
            set.error = name + ": " + text.error;
            return;
        }
        set.files.push_back({name, text.bytes});
    };

    add("centre.spectrum", EgsnrcSpectrum(centre, inputs, "centre ray"));
    for (std::size_t k = 1; k < points.size(); ++k) {
        char name[32];
        std::snprintf(name, sizeof name, "point%02d.spectrum", static_cast<int>(k));
        add(name, EgsnrcSpectrum(state.PointSpectra[k], inputs,
                                 "point " + std::to_string(k) + " (" + FormatShortest(points[k].offAxisCm) +
                                     " cm off axis)"));
    }
    if (points.size() > 1) {
        add("bowtie_distribution.dat", EgsnrcBowtieDistribution(points, inputs, options.angleStepDeg));
        add("al_bowtie.dat", EgsnrcAlBowtie(points, inputs, options.angleStepDeg));
        add("source.egsinp", EgsnrcSourceBlock(inputs, options.collimationCm));
        add("xcist_bowtie.txt", XcistBowtie(points, inputs));
    }
    add("xcist_spectrum.dat", XcistSpectrum(centre, inputs, "centre ray"));
    add("gate9_spectrum.txt", Gate9Spectrum(centre, inputs.tubeVoltageKv, "centre ray"));
    add("gate10_spectrum.py", Gate10Spectrum(centre, inputs, "centre ray"));
    const std::optional<Spectrum> lineShare =
        inputs.targetAngleDeg ? CharacteristicShare(table, inputs.tubeVoltageKv, *inputs.targetAngleDeg)
                              : std::nullopt;
    add("spectrum.spk", SpectrumText(centre, points.front().quality, inputs, lineShare, "centre ray"));
    add("spectra_long.csv", SpectraLongCsv(state, points));
    add("beam_quality.csv", BeamQualityCsv(points));
    if (!set.error.empty())
        set.files.clear();
    return set;
}

}  // namespace halvorn
