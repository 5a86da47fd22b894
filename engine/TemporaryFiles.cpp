#include "engine/TemporaryFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <random>
#include <vector>

namespace halvorn {

namespace {

constexpr std::string_view kMark = ".halvorn-";
constexpr std::size_t kRandomLength = 6;
// ".", the mark, the longest kind, "-" and the six letters leave this much of the 255 bytes for the base.
constexpr std::size_t kMaxBase = 200;

bool IsRandomLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// The registry lives in static storage, so that the signal handler reads it without allocating. A slot is
// filled before it is marked in use, and marked free before it is reused.
constexpr int kSlots = 256;
struct Slot {
    volatile sig_atomic_t inUse = 0;
    bool isFolder = false;
    char path[PATH_MAX] = {};
};
Slot slots[kSlots];
std::atomic<int> slotsUsedHigh{0};  // slots at and above this index were never used
const char* programName = "halvorn";

void WriteText(const char* text) {
    const std::size_t length = std::strlen(text);
    std::size_t done = 0;
    while (done < length) {
        const ssize_t n = ::write(STDERR_FILENO, text + done, length - done);
        if (n <= 0)
            return;
        done += static_cast<std::size_t>(n);
    }
}

// Only async-signal-safe calls: unlink, rmdir, write, _exit.
extern "C" void OnInterrupt(int signal) {
    const int high = slotsUsedHigh.load();
    for (int pass = 0; pass < 2; ++pass)  // files first, then the folders they were in
        for (int k = high; k-- > 0;)
            if (slots[k].inUse && slots[k].isFolder == (pass == 1)) {
                if (pass == 0)
                    ::unlink(slots[k].path);
                else
                    ::rmdir(slots[k].path);
            }
    WriteText(programName);
    WriteText(signal == SIGINT ? ": interrupted (SIGINT); nothing was written\n"
                               : ": interrupted (SIGTERM); nothing was written\n");
    ::_exit(128 + signal);
}

}  // namespace

std::string TemporaryPattern(const std::string& folder, const std::string& base, std::string_view kind) {
    std::string pattern = folder;
    if (!pattern.empty() && pattern.back() != '/')
        pattern += '/';
    pattern += ".";
    pattern += base.substr(0, kMaxBase);
    pattern += kMark;
    pattern += kind;
    pattern += "-XXXXXX";
    return pattern;
}

namespace {

// Replaces the pattern's trailing XXXXXX with random letters and digits until `make` succeeds or fails with
// anything other than "exists".
template <typename Make>
int CreateUnique(std::string& pattern, Make make) {
    static constexpr std::string_view kLetters =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    if (pattern.size() < kRandomLength ||
        pattern.compare(pattern.size() - kRandomLength, kRandomLength, "XXXXXX") != 0) {
        errno = EINVAL;
        return -1;
    }
    std::random_device device;
    std::uniform_int_distribution<std::size_t> pick(0, kLetters.size() - 1);
    for (int attempt = 0; attempt < 1000; ++attempt) {
        for (std::size_t k = pattern.size() - kRandomLength; k < pattern.size(); ++k)
            pattern[k] = kLetters[pick(device)];
        const int result = make(pattern.c_str());
        if (result >= 0 || errno != EEXIST)
            return result;
    }
    errno = EEXIST;
    return -1;
}

}  // namespace

int CreateTemporaryFile(std::string& pattern) {
    return CreateUnique(pattern, [](const char* name) {
        return ::open(name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    });
}

int CreateTemporaryFolder(std::string& pattern) {
    return CreateUnique(pattern, [](const char* name) { return ::mkdir(name, 0777); });
}

bool IsTemporaryName(std::string_view name) {
    if (name.size() < 2 || name.front() != '.' || name.size() <= kRandomLength + 1)
        return false;
    const std::string_view random = name.substr(name.size() - kRandomLength);
    for (char c : random)
        if (!IsRandomLetter(c))
            return false;
    const std::string_view rest = name.substr(1, name.size() - 1 - kRandomLength);
    for (std::string_view kind : {"tmp-", "set-"}) {
        const std::string tail = std::string(kMark) + std::string(kind);
        if (rest.size() > tail.size() && rest.substr(rest.size() - tail.size()) == tail)
            return true;
    }
    return false;
}

void RemoveTemporaryFolder(const std::string& folder) {
    if (DIR* dir = ::opendir(folder.c_str())) {
        std::vector<std::string> files;
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            struct stat info {};
            if (name != "." && name != ".." && ::lstat((folder + "/" + name).c_str(), &info) == 0 &&
                !S_ISDIR(info.st_mode))
                files.push_back(folder + "/" + name);
        }
        ::closedir(dir);
        for (const std::string& file : files)
            ::unlink(file.c_str());
    }
    ::rmdir(folder.c_str());
}

void RemoveStaleTemporaries(const std::string& folder, int minAgeSeconds) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir))
        if (IsTemporaryName(entry->d_name))
            names.push_back(entry->d_name);
    ::closedir(dir);
    const time_t now = ::time(nullptr);
    for (const std::string& name : names) {
        const std::string path = folder + "/" + name;
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || now - info.st_mtime <= minAgeSeconds)
            continue;
        if (S_ISDIR(info.st_mode))
            RemoveTemporaryFolder(path);
        else if (S_ISREG(info.st_mode))
            ::unlink(path.c_str());
    }
}

int RegisterTemporary(const std::string& path, bool isFolder) {
    if (path.size() >= PATH_MAX)
        return -1;
    for (int k = 0; k < kSlots; ++k) {
        if (slots[k].inUse)
            continue;
        std::memcpy(slots[k].path, path.c_str(), path.size() + 1);
        slots[k].isFolder = isFolder;
        if (k >= slotsUsedHigh.load())
            slotsUsedHigh.store(k + 1);
        std::atomic_signal_fence(std::memory_order_seq_cst);
        slots[k].inUse = 1;
        return k;
    }
    return -1;
}

void ForgetTemporary(int slot) {
    if (slot >= 0 && slot < kSlots)
        slots[slot].inUse = 0;
}

void InstallInterruptCleanup(const char* program) {
    programName = program;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    ::sigemptyset(&action.sa_mask);
    // While one signal cleans up, the other waits.
    ::sigaddset(&action.sa_mask, SIGINT);
    ::sigaddset(&action.sa_mask, SIGTERM);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    ::signal(SIGXFSZ, SIG_IGN);
}

static_assert(sizeof(sigset_t) <= sizeof(unsigned long long[16]));

InterruptsHeld::InterruptsHeld() {
    sigset_t held;
    ::sigemptyset(&held);
    ::sigaddset(&held, SIGINT);
    ::sigaddset(&held, SIGTERM);
    ::sigprocmask(SIG_BLOCK, &held, reinterpret_cast<sigset_t*>(previous_));
}

InterruptsHeld::~InterruptsHeld() {
    ::sigprocmask(SIG_SETMASK, reinterpret_cast<sigset_t*>(previous_), nullptr);
}

void HoldInterrupts() {
    sigset_t held;
    ::sigemptyset(&held);
    ::sigaddset(&held, SIGINT);
    ::sigaddset(&held, SIGTERM);
    ::sigprocmask(SIG_BLOCK, &held, nullptr);
}

}  // namespace halvorn
