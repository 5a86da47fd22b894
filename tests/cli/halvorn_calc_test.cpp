// Runs the built halvorn-calc as a user would: in a fresh folder, on the example profile and on bad input.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "engine/Version.h"

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
    bool signalled = false;
    std::string err;
    std::string out;
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
    // `fileSizeLimit` (bytes, 0: none) is set in the child alone, as `ulimit -f` does, with SIGXFSZ ignored
    // unless `xfszAsIs_`: writes past it fail as on a full disk. The child runs as `user_` when not 0. A run
    // that takes over a minute (waiting on a FIFO) is killed and reported as status -2; one ended by a
    // signal is 128 + its number with `signalled` set.
    RunResult Run(std::vector<std::string> args, rlim_t fileSizeLimit = 0) {
        return Wait(Start(std::move(args), fileSizeLimit, ".1"), ".1");
    }

    pid_t Start(std::vector<std::string> args, rlim_t fileSizeLimit, const std::string& tag) {
        const std::string outFile = dir_.string() + tag + ".stdout";
        const std::string errFile = dir_.string() + tag + ".stderr";
        std::vector<char*> argv;
        std::string program = HALVORN_CALC_PATH;
        argv.push_back(program.data());
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        const pid_t pid = ::fork();
        if (pid == 0) {
            const int out = ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0 || ::chdir(dir_.c_str()) != 0)
                _exit(120);
            if (user_ != 0 && (::setgid(user_) != 0 || ::setuid(user_) != 0))
                _exit(122);
            if (fileSizeLimit > 0) {
                std::signal(SIGXFSZ, xfszAsIs_ ? SIG_DFL : SIG_IGN);
                const rlimit limit{fileSizeLimit, fileSizeLimit};
                ::setrlimit(RLIMIT_FSIZE, &limit);
            }
            ::execv(program.c_str(), argv.data());
            _exit(121);
        }
        return pid;
    }

    RunResult Wait(pid_t pid, const std::string& tag) {
        RunResult result;
        if (pid > 0) {
            int wstatus = 0;
            pid_t done = 0;
            for (int waited = 0; (done = ::waitpid(pid, &wstatus, WNOHANG)) == 0 && waited < 60000;
                 waited += 5)
                ::usleep(5000);
            if (done == 0) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, &wstatus, 0);
                result.status = -2;
            } else {
                result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
                result.signalled = WIFSIGNALED(wstatus);
            }
        }
        const std::string outFile = dir_.string() + tag + ".stdout";
        const std::string errFile = dir_.string() + tag + ".stderr";
        result.err = ReadAll(errFile);
        result.out = ReadAll(outFile);
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

    uid_t user_ = 0;
    bool xfszAsIs_ = false;

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
    EXPECT_NE(json.find("\"program\": \"Halvorn " + halvorn::ProgramVersion() + "\""), std::string::npos);
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
        // Outside the ranges the screens accept: each names its option.
        {{"--hvl", "0"}, "--hvl"},
        {{"--hvl", "-1"}, "--hvl"},
        {{"--hvl", "7", "--kv", "0"}, "--kv"},
        {{"--hvl", "7", "--kv", "-5"}, "--kv"},
        {{"--hvl", "7", "--target-angle", "0"}, "--target-angle"},
        {{"--hvl", "7", "--target-angle", "90"}, "--target-angle"},
        {{"--hvl", "7", "--inherent", "-0.5"}, "--inherent"},
        {{"--hvl", "7", "--added-al", "-1"}, "--added-al"},
        {{"--hvl", "7", "--added-cu", "-0.1"}, "--added-cu"},
        {{"--hvl", "7", "--added-ag", "-2"}, "--added-ag"},
        {{"--hvl", "7", "--focus-distance", "-5"}, "--focus-distance"},
        {{"--hvl", "7", "--focus-distance", "0"}, "--focus-distance"},
        {{"--hvl", "7", "--export", "x", "--collimation", "0"}, "--collimation"},
        {{"--hvl", "7", "--export", "x", "--collimation", "4cm"}, "4cm"},
        {{"--hvl", "7", "--export", "x", "--angle-step", "-0.125"}, "--angle-step"},
        {{"--hvl", "7", "--collimation", "4"}, "--export"},
        {{"--hvl", "7", "--angle-step", "0.25"}, "--export"},
        {{"--hvl", "7", "--export", ""}, "empty"},
        {{"--hvl", "7", "--export", "x", "--kerma-per-100mas", "10"}, "--collimation"},
        {{"--hvl", "7", "--export", "x", "--collimation", "4", "--kerma-per-100mas", "0"},
         "--kerma-per-100mas"},
        {{"--hvl", "7", "--focus-distance", "60", "--profile", "p.csv", "--export", "x", "--collimation", "4",
          "--phase-space", "0"},
         "--phase-space"},
        {{"--hvl", "7", "--focus-distance", "60", "--profile", "p.csv", "--export", "x", "--collimation", "4",
          "--phase-space", "1.5"},
         "--phase-space"},
        {{"--hvl", "7", "--export", "x", "--collimation", "4", "--phase-space", "10", "--phase-space-plane",
          "1001"},
         "--phase-space-plane"},
        {{"--hvl", "7", "--export", "x", "--collimation", "4", "--phase-space", "10"}, "--profile"},
        {{"--hvl", "7", "--phase-space", "10"}, "--export"},
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
    const auto version = Run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "halvorn-calc " + halvorn::ProgramVersion() + "\n");
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
        {"negative.csv", "0,10\n5,-9\n", "negative.csv line 2"},
        {"semicolon.csv", "0,10\n5;9\n", "semicolon.csv"},
        {"threefields.csv", "0,10\n5,9,1\n", "threefields.csv"},
        {"word.csv", "0,10\n5,high\n", "high"},
        {"secondheader.csv", "d,m\nx,y\n0,10\n", "secondheader.csv"},
        {"empty.csv", "# nothing measured\n\n", "empty.csv"},
        {"zeroafter.csv", "0,10\n5,9\n\n0,8\n", "zeroafter.csv line 4"},
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
    // Metres typed for centimetres: the farthest point lies beyond the focus.
    WriteAll(Path("both.csv"), "0,10\n5,9\n-30,8\n");
    const std::vector<std::string> metres = {"--hvl", "7",     "--profile", "both.csv", "--focus-distance",
                                             "0.6",   "--out", "r.csv",     "--table",  HALVORN_TABLE_PATH};
    ExpectEndedWith(metres, Run(metres), 2, "both.csv line 3");
    EXPECT_FALSE(fs::exists(Path("r.csv")));

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

