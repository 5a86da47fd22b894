#include "engine/exports/XcistExport.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>

#include "ExportTestSupport.h"

namespace halvorn {
namespace {

using XcistExportTest = ExampleExportTest;

TEST_F(XcistExportTest, BowtieIsTheWholeFanMirrored) {
    const ExportText file = XcistBowtie(points, inputs);
    ASSERT_TRUE(file.ok()) << file.error;
    // As numpy's loadtxt reads it: '#' lines are comments, the rest tab-separated numbers.
    std::vector<std::vector<double>> rows;
    for (const std::string& line : LinesOf(file.bytes))
        if (!line.empty() && line[0] != '#')
            rows.push_back(NumbersOf(line, "\t"));
    ASSERT_EQ(rows.size(), 25u) << "12 points on either side and the centre";
    for (std::size_t k = 0; k < rows.size(); ++k) {
        ASSERT_EQ(rows[k].size(), 5u);
        const std::vector<double>& mirror = rows[rows.size() - 1 - k];
        EXPECT_EQ(rows[k][0], -mirror[0]) << "row " << k;
        EXPECT_EQ(rows[k][1], mirror[1]) << "row " << k;
        EXPECT_EQ(rows[k][2] + rows[k][3] + rows[k][4], 0) << "graphite, Cu, Ti";
        if (k > 0) {
            EXPECT_GT(rows[k][0], rows[k - 1][0]) << "angles ascend";
        }
        // Radians and centimetres of aluminium beyond the centre ray's path.
        const int p = std::abs(static_cast<int>(k) - 12);
        EXPECT_NEAR(std::fabs(rows[k][0]), std::atan(2.0 * p / 60), 1e-6) << "row " << k;
        EXPECT_NEAR(rows[k][1], (state->BowtieAlMm[p] - state->BowtieAlMm[0]) / 10, 1e-6) << "row " << k;
    }
    EXPECT_EQ(rows[12][1], 0) << "the centre ray";
}

TEST_F(XcistExportTest, SpectrumAsTheReaderTakesIt) {
    for (bool withAngle : {true, false}) {
        if (!withAngle)
            inputs.targetAngleDeg.reset();
        const ExportText file = XcistSpectrum(state->PointSpectra[0], inputs, "centre ray");
        ASSERT_TRUE(file.ok()) << file.error;
        // The reader drops the last character of each line and keeps the lines that start with a digit.
        std::vector<std::string> data;
        for (const std::string& line : LinesOf(file.bytes)) {
            if (!line.empty() && std::isdigit(static_cast<unsigned char>(line[0])))
                data.push_back(line);
            else
                EXPECT_EQ(line[0], '#') << line;
        }
        const int n = std::stoi(data.at(0));
        ASSERT_EQ(n, 239);
        ASSERT_EQ(data.size(), withAngle ? n + 2u : n + 1u);
        for (int k = 1; k <= n; ++k) {
            const auto row = NumbersOf(data[k], ",");
            ASSERT_EQ(row.size(), 2u);
            EXPECT_EQ(row[0], 0.5 * (k + 1)) << "keV, bin centres";
            EXPECT_NEAR(row[1], state->PointSpectra[0][k + 1], 1e-9);
        }
        if (withAngle) {
            EXPECT_EQ(data.back(), "16") << "the target angle last";
        }
    }
    EXPECT_FALSE(XcistSpectrum(Spectrum{}, inputs, "point 2").ok());
}

}  // namespace
}  // namespace halvorn
