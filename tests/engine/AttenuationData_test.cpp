// Checks the committed attenuation table data/MUs2022.dat against the NIST SRD 126 tables in data/nist/.
// The table is read here with a plain free-format reader of its own, so these tests judge the data file
// independently of the engine's loader.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace halvorn {
namespace {

constexpr int kRecords = 300;
constexpr int kColumns = 7;

// Column of the table (1-based, as in the file) and the density that turns its linear coefficient into
// NIST's mass coefficient; the air column is already mu_en/rho, so its "density" is 1.
struct Material {
    const char* nistFile;
    int column;
    double density;
    bool energyAbsorption;  // compare with NIST's mu_en/rho instead of mu/rho
};

constexpr Material kTungsten{"tungsten.txt", 2, 19.30, false};
constexpr Material kAluminium{"aluminium.txt", 3, 2.699, false};
constexpr Material kCopper{"copper.txt", 4, 8.960, false};
constexpr Material kAir{"air-dry.txt", 5, 1.0, true};
constexpr Material kSilver{"silver.txt", 6, 10.50, false};
constexpr std::array<Material, 5> kMaterials{kTungsten, kAluminium, kCopper, kAir, kSilver};

// All numbers of the table file, read one after another; commas, blanks and line breaks separate them.
struct TableFile {
    std::vector<double> numbers;
    bool opened = false;
    bool cleanEnd = false;  // nothing but separators after the last number
};

TableFile ReadTableFile() {
    TableFile file;
    std::ifstream in(HALVORN_TABLE_PATH);
    if (!in)
        return file;
    file.opened = true;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::replace(text.begin(), text.end(), ',', ' ');
    std::istringstream words(text);
    std::string word;
    file.cleanEnd = true;
    while (words >> word) {
        std::size_t used = 0;
        try {
            file.numbers.push_back(std::stod(word, &used));
        } catch (const std::exception&) {
            used = 0;
        }
        if (used != word.size()) {
            file.cleanEnd = false;
            break;
        }
    }
    return file;
}

// The table as records 1..300 of seven columns; entry [i][c] is column c (1-based) of record i.
using Table = std::vector<std::array<double, kColumns + 1>>;

const Table& CommittedTable() {
    static const Table table = [] {
        Table t(kRecords + 1);
        TableFile file = ReadTableFile();
        if (file.numbers.size() < std::size_t(kRecords * kColumns))
            return Table{};
        for (int i = 1; i <= kRecords; ++i)
            for (int c = 1; c <= kColumns; ++c)
                t[i][c] = file.numbers[(i - 1) * kColumns + (c - 1)];
        return t;
    }();
    return table;
}

// Record number of an energy in keV, or 0 when the energy is not a multiple of 0.5 keV within the table.
int RecordAt(double energyKev) {
    const double twice = 2.0 * energyKev;
    const double rounded = std::round(twice);
    if (std::fabs(twice - rounded) > 1e-9 || rounded < 1 || rounded > kRecords)
        return 0;
    return int(rounded);
}

// The table's coefficient of a material, converted to NIST's units (cm^2/g).
double MassCoefficient(const Material& m, double energyKev) {
    return CommittedTable()[RecordAt(energyKev)][m.column] / m.density;
}

struct NistRow {
    double energyKev;
    double mu;    // mu/rho, cm^2/g
    double muEn;  // mu_en/rho, cm^2/g
};

std::vector<NistRow> ReadNist(const char* name) {
    std::vector<NistRow> rows;
    std::ifstream in(std::string(HALVORN_NIST_DIR) + "/" + name);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        NistRow row{};
        if (fields >> row.energyKev >> row.mu >> row.muEn)
            rows.push_back(row);
    }
    return rows;
}

// Absorption edges are the energies a NIST table lists twice (just below and just above the edge).
std::vector<double> EdgesOf(const std::vector<NistRow>& rows) {
    std::vector<double> edges;
    for (std::size_t k = 1; k < rows.size(); ++k)
        if (rows[k].energyKev == rows[k - 1].energyKev)
            edges.push_back(rows[k].energyKev);
    return edges;
}

double RelativeDeviation(double value, double reference) {
    return (value - reference) / reference;
}

