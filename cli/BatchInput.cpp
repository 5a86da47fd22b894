#include "cli/BatchInput.h"

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

// Every option that takes a value; those that are plain numbers name their field.
struct ValueOption {
    const char* name;
    NumberOption BatchOptions::*number;
};
constexpr ValueOption kValueOptions[] = {
    {"--hvl", &BatchOptions::hvl},
    {"--hvl-material", nullptr},
    {"--kv", &BatchOptions::kv},
    {"--target-angle", &BatchOptions::targetAngle},
    {"--inherent", &BatchOptions::inherent},
    {"--added-al", &BatchOptions::addedAl},
    {"--added-cu", &BatchOptions::addedCu},
    {"--added-ag", &BatchOptions::addedAg},
    {"--focus-distance", nullptr},  // optional, so not a plain NumberOption field
    {"--profile", nullptr},
    {"--comment", nullptr},
    {"--out", nullptr},
    {"--json", nullptr},
    {"--table", nullptr},
    {"--export", nullptr},
    {"--collimation", nullptr},  // optional, like --focus-distance
    {"--angle-step", &BatchOptions::angleStep},
    {"--kerma-per-100mas", nullptr},  // optional
    {"--phase-space", nullptr},       // optional
    {"--phase-space-plane", &BatchOptions::phaseSpacePlane}};

}  // namespace

std::optional<double> StrictNumber(std::string_view text) {
    return WholeNumber(text);
}

