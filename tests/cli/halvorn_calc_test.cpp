// Runs the built halvorn-calc as a user would: in a fresh folder, on the example profile and on bad input.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string kExampleProfile = std::string(HALVORN_EXAMPLES_DIR) + "/ct-120kv.profile.csv";
const std::string kExampleResult = std::string(HALVORN_EXAMPLES_DIR) + "/ct-120kv.csv";
const std::string kExampleComment = "Example CT scanner, 120 kV, HVL 7.0 mm Al";

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteAll(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

struct RunResult {
    int status = -1;
    std::string err;
};

std::string Describe(const std::vector<std::string>& args) {
    std::string out = "halvorn-calc";
    for (const auto& a : args)
        out += " '" + a + "'";
    return out;
}

// A run of `args` that should have ended with `status` and a message containing `said`.
void ExpectEndedWith(const std::vector<std::string>& args,
                     const RunResult& run,
                     int status,
                     const std::string& said) {
    EXPECT_EQ(run.status, status) << Describe(args) << "\n" << run.err;
    EXPECT_NE(run.err.find(said), std::string::npos) << Describe(args) << " said: " << run.err;
}

class HalvornCalc : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "halvorn-calc-test.XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Runs the tool in the test folder with the given arguments; stdout and stderr go to files outside it.
    RunResult Run(std::vector<std::string> args) {
        const std::string outFile = dir_.string() + ".stdout";
        const std::string errFile = dir_.string() + ".stderr";
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addchdir_np(&actions, dir_.c_str());
        posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::vector<char*> argv;
        std::string program = HALVORN_CALC_PATH;
        argv.push_back(program.data());
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        pid_t pid = 0;
        RunResult result;
        if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
            int wstatus = 0;
            ::waitpid(pid, &wstatus, 0);
            result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
        }
        posix_spawn_file_actions_destroy(&actions);
        result.err = ReadAll(errFile);
        fs::remove(outFile);
        fs::remove(errFile);
        return result;
    }

    // The names in the test folder, so a test can see that nothing (not even a temporary) was left.
    std::set<std::string> Files() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_))
            names.insert(entry.path().filename().string());
        return names;
    }

    fs::path Path(const std::string& name) const { return dir_ / name; }

    // `args` followed by both outputs and the committed table, as most cases run the tool.
    static std::vector<std::string> WithOutputs(std::vector<std::string> args) {
        args.insert(args.end(), {"--out", "r.csv", "--json", "r.json", "--table", HALVORN_TABLE_PATH});
        return args;
    }

    // A profile with `points` off-axis points every 1 cm, readings falling from 10 at the centre.
    std::string ProfileWithPoints(int points) const {
        std::string text = "0,10\n";
        for (int p = 1; p <= points; ++p)
            text += std::to_string(p) + "," + std::to_string(10.0 - 0.3 * p) + "\n";
        return text;
    }

    fs::path dir_;
};

// Lines of a CR LF text, without their terminators.
std::vector<std::string> CrLfLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// The numbers of a JSON array value `key` in a flat summary, or nothing when the key is missing.
std::vector<double> JsonArray(const std::string& json, const std::string& key) {
    std::vector<double> values;
    const auto at = json.find("\"" + key + "\": [");
    if (at == std::string::npos)
        return values;
    std::istringstream in(json.substr(json.find('[', at) + 1, json.find(']', at) - json.find('[', at) - 1));
    std::string item;
    while (std::getline(in, item, ','))
        values.push_back(std::stod(item));
    return values;
}

double JsonValue(const std::string& json, const std::string& key) {
    const auto at = json.find("\"" + key + "\": ");
    if (at == std::string::npos)
        return -1e300;
    return std::stod(json.substr(at + key.size() + 4));
}

std::vector<std::string> ExampleArgs() {
    return {"--hvl",
            "7.0",
            "--focus-distance",
            "60",
            "--profile",
            kExampleProfile,
            "--comment",
            kExampleComment,
            "--out",
            "result.csv",
            "--json",
            "summary.json",
            "--table",
            HALVORN_TABLE_PATH};
}

