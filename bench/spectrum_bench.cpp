// Speed of the spectrum engine: the Tucker model alone and a full spectrum pass (model, filtration,
// kerma weighting, both 1000-step transmission curves and HVLs) at typical CT tube voltages.

#include <benchmark/benchmark.h>

#include <memory>

#include "BenchSupport.h"
#include "engine/Filtration.h"
#include "engine/TuckerSpectrum.h"

namespace {

using namespace halvorn;

// The committed table at tube voltage `kv`, 16 degrees, 2.5 mm Al; nullptr when the table cannot be read.
std::unique_ptr<CalculationState> PreparedState(benchmark::State& bench, double kv) {
    auto state = TableState(bench);
    if (!state)
        return nullptr;
    state->TubeVoltageKv = kv;
    state->TargetAngleDeg = 16;
    state->FiltrationAlCm = 0.25;
    return state;
}

void BM_GenerateTargetSpectrum(benchmark::State& bench) {
    auto state = PreparedState(bench, static_cast<double>(bench.range(0)));
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
    auto state = PreparedState(bench, static_cast<double>(bench.range(0)));
    if (!state)
        return;
    for (auto _ : bench) {
        ClearBeamSpectrum(*state);
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
