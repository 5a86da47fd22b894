// Speed of the spectrum engine: the Tucker model alone and a full spectrum pass (model, filtration,
// kerma weighting, both 1000-step transmission curves and HVLs) at typical CT tube voltages.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "AttenuationTable.h"
#include "CalculationState.h"
#include "Filtration.h"
#include "TuckerSpectrum.h"

namespace {

using namespace halvorn;

// Loads the committed table once; nullptr (with the reason) when it cannot be read.
std::unique_ptr<CalculationState> PreparedState(benchmark::State& bench, double kv, std::string& failure) {
    auto state = std::make_unique<CalculationState>();
    TableLoadDetail detail;
    if (LoadAttenuationTable(*state, HALVORN_TABLE_PATH, detail) != TableLoadStatus::Ok) {
        failure = DescribeTableLoadFailure(detail, HALVORN_TABLE_PATH);
        bench.SkipWithError(failure.c_str());
        return nullptr;
    }
    state->TubeVoltageKv = kv;
    state->TargetAngleDeg = 16;
    state->FiltrationAlCm = 0.25;
    return state;
}

void BM_GenerateTargetSpectrum(benchmark::State& bench) {
    std::string failure;
    auto state = PreparedState(bench, static_cast<double>(bench.range(0)), failure);
    if (!state)
        return;
    for (auto _ : bench) {
        const bool ok = GenerateTargetSpectrum(*state);
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(state->TargetSpectrum.data());
        benchmark::ClobberMemory();
    }
}

void BM_SpectrumPass(benchmark::State& bench) {
    std::string failure;
    auto state = PreparedState(bench, static_cast<double>(bench.range(0)), failure);
    if (!state)
        return;
    for (auto _ : bench) {
        for (int i = 1; i <= kBinCount; ++i)
            state->BeamSpectrum[i] = 0;
        bool ok = GenerateTargetSpectrum(*state) && FilterSpectrum(*state);
        if (ok) {
            const auto s2 = ComputeKermaSpectrum(*state, state->BeamSpectrum);
            ok = s2 && ComputeHvl(*state, *s2);
        }
        if (!ok) {
            bench.SkipWithError("spectrum pass failed");
            return;
        }
        benchmark::DoNotOptimize(state->HvlAlCm);
        benchmark::DoNotOptimize(state->HvlCuMm);
        benchmark::ClobberMemory();
    }
}

}  // namespace

BENCHMARK(BM_GenerateTargetSpectrum)->Arg(80)->Arg(120)->Arg(150)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SpectrumPass)->Arg(80)->Arg(120)->Arg(150)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
