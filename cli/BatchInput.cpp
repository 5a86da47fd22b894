#include "cli/BatchInput.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>

#include "engine/CalculationState.h"
#include "engine/InputFile.h"
#include "engine/InputRanges.h"
#include "engine/MessageText.h"
#include "engine/NumberText.h"
#include "engine/ProfileGeometry.h"

namespace halvorn::cli {

namespace {

// A profile has at most 26 short lines; anything far larger is not a profile (or is a device file).
constexpr std::size_t kMaxProfileBytes = 1 << 20;

// What the user typed, quoted for a one-line message: at most 60 characters, control characters escaped.
std::string Quoted(std::string_view text) {
    return "\"" + Excerpt(text) + "\"";
}

// The distances of the off-axis points 1..N.
std::vector<double> OffAxisDistances(const Profile& profile) {
    std::vector<double> distances;
    for (std::size_t k = 1; k < profile.rows.size(); ++k)
        distances.push_back(profile.rows[k].distanceCm.value);
    return distances;
}

std::string_view TrimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// The option's value as a strict number, or an InputError naming the option and the text.
NumberOption NumberValue(std::string_view option, std::string_view text) {
    const auto value = StrictNumber(text);
    if (!value)
        throw InputError(std::string(option) + ": " + Quoted(text) + " is not a number");
    return {std::string(text), *value};
}

// Every option that takes a value, declared once: the parser, the range check and the help read this table.
// A number option names the field whose accepted range it has; "{range}" in the help stands for that range.
struct OptionSpec {
    const char* name;
    const char* placeholder;
    std::optional<InputField> field;  // a number with this field's range; nothing: a text
    const char* help;
};
const OptionSpec kOptions[] = {
    {"--hvl", "MM", InputField::MeasuredHvl, "measured HVL at the rotation centre, {range} (required)"},
    {"--hvl-material", "al|cu", std::nullopt, "material of the HVL (default al)"},
    {"--kv", "KV", InputField::TubeVoltage, "tube voltage, {range} (default 120)"},
    {"--target-angle", "DEG", InputField::TargetAngle, "anode target angle, {range} (default 16)"},
    {"--inherent", "MM", InputField::InherentFiltration,
     "inherent filtration, mm Al equivalent, {range} (default 2.5)"},
    {"--added-al", "MM", InputField::AddedAluminium, "added aluminium filter, {range} (default 0)"},
    {"--added-cu", "MM", InputField::AddedCopper, "added copper filter, {range} (default 0)"},
    {"--added-ag", "MM", InputField::AddedSilver, "added silver filter, {range} (default 0)"},
    {"--focus-distance", "CM", InputField::FocusDistance,
     "focus to rotation-centre distance, {range} (needed with --profile)"},
    {"--profile", "FILE", std::nullopt,
     "lateral profile: lines \"distance_cm,reading\", the first row the centre at distance 0, then up to 25 "
     "off-axis points; blank lines and lines starting with # are skipped, as is a header line"},
    {"--comment", "TEXT", std::nullopt, "first line of the result file (default empty)"},
    {"--out", "FILE.csv", std::nullopt, "write the 311-line result file"},
    {"--json", "FILE", std::nullopt, "write a JSON summary"},
    {"--table", "PATH", std::nullopt,
     "attenuation table (default MUs2022.dat in the working folder, then the installed data folder)"},
    {"--export", "DIR", std::nullopt,
     "write the export set into the folder DIR (made when missing, its parent must exist), replacing an "
     "earlier set there as a whole, with the manifest halvorn-export.json: centre.spectrum, "
     "point01.spectrum ..., bowtie_distribution.dat, al_bowtie.dat, source.egsinp, xcist_bowtie.txt, "
     "xcist_spectrum.dat, gate9_spectrum.txt, gate10_spectrum.py, spectrum.spk, spectra_long.csv, "
     "beam_quality.csv, and the bowtie as a solid: bowtie.stl, pre_bowtie.spectrum, pre_bowtie_gate9.txt, "
     "gate10_fan_beam.py (the fan files only with a profile)"},
    {"--collimation", "CM", InputField::Collimation,
     "real beam width (FWHM) at the rotation centre, {range}, for source.egsinp (without it the line is "
     "left commented out), the solid, the phase space and the absolute scale"},
    {"--angle-step", "DEG", InputField::AngleStep,
     "fan-angle grid of the EGSnrc bowtie files, {range} (default "
     "0.125)"},
    {"--kerma-per-100mas", "MGY", InputField::KermaPer100Mas,
     "air kerma free in air at the rotation centre on the central ray per 100 mAs (a small chamber's point "
     "reading, not CTDI free in air), {range}; needs --collimation, the real beam width (FWHM); gives the "
     "absolute scale (without it every export is relative)"},
    {"--phase-space", "N", InputField::PhaseSpacePhotons,
     "write the IAEA phase space fan_beam.IAEAheader/.IAEAphsp of N photons (25 bytes each), {range}; needs "
     "--collimation and --profile"},
    {"--phase-space-plane", "CM", InputField::PhaseSpacePlane,
     "distance of its plane from the focus, {range} (default 20)"},
};

// Where each number option goes.
NumberOption* NumberTarget(BatchOptions& options, std::string_view name) {
    if (name == "--hvl")
        return &options.hvl;
    if (name == "--kv")
        return &options.kv;
    if (name == "--target-angle")
        return &options.targetAngle;
    if (name == "--inherent")
        return &options.inherent;
    if (name == "--added-al")
        return &options.addedAl;
    if (name == "--added-cu")
        return &options.addedCu;
    if (name == "--added-ag")
        return &options.addedAg;
    if (name == "--angle-step")
        return &options.angleStep;
    if (name == "--phase-space-plane")
        return &options.phaseSpacePlane;
    return nullptr;
}

// Where each optional number and each text goes.
std::optional<NumberOption>* OptionalNumberTarget(BatchOptions& options, std::string_view name) {
    if (name == "--focus-distance")
        return &options.focusDistance;
    if (name == "--collimation")
        return &options.collimation;
    if (name == "--kerma-per-100mas")
        return &options.kermaPer100Mas;
    if (name == "--phase-space")
        return &options.phaseSpace;
    return nullptr;
}
std::optional<std::string>* TextTarget(BatchOptions& options, std::string_view name) {
    if (name == "--profile")
        return &options.profilePath;
    if (name == "--out")
        return &options.outPath;
    if (name == "--json")
        return &options.jsonPath;
    if (name == "--table")
        return &options.tablePath;
    if (name == "--export")
        return &options.exportDir;
    return nullptr;
}

// `text` in lines of at most `width` characters, each after `indent` blanks but the first.
std::string Wrapped(const std::string& text, std::size_t width, std::size_t indent) {
    std::string out;
    std::string line;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string word = text.substr(start, end - start);
        if (!line.empty() && line.size() + 1 + word.size() > width) {
            out += line + "\n" + std::string(indent, ' ');
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
        start = end + 1;
    }
    return out + line + "\n";
}

}  // namespace

std::optional<double> StrictNumber(std::string_view text) {
    return WholeNumber(text);
}

std::string UsageText() {
    std::string text =
        "Usage: halvorn-calc --hvl MM [--hvl-material al|cu] [--kv KV] [--target-angle DEG]\n"
        "                    [--inherent MM] [--added-al MM] [--added-cu MM] [--added-ag MM]\n"
        "                    [--focus-distance CM [--profile FILE]] [--comment TEXT]\n"
        "                    [--out FILE.csv] [--json FILE] [--table PATH]\n"
        "                    [--export DIR [--collimation CM] [--angle-step DEG]\n"
        "                     [--kerma-per-100mas MGY] [--phase-space N [--phase-space-plane CM]]]\n"
        "\n"
        "Fits the beam's aluminium-equivalent filtration to the measured half-value layer at the\n"
        "rotation centre and, with a profile, solves the bowtie filter's path length and the photon\n"
        "spectrum at every profile point.\n"
        "\n";
    // Every option from the table, its range from the check's own table, so the help says what the tool
    // accepts.
    constexpr std::size_t kColumn = 25;
    for (const OptionSpec& option : kOptions) {
        std::string help = option.help;
        if (option.field) {
            const auto at = help.find("{range}");
            help.replace(at, 7, AcceptedRangeText(*option.field));
        }
        std::string left = std::string("  ") + option.name + " " + option.placeholder;
        left += std::string(left.size() < kColumn ? kColumn - left.size() : 1, ' ');
        text += left + Wrapped(help, 94 - kColumn, kColumn);
    }
    return text +
           "  --version              print the version and end\n"
           "  --help                 print this text and end\n"
           "\n"
           "Exit status: 0 done; 2 bad input (a value outside its accepted range, a missing or\n"
           "unreadable input file, an output that names an input file; the message names it);\n"
           "3 the calculation failed; 4 an output could not be written (a FIFO, device or folder\n"
           "at its name, a read-only file, a full disk); 5 the export could not be made or written\n"
           "(a file in place of DIR, a file of one of the set's names in DIR that no earlier\n"
           "export's manifest names, an angle step that gives the EGSnrc files no angle or too\n"
           "many); 130, 143 interrupted by SIGINT, SIGTERM. Every failure prints one line.\n"
           "The outputs are one unit: nothing is written unless the whole calculation succeeds and\n"
           "every output and the export can be written; a link at an output name is followed and\n"
           "the file it names is replaced, keeping its permissions.\n";
}

BatchOptions ParseCommandLine(const std::vector<std::string_view>& args) {
    BatchOptions options;

    // CLI11 reads the command line ("--name value" or "--name=value") into the texts of the options of
    // kOptions; this function turns them into numbers and checks them, with the tool's one-line messages.
    CLI::App app;
    app.set_help_flag();
    app.allow_extras();
    bool help = false;
    bool version = false;
    app.add_flag("-h,--help", help);
    app.add_flag("--version", version);
    std::vector<std::vector<std::string>> texts(std::size(kOptions));
    for (std::size_t k = 0; k < std::size(kOptions); ++k)
        app.add_option(kOptions[k].name, texts[k])
            ->expected(1)
            ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
            ->allow_extra_args(false);
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::ArgumentMismatch& e) {
        // The one mismatch an option of one value can have: its value is missing at the end.
        const std::string what = e.what();
        throw InputError(what.substr(0, what.find(':')) + " needs a value");
    } catch (const std::exception& e) {
        throw InputError(OneLine(e.what()) + " (try --help)");
    }
    if (help || version) {
        options.help = help;
        options.version = version && !help;
        return options;
    }
    auto given = [&](std::string_view name) {
        for (std::size_t k = 0; k < std::size(kOptions); ++k)
            if (name == kOptions[k].name)
                return !texts[k].empty();
        return false;
    };
    for (std::size_t k = 0; k < std::size(kOptions); ++k) {
        const std::string name = kOptions[k].name;
        if (texts[k].size() > 1)
            throw InputError(name + " is given more than once");
        if (texts[k].empty())
            continue;
        const std::string& value = texts[k].front();
        if (NumberOption* number = NumberTarget(options, name)) {
            *number = NumberValue(name, value);
        } else if (std::optional<NumberOption>* optional = OptionalNumberTarget(options, name)) {
            *optional = NumberValue(name, value);
        } else if (std::optional<std::string>* path = TextTarget(options, name)) {
            *path = value;
        } else if (name == "--hvl-material") {
            if (value == "al")
                options.hvlMaterial = 1;
            else if (value == "cu")
                options.hvlMaterial = 2;
            else
                throw InputError("--hvl-material: " + Quoted(value) + " is neither al nor cu");
        } else if (name == "--comment") {
            // The comment is line 1 of the result file; a line break would shift every later line.
            if (value.find_first_of("\r\n") != std::string::npos)
                throw InputError("--comment must be a single line");
            options.comment = value;
        }
    }

