#include "engine/exports/SpreadsheetExport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "ExportTestSupport.h"

namespace halvorn {
namespace {

using SpreadsheetExportTest = ExampleExportTest;

// A field as a number, whatever the locale.
double Number(const std::string& field) {
    return NumbersOf(field, ",").at(0);
}

// The rows of a UTF-8 CSV with a byte-order mark and CR LF line ends, split into fields.
std::vector<std::vector<std::string>> Rows(const std::string& bytes) {
    EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF") << "byte-order mark";
    std::vector<std::vector<std::string>> rows;
    for (std::string line : LinesOf(bytes.substr(3))) {
        EXPECT_EQ(line.back(), '\r') << line;
        line.pop_back();
        std::vector<std::string> fields{""};
        for (char c : line) {
            if (c == ',')
                fields.emplace_back();
            else
                fields.back().push_back(c);
        }
        rows.push_back(fields);
    }
    return rows;
}

TEST_F(SpreadsheetExportTest, LongFormOneRowPerPointAndBin) {
    const auto rows = Rows(SpectraLongCsv(With(points, inputs)).bytes);
    ASSERT_EQ(rows.size(), 1 + 13 * 239u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"point", "off_axis_cm", "fan_angle_deg", "bowtie_al_mm",
                                                 "energy_keV", "relative_fluence"}));
    const auto& row = rows[1 + 5 * 239 + 99];  // point 5, bin 101
    ASSERT_EQ(row.size(), 6u);
    EXPECT_EQ(row[0], "5");
    EXPECT_EQ(Number(row[1]), 10);
    EXPECT_NEAR(Number(row[2]), std::atan(10.0 / 60) * 180 / std::acos(-1.0), 1e-6);
    EXPECT_EQ(Number(row[3]), state->BowtieAlMm[5]);
    EXPECT_EQ(row[4], "50.5");
    EXPECT_EQ(Number(row[5]), state->PointSpectra[5][101]);

    RunRecord failed = run;
    failed.spectra[5].fill(0);
    EXPECT_NE(SpectraLongCsv(failed).error.find("point 5"), std::string::npos);
}

TEST_F(SpreadsheetExportTest, BeamQualityOneRowPerPoint) {
    points[2].quality.copper.hvl2Mm.reset();  // a figure that is not available
    const auto rows = Rows(BeamQualityCsv(points).bytes);
    ASSERT_EQ(rows.size(), 14u);
    ASSERT_EQ(rows[0].size(), 15u);
    EXPECT_EQ(rows[0][6], "hvl1_al_mm");
    for (std::size_t k = 1; k < rows.size(); ++k) {
        ASSERT_EQ(rows[k].size(), 15u);
        EXPECT_EQ(rows[k][0], std::to_string(k - 1)) << "centre first";
        EXPECT_NEAR(Number(rows[k][6]), *points[k - 1].quality.aluminium.hvl1Mm, 5e-5);
    }
    EXPECT_EQ(rows[3][10], "") << "empty, not 0 or nan";
}

}  // namespace
}  // namespace halvorn
