#include "engine/CalibrationRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "EngineTestSupport.h"
#include "engine/Filtration.h"
#include "engine/NumberText.h"
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
    static CalibrationInputs Inputs(const std::string& hvl, const std::string& kv = "120") {
        return {hvl, kv, "16", "2.5", "0", "0", "0"};
    }

    CalibrationOutcome Run(const CalibrationInputs& in) {
        reporter.entries.clear();
        return CalibrationRun(*state, in, reporter);
    }

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

TEST_F(CalibrationRunTest, ValidationOrderAndMessages) {
    auto in = Inputs("");
    in.Text1 = "";
    EXPECT_FALSE(Run(in).started);
    ASSERT_EQ(reporter.entries.size(), 1u) << "both fields empty: only the first message";
    EXPECT_EQ(reporter.entries[0].text, " 実測半価層を入力して下さい ");
    EXPECT_EQ(reporter.entries[0].caption, "実測半価層");
    EXPECT_EQ(state->TubeVoltageKv, 0) << "nothing written on a refused run";

    EXPECT_FALSE(Run(Inputs("7.0", "")).started);
    ASSERT_EQ(reporter.entries.size(), 1u);
    EXPECT_EQ(reporter.entries[0].text, " Ｘ線管電圧を入力して下さい ");
    EXPECT_EQ(reporter.entries[0].caption, "Ｘ線管電圧");

    for (const char* kv : {"151", "150.01", "1e999"}) {
        EXPECT_FALSE(Run(Inputs("7.0", kv)).started) << kv;
        ASSERT_EQ(reporter.entries.size(), 1u) << kv;
        EXPECT_EQ(reporter.entries[0].text, " Ｘ線管電圧は最大 150 kV までです ") << kv;
        EXPECT_EQ(reporter.entries[0].caption, "") << kv;
    }

    EXPECT_TRUE(Run(Inputs("9", "150")).started) << "150 kV is accepted";
    EXPECT_EQ(reporter.entries.front().kind, Kind::ShowBusy);

    // Blanks alone are not empty; the measured HVL is then 0, which the fit cannot reach.
    EXPECT_TRUE(Run(Inputs("   ")).started) << "blank Text13";
    EXPECT_EQ(reporter.entries.front().kind, Kind::ShowBusy);

    EXPECT_TRUE(Run(Inputs("7.0", "120kV")).started);
    EXPECT_EQ(state->TubeVoltageKv, 120) << "\"120kV\"";
}

TEST_F(CalibrationRunTest, AluminiumRunShowsResults) {
    state->PlotCursorShown = 1;
    const auto out = Run(Inputs("7.0"));
    EXPECT_EQ(Kinds(reporter),
              (std::vector<Kind>{Kind::ShowBusy, Kind::Events, Kind::Events, Kind::Events, Kind::HideBusy}));
    EXPECT_EQ(state->NominalFiltrationAlCm, 0.25);
    EXPECT_EQ(state->CalibrationPass, 2);
    EXPECT_EQ(state->HvlFitFailed, 0);
    EXPECT_EQ(state->PlotCursorShown, 0);
    // The fitted filtration reproduces the measured 0.70 cm in the fit's own model HVL.
    EXPECT_NEAR(FitModelHvl(state->FiltrationAlCm, false), 0.70, 1e-4);
    EXPECT_EQ(out.Text2, FormatPicture(state->FiltrationAlCm * 10, "0.000"));
    EXPECT_NEAR(LeadingNumber(out.Text9.value_or("")), 7.0, 0.02);
    EXPECT_EQ(out.Text8, FormatPicture(state->HvlCuMm * 10 * 0.1, "#0.00"));
    EXPECT_EQ(out.Label20, out.Text9) << "aluminium measured";
    EXPECT_EQ(state->BowtieAlMm[0], (state->FiltrationAlCm - 0.25) * 10);
    EXPECT_GT(state->BowtieAlMm[0], 0);
    EXPECT_EQ(out.Label21, FormatPicture(state->BowtieAlMm[0], "0.000"));
    EXPECT_TRUE(out.drawCentreSpectrum);
    double peak = 0;
    for (int i = 1; i <= kBinCount; ++i) {
        EXPECT_EQ(state->PointSpectra[0][i], state->BeamSpectrum[i]) << "bin " << i;
        peak = std::max(peak, state->BeamSpectrum[i]);
    }
    EXPECT_EQ(state->SpectrumPeak, peak);
    EXPECT_GT(peak, 0);
}