    // What CLI11 did not take: an option it does not know, or an argument that is no option. Checked after
    // the values, so that an option without its value names itself ("--hvl --out r.csv" reads "--out" as
    // the value of --hvl, refused as not a number, before "r.csv" is left over).
    if (const std::vector<std::string> extra = app.remaining(); !extra.empty()) {
        const std::string& first = extra.front();
        if (first.size() > 2 && first.rfind("--", 0) == 0)
            throw InputError("unknown option " + Quoted(first.substr(0, first.find('='))) + " (try --help)");
        throw InputError("unexpected argument " + Quoted(first) + " (try --help)");
    }

    if (!given("--hvl"))
        throw InputError("--hvl is required (the measured half-value layer, mm)");
    // The ranges the screens accept, in the order of the table; an optional number only when given.
    for (const OptionSpec& option : kOptions) {
        if (!option.field)
            continue;
        const NumberOption* number = NumberTarget(options, option.name);
        if (!number) {
            const std::optional<NumberOption>& optional = *OptionalNumberTarget(options, option.name);
            number = optional ? &*optional : nullptr;
        }
        if (number && !InAcceptedRange(*option.field, number->value))
            throw InputError(std::string(option.name) + ": " + Quoted(number->text) +
                             " is outside the accepted range (" +
                             std::string(AcceptedRangeText(*option.field)) + ")");
    }
    if (options.profilePath && !options.focusDistance)
        throw InputError("--profile needs --focus-distance (the focus to rotation-centre distance, cm)");
    // The export's settings mean nothing without an export; given alone they are most likely a mistake.
    for (const auto& [given, name] : {std::pair{options.collimation.has_value(), "--collimation"},
                                      std::pair{given("--angle-step"), "--angle-step"},
                                      std::pair{options.kermaPer100Mas.has_value(), "--kerma-per-100mas"},
                                      std::pair{options.phaseSpace.has_value(), "--phase-space"}})
        if (given && !options.exportDir)
            throw InputError(std::string(name) + " needs --export (the folder for the export files)");
    // The absolute scale and the phase space stand for the beam as wide as it really is along the patient.
    if (options.kermaPer100Mas && !options.collimation)
        throw InputError("--kerma-per-100mas needs --collimation (the real beam width at the centre, cm)");
    if (options.phaseSpace && !options.collimation)
        throw InputError("--phase-space needs --collimation (the real beam width at the centre, cm)");
    if (options.phaseSpace && !options.profilePath)
        throw InputError("--phase-space needs --profile (the fan it samples)");
    if (given("--phase-space-plane") && !options.phaseSpace)
        throw InputError("--phase-space-plane needs --phase-space (the photon count)");
    for (const auto& path :
         {options.outPath, options.jsonPath, options.tablePath, options.profilePath, options.exportDir})
        if (path && path->empty())
            throw InputError("an empty file name was given");
    if (options.outPath && options.jsonPath && *options.outPath == *options.jsonPath)
        throw InputError("--out and --json name the same file \"" + OneLine(*options.outPath) + "\"");
    return options;
}

