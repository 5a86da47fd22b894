#include "engine/exports/GateExport.h"

#include <gtest/gtest.h>

#include "ExportTestSupport.h"

namespace halvorn {
namespace {

using GateExportTest = ExampleExportTest;

// Relative photons per bin that a histogram of upper edges and densities per MeV gives, as GATE 9 samples
// it: bin k spans edge k-1 .. edge k, edge -1 being Emin.
void ExpectSameSpectrum(const std::vector<double>& edges,
                        const std::vector<double>& density,
                        const Spectrum& photons) {
    ASSERT_EQ(edges.size(), density.size() + 1);
    double integral = 0;
    for (std::size_t k = 0; k < density.size(); ++k) {
        EXPECT_GT(edges[k + 1], edges[k]) << "edges ascend";
        integral += density[k] * (edges[k + 1] - edges[k]);
    }
    EXPECT_NEAR(integral, 1, 1e-8);
    double total = 0;
    for (int i = 2; i <= 240; ++i)
        total += photons[i];
    for (std::size_t k = 0; k < density.size(); ++k)
        EXPECT_NEAR(density[k] * (edges[k + 1] - edges[k]), photons[k + 2] / total, 1e-9) << "bin " << k + 2;
    EXPECT_DOUBLE_EQ(edges.back(), 0.120) << "the top bin ends at the tube voltage";
}

TEST_F(GateExportTest, Gate9Histogram) {
    const ExportText file = Gate9Spectrum(state->PointSpectra[3], 120, "point 3");
    ASSERT_TRUE(file.ok()) << file.error;
    const auto lines = LinesOf(file.bytes);
    const auto first = NumbersOf(lines[0], " ");
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[0], 2) << "histogram mode";
    std::vector<double> edges{first[1]};
    std::vector<double> density;
    for (std::size_t k = 1; k < lines.size(); ++k) {
        const auto row = NumbersOf(lines[k], " ");  // a blank or comment line would fail here
        ASSERT_EQ(row.size(), 2u) << lines[k];
        edges.push_back(row[0]);
        density.push_back(row[1]);
    }
    EXPECT_EQ(density.size(), 239u);
    ExpectSameSpectrum(edges, density, state->PointSpectra[3]);
}

TEST_F(GateExportTest, Gate10EdgesAndWeights) {
    const ExportText file = Gate10Spectrum(state->PointSpectra[0], inputs, "centre ray");
    ASSERT_TRUE(file.ok()) << file.error;
    // The two Python lists, one number per line.
    auto list = [&](const std::string& name) {
        std::vector<double> values;
        const std::size_t start = file.bytes.find(name + " = [\n");
        EXPECT_NE(start, std::string::npos) << name;
        const std::size_t end = file.bytes.find("]", start);
        for (const std::string& line : LinesOf(file.bytes.substr(start, end - start)))
            if (line.find('[') == std::string::npos)
                values.push_back(NumbersOf(line.substr(0, line.find(',')), " ").at(0));
        return values;
    };
    ExpectSameSpectrum(list("SPECTRUM_ENERGY_BIN_EDGES_MEV"), list("SPECTRUM_WEIGHTS_PER_MEV"),
                       state->PointSpectra[0]);
    EXPECT_NE(file.bytes.find("source.energy.type = \"spectrum_histogram\""), std::string::npos);
    EXPECT_NE(file.bytes.find("source.energy.spectrum_energy_bin_edges = "), std::string::npos);
    EXPECT_NE(file.bytes.find("source.energy.spectrum_weights = "), std::string::npos);
}

}  // namespace
}  // namespace halvorn