TEST_F(CalibrationRunTest, CopperHvlIsTakenInMillimetres) {
    state->HvlMaterial = 2;
    const auto out = Run(Inputs("0.25"));
    EXPECT_TRUE(reporter.Warnings().empty());
    EXPECT_NEAR(FitModelHvl(state->FiltrationAlCm, true), 0.25, 1e-3) << "0.25 mm of copper, not 0.025";
    EXPECT_NEAR(LeadingNumber(out.Text8.value_or("")), 0.25, 0.01);
    EXPECT_EQ(out.Label20, out.Text8) << "copper measured";
    EXPECT_NE(out.Label20, out.Text9);
}

TEST_F(CalibrationRunTest, FitDirectionsAndEqualHvl) {
    Run(Inputs("7.0"));  // writes the inputs the model HVL below depends on
    const double t0 = 0.25;
    const double h0 = FitModelHvl(t0, false);

    // A measured HVL exactly equal to the model HVL at the nominal filtration: no trial, no Text2.
    std::string text;
    double y = h0 / 0.1;
    for (int i = 0; i < 32; ++i)
        y = std::nextafter(y, INFINITY);
    for (int i = 0; i < 64 && text.empty(); ++i, y = std::nextafter(y, 0.0))
        if (LeadingNumber(Exact(y)) * 0.1 == h0)
            text = Exact(y);
    ASSERT_FALSE(text.empty()) << "no text reading back as " << Exact(h0);
    state->PointSpectra[0][100] = 42;
    auto out = Run(Inputs(text));
    EXPECT_EQ(state->FiltrationAlCm, t0) << text;
    EXPECT_FALSE(out.Text2) << text;
    EXPECT_EQ(reporter.Warnings(), std::vector<std::string>{kNegative}) << text;
    EXPECT_FALSE(out.Label21);
    EXPECT_FALSE(out.drawCentreSpectrum);
    EXPECT_EQ(state->PointSpectra[0][100], 42) << "centre spectrum not stored";
    EXPECT_TRUE(out.Text9);

    // Just below: direction 1, one trial.
    out = Run(Inputs(Exact((h0 - 1e-5) * 10)));
    EXPECT_GT(state->FiltrationAlCm, t0 - 0.01);
    EXPECT_LT(state->FiltrationAlCm, t0);
    EXPECT_TRUE(out.Text2);

    // Just above: direction 2, one trial.
    out = Run(Inputs(Exact((h0 + 1e-5) * 10)));
    EXPECT_GT(state->FiltrationAlCm, t0);
    EXPECT_LT(state->FiltrationAlCm, t0 + 0.01);
    EXPECT_TRUE(out.Text2);
    EXPECT_TRUE(reporter.Warnings().empty());
    // The fit leaves the whole 300-step curve of its trial, and the first evaluation's steps beyond.
    const Curve trial = FitCurveAt(t0 + 0.01, false, 300);
    const Curve first = FitCurveAt(t0, false, 500);
    for (int k = 1; k <= 500; ++k)
        EXPECT_EQ(state->FitTransmission[k], k <= 300 ? trial[k] : first[k]) << "step " << k;
}

TEST_F(CalibrationRunTest, TargetAngleZeroFailsEveryPhase) {
    Run(Inputs("7.0"));
    const auto centre = state->PointSpectra[0];
    const double bowtie = state->BowtieAlMm[0];
    for (std::int16_t material : {1, 2}) {
        state->HvlMaterial = material;
        auto in = Inputs(material == 1 ? "7.0" : "0.4");
        in.Text5 = "0";
        const auto out = Run(in);
        EXPECT_EQ(reporter.Warnings(),
                  (std::vector<std::string>{kPass, material == 1 ? kAlFit : kCuFit, kPass}))
            << "material " << material;
        EXPECT_EQ(reporter.entries.back().kind, Kind::HideBusy);
        EXPECT_EQ(state->FiltrationAlCm, 0.25) << "the fit leaves the filtration alone";
        EXPECT_TRUE(out.started);
        EXPECT_FALSE(out.Text2 || out.Text9 || out.Text8 || out.Label20 || out.Label21);
        EXPECT_EQ(state->PointSpectra[0], centre);
        EXPECT_EQ(state->BowtieAlMm[0], bowtie);
    }
}

