#include "engine/SafeSave.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "EngineTestSupport.h"

namespace halvorn {
namespace {

namespace fs = std::filesystem;

class SafeSaveTest : public TempFolderTest {
protected:
    std::string Read(const std::string& name) const {
        std::ifstream in(PathOf(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(PathOf(name), std::ios::binary) << bytes;
    }
    mode_t Mode(const std::string& name) const {
        struct stat info {};
        EXPECT_EQ(::lstat(PathOf(name).c_str(), &info), 0) << name;
        return info.st_mode;
    }
    // Every name in the folder and its subfolders, so a leftover temporary file shows.
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_)) {
            const std::string name = entry.path().filename().string();
            names.insert(name);
            if (fs::is_directory(fs::symlink_status(entry.path())))
                for (const auto& inner : fs::directory_iterator(entry.path()))
                    names.insert(name + "/" + inner.path().filename().string());
        }
        return names;
    }
};

// A FIFO, a folder, a socket, links to them and a loop of links are refused with one line naming the
// file; each stays what it was and no temporary file is left.
TEST_F(SafeSaveTest, OnlyARegularFileOrANewNameIsWritten) {
    ASSERT_EQ(::mkfifo(PathOf("pipe.csv").c_str(), 0644), 0);
    fs::create_directory(PathOf("folder.csv"));
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(sock, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = PathOf("socket.csv");
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, socketPath.c_str());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(sock);
    fs::create_symlink("pipe.csv", PathOf("to-pipe.csv"));
    fs::create_symlink("loop-b.csv", PathOf("loop-a.csv"));
    fs::create_symlink("loop-a.csv", PathOf("loop-b.csv"));
    const auto before = Names();

    for (const char* name : {"pipe.csv", "folder.csv", "socket.csv", "to-pipe.csv", "loop-a.csv"}) {
        std::string error;
        EXPECT_FALSE(SaveFileSafely(PathOf(name), "new", &error)) << name;
        EXPECT_NE(error.find(name), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        EXPECT_TRUE(CheckSaveTarget(PathOf(name), {}, error) == false) << name;
    }
    EXPECT_TRUE(S_ISFIFO(Mode("pipe.csv")));
    EXPECT_TRUE(S_ISDIR(Mode("folder.csv")));
    EXPECT_TRUE(S_ISSOCK(Mode("socket.csv")));
    EXPECT_TRUE(S_ISLNK(Mode("to-pipe.csv")));
    EXPECT_EQ(Names(), before);

    std::string error;
    EXPECT_FALSE(SaveFileSafely(PathOf("no-folder/a.csv"), "x", &error));
    EXPECT_NE(error.find("no-folder"), std::string::npos) << error;
    EXPECT_FALSE(SaveFileSafely("", "x", &error));
}

// A link is followed through several links, also into another folder: the file it names is replaced,
// the links stay links, and a dangling link creates the file it names.
TEST_F(SafeSaveTest, LinksAreFollowedToTheFileTheyName) {
    fs::create_directory(PathOf("data"));
    Write("data/real.csv", "old");
    fs::create_symlink("data/real.csv", PathOf("second.csv"));
    fs::create_symlink(PathOf("second.csv"), PathOf("first.csv"));  // absolute
    fs::create_symlink("data/new.csv", PathOf("dangling.csv"));
    std::string error;
    ASSERT_TRUE(SaveFileSafely(PathOf("first.csv"), "new", &error)) << error;
    EXPECT_EQ(Read("data/real.csv"), "new");
    EXPECT_TRUE(S_ISLNK(Mode("first.csv")));
    EXPECT_TRUE(S_ISLNK(Mode("second.csv")));
    ASSERT_TRUE(SaveFileSafely(PathOf("dangling.csv"), "made", &error)) << error;
    EXPECT_EQ(Read("data/new.csv"), "made") << "relative to the link's folder";
    EXPECT_TRUE(S_ISLNK(Mode("dangling.csv")));
    EXPECT_EQ(Names(), (std::set<std::string>{"data", "data/real.csv", "first.csv", "second.csv",
                                              "dangling.csv", "data/new.csv"}));
}

// The replacement keeps the old file's mode (and owner, where the process may set it); a new file gets
// the umask's mode; a file or folder without write permission in its mode bits is refused, also to root.
TEST_F(SafeSaveTest, ModeOwnerAndReadOnlyAreRespected) {
    for (mode_t mode : {0600, 0640, 0604, 0660}) {
        Write("kept.csv", "old");
        ASSERT_EQ(::chmod(PathOf("kept.csv").c_str(), mode), 0);
        ASSERT_TRUE(SaveFileSafely(PathOf("kept.csv"), "new"));
        EXPECT_EQ(Mode("kept.csv") & 07777, mode) << std::oct << mode;
    }
    const mode_t mask = ::umask(022);
    ASSERT_TRUE(SaveFileSafely(PathOf("fresh.csv"), "new"));
    ::umask(mask);
    EXPECT_EQ(Mode("fresh.csv") & 07777, 0644u);

    Write("locked.csv", "old");
    ASSERT_EQ(::chmod(PathOf("locked.csv").c_str(), 0444), 0);
    std::string error;
    EXPECT_FALSE(SaveFileSafely(PathOf("locked.csv"), "new", &error));
    EXPECT_NE(error.find("read-only"), std::string::npos) << error;
    EXPECT_EQ(Read("locked.csv"), "old");

    fs::create_directory(PathOf("shut"));
    Write("shut/a.csv", "old");
    ASSERT_EQ(::chmod(PathOf("shut").c_str(), 0555), 0);
    EXPECT_FALSE(SaveFileSafely(PathOf("shut/a.csv"), "new", &error));
    EXPECT_NE(error.find("read-only"), std::string::npos) << error;
    EXPECT_FALSE(SaveFileSafely(PathOf("shut/b.csv"), "new", &error));
    ::chmod(PathOf("shut").c_str(), 0755);
    EXPECT_EQ(Read("shut/a.csv"), "old");

    if (::geteuid() == 0) {
        // Root may give the new file the old owner: a file of another user, writable by others, stays
        // theirs; one that is not writable by others is refused although root could write it.
        Write("theirs.csv", "old");
        ASSERT_EQ(::chown(PathOf("theirs.csv").c_str(), 4321, 4321), 0);
        ASSERT_EQ(::chmod(PathOf("theirs.csv").c_str(), 0666), 0);
        ASSERT_TRUE(SaveFileSafely(PathOf("theirs.csv"), "new", &error)) << error;
        struct stat info {};
        ASSERT_EQ(::stat(PathOf("theirs.csv").c_str(), &info), 0);
        EXPECT_EQ(info.st_uid, 4321u);
        EXPECT_EQ(info.st_gid, 4321u);
        ASSERT_EQ(::chmod(PathOf("theirs.csv").c_str(), 0644), 0);
        EXPECT_FALSE(SaveFileSafely(PathOf("theirs.csv"), "again", &error));
        EXPECT_EQ(Read("theirs.csv"), "new");
    }
}

// An input is recognised by the file, not the spelling: the same name, another spelling, a hard link and
// a symbolic link to it are all refused; another file is not.
TEST_F(SafeSaveTest, ProtectedInputsAreNeverReplaced) {
    Write("profile.csv", "0,10\n");
    fs::create_directory(PathOf("sub"));
    fs::create_hard_link(PathOf("profile.csv"), PathOf("hard.csv"));
    fs::create_symlink("profile.csv", PathOf("soft.csv"));
    const std::vector<std::string> inputs = {PathOf("sub/../profile.csv")};
    for (const char* name : {"profile.csv", "./profile.csv", "hard.csv", "soft.csv"}) {
        std::string error;
        EXPECT_FALSE(SaveFileSafely(PathOf(name), "out", &error, inputs)) << name;
        EXPECT_NE(error.find("input"), std::string::npos) << error;
    }
    EXPECT_EQ(Read("profile.csv"), "0,10\n");
    EXPECT_TRUE(SaveFileSafely(PathOf("result.csv"), "out", nullptr, inputs));

    EXPECT_TRUE(SameFile(PathOf("profile.csv"), PathOf("hard.csv")));
    EXPECT_FALSE(SameFile(PathOf("profile.csv"), PathOf("result.csv")));
    EXPECT_FALSE(SameFile(PathOf("absent.csv"), PathOf("absent.csv")));
    EXPECT_TRUE(SameSaveTarget(PathOf("new.csv"), PathOf("sub/../new.csv")));
    EXPECT_TRUE(SameSaveTarget(PathOf("soft.csv"), PathOf("hard.csv")));
    EXPECT_FALSE(SameSaveTarget(PathOf("new.csv"), PathOf("sub/new.csv")));
}

// A write cut short (a file-size limit stands in for a full disk) fails, keeps the old file whole and
// leaves no temporary file. Run in a child process so the limit touches nothing else.
TEST_F(SafeSaveTest, AFailedWriteKeepsTheOldFileAndLeavesNoTemporary) {
    Write("result.csv", "earlier result");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::string error;
        const bool saved = SaveFileSafely(PathOf("result.csv"), std::string(100000, 'x'), &error);
        _exit(!saved && error.find("result.csv") != std::string::npos ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the save must fail with a message";
    EXPECT_EQ(Read("result.csv"), "earlier result");
    EXPECT_EQ(Names(), std::set<std::string>{"result.csv"});
}

// Two files all-or-nothing: prepared files that are never committed leave both targets as they were.
TEST_F(SafeSaveTest, UncommittedFilesChangeNothing) {
    Write("a.csv", "old a");
    std::string error;
    {
        PendingFile a;
        PendingFile b;
        ASSERT_TRUE(a.Prepare(PathOf("a.csv"), "new a", {}, error)) << error;
        ASSERT_TRUE(b.Prepare(PathOf("b.csv"), "new b", {}, error)) << error;
        EXPECT_EQ(Names().size(), 3u) << "two temporary files beside a.csv";
        PendingFile moved = std::move(b);
        EXPECT_FALSE(b.prepared());
    }
    EXPECT_EQ(Read("a.csv"), "old a");
    EXPECT_EQ(Names(), std::set<std::string>{"a.csv"});

    PendingFile a;
    ASSERT_TRUE(a.Prepare(PathOf("a.csv"), "new a", {}, error)) << error;
    ASSERT_TRUE(a.Commit(error)) << error;
    EXPECT_EQ(Read("a.csv"), "new a");
    EXPECT_FALSE(a.Commit(error)) << "a second commit has nothing to put in place";
    EXPECT_EQ(Names(), std::set<std::string>{"a.csv"});
}

// Files put in place and then taken back: a replaced file has its earlier bytes again, a new one is gone,
// and nothing else stays.
TEST_F(SafeSaveTest, PlacedFilesCanBeTakenBack) {
    Write("a.csv", "old a");
    std::string error;
    PendingFile a;
    PendingFile b;
    ASSERT_TRUE(a.Prepare(PathOf("a.csv"), "new a", {}, error)) << error;
    ASSERT_TRUE(b.Prepare(PathOf("b.csv"), "new b", {}, error)) << error;
    ASSERT_TRUE(a.Place(error) && b.Place(error)) << error;
    EXPECT_EQ(Read("a.csv"), "new a");
    EXPECT_TRUE(b.TakeBack());
    EXPECT_TRUE(a.TakeBack());
    EXPECT_EQ(Read("a.csv"), "old a");
    EXPECT_EQ(Names(), std::set<std::string>{"a.csv"});
}

}  // namespace
}  // namespace halvorn
