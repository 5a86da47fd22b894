#include "engine/BeamQuality.h"

#include <gtest/gtest.h>

#include <cmath>

#include "EngineTestSupport.h"
#include "engine/Filtration.h"
#include "engine/TuckerSpectrum.h"

namespace halvorn {
namespace {

class BeamQualityTest : public RealTableTest {
protected:
    // Whether the air kerma of `photons` (summed directly over the calibration's bins, 10.5 keV up) falls
    // to `level` within 1e-5 mm of `mm` of the material: an independent check of a root.
    bool RootWithin(const Spectrum& photons, const Spectrum& mu, double mm, double level) const {
        auto transmission = [&](double x) {
            double before = 0, after = 0;
            for (int i = 21; i <= HighestBin(state->TubeVoltageKv); ++i) {
                before += photons[i] * state->MuEnAir[i] * 0.5 * i;
                after += photons[i] * state->MuEnAir[i] * 0.5 * i * std::exp(-mu[i] * x / 10);
            }
            return after / before;
        };
        return transmission(mm - 1e-5) > level && transmission(mm + 1e-5) < level;
    }
};

TEST_F(BeamQualityTest, SingleEnergyBeam) {
    const AttenuationCoefficients table = CoefficientsOf(*state);
    for (int bin : {60, 120, 137}) {
        Spectrum photons{};
        photons[bin] = 0.3;
        const double e = 0.5 * bin;
        const auto q = SpectrumBeamQuality(photons, 80, table);
        EXPECT_DOUBLE_EQ(q.meanEnergyKev.value_or(0), e) << e << " keV";
        for (const auto& [m, mu] : {std::pair{q.aluminium, table.MuAluminium}, {q.copper, table.MuCopper}}) {
            const double hvl = 10 * std::log(2.0) / mu[bin];
            EXPECT_NEAR(m.hvl1Mm.value_or(0), hvl, 1e-5) << e << " keV";
            EXPECT_NEAR(m.hvl2Mm.value_or(0), hvl, 1e-5) << e << " keV";
            EXPECT_NEAR(m.homogeneity.value_or(0), 1, 1e-6) << e << " keV";
            EXPECT_NEAR(m.effectiveEnergyKev.value_or(0), e, 1e-4) << e << " keV";
        }
    }
}

TEST_F(BeamQualityTest, Beam120kVBehind2Point5MillimetresOfAluminium) {
    CalculationState& s = *state;
    s.TubeVoltageKv = 120;
    s.TargetAngleDeg = 16;
    s.FiltrationAlCm = 0.25;
    ASSERT_TRUE(GenerateTargetSpectrum(s) && FilterSpectrum(s));
    const auto q = SpectrumBeamQuality(s.BeamSpectrum, s.TubeVoltageKv, CoefficientsOf(s));
    ASSERT_TRUE(q.aluminium.hvl2Mm && q.copper.hvl2Mm && q.meanEnergyKev && q.copper.effectiveEnergyKev);
    EXPECT_NEAR(*q.aluminium.hvl1Mm, 3.547, 0.01);
    EXPECT_NEAR(*q.aluminium.hvl2Mm, 5.750, 0.01);
    EXPECT_NEAR(*q.copper.hvl1Mm, 0.130, 0.01);
    EXPECT_NEAR(*q.meanEnergyKev, 51.74, 0.05);
    for (const auto& [m, mu] : {std::pair{q.aluminium, s.MuAluminium}, {q.copper, s.MuCopper}}) {
        EXPECT_TRUE(RootWithin(s.BeamSpectrum, mu, *m.hvl1Mm, 0.5)) << *m.hvl1Mm;
        EXPECT_TRUE(RootWithin(s.BeamSpectrum, mu, *m.hvl1Mm + *m.hvl2Mm, 0.25)) << *m.hvl2Mm;
        EXPECT_DOUBLE_EQ(*m.homogeneity, *m.hvl1Mm / *m.hvl2Mm);
        // mu at the effective energy is ln 2 / HVL1: between the coefficients of the bins around it.
        const int below = static_cast<int>(std::floor(2 * *m.effectiveEnergyKev));
        EXPECT_GE(mu[below], 10 * std::log(2.0) / *m.hvl1Mm);
        EXPECT_LE(mu[below + 1], 10 * std::log(2.0) / *m.hvl1Mm);
    }
}

TEST_F(BeamQualityTest, ExampleRun) {
    CalculationState& s = *state;
    ASSERT_TRUE(RunExample(s, reporter));
    const auto points = RunBeamQuality(s, CoefficientsOf(s), LastProfilePoint(s));
    ASSERT_EQ(points.size(), 13u);
    EXPECT_NEAR(points[0].quality.aluminium.hvl1Mm.value_or(0), 7.00, 0.01);
    EXPECT_NEAR(points[0].quality.aluminium.hvl1Mm.value_or(0), 10 * s.HvlAlCm, 0.005) << "calibration's HVL";
    EXPECT_EQ(points[0].relativeFluence, 1.0);
    for (int k = 1; k < 13; ++k) {
        const PointQuality& q = points[k];
        EXPECT_EQ(q.offAxisCm, 2.0 * k);
        EXPECT_NEAR(q.fanAngleDeg.value_or(0), std::atan(2.0 * k / 60) * 180 / std::acos(-1.0), 1e-12);
        EXPECT_EQ(q.bowtieAlMm, s.BowtieAlMm[k]);
        // Further out: fewer photons, a harder beam.
        EXPECT_LT(q.relativeFluence.value_or(1), points[k - 1].relativeFluence.value_or(0)) << "point " << k;
        EXPECT_GT(q.quality.aluminium.hvl1Mm.value_or(0), points[k - 1].quality.aluminium.hvl1Mm.value_or(99))
            << "point " << k;
    }
}

TEST_F(BeamQualityTest, MissingFiguresAreEmpty) {
    CalculationState& s = *state;
    AttenuationCoefficients table = CoefficientsOf(s);
    auto empty = [](const SpectrumQuality& q) {
        return !q.meanEnergyKev && !q.aluminium.hvl1Mm && !q.aluminium.hvl2Mm && !q.copper.homogeneity &&
               !q.copper.effectiveEnergyKev;
    };
    Spectrum photons{};
    EXPECT_TRUE(empty(SpectrumBeamQuality(photons, 120, table))) << "no photons";
    photons[100] = 1;
    EXPECT_TRUE(empty(SpectrumBeamQuality(photons, NAN, table))) << "tube voltage NaN";
    for (double bad : {-0.5, std::nan("")}) {
        photons[101] = bad;
        EXPECT_TRUE(empty(SpectrumBeamQuality(photons, 120, table))) << bad;
    }
    photons[101] = 0;
    // A coefficient of 0 where the kerma sits: aluminium never halves it, and the search ends.
    table.MuAluminium[100] = 0;
    const auto q = SpectrumBeamQuality(photons, 120, table);
    EXPECT_FALSE(q.aluminium.hvl1Mm);
    EXPECT_TRUE(q.copper.hvl1Mm);

    // A run whose point 2 failed, with a focus distance of 0.
    s.TubeVoltageKv = 120;
    s.ProfilePointCount = 2;
    s.DoseProfile[0][1] = 5;
    s.PointSpectra[0] = photons;
    s.PointSpectra[1][100] = 0.5;
    const auto points = RunBeamQuality(s, table, LastProfilePoint(s));
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[0].fanAngleDeg, 0.0);
    EXPECT_FALSE(points[1].fanAngleDeg);
    EXPECT_EQ(points[1].relativeFluence, 0.5);
    EXPECT_FALSE(points[2].relativeFluence);
    EXPECT_TRUE(empty(points[2].quality));
    for (const auto& [n, last] : {std::pair{std::nan(""), 0}, {-3.0, 0}, {0.5, 0}, {2.5, 2}, {1e9, 25}}) {
        s.ProfilePointCount = n;
        EXPECT_EQ(LastProfilePoint(s), last) << "N = " << n;
    }
}

}  // namespace
}  // namespace halvorn