// Measured HVLs that no filtration gives end the fit at once with the HVL message; pass 2 is skipped and
// the previous results stay. A later sound run works again.
TEST_F(CalibrationRunTest, UnreachableHvlEndsTheFit) {
    struct Case {
        std::int16_t material;
        const char* kv;
        const char* hvl;
    };
    for (const Case& c : {Case{1, "120", "65"}, Case{1, "150", "18"}, Case{2, "120", "50"}}) {
        state->HvlMaterial = 1;
        Run(Inputs("7.0"));
        const auto centre = state->PointSpectra[0];
        state->HvlMaterial = c.material;
        const auto out = Run(Inputs(c.hvl, c.kv));
        EXPECT_EQ(reporter.Warnings(), std::vector<std::string>{kHvlFailed}) << c.hvl << " at " << c.kv;
        EXPECT_EQ(state->HvlFitFailed, 1) << c.hvl;
        EXPECT_EQ(state->FiltrationAlCm, 0.25) << c.hvl;
        EXPECT_FALSE(out.Text2 || out.Text9 || out.Text8 || out.Label20 || out.Label21) << c.hvl;
        EXPECT_FALSE(out.drawCentreSpectrum) << c.hvl;
        EXPECT_EQ(state->PointSpectra[0], centre) << c.hvl;
        EXPECT_EQ(reporter.entries.back().kind, Kind::HideBusy) << c.hvl;
    }
    state->HvlMaterial = 1;
    EXPECT_TRUE(Run(Inputs("7.0")).Label21);
    EXPECT_EQ(state->HvlFitFailed, 0);
}

// A measured HVL below the softest beam the model can make (near 0, 0 for a blank field, or negative) drives
// the trial filtration below zero until the filter's exponential overflows: the fit's arithmetic failure
// (② or ③), the nominal filtration stays, pass 2 runs with it and finds a centre bowtie thickness of 0.
// The fit does not give up on its own before that, so pass 2 is not skipped.
TEST_F(CalibrationRunTest, HvlNearZeroOverflowsTheFit) {
    struct Case {
        std::int16_t material;
        const char* kv;
        const char* hvl;
    };
    for (const Case& c : {Case{1, "120", "0.01"}, Case{1, "150", "0.01"}, Case{1, "120", "   "},
                          Case{1, "60", "-5"}, Case{2, "120", "0.001"}}) {
        state->HvlMaterial = 1;
        Run(Inputs("7.0"));
        const auto centre = state->PointSpectra[0];
        state->HvlMaterial = c.material;
        const auto out = Run(Inputs(c.hvl, c.kv));
        const std::string what = std::string("\"") + c.hvl + "\" at " + c.kv + " kV";
        EXPECT_EQ(reporter.Warnings(),
                  (std::vector<std::string>{c.material == 1 ? kAlFit : kCuFit, kNegative}))
            << what;
        EXPECT_EQ(state->HvlFitFailed, 0) << what;
        EXPECT_EQ(state->FiltrationAlCm, 0.25) << what;
        EXPECT_EQ(state->BowtieAlMm[0], 0) << what;
        EXPECT_FALSE(out.Text2) << what;
        EXPECT_TRUE(out.Text9 && out.Text8 && out.Label20) << what << ": pass 2 shows its HVLs";
        EXPECT_FALSE(out.Label21 || out.drawCentreSpectrum) << what;
        EXPECT_EQ(state->PointSpectra[0], centre) << what;
        EXPECT_EQ(reporter.entries.back().kind, Kind::HideBusy) << what;
    }
}

// An aluminium far more transparent than the real one moves the crossing of the curves out of reach: of
// the first evaluation (500 steps, model HVL near 58 mm) with a hundredth of the coefficients, of a trial
// (300 steps) with 0.3 of them.
TEST_F(CalibrationRunTest, CrossingBeyondTheComputedSteps) {
    Run(Inputs("7.0"));
    const auto centre = state->PointSpectra[0];
    const auto realAluminium = state->MuAluminium;

    for (double& mu : state->MuAluminium)
        mu *= 0.01;
    auto out = Run(Inputs("7.0"));
    EXPECT_EQ(reporter.Warnings(), std::vector<std::string>{kHvlFailed}) << "first evaluation";
    EXPECT_EQ(state->HvlFitFailed, 1);
    EXPECT_FALSE(out.Text9 || out.Label21);
    EXPECT_EQ(state->PointSpectra[0], centre);

    // Model HVL of about 5.8 mm at the nominal filtration and a limit of about 56 mm: the trials head for
    // 40 mm, and the curve of 300 steps stops crossing 50 % at 30 mm.
    for (int i = 0; i <= kBinCount; ++i)
        state->MuAluminium[i] = realAluminium[i] * 0.3;
    out = Run(Inputs("40"));
    EXPECT_EQ(reporter.Warnings(), std::vector<std::string>{kHvlFailed}) << "trial";
    EXPECT_EQ(state->HvlFitFailed, 1);
    EXPECT_EQ(state->FiltrationAlCm, 0.25);
}

}  // namespace
}  // namespace halvorn
