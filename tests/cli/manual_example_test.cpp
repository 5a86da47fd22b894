// The manual's worked example quotes three numbers of the example calculation. Each manual file carries
// them in comment lines of a fixed form; this test runs the built halvorn-calc on the example and checks
// every quoted number against the tool's JSON to the three decimals the manual prints.

#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const kManuals[] = {"manual.md", "manual.en.md"};

// The quoted numbers, by the name the comment lines give them.
const char* const kQuoted[] = {"fitted_filtration_mm", "centre_bowtie_mm", "bowtie_24cm_mm"};

// The off-axis distance of the third quoted number.
constexpr double kQuotedDistanceCm = 24;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// Runs halvorn-calc on the example in a fresh folder; its JSON summary, or nothing (with the reason).
std::optional<std::string> ExampleSummary(std::string* why) {
    std::string pattern = (fs::temp_directory_path() / "halvorn-manual-test.XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        *why = "cannot make a temporary folder";
        return std::nullopt;
    }
    const fs::path dir = pattern;
    std::vector<std::string> args = {HALVORN_CALC_PATH,
                                     "--hvl",
                                     "7.0",
                                     "--focus-distance",
                                     "60",
                                     "--profile",
                                     std::string(HALVORN_EXAMPLES_DIR) + "/ct-120kv.profile.csv",
                                     "--json",
                                     "x.json",
                                     "--table",
                                     HALVORN_TABLE_PATH};
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
    pid_t pid = 0;
    int status = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int wstatus = 0;
        ::waitpid(pid, &wstatus, 0);
        status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    std::optional<std::string> json;
    if (status == 0)
        json = ReadFile(dir / "x.json");
    else
        *why = "halvorn-calc ended with status " + std::to_string(status);
    fs::remove_all(dir);
    return json;
}

std::optional<double> JsonNumber(const std::string& json, const std::string& key) {
    const auto at = json.find("\"" + key + "\": ");
    if (at == std::string::npos)
        return std::nullopt;
    return std::stod(json.substr(at + key.size() + 4));
}

std::vector<double> JsonNumbers(const std::string& json, const std::string& key) {
    std::vector<double> values;
    const auto at = json.find("\"" + key + "\": [");
    if (at == std::string::npos)
        return values;
    const auto open = json.find('[', at);
    std::istringstream in(json.substr(open + 1, json.find(']', open) - open - 1));
    for (std::string item; std::getline(in, item, ',');)
        values.push_back(std::stod(item));
    return values;
}

// Index of the profile row at `distanceCm` in the example profile (row 0 the centre), as the tool numbers
// its points: comment lines, blank lines and the header are not rows.
std::optional<size_t> ExamplePointAt(double distanceCm) {
    size_t row = 0;
    bool first = true;
    for (const std::string& line :
         Lines(ReadFile(std::string(HALVORN_EXAMPLES_DIR) + "/ct-120kv.profile.csv"))) {
        if (line.empty() || line[0] == '#')
            continue;
        const bool header = first && (line[0] < '0' || line[0] > '9');
        first = false;
        if (header)
            continue;
        if (std::stod(line.substr(0, line.find(','))) == distanceCm)
            return row;
        ++row;
    }
    return std::nullopt;
}

std::string ThreeDecimals(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

// The comment lines "<!-- example: NAME = VALUE -->" of a manual: every value text by name, in order.
std::map<std::string, std::vector<std::string>> QuotedValues(const std::string& manual) {
    const std::string open = "<!-- example: ";
    const std::string close = " -->";
    std::map<std::string, std::vector<std::string>> quoted;
    for (const std::string& line : Lines(manual)) {
        if (line.rfind(open, 0) != 0 || line.size() < open.size() + close.size() ||
            line.compare(line.size() - close.size(), close.size(), close) != 0)
            continue;
        const std::string body = line.substr(open.size(), line.size() - open.size() - close.size());
        const auto eq = body.find(" = ");
        if (eq != std::string::npos)
            quoted[body.substr(0, eq)].push_back(body.substr(eq + 3));
    }
    return quoted;
}

TEST(ManualExample, QuotedNumbersAreWhatTheBatchToolPrints) {
    std::string why;
    const std::optional<std::string> json = ExampleSummary(&why);
    ASSERT_TRUE(json) << why;
    const std::optional<size_t> point = ExamplePointAt(kQuotedDistanceCm);
    ASSERT_TRUE(point) << "the example profile has no point at " << kQuotedDistanceCm << " cm";
    const std::vector<double> bowtie = JsonNumbers(*json, "bowtie_mm");
    const std::optional<double> fitted = JsonNumber(*json, "fitted_filtration_mm");
    ASSERT_TRUE(fitted) << *json;
    ASSERT_GT(bowtie.size(), *point) << *json;
    const std::map<std::string, double> printed = {{"fitted_filtration_mm", *fitted},
                                                   {"centre_bowtie_mm", bowtie[0]},
                                                   {"bowtie_24cm_mm", bowtie[*point]}};

    for (const char* name : kManuals) {
        const fs::path path = fs::path(HALVORN_DOCS_DIR) / name;
        const std::string manual = ReadFile(path);
        ASSERT_FALSE(manual.empty()) << path << " is missing or empty";
        const auto quoted = QuotedValues(manual);
        for (const char* key : kQuoted) {
            const auto found = quoted.find(key);
            if (found == quoted.end() || found->second.size() != 1) {
                ADD_FAILURE() << path << ": needs exactly one line \"<!-- example: " << key
                              << " = VALUE -->\"";
                continue;
            }
            const std::string& text = found->second.front();
            const std::string expected = ThreeDecimals(printed.at(key));
            EXPECT_EQ(text, expected) << path << ": " << key << " is quoted as " << text
                                      << " but halvorn-calc prints " << printed.at(key);
            // The reader sees the same number in the text, not only in the comment.
            const std::string comment = "<!-- example: " + std::string(key) + " = " + text + " -->";
            std::string visible = manual;
            visible.erase(visible.find(comment), comment.size());
            EXPECT_NE(visible.find(text), std::string::npos)
                << path << ": " << key << " = " << text << " appears only in its comment line";
        }
    }
}

}  // namespace
