#include "engine/exports/AbsoluteScale.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>

#include "ExportTestSupport.h"
#include "engine/exports/XcistExport.h"

namespace halvorn {
namespace {

using AbsoluteScaleTest = ExampleExportTest;

// The XCIST spectrum in its own units, read back and turned into air kerma at the centre, gives back the
// measured kerma: photons per mA s per mm^2 at 1 m -> per cm^2 at F (x 100 x (100 / F)^2), then
// E mu_en/rho per photon in keV/g, 1 keV/g = 1.602176634e-10 mGy.
TEST_F(AbsoluteScaleTest, XcistSpectrumGivesBackTheMeasuredKerma) {
    const double kerma = 12.5;  // mGy per 100 mAs
    const AbsoluteScaleResult scale = AbsoluteScaleOf(state->PointSpectra[0], 120, table, kerma);
    ASSERT_TRUE(scale.scale) << scale.error;
    const ExportText file =
        XcistSpectrum(state->PointSpectra[0], inputs, "centre ray", scale.scale->photonsPerMasPerCm2Centre);
    ASSERT_TRUE(file.ok()) << file.error;
    EXPECT_NE(file.bytes.find("per mA s per mm^2 at 1 m"), std::string::npos);
    double kermaPerMas = 0;
    int rows = 0;
    for (const std::string& line : LinesOf(file.bytes)) {
        if (line[0] == '#' || line.find(',') == std::string::npos)
            continue;
        const auto row = NumbersOf(line, ",");
        const double perCm2AtF = row[1] * 100 * (100.0 / 60) * (100.0 / 60);
        kermaPerMas += perCm2AtF * row[0] * table.MuEnAir[static_cast<int>(2 * row[0])] * 1.602176634e-10;
        ++rows;
    }
    EXPECT_EQ(rows, 239);
    EXPECT_NEAR(100 * kermaPerMas / kerma, 1, 1e-6);

    EXPECT_FALSE(AbsoluteScaleOf(state->PointSpectra[0], 120, table, 0).scale);
    EXPECT_FALSE(AbsoluteScaleOf(Spectrum{}, 120, table, kerma).scale);
}

}  // namespace
}  // namespace halvorn
