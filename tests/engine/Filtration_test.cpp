#include "engine/Filtration.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <memory>

#include "EngineTestSupport.h"
#include "engine/TuckerSpectrum.h"

namespace halvorn {
namespace {

// Made-up coefficients with roughly the energy dependence of the real ones (photo effect ~ E^-3 plus a
// constant), enough for spectra and HVLs of plausible size.
void FillSyntheticTable(CalculationState& s) {
    for (int i = 1; i <= kBinCount; ++i) {
        const double e = 0.5 * i;
        const double e3 = e * e * e;
        s.MuTungsten[i] = 19.3 * (0.08 + 3.0e4 / e3) * (e >= 69.525 ? 5.0 : 1.0);
        s.MuAluminium[i] = 2.699 * (0.15 + 3.9e3 / e3);
        s.MuCopper[i] = 8.96 * (0.16 + 4.5e4 / e3);
        s.MuEnAir[i] = 0.02 + 3.5e3 / e3;
        s.MuSilver[i] = 10.5 * (0.2 + 1.5e5 / e3);
    }
}

std::unique_ptr<CalculationState> SyntheticState(double kv) {
    auto s = std::make_unique<CalculationState>();
    FillSyntheticTable(*s);
    s->TubeVoltageKv = kv;
    s->TargetAngleDeg = 16;
    s->FiltrationAlCm = 0.25;
    return s;
}

// One spectrum pass written out plainly: exp(-mu h) evaluated afresh at every step of the curves.
struct LiteralPass {
    Spectrum beam{}, kerma{}, al{}, cu{};
    Curve alCurve{}, cuCurve{};
    double hvlAlCm = 0, hvlCuMm = 0;
};

double LiteralThickness(const Curve& c) {
    int k = 2;
    while (c[k] >= 50)
        k = k + 1;
    const double x = (std::log(50.0) - std::log(c[k - 1])) / (std::log(c[k]) - std::log(c[k - 1]));
    return (k - 1) + x;
}

LiteralPass RunLiteralPass(const CalculationState& s) {
    LiteralPass p;
    const double T0 = s.TubeVoltageKv;
    for (int i = 2; i <= 2 * T0; ++i) {
        const double E = 0.5 * i;
        const double A = std::exp(-s.MuAluminium[i] * s.FiltrationAlCm) *
                         std::exp(-s.MuCopper[i] * s.AddedCuCm) * std::exp(-s.MuSilver[i] * s.AddedAgCm);
        p.beam[i] = s.TargetSpectrum[i] * A / E;
    }
    double S1 = 0, S2 = 0;
    for (int i = 11; i <= 2 * T0; ++i) {
        p.kerma[i] = p.beam[i] * s.MuEnAir[i] * (0.5 * i);
        S1 = S1 + p.kerma[i];
    }
    for (int i = 21; i <= 2 * T0; ++i) {
        p.kerma[i] = p.kerma[i] / S1;
        S2 = S2 + p.kerma[i];
    }
    for (int i = 21; i <= 2 * T0; ++i)
        p.al[i] = p.cu[i] = p.kerma[i];
    for (int k = 1; k <= 1000; ++k) {
        double sumAl = 0, sumCu = 0;
        for (int i = 11; i <= 2 * T0; ++i) {
            p.al[i] = p.al[i] * std::exp(-s.MuAluminium[i] * 0.01);
            sumAl = sumAl + p.al[i];
        }
        for (int i = 11; i <= 2 * T0; ++i) {
            p.cu[i] = p.cu[i] * std::exp(-s.MuCopper[i] * 0.001);
            sumCu = sumCu + p.cu[i];
        }
        p.alCurve[k] = 100 * sumAl / S2;
        p.cuCurve[k] = 100 * sumCu / S2;
    }
    p.hvlAlCm = 0.01 * LiteralThickness(p.alCurve);
    p.hvlCuMm = 0.01 * LiteralThickness(p.cuCurve);
    return p;
}

// The engine's spectrum pass: clear, model, filter, kerma, HVL.
bool RunPass(CalculationState& s) {
    for (int i = 1; i <= kBinCount; ++i)
        s.BeamSpectrum[i] = 0;
    if (!GenerateTargetSpectrum(s) || !FilterSpectrum(s))
        return false;
    const auto s2 = ComputeKermaSpectrum(s, s.BeamSpectrum);
    return s2 && ComputeHvl(s, *s2);
}

void ExpectPassMatchesLiteral(CalculationState& s, const std::string& what) {
    ASSERT_TRUE(RunPass(s)) << what;
    const LiteralPass p = RunLiteralPass(s);
    EXPECT_EQ(s.BeamSpectrum, p.beam) << what;
    EXPECT_EQ(s.KermaSpectrum, p.kerma) << what;
    EXPECT_EQ(s.AlAttenuatedKerma, p.al) << what;
    EXPECT_EQ(s.CuAttenuatedKerma, p.cu) << what;
    for (int k = 1; k <= kCurveSteps; ++k) {
        ASSERT_EQ(s.AlTransmissionCurve[k], p.alCurve[k]) << what << ", Al step " << k;
        ASSERT_EQ(s.CuTransmissionCurve[k], p.cuCurve[k]) << what << ", Cu step " << k;
    }
    EXPECT_EQ(s.HvlAlCm, p.hvlAlCm) << what;
    EXPECT_EQ(s.HvlCuMm, p.hvlCuMm) << what;
}

TEST(Filtration, HighestBinIsTheLastBinAtOrBelowTheTubeVoltage) {
    const std::pair<double, int> cases[] = {{80, 160}, {80.3, 160}, {80.25, 160}, {80.5, 161}, {150, 300},
                                            {0.4, 0},  {0, 0},      {-5, 0},      {400, 300},  {1e300, 300}};
    for (const auto& [kv, bin] : cases)
        EXPECT_EQ(HighestBin(kv), bin) << kv << " kV";
    EXPECT_EQ(HighestBin(std::nan("")), 0);
}

TEST(Filtration, FullPassMatchesLiteralFormulasToTheLastBit) {
    for (double kv : {50.0, 80.3, 120.0}) {
        auto s = SyntheticState(kv);
        s->AddedCuCm = 0.01;
        s->AddedAgCm = 0.002;
        ExpectPassMatchesLiteral(*s, "synthetic table, " + std::to_string(kv) + " kV");
    }
    auto s = RealTableState();
    if (!s)
        return;
    s->TargetAngleDeg = 16;
    s->FiltrationAlCm = 0.25;
    for (double kv : {80.0, 120.0, 150.0}) {
        s->TubeVoltageKv = kv;
        ExpectPassMatchesLiteral(*s, "real table, " + std::to_string(kv) + " kV");
    }
}

TEST(Filtration, RealTableGivesTypicalCtHvl) {
    auto s = RealTableState();
    if (!s)
        return;
    // 120 kV, 16 degrees, 2.5 mm Al, no copper or silver: CT tubes measure about 3.9 mm Al.
    s->TubeVoltageKv = 120;
    s->TargetAngleDeg = 16;
    s->FiltrationAlCm = 0.25;
    ASSERT_TRUE(RunPass(*s));
    std::cout << "120 kV, 2.5 mm Al: HVL " << s->HvlAlCm * 10 << " mm Al, " << s->HvlCuMm << " mm Cu\n";
    EXPECT_GE(s->HvlAlCm * 10, 3.3);
    EXPECT_LE(s->HvlAlCm * 10, 4.3);
    EXPECT_GT(s->HvlCuMm, 0.1);
    EXPECT_LT(s->HvlCuMm, 0.4);
}

TEST(Filtration, FilterFactorsAndFailures) {
    auto s = SyntheticState(100);
    ASSERT_TRUE(GenerateTargetSpectrum(*s));
    s->BeamSpectrum.fill(-1);
    // Without copper and silver their factors are exactly 1, whatever their coefficients.
    s->MuCopper.fill(1e300);
    s->MuSilver.fill(1e300);
    ASSERT_TRUE(FilterSpectrum(*s));
    for (int i = 2; i <= 200; ++i) {
        const double e = 0.5 * i;
        ASSERT_EQ(s->BeamSpectrum[i], s->TargetSpectrum[i] * std::exp(-s->MuAluminium[i] * 0.25) / e)
            << "bin " << i;
    }
    EXPECT_EQ(s->BeamSpectrum[1], -1);
    EXPECT_EQ(s->BeamSpectrum[201], -1);

    // A trial thickness goes into the target array only.
    const Spectrum beam = s->BeamSpectrum;
    ASSERT_TRUE(FilterSpectrumWith(*s, s->TargetSpectrum, 0.5, s->FitSpectrum));
    EXPECT_EQ(s->BeamSpectrum, beam);
    EXPECT_LT(s->FitSpectrum[60], beam[60]);

    // A strongly negative thickness overflows the exponential.
    EXPECT_FALSE(FilterSpectrumWith(*s, s->TargetSpectrum, -1e4, s->FitSpectrum)) << "thickness -1e4 cm";
    s->TargetSpectrum[40] = std::nan("");
    EXPECT_FALSE(FilterSpectrum(*s)) << "NaN in the target spectrum";
}

TEST(Filtration, KermaSpectrumNormalisesFromBin21) {
    auto s = SyntheticState(100);
    ASSERT_TRUE(GenerateTargetSpectrum(*s));
    ASSERT_TRUE(FilterSpectrum(*s));
    s->KermaSpectrum.fill(-1);
    const auto s2 = ComputeKermaSpectrum(*s, s->BeamSpectrum);
    ASSERT_TRUE(s2);
    double s1 = 0;
    for (int i = 11; i <= 200; ++i)
        s1 += s->BeamSpectrum[i] * s->MuEnAir[i] * (0.5 * i);
    for (int i = 11; i <= 20; ++i)
        EXPECT_EQ(s->KermaSpectrum[i], s->BeamSpectrum[i] * s->MuEnAir[i] * (0.5 * i))
            << "unnormalised bin " << i;
    double sum = 0;
    for (int i = 21; i <= 200; ++i)
        sum += s->KermaSpectrum[i];
    EXPECT_EQ(sum, *s2);
    EXPECT_LT(*s2, 1);
    EXPECT_NEAR(
        *s2,
        1 -
            [&] {
                double low = 0;
                for (int i = 11; i <= 20; ++i)
                    low += s->KermaSpectrum[i];
                return low / s1;
            }(),
        1e-14);
    for (int i : {0, 1, 10, 201, 300})
        EXPECT_EQ(s->KermaSpectrum[i], -1) << "bin " << i << " is not written";

    // No kerma at all (S1 = 0) and a non-finite spectrum fail.
    Spectrum zero{};
    EXPECT_FALSE(ComputeKermaSpectrum(*s, zero)) << "all-zero spectrum";
    Spectrum huge{};
    huge.fill(1e308);
    EXPECT_FALSE(ComputeKermaSpectrum(*s, huge)) << "sum overflows";
}

TEST(Filtration, ThicknessAtTransmissionSearchAndInterpolation) {
    Curve c{};
    // A curve value of exactly 50 continues the search when not strict and stops it when strict.
    c[1] = 80, c[2] = 65, c[3] = 50, c[4] = 40, c[5] = 30;
    auto loose = ThicknessAtTransmission(c, 50, false);
    auto strict = ThicknessAtTransmission(c, 50, true);
    ASSERT_TRUE(loose && strict);
    EXPECT_DOUBLE_EQ(*loose, 3.0) << "between steps 3 and 4, at step 3 exactly";
    EXPECT_DOUBLE_EQ(*strict, 3.0) << "between steps 2 and 3, at step 3 exactly";
    c[3] = 50.0000001;  // a hair above: both continue
    EXPECT_GT(*ThicknessAtTransmission(c, 50, true), 3.0);

    // Crossing between steps 1 and 2: logarithmic interpolation.
    c = Curve{};
    c[1] = 60, c[2] = 40;
    EXPECT_DOUBLE_EQ(*ThicknessAtTransmission(c, 50, false),
                     1 + (std::log(50.0) - std::log(60.0)) / (std::log(40.0) - std::log(60.0)));
    // Already below the level after step 1: extrapolated from steps 1 and 2, below one step.
    c[1] = 40, c[2] = 30;
    const auto early = ThicknessAtTransmission(c, 50, false);
    ASSERT_TRUE(early);
    EXPECT_LT(*early, 1.0);
    EXPECT_GT(*early, 0.0);

    // Faults: a level never reached, a zero value at the crossing, a flat segment, a level of 0.
    c.fill(60);
    EXPECT_FALSE(ThicknessAtTransmission(c, 50, false)) << "never below 50 within 1000 steps";
    for (int k = 301; k <= kCurveSteps; ++k)
        c[k] = 10;
    EXPECT_FALSE(ThicknessAtTransmission(c, 50, false, 300)) << "crossing beyond the 300 computed steps";
    EXPECT_TRUE(ThicknessAtTransmission(c, 50, false, 301));
    c = Curve{};
    c[1] = 60, c[2] = 0;
    EXPECT_FALSE(ThicknessAtTransmission(c, 50, false)) << "log of 0";
    c[1] = 0, c[2] = 30;
    EXPECT_FALSE(ThicknessAtTransmission(c, 50, false)) << "log of 0 at step 1";
    c[1] = 30, c[2] = 30;
    EXPECT_FALSE(ThicknessAtTransmission(c, 50, false)) << "flat segment";
    c[1] = 60, c[2] = 40;
    EXPECT_FALSE(ThicknessAtTransmission(c, 0, false)) << "level 0";
    EXPECT_FALSE(ThicknessAtTransmission(c, -5, false)) << "level -5";
    EXPECT_FALSE(ThicknessAtTransmission(c, std::nan(""), false)) << "level NaN";
}

// A beam of one energy falls off exactly exponentially, so its HVL is ln 2 / mu.
TEST(Filtration, HvlOfSingleEnergyBeamIsLn2OverMu) {
    struct Case {
        double muAl, muCu;
        const char* what;
    };
    for (const Case& c : {Case{1.2, 20, "crossing near step 58"}, Case{50, 400, "between steps 1 and 2"},
                          Case{100, 1000, "below the first step"}}) {
        auto s = SyntheticState(60);
        s->KermaSpectrum.fill(0);
        s->KermaSpectrum[100] = 1;
        s->MuAluminium[100] = c.muAl;
        s->MuCopper[100] = c.muCu;
        s->AlAttenuatedKerma.fill(7);  // stale values below bin 21 must not count
        s->CuAttenuatedKerma.fill(7);
        ASSERT_TRUE(ComputeHvl(*s, 1.0)) << c.what;
        EXPECT_NEAR(s->HvlAlCm, std::log(2.0) / c.muAl, 1e-12) << c.what;
        EXPECT_NEAR(s->HvlCuMm, 10 * std::log(2.0) / c.muCu, 1e-12) << c.what << " (mm)";
        for (int i = 1; i <= 20; ++i)
            EXPECT_EQ(s->AlAttenuatedKerma[i], 0) << c.what << ", bin " << i;
        EXPECT_NEAR(s->AlTransmissionCurve[1], 100 * std::exp(-c.muAl * 0.01), 1e-12);
    }
    EXPECT_LT(std::log(2.0) / 100, 0.01) << "the third case is an extrapolation";

    // An HVL above 10 cm Al: the search runs past step 1000 and fails.
    auto s = SyntheticState(60);
    s->KermaSpectrum.fill(0);
    s->KermaSpectrum[100] = 1;
    s->MuAluminium[100] = 0.05;
    EXPECT_FALSE(ComputeHvl(*s, 1.0)) << "HVL 13.9 cm Al";
}

TEST(Filtration, TransmissionCurveFailures) {
    auto s = SyntheticState(60);
    Spectrum w{};
    w[50] = 1;
    Curve curve{};
    EXPECT_FALSE(BuildTransmissionCurve(*s, w, s->MuAluminium, 0.01, 300, 0.0, curve)) << "S2 = 0";
    EXPECT_FALSE(BuildTransmissionCurve(*s, w, s->MuAluminium, 0.01, 1001, 1.0, curve)) << "1001 steps";
    Spectrum negative{};
    negative.fill(-1e5);  // growing weights overflow
    EXPECT_FALSE(BuildTransmissionCurve(*s, w, negative, 0.01, 1000, 1.0, curve)) << "weights overflow";
    w = Spectrum{};
    w[50] = 1;
    curve.fill(-3);
    ASSERT_TRUE(BuildTransmissionCurve(*s, w, s->MuAluminium, 0.01, 300, 1.0, curve));
    EXPECT_EQ(curve[0], -3) << "entry 0 is not written";
    EXPECT_EQ(curve[301], -3) << "only the asked steps are written";
    EXPECT_NEAR(curve[300], 100 * std::exp(-s->MuAluminium[50] * 3.0), 1e-9);
}

}  // namespace
}  // namespace halvorn
