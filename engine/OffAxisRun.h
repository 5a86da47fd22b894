#pragma once

#include <array>
#include <optional>

#include "engine/CalculationState.h"
#include "engine/InputRanges.h"
#include "engine/ProfileGeometry.h"
#include "engine/Reporter.h"

namespace halvorn {

// The dose-profile grid as numbers: the focus-centre distance, the number N of off-axis points in use, and
// for the centre (index 0, distance 0) and each of the 25 rows its off-axis distance and exposure reading.
// Rows beyond N are converted too; an empty row is distance 0, reading 0.
struct ProfileGrid {
    double focusDistanceCm = 0;
    double pointCount = 0;
    std::array<double, kMaxPoint + 1> distanceCm{};  // [0] is the centre, 0
    std::array<double, kMaxPoint + 1> reading{};     // [0] is the centre reading
};

// Air kerma of every row relative to the centre: M_p / M_0, times (1 + (d_p / F)^2) when distanceCorrected
// (a reading taken at sqrt(F^2 + d_p^2) from the focus brought back to the distance F of the centre
// reading). [0] is 1. Nothing when a ratio is not a finite number (a zero centre reading or focus distance).
std::optional<std::array<double, kMaxPoint + 1>> RelativeKerma(const ProfileGrid& grid,
                                                               bool distanceCorrected);

// The value of the grid that an off-axis run refuses: its field, and for a reading or a distance the row
// (0 the centre). A refused geometry names the point at distance 0 (field ProfileReading's row is then
// not meant: the distance of that row is at fault) or the farthest point (field FocusDistance).
struct GridRefusal {
    InputField field;
    int point = 0;
    std::optional<GeometryRefusal::Kind> geometry;
};

enum class OffAxisOutcome {
    Refused,    // nothing computed: no calibration to start from, a value out of range or not convertible
    Failed,     // the solver stopped with its failure message; no completion notice
    Completed,  // every point solved and normalised, the completion notice shown
};

struct OffAxisResult {
    OffAxisOutcome outcome = OffAxisOutcome::Refused;
    std::optional<GridRefusal> refused;  // set when a value of the grid was refused
};

// The spectrum-calculation button of the dose-profile screen. Refuses to start without a successful
// calibration run, or with a focus distance or point count outside its range, a point in use at distance 0,
// a focus distance not beyond the farthest point (CheckProfileGeometry), or a reading (centre, points
// 1..N) outside its range; a refusal's message carries a line naming the point; then converts the grid into
// the distance-corrected relative kerma of every row, writes it into the state and runs the solver under the
// busy dialog. Only a run that completes shows the notice.
OffAxisResult OffAxisRun(CalculationState& state, const ProfileGrid& grid, Reporter& reporter);

// Bowtie path length of every off-axis point from the centre beam's aluminium transmission curve, the
// spectrum of points 0..N, and their normalisation to the centre peak. Reports its own failure and
// returns false; refuses (reported) without a successful calibration run.
bool SolveBowtieProfile(CalculationState& state, Reporter& reporter);

}  // namespace halvorn
