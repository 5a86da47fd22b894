#include "engine/exports/ExportWriter.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>

#include "ExportTestSupport.h"
#include "engine/Sha256.h"

namespace halvorn {
namespace {

namespace fs = std::filesystem;

// The example's export set, and a scratch folder to write it into.
class ExportWriterTest : public ExampleExportTest {
protected:
    void SetUp() override {
        ExampleExportTest::SetUp();
        std::string pattern = (fs::temp_directory_path() / "halvorn-export-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    std::string At(const std::string& name) const { return (root_ / name).string(); }
    // Every name under `dir` with the bytes of each regular file ("<fifo>", "<folder>" for the others).
    static std::map<std::string, std::string> Contents(const fs::path& dir) {
        std::map<std::string, std::string> found;
        for (const auto& entry : fs::directory_iterator(dir)) {
            std::string& bytes = found[entry.path().filename().string()];
            if (entry.is_fifo()) {
                bytes = "<fifo>";  // never opened: that would wait for a writer
                continue;
            }
            if (entry.is_directory()) {
                bytes = "<folder>";
                continue;
            }
            std::ifstream in(entry.path(), std::ios::binary);
            bytes.assign(std::istreambuf_iterator<char>(in), {});
        }
        return found;
    }
    static void Write(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }

    fs::path root_;
};

// The bytes of the set's files by name.
std::map<std::string, std::string> BytesOf(const ExportSet& set) {
    std::map<std::string, std::string> bytes;
    for (const ExportFile& f : set.files)
        bytes[f.name] = f.bytes;
    return bytes;
}

// A folder that does not exist yet is made and gets every file of the set with its bytes and the manifest
// naming each with its size and SHA-256 and the options; every name has a family, and choosing families
// keeps exactly their files and what the manifest says of the options.
TEST_F(ExportWriterTest, NewFolderGetsTheWholeSet) {
    ExportOptions options{4.0, 0.125};
    options.kermaPer100MasMgy = 10;
    options.phaseSpacePhotons = 1000;
    options.bowtieSolid = true;
    const ExportSet set = BuildExportSet(With(points, inputs), options);
    ASSERT_EQ(set.error, "");
    std::string error;
    ASSERT_TRUE(WriteExportSet(At("out") + "/", set, {}, error)) << error;
    auto written = Contents(At("out"));
    const auto manifest = nlohmann::json::parse(written[kExportManifestName]);
    written.erase(kExportManifestName);
    EXPECT_EQ(written, BytesOf(set));
    ASSERT_EQ(manifest["files"].size(), set.files.size());
    for (const auto& file : manifest["files"]) {
        const std::string& bytes = written[file["name"].get<std::string>()];
        EXPECT_EQ(file["size"], bytes.size());
        EXPECT_EQ(file["sha256"], Sha256Hex(bytes));
    }
    EXPECT_EQ(manifest["program"], ProgramName());
    EXPECT_EQ(manifest["inputs"]["collimation_cm"], 4.0);
    EXPECT_EQ(manifest["inputs"]["kerma_per_100mas_mgy"], 10.0);
    EXPECT_EQ(manifest["inputs"]["phase_space_photons"], 1000);
    EXPECT_EQ(manifest["inputs"]["phase_space_plane_cm"], 20.0);
    EXPECT_EQ(manifest["inputs"]["phase_space_seed"], options.phaseSpaceSeed);
    EXPECT_EQ(Contents(root_).size(), 1u) << "a temporary stays beside the folder";

    std::size_t total = 0;
    for (ExportFamily family : kExportFamilies) {
        const ExportSet one = OnlyFamilies(set, {family});
        EXPECT_FALSE(one.files.empty());
        for (const ExportFile& f : one.files)
            EXPECT_EQ(FamilyOf(f.name), family) << f.name;
        total += one.files.size();
    }
    EXPECT_EQ(total, set.files.size()) << "a file without a family";
    const ExportSet xcist = OnlyFamilies(set, {ExportFamily::Xcist});
    EXPECT_EQ(xcist.files.size(), 2u);
    const auto chosen = nlohmann::json::parse(ExportManifest(xcist));
    EXPECT_EQ(chosen["inputs"], manifest["inputs"]);
    EXPECT_EQ(chosen["absolute"], manifest["absolute"]);
}

// Files that no manifest names are never replaced: a FIFO, a file of the same name, a manifest that is
// not one; the call fails naming it and nothing changes. A file of an earlier export that is an input is
// refused too. A file that cannot be written leaves no folder behind.
TEST_F(ExportWriterTest, FileOfNoManifestIsNeverReplaced) {
    const ExportSet set = BuildExportSet(With(points, inputs), {});
    ASSERT_EQ(set.error, "");
    fs::create_directory(At("out"));
    Write(At("out/spectrum.spk"), "the user's own");
    ASSERT_EQ(::mkfifo(At("out/xcist_bowtie.txt").c_str(), 0644), 0);
    Write(At("out/halvorn-export.json"), "{\"files\": [{\"name\": \"spectrum.spk\"}]");  // cut short
    const auto before = Contents(At("out"));
    std::string error;
    EXPECT_FALSE(WriteExportSet(At("out"), set, {}, error));
    EXPECT_NE(error.find("halvorn-export.json there is not from an earlier export"), std::string::npos)
        << error;
    EXPECT_EQ(Contents(At("out")), before);
    fs::remove(At("out/halvorn-export.json"));
    EXPECT_FALSE(WriteExportSet(At("out"), set, {}, error));
    EXPECT_NE(error.find("xcist_bowtie.txt"), std::string::npos) << error;
    EXPECT_EQ(Contents(root_).size(), 1u) << "a temporary stays beside the folder";

    ASSERT_TRUE(WriteExportSet(At("set"), set, {}, error)) << error;
    EXPECT_FALSE(WriteExportSet(At("set"), set, {At("set/spectrum.spk")}, error));
    EXPECT_NE(error.find("input file"), std::string::npos) << error;

    ExportSet nested;
    nested.files = {{"a.txt", "a"}, {"missing/b.txt", "b"}};
    EXPECT_FALSE(WriteExportSet(At("new"), nested, {}, error));
    EXPECT_FALSE(fs::exists(At("new"))) << "the folder made for the export stays";
}

// The folder itself: a file at its name, a missing parent, a set that could not be made or is empty.
TEST_F(ExportWriterTest, FolderMustBeOneOrBeMade) {
    ExportSet set;
    set.files = {{"a.txt", "a"}};
    Write(At("file"), "keep");
    std::string error;
    EXPECT_FALSE(WriteExportSet(At("file"), set, {}, error));
    EXPECT_NE(error.find("not a folder"), std::string::npos) << error;
    EXPECT_FALSE(WriteExportSet(At("no/such"), set, {}, error));
    EXPECT_NE(error.find(At("no/such")), std::string::npos) << error;
    ExportSet failed;
    failed.error = "point 3 has no spectrum";
    EXPECT_FALSE(WriteExportSet(At("x"), failed, {}, error));
    EXPECT_NE(error.find("point 3"), std::string::npos) << error;
    EXPECT_FALSE(WriteExportSet(At("x"), ExportSet{}, {}, error));
    EXPECT_EQ(Contents(root_), (std::map<std::string, std::string>{{"file", "keep"}}));
}

// A second export with fewer points: the folder holds exactly the new set, the earlier set's extra files
// are gone, and what no manifest names (a file, a folder) stays. Taken back after being put in place, the
// earlier set is back as it was.
TEST_F(ExportWriterTest, ReexportReplacesTheWholeSetAndKeepsOtherFiles) {
    const ExportSet full = BuildExportSet(With(points, inputs), {});
    const ExportSet two = BuildExportSet(With({points[0], points[1]}, inputs), {});
    std::string error;
    ASSERT_TRUE(WriteExportSet(At("out"), full, {}, error)) << error;
    Write(At("out/notes.txt"), "mine");
    fs::create_directory(At("out/runs"));
    const auto earlier = Contents(At("out"));

    PendingExport pending;
    ASSERT_TRUE(pending.Prepare(At("out"), two, {}, error)) << error;
    ASSERT_TRUE(pending.Place(error)) << error;
    EXPECT_TRUE(pending.TakeBack());
    EXPECT_EQ(Contents(At("out")), earlier);

    ASSERT_TRUE(WriteExportSet(At("out"), two, {}, error)) << error;
    auto now = Contents(At("out"));
    EXPECT_EQ(now["notes.txt"], "mine");
    EXPECT_TRUE(fs::is_directory(At("out/runs")));
    for (const char* other : {"notes.txt", "runs", kExportManifestName})
        now.erase(other);
    EXPECT_EQ(now, BytesOf(two));
    EXPECT_EQ(Contents(root_).size(), 1u) << "the earlier set stays beside the folder";
}

}  // namespace
}  // namespace halvorn
