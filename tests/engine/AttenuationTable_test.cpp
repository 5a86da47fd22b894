#include "engine/AttenuationTable.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "EngineTestSupport.h"

namespace halvorn {
namespace {

// A distinct, exactly printable value for every record i and column c (1..7).
double TableValue(int i, int c) {
    return c * 100 + i * 0.25;
}

std::string Number(double v, bool exponent) {
    char text[64];
    std::snprintf(text, sizeof text, exponent ? "%.17E" : "%.17g", v);
    return text;
}

// A fresh folder per test for the table files.
class TableFiles : public TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        state_ = std::make_unique<CalculationState>();
    }

    std::string Write(const std::string& name, const std::string& text) {
        const std::string path = PathOf(name);
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    // `records` records of seven numbers; `layout` chooses the separators.
    enum class Layout { RecordPerLine, NumberPerLine, OneLine, EnergiesInEv };
    static std::string Table(Layout layout, int records = 300) {
        std::string text;
        for (int i = 1; i <= records; ++i) {
            for (int c = 1; c <= 7; ++c) {
                double v = TableValue(i, c);
                if (c == 1)
                    v = layout == Layout::EnergiesInEv ? 500.0 * i : 0.5 * i;
                switch (layout) {
                    case Layout::RecordPerLine:
                    case Layout::EnergiesInEv:
                        text += Number(v, true) + (c < 7 ? ", " : "\n");
                        break;
                    case Layout::NumberPerLine:
                        text += "\t " + Number(v, false) + (c == 7 ? "\r\n\r\n" : " \r\n");
                        break;
                    case Layout::OneLine:
                        text += Number(v, (i + c) % 2 == 0) + ((i == records && c == 7) ? "" : ",");
                        break;
                }
            }
        }
        return text;
    }

    std::unique_ptr<CalculationState> state_;
};

void ExpectTableLoaded(const CalculationState& s, const std::string& what) {
    for (int i = 1; i <= 300; ++i) {
        ASSERT_EQ(s.MuTungsten[i], TableValue(i, 2)) << what << ", bin " << i;
        ASSERT_EQ(s.MuAluminium[i], TableValue(i, 3)) << what << ", bin " << i;
        ASSERT_EQ(s.MuCopper[i], TableValue(i, 4)) << what << ", bin " << i;
        ASSERT_EQ(s.MuEnAir[i], TableValue(i, 5)) << what << ", bin " << i;
        ASSERT_EQ(s.MuSilver[i], TableValue(i, 6)) << what << ", bin " << i;
        ASSERT_EQ(s.MuColumn7[i], TableValue(i, 7)) << what << ", bin " << i;
    }
}

TEST_F(TableFiles, LayoutAndEnergyUnitDoNotMatter) {
    const std::pair<Layout, const char*> layouts[] = {{Layout::RecordPerLine, "record per line"},
                                                      {Layout::NumberPerLine, "number per line, CR LF, tabs"},
                                                      {Layout::OneLine, "one line, commas only"},
                                                      {Layout::EnergiesInEv, "energies in eV"}};
    for (const auto& [layout, name] : layouts) {
        auto state = std::make_unique<CalculationState>();
        state->MuTungsten[0] = 7;  // bin 0 is not part of the table
        const std::string path = Write("table.dat", Table(layout));
        ASSERT_EQ(LoadAttenuationTable(*state, path), TableLoadStatus::Ok) << name;
        ExpectTableLoaded(*state, name);
        EXPECT_EQ(state->MuTungsten[0], 7) << name;
    }
    // A byte-order mark, blanks around commas and a plus sign are accepted as well.
    const std::string path =
        Write("bom.dat", "\xEF\xBB\xBF" + Table(Layout::RecordPerLine).replace(0, 0, " +"));
    EXPECT_EQ(LoadAttenuationTable(*state_, path), TableLoadStatus::Ok);
    ExpectTableLoaded(*state_, "with byte-order mark");
}

TEST_F(TableFiles, CompleteLoadClearsPerPointResultsOnly) {
    CalculationState& s = *state_;
    s.TubeVoltageKv = 120;
    s.BeamSpectrum[50] = 3;
    for (int p = 0; p <= kMaxPoint; ++p) {
        s.PointSpectra[p].fill(1.5);
        s.DoseProfile[0][p] = p;
        s.DoseProfile[1][p] = 0.5;
        s.BowtieAlMm[p] = 2;
    }
    ASSERT_EQ(LoadAttenuationTable(s, Write("t.dat", Table(Layout::RecordPerLine))), TableLoadStatus::Ok);
    for (int p = 0; p <= kMaxPoint; ++p) {
        for (int i = 1; i <= 300; ++i)
            ASSERT_EQ(s.PointSpectra[p][i], 0) << "point " << p << ", bin " << i;
        EXPECT_EQ(s.PointSpectra[p][0], 1.5) << "bin 0 of point " << p << " is not part of the spectrum";
        EXPECT_EQ(s.DoseProfile[0][p], 0) << "point " << p;
        EXPECT_EQ(s.DoseProfile[1][p], 0) << "point " << p;
        EXPECT_EQ(s.BowtieAlMm[p], 0) << "point " << p;
    }
    // The inputs and working arrays of the previous calculation stay.
    EXPECT_EQ(s.TubeVoltageKv, 120);
    EXPECT_EQ(s.BeamSpectrum[50], 3);
}

TEST_F(TableFiles, ReadingIntoCoefficientsMatchesLoading) {
    // The beam-quality figures of a loaded result file read the table into coefficients of their own.
    CalculationState& s = *state_;
    AttenuationCoefficients table;
    TableLoadDetail detail;
    ASSERT_EQ(ReadAttenuationTable(Write("t.dat", Table(Layout::OneLine)), table, detail),
              TableLoadStatus::Ok);
    ASSERT_EQ(LoadAttenuationTable(s, Write("u.dat", Table(Layout::RecordPerLine))), TableLoadStatus::Ok);
    const AttenuationCoefficients loaded = CoefficientsOf(s);
    EXPECT_EQ(table.MuTungsten, loaded.MuTungsten);
    EXPECT_EQ(table.MuEnAir, loaded.MuEnAir);
    EXPECT_EQ(table.MuColumn7, loaded.MuColumn7);

    // A failed read leaves the coefficients as they were.
    const AttenuationCoefficients before = table;
    EXPECT_EQ(ReadAttenuationTable(Write("short.dat", Table(Layout::OneLine, 299)), table, detail),
              TableLoadStatus::EndedEarly);
    EXPECT_EQ(table.MuAluminium, before.MuAluminium);
    EXPECT_EQ(table.MuCopper, before.MuCopper);
}

TEST_F(TableFiles, FailedLoadLeavesStateUntouched) {
    // A previous calculation: a loaded table and filled per-point results.
    CalculationState& s = *state_;
    ASSERT_EQ(LoadAttenuationTable(s, Write("good.dat", Table(Layout::RecordPerLine))), TableLoadStatus::Ok);
    for (int p = 0; p <= kMaxPoint; ++p) {
        s.PointSpectra[p].fill(2.5);
        s.DoseProfile[1][p] = 0.75;
        s.BowtieAlMm[p] = 4;
    }
    const auto before = std::make_unique<CalculationState>(s);
    auto expectUntouched = [&](const std::string& what) {
        EXPECT_EQ(s.MuTungsten, before->MuTungsten) << what;
        EXPECT_EQ(s.MuAluminium, before->MuAluminium) << what;
        EXPECT_EQ(s.MuCopper, before->MuCopper) << what;
        EXPECT_EQ(s.MuEnAir, before->MuEnAir) << what;
        EXPECT_EQ(s.MuSilver, before->MuSilver) << what;
        EXPECT_EQ(s.MuColumn7, before->MuColumn7) << what;
        EXPECT_EQ(s.PointSpectra, before->PointSpectra) << what;
        EXPECT_EQ(s.DoseProfile, before->DoseProfile) << what;
        EXPECT_EQ(s.BowtieAlMm, before->BowtieAlMm) << what;
    };

    // 299 records: the input ends after 2093 numbers.
    TableLoadDetail detail;
    std::string path = Write("MUs2022.dat", Table(Layout::RecordPerLine, 299));
    EXPECT_EQ(LoadAttenuationTable(s, path, detail), TableLoadStatus::EndedEarly);
    EXPECT_EQ(detail.numbersRead, 2093);
    EXPECT_NE(DescribeTableLoadFailure(detail, "MUs2022.dat").find("MUs2022.dat: ends after 2093 of 2100"),
              std::string::npos)
        << DescribeTableLoadFailure(detail, "MUs2022.dat");
    expectUntouched("299 records");

    // An empty file and a file of separators only.
    for (const char* text : {"", " ,\r\n\t,,\n"}) {
        EXPECT_EQ(LoadAttenuationTable(s, Write("empty.dat", text), detail), TableLoadStatus::EndedEarly)
            << '"' << text << '"';
        EXPECT_EQ(detail.numbersRead, 0);
    }
    expectUntouched("empty file");

    // A missing file, and a folder in place of the file.
    const std::string missing = (dir_ / "MUs2022-missing.dat").string();
    EXPECT_EQ(LoadAttenuationTable(s, missing, detail), TableLoadStatus::CannotOpen);
    EXPECT_EQ(DescribeTableLoadFailure(detail, "MUs2022.dat"), "MUs2022.dat: file not found");
    EXPECT_EQ(LoadAttenuationTable(s, dir_.string(), detail), TableLoadStatus::CannotOpen);
    expectUntouched("missing file");

    // Fields that are not plain decimal numbers, in record 5 (line 5), column 3.
    for (const char* bad : {"abc", "inf", "nan", "1e999", "-1e400", "0x10", "1.2.3", "--1", "1e", ".", "1,5x",
                            "1.5;", "\x01\x02"}) {
        std::string text = Table(Layout::RecordPerLine);
        std::size_t pos = 0;
        for (int line = 1; line < 5; ++line)
            pos = text.find('\n', pos) + 1;
        pos = text.find(", ", pos) + 2;
        pos = text.find(", ", pos) + 2;
        text.replace(pos, text.find(',', pos) - pos, bad);
        EXPECT_EQ(LoadAttenuationTable(s, Write("bad.dat", text), detail), TableLoadStatus::NotANumber)
            << bad;
        EXPECT_EQ(detail.line, 5) << bad;
        const std::string message = DescribeTableLoadFailure(detail, "MUs2022.dat");
        EXPECT_EQ(message.rfind("MUs2022.dat: line 5", 0), 0u) << bad << ": " << message;
        EXPECT_EQ(message.find('\n'), std::string::npos) << bad;
        expectUntouched(std::string("field ") + bad);
    }

    // The short form of the description still names the file.
    for (auto status :
         {TableLoadStatus::CannotOpen, TableLoadStatus::EndedEarly, TableLoadStatus::NotANumber})
        EXPECT_EQ(DescribeTableLoadFailure(status, "MUs2022.dat").rfind("MUs2022.dat: ", 0), 0u);
}

// A damaged table loads nothing and names the record and column where it went wrong: a shift of one field
// shows in the next record's energy, a coefficient outside its column's bounds where it stands.
TEST_F(TableFiles, DamagedTableIsRefusedByRecordAndColumn) {
    const std::string good = Table(Layout::RecordPerLine);
    auto field = [&](int record, int column) {  // the offset of a field in `good`
        std::size_t pos = 0;
        for (int line = 1; line < record; ++line)
            pos = good.find('\n', pos) + 1;
        for (int c = 1; c < column; ++c)
            pos = good.find(", ", pos) + 2;
        return pos;
    };
    auto replaced = [&](int record, int column, const std::string& text) {
        const std::size_t pos = field(record, column);
        return std::string(good).replace(pos, good.find_first_of(",\n", pos) - pos, text);
    };
    const std::string lastRecord = good.substr(field(300, 1));
    struct Case {
        const char* what;
        std::string text;
        int record, column;
    };
    const Case cases[] = {
        {"decimal comma", replaced(40, 3, "1,5E+00"), 41, 1},
        {"row deleted, one appended",
         std::string(good).erase(field(7, 1), field(8, 1) - field(7, 1)) + lastRecord, 7, 1},
        {"negative", replaced(9, 4, "-3.5"), 9, 4},
        {"zero", replaced(9, 2, "0"), 9, 2},
        {"too large", replaced(12, 6, "1e300"), 12, 6},
        {"too small", replaced(12, 5, "1e-300"), 12, 5},
        {"energy 0", replaced(1, 1, "0"), 1, 1},
    };
    for (const Case& c : cases) {
        TableLoadDetail detail;
        AttenuationCoefficients table;
        EXPECT_EQ(ParseAttenuationTable(c.text, table, detail), TableLoadStatus::BadValue) << c.what;
        EXPECT_EQ(detail.record, c.record) << c.what;
        EXPECT_EQ(detail.column, c.column) << c.what;
        const std::string message = DescribeTableLoadFailure(detail, "MUs2022.dat");
        EXPECT_NE(message.find("record " + std::to_string(c.record) + ", column " + std::to_string(c.column)),
                  std::string::npos)
            << message;
    }
    // Energies may stray from proportion by less than 0.1 %.
    AttenuationCoefficients table;
    TableLoadDetail detail;
    EXPECT_EQ(ParseAttenuationTable(replaced(200, 1, "100.09"), table, detail), TableLoadStatus::Ok);
}

TEST_F(TableFiles, ReadingStopsAfterTheLastNumber) {
    // Whatever follows the 2100th number is not read: text, more numbers, a long line (the file as a
    // whole stays within the 1 MiB a table file may have).
    std::string text = Table(Layout::RecordPerLine) + "end of table, 1, 2, 3\n" + std::string(900'000, 'x');
    EXPECT_EQ(LoadAttenuationTable(*state_, Write("t.dat", text)), TableLoadStatus::Ok);
    ExpectTableLoaded(*state_, "trailing text");

    // The last number may end the file without a line end.
    text = Table(Layout::OneLine);
    ASSERT_NE(text.back(), '\n');
    EXPECT_EQ(LoadAttenuationTable(*state_, Write("t.dat", text)), TableLoadStatus::Ok);

    // A field of a million digits is refused, its start shown.
    TableLoadDetail detail;
    EXPECT_EQ(LoadAttenuationTable(*state_, Write("long.dat", "1, " + std::string(1'000'000, '7')), detail),
              TableLoadStatus::NotANumber);
    EXPECT_EQ(detail.numbersRead, 1);
    EXPECT_LE(detail.field.size(), 32u);
}

}  // namespace
}  // namespace halvorn