TEST_F(HalvornCalc, ExampleProfileGivesTheResultFileAndSummary) {
    const auto run = Run(ExampleArgs());
    ASSERT_EQ(run.status, 0) << Describe(ExampleArgs()) << "\n" << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(Files(), (std::set<std::string>{"result.csv", "summary.json"}));

    const std::string result = ReadAll(Path("result.csv"));
    const auto lines = CrLfLines(result);
    ASSERT_EQ(lines.size(), 311u);
    EXPECT_EQ(lines[0], kExampleComment);
    EXPECT_EQ(lines[1], " 12 ");
    EXPECT_EQ(lines[305], "SAD ,  60.0");
    // The committed example is this very run (examples/README.md gives the command).
    EXPECT_TRUE(result == ReadAll(kExampleResult)) << "result.csv differs from " << kExampleResult;

    const std::string json = ReadAll(Path("summary.json"));
    for (const char* key : {"fitted_filtration_mm", "hvl_al_mm", "hvl_cu_mm", "spectrum_peak"})
        EXPECT_GT(JsonValue(json, key), 0) << key << " in\n" << json;
    // The fit reproduces the measured HVL to well within its 0.1 mm trial step.
    EXPECT_NEAR(JsonValue(json, "hvl_al_mm"), 7.0, 0.05) << json;
    EXPECT_GT(JsonValue(json, "fitted_filtration_mm"), 2.5) << json;
    const auto bowtie = JsonArray(json, "bowtie_mm");
    const auto kerma = JsonArray(json, "relative_kerma");
    ASSERT_EQ(bowtie.size(), 13u) << json;
    ASSERT_EQ(kerma.size(), 13u) << json;
    EXPECT_EQ(kerma[0], 1.0);
    EXPECT_NEAR(kerma[12], 2.21 / 21.35 * (1 + 0.16), 1e-12);  // reading ratio times inverse-square factor
    EXPECT_NEAR(bowtie[0], JsonValue(json, "fitted_filtration_mm") - 2.5, 1e-9);
    for (std::size_t p = 1; p < bowtie.size(); ++p)
        EXPECT_GT(bowtie[p], bowtie[p - 1]) << "bowtie_mm must grow outward, point " << p;
    const auto centre = JsonArray(json, "centre_spectrum");
    ASSERT_EQ(centre.size(), 300u);
    EXPECT_EQ(*std::max_element(centre.begin(), centre.end()), 1.0);
    for (std::size_t i = 240; i < centre.size(); ++i)
        EXPECT_EQ(centre[i], 0.0) << "bin " << i + 1 << " above 120 kV";
}

// Comments, blank lines, a header, blanks around fields and CR LF line ends read as the plain file does.
TEST_F(HalvornCalc, ProfileLayoutVariantsGiveTheSameFile) {
    const std::string plain = "0,21.35\n4,19.24\n10,12.42\n";
    const std::string decorated =
        "\xEF\xBB\xBF# measured 2024\r\n\r\ndistance, reading\r\n 0 , 21.35\r\n#\r\n4,\t19.24\r\n10,12.42";
    WriteAll(Path("plain.profile"), plain);
    WriteAll(Path("decorated.profile"), decorated);
    for (const char* name : {"plain", "decorated"}) {
        std::vector<std::string> args = {"--hvl",
                                         "7",
                                         "--focus-distance",
                                         "60",
                                         "--profile",
                                         std::string(name) + ".profile",
                                         "--out",
                                         std::string(name) + ".csv",
                                         "--table",
                                         HALVORN_TABLE_PATH};
        const auto run = Run(args);
        ASSERT_EQ(run.status, 0) << Describe(args) << "\n" << run.err;
    }
    const auto lines = CrLfLines(ReadAll(Path("plain.csv")));
    ASSERT_EQ(lines.size(), 311u);
    EXPECT_EQ(lines[1], " 2 ");
    EXPECT_TRUE(ReadAll(Path("plain.csv")) == ReadAll(Path("decorated.csv")));
}

