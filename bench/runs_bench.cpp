// Cost of the two computation runs with the real attenuation table: the calibration run (pass 1, the
// filtration fit, pass 2) in both fit variants, and the off-axis run over a full profile of 25 points.

#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include "engine/CalibrationRun.h"
#include "engine/OffAxisRun.h"

namespace halvorn {
namespace {

void Calibration(benchmark::State& bench, std::int16_t material, double hvl) {
    auto state = TableState(bench);
    if (!state)
        return;
    const CalibrationInputs inputs{hvl, 120, 16, 2.5, 0, 0, 0, static_cast<HvlMaterial>(material)};
    for (auto _ : bench) {
        RecordingReporter reporter;
        benchmark::DoNotOptimize(CalibrationRun(*state, inputs, reporter));
        if (!reporter.Warnings().empty())
            bench.SkipWithError(reporter.Warnings().front().c_str());
    }
}

void BM_CalibrationAluminium(benchmark::State& bench) {
    Calibration(bench, 1, 7.0);
}
void BM_CalibrationCopper(benchmark::State& bench) {
    Calibration(bench, 2, 0.4);
}

void BM_OffAxis25Points(benchmark::State& bench) {
    auto state = TableState(bench);
    if (!state || !CalibrateAt150Kv(*state, bench))
        return;
    const ProfileGrid grid = FullProfile();
    for (auto _ : bench) {
        RecordingReporter reporter;
        benchmark::DoNotOptimize(OffAxisRun(*state, grid, reporter));
        if (!reporter.Warnings().empty())
            bench.SkipWithError(reporter.Warnings().front().c_str());
    }
}

BENCHMARK(BM_CalibrationAluminium)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CalibrationCopper)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OffAxis25Points)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace halvorn

BENCHMARK_MAIN();
