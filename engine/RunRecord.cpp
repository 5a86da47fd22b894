#include "engine/RunRecord.h"

#include <utility>

namespace halvorn {

namespace {

// What every record takes from the state: the inputs a result file restores too, and the points.
RunRecord RecordOf(const CalculationState& state,
                   const AttenuationCoefficients& table,
                   int lastPoint,
                   const std::string& comment) {
    RunRecord run;
    run.comment = comment;
    run.inputs.tubeVoltageKv = state.TubeVoltageKv;
    run.inputs.inherentFiltrationMm = state.InherentFiltrationMm;
    run.inputs.addedAlMm = state.AddedAlMm;
    run.inputs.addedCuMm = 10 * state.AddedCuCm;
    run.inputs.addedAgMm = 10 * state.AddedAgCm;
    run.inputs.focusCentreDistanceCm = state.FocusCentreDistanceCm;
    run.pointCount = state.ProfilePointCount;
    run.table = table;
    run.points = RunBeamQuality(state, table, lastPoint);
    for (const PointQuality& p : run.points)
        run.spectra.push_back(state.PointSpectra[p.point]);
    run.readings.assign(run.points.size(), NotRecorded);
    run.spectrumPeak = state.SpectrumPeak;
    return run;
}

}  // namespace

const Spectrum& SpectrumOf(const RunRecord& run, int point) {
    static const Spectrum kNone{};
    return point >= 0 && static_cast<std::size_t>(point) < run.spectra.size() ? run.spectra[point] : kNone;
}

RunRecord RecordCalibration(const CalculationState& state, const MeasuredHvl& measuredHvl) {
    RunRecord run = RecordOf(state, CoefficientsOf(state), 0, std::string());
    run.source = RunRecord::Source::Calculated;
    run.inputs.targetAngleDeg = state.TargetAngleDeg;
    run.inputs.measuredHvl = measuredHvl;
    run.inputs.fittedFiltrationMm = 10 * state.NominalFiltrationAlCm + state.BowtieAlMm[0];
    run.modelHvlAlMm = state.HvlAlCm * 10;
    run.modelHvlCuMm = state.HvlCuMm;
    return run;
}

void RecordProfile(RunRecord& run, const CalculationState& state, const std::vector<double>& readings) {
    RunRecord profile = RecordOf(state, run.table, LastProfilePoint(state), run.comment);
    run.inputs.focusCentreDistanceCm = profile.inputs.focusCentreDistanceCm;
    run.pointCount = profile.pointCount;
    run.points = std::move(profile.points);
    run.spectra = std::move(profile.spectra);
    run.spectrumPeak = profile.spectrumPeak;
    run.readings = std::move(profile.readings);
    for (std::size_t p = 0; p < readings.size() && p < run.readings.size(); ++p)
        run.readings[p] = readings[p];
}

RunRecord RecordLoadedResult(const CalculationState& state,
                             const AttenuationCoefficients& table,
                             const std::string& path,
                             const std::string& comment) {
    RunRecord run = RecordOf(state, table, LastProfilePoint(state), comment);
    run.source = RunRecord::Source::Loaded;
    run.loadedFrom = path;
    run.inputs.targetAngleDeg = NotRecorded;
    run.inputs.measuredHvl = NotRecorded;
    run.inputs.fittedFiltrationMm = NotRecorded;
    return run;
}

}  // namespace halvorn
