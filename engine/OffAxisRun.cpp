#include "engine/OffAxisRun.h"

#include <cmath>
#include <span>
#include <string>

#include "engine/Filtration.h"
#include "engine/NumberText.h"
#include "engine/Translatable.h"
#include "engine/TuckerSpectrum.h"

namespace halvorn {

namespace {

// Normalised bins at or below this are stored as 0.
constexpr double kSmallestBin = 1e-10;

// The line naming a point whose exposure reading is refused: missing (0) or out of range (negative, not
// finite). Point 0 is the centre.
Phrase ReadingRefusalLine(int point, double reading) {
    constexpr std::string_view kContext = "OffAxisRun";
    if (reading == 0)
        return {kContext,
                point == 0 ? HALVORN_TRANSLATABLE("OffAxisRun",
                                                  "ポイント %1（回転中心） の照射線量の測定値がありません")
                           : HALVORN_TRANSLATABLE("OffAxisRun", "ポイント %1 の照射線量の測定値がありません"),
                {std::to_string(point)}};
    //: %1 is the point's number, %2 its exposure reading.
    return {kContext,
            point == 0
                ? HALVORN_TRANSLATABLE("OffAxisRun", "ポイント %1（回転中心） の照射線量の測定値が %2 です")
                : HALVORN_TRANSLATABLE("OffAxisRun", "ポイント %1 の照射線量の測定値が %2 です"),
            {std::to_string(point), PlainDecimal(reading)}};
}

// The first value of the grid outside its range: focus distance, point count, the geometry of the points in
// use, centre reading, then the readings of the points in use. `line` receives the line naming the point.
std::optional<GridRefusal> RefusedValue(const ProfileGrid& grid, Phrase& line) {
    if (!InAcceptedRange(InputField::FocusDistance, grid.focusDistanceCm))
        return GridRefusal{InputField::FocusDistance, 0, std::nullopt};
    if (!InAcceptedRange(InputField::PointCount, grid.pointCount))
        return GridRefusal{InputField::PointCount, 0, std::nullopt};
    const auto used = std::span<const double>(grid.distanceCm).subspan(1, static_cast<int>(grid.pointCount));
    if (const auto geometry = CheckProfileGeometry(grid.focusDistanceCm, used)) {
        line = GeometryRefusalLine(*geometry, grid.focusDistanceCm, used);
        const InputField field = geometry->kind == GeometryRefusal::Kind::FocusNotBeyondPoints
                                     ? InputField::FocusDistance
                                     : InputField::ProfileReading;
        return GridRefusal{field, geometry->point, geometry->kind};
    }
    for (int p = 0; p <= grid.pointCount; ++p) {
        if (!InAcceptedRange(InputField::ProfileReading, grid.reading[p])) {
            line = ReadingRefusalLine(p, grid.reading[p]);
            return GridRefusal{InputField::ProfileReading, p, std::nullopt};
        }
    }
    return std::nullopt;
}

Message RefusalMessage(const GridRefusal& refused) {
    if (refused.geometry == GeometryRefusal::Kind::PointOnCentre)
        return kPointOnCentre;
    if (refused.geometry == GeometryRefusal::Kind::FocusNotBeyondPoints)
        return kFocusNotBeyondPoints;
    return OutOfRangeMessage(refused.field);
}

bool CalibrationAvailable(const CalculationState& state, Reporter& reporter) {
    if (state.CalibrationSucceeded == 1)
        return true;
    reporter.Warning(kCalibrationMissing);
    return false;
}

}  // namespace

std::optional<std::array<double, kMaxPoint + 1>> RelativeKerma(const ProfileGrid& grid,
                                                               bool distanceCorrected) {
    std::array<double, kMaxPoint + 1> relative{};
    relative[0] = 1;
    const double centre = grid.reading[0];
    const double focus = grid.focusDistanceCm;
    if (centre == 0 || (distanceCorrected && focus == 0))
        return std::nullopt;
    for (int p = 1; p <= kMaxPoint; ++p) {
        double value = grid.reading[p] / centre;
        if (distanceCorrected) {
            const double ratio = grid.distanceCm[p] / focus;
            value = value * (1 + ratio * ratio);
        }
        if (!std::isfinite(value))
            return std::nullopt;
        relative[p] = value;
    }
    return relative;
}

OffAxisResult OffAxisRun(CalculationState& state, const ProfileGrid& grid, Reporter& reporter) {
    OffAxisResult result;
    if (!CalibrationAvailable(state, reporter))
        return result;
    Phrase line;
    result.refused = RefusedValue(grid, line);
    if (result.refused) {
        Message message = RefusalMessage(*result.refused);
        if (!line.empty())
            message.line = &line;
        reporter.Warning(message);
        return result;
    }
    // Finite readings and distances can still give ratios too large for a double.
    const auto relative = RelativeKerma(grid, true);
    if (!relative) {
        reporter.Warning(kInputError);
        return result;
    }

    state.FocusCentreDistanceCm = grid.focusDistanceCm;
    state.ProfilePointCount = grid.pointCount;
    state.DoseProfile[0][0] = 0;
    for (int p = 1; p <= kMaxPoint; ++p)
        state.DoseProfile[0][p] = grid.distanceCm[p];
    state.DoseProfile[1] = *relative;

    reporter.ShowBusy();
    const bool solved = SolveBowtieProfile(state, reporter);
    reporter.LetEventsRun();
    if (solved)
        reporter.Notice(kCalculationFinished);
    reporter.HideBusy();
    result.outcome = solved ? OffAxisOutcome::Completed : OffAxisOutcome::Failed;
    return result;
}

bool SolveBowtieProfile(CalculationState& state, Reporter& reporter) {
    if (!CalibrationAvailable(state, reporter))
        return false;
    const double n = state.ProfilePointCount;

    // Stage 1: the added aluminium path of every off-axis point, read off the centre beam's transmission
    // curve at the point's relative kerma.
    for (int p = 1; p <= n; ++p) {
        if (p > kMaxPoint) {
            reporter.Warning(kSolverFailed);
            return false;
        }
        const double percent = 100 * state.DoseProfile[1][p];
        if (!std::isfinite(percent)) {
            reporter.Warning(kSolverFailed);
            return false;
        }
        if (percent < 100) {
            const std::optional<double> steps =
                ThicknessAtTransmission(state.AlTransmissionCurve, percent, false);
            if (!steps || !std::isfinite(*steps)) {
                reporter.Warning(kSolverFailed);
                return false;
            }
            // Steps of 0.1 mm: 0.01 * steps is the path in cm.
            state.BowtieAlMm[p] = state.BowtieAlMm[0] + 10 * (0.01 * *steps);
        } else {
            state.BowtieAlMm[p] = state.BowtieAlMm[0];
        }
    }

    // Stage 2: the spectrum of every point, the centre included. Only the aluminium path differs between
    // the points, so the unfiltered target spectrum is computed once and refiltered for each point.
    for (int p = 0; p <= n && p <= kMaxPoint; ++p) {
        ClearBeamSpectrum(state);
        state.FiltrationAlCm = state.NominalFiltrationAlCm + 0.1 * state.BowtieAlMm[p];
        if ((p == 0 && !GenerateTargetSpectrum(state)) || !FilterSpectrum(state)) {
            reporter.Warning(kSolverFailed);
            return false;
        }
        for (int i = 1; i <= kBinCount; ++i)
            state.PointSpectra[p][i] = state.BeamSpectrum[i];
    }

    // Stage 3: every point spectrum relative to the peak of the centre spectrum.
    reporter.LetEventsRun();
    const double peak = PeakOf(state.PointSpectra[0], 1, kBinCount);
    state.SpectrumPeak = peak;
    for (int p = 0; p <= n && p <= kMaxPoint; ++p) {
        for (int i = 1; i <= kBinCount; ++i) {
            // A zero peak is a division by zero; nothing infinite or undefined is ever stored.
            const double v = state.PointSpectra[p][i] / peak;
            if (peak == 0 || !std::isfinite(v)) {
                reporter.Warning(kSolverFailed);
                return false;
            }
            state.PointSpectra[p][i] = v <= kSmallestBin ? 0 : v;
        }
    }
    return true;
}

}  // namespace halvorn
