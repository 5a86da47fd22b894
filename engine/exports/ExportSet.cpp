#include "engine/exports/ExportSet.h"

#include <cstdio>

#include "engine/TuckerSpectrum.h"
#include "engine/exports/BowtieSolidExport.h"
#include "engine/exports/EgsnrcExport.h"
#include "engine/exports/FanBeam.h"
#include "engine/exports/GateExport.h"
#include "engine/exports/SpectrumTextExport.h"
#include "engine/exports/SpreadsheetExport.h"
#include "engine/exports/XcistExport.h"

namespace halvorn {

namespace {

// The phase space and the bowtie solid with its files, as the options ask.
void AddFanBeamFiles(ExportSet& set,
                     const RunRecord& run,
                     const ExportOptions& options,
                     std::optional<double> phi) {
    const RunInputs& inputs = run.inputs;
    const FanBeam fan = FanBeamOf(run);
    if (options.phaseSpacePhotons) {
        PhaseSpaceOptions ps;
        ps.photons = *options.phaseSpacePhotons;
        ps.planeCm = options.phaseSpacePlaneCm;
        ps.collimationCm = options.collimationCm.value_or(0);
        ps.seed = options.phaseSpaceSeed;
        ps.photonsPerMasPerCm2Centre = phi;
        std::string records;
        const PhaseSpaceResult result = PhaseSpaceFiles(fan, inputs, ps, records, options.phaseSpaceProgress);
        if (!result.ok()) {
            set.cancelled = result.cancelled;
            set.error = "fan_beam.IAEAphsp: " + result.error;
            return;
        }
        set.phaseSpacePhotonsPerMas = result.photonsPerMas;
        set.files.push_back({"fan_beam.IAEAheader", result.header});
        set.files.push_back({"fan_beam.IAEAphsp", std::move(records)});
    }
    if (!options.bowtieSolid)
        return;
    const ExportText stl = BowtieStl(fan, options.collimationCm);
    if (!stl.ok()) {
        set.error = "bowtie.stl: " + stl.error;
        return;
    }
    set.files.push_back({"bowtie.stl", stl.bytes});
    const PreBowtieSpectrum before = PreBowtieSpectrumOf(run.table, inputs, run.centreBowtieMm());
    if (!before.error.empty()) {
        set.error = "pre_bowtie.spectrum: " + before.error;
        return;
    }
    const std::string what = "before the bowtie (inherent and added filtration only)";
    for (const auto& [name, text] :
         {std::pair<std::string, ExportText>{"pre_bowtie.spectrum",
                                             EgsnrcSpectrum(before.photons, inputs, what)},
          {"pre_bowtie_gate9.txt", Gate9Spectrum(before.photons, inputs.tubeVoltageKv, what)},
          {"gate10_fan_beam.py", Gate10FanBeam(fan, inputs, before, options.collimationCm, phi)}}) {
        if (!text.ok()) {
            set.error = name + ": " + text.error;
            return;
        }
        set.files.push_back({name, text.bytes});
    }
}

}  // namespace

ExportSet BuildExportSet(const RunRecord& run, const ExportOptions& options) {
    const RunInputs& inputs = run.inputs;
    const std::vector<PointQuality>& points = run.points;
    const AttenuationCoefficients& table = run.table;
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
    const Spectrum& centre = SpectrumOf(run, 0);
    if (options.kermaPer100MasMgy) {
        const AbsoluteScaleResult scale =
            AbsoluteScaleOf(centre, inputs.tubeVoltageKv, table, *options.kermaPer100MasMgy);
        if (!scale.scale) {
            set.error = scale.error;
            return set;
        }
        set.absolute = scale.scale;
    }
    const std::optional<double> phi =
        set.absolute ? std::optional(set.absolute->photonsPerMasPerCm2Centre) : std::nullopt;
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
        add(name, EgsnrcSpectrum(SpectrumOf(run, static_cast<int>(k)), inputs,
                                 "point " + std::to_string(k) + " (" + FormatShortest(points[k].offAxisCm) +
                                     " cm off axis)"));
    }
    if (points.size() > 1) {
        add("bowtie_distribution.dat", EgsnrcBowtieDistribution(points, inputs, options.angleStepDeg));
        add("al_bowtie.dat", EgsnrcAlBowtie(points, inputs, options.angleStepDeg));
        add("source.egsinp", EgsnrcSourceBlock(inputs, options.collimationCm));
        add("xcist_bowtie.txt", XcistBowtie(points, inputs, phi.has_value()));
    }
    add("xcist_spectrum.dat", XcistSpectrum(centre, inputs, "centre ray", phi));
    add("gate9_spectrum.txt", Gate9Spectrum(centre, inputs.tubeVoltageKv, "centre ray"));
    add("gate10_spectrum.py", Gate10Spectrum(centre, inputs, "centre ray"));
    const std::optional<Spectrum> lineShare =
        inputs.targetAngleDeg ? CharacteristicShare(table, inputs.tubeVoltageKv, *inputs.targetAngleDeg)
                              : std::nullopt;
    add("spectrum.spk", SpectrumText(centre, points.front().quality, inputs, lineShare, "centre ray"));
    add("spectra_long.csv", SpectraLongCsv(run));
    add("beam_quality.csv", BeamQualityCsv(points));
    if (set.error.empty() && (options.bowtieSolid || options.phaseSpacePhotons))
        AddFanBeamFiles(set, run, options, phi);
    if (!set.error.empty())
        set.files.clear();
    return set;
}

}  // namespace halvorn
