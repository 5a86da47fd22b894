#include "engine/ResultFile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "EngineTestSupport.h"

namespace halvorn {
namespace {

namespace fs = std::filesystem;

// Shift-JIS bytes of the Japanese labels.
const std::string kCopperLabel = "\x95\x74\x89\xC1 \x93\xBA , ";  // 付加 銅 ,
const std::string kSilverLabel = "\x95\x74\x89\xC1 \x8B\xE2 ,";   // 付加 銀 ,

class ResultFileTest : public TempFolderTest {};

std::unique_ptr<CalculationState> NewState() {
    return std::make_unique<CalculationState>();
}

// A state whose every carried value differs, so a value read into the wrong place shows.
std::unique_ptr<CalculationState> FilledState(double n) {
    auto state = NewState();
    state->ProfilePointCount = n;
    for (int p = 0; p <= kMaxPoint; ++p) {
        state->DoseProfile[0][p] = 1.25 * p;
        state->DoseProfile[1][p] = 1.0 / (1 + 0.37 * p);
        state->BowtieAlMm[p] = 3.14159 * p + 0.001;
        for (int b = 1; b <= kBinCount; ++b)
            state->PointSpectra[p][b] = std::exp(-0.01 * b) * (p + 1) * 1e-3 * b;
    }
    state->FocusCentreDistanceCm = 60;
    state->TubeVoltageKv = 120;
    state->InherentFiltrationMm = 2.5;
    state->AddedAlMm = 1.25;
    state->AddedCuCm = 0.01;
    state->AddedAgCm = 0;
    return state;
}

// A state of sentinels: any value the loader writes is visible.
std::unique_ptr<CalculationState> SentinelState() {
    auto state = NewState();
    state->ProfilePointCount = 7;
    for (int p = 0; p <= kMaxPoint; ++p) {
        state->DoseProfile[0][p] = -1000 - p;
        state->DoseProfile[1][p] = -2000 - p;
        state->BowtieAlMm[p] = -3000 - p;
        for (int b = 0; b <= kBinCount; ++b)
            state->PointSpectra[p][b] = -4000 - p;
    }
    state->FocusCentreDistanceCm = -5;
    state->TubeVoltageKv = -6;
    state->InherentFiltrationMm = -7;
    state->AddedAlMm = -8;
    state->AddedCuCm = -9;
    state->AddedAgCm = -10;
    state->TargetAngleDeg = -11;
    state->MuTungsten.fill(-12);
    state->HvlAlCm = -13;
    return state;
}

bool SameState(const CalculationState& a, const CalculationState& b) {
    return a.ProfilePointCount == b.ProfilePointCount && a.DoseProfile == b.DoseProfile &&
           a.BowtieAlMm == b.BowtieAlMm && a.PointSpectra == b.PointSpectra &&
           a.FocusCentreDistanceCm == b.FocusCentreDistanceCm && a.TubeVoltageKv == b.TubeVoltageKv &&
           a.InherentFiltrationMm == b.InherentFiltrationMm && a.AddedAlMm == b.AddedAlMm &&
           a.AddedCuCm == b.AddedCuCm && a.AddedAgCm == b.AddedAgCm && a.TargetAngleDeg == b.TargetAngleDeg &&
           a.MuTungsten == b.MuTungsten && a.HvlAlCm == b.HvlAlCm;
}

// Entries of points from `first` on, and every field the reader never touches, still hold the sentinels.
void ExpectSentinelsFrom(const CalculationState& state, int first, const std::string& what) {
    auto sentinels = SentinelState();
    for (int p = first; p <= kMaxPoint; ++p) {
        EXPECT_EQ(state.DoseProfile[0][p], sentinels->DoseProfile[0][p]) << what << ", point " << p;
        EXPECT_EQ(state.DoseProfile[1][p], sentinels->DoseProfile[1][p]) << what << ", point " << p;
        EXPECT_EQ(state.BowtieAlMm[p], sentinels->BowtieAlMm[p]) << what << ", point " << p;
        EXPECT_EQ(state.PointSpectra[p], sentinels->PointSpectra[p]) << what << ", point " << p;
    }
    EXPECT_EQ(state.TargetAngleDeg, -11) << what;
    EXPECT_EQ(state.MuTungsten, sentinels->MuTungsten) << what;
    EXPECT_EQ(state.HvlAlCm, -13) << what;
    EXPECT_LE(state.ProfilePointCount, kMaxPoint) << what;
}

// Lines of the file without their CR LF; the text after the last CR LF is a last element.
std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (true) {
        size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(start));
            return lines;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream stream(line);
    std::string field;
    while (std::getline(stream, field, ','))
        fields.push_back(field);
    return fields;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

TEST_F(ResultFileTest, LayoutHas311CrLfLinesAndOneFieldPerPoint) {
    for (double n : {0.0, 2.0, 25.0}) {
        auto state = FilledState(n);
        const std::string bytes = FormatResultFile(RecordOfState(*state), "comment");
        auto lines = Lines(bytes);
        ASSERT_EQ(lines.size(), 312u) << "N = " << n;  // 311 lines, each ended by CR LF
        EXPECT_EQ(lines.back(), "") << "N = " << n;
        lines.pop_back();
        EXPECT_EQ(bytes.find('\n'), bytes.find("\r\n") + 1) << "N = " << n;
        for (size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(lines[i].find_first_of("\r\n"), std::string::npos) << "N = " << n << ", line " << i + 1;
            if (i >= 2 && i <= 304) {
                EXPECT_EQ(Fields(lines[i]).size(), static_cast<size_t>(n) + 2)
                    << "N = " << n << ", line " << i + 1;
            }
        }
        EXPECT_EQ(lines[0], "comment");
        EXPECT_EQ(Fields(lines[5])[0], " 000.5") << "N = " << n;
        EXPECT_EQ(Fields(lines[304])[0], " 150.0") << "N = " << n;
    }
}

TEST_F(ResultFileTest, LinesAsDescribed) {
    auto state = FilledState(2);
    state->DoseProfile[0] = {0, 5, 10};
    state->BowtieAlMm[0] = 12.3456;
    state->DoseProfile[1][0] = 1;
    state->DoseProfile[1][1] = 0.01234;
    state->PointSpectra[0][1] = 0;
    const auto lines = Lines(FormatResultFile(RecordOfState(*state), "c"));
    EXPECT_EQ(lines[1], " 2 ");
    EXPECT_EQ(lines[2], "OC(cm),   000.00  ,   005.00  ,   010.00  ");
    EXPECT_EQ(lines[3].substr(0, 30), "  OCR ,  1.000E+00,  1.234E-02");
    EXPECT_EQ(lines[4].substr(0, 18), "Al(mm),   012.346 ");
    EXPECT_EQ(lines[5].substr(0, 18), " 000.5,  0.000E+00");
    EXPECT_EQ(lines[305], "SAD ,  60.0");
    EXPECT_EQ(lines[306], "\x8A\xC7\x93\x64\x88\xB3 ,  120.0");                 // 管電圧
    EXPECT_EQ(lines[307], "\x8C\xC5\x97\x4C\x82\xEB\x89\xDF ,  2.50");          // 固有ろ過
    EXPECT_EQ(lines[308], "\x95\x74\x89\xC1\x83\x41\x83\x8B\x83\x7E ,  1.25");  // 付加アルミ
    EXPECT_EQ(lines[309], kCopperLabel + " 0.100");
    EXPECT_EQ(lines[310], kSilverLabel + " 0.000");

    auto zero = FilledState(0);
    zero->BowtieAlMm[0] = 12.3456;
    const auto zeroLines = Lines(FormatResultFile(RecordOfState(*zero), "c"));
    EXPECT_EQ(zeroLines[1], " 0 ");
    EXPECT_EQ(zeroLines[4], "Al(mm),   012.346 ");
}

TEST_F(ResultFileTest, PointCountOutsideTheArraysNeverReadsPastPoint25) {
    struct Case {
        double n;
        const char* line2;
        size_t fields;
    };
    for (const Case& c : std::vector<Case>{{2.5, " 2.5 ", 4},
                                           {26, " 26 ", 27},
                                           {1e9, " 1000000000 ", 27},
                                           {-1, "-1 ", 1},
                                           {NAN, " nan ", 1}}) {
        auto state = FilledState(c.n);
        const auto lines = Lines(FormatResultFile(RecordOfState(*state), ""));
        ASSERT_EQ(lines.size(), 312u) << "N = " << c.n;
        EXPECT_EQ(lines[1], c.line2) << "N = " << c.n;
        for (int i = 2; i <= 304; ++i)
            EXPECT_EQ(Fields(lines[i]).size(), c.fields) << "N = " << c.n << ", line " << i + 1;
    }
}

TEST_F(ResultFileTest, CommentIsOneShiftJisLine) {
    auto state = FilledState(0);
    const std::string path = PathOf("c.csv");
    struct Case {
        std::string utf8;
        std::string line1;
        std::string readBack;
    };
    for (const Case& c : std::vector<Case>{
             {"a, b, c", "a, b, c", "a, b, c"},
             {"日本語,コメント", "\x93\xFA\x96\x7B\x8C\xEA,\x83\x52\x83\x81\x83\x93\x83\x67",
              "日本語,コメント"},
             {"測定①", "\x91\xAA\x92\xE8\x87\x40", "測定①"},
             // Second bytes equal to "\\" (0x5C) are no escapes.
             {"表ソ能\\", "\x95\x5C\x83\x5C\x94\x5C\\", "表ソ能\\"},
             {"x\xF0\x9F\x98\x80y", "x?y", "x?y"},  // an emoji Shift-JIS cannot hold
             {"bad\xFF"
              "byte",
              "bad?byte", "bad?byte"},  // not UTF-8 at all
             {"one\r\ntwo\nthree\rfour", "one two three four", "one two three four"},
             {"", "", ""},
         }) {
        ASSERT_TRUE(SaveResultFile(RecordOfState(*state), c.utf8, path)) << "comment " << c.utf8;
        const std::string bytes = ReadAll(path);
        const auto lines = Lines(bytes);
        EXPECT_EQ(lines.size(), 312u) << "comment " << c.utf8;
        EXPECT_EQ(lines[0], c.line1) << "comment " << c.utf8;
        EXPECT_EQ(ReadResultComment(path), c.readBack) << "comment " << c.utf8;
    }
}

TEST_F(ResultFileTest, ReadCommentOfOddFiles) {
    EXPECT_EQ(ReadResultComment(PathOf("missing.csv")), std::nullopt);
    const std::string path = PathOf("odd.csv");
    WriteAll(path, "");
    EXPECT_EQ(ReadResultComment(path), "");
    WriteAll(path, "lf only\nsecond");
    EXPECT_EQ(ReadResultComment(path), "lf only");
    WriteAll(path, "no line end");
    EXPECT_EQ(ReadResultComment(path), "no line end");
    WriteAll(path, std::string("\x81\xFFz\x00y\r\n", 6));  // invalid Shift-JIS and a NUL byte
    const auto comment = ReadResultComment(path);
    ASSERT_TRUE(comment.has_value());
    EXPECT_NE(comment->find("\xEF\xBF\xBD"), std::string::npos) << *comment;
    EXPECT_NE(comment->find('y'), std::string::npos) << *comment;
    WriteAll(path, std::string(3 << 20, 'a'));
    EXPECT_EQ(ReadResultComment(path).value_or("").size(), 64u * 1024);
    std::string doubleBytes = "a";  // so that byte 65536 is the first of a double-byte character
    for (int k = 0; k < 40000; ++k)
        doubleBytes += "\x91\xAA";  // 測
    WriteAll(path, doubleBytes);
    EXPECT_EQ(ReadResultComment(path).value_or("?").find("\xEF\xBF\xBD"), std::string::npos)
        << "cut inside a character";
    WriteAll(path, std::string(kMaxResultFileBytes + 1, 'a'));
    EXPECT_EQ(ReadResultComment(path), std::nullopt) << "larger than any result file";
    EXPECT_EQ(ReadResultComment(dir_.string()), std::nullopt) << "a folder";
}

TEST_F(ResultFileTest, SaveAndLoadRestoresEveryValueToItsPrecision) {
    for (double n : {0.0, 10.0, 25.0}) {
        auto saved = FilledState(n);
        const std::string path = PathOf("round.csv");
        ASSERT_TRUE(SaveResultFile(RecordOfState(*saved), "round trip", path));
        auto loaded = SentinelState();
        ASSERT_EQ(LoadResultFile(*loaded, path).status, ResultLoad::Status::Loaded);
        EXPECT_EQ(loaded->ProfilePointCount, n);
        const int last = static_cast<int>(n);
        for (int p = 0; p <= last; ++p) {
            EXPECT_NEAR(loaded->DoseProfile[0][p], saved->DoseProfile[0][p], 0.005)
                << "N = " << n << ", point " << p;
            EXPECT_NEAR(loaded->DoseProfile[1][p], saved->DoseProfile[1][p], 5e-4 * saved->DoseProfile[1][p])
                << "N = " << n << ", point " << p;
            EXPECT_NEAR(loaded->BowtieAlMm[p], saved->BowtieAlMm[p], 0.0005)
                << "N = " << n << ", point " << p;
            for (int b = 1; b <= kBinCount; ++b)
                ASSERT_NEAR(loaded->PointSpectra[p][b], saved->PointSpectra[p][b],
                            5e-4 * saved->PointSpectra[p][b])
                    << "N = " << n << ", point " << p << ", bin " << b;
            EXPECT_EQ(loaded->PointSpectra[p][0], -4000 - p) << "bin 0 is not in the file";
        }
        ExpectSentinelsFrom(*loaded, last + 1, "N = " + std::to_string(n));
        EXPECT_EQ(loaded->FocusCentreDistanceCm, 60);
        EXPECT_EQ(loaded->TubeVoltageKv, 120);
        EXPECT_EQ(loaded->InherentFiltrationMm, 2.5);
        EXPECT_EQ(loaded->AddedAlMm, 1.25);
        EXPECT_EQ(loaded->AddedCuCm, 0.01) << "0.100 mm divided by 10";
        EXPECT_EQ(loaded->AddedAgCm, 0);
    }
}

TEST_F(ResultFileTest, LoadingFewerPointsKeepsTheRest) {
    const std::string path = PathOf("three.csv");
    auto three = FilledState(3);
    for (int p = 0; p <= 3; ++p)
        three->BowtieAlMm[p] = 100 + p;
    ASSERT_TRUE(SaveResultFile(RecordOfState(*three), "three", path));
    auto state = FilledState(10);
    auto before = FilledState(10);
    LoadResultFile(*state, path);
    EXPECT_EQ(state->ProfilePointCount, 3);
    for (int p = 0; p <= 3; ++p)
        EXPECT_EQ(state->BowtieAlMm[p], 100 + p) << "point " << p;
    for (int p = 4; p <= 10; ++p) {
        EXPECT_EQ(state->BowtieAlMm[p], before->BowtieAlMm[p]) << "point " << p;
        EXPECT_EQ(state->DoseProfile[0][p], before->DoseProfile[0][p]) << "point " << p;
        EXPECT_EQ(state->PointSpectra[p], before->PointSpectra[p]) << "point " << p;
    }
}

TEST_F(ResultFileTest, SavingReplacesAndAFailedSaveKeepsTheOldFile) {
    const std::string path = PathOf("same.csv");
    ASSERT_TRUE(SaveResultFile(RecordOfState(*FilledState(1)), "first", path));
    ASSERT_TRUE(SaveResultFile(RecordOfState(*FilledState(2)), "second", path));
    const std::string second = ReadAll(path);
    EXPECT_EQ(ReadResultComment(path), "second");
    EXPECT_EQ(second, FormatResultFile(RecordOfState(*FilledState(2)), "second"));

    std::string error;
    EXPECT_FALSE(SaveResultFile(RecordOfState(*FilledState(3)), "x", PathOf("no-such-folder/a.csv"), &error));
    EXPECT_NE(error.find("no-such-folder"), std::string::npos) << error;

    // A target that is a folder cannot be replaced; the folder and its file stay as they were.
    const std::string folderTarget = PathOf("folder.csv");
    fs::create_directory(folderTarget);
    WriteAll(folderTarget + "/inside", "keep");
    error.clear();
    EXPECT_FALSE(SaveResultFile(RecordOfState(*FilledState(3)), "x", folderTarget, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(ReadAll(folderTarget + "/inside"), "keep");
    EXPECT_EQ(ReadAll(path), second);

    // The disk fills up halfway through the file (a file-size limit stands in for it): the save fails
    // and the earlier file of that name is still whole.
    {
        rlimit old{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
        auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = old;
        small.rlim_cur = 4096;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        error.clear();
        const bool saved = SaveResultFile(RecordOfState(*FilledState(25)), "too big", path, &error);
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        EXPECT_FALSE(saved) << "a save cut off after 4096 bytes";
        EXPECT_NE(error.find("same.csv"), std::string::npos) << error;
        EXPECT_EQ(ReadAll(path), second) << "the earlier file after a failed save";
    }

    // No temporary file is left behind, whether the save worked or not.
    for (const auto& entry : fs::directory_iterator(dir_))
        EXPECT_EQ(entry.path().filename().string().find(".halvorn-tmp-"), std::string::npos) << entry.path();

    // An empty base name gives the file ".csv".
    ASSERT_TRUE(SaveResultFile(RecordOfState(*FilledState(0)), "empty name", PathOf(".csv")));
    EXPECT_EQ(ReadResultComment(PathOf(".csv")), "empty name");

    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask) << "permissions of an ordinary new file";
}

// A file that is not a result file, or not a whole one, is refused with the line where that shows, and the
// state keeps every value it had.
TEST_F(ResultFileTest, DamagedFilesChangeNothing) {
    const std::string path = PathOf("damaged.csv");
    const std::string good = FormatResultFile(RecordOfState(*FilledState(5)), "good");
    const auto goodLines = Lines(good);
    auto load = [&](const std::string& bytes, ResultLoad* outcome = nullptr) {
        WriteAll(path, bytes);
        auto state = SentinelState();
        const ResultLoad result = LoadResultFile(*state, path);
        if (outcome)
            *outcome = result;
        return state;
    };
    auto edited = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    auto firstLines = [&](int count) {
        std::string text;
        for (int i = 0; i < count; ++i)
            text += goodLines[i] + "\r\n";
        return text;
    };

    {
        auto state = SentinelState();
        EXPECT_EQ(LoadResultFile(*state, PathOf("missing.csv")).status, ResultLoad::Status::CannotOpen);
        EXPECT_EQ(LoadResultFile(*state, dir_.string()).status, ResultLoad::Status::CannotOpen) << "a folder";
        // A pipe with no writer: opening it for reading would wait for ever.
        ASSERT_EQ(mkfifo(PathOf("pipe.csv").c_str(), 0600), 0);
        EXPECT_EQ(LoadResultFile(*state, PathOf("pipe.csv")).status, ResultLoad::Status::CannotOpen);
        EXPECT_EQ(ReadResultComment(PathOf("pipe.csv")), std::nullopt) << "a pipe";
        EXPECT_TRUE(SameState(*state, *SentinelState()));
    }
    std::string garbage(200000, '\0');
    for (size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<char>((i * 2654435761u) >> 13);
    std::string manyLines;
    for (int i = 0; i < 1000000; ++i)
        manyLines += "1\n";
    std::string withNul = good;
    withNul[withNul.find("Al(mm),") + 8] = '\0';
    const struct {
        const char* what;
        std::string bytes;
        int line;                 // where the fault shows; 0: anywhere
        const char* reason = "";  // the reason filled in, when it is checked
    } cases[] = {
        {"empty file", "", 1},
        {"comment only", "only a comment\r\n", 2},
        {"cut after line 50", firstLines(50), 51},
        {"cut after line 310", firstLines(310), 311},
        {"a profile, not a result file", "# distance_cm,reading\n0,20.79\n2,20.62\n", 3},
        {"N = 26", FormatResultFile(RecordOfState(*FilledState(26)), "26"), 2},
        {"N = 99999", edited("\r\n 5 \r\n", "\r\n 99999 \r\n"), 2},
        {"N = -1", FormatResultFile(RecordOfState(*FilledState(-1)), "neg"), 2},
        {"N not a number", edited("\r\n 5 \r\n", "\r\n x \r\n"), 2},
        {"N = 6 with five points' values", edited("\r\n 5 \r\n", "\r\n 6 \r\n"), 3,
         "値の数が 7 個に足りません"},
        {"a word in place of a number", edited("Al(mm),   000.001 ", "Al(mm),   oops    "), 5},
        {"a NUL byte at the start of a value", withNul, 5},
        {"a value too large for a double", edited("Al(mm),   000.001 ", "Al(mm),   1e999   "), 5},
        {"a label changed", edited("OC(cm)", "distance"), 3, "見出しが OC(cm) ではありません"},
        {"an energy out of its place", edited(" 010.0,", " 010.5,"), 25,
         "エネルギーの欄が 10.0 keV ではありません"},
        {"a blank set-up value", edited("SAD ,  60.0", "SAD ,      "), 306},
        {"tube voltage 0", edited("\x8A\xC7\x93\x64\x88\xB3 ,  120.0", "\x8A\xC7\x93\x64\x88\xB3 ,  000.0"),
         307},
        {"tube voltage 200", edited("\x8A\xC7\x93\x64\x88\xB3 ,  120.0", "\x8A\xC7\x93\x64\x88\xB3 ,  200.0"),
         307},
        {"text after line 311", good + "more\r\n", 312},
        {"binary garbage", garbage, 0},
        {"a million short lines", manyLines, 0},
        {"one huge line", "c\r\n" + std::string(3 << 20, '7'), 0},
        {"larger than a result file can be", "c\r\n" + std::string(5 << 20, '7'), 0},
    };
    for (const auto& c : cases) {
        ResultLoad outcome;
        auto state = load(c.bytes, &outcome);
        EXPECT_EQ(outcome.status, ResultLoad::Status::NotAResultFile) << c.what;
        EXPECT_FALSE(outcome.reason.empty()) << c.what;
        if (*c.reason) {
            EXPECT_EQ(Filled(outcome.reason), c.reason) << c.what;
        }
        if (c.line != 0) {
            EXPECT_EQ(outcome.line, c.line) << c.what << ": " << Filled(outcome.reason);
        }
        EXPECT_TRUE(SameState(*state, *SentinelState())) << c.what;
    }
}

// What a hand edit or another editor may change still loads to the same values: blanks and tabs around
// values, LF or CR line ends, blank lines at the end, a number followed by text, more values in a row than
// N needs (N edited down), a comment with commas.
TEST_F(ResultFileTest, HandEditedFilesStillLoad) {
    const std::string path = PathOf("edited.csv");
    const std::string good = FormatResultFile(RecordOfState(*FilledState(3)), "a, comment, with commas");
    auto load = [&](const std::string& bytes) {
        WriteAll(path, bytes);
        auto state = SentinelState();
        EXPECT_EQ(LoadResultFile(*state, path).status, ResultLoad::Status::Loaded);
        return state;
    };
    const auto expected = load(good);
    ASSERT_EQ(expected->ProfilePointCount, 3);
    ASSERT_EQ(expected->AddedCuCm, 0.01);
    ExpectSentinelsFrom(*expected, 4, "N = 3");

    auto replaced = [&](std::string text, const std::string& from, const std::string& to) {
        for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
            text.replace(at, from.size(), to);
        return text;
    };
    std::string fewer = FormatResultFile(RecordOfState(*FilledState(5)), "a, comment, with commas");
    fewer.replace(fewer.find("\r\n 5 \r\n"), 7, "\r\n 3 \r\n");
    const struct {
        const char* what;
        std::string bytes;
    } variants[] = {
        {"blanks and tabs around values", replaced(good, ",", " \t , \t")},
        {"LF line ends", replaced(good, "\r\n", "\n")},
        {"CR line ends", replaced(good, "\r\n", "\r")},
        {"blank lines at the end", good + "\r\n  \r\n"},
        {"text after a number", replaced(good, "SAD ,  60.0", "SAD ,  60.0 cm")},
        {"N edited down", fewer},
    };
    for (const auto& v : variants)
        EXPECT_TRUE(SameState(*load(v.bytes), *expected)) << v.what;

    // N = 2.5 reads points 0..2.
    auto state = load(FormatResultFile(RecordOfState(*FilledState(2.5)), "half"));
    EXPECT_EQ(state->ProfilePointCount, 2.5);
    ExpectSentinelsFrom(*state, 3, "N = 2.5");
}

TEST_F(ResultFileTest, ExampleFileLoadsAndWritesBackByteForByte) {
    const std::string example = std::string(HALVORN_EXAMPLES_DIR) + "/ct-120kv.csv";
    const std::string original = ReadAll(example);
    ASSERT_FALSE(original.empty()) << example;
    auto state = SentinelState();
    state->CalibrationSucceeded = 1;
    EXPECT_EQ(LoadResultFile(*state, example).status, ResultLoad::Status::Loaded);
    EXPECT_EQ(state->CalibrationSucceeded, 0) << "loaded results are no calibration to go on from";
    const auto comment = ReadResultComment(example);
    ASSERT_TRUE(comment.has_value());
    EXPECT_EQ(FormatResultFile(RecordOfState(*state), *comment), original) << example;
}

}  // namespace
}  // namespace halvorn