// Without a profile the centre alone is solved; the focus distance goes to line 306 or is 0. Copper HVLs
// are fitted in millimetres of copper, and the limit of 150 kV itself is accepted.
TEST_F(HalvornCalc, WithoutProfileTheCentreAloneIsWritten) {
    struct Case {
        std::vector<std::string> args;
        std::string sadLine;
        std::string hvlKey;  // the model HVL in the measured material
        double hvl;
    };
    const Case cases[] = {
        {{"--hvl", "7", "--focus-distance", "57.5"}, "SAD ,  57.5", "hvl_al_mm", 7},
        {{"--hvl", "7", "--comment", "体幹用, 2024"}, "SAD ,  00.0", "hvl_al_mm", 7},
        {{"--hvl", "0.35", "--hvl-material", "cu"}, "SAD ,  00.0", "hvl_cu_mm", 0.35},
        {{"--hvl=8", "--kv=150", "--added-cu", "0.1"}, "SAD ,  00.0", "hvl_al_mm", 8},
    };
    for (const auto& c : cases) {
        const auto args = WithOutputs(c.args);
        const auto run = Run(args);
        ASSERT_EQ(run.status, 0) << Describe(args) << "\n" << run.err;
        const auto lines = CrLfLines(ReadAll(Path("r.csv")));
        ASSERT_EQ(lines.size(), 311u) << Describe(args);
        // The comment arrives as UTF-8 and is stored in Shift-JIS, commas and all.
        EXPECT_EQ(lines[0],
                  c.args.size() > 2 && c.args[2] == "--comment" ? "\x91\xcc\x8a\xb2\x97\x70, 2024" : "")
            << Describe(args);
        EXPECT_EQ(lines[1], " 0 ") << Describe(args);
        EXPECT_EQ(lines[305], c.sadLine) << Describe(args);
        const std::string json = ReadAll(Path("r.json"));
        EXPECT_EQ(JsonArray(json, "bowtie_mm").size(), 1u) << Describe(args);
        EXPECT_EQ(JsonArray(json, "relative_kerma"), std::vector<double>{1.0}) << Describe(args);
        EXPECT_NEAR(JsonValue(json, c.hvlKey), c.hvl, 0.01 * c.hvl) << Describe(args) << "\n" << json;
    }
    EXPECT_EQ(Files(), (std::set<std::string>{"r.csv", "r.json"}));
}

// Bad options end the tool with status 2, a message naming the value, and no output file.
TEST_F(HalvornCalc, BadOptionsAreRefusedByName) {
    struct Case {
        std::vector<std::string> args;
        std::string named;
    };
    const Case cases[] = {
        {{"--hvl", "7x"}, "7x"},
        {{"--hvl", ""}, "--hvl"},
        {{"--hvl", "nan"}, "nan"},
        {{"--hvl", "inf"}, "inf"},
        {{"--hvl", "1e999"}, "1e999"},
        {{"--hvl", " 7"}, " 7"},
        {{"--hvl", "7", "--kv", "12kV"}, "12kV"},
        {{"--hvl", "7", "--kv", "151"}, "151"},
        {{"--hvl", "7", "--kv", "150.0001"}, "150.0001"},
        {{"--hvl", "7", "--target-angle", "1,5"}, "1,5"},
        {{"--hvl", "7", "--added-al", "0x10"}, "0x10"},
        {{"--kv", "120"}, "--hvl"},
        {{"--hvl"}, "--hvl"},
        {{"--hvl", "7", "--kv"}, "--kv"},
        {{"--hvl", "7", "--hvl-material", "fe"}, "fe"},
        {{"--hvl", "7", "--colour", "red"}, "--colour"},
        {{"--hvl", "7", "extra"}, "extra"},
        {{"--hvl", "7", "--profile", "p.csv"}, "--focus-distance"},
        {{"--hvl", "7", "--focus-distance", "0", "--profile", "p.csv"}, "--focus-distance"},
        {{"--hvl", "7", "--focus-distance", "60cm"}, "60cm"},
        {{"--hvl", "7", "--comment", "two\nlines"}, "--comment"},
    };
    WriteAll(Path("p.csv"), "0,10\n5,9\n");
    for (const auto& c : cases) {
        const auto args = WithOutputs(c.args);
        const auto run = Run(args);
        ExpectEndedWith(args, run, 2, c.named);
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1)
            << Describe(args) << " said: " << run.err;
    }
    EXPECT_EQ(Files(), std::set<std::string>{"p.csv"});

    // Two spellings of one name would let one output silently replace the other.
    fs::create_directory(Path("sub"));
    for (const char* json : {"r.csv", "./r.csv", "sub/../r.csv"}) {
        const std::vector<std::string> args = {"--hvl",  "7",  "--out",   "r.csv",
                                               "--json", json, "--table", HALVORN_TABLE_PATH};
        ExpectEndedWith(args, Run(args), 2, "the same file");
    }
    EXPECT_EQ(Files(), (std::set<std::string>{"p.csv", "sub"}));

    const auto help = Run({"--help"});
    EXPECT_EQ(help.status, 0);
}