std::string UsageText() {
    return "Usage: halvorn-calc --hvl MM [--hvl-material al|cu] [--kv KV] [--target-angle DEG]\n"
           "                    [--inherent MM] [--added-al MM] [--added-cu MM] [--added-ag MM]\n"
           "                    [--focus-distance CM [--profile FILE]] [--comment TEXT]\n"
           "                    [--out FILE.csv] [--json FILE] [--table PATH]\n"
           "                    [--export DIR [--collimation CM] [--angle-step DEG]\n"
           "                     [--kerma-per-100mas MGY] [--phase-space N [--phase-space-plane CM]]]\n"
           "\n"
           "Fits the beam's aluminium-equivalent filtration to the measured half-value layer at the\n"
           "rotation centre and, with a profile, solves the bowtie filter's path length and the photon\n"
           "spectrum at every profile point.\n"
           "\n"
           "  --hvl MM               measured HVL at the rotation centre, above 0 (required)\n"
           "  --hvl-material al|cu   material of the HVL (default al)\n"
           "  --kv KV                tube voltage, above 0 and at most 150 (default 120)\n"
           "  --target-angle DEG     anode target angle, above 0 and below 90 (default 16)\n"
           "  --inherent MM          inherent filtration, mm Al equivalent, 0 or more (default 2.5)\n"
           "  --added-al MM          added aluminium filter, 0 or more (default 0)\n"
           "  --added-cu MM          added copper filter, 0 or more (default 0)\n"
           "  --added-ag MM          added silver filter, 0 or more (default 0)\n"
           "  --focus-distance CM    focus to rotation-centre distance, above 0 (needed with --profile)\n"
           "  --profile FILE         lateral profile: lines \"distance_cm,reading\", the first row the\n"
           "                         centre at distance 0, then up to 25 off-axis points; blank lines\n"
           "                         and lines starting with # are skipped, as is a header line\n"
           "  --comment TEXT         first line of the result file (default empty)\n"
           "  --out FILE.csv         write the 311-line result file\n"
           "  --json FILE            write a JSON summary\n"
           "  --table PATH           attenuation table (default MUs2022.dat in the working folder,\n"
           "                         then the installed data folder)\n"
           "  --export DIR           write the export set into the folder DIR (made when missing, its\n"
           "                         parent must exist), replacing an earlier set there as a whole,\n"
           "                         with the manifest halvorn-export.json: centre.spectrum,\n"
           "                         point01.spectrum ..., bowtie_distribution.dat, al_bowtie.dat,\n"
           "                         source.egsinp, xcist_bowtie.txt, xcist_spectrum.dat,\n"
           "                         gate9_spectrum.txt, gate10_spectrum.py, spectrum.spk,\n"
           "                         spectra_long.csv, beam_quality.csv, and the bowtie as a solid:\n"
           "                         bowtie.stl, pre_bowtie.spectrum, pre_bowtie_gate9.txt,\n"
           "                         gate10_fan_beam.py (the fan files only with a profile)\n"
           "  --collimation CM       real beam width (FWHM) at the rotation centre, above 0, for\n"
           "                         source.egsinp (without it the line is left commented out), the\n"
           "                         solid, the phase space and the absolute scale\n"
           "  --angle-step DEG       fan-angle grid of the EGSnrc bowtie files, above 0 (default 0.125)\n"
           "  --kerma-per-100mas MGY air kerma free in air at the rotation centre on the central ray\n"
           "                         per 100 mAs (a small chamber's point reading, not CTDI free in\n"
           "                         air), above 0; needs --collimation, the real beam width (FWHM);\n"
           "                         gives the absolute scale (without it every export is relative)\n"
           "  --phase-space N        write the IAEA phase space fan_beam.IAEAheader/.IAEAphsp of N\n"
           "                         photons (25 bytes each), a whole number from 1 to 100000000;\n"
           "                         needs --collimation and --profile\n"
           "  --phase-space-plane CM distance of its plane from the focus, above 0 and at most 1000\n"
           "                         (default 20)\n"
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
    bool hvlGiven = false;
    std::vector<std::string> seen;

    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            return options;
        }
        if (arg == "--version") {
            options.version = true;
            return options;
        }
        if (arg.size() < 3 || arg.substr(0, 2) != "--")
            throw InputError("unexpected argument " + Quoted(arg) + " (try --help)");

        // "--name value" or "--name=value".
        std::string name;
        std::string_view value;
        if (const auto eq = arg.find('='); eq != std::string_view::npos) {
            name = std::string(arg.substr(0, eq));
            value = arg.substr(eq + 1);
        } else {
            name = std::string(arg);
            if (i + 1 >= args.size()) {
                for (const auto& option : kValueOptions)
                    if (name == option.name)
                        throw InputError(name + " needs a value");
                throw InputError("unknown option " + Quoted(name) + " (try --help)");
            }
            value = args[++i];
        }
        for (const auto& s : seen)
            if (s == name)
                throw InputError(name + " is given more than once");
        seen.push_back(name);

        const auto number = std::find_if(std::begin(kValueOptions), std::end(kValueOptions),
                                         [&](const ValueOption& o) { return name == o.name && o.number; });
        if (number != std::end(kValueOptions)) {
            options.*(number->number) = NumberValue(name, value);
            hvlGiven = hvlGiven || name == "--hvl";
        } else if (name == "--hvl-material") {
            if (value == "al")
                options.hvlMaterial = 1;
            else if (value == "cu")
                options.hvlMaterial = 2;
            else
                throw InputError("--hvl-material: " + Quoted(value) + " is neither al nor cu");
        } else if (name == "--focus-distance") {
            options.focusDistance = NumberValue(name, value);
        } else if (name == "--profile") {
            options.profilePath = std::string(value);
        } else if (name == "--comment") {
            // The comment is line 1 of the result file; a line break would shift every later line.
            if (value.find_first_of("\r\n") != std::string_view::npos)
                throw InputError("--comment must be a single line");
            options.comment = std::string(value);
        } else if (name == "--out") {
            options.outPath = std::string(value);
        } else if (name == "--json") {
            options.jsonPath = std::string(value);
        } else if (name == "--table") {
            options.tablePath = std::string(value);
        } else if (name == "--export") {
            options.exportDir = std::string(value);
        } else if (name == "--collimation") {
            options.collimation = NumberValue(name, value);
        } else if (name == "--kerma-per-100mas") {
            options.kermaPer100Mas = NumberValue(name, value);
        } else if (name == "--phase-space") {
            options.phaseSpace = NumberValue(name, value);
        } else {
            throw InputError("unknown option " + Quoted(name) + " (try --help)");
        }
    }

    if (!hvlGiven)
        throw InputError("--hvl is required (the measured half-value layer, mm)");
    // The ranges the screens accept; the focus distance is checked whenever it is given.
    const std::pair<const char*, const NumberOption*> ranged[] = {
        {"--hvl", &options.hvl},
        {"--kv", &options.kv},
        {"--target-angle", &options.targetAngle},
        {"--inherent", &options.inherent},
        {"--added-al", &options.addedAl},
        {"--added-cu", &options.addedCu},
        {"--added-ag", &options.addedAg},
        {"--focus-distance", options.focusDistance ? &*options.focusDistance : nullptr},
        {"--collimation", options.collimation ? &*options.collimation : nullptr},
        {"--angle-step", &options.angleStep},
        {"--kerma-per-100mas", options.kermaPer100Mas ? &*options.kermaPer100Mas : nullptr},
        {"--phase-space", options.phaseSpace ? &*options.phaseSpace : nullptr},
        {"--phase-space-plane", &options.phaseSpacePlane}};
    const InputField fields[] = {
        InputField::MeasuredHvl,        InputField::TubeVoltage,    InputField::TargetAngle,
        InputField::InherentFiltration, InputField::AddedAluminium, InputField::AddedCopper,
        InputField::AddedSilver,        InputField::FocusDistance,  InputField::Collimation,
        InputField::AngleStep,          InputField::KermaPer100Mas, InputField::PhaseSpacePhotons,
        InputField::PhaseSpacePlane};
    static_assert(std::size(fields) == std::size(ranged));
    for (std::size_t k = 0; k < std::size(ranged); ++k) {
        const auto& [name, number] = ranged[k];
        if (number && !InAcceptedRange(fields[k], number->value))
            throw InputError(std::string(name) + ": " + Quoted(number->text) +
                             " is outside the accepted range (" + std::string(AcceptedRangeText(fields[k])) +
                             ")");
    }
    if (options.profilePath && !options.focusDistance)
        throw InputError("--profile needs --focus-distance (the focus to rotation-centre distance, cm)");
    // The export's settings mean nothing without an export; given alone they are most likely a mistake.
    auto seenOption = [&](const char* name) {
        return std::find(seen.begin(), seen.end(), name) != seen.end();
    };
    for (const auto& [given, name] : {std::pair{options.collimation.has_value(), "--collimation"},
                                      std::pair{seenOption("--angle-step"), "--angle-step"},
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
    if (seenOption("--phase-space-plane") && !options.phaseSpace)
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