// A missing, short or damaged attenuation table ends the tool with status 2 and a message naming the file
// (and for a damaged one the record and column).
TEST_F(HalvornCalc, MissingOrShortTableIsRefusedByName) {
    std::string shortTable;
    for (int i = 1; i <= 299; ++i)
        shortTable += std::to_string(0.5 * i) + ",1,1,1,1,1,0\n";
    WriteAll(Path("short.dat"), shortTable);
    WriteAll(Path("damaged.dat"), shortTable + "150,1,1,-1,1,1,0\n");
    for (const char* table : {"absent.dat", "short.dat", "damaged.dat"}) {
        const std::vector<std::string> args = {"--hvl", "7", "--out", "r.csv", "--table", table};
        const auto run = Run(args);
        ExpectEndedWith(args, run, 2, table);
        if (std::string(table) == "damaged.dat")
            ExpectEndedWith(args, run, 2, "record 300, column 4");
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
        {{"--hvl", "65"}, "半価層が正しく計算できません"},    // no filtration gives 65 mm Al at 120 kV
        {{"--hvl", "3"}, "ボウタイフィルタ厚"},               // softer than the nominal 2.5 mm Al gives
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
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << "one line: " << run.err;
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
    EXPECT_EQ(run.status, 4) << Describe(args) << "\n" << run.err;
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
        ExpectEndedWith(folderArgs, Run(folderArgs), 4, "folder");
        EXPECT_EQ(ReadAll(Path("r.csv")), "earlier result\r\n") << Describe(folderArgs);
        EXPECT_EQ(ReadAll(Path("r.json")), "{}\n") << Describe(folderArgs);
        EXPECT_EQ(ReadAll(Path("folder/inside")), "keep") << Describe(folderArgs);
        EXPECT_EQ(Files(), (std::set<std::string>{"folder", "r.csv", "r.json"})) << Describe(folderArgs);
    }
}

