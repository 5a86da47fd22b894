#include "engine/exports/BowtieSolidExport.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <numbers>
#include <vector>

#include "engine/Filtration.h"
#include "engine/NumberText.h"
#include "engine/TuckerSpectrum.h"
#include "engine/exports/GateExport.h"

namespace halvorn {

namespace {

constexpr double kDegree = std::numbers::pi / 180;
constexpr double kUnknownCollimationCm = 16;

using Vec = std::array<double, 3>;

Vec Minus(const Vec& a, const Vec& b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
Vec Cross(const Vec& a, const Vec& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

void PutFloat(std::string& out, double value) {
    const float f = static_cast<float>(value);
    std::uint32_t bits;
    std::memcpy(&bits, &f, 4);
    if constexpr (std::endian::native == std::endian::big)
        bits = __builtin_bswap32(bits);
    char bytes[4];
    std::memcpy(bytes, &bits, 4);
    out.append(bytes, 4);
}

void PutTriangle(std::string& out, const Vec& a, const Vec& b, const Vec& c) {
    const Vec n = Cross(Minus(b, a), Minus(c, a));
    const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    for (const double v : n)
        PutFloat(out, v / length);
    for (const Vec* p : {&a, &b, &c})
        for (const double v : *p)
            PutFloat(out, v);
    out.append(2, '\0');
}

// The bowtie path (mm) at |gamma|: linear between measured angles, the outermost beyond.
double PathAt(const FanBeam& fan, double gamma) {
    const double g = std::fabs(gamma);
    if (g >= fan.angleRad.back())
        return fan.bowtieAlMm.back();
    const std::size_t j = static_cast<std::size_t>(
        std::upper_bound(fan.angleRad.begin(), fan.angleRad.end(), g) - fan.angleRad.begin() - 1);
    const double t = (g - fan.angleRad[j]) / (fan.angleRad[j + 1] - fan.angleRad[j]);
    return fan.bowtieAlMm[j] + t * (fan.bowtieAlMm[j + 1] - fan.bowtieAlMm[j]);
}

}  // namespace

ExportText BowtieStl(const FanBeam& fan, std::optional<double> collimationCm) {
    ExportText out;
    if (!fan.error.empty()) {
        out.error = fan.error;
        return out;
    }
    if (fan.angleRad.size() < 2) {
        out.error = "a bowtie solid needs at least one off-axis point";
        return out;
    }
    if (collimationCm && (!(*collimationCm > 0) || !std::isfinite(*collimationCm))) {
        out.error = "the collimation must be a positive number of centimetres";
        return out;
    }
    // The angles of the outline's vertices on one side: every 0.25 degrees, every measured angle, and the
    // end of the margin.
    const double last = fan.angleRad.back();
    const double end = last + kBowtieSolidMarginDeg * kDegree;
    if (!(end < 80 * kDegree)) {
        out.error = "the fan is too wide for a solid (the outermost point lies beyond 79 degrees)";
        return out;
    }
    std::vector<double> side(fan.angleRad.begin(), fan.angleRad.end());
    for (double g = 0.25 * kDegree; g < last; g += 0.25 * kDegree)
        side.push_back(g);
    side.push_back(end);
    std::sort(side.begin(), side.end());
    side.erase(std::unique(side.begin(), side.end(), [](double a, double b) { return b - a < 1e-9; }),
               side.end());
    std::vector<double> angles;
    for (auto it = side.rbegin(); it != side.rend(); ++it)
        if (*it > 0)
            angles.push_back(-*it);
    angles.insert(angles.end(), side.begin(), side.end());

    // Per angle, from -end to +end: the inner point P (towards the focus) and the base point B, in (x, z).
    std::vector<std::array<double, 2>> inner, base;
    for (const double g : angles) {
        const double t = PathAt(fan, g);
        const double reach = kBowtieBasePlaneMm / std::cos(g);
        if (!(t > 0) || !(t < 0.99 * reach)) {
            out.error = "a bowtie path of " + FormatFixed(t, 3) + " mm at " + FormatFixed(g / kDegree, 3) +
                        " deg does not fit between the focus and the base plane " +
                        PlainDecimal(kBowtieBasePlaneMm) + " mm from it";
            return out;
        }
        inner.push_back({(reach - t) * std::sin(g), (reach - t) * std::cos(g)});
        base.push_back({kBowtieBasePlaneMm * std::tan(g), kBowtieBasePlaneMm});
    }
    const double collimation = collimationCm.value_or(kUnknownCollimationCm);
    const double halfY =
        0.5 * 10 * collimation * (kBowtieBasePlaneMm / 10) / fan.focusCentreDistanceCm * 1.1 + 2;

    auto at = [](const std::array<double, 2>& p, double y) { return Vec{p[0], y, p[1]}; };
    std::string body;
    std::uint32_t count = 0;
    auto triangle = [&](const Vec& a, const Vec& b, const Vec& c) {
        PutTriangle(body, a, b, c);
        ++count;
    };
    // The outline runs P_0 .. P_M, B_M .. B_0: counter-clockwise in (x, z), so seen from -y. Each piece
    // between two rays is the convex quadrilateral P_k, P_k+1, B_k+1, B_k.
    const std::size_t m = angles.size() - 1;
    for (std::size_t k = 0; k < m; ++k) {
        const auto &p0 = inner[k], &p1 = inner[k + 1], &b0 = base[k], &b1 = base[k + 1];
        triangle(at(p0, -halfY), at(p1, -halfY), at(b1, -halfY));
        triangle(at(p0, -halfY), at(b1, -halfY), at(b0, -halfY));
        triangle(at(p0, halfY), at(b1, halfY), at(p1, halfY));
        triangle(at(p0, halfY), at(b0, halfY), at(b1, halfY));
    }
    // The walls along the outline's edges p -> q, outward to the right of the counter-clockwise run.
    auto wall = [&](const std::array<double, 2>& p, const std::array<double, 2>& q) {
        triangle(at(p, -halfY), at(p, halfY), at(q, halfY));
        triangle(at(p, -halfY), at(q, halfY), at(q, -halfY));
    };
    for (std::size_t k = 0; k < m; ++k)
        wall(inner[k], inner[k + 1]);
    wall(inner[m], base[m]);
    for (std::size_t k = m; k > 0; --k)
        wall(base[k], base[k - 1]);
    wall(base[0], inner[0]);

    std::string header = ProgramName() + " bowtie, aluminium, mm; focus at origin, central ray +z, fan x-z";
    header.resize(80, ' ');
    out.bytes = header;
    for (int b = 0; b < 4; ++b)
        out.bytes += static_cast<char>((count >> (8 * b)) & 0xff);
    out.bytes += body;
    return out;
}

PreBowtieSpectrum PreBowtieSpectrumOf(const AttenuationCoefficients& table,
                                      const RunInputs& inputs,
                                      double centreBowtieAlMm) {
    PreBowtieSpectrum out;
    if (!inputs.targetAngleDeg) {
        out.error = "the spectrum before the bowtie needs the target angle, which a loaded result file lacks";
        return out;
    }
    auto scratch = std::make_unique<CalculationState>();
    CalculationState& s = *scratch;
    s.TubeVoltageKv = inputs.tubeVoltageKv;
    s.TargetAngleDeg = *inputs.targetAngleDeg;
    s.AddedCuCm = inputs.addedCuMm / 10;
    s.AddedAgCm = inputs.addedAgMm / 10;
    s.MuTungsten = table.MuTungsten;
    s.MuAluminium = table.MuAluminium;
    s.MuCopper = table.MuCopper;
    s.MuSilver = table.MuSilver;
    const double nominalCm = (inputs.inherentFiltrationMm + inputs.addedAlMm) * 0.1;
    const int highest = HighestBin(s.TubeVoltageKv);
    // The model once; its filtering twice, without and with the centre's bowtie path.
    bool ok = GenerateTargetSpectrum(s);
    Spectrum before{}, centre{};
    ok = ok && FilterSpectrumWith(s, s.TargetSpectrum, nominalCm, before) &&
         FilterSpectrumWith(s, s.TargetSpectrum, nominalCm + 0.1 * centreBowtieAlMm, centre);
    const double peak = PeakOf(centre, 1, kBinCount);
    double sumBefore = 0, sumCentre = 0;
    for (int i = 2; ok && i <= highest; ++i) {
        out.photons[i] = before[i] / peak;
        if (!(out.photons[i] > 1e-10))
            out.photons[i] = 0;  // as the stored spectra
        sumBefore += before[i];
        sumCentre += centre[i];
    }
    out.photonsToCentre = sumBefore / sumCentre;
    if (!ok || !(peak > 0) || !std::isfinite(out.photonsToCentre) || !(out.photonsToCentre > 0)) {
        out.error = "the spectrum before the bowtie cannot be computed at these inputs";
        out.photons.fill(0);
    }
    return out;
}

ExportText Gate10FanBeam(const FanBeam& fan,
                         const RunInputs& inputs,
                         const PreBowtieSpectrum& preBowtie,
                         std::optional<double> collimationCm,
                         std::optional<double> photonsPerMasPerCm2Centre) {
    ExportText out;
    if (!fan.error.empty() || !preBowtie.error.empty()) {
        out.error = !fan.error.empty() ? fan.error : preBowtie.error;
        return out;
    }
    if (fan.angleRad.size() < 2) {
        out.error = "a fan beam needs at least one off-axis point";
        return out;
    }
    // The spectrum's lists as the GATE 10 spectrum file writes them, indented into this module.
    const ExportText spectrum = Gate10Spectrum(preBowtie.photons, inputs, "before the bowtie");
    if (!spectrum.ok()) {
        out.error = spectrum.error;
        return out;
    }
    const std::string& s = spectrum.bytes;
    const std::string lists = s.substr(s.find("SPECTRUM_ENERGY_BIN_EDGES_MEV"),
                                       s.find("\n\n\ndef ") - s.find("SPECTRUM_ENERGY_BIN_EDGES_MEV"));
    const double focus = fan.focusCentreDistanceCm;
    std::string& t = out.bytes;
    t = "# " + ProgramName() + " fan beam for GATE 10 (opengate): the bowtie as a solid of aluminium\n";
    t +=
        "# (bowtie.stl) and a point source at the focus with the spectrum before the bowtie, sent into the\n";
    t += "# fan. Frame: the focus at the origin of the mother volume, the central ray along +z, the fan in "
         "the\n";
    t += "# x-z plane (fan angle gamma = atan(x / z)), the patient axis along y; the STL is in mm.\n";
    t += "# Inputs: " + DescribeInputs(inputs) + "\n";
    t += "#\n";
    t += "# Use:\n";
    t += "#     import gate10_fan_beam\n";
    t += "#     bowtie, source = gate10_fan_beam.add_fan_beam(sim)\n";
    t += "#\n";
    t += "# The source sends photons uniformly in solid angle over +-FAN_HALF_ANGLE_DEG across and, along "
         "y,\n";
    t += "# over the angle of the collimation at the rotation centre; the solid makes the fan's profile.\n";
    if (photonsPerMasPerCm2Centre) {
        t += "# Absolute: PHOTONS_PER_MAS is what the source stands for per mAs (from the air kerma at the\n";
        t += "# rotation centre); a result per event times PHOTONS_PER_MAS is that result per mAs.\n";
    } else {
        t += "# Relative: no air kerma was given, so there is no absolute scale (PHOTONS_PER_MAS is None).\n";
    }
    t += "\nimport math\nfrom pathlib import Path\n\n";
    t += "FOLDER = Path(__file__).resolve().parent\n";
    t += "FOCUS_CENTRE_DISTANCE_CM = " + FormatShortest(focus) + "\n";
    t += "# The outermost measured point: the fan ends there.\n";
    t += "FAN_HALF_ANGLE_DEG = " + FormatFixed(fan.angleRad.back() / kDegree, 6) + "\n";
    t += "# The beam width at the rotation centre along y (cm)" +
         std::string(collimationCm ? ".\n" : ": NOT GIVEN, set it before use.\n");
    t += "COLLIMATION_CM = " + (collimationCm ? FormatShortest(*collimationCm) : std::string("None")) + "\n";
    t += "# Photons per steradian per mAs leaving the focus before the bowtie.\n";
    t += "PHOTONS_PER_SR_PER_MAS = " +
         (photonsPerMasPerCm2Centre
              ? FormatScientific(*photonsPerMasPerCm2Centre * focus * focus * preBowtie.photonsToCentre, 9)
              : std::string("None")) +
         "\n\n";
    t += "# The spectrum before the bowtie (inherent and added filtration only), histogram, MeV.\n";
    t += lists + "\n\n";
    t += "SLAB_HALF_ANGLE_DEG = (\n";
    t += "    None if COLLIMATION_CM is None\n";
    t += "    else math.degrees(math.atan(COLLIMATION_CM / 2 / FOCUS_CENTRE_DISTANCE_CM))\n";
    t += ")\n";
    t += "PHOTONS_PER_MAS = (\n";
    t += "    None if PHOTONS_PER_SR_PER_MAS is None or COLLIMATION_CM is None\n";
    t += "    else PHOTONS_PER_SR_PER_MAS * 2 * math.radians(FAN_HALF_ANGLE_DEG)\n";
    t += "    * 2 * math.sin(math.radians(SLAB_HALF_ANGLE_DEG))\n";
    t += ")\n\n\n";
    t += "def add_fan_beam(sim, name=\"halvorn\", mother=\"world\"):\n";
    t += "    \"\"\"Adds the bowtie solid and the source to `sim`; the mother volume's origin is the "
         "focus.\"\"\"\n";
    t += "    import opengate as gate\n\n";
    t += "    if COLLIMATION_CM is None:\n";
    t += "        raise ValueError(\"set COLLIMATION_CM, the beam width at the rotation centre along y "
         "(cm)\")\n";
    t += "    mm = gate.g4_units.mm\n";
    t += "    MeV = gate.g4_units.MeV\n";
    t += "    deg = gate.g4_units.deg\n\n";
    t += "    bowtie = sim.add_volume(\"Tesselated\", f\"{name}_bowtie\")\n";
    t += "    bowtie.mother = mother\n";
    t += "    bowtie.file_name = str(FOLDER / \"bowtie.stl\")\n";
    t += "    bowtie.unit = mm\n";
    t += "    bowtie.material = \"G4_Al\"\n\n";
    t += "    source = sim.add_source(\"GenericSource\", f\"{name}_source\")\n";
    t += "    source.attached_to = mother\n";
    t += "    source.particle = \"gamma\"\n";
    t += "    source.position.type = \"point\"\n";
    t += "    source.position.translation = [0, 0, 0]\n";
    t += "    # Geant4's isotropic direction is -(sin t cos p, sin t sin p, cos t) in the source's frame; "
         "the\n";
    t += "    # rotation takes that frame's x, y, z to z, x, y, so that p = 180 deg + gamma is the fan "
         "angle\n";
    t += "    # gamma and t = 90 deg -+ the slab half angle bounds y.\n";
    t += "    source.position.rotation = [[0, 1, 0], [0, 0, 1], [1, 0, 0]]\n";
    t += "    source.direction.type = \"iso\"\n";
    t +=
        "    source.direction.theta = [(90 - SLAB_HALF_ANGLE_DEG) * deg, (90 + SLAB_HALF_ANGLE_DEG) * deg]\n";
    t += "    source.direction.phi = [(180 - FAN_HALF_ANGLE_DEG) * deg, (180 + FAN_HALF_ANGLE_DEG) * deg]\n";
    t += "    source.energy.type = \"spectrum_histogram\"\n";
    t += "    source.energy.spectrum_energy_bin_edges = [e * MeV for e in SPECTRUM_ENERGY_BIN_EDGES_MEV]\n";
    t += "    source.energy.spectrum_weights = [w / MeV for w in SPECTRUM_WEIGHTS_PER_MEV]\n";
    t += "    return bowtie, source\n";
    return out;
}

}  // namespace halvorn
