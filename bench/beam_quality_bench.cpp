// Cost of the beam-quality figures of a whole off-axis run: the centre and 25 points at 150 kV (the most
// energy bins), four kerma roots and two effective energies per point.

#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include "engine/BeamQuality.h"

namespace halvorn {
namespace {

void BM_RunBeamQuality25Points(benchmark::State& bench) {
    auto state = TableState(bench);
    if (!state || !CalibrateAt150Kv(*state, bench))
        return;
    RecordingReporter reporter;
    OffAxisRun(*state, FullProfile(), reporter);
    if (!reporter.Warnings().empty()) {
        bench.SkipWithError(reporter.Warnings().front().c_str());
        return;
    }
    const AttenuationCoefficients table = CoefficientsOf(*state);
    for (auto _ : bench) {
        const auto points = RunBeamQuality(*state, table, LastProfilePoint(*state));
        benchmark::DoNotOptimize(points.data());
        if (!points.back().quality.copper.hvl2Mm)
            bench.SkipWithError("point 25 has no copper HVL2");
    }
}

BENCHMARK(BM_RunBeamQuality25Points)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace halvorn

BENCHMARK_MAIN();
