#include "engine/TuckerSpectrum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "EngineTestSupport.h"

namespace halvorn {
namespace {

// A made-up tungsten coefficient, falling with energy and jumping at the K edge, enough to shape a spectrum.
void FillSyntheticTungsten(CalculationState& s) {
    for (int i = 1; i <= kBinCount; ++i) {
        const double e = 0.5 * i;
        s.MuTungsten[i] = 19.3 * (0.08 + 3.0e4 / (e * e * e)) * (e >= 69.525 ? 5.0 : 1.0);
    }
}

// The model written out as plainly as possible: repeated T = T + 0.5, powers as products, nothing
// tabulated. The engine must agree with it to the last bit.
void LiteralTargetSpectrum(CalculationState& s, bool addLines = true) {
    const double T0 = s.TubeVoltageKv;
    const double cot = 1 / std::tan(s.TargetAngleDeg * 3.14159 / 180);
    const double C = 141766 + 12157 * T0 - 111.046 * (T0 * T0) + 0.552536 * (T0 * T0 * T0) -
                     0.000970158 * (T0 * T0 * T0 * T0);
    double R = 0;
    if (T0 > 70)
        R = (std::sqrt(8.79856 * T0 - 595.149) - 4.55528) / 4.39928;
    for (int i = 2; i <= 2 * T0; ++i) {
        const double E = 0.5 * i;
        double N = 0;
        double T = E;
        while (T <= T0) {
            const double r = E / T;
            const double B = (0.03658 + 0.000029 * T0) * (1 - 5.049 * r + 10.847 * (r * r) -
                                                          10.516 * (r * r * r) + 3.842 * (r * r * r * r));
            const double S = 1036.1 * std::exp(-0.04695 * T) + 202.41;
            const double d = (T0 * T0 - T * T) / (19.3 * C) * cot;
            N = N + ((1 + 511 / T) * B / S) * std::exp(-s.MuTungsten[i] * d);
            T = T + 0.5;
        }
        s.TargetSpectrum[i] = N;
    }
    if (T0 > 70 && addLines) {
        double Sum = 0;
        for (int i = 2; i <= 2 * T0; ++i)
            Sum = Sum + s.TargetSpectrum[i];
        const double F = Sum * R * 0.01;
        s.TargetSpectrum[119] = s.TargetSpectrum[119] + F * 0.5048;
        s.TargetSpectrum[116] = s.TargetSpectrum[116] + F * 0.2908;
        s.TargetSpectrum[134] = s.TargetSpectrum[134] + F * 0.162;
        s.TargetSpectrum[138] = s.TargetSpectrum[138] + F * 0.0424;
    }
}

void ExpectSameAsLiteral(CalculationState& s, const char* table) {
    auto literal = std::make_unique<CalculationState>(s);
    LiteralTargetSpectrum(*literal);
    ASSERT_TRUE(GenerateTargetSpectrum(s)) << table << ", " << s.TubeVoltageKv << " kV";
    for (int i = 0; i <= kBinCount; ++i)
        ASSERT_EQ(s.TargetSpectrum[i], literal->TargetSpectrum[i])
            << table << ", " << s.TubeVoltageKv << " kV, " << s.TargetAngleDeg << " deg, bin " << i;
}

TEST(TuckerSpectrum, MatchesLiteralFormulaToTheLastBit) {
    auto s = std::make_unique<CalculationState>();
    FillSyntheticTungsten(*s);
    for (double kv : {1.0, 10.0, 40.0, 69.5, 70.0, 70.5, 80.0, 80.3, 99.75, 120.0, 150.0}) {
        for (double angle : {16.0, 7.0, 12.5}) {
            s->TubeVoltageKv = kv;
            s->TargetAngleDeg = angle;
            ExpectSameAsLiteral(*s, "synthetic table");
        }
    }
}

TEST(TuckerSpectrum, MatchesLiteralFormulaWithRealTable) {
    auto s = RealTableState();
    if (!s)
        return;
    s->TargetAngleDeg = 16;
    for (double kv : {80.0, 120.0, 150.0}) {
        s->TubeVoltageKv = kv;
        ExpectSameAsLiteral(*s, HALVORN_TABLE_PATH);
    }
}

TEST(TuckerSpectrum, KLinesOnlyAboveSeventyKvAndSummingToF) {
    auto s = std::make_unique<CalculationState>();
    FillSyntheticTungsten(*s);
    s->TargetAngleDeg = 16;

    // At exactly 70 kV the spectrum is bremsstrahlung only.
    s->TubeVoltageKv = 70;
    auto brems = std::make_unique<CalculationState>(*s);
    LiteralTargetSpectrum(*brems, false);
    ASSERT_TRUE(GenerateTargetSpectrum(*s));
    for (int bin : {116, 119, 134, 138})
        EXPECT_EQ(s->TargetSpectrum[bin], brems->TargetSpectrum[bin]) << "bin " << bin;
    EXPECT_EQ(CharacteristicShare(CoefficientsOf(*s), 70, 16), Spectrum{}) << "no line share at 70 kV";
    EXPECT_FALSE(CharacteristicShare(CoefficientsOf(*s), 120, 0)) << "target angle 0";

    // Above 70 kV the four bins receive F x share on top of their bremsstrahlung, and nothing else changes.
    for (double kv : {70.5, 100.0, 150.0}) {
        s->TubeVoltageKv = kv;
        brems->TubeVoltageKv = kv;
        LiteralTargetSpectrum(*brems, false);
        ASSERT_TRUE(GenerateTargetSpectrum(*s)) << kv << " kV";
        double sum = 0;
        for (int i = 2; i <= 2 * kv; ++i)
            sum += brems->TargetSpectrum[i];
        const double r = (std::sqrt(8.79856 * kv - 595.149) - 4.55528) / 4.39928;
        const double f = sum * r * 0.01;
        double added = 0;
        // The exports' split of each bin into its line and bremsstrahlung parts.
        const auto share = CharacteristicShare(CoefficientsOf(*s), kv, 16);
        ASSERT_TRUE(share) << kv << " kV";
        for (int i = 2; i <= 2 * kv; ++i) {
            const double extra = s->TargetSpectrum[i] - brems->TargetSpectrum[i];
            const bool lineBin = i == 116 || i == 119 || i == 134 || i == 138;
            EXPECT_EQ(extra > 0, lineBin) << kv << " kV, bin " << i << ": added " << extra;
            EXPECT_NEAR((*share)[i], extra / s->TargetSpectrum[i], 1e-12) << kv << " kV, bin " << i;
            added += extra;
        }
        EXPECT_NEAR(added, f, 1e-12 * f) << kv << " kV";
        EXPECT_NEAR(s->TargetSpectrum[119] - brems->TargetSpectrum[119], 0.5048 * f, 1e-12 * f)
            << kv << " kV";
        if (kv == 70.5) {
            EXPECT_LT(f / sum, 0.002) << "just above 70 kV the lines are faint";
        }
        if (kv == 150) {
            EXPECT_NEAR(f / sum, 0.05, 0.005) << "at 150 kV the lines carry about 5 %";
        }
    }
}

TEST(TuckerSpectrum, BinAtTheTubeVoltageHasOneUnattenuatedTerm) {
    auto s = std::make_unique<CalculationState>();
    FillSyntheticTungsten(*s);
    s->TargetAngleDeg = 16;
    s->TubeVoltageKv = 80;
    s->MuTungsten[160] = 1e5;  // no effect: the depth is 0 at T = T0
    ASSERT_TRUE(GenerateTargetSpectrum(*s));
    // (1 + 511/80) x (0.03658 + 0.000029 x 80) x (1 - 5.049 + 10.847 - 10.516 + 3.842)
    //   / (1036.1 exp(-0.04695 x 80) + 202.41) = 7.3875 x 0.0048236 / 226.630973787891
    EXPECT_NEAR(s->TargetSpectrum[160], 1.5723510517741935e-4, 1e-13 * 1.5723510517741935e-4);

    // At 80.3 kV, bin 160 (80 keV) still has only the term at T = 80 keV, now at a small depth.
    s->TubeVoltageKv = 80.3;
    s->MuTungsten[160] = 0;
    ASSERT_TRUE(GenerateTargetSpectrum(*s));
    const double single = (1 + 511 / 80.0) * ((0.03658 + 0.000029 * 80.3) * 0.124) /
                          (1036.1 * std::exp(-0.04695 * 80) + 202.41);
    EXPECT_NEAR(s->TargetSpectrum[160], single, 1e-13 * single);
}

TEST(TuckerSpectrum, WritesOnlyTheUsedBins) {
    auto s = std::make_unique<CalculationState>();
    FillSyntheticTungsten(*s);
    s->TargetAngleDeg = 16;
    s->TargetSpectrum.fill(-1);
    s->TubeVoltageKv = 80.3;
    ASSERT_TRUE(GenerateTargetSpectrum(*s));
    EXPECT_EQ(s->TargetSpectrum[0], -1);
    EXPECT_EQ(s->TargetSpectrum[1], -1);
    for (int i = 2; i <= 160; ++i)
        EXPECT_GT(s->TargetSpectrum[i], 0) << "80.3 kV, bin " << i;
    for (int i = 161; i <= kBinCount; ++i)
        EXPECT_EQ(s->TargetSpectrum[i], -1) << "80.3 kV, bin " << i;

    // 60 kV after 120 kV: bins 121..240 keep the 120 kV values.
    s->TubeVoltageKv = 120;
    ASSERT_TRUE(GenerateTargetSpectrum(*s));
    const Spectrum at120 = s->TargetSpectrum;
    s->TubeVoltageKv = 60;
    ASSERT_TRUE(GenerateTargetSpectrum(*s));
    for (int i = 121; i <= kBinCount; ++i)
        EXPECT_EQ(s->TargetSpectrum[i], at120[i]) << "bin " << i;
    EXPECT_NE(s->TargetSpectrum[100], at120[100]);
}

TEST(TuckerSpectrum, ArithmeticFaultsFail) {
    auto s = std::make_unique<CalculationState>();
    FillSyntheticTungsten(*s);
    s->TubeVoltageKv = 120;

    s->TargetAngleDeg = 0;  // tan 0 = 0: cot theta is a division by zero
    EXPECT_FALSE(GenerateTargetSpectrum(*s)) << "target angle 0";

    s->TargetAngleDeg = 16;
    s->TubeVoltageKv = 150.5;  // beyond the energy grid
    EXPECT_FALSE(GenerateTargetSpectrum(*s)) << "150.5 kV";
    s->TubeVoltageKv = std::nan("");
    EXPECT_FALSE(GenerateTargetSpectrum(*s)) << "tube voltage NaN";

    // A coefficient that makes the self-absorption factor overflow, and one that is not a number.
    s->TubeVoltageKv = 120;
    s->MuTungsten[50] = -1e6;
    EXPECT_FALSE(GenerateTargetSpectrum(*s)) << "exp overflow";
    s->MuTungsten[50] = std::nan("");
    EXPECT_FALSE(GenerateTargetSpectrum(*s)) << "NaN coefficient";
    s->MuTungsten[50] = 1000;

    // Nearly grazing angles: a depth times mu beyond the double range is an overflow, although its
    // exponential would merely underflow; a tangent below the smallest normal makes cot infinite.
    s->TargetAngleDeg = 1e-305;
    EXPECT_FALSE(GenerateTargetSpectrum(*s)) << "mu x depth overflow";
    s->TargetAngleDeg = 1e-310;
    EXPECT_FALSE(GenerateTargetSpectrum(*s)) << "cot overflow";
    s->TargetAngleDeg = 16;

    // A huge positive coefficient only underflows the factor to 0, which is no fault.
    s->MuTungsten[50] = 1e200;
    EXPECT_TRUE(GenerateTargetSpectrum(*s)) << "exp underflow";
    EXPECT_GT(s->TargetSpectrum[50], 0);  // the term at T = 25 keV (depth 0 at T0 only) is still there
}

}  // namespace
}  // namespace halvorn
