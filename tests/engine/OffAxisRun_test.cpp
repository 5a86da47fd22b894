#include "engine/OffAxisRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "EngineTestSupport.h"
#include "engine/CalibrationRun.h"
#include "engine/Filtration.h"
#include "engine/NumberText.h"

namespace halvorn {
namespace {

using Kind = RecordingReporter::Kind;

const char* const kSolverFailed = "　正しく計算できません ④ ";
const char* const kInputError = " 入力データに誤りがあります！ ";
const char* const kDone = "  計算が終了しました  ";
constexpr double kMarker = 0.25;  // what points beyond N hold before a run

// A calibrated state (120 kV, 16 degrees, 2.5 mm Al, HVL 7.0 mm Al) whose points 1..25 hold markers.
class OffAxisRunTest : public RealTableTest {
protected:
    void SetUp() override {
        RealTableTest::SetUp();
        if (!state)
            return;
        RecordingReporter calibration;
        ASSERT_TRUE(CalibrationRun(*state, {"7.0", "120", "16", "2.5", "0", "0", "0"}, calibration).Label21);
        for (int p = 1; p <= kMaxPoint; ++p) {
            state->BowtieAlMm[p] = -kMarker;
            state->DoseProfile[1][p] = kMarker;
            state->PointSpectra[p].fill(kMarker);
            state->PointSpectra[p][0] = 0;  // bin 0 is never used
        }
        centre = state->PointSpectra[0];
        fields[1] = "50";
        fields[28] = "1";
    }

    // Row p (1..25): distance and reading.
    void Row(int p, const std::string& distance, const std::string& reading) {
        fields[p + 2] = distance;
        fields[p + 28] = reading;
    }

    OffAxisOutcome Run(const std::string& n) {
        fields[54] = n;
        reporter.entries.clear();
        return OffAxisRun(*state, fields, reporter);
    }

    // Bowtie path of a relative kerma, read off the centre curve as the solver does.
    double Bowtie(double percent) const {
        return state->BowtieAlMm[0] +
               10 *
                   (0.01 * ThicknessAtTransmission(state->AlTransmissionCurve, percent, false).value_or(NAN));
    }

    void ExpectNormalised(int lastPoint) const {
        EXPECT_EQ(*std::max_element(state->PointSpectra[0].begin() + 1, state->PointSpectra[0].end()), 1.0);
        for (int p = 0; p <= lastPoint; ++p)
            for (int i = 1; i <= kBinCount; ++i) {
                const double v = state->PointSpectra[p][i];
                EXPECT_TRUE(v == 0 || (v > 1e-10 && v <= 1)) << "point " << p << " bin " << i << ": " << v;
            }
    }