// An output that is the same file as an input (by the file, not the spelling; the default table too) is
// bad input: status 2 and nothing written.
TEST_F(HalvornCalc, OutputsNeverReplaceInputs) {
    WriteAll(Path("p.csv"), "0,10\n5,9\n");
    fs::copy_file(HALVORN_TABLE_PATH, Path("t.dat"));
    fs::copy_file(HALVORN_TABLE_PATH, Path("MUs2022.dat"));
    fs::create_hard_link(Path("p.csv"), Path("hard.csv"));
    fs::create_symlink("t.dat", Path("soft.dat"));
    fs::create_directory(Path("sub"));
    const auto before = Files();
    const std::vector<std::string> profile = {"--hvl",     "7",     "--focus-distance", "60",
                                              "--profile", "p.csv", "--table",          "t.dat"};
    for (const auto& [option, name] :
         std::vector<std::pair<std::string, std::string>>{{"--out", "p.csv"},
                                                          {"--json", "./p.csv"},
                                                          {"--out", "sub/../hard.csv"},
                                                          {"--json", "t.dat"},
                                                          {"--out", "soft.dat"},
                                                          {"--json", Path("t.dat").string()}}) {
        auto args = profile;
        args.insert(args.end(), {option, name, option == "--out" ? "--json" : "--out", "fresh.out"});
        const auto run = Run(args);
        ExpectEndedWith(args, run, 2, "same file");
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_EQ(Files(), before) << Describe(args);
    }
    // The default table, found in the working folder.
    const std::vector<std::string> args = {"--hvl", "7", "--json", "MUs2022.dat"};
    ExpectEndedWith(args, Run(args), 2, "MUs2022.dat");
    EXPECT_EQ(ReadAll(Path("p.csv")), "0,10\n5,9\n");
    EXPECT_EQ(ReadAll(Path("t.dat")), ReadAll(HALVORN_TABLE_PATH));
    EXPECT_EQ(ReadAll(Path("MUs2022.dat")), ReadAll(HALVORN_TABLE_PATH));
}

