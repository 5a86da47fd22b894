#pragma once

// One record of a run: what it was given, what it found and where it came from. The result file, the JSON
// summary, every export file, the beam-quality table and the screens read it; nothing else assembles
// these figures. CalculationState stays the working memory of the arithmetic; a record is taken from it
// once a run (or a result file's load) has finished.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/AttenuationCoefficients.h"
#include "engine/BeamQuality.h"
#include "engine/CalculationState.h"

namespace halvorn {

// A figure a record may lack: a result file holds no target angle, measured HVL or fitted filtration.
template <typename T>
using Recorded = std::optional<T>;
inline constexpr std::nullopt_t NotRecorded = std::nullopt;

// The material the HVL was measured in; the values are those of CalculationState::HvlMaterial.
enum class HvlMaterial : std::int16_t { Aluminium = 1, Copper = 2 };

// The HVL measured at the rotation centre.
struct MeasuredHvl {
    double valueMm = 0;  // mm of `material`
    HvlMaterial material = HvlMaterial::Aluminium;
};

// The inputs of a run in the units the user gives them, with the total filtration the fit found for the
// measured HVL, which every file names beside them.
struct RunInputs {
    double tubeVoltageKv = 0;         // kV
    Recorded<double> targetAngleDeg;  // degrees
    double inherentFiltrationMm = 0;  // mm Al equivalent
    double addedAlMm = 0;             // mm
    double addedCuMm = 0;             // mm
    double addedAgMm = 0;             // mm
    Recorded<MeasuredHvl> measuredHvl;
    // Total Al-equivalent filtration of the centre ray, mm: 10 * NominalFiltrationAlCm + BowtieAlMm[0].
    Recorded<double> fittedFiltrationMm;
    double focusCentreDistanceCm = 0;  // cm
};

struct RunRecord {
    enum class Source { Calculated, Loaded };
    Source source = Source::Calculated;
    std::string loadedFrom;  // the result file's path, when Loaded
    std::string comment;     // UTF-8

    RunInputs inputs;
    // The point count N as the off-axis run or the result file's line 2 gives it (a damaged file's may be
    // fractional); `points` holds points 0..N, at most 25.
    double pointCount = 0;
    // Per point, centre first (points 0..N): distance, fan angle, relative kerma, bowtie path and the
    // beam-quality figures of its spectrum.
    std::vector<PointQuality> points;
    // The exposure reading of each point as given, relative to nothing; a result file holds none.
    std::vector<Recorded<double>> readings;
    // The photon spectrum of each point (bins 1..300), normalised to the centre peak.
    std::vector<Spectrum> spectra;
    double spectrumPeak = 0;  // peak of the centre spectrum before normalisation
    // The calibration's model HVLs of the centre spectrum (mm), as the centre-axis screen shows them.
    Recorded<double> modelHvlAlMm;
    Recorded<double> modelHvlCuMm;
    // The coefficients the figures were computed with.
    AttenuationCoefficients table;

    bool loaded() const { return source == Source::Loaded; }
    double centreBowtieMm() const { return points.empty() ? 0 : points.front().bowtieAlMm; }
};

// The spectrum of point `point` (0 the centre), or an empty one when the record holds none.
const Spectrum& SpectrumOf(const RunRecord& run, int point);

// The record of a calibration run that has just succeeded in `state`: its inputs (the measured HVL is the
// one the state does not keep), the fitted filtration, the model HVLs and the centre alone, with the
// state's own table.
RunRecord RecordCalibration(const CalculationState& state, const MeasuredHvl& measuredHvl);

// Adds to the record of the calibration the off-axis run that has just completed in `state`: the focus
// distance, points 0..N with their spectra, and the readings as given (none when the centre ran alone).
void RecordProfile(RunRecord& run, const CalculationState& state, const std::vector<double>& readings);

// The record of a result file just loaded into `state`, its figures computed with `table` (read from the
// table file on its own: the state may hold none). The target angle, the measured HVL and the fitted
// filtration are NotRecorded.
RunRecord RecordLoadedResult(const CalculationState& state,
                             const AttenuationCoefficients& table,
                             const std::string& path,
                             const std::string& comment);

}  // namespace halvorn