TEST(AttenuationData, FileHasThreeHundredRecordsOfSevenFiniteNumbers) {
    const TableFile file = ReadTableFile();
    ASSERT_TRUE(file.opened) << "cannot open " << HALVORN_TABLE_PATH;
    EXPECT_TRUE(file.cleanEnd) << "a field of " << HALVORN_TABLE_PATH << " is not a number";
    ASSERT_EQ(file.numbers.size(), std::size_t(kRecords * kColumns)) << HALVORN_TABLE_PATH;

    const Table& t = CommittedTable();
    for (int i = 1; i <= kRecords; ++i) {
        EXPECT_DOUBLE_EQ(t[i][1], 0.5 * i) << "energy of record " << i;
        for (int c = 2; c <= 6; ++c)
            EXPECT_TRUE(std::isfinite(t[i][c]) && t[i][c] > 0)
                << "record " << i << " column " << c << " = " << t[i][c];
        EXPECT_EQ(t[i][7], 0) << "record " << i << " column 7";
    }
}

// Reference values typed in from NIST SRD 126 (Hubbell & Seltzer), table 3 (mu/rho) and table 4 (air
// mu_en/rho), so that a change of the NIST copies in data/nist/ cannot hide a change of the table.
TEST(AttenuationData, MatchesNistReferenceValues) {
    ASSERT_FALSE(CommittedTable().empty()) << HALVORN_TABLE_PATH;
    struct Reference {
        const Material& material;
        double energyKev;
        double nist;  // cm^2/g
    };
    const Reference references[] = {
        {kAluminium, 10, 26.23}, {kAluminium, 30, 1.128}, {kAluminium, 100, 0.1704},
        {kCopper, 15, 74.05},    {kCopper, 50, 2.613},    {kCopper, 150, 0.2217},
        {kTungsten, 20, 65.73},  {kTungsten, 60, 3.713},  {kTungsten, 80, 7.810},  // K edge between
        {kTungsten, 100, 4.438}, {kAir, 10, 4.742},       {kAir, 20, 0.5389},
        {kAir, 40, 0.06833},     {kAir, 60, 0.03041},     {kAir, 80, 0.02407},
        {kAir, 150, 0.02496},    {kSilver, 20, 18.36},    {kSilver, 30, 36.68},  // K edge between
        {kSilver, 40, 17.20},    {kSilver, 60, 5.766},
    };
    for (const Reference& r : references) {
        const double table = MassCoefficient(r.material, r.energyKev);
        EXPECT_NEAR(RelativeDeviation(table, r.nist), 0, 0.02)
            << r.material.nistFile << " at " << r.energyKev << " keV: table " << table << " cm^2/g, NIST "
            << r.nist;
    }
}

// Every NIST energy that is a record energy and lies more than 1 keV from an edge of that material.
// Air is compared only above argon's K edge, where its spline is fitted; the records below repeat the
// value at the edge and are never used for kerma.
TEST(AttenuationData, AgreesWithNistTablesAwayFromEdges) {
    ASSERT_FALSE(CommittedTable().empty()) << HALVORN_TABLE_PATH;
    for (const Material& m : kMaterials) {
        const std::vector<NistRow> rows = ReadNist(m.nistFile);
        ASSERT_GE(rows.size(), 15u) << "cannot read " << HALVORN_NIST_DIR << "/" << m.nistFile;
        const std::vector<double> edges = EdgesOf(rows);
        double worst = 0;
        double worstEnergy = 0;
        int compared = 0;
        for (const NistRow& row : rows) {
            if (RecordAt(row.energyKev) == 0)
                continue;
            const bool nearEdge = std::any_of(edges.begin(), edges.end(), [&](double edge) {
                return std::fabs(row.energyKev - edge) <= 1.0;
            });
            if (nearEdge)
                continue;
            if (m.energyAbsorption && !edges.empty() && row.energyKev < edges.front())
                continue;
            const double nist = m.energyAbsorption ? row.muEn : row.mu;
            const double deviation = RelativeDeviation(MassCoefficient(m, row.energyKev), nist);
            ++compared;
            if (std::fabs(deviation) > std::fabs(worst)) {
                worst = deviation;
                worstEnergy = row.energyKev;
            }
        }
        EXPECT_GE(compared, 10) << m.nistFile;
        EXPECT_LE(std::fabs(worst), 0.02)
            << m.nistFile << ": worst deviation " << 100 * worst << " % at " << worstEnergy << " keV";
    }
}