// Outputs go only to regular files or new names: a FIFO or a read-only file is refused with status 4, a
// link is followed to the file it names (which keeps its mode), and a write cut short by the file-size
// limit keeps the earlier file and leaves no temporary file. A FIFO as an input is refused at once.
TEST_F(HalvornCalc, OutputsAndInputsAreRegularFiles) {
    ASSERT_EQ(::mkfifo(Path("pipe").c_str(), 0644), 0);
    WriteAll(Path("locked.csv"), "keep");
    ASSERT_EQ(::chmod(Path("locked.csv").c_str(), 0444), 0);
    for (const char* name : {"pipe", "locked.csv"}) {
        const std::vector<std::string> args = {"--hvl",  "7",      "--out",   name,
                                               "--json", "r.json", "--table", HALVORN_TABLE_PATH};
        const auto run = Run(args);
        ExpectEndedWith(args, run, 4, name);
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_FALSE(fs::exists(Path("r.json"))) << Describe(args);
    }
    struct stat info {};
    ASSERT_EQ(::stat(Path("pipe").c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_EQ(ReadAll(Path("locked.csv")), "keep");

    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--hvl", "7", "--table", "pipe"},
             {"--hvl", "7", "--focus-distance", "60", "--profile", "pipe", "--table", HALVORN_TABLE_PATH}})
        ExpectEndedWith(args, Run(args), 2, "FIFO");

    fs::create_directory(Path("kept"));
    WriteAll(Path("kept/r.csv"), "earlier result\r\n");
    ASSERT_EQ(::chmod(Path("kept/r.csv").c_str(), 0600), 0);
    fs::create_symlink("kept/r.csv", Path("link.csv"));
    const std::vector<std::string> limited = {"--hvl",    "7",       "--out",
                                              "link.csv", "--table", HALVORN_TABLE_PATH};
    const auto full = Run(limited, 4096);
    ExpectEndedWith(limited, full, 4, "link.csv");
    EXPECT_EQ(ReadAll(Path("kept/r.csv")), "earlier result\r\n");
    EXPECT_EQ(fs::directory_iterator(Path("kept"))->path().filename(), "r.csv");
    EXPECT_EQ(std::distance(fs::directory_iterator(Path("kept")), fs::directory_iterator()), 1)
        << "no temporary file left";

    ASSERT_EQ(Run(limited).status, 0);
    EXPECT_EQ(CrLfLines(ReadAll(Path("kept/r.csv"))).size(), 311u);
    EXPECT_TRUE(fs::is_symlink(Path("link.csv")));
    ASSERT_EQ(::stat(Path("kept/r.csv").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

// The objects of the JSON array `key` (a flat array of flat objects, one per line), each as its keys and
// value texts, read without the tool's code.
std::vector<std::map<std::string, std::string>> JsonObjects(const std::string& json, const std::string& key) {
    std::vector<std::map<std::string, std::string>> objects;
    const auto at = json.find("\"" + key + "\": [");
    if (at == std::string::npos)
        return objects;
    const std::string array = json.substr(at, json.find(']', at) - at);
    for (auto open = array.find('{'); open != std::string::npos; open = array.find('{', open + 1)) {
        std::istringstream body(array.substr(open + 1, array.find('}', open) - open - 1));
        std::map<std::string, std::string>& object = objects.emplace_back();
        for (std::string pair; std::getline(body, pair, ',');) {
            const auto colon = pair.find(':');
            const auto q1 = pair.find('"');
            object[pair.substr(q1 + 1, pair.find('"', q1 + 1) - q1 - 1)] = pair.substr(colon + 2);
        }
    }
    return objects;
}

// The whole export set, with the summary's inputs and per-point figures; nothing after a failed run.
TEST_F(HalvornCalc, ExportWritesTheWholeSetAndTheSummaryGainsPoints) {
    auto args = ExampleArgs();
    args.insert(args.end(), {"--export", "set", "--collimation", "4"});
    const auto run = Run(args);
    ASSERT_EQ(run.status, 0) << Describe(args) << "\n" << run.err;
    std::set<std::string> expected = {
        "centre.spectrum",  "bowtie_distribution.dat", "al_bowtie.dat",        "source.egsinp",
        "xcist_bowtie.txt", "xcist_spectrum.dat",      "gate9_spectrum.txt",   "gate10_spectrum.py",
        "spectrum.spk",     "spectra_long.csv",        "beam_quality.csv",     "halvorn-export.json",
        "bowtie.stl",       "pre_bowtie.spectrum",     "pre_bowtie_gate9.txt", "gate10_fan_beam.py"};
    for (int p = 1; p <= 12; ++p)
        expected.insert((p < 10 ? "point0" : "point") + std::to_string(p) + ".spectrum");
    std::set<std::string> written;
    for (const auto& entry : fs::directory_iterator(Path("set")))
        written.insert(entry.path().filename().string());
    EXPECT_EQ(written, expected);
    EXPECT_NE(ReadAll(Path("set/source.egsinp")).find("collimation = 4 "), std::string::npos);

    const std::string json = ReadAll(Path("summary.json"));
    const auto points = JsonObjects(json, "points");
    ASSERT_EQ(points.size(), 13u) << json;
    const std::set<std::string> keys = {"index",
                                        "off_axis_cm",
                                        "fan_angle_deg",
                                        "bowtie_al_mm",
                                        "relative_kerma",
                                        "relative_fluence",
                                        "hvl1_al_mm",
                                        "hvl2_al_mm",
                                        "homogeneity_al",
                                        "hvl1_cu_mm",
                                        "hvl2_cu_mm",
                                        "homogeneity_cu",
                                        "mean_energy_kev",
                                        "effective_energy_al_kev",
                                        "effective_energy_cu_kev"};
    for (std::size_t p = 0; p < points.size(); ++p) {
        std::set<std::string> got;
        for (const auto& [key, value] : points[p])
            got.insert(key);
        EXPECT_EQ(got, keys) << "point " << p;
        EXPECT_EQ(points[p].at("index"), std::to_string(p));
    }
    EXPECT_NEAR(std::stod(points[0].at("hvl1_al_mm")), 7.00, 0.01);
    EXPECT_EQ(std::stod(points[0].at("fan_angle_deg")), 0);
    EXPECT_EQ(std::stod(points[12].at("off_axis_cm")), 24);
    // The earlier keys stay, and the inputs name the measured HVL, its material and the collimation.
    EXPECT_EQ(JsonArray(json, "bowtie_mm").size(), 13u);
    const auto summary = nlohmann::json::parse(json);
    const auto inputs = summary.at("inputs");
    EXPECT_EQ(inputs.at("measured_hvl_mm"), 7.0) << json;
    EXPECT_EQ(inputs.at("hvl_material"), "al") << json;
    EXPECT_EQ(inputs.at("collimation_cm"), 4.0) << json;
    EXPECT_EQ(inputs.at("focus_distance_cm"), 60.0) << json;
    EXPECT_EQ(inputs.at("target_angle_deg"), 16.0) << json;
    EXPECT_FALSE(inputs.contains("fitted_filtration_mm")) << "given once, at the top";
    EXPECT_FALSE(summary.contains("absolute")) << "without the kerma the export is relative";

    const std::vector<std::string> failing = {"--hvl",  "65",      "--export",
                                              "failed", "--table", HALVORN_TABLE_PATH};
    EXPECT_EQ(Run(failing).status, 3);
    EXPECT_FALSE(fs::exists(Path("failed")));
}

// With the kerma and a phase space: the two phase-space files, and the summary's absolute block with the
// example's worked numbers (120 kV, 16 degrees, F 60 cm, c 4 cm, K 10 mGy per 100 mAs).
TEST_F(HalvornCalc, KermaAndPhaseSpaceGiveTheAbsoluteScale) {
    auto args = ExampleArgs();
    args.insert(args.end(), {"--export", "set", "--collimation", "4", "--kerma-per-100mas", "10",
                             "--phase-space", "1000", "--phase-space-plane", "30"});
    const auto run = Run(args);
    ASSERT_EQ(run.status, 0) << Describe(args) << "\n" << run.err;
    EXPECT_EQ(fs::file_size(Path("set/fan_beam.IAEAphsp")), 25000u);
    EXPECT_NE(ReadAll(Path("set/fan_beam.IAEAheader")).find("30.0000"), std::string::npos);
    const std::string json = ReadAll(Path("summary.json"));
    const auto absolute = json.find("\"absolute\": {");
    ASSERT_NE(absolute, std::string::npos) << json;
    auto number = [&](const std::string& key) {
        const auto at = json.find("\"" + key + "\": ", absolute);
        return at == std::string::npos ? 0.0 : std::stod(json.substr(at + key.size() + 4));
    };
    EXPECT_EQ(number("kerma_per_100mas_mgy"), 10);
    EXPECT_NEAR(number("photons_per_mas_per_cm2_centre"), 2.780019e8, 1e2);
    EXPECT_NEAR(number("phase_space_photons_per_mas"), 2.843420e10, 1e4);
}

// An export file that cannot be written is status 5 and leaves every output and the folder as they were;
// an export folder or file that is an input is bad input.
TEST_F(HalvornCalc, FailedExportIsItsOwnStatus) {
    fs::create_directory(Path("set"));
    ASSERT_EQ(::mkfifo(Path("set/xcist_spectrum.dat").c_str(), 0644), 0);
    WriteAll(Path("r.csv"), "earlier result\r\n");
    const std::vector<std::string> args = {"--hvl",    "7",   "--out",   "r.csv",
                                           "--export", "set", "--table", HALVORN_TABLE_PATH};
    const auto run = Run(args);
    ExpectEndedWith(args, run, 5, "xcist_spectrum.dat there is not from an earlier export");
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_EQ(ReadAll(Path("r.csv")), "earlier result\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(Path("set")), fs::directory_iterator()), 1)
        << "no temporary file left";
    ExpectEndedWith({}, Run({"--hvl", "7", "--export", "r.csv", "--table", HALVORN_TABLE_PATH}), 5,
                    "not a folder");

    fs::copy_file(HALVORN_TABLE_PATH, Path("t.dat"));
    fs::create_directory(Path("in"));
    fs::create_symlink("../t.dat", Path("in/spectrum.spk"));
    for (const char* dir : {"t.dat", "in"})
        ExpectEndedWith({}, Run({"--hvl", "7", "--export", dir, "--table", "t.dat"}), 2, "same file");
    EXPECT_EQ(ReadAll(Path("t.dat")), ReadAll(HALVORN_TABLE_PATH));
    EXPECT_EQ(ReadAll(Path("r.csv")), "earlier result\r\n");
}

// Every name in `dir` with its bytes ("<folder>" for a folder).
std::map<std::string, std::string> FolderContents(const fs::path& dir) {
    std::map<std::string, std::string> found;
    for (const auto& entry : fs::directory_iterator(dir))
        found[entry.path().filename().string()] = entry.is_directory() ? "<folder>" : ReadAll(entry.path());
    return found;
}

// Whether a name of this program's temporaries is in `names`.
bool HoldsTemporary(const std::set<std::string>& names) {
    return std::any_of(names.begin(), names.end(),
                       [](const std::string& name) { return name.find(".halvorn-") != std::string::npos; });
}

// The outputs of a run are one unit: when one cannot be written, none is, and the message names it.
TEST_F(HalvornCalc, OutputsAreWrittenAllOrNone) {
    const std::vector<std::string> same = {"--hvl",  "7",        "--out", "X",       "--json",
                                           "r.json", "--export", "X",     "--table", HALVORN_TABLE_PATH};
    ExpectEndedWith(same, Run(same), 2, "--out and --export");
    EXPECT_EQ(Files(), std::set<std::string>{});

    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to make an immutable file and a file of another user";
    // An immutable file (where the file system has the flag).
    WriteAll(Path("r.csv"), "kept\r\n");
    const int fd = ::open(Path("r.csv").c_str(), O_RDONLY);
    int flags = 0;
    if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
        flags |= FS_IMMUTABLE_FL;
        if (::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0) {
            const std::vector<std::string> args = {
                "--hvl",  "7",        "--out", "r.csv",   "--json",
                "r.json", "--export", "set",   "--table", HALVORN_TABLE_PATH};
            const auto run = Run(args);
            flags &= ~FS_IMMUTABLE_FL;
            ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
            ExpectEndedWith(args, run, 4, "--out: cannot save r.csv");
            EXPECT_EQ(Files(), std::set<std::string>{"r.csv"});
        }
    }
    if (fd >= 0)
        ::close(fd);

    // Another user's file in a sticky folder cannot be replaced by this user.
    ASSERT_EQ(::chmod(dir_.c_str(), 01777), 0);
    WriteAll(Path("r.csv"), "someone else's\r\n");
    ASSERT_EQ(::chown(Path("r.csv").c_str(), 1, 1), 0);
    ASSERT_EQ(::chmod(Path("r.csv").c_str(), 0666), 0);
    user_ = 65534;
    const std::vector<std::string> args = {"--hvl",  "7",        "--out", "r.csv",   "--json",
                                           "r.json", "--export", "set",   "--table", HALVORN_TABLE_PATH};
    const auto run = Run(args);
    ExpectEndedWith(args, run, 4, "--out: cannot save r.csv");
    EXPECT_EQ(Files(), std::set<std::string>{"r.csv"});
    EXPECT_EQ(ReadAll(Path("r.csv")), "someone else's\r\n");
}

// Two runs exporting into one new folder at once: each ends with the whole set or a clear refusal, and
// the folder holds one run's whole set, never a mix.
TEST_F(HalvornCalc, RacingExportsLeaveOneWholeSet) {
    WriteAll(Path("twelve.csv"), ProfileWithPoints(12));
    WriteAll(Path("two.csv"), ProfileWithPoints(2));
    auto args = [](const std::string& profile, const std::string& dir) {
        return std::vector<std::string>{
            "--hvl", "7",       "--focus-distance", "60", "--profile", profile, "--export",
            dir,     "--table", HALVORN_TABLE_PATH};
    };
    ASSERT_EQ(Run(args("twelve.csv", "a")).status, 0);
    ASSERT_EQ(Run(args("two.csv", "b")).status, 0);
    const auto setA = FolderContents(Path("a"));
    const auto setB = FolderContents(Path("b"));
    for (int round = 0; round < 6; ++round) {
        if (round % 3 == 0)
            fs::remove_all(Path("set"));  // both make the folder
        const pid_t one = Start(args("twelve.csv", "set"), 0, ".1");
        const pid_t two = Start(args("two.csv", "set"), 0, ".2");
        for (const auto& run : {Wait(one, ".1"), Wait(two, ".2")})
            EXPECT_TRUE(run.status == 0 ||
                        (run.status == 5 && run.err.find("another export") != std::string::npos))
                << run.status << ": " << run.err;
        const auto now = FolderContents(Path("set"));
        EXPECT_TRUE(now == setA || now == setB)
            << "round " << round << ": a mix of " << now.size() << " files";
    }
    EXPECT_FALSE(HoldsTemporary(Files()));
}

// SIGINT and SIGTERM at any moment: the run ends with one line and status 130 or 143 and leaves nothing,
// or it had begun to put its outputs in place and finishes them all. Only a run killed before its start
// may die of the signal itself.
TEST_F(HalvornCalc, InterruptedRunLeavesNothing) {
    auto args = ExampleArgs();
    args.insert(args.end(), {"--export", "set"});
    int interrupted = 0;
    for (int delay = 0; delay < 400; delay += 3) {
        for (const char* name : {"result.csv", "summary.json", "set"})
            fs::remove_all(Path(name));
        const int signal = delay % 2 ? SIGINT : SIGTERM;
        const pid_t pid = Start(args, 0, ".1");
        ::usleep(static_cast<useconds_t>(delay * 1000));
        ::kill(pid, signal);
        const auto run = Wait(pid, ".1");
        const auto names = Files();
        EXPECT_FALSE(HoldsTemporary(names)) << "after " << delay << " ms";
        if (run.status == 0) {
            EXPECT_TRUE(names.count("summary.json") && names.count("set")) << "after " << delay << " ms";
            break;
        }
        EXPECT_EQ(names, std::set<std::string>{}) << "after " << delay << " ms";
        if (run.signalled)
            continue;  // killed before it could install its handler
        ++interrupted;
        ASSERT_EQ(run.status, 128 + signal) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_NE(run.err.find("interrupted"), std::string::npos) << run.err;
    }
    EXPECT_GT(interrupted, 0);
}

// Under `ulimit -f`, as a shell sets it (SIGXFSZ not ignored), a file too large is an ordinary write
// failure: status 4 or 5, one line, no temporary left.
TEST_F(HalvornCalc, FileSizeLimitIsAWriteFailure) {
    xfszAsIs_ = true;
    for (const char* option : {"--json", "--export"}) {
        const std::vector<std::string> args = {"--hvl", "7", option, "big", "--table", HALVORN_TABLE_PATH};
        const auto run = Run(args, 2048);
        EXPECT_EQ(run.status, std::string(option) == "--json" ? 4 : 5) << Describe(args) << ": " << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_NE(run.err.find(option), std::string::npos) << run.err;
        EXPECT_EQ(Files(), std::set<std::string>{});
    }
}

// A run removes this program's temporaries older than a minute from the folders it writes into, and
// nothing else: not a fresh one (a run under way), not another program's.
TEST_F(HalvornCalc, StaleTemporariesAreRemoved) {
    const std::vector<std::string> stale = {".r.csv.halvorn-tmp-abc123", ".set.halvorn-set-abc123"};
    WriteAll(Path(stale[0]), "left by a killed run");
    fs::create_directory(Path(stale[1]));
    WriteAll(Path(stale[1] + "/centre.spectrum"), "left by a killed run");
    WriteAll(Path(".r.csv.halvorn-tmp-new123"), "a run under way");
    WriteAll(Path("r.csv.tmp-abc123"), "another program's");
    const timeval old[2] = {{::time(nullptr) - 120, 0}, {::time(nullptr) - 120, 0}};
    for (const char* name : {".r.csv.halvorn-tmp-abc123", ".set.halvorn-set-abc123", "r.csv.tmp-abc123"})
        ASSERT_EQ(::utimes(Path(name).c_str(), old), 0);
    const std::vector<std::string> args = {"--hvl",    "7",   "--out",   "r.csv",
                                           "--export", "set", "--table", HALVORN_TABLE_PATH};
    ASSERT_EQ(Run(args).status, 0);
    EXPECT_EQ(Files(),
              (std::set<std::string>{"r.csv", "set", ".r.csv.halvorn-tmp-new123", "r.csv.tmp-abc123"}));
}

// A message quotes at most about 60 characters of what it refuses, with control characters escaped, and is
// always one line: a long profile line with escape sequences, a line break in a path or a value.
TEST_F(HalvornCalc, MessagesAreOneShortLine) {
    WriteAll(Path("p.csv"), "0,10\n\x1b[31m" + std::string(300'000, 'x') + ",1\n");
    const std::vector<std::vector<std::string>> cases = {
        {"--hvl", "7", "--focus-distance", "60", "--profile", "p.csv"},
        {"--hvl", "7", "--focus-distance", "60", "--profile", "missing\nfile.csv"},
        {"--hvl", "7", "--kv", "1\n2\r3"},
        {"--hvl", "7", "--out", "no\nsuch/r.csv", "--table", HALVORN_TABLE_PATH},
    };
    for (const auto& args : cases) {
        const auto run = Run(args);
        EXPECT_EQ(run.status, args[2] == "--out" ? 4 : 2) << Describe(args) << ": " << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_EQ(run.err.find('\x1b'), std::string::npos) << run.err;
        EXPECT_LT(run.err.size(), 200u) << run.err.substr(0, 300);
    }
}

}  // namespace
