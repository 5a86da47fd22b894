#include "engine/CalibrationRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "EngineTestSupport.h"
#include "engine/Filtration.h"
#include "engine/TuckerSpectrum.h"

namespace halvorn {
namespace {

using Kind = RecordingReporter::Kind;

const char* const kPass = "　正しく計算できません ①";
const char* const kAlFit = "　正しく計算できません ②";
const char* const kCuFit = "　正しく計算できません ③";
const char* const kHvlFailed = "半価層が正しく計算できません";
const char* const kNegative = "ボウタイフィルタ厚がマイナス値になります。条件などを確認してください。";

class CalibrationRunTest : public RealTableTest {
protected:
    // 120 kV, 16 degrees, 2.5 mm inherent filtration, no added filters.
    static CalibrationInputs Inputs(double hvl, double kv = 120) { return {hvl, kv, 16, 2.5, 0, 0, 0}; }

    // A run with the HVL measured in `material` (1 aluminium, 2 copper).
    CalibrationResult Run(CalibrationInputs in) {
        reporter.entries.clear();
        in.hvlMaterial = static_cast<HvlMaterial>(material);
        return CalibrationRun(*state, in, reporter);
    }

    std::int16_t material = 1;

    // The fit's transmission curve at aluminium filtration t, worked out on a copy of the state after a run
    // has written the inputs.
    Curve FitCurveAt(double t, bool copper, int steps) const {
        auto s = std::make_unique<CalculationState>(*state);
        EXPECT_TRUE(GenerateTargetSpectrum(*s));
        Spectrum fit{};
        EXPECT_TRUE(FilterSpectrumWith(*s, s->TargetSpectrum, t, fit));
        const auto s2 = ComputeKermaSpectrum(*s, fit);
        Curve curve{};
        EXPECT_TRUE(BuildTransmissionCurve(*s, s->KermaSpectrum, copper ? s->MuCopper : s->MuAluminium,
                                           copper ? 0.001 : 0.01, steps, s2.value_or(0), curve));
        return curve;
    }