namespace halvorn {
namespace {

namespace fs = std::filesystem;

// The program and the batch tool look for the table in one order: the working folder, beside the
// program, the install prefix, the build tree. Anything of that name in the working folder wins, also what
// the loader will refuse, so an odd file there is reported rather than silently passed over.
TEST_F(TableFiles, OneLookupOrderForEveryCaller) {
    const fs::path before = fs::current_path();
    fs::current_path(dir_);
    const std::string build = std::string(HALVORN_BUILD_DATA_DIR) + "/MUs2022.dat";
    EXPECT_EQ(FindAttenuationTable(), fs::exists(HALVORN_INSTALLED_DATA_DIR "/MUs2022.dat")
                                          ? std::string(HALVORN_INSTALLED_DATA_DIR) + "/MUs2022.dat"
                                          : build);
    fs::create_directories(dir_ / "share" / "halvorn");
    Write("share/halvorn/MUs2022.dat", "beside the program");
    fs::create_directory(dir_ / "bin");
    EXPECT_EQ(FindAttenuationTable((dir_ / "bin").string()),
              (dir_ / "bin").string() + "/../share/halvorn/MUs2022.dat");
    ASSERT_EQ(::mkfifo("MUs2022.dat", 0600), 0);
    EXPECT_EQ(FindAttenuationTable((dir_ / "bin").string()), "MUs2022.dat");
    fs::current_path(before);
}

}  // namespace
}  // namespace halvorn
