#include "engine/CalibrationRun.h"

#include <algorithm>
#include <cmath>

#include "engine/Filtration.h"
#include "engine/TuckerSpectrum.h"

namespace halvorn {

namespace {

// The fit trims the filtration in steps of 0.1 mm of aluminium.
constexpr double kTrialStepCm = 0.01;

// The trial loop gives up after 1000 trials, that is 10 cm of aluminium away from the starting filtration.
// An HVL that needs more is not the HVL of an X-ray tube, and the off-axis curve reaches no further either.
constexpr int kMaxTrials = 1000;

// What distinguishes the aluminium fit from the copper fit.
struct FitVariant {
    double measuredScale;            // Text13 (mm) to the unit of the model HVL: cm for Al, mm for Cu
    Spectrum CalculationState::*mu;  // material of the transmission curve
    double stepCm;                   // curve step
    int firstSteps;                  // curve length of the first evaluation
    int trialSteps;                  // curve length of each trial
    const Message& failure;          // message of the fit's arithmetic failures
};

constexpr FitVariant kAluminiumFit{0.1, &CalculationState::MuAluminium, 0.01, 500, 300, kAluminiumFitFailed};
constexpr FitVariant kCopperFit{1.0, &CalculationState::MuCopper, 0.001, 1000, 1000, kCopperFitFailed};

enum class EvalStatus {
    Ok,
    Beyond,  // the curve does not fall to 50 % within the computed steps
    Failed,  // arithmetic failure
};

struct Evaluation {
    EvalStatus status = EvalStatus::Failed;
    double hvl = 0;    // model HVL, 0.01 x steps (cm for aluminium, mm for copper)
    int crossing = 0;  // step at which the curve first stopped being above 50 %
};

// The transmission curve of the latest evaluation. A trial needs its curve only as far as the 50 %
// crossing, a few dozen of its 300 or 1000 steps, and every curve entry depends on the steps before it
// alone, so a trial computes a short curve first and the full one only when the crossing lies further.
// The model HVL is the same either way. At the end of the fit the latest curve is completed to its full
// length, so that FitTransmission and KermaSpectrum are left exactly as full curves leave them.
struct FitCurve {
    Spectrum weights{};  // KermaSpectrum before the curve attenuated it
    double s2 = 0;
    int steps = 0;           // full length of the curve
    int length = 0;          // steps computed
    bool ownsKerma = false;  // KermaSpectrum still holds this curve's weights
};

// One model HVL of the fit at aluminium filtration t: the stored unfiltered spectrum (BeamSpectrum) is
// filtered into FitSpectrum, weighted into KermaSpectrum, and KermaSpectrum itself (its unnormalised bins
// 11..20 included) is attenuated step by step into FitTransmission. The crossing search stops at the first
// step whose transmission is no longer above 50 % and never reads past the entries this evaluation
// computed; a crossing beyond its `steps` is reported as Beyond.
// `guess` (0: none) is the length of the short curve to try first. `unnormalisedShare`, when given,
// receives the sum of the kerma bins 11..20 divided by S2 before the curve attenuates them.
Evaluation EvaluateHvl(CalculationState& state,
                       const FitVariant& variant,
                       double t,
                       int steps,
                       bool trial,
                       FitCurve& curve,
                       int guess,
                       double* unnormalisedShare = nullptr) {
    Evaluation result;
    if (!FilterSpectrumWith(state, state.BeamSpectrum, t, state.FitSpectrum))
        return result;
    if (trial)
        state.SpectrumPeak = PeakOf(state.FitSpectrum, 2, HighestBin(state.TubeVoltageKv));
    curve.ownsKerma = false;
    const std::optional<double> s2 = ComputeKermaSpectrum(state, state.FitSpectrum);
    if (!s2 || !std::isfinite(*s2) || *s2 <= 0)
        return result;
    if (unnormalisedShare) {
        double u = 0;
        for (int i = 11; i <= std::min(20, HighestBin(state.TubeVoltageKv)); ++i)
            u += state.KermaSpectrum[i];
        *unnormalisedShare = u / *s2;
    }

    // A short curve is safe only while no coefficient is negative: the weights then never grow, so the
    // steps beyond a short curve cannot fail where the short one succeeded.
    const Spectrum& mu = state.*variant.mu;
    bool shortCurve = guess > 1 && guess < steps;
    for (int i = 11; shortCurve && i <= HighestBin(state.TubeVoltageKv); ++i)
        shortCurve = mu[i] >= 0;

    curve.weights = state.KermaSpectrum;
    curve.s2 = *s2;
    curve.steps = steps;
    curve.ownsKerma = true;
    int length = shortCurve ? guess : steps;
    int k = 2;
    for (;;) {
        curve.length = length;
        if (!BuildTransmissionCurve(state, state.KermaSpectrum, mu, variant.stepCm, length, *s2,
                                    state.FitTransmission))
            return result;
        k = 2;
        while (k <= length && state.FitTransmission[k] > 50)
            ++k;
        if (k <= length)
            break;
        if (length == steps) {
            result.status = EvalStatus::Beyond;
            return result;
        }
        // The crossing lies beyond the short curve: start again with the full one.
        state.KermaSpectrum = curve.weights;
        length = steps;
    }
    const std::optional<double> x = ThicknessAtTransmission(state.FitTransmission, 50, true, length);
    if (!x || !std::isfinite(*x))
        return result;
    result.status = EvalStatus::Ok;
    result.hvl = 0.01 * *x;
    result.crossing = k;
    return result;
}

// Completes the latest curve of the fit to its full length.
void CompleteFitCurve(CalculationState& state, const FitVariant& variant, const FitCurve& curve) {
    if (curve.length >= curve.steps)
        return;
    Spectrum weights = curve.weights;
    // Its outcome is that of the short curve, already reported.
    static_cast<void>(BuildTransmissionCurve(state, weights, state.*variant.mu, variant.stepCm, curve.steps,
                                             curve.s2, state.FitTransmission));
    if (curve.ownsKerma)
        state.KermaSpectrum = weights;
}

// Largest model HVL that any added aluminium can give. Whatever the filtration, every curve value is at
// most 100 * exp(-muMin * k * h) * (1 + U / S2), muMin being the smallest coefficient of the curve material
// over the kerma bins and U / S2 the share of the unnormalised bins 11..20. That share only falls as
// aluminium is added (aluminium attenuates 5.5-10 keV far more than anything above), so the share at the
// starting filtration bounds all later trials, and the log-linear interpolation between two curve points
// below that exponential cannot cross 50 % later than the exponential does. Returns infinity when no
// bound can be given.
double LimitingHvl(const CalculationState& state, const FitVariant& variant, double unnormalisedShare) {
    const Spectrum& mu = state.*variant.mu;
    double muMin = INFINITY;
    for (int i = 11; i <= HighestBin(state.TubeVoltageKv); ++i)
        muMin = std::min(muMin, mu[i]);
    if (!(muMin > 0) || !std::isfinite(muMin) || !(unnormalisedShare >= 0))
        return INFINITY;
    const double steps = (std::log(2.0) + std::log1p(unnormalisedShare)) / (muMin * variant.stepCm);
    return 0.01 * steps;
}

// The end of a fit that cannot reach the measured HVL: pass 2 is skipped and the screen keeps its results.
void GiveUpFit(CalculationState& state, Reporter& reporter) {
    reporter.Warning(kHvlNotComputable);
    state.HvlFitFailed = 1;
}

// Whether an evaluation ends the fit, reported as such: a curve that does not reach 50 % gives the fit up, an
// arithmetic failure warns with the variant's message.
bool EndsFit(const Evaluation& e, CalculationState& state, const FitVariant& variant, Reporter& reporter) {
    if (e.status == EvalStatus::Beyond) {
        GiveUpFit(state, reporter);
        return true;
    }
    if (e.status == EvalStatus::Failed) {
        reporter.Warning(variant.failure);
        return true;
    }
    return false;
}

}  // namespace

namespace {

// The first input outside its accepted range, in the order the screen lists them; the tube voltage above
// its maximum has its own message.
std::optional<InputField> RefusedInput(const CalibrationInputs& in, Reporter& reporter) {
    if (in.tubeVoltageKv > 150) {
        reporter.Warning(kTubeVoltageAboveMaximum);
        return InputField::TubeVoltage;
    }
    const std::pair<InputField, double> values[] = {
        {InputField::MeasuredHvl, in.measuredHvlMm},
        {InputField::TubeVoltage, in.tubeVoltageKv},
        {InputField::TargetAngle, in.targetAngleDeg},
        {InputField::InherentFiltration, in.inherentFiltrationMm},
        {InputField::AddedAluminium, in.addedAlMm},
        {InputField::AddedCopper, in.addedCuMm},
        {InputField::AddedSilver, in.addedAgMm},
    };
    for (const auto& [field, value] : values) {
        if (!InAcceptedRange(field, value)) {
            reporter.Warning(OutOfRangeMessage(field));
            return field;
        }
    }
    return std::nullopt;
}

}  // namespace

CalibrationResult CalibrationRun(CalculationState& state,
                                 const CalibrationInputs& inputs,
                                 Reporter& reporter) {
    CalibrationResult result;
    result.refused = RefusedInput(inputs, reporter);
    if (result.refused)
        return result;
    result.started = true;

    state.HvlMaterial = static_cast<std::int16_t>(inputs.hvlMaterial);
    state.TubeVoltageKv = inputs.tubeVoltageKv;
    state.TargetAngleDeg = inputs.targetAngleDeg;
    state.InherentFiltrationMm = inputs.inherentFiltrationMm;
    state.AddedAlMm = inputs.addedAlMm;
    state.NominalFiltrationAlCm = (state.InherentFiltrationMm + state.AddedAlMm) * 0.1;
    state.AddedCuCm = inputs.addedCuMm * 0.1;
    state.AddedAgCm = inputs.addedAgMm * 0.1;
    state.CalibrationSucceeded = 0;

    ClearBeamSpectrum(state);
    reporter.ShowBusy();

    state.HvlFitFailed = 0;
    state.CalibrationPass = 1;
    const bool pass1 = RunSpectrumPass(state, reporter, result);
    reporter.LetEventsRun();

    const bool fit = FitFiltrationToHvl(state, inputs.measuredHvlMm, reporter, result);
    reporter.LetEventsRun();

    state.CalibrationPass = 2;
    ClearBeamSpectrum(state);
    const bool pass2 = RunSpectrumPass(state, reporter, result);
    reporter.LetEventsRun();

    reporter.HideBusy();
    state.PlotCursorShown = 0;
    result.succeeded = pass1 && fit && pass2 && state.HvlFitFailed == 0;
    state.CalibrationSucceeded = result.succeeded ? 1 : 0;
    return result;
}

bool RunSpectrumPass(CalculationState& state, Reporter& reporter, CalibrationResult& result) {
    if (state.HvlFitFailed == 1)
        return false;
    if (state.CalibrationPass == 1)
        state.FiltrationAlCm = state.NominalFiltrationAlCm;

    // Any failure ends the pass; what it wrote so far stays.
    if (!GenerateTargetSpectrum(state) || !FilterSpectrum(state)) {
        reporter.Warning(kSpectrumPassFailed);
        return false;
    }
    const std::optional<double> s2 = ComputeKermaSpectrum(state, state.BeamSpectrum);
    if (!s2 || !ComputeHvl(state, *s2)) {
        reporter.Warning(kSpectrumPassFailed);
        return false;
    }
    if (state.CalibrationPass != 2)
        return true;

    // Pass 2 gives its results.
    state.SpectrumPeak = PeakOf(state.BeamSpectrum, 2, HighestBin(state.TubeVoltageKv));
    result.hvlAlMm = state.HvlAlCm * 10;
    result.hvlCuMm = state.HvlCuMm * 10 * 0.1;
    state.BowtieAlMm[0] = (state.FiltrationAlCm - state.NominalFiltrationAlCm) * 10;
    if (!(state.BowtieAlMm[0] > 0)) {
        reporter.Warning(kNegativeBowtie);
        return false;
    }
    result.centreBowtieMm = state.BowtieAlMm[0];
    for (int i = 1; i <= kBinCount; ++i)
        state.PointSpectra[0][i] = state.BeamSpectrum[i];
    return true;
}

namespace {

// False when the fit ended in a failure (reported).
bool FitWithCurve(CalculationState& state,
                  const FitVariant& variant,
                  double measuredHvlMm,
                  Reporter& reporter,
                  CalibrationResult& result,
                  FitCurve& curve) {
    ClearBeamSpectrum(state);
    const double measured = measuredHvlMm * variant.measuredScale;

    // During the fit BeamSpectrum holds the unfiltered model spectrum; every evaluation refilters it.
    if (!GenerateTargetSpectrum(state)) {
        reporter.Warning(variant.failure);
        return false;
    }
    const int top = HighestBin(state.TubeVoltageKv);
    for (int i = 2; i <= top; ++i)
        state.BeamSpectrum[i] = state.TargetSpectrum[i];

    // First evaluation at the filtration of pass 1.
    const double t0 = state.FiltrationAlCm;
    double share = 0;
    const Evaluation first = EvaluateHvl(state, variant, t0, variant.firstSteps, false, curve, 0, &share);
    if (EndsFit(first, state, variant, reporter))
        return false;

    double h = first.hvl;
    // Direction 1: the model beam is too hard, the filtration shrinks; direction 2: it grows.
    const bool shrink = h > measured;
    if (!shrink && !(h < measured))
        return true;  // already equal: the filtration stays and no fitted value is given

    // An HVL at or above the limit no amount of aluminium reaches; without this check the trials would
    // creep towards the limit until the spectrum underflows.
    if (!shrink && measured >= LimitingHvl(state, variant, share)) {
        GiveUpFit(state, reporter);
        return false;
    }

    // Trials in steps of 0.1 mm. The trial filtration lives in t; FiltrationAlCm changes only when the fit
    // completes. The loop is bounded so that an HVL the model cannot give ends the fit instead of running
    // on: a trial whose curve no longer crosses 50 % within its steps, or more than kMaxTrials trials. The
    // first never happens on the way to an HVL the trials do reach, so every HVL within 10 cm of aluminium
    // of the starting filtration is fitted exactly where the unbounded loop would fit it.
    // Nor can a negative filtration give a measured HVL: one below the model HVL without any filtration (an
    // HVL near 0) gives the fit up as soon as a trial would need less than no aluminium. (Left to go on, the
    // model HVL would pass its minimum and rise again while the trials went on until the filter's
    // exponential overflowed, a few tenths of a millimetre below zero.)
    double t = t0;
    double previous = h;
    int crossing = first.crossing;
    for (int trial = 1;; ++trial) {
        if (trial > kMaxTrials) {
            GiveUpFit(state, reporter);
            return false;
        }
        previous = h;
        t = shrink ? t - kTrialStepCm : t + kTrialStepCm;
        // The steps of 0.1 mm may land a rounding error below an exact 0.
        if (t < -1e-9) {
            GiveUpFit(state, reporter);
            return false;
        }
        // A trial's crossing lies within a few steps of the previous one.
        const Evaluation e = EvaluateHvl(state, variant, t, variant.trialSteps, true, curve, crossing + 8);
        if (EndsFit(e, state, variant, reporter))
            return false;
        h = e.hvl;
        crossing = e.crossing;
        if (shrink ? !(h > measured) : !(h < measured))
            break;
    }

    // Linear interpolation between the last two trials.
    const double fitted = shrink ? t + kTrialStepCm * (measured - h) / (previous - h)
                                 : (t - kTrialStepCm) + kTrialStepCm * (measured - previous) / (h - previous);
    if (!std::isfinite(fitted)) {
        reporter.Warning(variant.failure);
        return false;
    }
    state.FiltrationAlCm = fitted;
    result.fittedFiltrationMm = state.FiltrationAlCm * 10;
    return true;
}

}  // namespace

bool FitFiltrationToHvl(CalculationState& state,
                        double measuredHvlMm,
                        Reporter& reporter,
                        CalibrationResult& result) {
    const FitVariant& variant = state.HvlMaterial == 1 ? kAluminiumFit : kCopperFit;
    FitCurve curve;
    const bool fitted = FitWithCurve(state, variant, measuredHvlMm, reporter, result, curve);
    CompleteFitCurve(state, variant, curve);
    return fitted;
}

}  // namespace halvorn
