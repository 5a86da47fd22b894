// Cost of the fan beam's IAEA phase-space file: 10^6 photons of the heaviest fan (150 kV, 25 points),
// sampled and written into memory, and sampled and written into a file in a fresh temporary folder.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "BenchSupport.h"
#include "engine/RunRecord.h"
#include "engine/exports/PhaseSpaceExport.h"

namespace halvorn {
namespace {

// The fan of a full profile at 150 kV, or an empty one after skipping `bench`.
FanBeam HeaviestFan(benchmark::State& bench) {
    auto state = TableState(bench);
    if (!state || !CalibrateAt150Kv(*state, bench))
        return {};
    RunRecord run = RecordCalibration(*state, MeasuredHvl{});
    RecordingReporter reporter;
    OffAxisRun(*state, FullProfile(), reporter);
    RecordProfile(run, *state, {});
    FanBeam fan = FanBeamOf(run);
    if (!fan.error.empty())
        bench.SkipWithError(fan.error.c_str());
    return fan;
}

PhaseSpaceOptions MillionPhotons() {
    PhaseSpaceOptions options;
    options.photons = 1000000;
    options.collimationCm = 4;
    options.photonsPerMasPerCm2Centre = 3e8;
    return options;
}

void BM_PhaseSpaceIntoMemory(benchmark::State& bench) {
    const FanBeam fan = HeaviestFan(bench);
    if (!fan.error.empty() || fan.angleRad.empty())
        return;
    std::string records;
    for (auto _ : bench) {
        const PhaseSpaceResult result = PhaseSpaceFiles(fan, {}, MillionPhotons(), records);
        benchmark::DoNotOptimize(result.header.data());
        benchmark::DoNotOptimize(records.data());
    }
    bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations()) * 1000000 * kPhaseSpaceRecordBytes);
}

void BM_PhaseSpaceIntoFile(benchmark::State& bench) {
    const FanBeam fan = HeaviestFan(bench);
    if (!fan.error.empty() || fan.angleRad.empty())
        return;
    std::string folder = (std::filesystem::temp_directory_path() / "halvorn-bench-XXXXXX").string();
    if (!::mkdtemp(folder.data())) {
        bench.SkipWithError("no temporary folder");
        return;
    }
    const std::string path = folder + "/fan_beam.IAEAphsp";
    for (auto _ : bench) {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        const PhaseSpaceResult result =
            WritePhaseSpace(fan, {}, MillionPhotons(), [&](std::string_view bytes) {
                return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
            });
        std::fclose(file);
        benchmark::DoNotOptimize(result.header.data());
    }
    std::filesystem::remove_all(folder);
}

BENCHMARK(BM_PhaseSpaceIntoMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PhaseSpaceIntoFile)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace halvorn

BENCHMARK_MAIN();
