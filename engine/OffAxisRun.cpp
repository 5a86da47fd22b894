#include "engine/OffAxisRun.h"

#include <cmath>

#include "engine/Filtration.h"
#include "engine/NumberText.h"
#include "engine/TuckerSpectrum.h"

namespace halvorn {

namespace {

constexpr std::string_view kInputError = " 入力データに誤りがあります！ ";
constexpr std::string_view kSolverFailed = "　正しく計算できません ④ ";

// Normalised bins at or below this are stored as 0.
constexpr double kSmallestBin = 1e-10;

}  // namespace

OffAxisOutcome OffAxisRun(CalculationState& state, const ProfileFields& fields, Reporter& reporter) {
    // A field whose number overflows a double ("1e999") is an arithmetic failure of its conversion: the
    // handler ends there and the field's target keeps its value. Without this a focus distance or centre
    // reading of infinity would pass (d / F = 0, M / M0 = 0) and end up in the state and the result file.
    auto convert = [&](const std::string& text, double& target) {
        const double value = LeadingNumber(text);
        if (!std::isfinite(value)) {
            reporter.Warning(kInputError, "");
            return false;
        }
        target = value;
        return true;
    };

    if (!convert(fields[1], state.FocusCentreDistanceCm) || !convert(fields[54], state.ProfilePointCount))
        return OffAxisOutcome::InputError;

    state.DoseProfile[0][0] = 0;
    for (int p = 1; p <= kMaxPoint; ++p)
        if (!convert(fields[p + 2], state.DoseProfile[0][p]))
            return OffAxisOutcome::InputError;

    double centreReading = 0;
    if (!convert(fields[28], centreReading))
        return OffAxisOutcome::InputError;
    state.DoseProfile[1][0] = 1;

    // Relative kerma of every row, with the inverse-square correction of a reading taken at
    // sqrt(F^2 + d^2) from the focus back to the distance F of the centre reading. A zero centre reading
    // or focus distance, or a result that is not a finite number, is an input error; the rows converted
    // before it stay.
    const double focus = state.FocusCentreDistanceCm;
    for (int p = 1; p <= kMaxPoint; ++p) {
        double reading = 0;
        if (!convert(fields[p + 28], reading))
            return OffAxisOutcome::InputError;
        const double distance = state.DoseProfile[0][p];
        if (centreReading == 0 || focus == 0) {
            reporter.Warning(kInputError, "");
            return OffAxisOutcome::InputError;
        }
        const double ratio = distance / focus;
        const double relative = (reading / centreReading) * (1 + ratio * ratio);
        if (!std::isfinite(relative)) {
            reporter.Warning(kInputError, "");
            return OffAxisOutcome::InputError;
        }
        state.DoseProfile[1][p] = relative;
    }

    reporter.ShowBusy();
    SolveBowtieProfile(state, reporter);
    reporter.LetEventsRun();
    reporter.Notice("  計算が終了しました  ");
    reporter.HideBusy();
    return OffAxisOutcome::Completed;
}

void SolveBowtieProfile(CalculationState& state, Reporter& reporter) {
    const double n = state.ProfilePointCount;

    // Stage 1: the added aluminium path of every off-axis point, read off the centre beam's transmission
    // curve at the point's relative kerma.
    for (int p = 1; p <= n; ++p) {
        if (p > kMaxPoint) {
            reporter.Warning(kSolverFailed, "");
            return;
        }
        const double percent = 100 * state.DoseProfile[1][p];
        if (!std::isfinite(percent)) {
            reporter.Warning(kSolverFailed, "");
            return;
        }
        if (percent < 100) {
            const std::optional<double> steps =
                ThicknessAtTransmission(state.AlTransmissionCurve, percent, false);
            if (!steps || !std::isfinite(*steps)) {
                reporter.Warning(kSolverFailed, "");
                return;
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
            reporter.Warning(kSolverFailed, "");
            return;
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
                reporter.Warning(kSolverFailed, "");
                return;
            }
            state.PointSpectra[p][i] = v <= kSmallestBin ? 0 : v;
        }
    }
}

}  // namespace halvorn
