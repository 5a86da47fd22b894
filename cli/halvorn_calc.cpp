// halvorn-calc: the batch tool. Runs the same engine operations as the screens (table load, calibration
// run, off-axis run) from command-line options and a profile file, and writes the same result file.
//
// Exit status: 0 done; 2 bad input (a value, option or file named in a one-line message, an output or
// export file that names an input file); 3 a failure the screens would report with a message box (the fit,
// the bowtie thickness, the solver, arithmetic); 4 an output could not be written; 5 the export could not
// be made or written; 130 and 143 interrupted by SIGINT or SIGTERM. Every failure prints exactly one line.
//
// The outputs of a run (--out, --json, --export) are one unit: each is checked and written in full under a
// temporary name first (engine/SafeSave.h, engine/exports/ExportWriter.h); then they are put in place, the
// export first, each in one step that keeps what it replaces; should one fail, those already in place are
// taken back. From the first of these steps on, SIGINT and SIGTERM wait until the run ends; before it they
// remove the run's temporaries (engine/TemporaryFiles.h).

#include <clocale>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/BatchInput.h"
#include "engine/AttenuationTable.h"
#include "engine/BeamQuality.h"
#include "engine/CalculationState.h"
#include "engine/CalibrationRun.h"
#include "engine/MessageText.h"
#include "engine/NumberText.h"
#include "engine/OffAxisRun.h"
#include "engine/Reporter.h"
#include "engine/ResultFile.h"
#include "engine/RunRecord.h"
#include "engine/SafeSave.h"
#include "engine/TemporaryFiles.h"
#include "engine/Version.h"
#include "engine/exports/ExportCommon.h"
#include "engine/exports/ExportSet.h"
#include "engine/exports/ExportWriter.h"

namespace {

using halvorn::CalculationState;
using halvorn::cli::BatchOptions;
using halvorn::cli::InputError;
using halvorn::cli::Profile;

constexpr int kExitInput = 2;
constexpr int kExitCalculation = 3;
constexpr int kExitWrite = 4;
constexpr int kExitExport = 5;

// Prints the first of the engine's warnings to standard error as one line (the Japanese text without the
// blanks it carries for the message box, then its English gloss) and remembers that one was given. A
// failure can set off more warnings after it; the first names the cause, and a failed run prints exactly
// one line. Completion notices and the busy dialog have no meaning here.
class StderrReporter : public halvorn::Reporter {
public:
    void Warning(const halvorn::Message& message) override {
        if (failed)
            return;
        std::cerr << "halvorn-calc: " << halvorn::TrimBlanks(message.text) << " (" << message.english
                  << ")\n";
        failed = true;
    }
    void Notice(const halvorn::Message&) override {}
    void LetEventsRun() override {}
    void ShowBusy() override {}
    void HideBusy() override {}

