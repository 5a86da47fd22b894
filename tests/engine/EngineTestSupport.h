#pragma once

// Set-up shared by the engine tests: the committed attenuation table, a scratch folder per test, and the
// exact printing of values and reporter entries that failure messages use.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "engine/AttenuationTableText.h"
#include "engine/CalculationState.h"
#include "engine/CalibrationRun.h"
#include "engine/OffAxisRun.h"
#include "engine/Reporter.h"
#include "engine/RunRecord.h"

namespace halvorn {

// `v` with all 17 significant digits, so that two doubles print alike only when they are equal.
inline std::string Exact(double v) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", v);
    return text;
}

// The kinds of a reporter's entries in order.
inline std::vector<RecordingReporter::Kind> Kinds(const RecordingReporter& r) {
    std::vector<RecordingReporter::Kind> kinds;
    for (const auto& e : r.entries)
        kinds.push_back(e.kind);
    return kinds;
}

// The record of the points and set-up a state holds, as a result file's load records them (no table: the
// beam-quality figures stay empty), for the writer's tests.
inline RunRecord RecordOfState(const CalculationState& state) {
    return RecordLoadedResult(state, AttenuationCoefficients{}, "", "");
}

// A fresh state holding the committed attenuation table. Where the build has no table the calling test is
// marked skipped, where the table does not load it is failed; both give nullptr and the caller returns.
inline std::unique_ptr<CalculationState> RealTableState() {
    if (!std::filesystem::exists(HALVORN_TABLE_PATH)) {
        [] { GTEST_SKIP() << "no table at " << HALVORN_TABLE_PATH; }();
        return nullptr;
    }
    // Read here rather than through the table loader, so that the tests of the arithmetic link no file code.
    std::ifstream file(HALVORN_TABLE_PATH, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    auto state = std::make_unique<CalculationState>();
    TableLoadDetail detail;
    if (LoadAttenuationTableBytes(*state, bytes, detail) != TableLoadStatus::Ok) {
        [&] { FAIL() << DescribeTableLoadFailure(detail, HALVORN_TABLE_PATH); }();
        return nullptr;
    }
    return state;
}

// A fixture whose state holds the committed attenuation table, the HVL measured in aluminium, and a reporter
// that records what a run says. Subclasses that add to SetUp call this one first and return on a null state.
class RealTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        state = RealTableState();
        if (state)
            state->HvlMaterial = 1;
    }

    std::unique_ptr<CalculationState> state;
    RecordingReporter reporter;
};

// The example calculation: a calibration at 120 kV, 16 degrees, 2.5 mm Al for an HVL of 7.0 mm Al, then the
// example profile (examples/ct-120kv.profile.csv, 12 points every 2 cm) at a focus distance of 60 cm.
// Returns false, with the reason as a test failure, when a step does not complete.
inline bool RunExample(CalculationState& state, RecordingReporter& reporter) {
    state.HvlMaterial = 1;
    if (!CalibrationRun(state, {7.0, 120, 16, 2.5, 0, 0, 0}, reporter).succeeded) {
        ADD_FAILURE() << "the example calibration failed";
        return false;
    }
    std::ifstream file(std::string(HALVORN_EXAMPLES_DIR) + "/ct-120kv.profile.csv");
    ProfileGrid grid;
    grid.focusDistanceCm = 60;
    int p = -1;
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line[0] == '#' || line[0] == 'd')
            continue;  // comments and the heading
        const std::size_t comma = line.find(',');
        if (++p > kMaxPoint)
            break;
        grid.distanceCm[p] = p == 0 ? 0 : std::stod(line.substr(0, comma));
        grid.reading[p] = std::stod(line.substr(comma + 1));
    }
    grid.pointCount = p;
    if (p != 12 || OffAxisRun(state, grid, reporter).outcome != OffAxisOutcome::Completed ||
        !reporter.Warnings().empty()) {
        ADD_FAILURE() << "the example profile did not run (" << p << " points read)";
        return false;
    }
    return true;
}

// A fixture whose every test gets a new empty folder, removed with its contents afterwards.
class TempFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "halvorn-engine-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr) << pattern;
        dir_ = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }

    std::filesystem::path dir_;
};

}  // namespace halvorn
