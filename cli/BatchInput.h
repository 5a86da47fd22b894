#pragma once

// The batch tool's input: its command line and the profile file. Both are checked strictly, unlike the
// screens' leading-number rule: a value that is not wholly a number ends the tool with a message naming it.

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace halvorn::cli {

// A bad command line or input file: the message names the value or file; the tool exits with status 2.
class InputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A value read strictly: the number and the text it came from (the text goes to the engine as typed).
struct NumberOption {
    std::string text;
    double value = 0;
};

struct BatchOptions {
    bool help = false;
    bool version = false;
    NumberOption hvl;                           // measured HVL, mm of hvlMaterial
    int hvlMaterial = 1;                        // 1 aluminium, 2 copper
    NumberOption kv{"120", 120};                // tube voltage, kV
    NumberOption targetAngle{"16", 16};         // degrees
    NumberOption inherent{"2.5", 2.5};          // mm Al equivalent
    NumberOption addedAl{"0", 0};               // mm
    NumberOption addedCu{"0", 0};               // mm
    NumberOption addedAg{"0", 0};               // mm
    std::optional<NumberOption> focusDistance;  // cm
    std::optional<std::string> profilePath;
    std::string comment;  // UTF-8, one line
    std::optional<std::string> outPath;
    std::optional<std::string> jsonPath;
    std::optional<std::string> tablePath;
    std::optional<std::string> exportDir;        // folder for the export set
    std::optional<NumberOption> collimation;     // cm, for the EGSnrc source block
    NumberOption angleStep{"0.125", 0.125};      // degrees, the fan-angle grid of the EGSnrc bowtie files
    std::optional<NumberOption> kermaPer100Mas;  // mGy, air kerma at the centre: the absolute scale
    std::optional<NumberOption> phaseSpace;      // N, photons of the phase-space file (a whole number)
    NumberOption phaseSpacePlane{"20", 20};      // cm from the focus, the phase-space plane
};

// Reads the arguments after the program name. Throws InputError.
BatchOptions ParseCommandLine(const std::vector<std::string_view>& args);

// The usage text printed by --help.
std::string UsageText();

// Parses `text` as wholly one finite decimal number (optional sign, digits, one ".", optional exponent,
// nothing else, not even blanks): the engine's WholeNumber, which reads it as the screens and the result
// file do. Returns nothing otherwise.
std::optional<double> StrictNumber(std::string_view text);

// One row of the profile file: texts as typed (blanks around them removed) and their values.
struct ProfileRow {
    NumberOption distanceCm;
    NumberOption reading;
    int line = 0;  // line of the file, from 1
};

// The measured profile: row 0 is the rotation centre, rows 1..N the off-axis points.
struct Profile {
    std::vector<ProfileRow> rows;
    int PointCount() const { return static_cast<int>(rows.size()) - 1; }
};

// Reads the profile text: lines "distance_cm,reading"; blank lines and lines starting with "#" are
// skipped, and so is a first line whose first field is not a number (a header). Checks that the first
// row is at distance 0 with a non-zero reading, that no row after it is at distance 0 (only the centre lies
// there) and that there are at most 25 off-axis points. `name` is used in messages. Throws InputError.
Profile ParseProfile(std::string_view text, const std::string& name);

// Refuses (InputError naming the option, the file and the line of the farthest point) a focus-centre distance
// that is not greater than every off-axis distance of the profile, as the screens do.
void CheckFocusBeyondProfile(const Profile& profile,
                             const NumberOption& focusDistanceCm,
                             const std::string& name);

// Reads and parses the profile file at `path`. Throws InputError when it is missing, unreadable or bad.
Profile ReadProfileFile(const std::string& path);

}  // namespace halvorn::cli