// A metal's coefficient falls with energy except where an absorption edge lies between two records; at
// the edges the engine relies on (tungsten K for the target, silver and copper K for filters, tungsten L)
// it jumps up between the two records around the edge and nowhere else.
TEST(AttenuationData, EdgesFallBetweenTheRightRecords) {
    const Table& t = CommittedTable();
    ASSERT_FALSE(t.empty()) << HALVORN_TABLE_PATH;
    auto mu = [&](const Material& m, double e) { return t[RecordAt(e)][m.column]; };

    EXPECT_GT(mu(kTungsten, 70.0), 3 * mu(kTungsten, 69.5)) << "tungsten K edge 69.525 keV";
    EXPECT_GT(mu(kSilver, 26.0), 3 * mu(kSilver, 25.5)) << "silver K edge 25.514 keV";
    EXPECT_GT(mu(kCopper, 9.0), 3 * mu(kCopper, 8.5)) << "copper K edge 8.979 keV";
    EXPECT_GT(mu(kTungsten, 10.5), 2 * mu(kTungsten, 10.0)) << "tungsten L3 edge 10.207 keV";
    EXPECT_GT(mu(kTungsten, 12.0), mu(kTungsten, 11.5)) << "tungsten L2 edge 11.544 keV";
    EXPECT_GT(mu(kTungsten, 12.5), mu(kTungsten, 12.0)) << "tungsten L1 edge 12.100 keV";

    for (const Material& m : {kTungsten, kAluminium, kCopper, kSilver}) {
        const std::vector<double> edges = EdgesOf(ReadNist(m.nistFile));
        ASSERT_FALSE(edges.empty()) << m.nistFile;
        // From 1 keV up: the NIST tables list every edge above 1 keV.
        for (int i = 2; i < kRecords; ++i) {
            const double lo = 0.5 * i;
            const double hi = 0.5 * (i + 1);
            const bool edgeBetween =
                std::any_of(edges.begin(), edges.end(), [&](double edge) { return edge > lo && edge < hi; });
            if (!edgeBetween) {
                EXPECT_LT(t[i + 1][m.column], t[i][m.column])
                    << m.nistFile << ": no edge between " << lo << " and " << hi << " keV, yet mu rises";
            }
        }
    }
}

// Between the NIST points the air column follows a smooth log-log curve: compare it with a cubic through
// the four neighbouring NIST points (Lagrange form in ln E - ln mu_en/rho).
TEST(AttenuationData, AirIsSmoothBetweenNistPoints) {
    ASSERT_FALSE(CommittedTable().empty()) << HALVORN_TABLE_PATH;
    std::vector<NistRow> rows = ReadNist(kAir.nistFile);
    const std::vector<double> edges = EdgesOf(rows);
    ASSERT_EQ(edges.size(), 1u) << "air-dry.txt should list argon's K edge once, twice over";
    // Keep the points from the upper edge row on.
    const auto firstAbove = std::find_if(rows.begin(), rows.end(),
                                         [&](const NistRow& r) { return r.energyKev == edges.front(); }) +
                            1;
    rows.erase(rows.begin(), firstAbove);

    for (double e : {7.0, 9.0, 12.5, 17.5, 25.0, 35.0, 45.0, 55.0, 70.0, 90.0, 125.0}) {
        std::size_t k = 0;
        while (rows[k + 1].energyKev < e)
            ++k;
        const std::size_t first = std::min(k == 0 ? 0 : k - 1, rows.size() - 4);
        const double x = std::log(e);
        double estimate = 0;
        for (std::size_t a = first; a < first + 4; ++a) {
            double term = std::log(rows[a].muEn);
            for (std::size_t b = first; b < first + 4; ++b)
                if (b != a)
                    term *= (x - std::log(rows[b].energyKev)) /
                            (std::log(rows[a].energyKev) - std::log(rows[b].energyKev));
            estimate += term;
        }
        const double table = MassCoefficient(kAir, e);
        EXPECT_NEAR(RelativeDeviation(table, std::exp(estimate)), 0, 0.01)
            << "air at " << e << " keV: table " << table << ", local log-log cubic " << std::exp(estimate);
    }
}

}  // namespace
}  // namespace halvorn