    ProfileFields fields;
    Spectrum centre{};
};

TEST_F(OffAxisRunTest, CentreOnly) {
    EXPECT_EQ(Run("0"), OffAxisOutcome::Completed);
    EXPECT_EQ(Kinds(reporter),
              (std::vector<Kind>{Kind::ShowBusy, Kind::Events, Kind::Events, Kind::Notice, Kind::HideBusy}));
    EXPECT_EQ(reporter.entries[3].text, kDone);
    EXPECT_EQ(state->DoseProfile[0][0], 0);
    EXPECT_EQ(state->DoseProfile[1][0], 1);
    EXPECT_EQ(state->SpectrumPeak, *std::max_element(centre.begin() + 1, centre.end()));
    ExpectNormalised(0);
    EXPECT_EQ(state->BowtieAlMm[1], -kMarker) << "no thickness solved";
    EXPECT_EQ(state->PointSpectra[1][10], kMarker);
}

TEST_F(OffAxisRunTest, FractionalCountAndRowsBeyondN) {
    Row(1, "10", "0.5");  // 0.5 x (1 + (10/50)^2) = 0.52
    Row(2, "20", "0.3");
    Row(3, "30", "0.2");
    EXPECT_EQ(Run("2.5"), OffAxisOutcome::Completed);
    EXPECT_TRUE(reporter.Warnings().empty());
    EXPECT_DOUBLE_EQ(state->DoseProfile[1][1], 0.52);
    EXPECT_EQ(state->DoseProfile[1][3], 0.2 * (1 + 0.6 * 0.6)) << "every row is converted";
    EXPECT_EQ(state->DoseProfile[1][4], 0) << "an empty row";
    EXPECT_EQ(state->BowtieAlMm[1], Bowtie(100 * state->DoseProfile[1][1]));
    EXPECT_GT(state->BowtieAlMm[1], state->BowtieAlMm[0]);
    EXPECT_GT(state->BowtieAlMm[2], state->BowtieAlMm[1]);
    EXPECT_EQ(state->BowtieAlMm[3], -kMarker) << "point 3 lies beyond N = 2.5";
    ExpectNormalised(2);
    EXPECT_LT(*std::max_element(state->PointSpectra[2].begin() + 1, state->PointSpectra[2].end()),
              *std::max_element(state->PointSpectra[1].begin() + 1, state->PointSpectra[1].end()));
    for (int i = 1; i <= kBinCount; ++i)
        EXPECT_EQ(state->PointSpectra[3][i], kMarker) << "point 3, bin " << i;
    EXPECT_EQ(state->FiltrationAlCm, state->NominalFiltrationAlCm + 0.1 * state->BowtieAlMm[2])
        << "the last point's filtration stays";
}

TEST_F(OffAxisRunTest, MorePointsThanTheGridHolds) {
    for (int p = 1; p <= kMaxPoint; ++p)
        Row(p, Exact(2.0 * p), Exact(1.0 - 0.03 * p));
    EXPECT_EQ(Run("26"), OffAxisOutcome::Completed);
    EXPECT_EQ(Kinds(reporter),
              (std::vector<Kind>{Kind::ShowBusy, Kind::Warning, Kind::Events, Kind::Notice, Kind::HideBusy}));
    EXPECT_EQ(reporter.entries[1].text, kSolverFailed);
    for (int p = 1; p <= kMaxPoint; ++p)
        EXPECT_NE(state->BowtieAlMm[p], -kMarker) << "point " << p;
    EXPECT_EQ(state->BowtieAlMm[25], Bowtie(100 * state->DoseProfile[1][25]));
    EXPECT_EQ(state->PointSpectra[0], centre) << "spectra not recomputed";
    EXPECT_EQ(state->PointSpectra[25][40], kMarker);
}

TEST_F(OffAxisRunTest, ThicknessFromTheCentreCurve) {
    // A percentage exactly equal to the curve value at step k gives k steps exactly. The reading is chosen
    // so that reading / 1 x 1 x 100 reproduces the curve value bit for bit.
    int k = 0;
    for (int step = 20; step < 999 && k == 0; ++step) {
        const std::string text = Exact(state->AlTransmissionCurve[step] / 100);
        if (100 * ((LeadingNumber(text) / 1) * (1 + (0 / 50.0) * (0 / 50.0))) ==
            state->AlTransmissionCurve[step]) {
            k = step;
            Row(1, "0", text);
        }
    }
    ASSERT_NE(k, 0) << "no exactly representable curve step";
    // At or above the centre's kerma: the centre value and the centre's spectrum.
    Row(2, "0", "1");
    Row(3, "30", "0.95");  // 0.95 x 1.36
    EXPECT_EQ(Run("3"), OffAxisOutcome::Completed);
    EXPECT_TRUE(reporter.Warnings().empty());
    EXPECT_EQ(state->BowtieAlMm[1], state->BowtieAlMm[0] + 10 * (0.01 * k)) << "step " << k;
    for (int p : {2, 3}) {
        EXPECT_EQ(state->BowtieAlMm[p], state->BowtieAlMm[0]) << "point " << p;
        EXPECT_EQ(state->PointSpectra[p], state->PointSpectra[0]) << "point " << p;
    }
}

TEST_F(OffAxisRunTest, SolverFailures) {
    // An empty reading within the first N rows: the logarithm of 0.
    Row(1, "10", "0.5");
    Row(2, "20", "");
    EXPECT_EQ(Run("3"), OffAxisOutcome::Completed);
    EXPECT_EQ(reporter.Warnings(), std::vector<std::string>{kSolverFailed}) << "empty reading of row 2";
    EXPECT_EQ(reporter.entries.at(3).text, kDone);
    EXPECT_EQ(state->BowtieAlMm[1], Bowtie(52)) << "point 1 solved before the failure";
    EXPECT_EQ(state->BowtieAlMm[2], -kMarker);
    EXPECT_EQ(state->PointSpectra[0], centre);

    // The same empty row beyond N is harmless.
    EXPECT_EQ(Run("1"), OffAxisOutcome::Completed);
    EXPECT_TRUE(reporter.Warnings().empty()) << "N = 1";

    // A centre spectrum without a single photon cannot be normalised; nothing undefined is stored.
    state->NominalFiltrationAlCm = 1e4;
    state->ProfilePointCount = 1;
    reporter.entries.clear();
    SolveBowtieProfile(*state, reporter);
    EXPECT_EQ(reporter.Warnings(), std::vector<std::string>{kSolverFailed}) << "zero peak";
    EXPECT_EQ(state->SpectrumPeak, 0);
    for (int p = 0; p <= 1; ++p)
        for (double v : state->PointSpectra[p])
            EXPECT_TRUE(std::isfinite(v)) << "point " << p;
}

TEST_F(OffAxisRunTest, InputErrorsStopBeforeTheSolver) {
    Row(1, "10", "0.5");
    struct Case {
        const char* focus;
        const char* centreReading;
        const char* reading;
    };
    for (const Case& c :
         {Case{"50", "", "0.5"}, Case{"", "1", "0.5"}, Case{"0", "1", "0.5"}, Case{"50", "1", "1e999"}}) {
        fields[1] = c.focus;
        fields[28] = c.centreReading;
        fields[29] = c.reading;
        const std::string what = std::string("Text1 '") + c.focus + "' Text28 '" + c.centreReading +
                                 "' Text29 '" + c.reading + "'";
        EXPECT_EQ(Run("1"), OffAxisOutcome::InputError) << what;
        ASSERT_EQ(reporter.entries.size(), 1u) << what;
        EXPECT_EQ(reporter.entries[0].text, kInputError) << what;
        EXPECT_EQ(reporter.entries[0].caption, "") << what;
        EXPECT_EQ(state->FocusCentreDistanceCm, LeadingNumber(c.focus)) << what;
        EXPECT_EQ(state->DoseProfile[0][1], 10) << what;
        EXPECT_EQ(state->DoseProfile[1][0], 1) << what;
        EXPECT_EQ(state->DoseProfile[1][1], kMarker) << what;
        EXPECT_EQ(state->BowtieAlMm[1], -kMarker) << what;
        EXPECT_EQ(state->PointSpectra[0], centre) << what;
    }

    // A number too large for a double in any converted field fails at that field: its target keeps its
    // value, no infinity reaches the state, and the solver does not run.
    struct Overflow {
        int field;
        const char* text;
    };
    for (const Overflow& o : {Overflow{1, "1e999"}, Overflow{54, "-1e999"}, Overflow{4, "1e999"},
                              Overflow{28, "1e999"}, Overflow{30, "1e999"}}) {
        fields = ProfileFields{};
        fields[1] = "50";
        fields[28] = "1";
        Row(1, "10", "0.5");
        Row(2, "20", "0.4");
        fields[o.field] = o.text;
        state->FocusCentreDistanceCm = 77;
        state->ProfilePointCount = 7;
        state->DoseProfile[0][2] = kMarker;
        state->DoseProfile[1][2] = kMarker;
        const std::string what = "Text" + std::to_string(o.field) + " '" + o.text + "'";
        EXPECT_EQ(Run(o.field == 54 ? o.text : "2"), OffAxisOutcome::InputError) << what;
        EXPECT_EQ(reporter.Warnings(), std::vector<std::string>{kInputError}) << what;
        EXPECT_EQ(reporter.entries.size(), 1u) << what << ": no busy dialog, no solver";
        EXPECT_EQ(state->FocusCentreDistanceCm, o.field == 1 ? 77 : 50) << what;
        EXPECT_EQ(state->ProfilePointCount, o.field == 1 || o.field == 54 ? 7 : 2) << what;
        const bool distancesRead = o.field == 28 || o.field == 30;
        EXPECT_EQ(state->DoseProfile[0][2], distancesRead ? 20 : kMarker) << what;
        EXPECT_EQ(state->DoseProfile[1][2], kMarker) << what;
        for (int p = 0; p <= kMaxPoint; ++p)
            EXPECT_TRUE(std::isfinite(state->DoseProfile[0][p]) && std::isfinite(state->DoseProfile[1][p]))
                << what << ", point " << p;
        EXPECT_EQ(state->BowtieAlMm[1], -kMarker) << what;
        EXPECT_EQ(state->PointSpectra[0], centre) << what;
    }
}

}  // namespace
}  // namespace halvorn
