#include "engine/exports/ExportSet.h"

#include <gtest/gtest.h>

#include <cctype>
#include <memory>

#include "ExportTestSupport.h"

namespace halvorn {
namespace {

using ExportSetTest = ExampleExportTest;

std::vector<std::string> NamesOf(const ExportSet& set) {
    std::vector<std::string> names;
    for (const ExportFile& f : set.files)
        names.push_back(f.name);
    return names;
}

TEST_F(ExportSetTest, WholeSetWithFixedNames) {
    const ExportSet set = BuildExportSet(With(points, inputs), {4.0, 0.125});
    ASSERT_EQ(set.error, "");
    std::vector<std::string> expected{"centre.spectrum"};
    for (const char* p : {"01", "02", "03", "04", "05", "06", "07", "08", "09", "10", "11", "12"})
        expected.push_back(std::string("point") + p + ".spectrum");
    for (const char* name : {"bowtie_distribution.dat", "al_bowtie.dat", "source.egsinp", "xcist_bowtie.txt",
                             "xcist_spectrum.dat", "gate9_spectrum.txt", "gate10_spectrum.py", "spectrum.spk",
                             "spectra_long.csv", "beam_quality.csv"})
        expected.push_back(name);
    EXPECT_EQ(NamesOf(set), expected);
    for (const ExportFile& f : set.files) {
        for (unsigned char c : f.bytes.substr(f.name.ends_with(".csv") ? 3 : 0))
            ASSERT_LT(c, 0x80) << f.name << " is plain ASCII";
        // Every format with room for a comment or a title names the program, the relative scale and the
        // inputs; GATE 9 has none, the tables only their header row.
        if (f.name == "gate9_spectrum.txt" || f.name.ends_with(".csv"))
            continue;
        std::string lower = f.bytes;
        for (char& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        for (const char* text : {"halvorn 2.0", "relative", "tube voltage", "120 kv", "target angle"})
            EXPECT_NE(lower.find(text), std::string::npos) << f.name << ": " << text;
    }
}

TEST_F(ExportSetTest, AllOrNothing) {
    // A point that the calculation did not reach: no file at all, and the reason names the point.
    RunRecord failed = run;
    failed.spectra[7].fill(0);
    ExportSet set = BuildExportSet(failed, {});
    EXPECT_TRUE(set.files.empty());
    EXPECT_NE(set.error.find("point 7"), std::string::npos) << set.error;
    EXPECT_NE(set.error.find("point07.spectrum"), std::string::npos) << set.error;

    set = BuildExportSet(With(points, inputs), {std::nullopt, 0.001});
    EXPECT_TRUE(set.files.empty());
    EXPECT_EQ(set.error.rfind("bowtie_distribution.dat: ", 0), 0u) << set.error;

    // After a calibration alone: the spectra and tables of the centre, no fan files.
    set = BuildExportSet(With({points[0]}, inputs), {});
    ASSERT_EQ(set.error, "");
    EXPECT_EQ(NamesOf(set),
              (std::vector<std::string>{"centre.spectrum", "xcist_spectrum.dat", "gate9_spectrum.txt",
                                        "gate10_spectrum.py", "spectrum.spk", "spectra_long.csv",
                                        "beam_quality.csv"}));
    EXPECT_FALSE(BuildExportSet(With({}, inputs), {}).error.empty());
}

TEST_F(ExportSetTest, FanBeamFilesWhenAskedForLeaveTheOthersAsTheyWere) {
    ExportOptions options;
    options.collimationCm = 4.0;
    const ExportSet plain = BuildExportSet(With(points, inputs), options);
    options.kermaPer100MasMgy = 10;
    options.phaseSpacePhotons = 1000;
    options.bowtieSolid = true;
    const ExportSet full = BuildExportSet(With(points, inputs), options);
    ASSERT_EQ(full.error, "");
    std::vector<std::string> expected = NamesOf(plain);
    for (const char* name : {"fan_beam.IAEAheader", "fan_beam.IAEAphsp", "bowtie.stl", "pre_bowtie.spectrum",
                             "pre_bowtie_gate9.txt", "gate10_fan_beam.py"})
        expected.push_back(name);
    EXPECT_EQ(NamesOf(full), expected);
    for (std::size_t k = 0; k < plain.files.size(); ++k)
        EXPECT_EQ(plain.files[k].bytes == full.files[k].bytes, !plain.files[k].name.starts_with("xcist_"))
            << plain.files[k].name
            << ": only XCIST's spectrum takes the absolute scale, and its bowtie says so";
    ASSERT_TRUE(full.absolute && full.phaseSpacePhotonsPerMas);
    EXPECT_FALSE(plain.absolute || plain.phaseSpacePhotonsPerMas);

    // A cancelled phase space, or a solid without the target angle (a loaded result file): no set at all.
    options.phaseSpaceProgress = [](long long, long long) { return false; };
    const ExportSet cancelled = BuildExportSet(With(points, inputs), options);
    EXPECT_TRUE(cancelled.cancelled && cancelled.files.empty());
    options.phaseSpaceProgress = {};
    inputs.targetAngleDeg.reset();
    EXPECT_NE(BuildExportSet(With(points, inputs), options).error.find("target angle"), std::string::npos);
}

}  // namespace
}  // namespace halvorn
