#include "engine/BeamQualityTable.h"

#include <gtest/gtest.h>

#include <limits>

namespace halvorn {
namespace {

TEST(BeamQualityTable, SignificantDigitsAcrossMagnitudesAndCarries) {
    const struct {
        double value;
        const char* text;
    } cases[] = {{1, "1.000"},       {0.12345, "0.1235"}, {0.99996, "1.000"}, {9.9996, "10.00"},
                 {123456, "123456"}, {0, "0.000"},        {-0.5, "-0.5000"},  {0.000123456, "0.0001235"},
                 {1.00004, "1.000"}, {12.5, "12.50"}};
    for (const auto& c : cases)
        EXPECT_EQ(FormatSignificant(c.value, 4), c.text) << c.value;
}

// Every column has a heading, and a figure that is not available (or not finite) shows the dash.
TEST(BeamQualityTable, CellsFollowTheHeadings) {
    PointQuality p;
    p.point = 3;
    p.offAxisCm = -6;
    p.fanAngleDeg = 5.7105931;
    p.bowtieAlMm = 8.6383474;
    p.relativeKerma = 0.80516159;
    p.quality.aluminium.hvl1Mm = 7.6030404;
    p.quality.copper.hvl2Mm = 0.63250855;
    p.quality.copper.homogeneity = std::numeric_limits<double>::infinity();
    p.quality.meanEnergyKev = 62.346;
    EXPECT_EQ(BeamQualityCells(p),
              (std::vector<std::string>{"3", "-6", "5.711", "8.638", "0.8052", kNotAvailable, "7.603",
                                        kNotAvailable, kNotAvailable, kNotAvailable, "0.633", kNotAvailable,
                                        "62.35", kNotAvailable, kNotAvailable}));
}

}  // namespace
}  // namespace halvorn
