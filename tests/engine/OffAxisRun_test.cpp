#include "engine/OffAxisRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "EngineTestSupport.h"
#include "engine/CalibrationRun.h"
#include "engine/Filtration.h"

namespace halvorn {
namespace {

using Kind = RecordingReporter::Kind;

const char* const kSolverFailed = "　正しく計算できません ④ ";
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
        ASSERT_TRUE(CalibrationRun(*state, {7.0, 120, 16, 2.5, 0, 0, 0}, calibration).succeeded);
        for (int p = 1; p <= kMaxPoint; ++p) {
            state->BowtieAlMm[p] = -kMarker;
            state->DoseProfile[1][p] = kMarker;
            state->PointSpectra[p].fill(kMarker);
            state->PointSpectra[p][0] = 0;  // bin 0 is never used
        }
        centre = state->PointSpectra[0];
        grid.focusDistanceCm = 50;
        grid.reading[0] = 1;
    }

    // Row p (1..25): distance and reading.
    void Row(int p, double distance, double reading) {
        grid.distanceCm[p] = distance;
        grid.reading[p] = reading;
    }

    OffAxisOutcome Run(double n) {
        grid.pointCount = n;
        reporter.entries.clear();
        return OffAxisRun(*state, grid, reporter).outcome;
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

    ProfileGrid grid;
    Spectrum centre{};
};

TEST_F(OffAxisRunTest, CentreOnly) {
    EXPECT_EQ(Run(0), OffAxisOutcome::Completed);
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
    Row(1, 10, 0.5);  // 0.5 x (1 + (10/50)^2) = 0.52
    Row(2, 20, 0.3);
    Row(3, 30, 0.2);
    EXPECT_EQ(Run(2.5), OffAxisOutcome::Completed);
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

// A count above the grid's 25 points is refused before anything is written; the solver itself, given such a
// count in the state, stops at point 26 with its failure after solving points 1..25.
TEST_F(OffAxisRunTest, MorePointsThanTheGridHolds) {
    for (int p = 1; p <= kMaxPoint; ++p)
        Row(p, 2.0 * p, 1.0 - 0.03 * p);
    EXPECT_EQ(Run(26), OffAxisOutcome::Refused);
    EXPECT_EQ(Kinds(reporter), std::vector<Kind>{Kind::Warning});
    EXPECT_EQ(reporter.entries[0].id, MessageId::OutOfRange);
    EXPECT_EQ(state->DoseProfile[1][1], kMarker);

    grid.focusDistanceCm = 60;  // beyond point 25 at 50 cm
    EXPECT_EQ(Run(25), OffAxisOutcome::Completed);
    state->ProfilePointCount = 26;
    reporter.entries.clear();
    EXPECT_FALSE(SolveBowtieProfile(*state, reporter));
    EXPECT_EQ(reporter.Warnings(), std::vector<std::string>{kSolverFailed});
    EXPECT_EQ(state->BowtieAlMm[25], Bowtie(100 * state->DoseProfile[1][25]));
}

TEST_F(OffAxisRunTest, ThicknessFromTheCentreCurve) {
    // A percentage exactly equal to the curve value at step k gives k steps exactly. The reading is chosen
    // so that reading / 1 x 1 x 100 reproduces the curve value bit for bit; a distance of 1e-9 cm (a point in
    // use is never at 0) leaves the distance correction exactly 1.
    constexpr double kNearCentre = 1e-9;
    int k = 0;
    for (int step = 20; step < 999 && k == 0; ++step) {
        const double reading = state->AlTransmissionCurve[step] / 100;
        const double correction = 1 + (kNearCentre / 50.0) * (kNearCentre / 50.0);
        if (100 * ((reading / 1) * correction) == state->AlTransmissionCurve[step]) {
            k = step;
            Row(1, kNearCentre, reading);
        }
    }
    ASSERT_NE(k, 0) << "no exactly representable curve step";
    // At or above the centre's kerma: the centre value and the centre's spectrum.
    Row(2, kNearCentre, 1);
    Row(3, 30, 0.95);  // 0.95 x 1.36
    EXPECT_EQ(Run(3), OffAxisOutcome::Completed);
    EXPECT_TRUE(reporter.Warnings().empty());
    EXPECT_EQ(state->BowtieAlMm[1], state->BowtieAlMm[0] + 10 * (0.01 * k)) << "step " << k;
    for (int p : {2, 3}) {
        EXPECT_EQ(state->BowtieAlMm[p], state->BowtieAlMm[0]) << "point " << p;
        EXPECT_EQ(state->PointSpectra[p], state->PointSpectra[0]) << "point " << p;
    }
}

// A relative kerma below what 100 mm of added aluminium leaves stops the solver: its message, no completion
// notice, what it solved before stays.
TEST_F(OffAxisRunTest, SolverFailureEndsWithoutTheNotice) {
    Row(1, 10, 0.5);
    Row(2, 20, 1e-12);
    EXPECT_EQ(Run(2), OffAxisOutcome::Failed);
    EXPECT_EQ(Kinds(reporter),
              (std::vector<Kind>{Kind::ShowBusy, Kind::Warning, Kind::Events, Kind::HideBusy}));
    EXPECT_EQ(reporter.entries[1].id, MessageId::SolverFailed);
    EXPECT_EQ(reporter.entries[1].text, kSolverFailed);
    EXPECT_EQ(state->BowtieAlMm[1], Bowtie(52)) << "point 1 solved before the failure";
    EXPECT_EQ(state->BowtieAlMm[2], -kMarker);
    EXPECT_EQ(state->PointSpectra[0], centre);

    // A centre spectrum without a single photon cannot be normalised; nothing undefined is stored.
    state->NominalFiltrationAlCm = 1e4;
    state->ProfilePointCount = 1;
    reporter.entries.clear();
    EXPECT_FALSE(SolveBowtieProfile(*state, reporter));
    EXPECT_EQ(reporter.Warnings(), std::vector<std::string>{kSolverFailed}) << "zero peak";
    EXPECT_EQ(state->SpectrumPeak, 0);
    for (int p = 0; p <= 1; ++p)
        for (double v : state->PointSpectra[p])
            EXPECT_TRUE(std::isfinite(v)) << "point " << p;
}

// Values no measurement gives, ratios too large for a double, and a missing or failed calibration are
// refused before anything is written: one message, no busy dialog, no solver.
TEST_F(OffAxisRunTest, RefusedGridsChangeNothing) {
    struct Case {
        const char* what;
        double focus, centreReading, reading2, count;
        MessageId message;
        std::optional<InputField> field;
        int point;
        double distance2 = 20;
        std::string line = {};
    };
    const Case cases[] = {
        {"focus 0", 0, 1, 0.4, 2, MessageId::OutOfRange, InputField::FocusDistance, 0},
        {"focus -5", -5, 1, 0.4, 2, MessageId::OutOfRange, InputField::FocusDistance, 0},
        {"count -1", 50, 1, 0.4, -1, MessageId::OutOfRange, InputField::PointCount, 0},
        {"count 25.5", 50, 1, 0.4, 25.5, MessageId::OutOfRange, InputField::PointCount, 0},
        {"centre reading 0", 50, 0, 0.4, 2, MessageId::OutOfRange, InputField::ProfileReading, 0, 20,
         "ポイント 0（回転中心） の照射線量の測定値がありません"},
        {"reading of point 2 is -0.5", 50, 1, -0.5, 2, MessageId::OutOfRange, InputField::ProfileReading, 2,
         20, "ポイント 2 の照射線量の測定値が -0.5 です"},
        {"reading of point 2 is 0", 50, 1, 0, 2, MessageId::OutOfRange, InputField::ProfileReading, 2, 20,
         "ポイント 2 の照射線量の測定値がありません"},
        {"point 2 at the centre", 50, 1, 0.4, 2, MessageId::PointOnCentre, InputField::ProfileReading, 2, 0,
         "ポイント 2 の軸外距離がありません"},
        {"focus not beyond point 2", 50, 1, 0.4, 2, MessageId::FocusNotBeyondPoints,
         InputField::FocusDistance, 2, -50,
         "ポイント 2 の軸外距離 -50 cm に対し、焦点-回転中心間距離が 50 cm です"},
        {"ratio overflows", 50, 1e-300, 1e300, 2, MessageId::InputError, std::nullopt, 0},
    };
    for (const Case& c : cases) {
        grid.focusDistanceCm = c.focus;
        grid.reading[0] = c.centreReading;
        Row(1, 10, 0.5);
        Row(2, c.distance2, c.reading2);
        grid.pointCount = c.count;
        reporter.entries.clear();
        const OffAxisResult result = OffAxisRun(*state, grid, reporter);
        EXPECT_EQ(result.outcome, OffAxisOutcome::Refused) << c.what;
        ASSERT_EQ(reporter.entries.size(), 1u) << c.what;
        EXPECT_EQ(reporter.entries[0].id, c.message) << c.what;
        if (!c.line.empty()) {
            EXPECT_EQ(reporter.entries[0].line, c.line) << c.what;
        }
        EXPECT_EQ(result.refused.has_value(), c.field.has_value()) << c.what;
        if (c.field && result.refused) {
            EXPECT_EQ(result.refused->field, *c.field) << c.what;
            EXPECT_EQ(result.refused->point, c.point) << c.what;
        }
        EXPECT_EQ(state->DoseProfile[1][1], kMarker) << c.what;
        EXPECT_EQ(state->BowtieAlMm[1], -kMarker) << c.what;
        EXPECT_EQ(state->PointSpectra[0], centre) << c.what;
    }
    // A reading of 0 beyond N is an empty row, not an error.
    Row(2, 0, 0);
    EXPECT_EQ(Run(1), OffAxisOutcome::Completed);

    // Without a successful calibration neither the run nor the solver starts.
    state->CalibrationSucceeded = 0;
    EXPECT_EQ(Run(1), OffAxisOutcome::Refused);
    EXPECT_EQ(Kinds(reporter), std::vector<Kind>{Kind::Warning});
    EXPECT_EQ(reporter.entries[0].id, MessageId::CalibrationMissing);
    reporter.entries.clear();
    EXPECT_FALSE(SolveBowtieProfile(*state, reporter));
    EXPECT_EQ(reporter.entries.at(0).id, MessageId::CalibrationMissing);
}

// The graph's plain ratios and the run's corrected ones come from one conversion.
TEST(RelativeKerma, PlainAndDistanceCorrected) {
    ProfileGrid grid;
    grid.focusDistanceCm = 50;
    grid.reading = {2, 1, 0.5};
    grid.distanceCm = {0, 10, 25};
    const auto plain = RelativeKerma(grid, false);
    const auto corrected = RelativeKerma(grid, true);
    ASSERT_TRUE(plain && corrected);
    EXPECT_EQ((*plain)[0], 1);
    EXPECT_EQ((*plain)[1], 0.5);
    EXPECT_EQ((*corrected)[1], 0.5 * (1 + 0.2 * 0.2));
    EXPECT_EQ((*corrected)[2], 0.25 * (1 + 0.5 * 0.5));
    EXPECT_EQ((*plain)[3], 0) << "an empty row";
    grid.focusDistanceCm = 0;
    EXPECT_TRUE(RelativeKerma(grid, false)) << "the plain ratio needs no focus distance";
    EXPECT_FALSE(RelativeKerma(grid, true));
    grid.reading[0] = 0;
    EXPECT_FALSE(RelativeKerma(grid, false));
}

}  // namespace
}  // namespace halvorn
