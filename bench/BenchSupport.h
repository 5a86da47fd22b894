#pragma once

// Set-up shared by the benchmark programs (each bench/*.cpp is its own executable, so this stays
// header-only).

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "engine/AttenuationTable.h"
#include "engine/CalculationState.h"

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

}  // namespace halvorn