    // The model HVL of the fit's first evaluation: cm for aluminium, mm for copper.
    double FitModelHvl(double t, bool copper) const {
        const int steps = copper ? 1000 : 500;
        return 0.01 * ThicknessAtTransmission(FitCurveAt(t, copper, steps), 50, true, steps).value_or(NAN);
    }
};

// The first value outside its range is refused with one message naming it, before anything changes; the
// tube voltage above 150 kV keeps its own message.
TEST_F(CalibrationRunTest, RefusedInputsChangeNothing) {
    struct Case {
        const char* what;
        CalibrationInputs in;
        InputField field;
        MessageId message;
    };
    const Case cases[] = {
        {"151 kV", Inputs(7.0, 151), InputField::TubeVoltage, MessageId::TubeVoltageAboveMaximum},
        {"0 kV", Inputs(7.0, 0), InputField::TubeVoltage, MessageId::OutOfRange},
        {"-120 kV", Inputs(7.0, -120), InputField::TubeVoltage, MessageId::OutOfRange},
        {"HVL 0", Inputs(0), InputField::MeasuredHvl, MessageId::OutOfRange},
        {"HVL -1 and 151 kV", Inputs(-1, 151), InputField::TubeVoltage, MessageId::TubeVoltageAboveMaximum},
        {"target angle 0", {7, 120, 0, 2.5, 0, 0, 0}, InputField::TargetAngle, MessageId::OutOfRange},
        {"target angle 90", {7, 120, 90, 2.5, 0, 0, 0}, InputField::TargetAngle, MessageId::OutOfRange},
        {"negative inherent",
         {7, 120, 16, -0.1, 0, 0, 0},
         InputField::InherentFiltration,
         MessageId::OutOfRange},
        {"negative silver", {7, 120, 16, 2.5, 0, 0, -1}, InputField::AddedSilver, MessageId::OutOfRange},
    };
    for (const Case& c : cases) {
        state->TubeVoltageKv = -1;
        const auto result = Run(c.in);
        EXPECT_FALSE(result.started) << c.what;
        EXPECT_EQ(result.refused, c.field) << c.what;
        ASSERT_EQ(reporter.entries.size(), 1u) << c.what;
        EXPECT_EQ(reporter.entries[0].id, c.message) << c.what;
        EXPECT_EQ(state->TubeVoltageKv, -1) << c.what << ": nothing written";
    }
    EXPECT_EQ(reporter.entries.size(), 1u);
    Run(Inputs(7, 151));
    EXPECT_EQ(reporter.entries[0].text, " Ｘ線管電圧は最大 150 kV までです ");
    EXPECT_EQ(reporter.entries[0].caption, "");

    EXPECT_TRUE(Run(Inputs(9, 150)).started) << "150 kV is accepted";
    EXPECT_EQ(reporter.entries.front().kind, Kind::ShowBusy);
    EXPECT_TRUE(Run({7, 120, 16, 0, 0, 0, 0}).started) << "no filtration at all is accepted";
}

TEST_F(CalibrationRunTest, AluminiumRunShowsResults) {
    state->PlotCursorShown = 1;
    const auto out = Run(Inputs(7.0));
    EXPECT_EQ(Kinds(reporter),
              (std::vector<Kind>{Kind::ShowBusy, Kind::Events, Kind::Events, Kind::Events, Kind::HideBusy}));
    EXPECT_EQ(state->NominalFiltrationAlCm, 0.25);
    EXPECT_EQ(state->CalibrationPass, 2);
    EXPECT_EQ(state->HvlFitFailed, 0);
    EXPECT_EQ(state->PlotCursorShown, 0);
    // The fitted filtration reproduces the measured 0.70 cm in the fit's own model HVL.
    EXPECT_NEAR(FitModelHvl(state->FiltrationAlCm, false), 0.70, 1e-4);
    EXPECT_EQ(out.fittedFiltrationMm, state->FiltrationAlCm * 10);
    EXPECT_NEAR(out.hvlAlMm.value_or(NAN), 7.0, 0.01);
    EXPECT_EQ(out.hvlCuMm, state->HvlCuMm * 10 * 0.1);
    EXPECT_EQ(state->BowtieAlMm[0], (state->FiltrationAlCm - 0.25) * 10);
    EXPECT_GT(state->BowtieAlMm[0], 0);
    EXPECT_EQ(out.centreBowtieMm, state->BowtieAlMm[0]);
    EXPECT_TRUE(out.succeeded);
    EXPECT_EQ(state->CalibrationSucceeded, 1);
    double peak = 0;
    for (int i = 1; i <= kBinCount; ++i) {
        EXPECT_EQ(state->PointSpectra[0][i], state->BeamSpectrum[i]) << "bin " << i;
        peak = std::max(peak, state->BeamSpectrum[i]);
    }
    EXPECT_EQ(state->SpectrumPeak, peak);
    EXPECT_GT(peak, 0);
}

TEST_F(CalibrationRunTest, CopperHvlIsTakenInMillimetres) {
    material = 2;
    const auto out = Run(Inputs(0.25));
    EXPECT_TRUE(reporter.Warnings().empty());
    EXPECT_NEAR(FitModelHvl(state->FiltrationAlCm, true), 0.25, 1e-3) << "0.25 mm of copper, not 0.025";
    EXPECT_NEAR(out.hvlCuMm.value_or(NAN), 0.25, 0.005);
    EXPECT_TRUE(out.succeeded);
}

TEST_F(CalibrationRunTest, FitDirectionsAndEqualHvl) {
    Run(Inputs(7.0));  // writes the inputs the model HVL below depends on
    const double t0 = 0.25;
    const double h0 = FitModelHvl(t0, false);

    // A measured HVL exactly equal to the model HVL at the nominal filtration: no trial, no fitted value.
    double equal = NAN;
    double y = h0 / 0.1;
    for (int i = 0; i < 32; ++i)
        y = std::nextafter(y, INFINITY);
    for (int i = 0; i < 64 && std::isnan(equal); ++i, y = std::nextafter(y, 0.0))
        if (y * 0.1 == h0)
            equal = y;
    ASSERT_FALSE(std::isnan(equal)) << "no measured value giving " << Exact(h0);
    state->PointSpectra[0][100] = 42;
    auto out = Run(Inputs(equal));
    EXPECT_EQ(state->FiltrationAlCm, t0) << Exact(equal);
    EXPECT_FALSE(out.fittedFiltrationMm);
    EXPECT_EQ(reporter.Warnings(), std::vector<std::string>{kNegative});
    EXPECT_FALSE(out.centreBowtieMm);
    EXPECT_FALSE(out.succeeded) << "a bowtie thickness of 0 is no calibration";
    EXPECT_EQ(state->CalibrationSucceeded, 0);
    EXPECT_EQ(state->PointSpectra[0][100], 42) << "centre spectrum not stored";
    EXPECT_TRUE(out.hvlAlMm);

    // Just below: direction 1, one trial.
    out = Run(Inputs((h0 - 1e-5) * 10));
    EXPECT_GT(state->FiltrationAlCm, t0 - 0.01);
    EXPECT_LT(state->FiltrationAlCm, t0);
    EXPECT_TRUE(out.fittedFiltrationMm);

    // Just above: direction 2, one trial.
    out = Run(Inputs((h0 + 1e-5) * 10));
    EXPECT_GT(state->FiltrationAlCm, t0);
    EXPECT_LT(state->FiltrationAlCm, t0 + 0.01);
    EXPECT_TRUE(out.fittedFiltrationMm);
    EXPECT_TRUE(reporter.Warnings().empty());
    // The fit leaves the whole 300-step curve of its trial, and the first evaluation's steps beyond.
    const Curve trial = FitCurveAt(t0 + 0.01, false, 300);
    const Curve first = FitCurveAt(t0, false, 500);
    for (int k = 1; k <= 500; ++k)
        EXPECT_EQ(state->FitTransmission[k], k <= 300 ? trial[k] : first[k]) << "step " << k;
}

// A model that fails in every phase (a tungsten table that overflows the target spectrum) gives the three
// failures in order; the run ends in its after-run reports, not succeeded, with the previous results kept.
TEST_F(CalibrationRunTest, FailingModelFailsEveryPhase) {
    Run(Inputs(7.0));
    const auto centre = state->PointSpectra[0];
    const double bowtie = state->BowtieAlMm[0];
    for (std::int16_t m : {1, 2}) {
        material = m;
        state->MuTungsten.fill(-1e300);
        const auto out = Run(Inputs(material == 1 ? 7.0 : 0.4));
        EXPECT_EQ(reporter.Warnings(),
                  (std::vector<std::string>{kPass, material == 1 ? kAlFit : kCuFit, kPass}))
            << "material " << material;
        EXPECT_EQ(reporter.entries.back().kind, Kind::HideBusy);
        EXPECT_EQ(state->FiltrationAlCm, 0.25) << "the fit leaves the filtration alone";
        EXPECT_TRUE(out.started);
        EXPECT_FALSE(out.succeeded);
        EXPECT_EQ(state->CalibrationSucceeded, 0);
        EXPECT_FALSE(out.fittedFiltrationMm || out.hvlAlMm || out.hvlCuMm || out.centreBowtieMm);
        EXPECT_EQ(state->PointSpectra[0], centre);
        EXPECT_EQ(state->BowtieAlMm[0], bowtie);
    }
}

// Measured HVLs that no filtration gives end the fit at once with the HVL message; pass 2 is skipped and
// the previous results stay. A later sound run works again.
TEST_F(CalibrationRunTest, UnreachableHvlEndsTheFit) {
    struct Case {
        std::int16_t material;
        double kv;
        double hvl;
    };
    for (const Case& c : {Case{1, 120, 65}, Case{1, 150, 18}, Case{2, 120, 50}}) {
        material = 1;
        Run(Inputs(7.0));
        const auto centre = state->PointSpectra[0];
        material = c.material;
        const auto out = Run(Inputs(c.hvl, c.kv));
        EXPECT_EQ(reporter.Warnings(), std::vector<std::string>{kHvlFailed}) << c.hvl << " at " << c.kv;
        EXPECT_EQ(state->HvlFitFailed, 1) << c.hvl;
        EXPECT_EQ(state->FiltrationAlCm, 0.25) << c.hvl;
        EXPECT_FALSE(out.fittedFiltrationMm || out.hvlAlMm || out.hvlCuMm || out.centreBowtieMm) << c.hvl;
        EXPECT_FALSE(out.succeeded) << c.hvl;
        EXPECT_EQ(state->CalibrationSucceeded, 0) << c.hvl;
        EXPECT_EQ(state->PointSpectra[0], centre) << c.hvl;
        EXPECT_EQ(reporter.entries.back().kind, Kind::HideBusy) << c.hvl;
    }
    material = 1;
    EXPECT_TRUE(Run(Inputs(7.0)).succeeded);
    EXPECT_EQ(state->HvlFitFailed, 0);
    EXPECT_EQ(state->CalibrationSucceeded, 1);
}

// A measured HVL below what the model gives with no filtration at all (a small positive value) cannot be
// fitted: the fit gives up with the one HVL message as soon as a trial would need negative aluminium, pass 2
// is skipped and the previous results stay. Just above that HVL, the fit reaches a filtration near 0.
TEST_F(CalibrationRunTest, HvlBelowAnyFiltrationEndsTheFit) {
    struct Case {
        std::int16_t material;
        double kv;
        double hvl;
    };
    for (const Case& c : {Case{1, 120, 0.01}, Case{1, 150, 0.01}, Case{1, 60, 0.001}, Case{2, 120, 0.001}}) {
        material = 1;
        Run(Inputs(7.0));
        const auto centre = state->PointSpectra[0];
        material = c.material;
        const auto out = Run(Inputs(c.hvl, c.kv));
        const std::string what = Exact(c.hvl) + " mm at " + Exact(c.kv) + " kV";
        EXPECT_EQ(reporter.Warnings(), std::vector<std::string>{kHvlFailed}) << what;
        EXPECT_EQ(state->HvlFitFailed, 1) << what;
        EXPECT_EQ(state->FiltrationAlCm, 0.25) << what;
        EXPECT_FALSE(out.fittedFiltrationMm || out.hvlAlMm || out.succeeded) << what;
        EXPECT_EQ(state->PointSpectra[0], centre) << what;
        EXPECT_EQ(reporter.entries.back().kind, Kind::HideBusy) << what;
    }
    // With no inherent filtration, an HVL a little above the bare model's is fitted to a small filtration.
    material = 1;
    Run({7, 120, 16, 0, 0, 0, 0});
    const double bare = FitModelHvl(0, false) * 10;
    const auto out = Run({bare + 0.01, 120, 16, 0, 0, 0, 0});
    EXPECT_TRUE(out.succeeded) << "HVL " << Exact(bare + 0.01);
    EXPECT_GT(state->FiltrationAlCm, 0);
    EXPECT_LT(state->FiltrationAlCm, 0.01);
}

// An aluminium far more transparent than the real one moves the crossing of the curves out of reach: of
// the first evaluation (500 steps, model HVL near 58 mm) with a hundredth of the coefficients, of a trial
// (300 steps) with 0.3 of them.
TEST_F(CalibrationRunTest, CrossingBeyondTheComputedSteps) {
    Run(Inputs(7.0));
    const auto centre = state->PointSpectra[0];
    const auto realAluminium = state->MuAluminium;

    for (double& mu : state->MuAluminium)
        mu *= 0.01;
    auto out = Run(Inputs(7.0));
    EXPECT_EQ(reporter.Warnings(), std::vector<std::string>{kHvlFailed}) << "first evaluation";
    EXPECT_EQ(state->HvlFitFailed, 1);
    EXPECT_FALSE(out.hvlAlMm || out.centreBowtieMm);
    EXPECT_EQ(state->PointSpectra[0], centre);

    // Model HVL of about 5.8 mm at the nominal filtration and a limit of about 56 mm: the trials head for
    // 40 mm, and the curve of 300 steps stops crossing 50 % at 30 mm.
    for (int i = 0; i <= kBinCount; ++i)
        state->MuAluminium[i] = realAluminium[i] * 0.3;
    out = Run(Inputs(40));
    EXPECT_EQ(reporter.Warnings(), std::vector<std::string>{kHvlFailed}) << "trial";
    EXPECT_EQ(state->HvlFitFailed, 1);
    EXPECT_EQ(state->FiltrationAlCm, 0.25);
}

}  // namespace
}  // namespace halvorn
