#include "engine/BeamQuality.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "EngineTestSupport.h"
#include "engine/Filtration.h"
#include "engine/TuckerSpectrum.h"

namespace halvorn {
namespace {

// The transmitted share of the air kerma of `photons` behind `mm` of a material, summed directly over the
// calibration's kerma bins (10.5 keV up): an independent check of the roots.
double Transmission(const Spectrum& photons, const CalculationState& s, const Spectrum& mu, double mm) {
    double before = 0;
    double after = 0;
    for (int i = 21; i <= HighestBin(s.TubeVoltageKv); ++i) {
        const double kerma = photons[i] * s.MuEnAir[i] * 0.5 * i;
        before += kerma;
        after += kerma * std::exp(-mu[i] * mm / 10);
    }
    return after / before;
}

// `level` of the kerma is passed within 1e-5 mm of `mm`.
void ExpectRoot(const Spectrum& photons,
                const CalculationState& s,
                const Spectrum& mu,
                double mm,
                double level,
                const std::string& what) {
    EXPECT_GT(Transmission(photons, s, mu, mm - 1e-5), level) << what;
    EXPECT_LT(Transmission(photons, s, mu, mm + 1e-5), level) << what;
}

class BeamQualityTest : public RealTableTest {};

TEST_F(BeamQualityTest, SingleEnergyBeam) {
    state->TubeVoltageKv = 80;
    const AttenuationCoefficients table = CoefficientsOf(*state);
    for (int bin : {60, 120, 137}) {
        Spectrum photons{};
        photons[bin] = 0.3;
        const double e = 0.5 * bin;
        const auto q = SpectrumBeamQuality(photons, state->TubeVoltageKv, table);
        const std::string what = std::to_string(e) + " keV";
        EXPECT_DOUBLE_EQ(q.meanEnergyKev.value_or(0), e) << what;
        for (const auto& [m, mu] : {std::pair{q.aluminium, table.MuAluminium}, {q.copper, table.MuCopper}}) {
            const double hvl = 10 * std::log(2.0) / mu[bin];
            EXPECT_NEAR(m.hvl1Mm.value_or(0), hvl, 1e-5) << what;
            EXPECT_NEAR(m.hvl2Mm.value_or(0), hvl, 1e-5) << what;
            EXPECT_NEAR(m.homogeneity.value_or(0), 1, 1e-6) << what;
            EXPECT_NEAR(m.effectiveEnergyKev.value_or(0), e, 1e-4) << what;
        }
    }
}

TEST_F(BeamQualityTest, Beam120kVBehind2Point5MillimetresOfAluminium) {
    CalculationState& s = *state;
    s.TubeVoltageKv = 120;
    s.TargetAngleDeg = 16;
    s.FiltrationAlCm = 0.25;
    ASSERT_TRUE(GenerateTargetSpectrum(s));
    ASSERT_TRUE(FilterSpectrum(s));
    const auto q = SpectrumBeamQuality(s.BeamSpectrum, s.TubeVoltageKv, CoefficientsOf(s));
    ASSERT_TRUE(q.aluminium.hvl2Mm && q.copper.hvl2Mm && q.meanEnergyKev);
    EXPECT_NEAR(*q.aluminium.hvl1Mm, 3.547, 0.01);
    EXPECT_NEAR(*q.aluminium.hvl2Mm, 5.750, 0.01);
    EXPECT_NEAR(*q.copper.hvl1Mm, 0.130, 0.01);
    EXPECT_NEAR(*q.meanEnergyKev, 51.74, 0.05);
    const double al1 = *q.aluminium.hvl1Mm;
    const double cu1 = *q.copper.hvl1Mm;
    ExpectRoot(s.BeamSpectrum, s, s.MuAluminium, al1, 0.5, "Al HVL1");
    ExpectRoot(s.BeamSpectrum, s, s.MuAluminium, al1 + *q.aluminium.hvl2Mm, 0.25, "Al HVL1 + HVL2");
    ExpectRoot(s.BeamSpectrum, s, s.MuCopper, cu1, 0.5, "Cu HVL1");
    ExpectRoot(s.BeamSpectrum, s, s.MuCopper, cu1 + *q.copper.hvl2Mm, 0.25, "Cu HVL1 + HVL2");
    EXPECT_NEAR(*q.aluminium.homogeneity, al1 / *q.aluminium.hvl2Mm, 1e-12);
    // The effective energy is where mu = ln 2 / HVL1, between the bins around it.
    for (const auto& [m, mu] : {std::pair{q.aluminium, s.MuAluminium}, {q.copper, s.MuCopper}}) {
        const double e = m.effectiveEnergyKev.value_or(0);
        const int below = static_cast<int>(std::floor(2 * e));
        const double target = 10 * std::log(2.0) / m.hvl1Mm.value_or(0);
        EXPECT_GE(mu[below], target) << e << " keV";
        EXPECT_LE(mu[below + 1], target) << e << " keV";
    }
    EXPECT_GT(*q.copper.effectiveEnergyKev, *q.aluminium.effectiveEnergyKev - 15) << "same beam, both metals";
    EXPECT_LT(*q.aluminium.effectiveEnergyKev, *q.meanEnergyKev) << "a hard beam's effective energy is lower";
}

TEST_F(BeamQualityTest, ExampleRun) {
    CalculationState& s = *state;
    ASSERT_TRUE(RunExample(s, reporter));
    const auto points = RunBeamQuality(s, CoefficientsOf(s), LastProfilePoint(s));
    ASSERT_EQ(points.size(), 13u);
    const PointQuality& centre = points[0];
    EXPECT_NEAR(centre.quality.aluminium.hvl1Mm.value_or(0), 7.00, 0.01);
    EXPECT_NEAR(centre.quality.aluminium.hvl1Mm.value_or(0), 10 * s.HvlAlCm, 0.005)
        << "the calibration's HVL";
    EXPECT_EQ(centre.relativeFluence, 1.0);
    EXPECT_EQ(centre.fanAngleDeg, 0.0);
    for (int k = 1; k < 13; ++k) {
        const PointQuality& q = points[k];
        EXPECT_EQ(q.point, k);
        EXPECT_EQ(q.offAxisCm, 2.0 * k);
        EXPECT_NEAR(q.fanAngleDeg.value_or(0), std::atan(2.0 * k / 60) * 180 / std::acos(-1.0), 1e-12);
        EXPECT_EQ(q.bowtieAlMm, s.BowtieAlMm[k]);
        EXPECT_EQ(q.relativeKerma, s.DoseProfile[1][k]);
        // Further out: fewer photons, a harder beam.
        EXPECT_LT(q.relativeFluence.value_or(1), points[k - 1].relativeFluence.value_or(0)) << "point " << k;
        EXPECT_GT(q.quality.aluminium.hvl1Mm.value_or(0), points[k - 1].quality.aluminium.hvl1Mm.value_or(99))
            << "point " << k;
        EXPECT_GT(q.quality.meanEnergyKev.value_or(0), points[k - 1].quality.meanEnergyKev.value_or(999))
            << "point " << k;
    }
}

TEST_F(BeamQualityTest, MissingFiguresAreEmpty) {
    CalculationState& s = *state;
    const AttenuationCoefficients table = CoefficientsOf(s);
    auto expectEmpty = [](const SpectrumQuality& q, const std::string& what) {
        EXPECT_FALSE(q.meanEnergyKev) << what;
        for (const MaterialQuality& m : {q.aluminium, q.copper})
            EXPECT_FALSE(m.hvl1Mm || m.hvl2Mm || m.homogeneity || m.effectiveEnergyKev) << what;
    };
    Spectrum photons{};
    expectEmpty(SpectrumBeamQuality(photons, 120, table), "no photons");
    photons[100] = 1;
    photons[101] = -0.5;
    expectEmpty(SpectrumBeamQuality(photons, 120, table), "a negative bin");
    photons[101] = NAN;
    expectEmpty(SpectrumBeamQuality(photons, 120, table), "a NaN bin");
    photons[101] = 0;
    expectEmpty(SpectrumBeamQuality(photons, NAN, table), "tube voltage NaN");
    photons[100] = 0;
    photons[15] = 1;  // 7.5 keV: photons, but none in the kerma bins
    const auto soft = SpectrumBeamQuality(photons, 120, table);
    EXPECT_EQ(soft.meanEnergyKev, 7.5);
    EXPECT_FALSE(soft.aluminium.hvl1Mm);

    // A coefficient of 0 where the kerma sits: the transmission never halves, and the search ends.
    AttenuationCoefficients flat = table;
    flat.MuAluminium[100] = 0;
    photons[15] = 0;
    photons[100] = 1;
    const auto q = SpectrumBeamQuality(photons, 120, flat);
    EXPECT_FALSE(q.aluminium.hvl1Mm);
    EXPECT_TRUE(q.copper.hvl1Mm);

    // A run whose point 2 failed, and a focus distance of 0.
    s.TubeVoltageKv = 120;
    s.ProfilePointCount = 2;
    s.FocusCentreDistanceCm = 0;
    s.DoseProfile[0][1] = 5;
    s.PointSpectra[0][100] = 1;
    s.PointSpectra[1][100] = 0.5;
    const auto points = RunBeamQuality(s, table, LastProfilePoint(s));
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[0].fanAngleDeg, 0.0);
    EXPECT_FALSE(points[1].fanAngleDeg);
    EXPECT_EQ(points[1].relativeFluence, 0.5);
    EXPECT_FALSE(points[2].relativeFluence);
    expectEmpty(points[2].quality, "point 2");

    for (const auto& [n, last] : {std::pair{NAN, 0}, {-3.0, 0}, {0.5, 0}, {2.5, 2}, {25.0, 25}, {1e9, 25}}) {
        s.ProfilePointCount = n;
        EXPECT_EQ(LastProfilePoint(s), last) << "N = " << n;
    }
    EXPECT_EQ(RunBeamQuality(s, table, 99).size(), 26u);
}

}  // namespace
}  // namespace halvorn
