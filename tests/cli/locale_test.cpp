// The batch tool under a decimal-comma locale and a Japanese one writes every output byte for byte as in
// the C locale: the tool takes the user's locale as the program does, and no number text may follow it.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Every file under `dir` by its path relative to `dir`, with its bytes.
std::map<std::string, std::string> FilesUnder(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        if (!entry.is_regular_file())
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        files[fs::relative(entry.path(), dir).string()] = bytes.str();
    }
    return files;
}

// The worked example with every output, run in a new folder under `root` with LC_ALL=`locale`.
std::map<std::string, std::string> RunExample(const fs::path& root, const std::string& locale) {
    const fs::path dir = root / locale;
    fs::create_directories(dir / "out");
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::chdir((dir / "out").c_str()) != 0 || ::setenv("LC_ALL", locale.c_str(), 1) != 0)
            _exit(120);
        const std::string profile = std::string(HALVORN_EXAMPLES_DIR) + "/ct-120kv.profile.csv";
        ::execl(HALVORN_CALC_PATH, HALVORN_CALC_PATH, "--hvl", "7.0", "--focus-distance", "60", "--profile",
                profile.c_str(), "--comment", "Example", "--out", "result.csv", "--json", "summary.json",
                "--export", "exp", "--collimation", "4", "--table", HALVORN_TABLE_PATH,
                static_cast<char*>(nullptr));
        _exit(121);
    }
    int status = -1;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "LC_ALL=" << locale;
    return FilesUnder(dir / "out");
}

// Whether `name` can be set; when the system has not generated it, it is compiled into `root` (Debian's
// `locales` package ships the sources) and LOCPATH points there for this test and the runs it starts.
bool MakeLocale(const std::string& name, const std::string& source, const fs::path& root) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    bool made = std::setlocale(LC_ALL, name.c_str()) != nullptr;
    if (!made) {
        const std::string command =
            "localedef -i " + source + " -f UTF-8 '" + (root / name).string() + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) == 0 && ::setenv("LOCPATH", root.c_str(), 1) == 0)
            made = std::setlocale(LC_ALL, name.c_str()) != nullptr;
    }
    std::setlocale(LC_ALL, saved.c_str());
    return made;
}

TEST(BatchToolLocale, OutputsAreByteIdenticalToTheCLocale) {
    std::string pattern = (fs::temp_directory_path() / "halvorn-locale-test.XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    const fs::path root = pattern;
    fs::create_directories(root / "locales");
    const std::vector<std::pair<std::string, std::string>> locales{{"de_DE.UTF-8", "de_DE"},
                                                                   {"ja_JP.UTF-8", "ja_JP"}};
    for (const auto& [name, source] : locales) {
        if (!MakeLocale(name, source, root / "locales")) {
            fs::remove_all(root);
            GTEST_SKIP() << name << " cannot be made here (no locale sources, no localedef)";
        }
    }
    const auto reference = RunExample(root, "C");
    EXPECT_GT(reference.size(), 10u);
    for (const auto& [name, source] : locales) {
        const auto files = RunExample(root, name);
        EXPECT_EQ(files.size(), reference.size()) << name;
        for (const auto& [path, bytes] : reference) {
            const auto found = files.find(path);
            EXPECT_TRUE(found != files.end() && found->second == bytes) << path << " differs under " << name;
        }
    }
    fs::remove_all(root);
}

}  // namespace
