#include "engine/exports/SpectrumTextExport.h"

#include <gtest/gtest.h>

#include "ExportTestSupport.h"
#include "engine/TuckerSpectrum.h"

namespace halvorn {
namespace {

using SpectrumTextExportTest = ExampleExportTest;

TEST_F(SpectrumTextExportTest, HeaderFiguresAndColumns) {
    const Spectrum& centre = state->PointSpectra[0];
    const auto share = CharacteristicShare(table, 120, 16);
    for (bool split : {true, false}) {
        const ExportText file =
            SpectrumText(centre, points[0].quality, inputs, split ? share : std::nullopt, "centre ray");
        ASSERT_TRUE(file.ok()) << file.error;
        std::string header;
        std::vector<std::vector<double>> rows;
        for (const std::string& line : LinesOf(file.bytes)) {
            if (line.rfind("# ", 0) == 0)
                header += line + "\n";
            else
                rows.push_back(NumbersOf(line, ";"));
        }
        for (const std::string& text :
             {std::string("Halvorn 2.0"), std::string("relative"), std::string("Tube voltage: 120 kV"),
              std::string("Target angle: 16 deg"), std::string("Measured HVL: 7 mm Al"),
              "HVL1: " + FormatFixed(*points[0].quality.aluminium.hvl1Mm, 4) + " mm Al",
              "Mean energy: " + FormatFixed(*points[0].quality.meanEnergyKev, 3) + " keV"})
            EXPECT_NE(header.find(text), std::string::npos) << text << " in\n" << header;
        ASSERT_EQ(rows.size(), 239u);
        for (std::size_t k = 0; k < rows.size(); ++k) {
            const int bin = static_cast<int>(k) + 2;
            ASSERT_EQ(rows[k].size(), 3u);
            EXPECT_EQ(rows[k][0], 0.5 * bin) << "uniform bins, keV";
            EXPECT_NEAR(rows[k][1], centre[bin] / 0.5, 1e-9 * centre[bin]) << "per keV";
            const bool line = bin == 116 || bin == 119 || bin == 134 || bin == 138;
            EXPECT_EQ(rows[k][2] > 0, split && line) << "bin " << bin;
            EXPECT_LT(rows[k][2], rows[k][1] + 1e-300) << "bin " << bin;
        }
        EXPECT_EQ(header.find("not split") != std::string::npos, !split);
    }
}

}  // namespace
}  // namespace halvorn