// Bad profile files end the tool with status 2 and a message naming the file; 25 points are accepted.
TEST_F(HalvornCalc, BadProfilesAreRefusedByName) {
    struct Case {
        std::string name;
        std::string text;  // not written when empty: the file is missing
        std::string named;
    };
    const Case cases[] = {
        {"missing.csv", "", "missing.csv"},
        {"26points.csv", ProfileWithPoints(26), "26points.csv"},
        {"offcentre.csv", "0.5,10\n5,9\n", "offcentre.csv"},
        {"zerocentre.csv", "0,0\n5,9\n", "zerocentre.csv"},
        {"zerocentre2.csv", "0,0.000\n", "zerocentre2.csv"},
        {"semicolon.csv", "0,10\n5;9\n", "semicolon.csv"},
        {"threefields.csv", "0,10\n5,9,1\n", "threefields.csv"},
        {"word.csv", "0,10\n5,high\n", "high"},
        {"secondheader.csv", "d,m\nx,y\n0,10\n", "secondheader.csv"},
        {"empty.csv", "# nothing measured\n\n", "empty.csv"},
    };
    for (const auto& c : cases) {
        if (!c.text.empty())
            WriteAll(Path(c.name), c.text);
        const std::vector<std::string> args = {
            "--hvl", "7",       "--focus-distance", "60", "--profile", c.name, "--out",
            "r.csv", "--table", HALVORN_TABLE_PATH};
        const auto run = Run(args);
        ExpectEndedWith(args, run, 2, c.named);
        EXPECT_FALSE(fs::exists(Path("r.csv"))) << Describe(args);
    }
    // A directory is not a readable profile.
    fs::create_directory(Path("folder.csv"));
    const auto dirRun = Run(
        {"--hvl", "7", "--focus-distance", "60", "--profile", "folder.csv", "--table", HALVORN_TABLE_PATH});
    EXPECT_EQ(dirRun.status, 2) << dirRun.err;
    EXPECT_NE(dirRun.err.find("folder.csv"), std::string::npos) << dirRun.err;

    WriteAll(Path("25points.csv"), ProfileWithPoints(25));
    const auto full = Run({"--hvl", "7", "--focus-distance", "60", "--profile", "25points.csv", "--out",
                           "r.csv", "--table", HALVORN_TABLE_PATH});
    ASSERT_EQ(full.status, 0) << "25 points: " << full.err;
    EXPECT_EQ(CrLfLines(ReadAll(Path("r.csv")))[1], " 25 ");
}

