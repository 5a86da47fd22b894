#include "engine/InputFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "EngineTestSupport.h"
#include "engine/AttenuationTable.h"
#include "engine/ResultFile.h"

namespace halvorn {
namespace {

namespace fs = std::filesystem;

// A reader that waits on a FIFO would hang the test; the alarm turns that into a failure.
class InputFileTest : public TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        ::alarm(20);
    }
    void TearDown() override {
        ::alarm(0);
        TempFolderTest::TearDown();
    }
    std::string Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(PathOf(name), std::ios::binary) << bytes;
        return PathOf(name);
    }
    // A sparse file of `size` bytes starting with `start`: large without using the disk.
    std::string Sparse(const std::string& name, const std::string& start, off_t size) const {
        const std::string path = Write(name, start);
        EXPECT_EQ(::truncate(path.c_str(), size), 0) << name;
        return path;
    }
};

TEST_F(InputFileTest, OnlyRegularFilesWithinTheLimitAreRead) {
    const std::string small = Write("small.txt", "0123456789");
    std::string bytes;
    InputFileError error;
    EXPECT_TRUE(ReadInputFile(small, 10, bytes, &error));
    EXPECT_EQ(bytes, "0123456789");
    EXPECT_FALSE(ReadInputFile(small, 9, bytes, &error)) << "one byte over the limit";
    EXPECT_EQ(error.status, InputFileStatus::TooLarge);
    EXPECT_TRUE(bytes.empty());

    ASSERT_EQ(::mkfifo(PathOf("pipe").c_str(), 0644), 0);
    EXPECT_FALSE(ReadInputFile(PathOf("pipe"), 100, bytes, &error));
    EXPECT_EQ(error.status, InputFileStatus::NotRegularFile);
    EXPECT_NE(DescribeInputFileError(error).find("FIFO"), std::string::npos);
    EXPECT_FALSE(ReadInputFile(dir_.string(), 100, bytes, &error));
    EXPECT_NE(DescribeInputFileError(error).find("folder"), std::string::npos);

    fs::create_symlink("small.txt", PathOf("link"));
    EXPECT_TRUE(ReadInputFile(PathOf("link"), 100, bytes, &error)) << "a link to a regular file";
    fs::create_symlink("loop", PathOf("loop"));
    EXPECT_FALSE(ReadInputFile(PathOf("loop"), 100, bytes, &error));
    EXPECT_EQ(error.systemError, ELOOP);
    EXPECT_FALSE(ReadInputFile(PathOf("absent"), 100, bytes, &error));
    EXPECT_EQ(error.systemError, ENOENT);

    // A huge file is refused from its size, and a prefix of it can be read without the rest.
    const std::string huge = Sparse("huge", "head\n", off_t{1} << 30);
    EXPECT_FALSE(ReadInputFile(huge, 1 << 20, bytes, &error));
    EXPECT_EQ(error.status, InputFileStatus::TooLarge);
    InputFile file(huge, off_t{1} << 31);
    ASSERT_TRUE(file.ok());
    ASSERT_TRUE(file.ReadAtMost(5, bytes));
    EXPECT_EQ(bytes, "head\n");
}

// The table loader: a FIFO named MUs2022.dat (the program's "新規計算" and the batch tool both load it)
// is refused at once with a message, and so is a file larger than any table.
TEST_F(InputFileTest, TableLoaderRefusesFifosAndHugeFiles) {
    CalculationState state;
    TableLoadDetail detail;
    ASSERT_EQ(::mkfifo(PathOf("MUs2022.dat").c_str(), 0644), 0);
    EXPECT_EQ(LoadAttenuationTable(state, PathOf("MUs2022.dat"), detail), TableLoadStatus::CannotOpen);
    EXPECT_NE(DescribeTableLoadFailure(detail, "MUs2022.dat").find("FIFO"), std::string::npos)
        << DescribeTableLoadFailure(detail, "MUs2022.dat");
    const std::string huge = Sparse("huge.dat", "0.5 1 1 1 1 1 0\n", 2 << 20);
    EXPECT_EQ(LoadAttenuationTable(state, huge, detail), TableLoadStatus::CannotOpen);
    EXPECT_NE(DescribeTableLoadFailure(detail, "huge.dat").find("too large"), std::string::npos);
}

// The result readers: a 1 GB one-line file is refused from its size (the results list asks for the comment
// of whatever file is selected); a long first line is cut at 64 KiB without reading the rest. (A FIFO is
// refused in ResultFile_test.)
TEST_F(InputFileTest, ResultReadersRefuseHugeFiles) {
    auto state = std::make_unique<CalculationState>();
    state->TubeVoltageKv = -6;

    const std::string huge = Sparse("huge.csv", "comment\r\n 0 \r\n", off_t{1} << 30);
    EXPECT_EQ(ReadResultComment(huge), std::nullopt);
    LoadResultFile(*state, huge);
    EXPECT_EQ(state->TubeVoltageKv, -6);

    const std::string justBelow = Sparse("long.csv", std::string(100000, 'c'), kMaxResultFileBytes);
    const auto comment = ReadResultComment(justBelow);
    ASSERT_TRUE(comment.has_value());
    EXPECT_EQ(comment->size(), 64u * 1024);
    EXPECT_EQ(ReadResultComment(Sparse("over.csv", "c\r\n", kMaxResultFileBytes + 1)), std::nullopt);
}

}  // namespace
}  // namespace halvorn
