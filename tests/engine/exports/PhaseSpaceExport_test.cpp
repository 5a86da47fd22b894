#include "engine/exports/PhaseSpaceExport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <numbers>

#include "ExportTestSupport.h"

namespace halvorn {
namespace {

// An IAEA phase space read as its format describes it, apart from the writer: header blocks "$NAME:" with
// their lines up to the next block ("//" starts a comment), records of a type byte and 4-byte
// little-endian floats.
struct Particle {
    int type = 0;
    float e = 0, x = 0, y = 0, z = 0, u = 0, v = 0, w = 0, weight = 0;
};

std::map<std::string, std::vector<std::string>> HeaderBlocks(const std::string& header) {
    std::map<std::string, std::vector<std::string>> blocks;
    std::string current;
    for (std::string line : LinesOf(header)) {
        if (!line.empty() && line[0] == '$') {
            current = line.substr(1, line.find(':') - 1);
            blocks[current];
            continue;
        }
        line = line.substr(0, line.find("//"));
        line.erase(line.find_last_not_of(' ') + 1);
        if (!current.empty() && !line.empty())
            blocks[current].push_back(line);
    }
    return blocks;
}

std::vector<Particle> ReadRecords(const std::map<std::string, std::vector<std::string>>& h,
                                  const std::string& bytes) {
    std::vector<int> stored;  // X Y Z U V W weight extra-floats extra-longs
    for (const std::string& line : h.at("RECORD_CONTENTS"))
        stored.push_back(std::stoi(line));
    EXPECT_EQ(stored.size(), 9u);
    std::vector<float> constants;
    for (const std::string& line : h.at("RECORD_CONSTANT"))
        constants.push_back(std::stof(line));
    const int length = 1 + 4 * (1 + stored[0] + stored[1] + stored[2] + stored[3] + stored[4] + stored[6] +
                                stored[7] + stored[8]);
    EXPECT_EQ(std::to_string(length), h.at("RECORD_LENGTH").at(0));
    EXPECT_EQ(bytes.size() % length, 0u);
    std::vector<Particle> out;
    for (std::size_t at = 0; at + length <= bytes.size(); at += length) {
        const char* p = bytes.data() + at;
        auto next = [&] {
            std::uint32_t bits = 0;
            for (int b = 3; b >= 0; --b)
                bits = (bits << 8) | static_cast<unsigned char>(p[b]);
            p += 4;
            float f;
            std::memcpy(&f, &bits, 4);
            return f;
        };
        Particle q;
        q.type = static_cast<signed char>(*p++);
        q.e = next();
        std::size_t constant = 0;
        float* coordinate[] = {&q.x, &q.y, &q.z, &q.u, &q.v};
        for (int k = 0; k < 5; ++k)
            *coordinate[k] = stored[k] ? next() : constants.at(constant++);
        q.weight = stored[6] ? next() : constants.at(constant++);
        q.w = std::sqrt(std::max(0.0f, 1 - q.u * q.u - q.v * q.v)) * (q.type < 0 ? -1 : 1);
        out.push_back(q);
    }
    return out;
}

class PhaseSpaceTest : public ExampleExportTest {
protected:
    // f(gamma) from the points themselves, mirrored, linear between them.
    double Fluence(double gamma) const {
        const double g = std::fabs(gamma) * 180 / std::numbers::pi;
        for (std::size_t p = 0; p + 1 < points.size(); ++p) {
            const double a = *points[p].fanAngleDeg, b = *points[p + 1].fanAngleDeg;
            if (g <= b) {
                const double t = (g - a) / (b - a);
                return (1 - t) * *points[p].relativeFluence + t * *points[p + 1].relativeFluence;
            }
        }
        return 0;
    }
    double Last() const { return *points.back().fanAngleDeg * std::numbers::pi / 180; }
};

TEST_F(PhaseSpaceTest, FileAsTheIaeaRoutinesReadIt) {
    const FanBeam fan = FanBeamOf(With(points, inputs));
    PhaseSpaceOptions options;
    options.photons = 200000;
    options.collimationCm = 4;
    options.photonsPerMasPerCm2Centre = 3e8;
    std::string records;
    const PhaseSpaceResult result = PhaseSpaceFiles(fan, inputs, options, records);
    ASSERT_TRUE(result.ok()) << result.error;
    const auto h = HeaderBlocks(result.header);
    for (const char* name : {"IAEA_INDEX", "TITLE", "FILE_TYPE", "CHECKSUM", "RECORD_CONTENTS",
                             "RECORD_CONSTANT", "RECORD_LENGTH", "BYTE_ORDER", "ORIG_HISTORIES", "PARTICLES",
                             "PHOTONS", "TRANSPORT_PARAMETERS", "MACHINE_TYPE", "MONTE_CARLO_CODE_VERSION",
                             "GLOBAL_PHOTON_ENERGY_CUTOFF", "GLOBAL_PARTICLE_ENERGY_CUTOFF",
                             "COORDINATE_SYSTEM_DESCRIPTION", "STATISTICAL_INFORMATION_PARTICLES"})
        ASSERT_FALSE(h.count(name) == 0 || h.at(name).empty()) << name;
    EXPECT_EQ(h.at("FILE_TYPE")[0], "0");
    EXPECT_EQ(h.at("BYTE_ORDER")[0], "1234");
    EXPECT_EQ(std::stoll(h.at("CHECKSUM")[0]), static_cast<long long>(records.size()));
    for (const char* name : {"ORIG_HISTORIES", "PARTICLES", "PHOTONS"})
        EXPECT_EQ(h.at(name)[0], "200000") << name;

    // N1 = Phi F c * integral of f cos over the fan, here by Simpson's rule on the points' own f.
    double integral = 0;
    const int steps = 20000;
    for (int k = 0; k <= steps; ++k) {
        const double g = -Last() + 2 * Last() * k / steps;
        integral += (k == 0 || k == steps ? 1 : k % 2 ? 4 : 2) * Fluence(g) * std::cos(g);
    }
    integral *= 2 * Last() / steps / 3;
    ASSERT_TRUE(result.photonsPerMas);
    EXPECT_NEAR(*result.photonsPerMas / (3e8 * 60 * 4 * integral), 1, 1e-6);
    EXPECT_NE(h.at("TITLE")[0].find(FormatScientific(*result.photonsPerMas, 6) + " photons per mAs"),
              std::string::npos);

    const std::vector<Particle> photons = ReadRecords(h, records);
    ASSERT_EQ(photons.size(), 200000u);
    const int bands = 20;
    std::vector<double> angleCount(bands);
    // Energies in 5 keV groups, in four bands of |gamma|.
    const int groups = 24, rings = 4;
    std::vector<std::vector<double>> energyCount(rings, std::vector<double>(groups));
    for (const Particle& q : photons) {
        ASSERT_EQ(q.type, 1);
        ASSERT_LT(q.e, 0) << "every photon its own history";
        ASSERT_EQ(q.weight, 1);
        const double r = std::sqrt(double(q.x) * q.x + double(q.y) * q.y + double(q.z) * q.z);
        ASSERT_NEAR(q.z, 20, 1e-6);
        ASSERT_NEAR(q.u, q.x / r, 2e-6);
        ASSERT_NEAR(q.v, q.y / r, 2e-6);
        ASSERT_NEAR(q.w, q.z / r, 2e-6);
        ASSERT_LE(std::fabs(q.y), 2 * 20.0 / 60 + 1e-6) << "the collimation scaled to the plane";
        const double gamma = std::atan(q.x / q.z);
        ASSERT_LE(std::fabs(gamma), Last() + 1e-6);
        angleCount[std::min(bands - 1, static_cast<int>((gamma + Last()) / (2 * Last()) * bands))] += 1;
        const int ring = std::min(rings - 1, static_cast<int>(std::fabs(gamma) / Last() * rings));
        ASSERT_LE(-q.e, 0.120) << "no photon above the tube voltage";
        energyCount[ring][std::min(groups - 1, static_cast<int>(-q.e * 1000 / 5))] += 1;
    }

    // Fan angle: expected share of each band, integral of f cos over the band.
    auto bandIntegral = [&](double from, double to, auto weight) {
        const int n = 400;
        double sum = 0;
        for (int k = 0; k < n; ++k) {
            const double g = from + (to - from) * (k + 0.5) / n;
            sum += weight(g) * std::cos(g);
        }
        return sum * (to - from) / n;
    };
    double chi2 = 0;
    for (int b = 0; b < bands; ++b) {
        const double from = -Last() + 2 * Last() * b / bands;
        const double expected =
            200000 * bandIntegral(from, from + 2 * Last() / bands, [&](double g) { return Fluence(g); }) /
            integral;
        chi2 += (angleCount[b] - expected) * (angleCount[b] - expected) / expected;
    }
    EXPECT_LT(chi2, 19 + 5 * std::sqrt(2 * 19.0)) << "fan angle, 19 degrees of freedom";

    // Energy within each ring: the point spectra interpolated in gamma, photons per unit angle carrying
    // cos gamma; the spectrum at gamma is the points' spectra mixed linearly (bin i is 0.5 i keV wide
    // 0.5 keV around it, so 5 keV groups hold bins 10g-1 .. 10g+8 with the edge bins half each).
    for (int ring = 0; ring < rings; ++ring) {
        std::vector<double> expected(groups);
        for (int i = 2; i <= 240; ++i) {
            const double share =
                bandIntegral(ring * Last() / rings, (ring + 1) * Last() / rings, [&](double g) {
                    const double deg = g * 180 / std::numbers::pi;
                    std::size_t p = 0;
                    while (p + 2 < points.size() && *points[p + 1].fanAngleDeg < deg)
                        ++p;
                    const double t = (deg - *points[p].fanAngleDeg) /
                                     (*points[p + 1].fanAngleDeg - *points[p].fanAngleDeg);
                    return (1 - t) * state->PointSpectra[p][i] + t * state->PointSpectra[p + 1][i];
                });
            const double lower = 0.5 * i - 0.25, upper = std::min(0.5 * i + 0.25, 120.0);
            for (int g = 0; g < groups; ++g) {
                const double overlap =
                    std::max(0.0, std::min(upper, 5.0 * (g + 1)) - std::max(lower, 5.0 * g));
                expected[g] += share * overlap / (upper - lower);
            }
        }
        double total = 0, counted = 0;
        for (int g = 0; g < groups; ++g) {
            total += expected[g];
            counted += energyCount[ring][g];
        }
        double chi2e = 0;
        int dof = -1;
        for (int g = 0; g < groups; ++g) {
            const double e = expected[g] / total * counted;
            if (e < 5)
                continue;
            chi2e += (energyCount[ring][g] - e) * (energyCount[ring][g] - e) / e;
            ++dof;
        }
        EXPECT_LT(chi2e, dof + 5 * std::sqrt(2.0 * dof))
            << "energy in ring " << ring << ", " << dof << " dof";
    }
}

TEST_F(PhaseSpaceTest, SameSeedSameBytesAndCancelLeavesNothing) {
    const FanBeam fan = FanBeamOf(With(points, inputs));
    PhaseSpaceOptions options;
    options.photons = 100000;
    options.collimationCm = 2;
    std::string first, second, other;
    ASSERT_TRUE(PhaseSpaceFiles(fan, inputs, options, first).ok());
    ASSERT_TRUE(PhaseSpaceFiles(fan, inputs, options, second).ok());
    EXPECT_TRUE(first == second);
    options.seed += 1;
    ASSERT_TRUE(PhaseSpaceFiles(fan, inputs, options, other).ok());
    EXPECT_FALSE(first == other);
    EXPECT_NE(PhaseSpaceFiles(fan, inputs, options, other).header.find("relative, no absolute scale"),
              std::string::npos);

    std::vector<long long> told;
    options.photons = 300000;
    const PhaseSpaceResult cancelled =
        PhaseSpaceFiles(fan, inputs, options, other, [&](long long done, long long) {
            told.push_back(done);
            return told.size() < 2;
        });
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(told, (std::vector<long long>{65536, 131072}));
    EXPECT_TRUE(other.empty() && cancelled.header.empty());

    options.collimationCm = 0;
    EXPECT_NE(PhaseSpaceFiles(fan, inputs, options, other).error.find("collimation"), std::string::npos);
}

}  // namespace
}  // namespace halvorn
