#pragma once

// Set-up shared by the benchmark programs (each bench/*.cpp is its own executable, so this stays
// header-only).

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "engine/AttenuationTable.h"
#include "engine/CalculationState.h"
#include "engine/CalibrationRun.h"
#include "engine/OffAxisRun.h"

namespace halvorn {

// A fresh state holding the committed attenuation table, or nullptr after skipping `bench` with the reason
// the table could not be read.
inline std::unique_ptr<CalculationState> TableState(benchmark::State& bench) {
    auto state = std::make_unique<CalculationState>();
    TableLoadDetail detail;
    if (LoadAttenuationTable(*state, HALVORN_TABLE_PATH, detail) != TableLoadStatus::Ok) {
        const std::string failure = DescribeTableLoadFailure(detail, HALVORN_TABLE_PATH);
        bench.SkipWithError(failure.c_str());  // the message is copied
        return nullptr;
    }
    return state;
}

// The heaviest calculation the program takes: a calibration at 150 kV (HVL 9 mm Al), then a full profile
// of 25 points every centimetre. False, after skipping `bench`, when the calibration fails.
inline bool CalibrateAt150Kv(CalculationState& state, benchmark::State& bench) {
    state.HvlMaterial = 1;
    RecordingReporter reporter;
    if (!CalibrationRun(state, {9.0, 150, 16, 2.5, 0, 0, 0}, reporter).succeeded) {
        bench.SkipWithError("calibration at 150 kV failed");
        return false;
    }
    return true;
}

inline ProfileGrid FullProfile() {
    ProfileGrid grid;
    grid.focusDistanceCm = 54;
    grid.pointCount = kMaxPoint;
    grid.reading[0] = 1;
    for (int p = 1; p <= kMaxPoint; ++p) {
        grid.distanceCm[p] = 1.0 * p;
        grid.reading[p] = 1.0 - 0.03 * p;
    }
    return grid;
}

}  // namespace halvorn