Profile ParseProfile(std::string_view text, const std::string& name) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);  // a UTF-8 byte-order mark

    Profile profile;
    bool firstContentLine = true;
    int lineNumber = 0;
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = TrimBlanks(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        ++lineNumber;
        if (line.empty() || line.front() == '#')
            continue;

        const std::string where = OneLine(name) + " line " + std::to_string(lineNumber);
        const auto comma = line.find(',');
        const std::string_view first = TrimBlanks(line.substr(0, comma));
        const bool isHeader = firstContentLine && !StrictNumber(first);
        firstContentLine = false;
        if (isHeader)
            continue;

        if (comma == std::string_view::npos || line.find(',', comma + 1) != std::string_view::npos)
            throw InputError(where + ": " + Quoted(line) + " is not of the form distance_cm,reading");
        const std::string_view second = TrimBlanks(line.substr(comma + 1));
        const auto distance = StrictNumber(first);
        if (!distance)
            throw InputError(where + ": distance " + Quoted(first) + " is not a number");
        const auto reading = StrictNumber(second);
        if (!reading)
            throw InputError(where + ": reading " + Quoted(second) + " is not a number");

        if (profile.rows.empty() && *distance != 0)
            throw InputError(where +
                             ": the first row is the rotation centre and must be at distance 0, not " +
                             Quoted(first));
        // Every row of the file is a point in use, so every reading must be one a measurement gives.
        if (!InAcceptedRange(InputField::ProfileReading, *reading))
            throw InputError(where + ": reading " + Quoted(second) + " is outside the accepted range (" +
                             std::string(AcceptedRangeText(InputField::ProfileReading)) + ")");
        if (static_cast<int>(profile.rows.size()) > kMaxPoint)
            throw InputError(OneLine(name) + " has more than " + std::to_string(kMaxPoint) +
                             " off-axis points (line " + std::to_string(lineNumber) + ")");
        profile.rows.push_back(
            {{std::string(first), *distance}, {std::string(second), *reading}, lineNumber});
    }
    if (profile.rows.empty())
        throw InputError(OneLine(name) + " has no data rows (the centre row 0,reading is needed)");
    // A focus distance beyond every point leaves only a point at the centre to refuse here.
    if (const auto refused = halvorn::CheckProfileGeometry(INFINITY, OffAxisDistances(profile)))
        throw InputError(OneLine(name) + " line " + std::to_string(profile.rows[refused->point].line) +
                         ": an off-axis point is at distance 0, where only the centre (the first row) lies");
    return profile;
}

void CheckFocusBeyondProfile(const Profile& profile,
                             const NumberOption& focusDistanceCm,
                             const std::string& name) {
    const auto refused = halvorn::CheckProfileGeometry(focusDistanceCm.value, OffAxisDistances(profile));
    if (!refused)
        return;
    const ProfileRow& farthest = profile.rows[refused->point];
    throw InputError("--focus-distance: " + Quoted(focusDistanceCm.text) +
                     " is not greater than the farthest off-axis distance " +
                     Quoted(farthest.distanceCm.text) + " cm (" + OneLine(name) + " line " +
                     std::to_string(farthest.line) +
                     "); a point there would lie at a fan angle of 45 degrees or more");
}

Profile ReadProfileFile(const std::string& path) {
    // Opened without waiting and read only when it is a regular file of at most kMaxProfileBytes.
    std::string text;
    InputFileError error;
    if (!ReadInputFile(path, kMaxProfileBytes, text, &error))
        throw InputError("cannot read the profile file \"" + OneLine(path) +
                         "\": " + DescribeInputFileError(error));
    return ParseProfile(text, path);
}

}  // namespace halvorn::cli
