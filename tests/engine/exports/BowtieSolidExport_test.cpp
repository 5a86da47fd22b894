#include "engine/exports/BowtieSolidExport.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <numbers>

#include "ExportTestSupport.h"

namespace halvorn {
namespace {

using BowtieSolidTest = ExampleExportTest;
using Vertex = std::array<float, 3>;
using Triangle = std::array<Vertex, 3>;

// A binary STL read as the format describes it: 80 bytes of header, a little-endian count, then per
// triangle 12 floats (normal, three vertices) and two attribute bytes.
std::vector<Triangle> ReadStl(const std::string& bytes) {
    EXPECT_NE(bytes.rfind("solid", 0), 0u) << "a binary STL must not begin with 'solid'";
    auto word = [&](std::size_t at) {
        std::uint32_t v = 0;
        for (int b = 3; b >= 0; --b)
            v = (v << 8) | static_cast<unsigned char>(bytes.at(at + b));
        return v;
    };
    const std::uint32_t count = word(80);
    EXPECT_EQ(bytes.size(), 84 + 50 * std::size_t{count});
    std::vector<Triangle> out;
    for (std::size_t k = 0; k < count; ++k) {
        float f[12];
        for (int i = 0; i < 12; ++i) {
            const std::uint32_t bits = word(84 + 50 * k + 4 * i);
            std::memcpy(&f[i], &bits, 4);
        }
        const Triangle t{Vertex{f[3], f[4], f[5]}, Vertex{f[6], f[7], f[8]}, Vertex{f[9], f[10], f[11]}};
        // The stored normal agrees with the counter-clockwise order of the vertices.
        const double e1[3] = {t[1][0] - t[0][0], t[1][1] - t[0][1], t[1][2] - t[0][2]};
        const double e2[3] = {t[2][0] - t[0][0], t[2][1] - t[0][1], t[2][2] - t[0][2]};
        const double n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                             e1[0] * e2[1] - e1[1] * e2[0]};
        EXPECT_GT(n[0] * f[0] + n[1] * f[1] + n[2] * f[2], 0) << "triangle " << k;
        EXPECT_NEAR(f[0] * f[0] + f[1] * f[1] + f[2] * f[2], 1, 1e-5);
        out.push_back(t);
    }
    return out;
}

// The distances from the focus at which the ray from the origin towards `d` crosses the triangles.
std::vector<double> Crossings(const std::vector<Triangle>& mesh, const std::array<double, 3>& d) {
    std::vector<double> hits;
    for (const Triangle& t : mesh) {
        const double a[3] = {t[0][0], t[0][1], t[0][2]};
        double e1[3], e2[3];
        for (int i = 0; i < 3; ++i) {
            e1[i] = t[1][i] - a[i];
            e2[i] = t[2][i] - a[i];
        }
        const double p[3] = {d[1] * e2[2] - d[2] * e2[1], d[2] * e2[0] - d[0] * e2[2],
                             d[0] * e2[1] - d[1] * e2[0]};
        const double det = e1[0] * p[0] + e1[1] * p[1] + e1[2] * p[2];
        if (std::fabs(det) < 1e-12)
            continue;
        const double s[3] = {-a[0], -a[1], -a[2]};
        const double u = (s[0] * p[0] + s[1] * p[1] + s[2] * p[2]) / det;
        const double q[3] = {s[1] * e1[2] - s[2] * e1[1], s[2] * e1[0] - s[0] * e1[2],
                             s[0] * e1[1] - s[1] * e1[0]};
        const double v = (d[0] * q[0] + d[1] * q[1] + d[2] * q[2]) / det;
        const double distance = (e2[0] * q[0] + e2[1] * q[1] + e2[2] * q[2]) / det;
        if (u >= -1e-7 && v >= -1e-7 && u + v <= 1 + 1e-7 && distance > 0)
            hits.push_back(distance);
    }
    return hits;
}

TEST_F(BowtieSolidTest, ClosedOutwardAndEveryRayCrossesItsPath) {
    const FanBeam fan = FanBeamOf(With(points, inputs));
    const ExportText stl = BowtieStl(fan, 4.0);
    ASSERT_TRUE(stl.ok()) << stl.error;
    const std::vector<Triangle> mesh = ReadStl(stl.bytes);
    ASSERT_GT(mesh.size(), 100u);

    // Closed and consistently oriented: every directed edge once, and its reverse once.
    std::map<std::pair<Vertex, Vertex>, int> edges;
    double volume = 0;
    for (const Triangle& t : mesh) {
        for (int i = 0; i < 3; ++i)
            ++edges[{t[i], t[(i + 1) % 3]}];
        volume += (double(t[0][0]) * (double(t[1][1]) * t[2][2] - double(t[1][2]) * t[2][1]) -
                   double(t[0][1]) * (double(t[1][0]) * t[2][2] - double(t[1][2]) * t[2][0]) +
                   double(t[0][2]) * (double(t[1][0]) * t[2][1] - double(t[1][1]) * t[2][0])) /
                  6;
    }
    for (const auto& [edge, count] : edges) {
        ASSERT_EQ(count, 1);
        ASSERT_EQ(edges.count({edge.second, edge.first}), 1u) << "an edge without its opposite";
    }
    EXPECT_GT(volume, 0) << "outward normals give a positive volume";

    // Along every measured ray, on both sides and off the fan plane: the chord is the bowtie path.
    for (const PointQuality& p : points) {
        for (const double side : {-1.0, 1.0}) {
            for (const double y : {0.0, 5.0}) {
                const double g = side * *p.fanAngleDeg * std::numbers::pi / 180;
                const std::vector<double> hits = Crossings(mesh, {150 * std::sin(g), y, 150 * std::cos(g)});
                ASSERT_FALSE(hits.empty()) << "point " << p.point;
                const auto [near, far] = std::minmax_element(hits.begin(), hits.end());
                // Off the fan plane the chord's projection on the x-z plane is the path (an extrusion).
                EXPECT_NEAR((*far - *near) * 150, p.bowtieAlMm, 0.01) << "point " << p.point << " y " << y;
                EXPECT_NEAR(*far * 150 * std::cos(g), 150, 0.001) << "the far end on the base plane";
            }
        }
    }
}

TEST_F(BowtieSolidTest, PreBowtieSpectrumIsTheCentreWithoutTheBowtie) {
    const PreBowtieSpectrum before = PreBowtieSpectrumOf(table, inputs, state->BowtieAlMm[0]);
    ASSERT_EQ(before.error, "");
    double sumBefore = 0, sumCentre = 0;
    for (int i = 2; i <= 240; ++i) {
        const double centre = state->PointSpectra[0][i];
        if (centre > 0) {
            EXPECT_NEAR(
                before.photons[i] * std::exp(-table.MuAluminium[i] * 0.1 * state->BowtieAlMm[0]) / centre, 1,
                1e-9)
                << "bin " << i;
        }
        sumBefore += before.photons[i];
        sumCentre += centre;
    }
    EXPECT_NEAR(before.photonsToCentre, sumBefore / sumCentre, 1e-6 * before.photonsToCentre);
    inputs.targetAngleDeg.reset();
    EXPECT_NE(PreBowtieSpectrumOf(table, inputs, state->BowtieAlMm[0]).error, "");
}

}  // namespace
}  // namespace halvorn
