#include "engine/exports/EgsnrcExport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "ExportTestSupport.h"

namespace halvorn {
namespace {

using EgsnrcExportTest = ExampleExportTest;

TEST_F(EgsnrcExportTest, SpectrumIsAHistogramInMevWithUpperEdges) {
    const ExportText file = EgsnrcSpectrum(state->PointSpectra[4], inputs, "point 4");
    ASSERT_TRUE(file.ok()) << file.error;
    const auto lines = LinesOf(file.bytes);
    EXPECT_NE(lines[0].find("Halvorn 2.0 relative"), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find("120 kV"), std::string::npos) << lines[0];
    const auto head = NumbersOf(lines[1], ", ");
    ASSERT_EQ(head.size(), 3u);
    ASSERT_EQ(head[0], 239) << "bins 1.0 .. 120.0 keV";
    EXPECT_EQ(lines.size(), 2 + 239u);
    EXPECT_DOUBLE_EQ(head[1], 0.00075) << "lower edge of the 1.0 keV bin";
    EXPECT_EQ(head[2], 0) << "counts per bin";
    double previous = head[1];
    for (int k = 0; k < 239; ++k) {
        const auto row = NumbersOf(lines[2 + k], ", ");
        ASSERT_EQ(row.size(), 2u) << lines[2 + k];
        const int bin = k + 2;
        EXPECT_DOUBLE_EQ(row[0], std::min(0.5 * bin + 0.25, 120.0) / 1000) << "bin " << bin;
        EXPECT_GT(row[0], previous);
        previous = row[0];
        EXPECT_NEAR(row[1], state->PointSpectra[4][bin], 1e-9 * state->PointSpectra[4][bin]) << "bin " << bin;
    }

    Spectrum failed{};
    EXPECT_NE(EgsnrcSpectrum(failed, inputs, "point 7").error.find("point 7"), std::string::npos);
}

TEST_F(EgsnrcExportTest, CtSourceFilesShareOneAngleGrid) {
    const double step = 0.125;
    const ExportText distribution = EgsnrcBowtieDistribution(points, inputs, step);
    const ExportText bowtie = EgsnrcAlBowtie(points, inputs, step);
    ASSERT_TRUE(distribution.ok() && bowtie.ok()) << distribution.error << bowtie.error;

    // Distribution: title, "count, min, mode", then angle and relative photons per angle.
    const auto d = LinesOf(distribution.bytes);
    const auto head = NumbersOf(d[1], ", ");
    const int n = static_cast<int>(head.at(0));
    EXPECT_EQ(head.at(2), 0);
    ASSERT_EQ(d.size(), n + 2u);
    const double lastMeasured = std::atan(24.0 / 60);  // rad
    EXPECT_EQ(n, static_cast<int>(lastMeasured * 180 / std::numbers::pi / step) + 1)
        << "0 up to the last measured angle";

    // Al bowtie: exactly eight header lines, a count line of at most four characters, one skipped line.
    const auto b = LinesOf(bowtie.bytes);
    EXPECT_EQ(b[1], "#Name of the material");
    ASSERT_LE(b[8].size(), 4u);
    EXPECT_EQ(std::stoi(b[8]), n + 1) << "one entry for the angle the reader adds beyond the last";
    ASSERT_EQ(b.size(), 10 + n + 1u);

    // Both against the measured points, interpolated linearly in angle between them.
    auto interpolate = [&](double angle, auto value) {
        int p = 0;
        while (p + 1 < 12 && std::atan(2.0 * (p + 1) / 60) < angle)
            ++p;
        const double a0 = std::atan(2.0 * p / 60);
        const double a1 = std::atan(2.0 * (p + 1) / 60);
        return value(p) + (angle - a0) / (a1 - a0) * (value(p + 1) - value(p));
    };
    for (int k = 0; k < n; ++k) {
        const auto row = NumbersOf(d[2 + k], " ");
        ASSERT_EQ(row.size(), 2u);
        EXPECT_NEAR(row[0], k * step * std::numbers::pi / 180, 1e-12) << "angle " << k;
        EXPECT_LE(row[0], lastMeasured) << "never extrapolated";
        EXPECT_NEAR(row[1], interpolate(row[0], [&](int p) { return *points[p].relativeFluence; }), 1e-9);
        EXPECT_NEAR(NumbersOf(b[10 + k], " ").at(0),
                    interpolate(row[0], [&](int p) { return state->BowtieAlMm[p]; }), 1e-6)
            << "thickness " << k;
    }
    EXPECT_EQ(NumbersOf(d[2], " ").at(1), 1.0) << "the centre ray";
    EXPECT_EQ(b[10 + n], b[10 + n - 1]);
}

TEST_F(EgsnrcExportTest, RefusalsAndSourceBlock) {
    // 21.8 degrees: 8721 angles of 0.0025 deg fit the four-character count line, 10901 of 0.002 deg do not.
    EXPECT_TRUE(EgsnrcAlBowtie(points, inputs, 0.0025).ok());
    EXPECT_NE(EgsnrcAlBowtie(points, inputs, 0.002).error.find("9998"), std::string::npos);
    for (double step : {0.0, std::nan(""), 30.0})
        EXPECT_FALSE(EgsnrcBowtieDistribution(points, inputs, step).ok()) << step << " deg";
    EXPECT_FALSE(EgsnrcBowtieDistribution({points[0]}, inputs, 0.125).ok()) << "the centre alone";
    points[5].relativeFluence.reset();
    EXPECT_NE(EgsnrcAlBowtie(points, inputs, 0.125).error.find("point 5"), std::string::npos);

    const std::string block = EgsnrcSourceBlock(inputs, 4).bytes;
    for (const char* line :
         {"library = egs_al_eq_ct_source\n", "distance = 60 ", "collimation = 4 ",
          "bowtie distribution = bowtie_distribution.dat\n", "spectrum file = centre.spectrum ",
          "al equivalent bowtie = al_bowtie.dat\n", "simulation source = halvorn_ct_source\n",
          "add-aleqctsource", "with iaea_phsp_source instead.\n"})
        EXPECT_NE(block.find(line), std::string::npos) << line;
    EXPECT_NE(EgsnrcSourceBlock(inputs, std::nullopt).bytes.find("# collimation = ?"), std::string::npos);
    EXPECT_FALSE(EgsnrcSourceBlock(inputs, 0.0).ok());
}

}  // namespace
}  // namespace halvorn
