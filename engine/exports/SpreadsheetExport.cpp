#include "engine/exports/SpreadsheetExport.h"

#include <optional>

namespace halvorn {

namespace {

constexpr const char* kByteOrderMark = "\xEF\xBB\xBF";

std::string Field(const std::optional<double>& value, int decimals) {
    return value ? FormatFixed(*value, decimals) : std::string();
}

}  // namespace

ExportText SpectraLongCsv(const RunRecord& run) {
    const std::vector<PointQuality>& points = run.points;
    ExportText out;
    for (const PointQuality& p : points) {
        const std::string what = p.point == 0 ? "the centre" : "point " + std::to_string(p.point);
        if (const auto problem = SpectrumProblem(SpectrumOf(run, p.point), run.inputs.tubeVoltageKv, what)) {
            out.error = *problem;
            return out;
        }
    }
    std::string& t = out.bytes;
    t = kByteOrderMark;
    t += "point,off_axis_cm,fan_angle_deg,bowtie_al_mm,energy_keV,relative_fluence\r\n";
    const std::vector<EnergyBin> bins = ExportBins(run.inputs.tubeVoltageKv);
    for (const PointQuality& p : points) {
        const std::string prefix = std::to_string(p.point) + "," + FormatShortest(p.offAxisCm) + "," +
                                   Field(p.fanAngleDeg, 6) + "," + FormatShortest(p.bowtieAlMm) + ",";
        for (const EnergyBin& b : bins)
            t += prefix + FormatFixed(b.centreKev, 1) + "," +
                 FormatShortest(SpectrumOf(run, p.point)[b.index]) + "\r\n";
    }
    return out;
}

ExportText BeamQualityCsv(const std::vector<PointQuality>& points) {
    ExportText out;
    std::string& t = out.bytes;
    t = kByteOrderMark;
    t += "point,off_axis_cm,fan_angle_deg,bowtie_al_mm,relative_kerma,relative_fluence,hvl1_al_mm,hvl2_al_mm,"
         "homogeneity_al,hvl1_cu_mm,hvl2_cu_mm,homogeneity_cu,mean_energy_kev,effective_energy_al_kev,"
         "effective_energy_cu_kev\r\n";
    for (const PointQuality& p : points) {
        const MaterialQuality& al = p.quality.aluminium;
        const MaterialQuality& cu = p.quality.copper;
        t += std::to_string(p.point) + "," + FormatShortest(p.offAxisCm) + "," + Field(p.fanAngleDeg, 4) +
             "," + FormatShortest(p.bowtieAlMm) + "," + FormatShortest(p.relativeKerma) + "," +
             Field(p.relativeFluence, 6) + "," + Field(al.hvl1Mm, 4) + "," + Field(al.hvl2Mm, 4) + "," +
             Field(al.homogeneity, 4) + "," + Field(cu.hvl1Mm, 4) + "," + Field(cu.hvl2Mm, 4) + "," +
             Field(cu.homogeneity, 4) + "," + Field(p.quality.meanEnergyKev, 3) + "," +
             Field(al.effectiveEnergyKev, 3) + "," + Field(cu.effectiveEnergyKev, 3) + "\r\n";
    }
    return out;
}

}  // namespace halvorn