    bool failed = false;
};

// The table named by --table, else the one the program would read (FindAttenuationTable), looked for
// beside this tool too.
std::string TablePath(const BatchOptions& options, const std::string& programDir) {
    if (options.tablePath)
        return *options.tablePath;
    return halvorn::FindAttenuationTable(programDir);
}

// The dose-profile grid as the profile file gives it.
halvorn::ProfileGrid GridOf(const Profile& profile, double focusDistanceCm) {
    halvorn::ProfileGrid grid;
    grid.focusDistanceCm = focusDistanceCm;
    grid.pointCount = profile.PointCount();
    for (int p = 0; p <= profile.PointCount(); ++p) {
        grid.distanceCm[p] = p == 0 ? 0 : profile.rows[p].distanceCm.value;
        grid.reading[p] = profile.rows[p].reading.value;
    }
    return grid;
}

// Without a profile the solver still runs, for the centre alone: distance 0, ratio 1. The off-axis run's
// conversion is skipped because it divides by the focus distance, which may be 0 here.
void SolveCentreOnly(CalculationState& state, double focusDistanceCm, halvorn::Reporter& reporter) {
    state.FocusCentreDistanceCm = focusDistanceCm;
    state.ProfilePointCount = 0;
    for (int p = 0; p <= halvorn::kMaxPoint; ++p) {
        state.DoseProfile[0][p] = 0;
        state.DoseProfile[1][p] = 0;
    }
    state.DoseProfile[1][0] = 1;
    halvorn::SolveBowtieProfile(state, reporter);
}

using Json = nlohmann::ordered_json;

// A figure of the summary: null when it is not available or not a finite number (JSON has no nan or inf).
Json JsonFigure(std::optional<double> value) {
    return value && std::isfinite(*value) ? Json(*value) : Json(nullptr);
}

// The run's inputs as the export files name them, with the collimation when given.
Json JsonInputs(const halvorn::RunInputs& in, bool focusGiven, const std::optional<double>& collimationCm) {
    Json out = Json::object();
    out["tube_voltage_kv"] = JsonFigure(in.tubeVoltageKv);
    out["target_angle_deg"] = JsonFigure(in.targetAngleDeg);
    out["inherent_filtration_mm"] = JsonFigure(in.inherentFiltrationMm);
    out["added_al_mm"] = JsonFigure(in.addedAlMm);
    out["added_cu_mm"] = JsonFigure(in.addedCuMm);
    out["added_ag_mm"] = JsonFigure(in.addedAgMm);
    out["measured_hvl_mm"] = in.measuredHvl ? JsonFigure(in.measuredHvl->valueMm) : Json(nullptr);
    out["hvl_material"] = !in.measuredHvl                                            ? Json(nullptr)
                          : in.measuredHvl->material == halvorn::HvlMaterial::Copper ? Json("cu")
                                                                                     : Json("al");
    if (focusGiven)
        out["focus_distance_cm"] = JsonFigure(in.focusCentreDistanceCm);
    if (collimationCm)
        out["collimation_cm"] = JsonFigure(collimationCm);
    return out;
}

// One object per point, centre first.
Json JsonPoints(const std::vector<halvorn::PointQuality>& points) {
    Json out = Json::array();
    for (const halvorn::PointQuality& p : points) {
        const halvorn::MaterialQuality& al = p.quality.aluminium;
        const halvorn::MaterialQuality& cu = p.quality.copper;
        out.push_back({{"index", p.point},
                       {"off_axis_cm", JsonFigure(p.offAxisCm)},
                       {"fan_angle_deg", JsonFigure(p.fanAngleDeg)},
                       {"bowtie_al_mm", JsonFigure(p.bowtieAlMm)},
                       {"relative_kerma", JsonFigure(p.relativeKerma)},
                       {"relative_fluence", JsonFigure(p.relativeFluence)},
                       {"hvl1_al_mm", JsonFigure(al.hvl1Mm)},
                       {"hvl2_al_mm", JsonFigure(al.hvl2Mm)},
                       {"homogeneity_al", JsonFigure(al.homogeneity)},
                       {"hvl1_cu_mm", JsonFigure(cu.hvl1Mm)},
                       {"hvl2_cu_mm", JsonFigure(cu.hvl2Mm)},
                       {"homogeneity_cu", JsonFigure(cu.homogeneity)},
                       {"mean_energy_kev", JsonFigure(p.quality.meanEnergyKev)},
                       {"effective_energy_al_kev", JsonFigure(al.effectiveEnergyKev)},
                       {"effective_energy_cu_kev", JsonFigure(cu.effectiveEnergyKev)}});
    }
    return out;
}

// The absolute scale of the export: the measured kerma, the photons per cm^2 per mAs at the centre and,
// with a phase space, the photons per mAs it stands for.
Json JsonAbsolute(const halvorn::AbsoluteScale& scale, std::optional<double> phaseSpacePhotonsPerMas) {
    Json out = Json::object();
    out["kerma_per_100mas_mgy"] = JsonFigure(scale.kermaPer100MasMgy);
    out["photons_per_mas_per_cm2_centre"] = JsonFigure(scale.photonsPerMasPerCm2Centre);
    if (phaseSpacePhotonsPerMas)
        out["phase_space_photons_per_mas"] = JsonFigure(phaseSpacePhotonsPerMas);
    return out;
}

// The summary of the run: the centre's figures, the profile's, the centre spectrum, the inputs, the
// export's absolute scale when it has one, and the beam-quality figures of every point.
std::string JsonSummary(const halvorn::RunRecord& run,
                        bool focusGiven,
                        const std::optional<double>& collimationCm,
                        const halvorn::ExportSet& exportSet) {
    Json bowtie = Json::array();
    Json kerma = Json::array();
    for (const halvorn::PointQuality& p : run.points) {
        bowtie.push_back(JsonFigure(p.bowtieAlMm));
        kerma.push_back(JsonFigure(p.relativeKerma));
    }
    Json centre = Json::array();
    const halvorn::Spectrum& spectrum = halvorn::SpectrumOf(run, 0);
    for (int i = 1; i <= halvorn::kBinCount; ++i)
        centre.push_back(JsonFigure(spectrum[i]));
    Json out = Json::object();
    out["program"] = halvorn::ProgramName();
    out["fitted_filtration_mm"] = JsonFigure(run.inputs.fittedFiltrationMm);
    out["hvl_al_mm"] = JsonFigure(run.modelHvlAlMm);
    out["hvl_cu_mm"] = JsonFigure(run.modelHvlCuMm);
    out["bowtie_mm"] = bowtie;
    out["spectrum_peak"] = JsonFigure(run.spectrumPeak);
    out["relative_kerma"] = kerma;
    out["centre_spectrum"] = centre;
    out["inputs"] = JsonInputs(run.inputs, focusGiven, collimationCm);
    if (exportSet.absolute)
        out["absolute"] = JsonAbsolute(*exportSet.absolute, exportSet.phaseSpacePhotonsPerMas);
    out["points"] = JsonPoints(run.points);
    return out.dump(2) + "\n";
}

// A failure to write an output: exit status 4.
class OutputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A failure to make or write the export: exit status 5.
class ExportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An output named --out or --json, with its option for messages.
struct Output {
    const char* option;
    std::string path;
};

// Inputs that no output may replace, by option: the profile and the table actually read.
struct Input {
    const char* option;
    std::string path;
};

// Refuses, before anything is computed, outputs that would replace an input or each other (bad input,
// status 2, files compared by device and inode), and outputs that cannot be written (status 4).
void CheckOutputs(const std::vector<Output>& outputs, const std::vector<Input>& inputs) {
    std::vector<std::string> inputPaths;
    for (const auto& input : inputs)
        inputPaths.push_back(input.path);
    for (const auto& output : outputs) {
        for (const auto& input : inputs)
            if (halvorn::SameFile(output.path, input.path))
                throw InputError(std::string(output.option) + " " + output.path + " is the same file as " +
                                 input.option + " " + input.path + "; nothing was written");
    }
    if (outputs.size() == 2 && halvorn::SameSaveTarget(outputs[0].path, outputs[1].path))
        throw InputError("--out and --json name the same file \"" + outputs[0].path + "\"");
    for (const auto& output : outputs) {
        std::string error;
        if (!halvorn::CheckSaveTarget(output.path, inputPaths, error))
            throw OutputError(std::string(output.option) + ": " + error);
    }
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Refuses, before anything is computed, an export folder that is an input or an output, or that holds an
// output (bad input, status 2: the folder is replaced as a whole), and a name that exists and is not a
// folder (status 5).
void CheckExportFolder(const std::string& dir,
                       const std::vector<Input>& inputs,
                       const std::vector<Output>& outputs) {
    for (const auto& input : inputs)
        if (halvorn::SameFile(dir, input.path))
            throw InputError("--export " + dir + " is the same file as " + input.option + " " + input.path +
                             "; nothing was written");
    for (const auto& output : outputs) {
        if (halvorn::SameSaveTarget(output.path, dir))
            throw InputError(std::string(output.option) + " and --export name the same place " + output.path +
                             "; nothing was written");
        if (halvorn::SameFile(FolderOf(output.path), dir))
            throw InputError(std::string(output.option) + " " + output.path +
                             " is inside the --export folder " + dir +
                             ", which an export replaces as a whole; nothing was written");
    }
    std::error_code ec;
    if (std::filesystem::exists(dir, ec) && !std::filesystem::is_directory(dir, ec))
        throw ExportError("--export: cannot export to " + dir + ": it exists and is not a folder");
}

// Refuses export files that would replace an input or an output (bad input, status 2).
void CheckExportFiles(const std::string& dir,
                      const halvorn::ExportSet& set,
                      const std::vector<Input>& inputs,
                      const std::vector<Output>& outputs) {
    for (const auto& file : set.files) {
        const std::string path = halvorn::PathInFolder(dir, file.name);
        for (const auto& input : inputs)
            if (halvorn::SameFile(path, input.path))
                throw InputError("--export file " + path + " is the same file as " + input.option + " " +
                                 input.path + "; nothing was written");
        for (const auto& output : outputs)
            if (halvorn::SameSaveTarget(path, output.path))
                throw InputError("--export file " + path + " and " + output.option + " " + output.path +
                                 " name the same file; nothing was written");
    }
}

int Run(const BatchOptions& options, const std::string& programDir) {
    // Everything that can be checked before computing is checked first.
    const std::string tablePath = TablePath(options, programDir);
    std::vector<Input> inputFiles{{options.tablePath ? "--table" : "the table", tablePath}};
    if (options.profilePath)
        inputFiles.push_back({"--profile", *options.profilePath});
    std::vector<Output> outputs;
    if (options.jsonPath)
        outputs.push_back({"--json", *options.jsonPath});
    if (options.outPath)
        outputs.push_back({"--out", *options.outPath});
    CheckOutputs(outputs, inputFiles);
    if (options.exportDir)
        CheckExportFolder(*options.exportDir, inputFiles, outputs);

    std::optional<Profile> profile;
    if (options.profilePath) {
        profile = halvorn::cli::ReadProfileFile(*options.profilePath);
        halvorn::cli::CheckFocusBeyondProfile(*profile, *options.focusDistance, *options.profilePath);
    }

    // The state is large (a few hundred kB); it lives on the heap, one for the run as in the program.
    auto state = std::make_unique<CalculationState>();
    halvorn::TableLoadDetail detail;
    if (halvorn::LoadAttenuationTable(*state, tablePath, detail) != halvorn::TableLoadStatus::Ok)
        throw InputError(halvorn::DescribeTableLoadFailure(detail, tablePath));

    StderrReporter reporter;
    const halvorn::MeasuredHvl measured{options.hvl.value, options.hvlMaterial == 2
                                                               ? halvorn::HvlMaterial::Copper
                                                               : halvorn::HvlMaterial::Aluminium};
    halvorn::CalibrationInputs inputs;
    inputs.measuredHvlMm = measured.valueMm;
    inputs.hvlMaterial = measured.material;
    inputs.tubeVoltageKv = options.kv.value;
    inputs.targetAngleDeg = options.targetAngle.value;
    inputs.inherentFiltrationMm = options.inherent.value;
    inputs.addedAlMm = options.addedAl.value;
    inputs.addedCuMm = options.addedCu.value;
    inputs.addedAgMm = options.addedAg.value;
    const auto outcome = halvorn::CalibrationRun(*state, inputs, reporter);
    // A value outside its accepted range is refused by the run with one message: bad input.
    if (!outcome.started)
        return kExitInput;
    if (reporter.failed)
        return kExitCalculation;
    // The off-axis run overwrites the centre's figures in the state; the record keeps them.
    halvorn::RunRecord run = halvorn::RecordCalibration(*state, measured);
    run.comment = options.comment;

    std::vector<double> readings;
    if (profile) {
        const halvorn::ProfileGrid grid = GridOf(*profile, options.focusDistance->value);
        readings.assign(grid.reading.begin(), grid.reading.begin() + profile->PointCount() + 1);
        const auto result = halvorn::OffAxisRun(*state, grid, reporter);
        if (result.outcome != halvorn::OffAxisOutcome::Completed)
            return result.refused ? kExitInput : kExitCalculation;
    } else {
        SolveCentreOnly(*state, options.focusDistance ? options.focusDistance->value : 0, reporter);
    }
    if (reporter.failed)
        return kExitCalculation;
    if (!(state->SpectrumPeak > 0) || !std::isfinite(state->SpectrumPeak)) {
        std::cerr << "halvorn-calc: the centre spectrum is empty\n";
        return kExitCalculation;
    }
    halvorn::RecordProfile(run, *state, readings);
    const std::optional<double> collimation =
        options.collimation ? std::optional<double>(options.collimation->value) : std::nullopt;

    halvorn::ExportSet exportSet;
    if (options.exportDir) {
        halvorn::ExportOptions exportOptions{collimation, options.angleStep.value};
        if (options.kermaPer100Mas)
            exportOptions.kermaPer100MasMgy = options.kermaPer100Mas->value;
        if (options.phaseSpace)
            exportOptions.phaseSpacePhotons = static_cast<long long>(options.phaseSpace->value);
        exportOptions.phaseSpacePlaneCm = options.phaseSpacePlane.value;
        // The tool always has the target angle, which the spectrum before the bowtie needs; the solid
        // needs a fan.
        exportOptions.bowtieSolid = run.points.size() > 1;
        exportSet = halvorn::BuildExportSet(run, exportOptions);
        if (!exportSet.error.empty())
            throw ExportError("--export: cannot export to " + *options.exportDir + ": " + exportSet.error);
        CheckExportFiles(*options.exportDir, exportSet, inputFiles, outputs);
    }

    // Every output and the export are written in full under temporary names before any is put in place.
    // The result file holds the bytes that SaveResultFile writes. The inputs are checked again: a file may
    // have been put in place meanwhile.
    std::vector<std::string> inputPaths;
    for (const auto& input : inputFiles)
        inputPaths.push_back(input.path);
    std::vector<halvorn::PendingFile> pending(outputs.size());
    for (std::size_t k = 0; k < outputs.size(); ++k) {
        const std::string bytes =
            std::string_view(outputs[k].option) == "--out"
                ? halvorn::FormatResultFile(run, run.comment)
                : JsonSummary(run, options.focusDistance.has_value(), collimation, exportSet);
        std::string error;
        if (!pending[k].Prepare(outputs[k].path, bytes, inputPaths, error))
            throw OutputError(std::string(outputs[k].option) + ": " + error);
    }
    halvorn::PendingExport pendingExport;
    std::string error;
    if (options.exportDir && !pendingExport.Prepare(*options.exportDir, exportSet, inputPaths, error))
        throw ExportError("--export: " + error);

    // Put in place, one step each; a failure takes back what went in place before it.
    halvorn::HoldInterrupts();
    if (options.exportDir && !pendingExport.Place(error))
        throw ExportError("--export: " + error);
    for (std::size_t k = 0; k < pending.size(); ++k) {
        if (pending[k].Place(error))
            continue;
        std::string kept;
        for (std::size_t j = k; j-- > 0;)
            if (!pending[j].TakeBack())
                kept += std::string(kept.empty() ? "" : ", ") + outputs[j].option;
        if (options.exportDir && !pendingExport.TakeBack())
            kept += std::string(kept.empty() ? "" : ", ") + "--export";
        throw OutputError(std::string(outputs[k].option) + ": " + error +
                          (kept.empty() ? "; nothing was written"
                                        : "; the new " + kept + " could not be taken back and stay"));
    }
    pendingExport.Finish();
    for (auto& file : pending)
        file.Finish();
    return 0;
}

}  // namespace

// A message as one line, whatever the texts in it hold.
void PrintFailure(const char* what) {
    std::cerr << "halvorn-calc: " << halvorn::OneLine(what) << '\n';
}

int main(int argc, char** argv) {
    // The user's locale, as the program has it (Qt sets it): every number text of the engine is written and
    // read without it, and the tool meets the same conditions. Messages stay English, system errors too.
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_MESSAGES, "C");
    halvorn::InstallInterruptCleanup("halvorn-calc");
    try {
        const std::vector<std::string_view> args(argv + 1, argv + argc);
        const BatchOptions options = halvorn::cli::ParseCommandLine(args);
        if (options.help) {
            std::cout << halvorn::cli::UsageText();
            return 0;
        }
        if (options.version) {
            std::cout << "halvorn-calc " << halvorn::ProgramVersion() << '\n';
            return 0;
        }
        // The tool's folder, when it was started by a path (not found on PATH).
        const std::string program = argc > 0 ? argv[0] : "";
        const auto slash = program.rfind('/');
        return Run(options, slash == std::string::npos ? std::string() : program.substr(0, slash));
    } catch (const InputError& e) {
        PrintFailure(e.what());
        return kExitInput;
    } catch (const OutputError& e) {
        PrintFailure(e.what());
        return kExitWrite;
    } catch (const ExportError& e) {
        PrintFailure(e.what());
        return kExitExport;
    } catch (const std::exception& e) {
        PrintFailure(e.what());
        return kExitCalculation;
    }
}
