#include "engine/RunRecord.h"

#include <gtest/gtest.h>

#include "EngineTestSupport.h"

namespace halvorn {
namespace {

class RunRecordTest : public RealTableTest {};

// The profile is added to the calibration's record: the measured HVL (which the state does not keep), the
// model HVLs and the fitted filtration stay; the points, readings, spectra and the peak are the profile's.
TEST_F(RunRecordTest, CalibrationFiguresSurviveTheOffAxisRun) {
    if (!state)
        return;
    ASSERT_TRUE(CalibrationRun(*state, {7.0, 120, 16, 2.5, 0, 0, 0}, reporter).succeeded);
    RunRecord run = RecordCalibration(*state, {7.0, HvlMaterial::Aluminium});
    const double hvlAl = state->HvlAlCm * 10;
    const double fitted = 10 * state->NominalFiltrationAlCm + state->BowtieAlMm[0];
    ASSERT_EQ(run.points.size(), 1u);

    ProfileGrid grid;
    grid.focusDistanceCm = 60;
    grid.pointCount = 2;
    grid.distanceCm = {0, 5, 10};
    grid.reading = {10, 9.5, 8};
    ASSERT_EQ(OffAxisRun(*state, grid, reporter).outcome, OffAxisOutcome::Completed);
    RecordProfile(run, *state, {10, 9.5, 8});

    ASSERT_TRUE(run.inputs.measuredHvl.has_value());
    EXPECT_EQ(run.inputs.measuredHvl->valueMm, 7.0);
    EXPECT_EQ(run.modelHvlAlMm, hvlAl);
    EXPECT_EQ(run.spectrumPeak, state->SpectrumPeak);
    EXPECT_EQ(run.inputs.fittedFiltrationMm, fitted);
    EXPECT_EQ(run.inputs.targetAngleDeg, 16);
    EXPECT_EQ(run.inputs.focusCentreDistanceCm, 60);
    ASSERT_EQ(run.points.size(), 3u);
    EXPECT_EQ(run.readings[2], 8);
    EXPECT_EQ(run.points[2].bowtieAlMm, state->BowtieAlMm[2]);
    EXPECT_EQ(SpectrumOf(run, 2), state->PointSpectra[2]);
    EXPECT_EQ(SpectrumOf(run, 3), Spectrum{}) << "a point the record does not hold";
}

// A result file holds no target angle, measured HVL or fitted filtration, nor the readings: the record says
// so, whatever the state still holds from an earlier calculation.
TEST_F(RunRecordTest, LoadedResultMarksWhatTheFileDoesNotHold) {
    if (!state)
        return;
    ASSERT_TRUE(RunExample(*state, reporter));
    const RunRecord run = RecordLoadedResult(*state, CoefficientsOf(*state), "old.csv", "comment");
    EXPECT_TRUE(run.loaded());
    EXPECT_EQ(run.loadedFrom, "old.csv");
    EXPECT_EQ(run.inputs.targetAngleDeg, NotRecorded);
    EXPECT_FALSE(run.inputs.measuredHvl.has_value());
    EXPECT_EQ(run.inputs.fittedFiltrationMm, NotRecorded);
    EXPECT_EQ(run.points.size(), 13u);
    for (const auto& reading : run.readings)
        EXPECT_EQ(reading, NotRecorded);
}

}  // namespace
}  // namespace halvorn