// A missing or short attenuation table ends the tool with status 2 and a message naming the file.
TEST_F(HalvornCalc, MissingOrShortTableIsRefusedByName) {
    std::string shortTable;
    for (int i = 1; i <= 299; ++i)
        shortTable += std::to_string(0.5 * i) + ",1,1,1,1,1,0\n";
    WriteAll(Path("short.dat"), shortTable);
    for (const char* table : {"absent.dat", "short.dat"}) {
        const std::vector<std::string> args = {"--hvl", "7", "--out", "r.csv", "--table", table};
        const auto run = Run(args);
        ExpectEndedWith(args, run, 2, table);
        EXPECT_FALSE(fs::exists(Path("r.csv"))) << Describe(args);
    }
}

// Failures the screens report with a message box end with status 3; existing outputs stay as they were.
TEST_F(HalvornCalc, CalculationFailuresWriteNothing) {
    WriteAll(Path("deadpoint.csv"), "0,10\n5,9\n10,1e-12\n");
    struct Case {
        std::vector<std::string> args;
        std::string message;  // part of the engine's message
    };
    const Case cases[] = {
        {{"--hvl", "65"}, "半価層が正しく計算できません"},  // no filtration gives 65 mm Al at 120 kV
        {{"--hvl", "3"}, "ボウタイフィルタ厚"},             // softer than the nominal 2.5 mm Al gives
        {{"--hvl", "0.01"}, "半価層が正しく計算できません"},  // softer than the model without any filtration
        // A reading below what 100 mm of added aluminium leaves.
        {{"--hvl", "7", "--focus-distance", "60", "--profile", "deadpoint.csv"}, "④"},
    };
    WriteAll(Path("r.csv"), "earlier result\r\n");
    WriteAll(Path("r.json"), "{}\n");
    for (const auto& c : cases) {
        const auto args = WithOutputs(c.args);
        const auto run = Run(args);
        ExpectEndedWith(args, run, 3, c.message);
        EXPECT_EQ(ReadAll(Path("r.csv")), "earlier result\r\n") << Describe(args);
        EXPECT_EQ(ReadAll(Path("r.json")), "{}\n") << Describe(args);
    }
    EXPECT_EQ(Files(), (std::set<std::string>{"deadpoint.csv", "r.csv", "r.json"}));
}

// An output that cannot be written leaves the other output and the folder as they were.
TEST_F(HalvornCalc, UnwritableOutputLeavesNothingBehind) {
    WriteAll(Path("r.json"), "{}\n");
    const std::vector<std::string> args = {"--hvl",  "7",      "--out",   "no-such-folder/r.csv",
                                           "--json", "r.json", "--table", HALVORN_TABLE_PATH};
    const auto run = Run(args);
    EXPECT_EQ(run.status, 2) << Describe(args) << "\n" << run.err;
    EXPECT_NE(run.err.find("no-such-folder/r.csv"), std::string::npos) << run.err;
    EXPECT_EQ(ReadAll(Path("r.json")), "{}\n");
    EXPECT_EQ(Files(), std::set<std::string>{"r.json"});

    // A folder in place of either output: the other output is not written either (a rename cannot
    // replace a folder, so one output used to be in place before the other failed).
    fs::create_directory(Path("folder"));
    WriteAll(Path("folder/inside"), "keep");
    WriteAll(Path("r.csv"), "earlier result\r\n");
    for (const auto& [outName, jsonName] : {std::pair<std::string, std::string>{"r.csv", "folder"},
                                            std::pair<std::string, std::string>{"folder", "r.json"}}) {
        const std::vector<std::string> folderArgs = {"--hvl",  "7",      "--out",   outName,
                                                     "--json", jsonName, "--table", HALVORN_TABLE_PATH};
        ExpectEndedWith(folderArgs, Run(folderArgs), 2, "folder");
        EXPECT_EQ(ReadAll(Path("r.csv")), "earlier result\r\n") << Describe(folderArgs);
        EXPECT_EQ(ReadAll(Path("r.json")), "{}\n") << Describe(folderArgs);
        EXPECT_EQ(ReadAll(Path("folder/inside")), "keep") << Describe(folderArgs);
        EXPECT_EQ(Files(), (std::set<std::string>{"folder", "r.csv", "r.json"})) << Describe(folderArgs);
    }
}

}  // namespace
