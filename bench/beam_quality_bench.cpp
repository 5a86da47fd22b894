// Cost of the beam-quality figures of a whole off-axis run: the centre and 25 points at 150 kV (the most
// energy bins), four kerma roots and two effective energies per point.

#include <benchmark/benchmark.h>

#include <cstdio>

#include "BenchSupport.h"
#include "engine/BeamQuality.h"
#include "engine/CalibrationRun.h"
#include "engine/OffAxisRun.h"

namespace halvorn {
namespace {

void BM_RunBeamQuality25Points(benchmark::State& bench) {
    auto state = TableState(bench);
    if (!state)
        return;
    state->HvlMaterial = 1;
    RecordingReporter reporter;
    if (!CalibrationRun(*state, {"9.0", "150", "16", "2.5", "0", "0", "0"}, reporter).Label21) {
        bench.SkipWithError("calibration at 150 kV failed");
        return;
    }
    ProfileFields fields;
    fields[1] = "54";
    fields[28] = "1";
    fields[54] = "25";
    for (int p = 1; p <= kMaxPoint; ++p) {
        char text[32];
        std::snprintf(text, sizeof text, "%g", 1.0 * p);
        fields[p + 2] = text;
        std::snprintf(text, sizeof text, "%g", 1.0 - 0.03 * p);
        fields[p + 28] = text;
    }
    OffAxisRun(*state, fields, reporter);
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
