#include "engine/exports/ExportWriter.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "ExportTestSupport.h"

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
    // Every name under `dir` with the bytes of each regular file ("<fifo>" for a FIFO).
    static std::map<std::string, std::string> Contents(const fs::path& dir) {
        std::map<std::string, std::string> found;
        for (const auto& entry : fs::directory_iterator(dir)) {
            std::string& bytes = found[entry.path().filename().string()];
            if (entry.is_fifo()) {
                bytes = "<fifo>";  // never opened: that would wait for a writer
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

// A folder that does not exist yet is made and gets every file of the set with its bytes; every name has
// a family, and choosing families keeps exactly their files.
TEST_F(ExportWriterTest, NewFolderGetsTheWholeSet) {
    const ExportSet set = BuildExportSet(*state, table, points, inputs, {4.0, 0.125});
    ASSERT_EQ(set.error, "");
    std::string error;
    ASSERT_TRUE(WriteExportSet(At("out") + "/", set, {}, error)) << error;
    std::map<std::string, std::string> expected;
    for (const ExportFile& f : set.files)
        expected[f.name] = f.bytes;
    EXPECT_EQ(Contents(At("out")), expected);

    std::size_t total = 0;
    for (ExportFamily family : kExportFamilies) {
        const ExportSet one = OnlyFamilies(set, {family});
        EXPECT_FALSE(one.files.empty());
        for (const ExportFile& f : one.files)
            EXPECT_EQ(FamilyOf(f.name), family) << f.name;
        total += one.files.size();
    }
    EXPECT_EQ(total, set.files.size()) << "a file without a family";
    EXPECT_EQ(OnlyFamilies(set, {ExportFamily::Xcist}).files.size(), 2u);
}

// A FIFO or a read-only file at one name of the set, a protected input, or a name in a missing subfolder:
// the call fails naming it, every earlier file keeps its bytes, no temporary file stays, and a folder the
// call made is gone again.
TEST_F(ExportWriterTest, RefusedFileLeavesEverythingAsItWas) {
    const ExportSet set = BuildExportSet(*state, table, points, inputs, {});
    ASSERT_EQ(set.error, "");
    fs::create_directory(At("out"));
    Write(At("out/centre.spectrum"), "earlier centre");
    Write(At("out/spectrum.spk"), "earlier spk");
    ASSERT_EQ(::mkfifo(At("out/xcist_bowtie.txt").c_str(), 0644), 0);
    const auto before = Contents(At("out"));
    std::string error;
    EXPECT_FALSE(WriteExportSet(At("out"), set, {}, error));
    EXPECT_NE(error.find("xcist_bowtie.txt"), std::string::npos) << error;
    EXPECT_EQ(Contents(At("out")), before);

    fs::remove(At("out/xcist_bowtie.txt"));
    Write(At("out/gate9_spectrum.txt"), "locked");
    ASSERT_EQ(::chmod(At("out/gate9_spectrum.txt").c_str(), 0444), 0);
    const auto locked = Contents(At("out"));
    EXPECT_FALSE(WriteExportSet(At("out"), set, {}, error));
    EXPECT_NE(error.find("gate9_spectrum.txt"), std::string::npos) << error;
    EXPECT_EQ(Contents(At("out")), locked);
    ASSERT_EQ(::chmod(At("out/gate9_spectrum.txt").c_str(), 0644), 0);
    EXPECT_FALSE(WriteExportSet(At("out"), set, {At("out/spectrum.spk")}, error));
    EXPECT_NE(error.find("input file"), std::string::npos) << error;
    EXPECT_EQ(Contents(At("out")), locked);

    const ExportSet nested{{{"a.txt", "a"}, {"missing/b.txt", "b"}}, ""};
    EXPECT_FALSE(WriteExportSet(At("new"), nested, {}, error));
    EXPECT_FALSE(fs::exists(At("new"))) << "the folder made for the export stays";
}

// The folder itself: a file at its name, a missing parent, a set that could not be made or is empty.
TEST_F(ExportWriterTest, FolderMustBeOneOrBeMade) {
    const ExportSet set{{{"a.txt", "a"}}, ""};
    Write(At("file"), "keep");
    std::string error;
    EXPECT_FALSE(WriteExportSet(At("file"), set, {}, error));
    EXPECT_NE(error.find("not a folder"), std::string::npos) << error;
    EXPECT_FALSE(WriteExportSet(At("no/such"), set, {}, error));
    EXPECT_NE(error.find(At("no/such")), std::string::npos) << error;
    EXPECT_FALSE(WriteExportSet(At("x"), ExportSet{{}, "point 3 has no spectrum"}, {}, error));
    EXPECT_NE(error.find("point 3"), std::string::npos) << error;
    EXPECT_FALSE(WriteExportSet(At("x"), ExportSet{}, {}, error));
    EXPECT_EQ(Contents(root_), (std::map<std::string, std::string>{{"file", "keep"}}));
}

// A rename that fails after others succeeded (the last target turned into a FIFO between preparing and
// committing): the replaced file gets its earlier bytes back, the new one goes, nothing else stays.
TEST_F(ExportWriterTest, FailedCommitTakesBackWhatWasPutInPlace) {
    fs::create_directory(At("out"));
    Write(At("out/a.txt"), "earlier a");
    Write(At("out/c.txt"), "earlier c");
    const ExportSet set{{{"a.txt", "new a"}, {"b.txt", "new b"}, {"c.txt", "new c"}}, ""};
    PendingExport pending;
    std::string error;
    ASSERT_TRUE(pending.Prepare(At("out"), set, {}, error)) << error;
    fs::remove(At("out/c.txt"));
    ASSERT_EQ(::mkfifo(At("out/c.txt").c_str(), 0644), 0);
    EXPECT_FALSE(pending.Commit(error));
    EXPECT_NE(error.find("c.txt"), std::string::npos) << error;
    EXPECT_EQ(Contents(At("out")),
              (std::map<std::string, std::string>{{"a.txt", "earlier a"}, {"c.txt", "<fifo>"}}));
    // Replacing files that exist leaves no second name behind.
    fs::remove(At("out/c.txt"));
    ASSERT_TRUE(WriteExportSet(At("out"), set, {}, error)) << error;
    EXPECT_EQ(Contents(At("out")), (std::map<std::string, std::string>{
                                       {"a.txt", "new a"}, {"b.txt", "new b"}, {"c.txt", "new c"}}));
}

}  // namespace
}  // namespace halvorn
