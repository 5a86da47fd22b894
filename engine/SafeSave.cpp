#include "engine/SafeSave.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "engine/InputFile.h"
#include "engine/TemporaryFiles.h"

namespace halvorn {

namespace {

// More links than this in a row are a loop (the kernel's own limit is 40).
constexpr int kMaxLinkHops = 40;

std::string Folder(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string BaseName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool InGroup(gid_t gid) {
    if (gid == ::getegid())
        return true;
    const int count = ::getgroups(0, nullptr);
    if (count <= 0)
        return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int got = ::getgroups(count, groups.data());
    for (int i = 0; i < got; ++i)
        if (groups[static_cast<std::size_t>(i)] == gid)
            return true;
    return false;
}

// Whether the mode bits grant `bits` (owner bits, e.g. S_IWUSR | S_IXUSR) to this process: the owner's
// bits when it owns the file, else the group's when it is in the group, else the others'. Root is treated
// like anyone else, so a read-only file is refused to root as well.
bool Permitted(const struct stat& info, mode_t ownerBits) {
    mode_t bits = ownerBits;
    if (info.st_uid != ::geteuid())
        bits = InGroup(info.st_gid) ? ownerBits >> 3 : ownerBits >> 6;
    return (info.st_mode & bits) == bits;
}

// Where a save to a path writes, links followed.
struct Target {
    std::string path;  // the final name, not a link
    bool exists = false;
    struct stat info {};  // of the file, when it exists
};

// Follows symbolic links from `path` to the name they end at. False with a reason when a link cannot be
// read or the chain does not end.
bool Resolve(const std::string& path, Target& target, std::string& reason) {
    std::string current = path;
    for (int hops = 0;; ++hops) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0) {
            if (errno == ENOENT) {
                target.path = current;
                target.exists = false;
                return true;
            }
            reason = std::strerror(errno);
            return false;
        }
        if (!S_ISLNK(info.st_mode)) {
            target.path = current;
            target.exists = true;
            target.info = info;
            return true;
        }
        if (hops >= kMaxLinkHops) {
            reason = "the symbolic links loop or run too deep";
            return false;
        }
        std::string link(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 255) + 1, '\0');
        const ssize_t length = ::readlink(current.c_str(), link.data(), link.size());
        if (length < 0) {
            reason = std::strerror(errno);
            return false;
        }
        if (static_cast<std::size_t>(length) >= link.size()) {
            reason = "a symbolic link changed while it was read";
            return false;
        }
        link.resize(static_cast<std::size_t>(length));
        if (link.empty()) {
            reason = "a symbolic link is empty";
            return false;
        }
        current = link.front() == '/' ? link : Folder(current) + "/" + link;
    }
}

// The name used in messages: the path as given, with the file a link leads to.
std::string Named(const std::string& path, const std::string& resolved) {
    if (resolved.empty() || resolved == path)
        return path;
    return path + " (-> " + resolved + ")";
}

// Resolves and checks a save target; false with a one-line message.
bool CheckTarget(const std::string& path,
                 const std::vector<std::string>& protectedInputs,
                 Target& target,
                 std::string& error) {
    std::string reason;
    if (path.empty()) {
        error = "cannot save: no file name was given";
        return false;
    }
    if (!Resolve(path, target, reason)) {
        error = "cannot save " + path + ": " + reason;
        return false;
    }
    const std::string name = Named(path, target.path);
    if (target.exists) {
        if (!S_ISREG(target.info.st_mode)) {
            error = "cannot save " + name + ": it is " + FileKindName(target.info.st_mode) +
                    ", not a regular file; only a regular file or a new name can be saved to";
            return false;
        }
        if (!Permitted(target.info, S_IWUSR)) {
            error = "cannot save " + name + ": the file is read-only";
            return false;
        }
        // A file marked immutable or append-only cannot be renamed over, not even by root.
        const int fd = ::open(target.path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
        if (fd >= 0) {
            int flags = 0;
            const bool fixed =
                ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 && (flags & (FS_IMMUTABLE_FL | FS_APPEND_FL)) != 0;
            ::close(fd);
            if (fixed) {
                error = "cannot save " + name + ": the file is marked immutable or append-only";
                return false;
            }
        }
        for (const auto& input : protectedInputs) {
            struct stat info {};
            if (!input.empty() && ::stat(input.c_str(), &info) == 0 && info.st_dev == target.info.st_dev &&
                info.st_ino == target.info.st_ino) {
                error = "cannot save " + name + ": it is the input file " + input;
                return false;
            }
        }
    }
    const std::string folder = Folder(target.path);
    struct stat folderInfo {};
    if (::stat(folder.c_str(), &folderInfo) != 0) {
        error = "cannot save " + name + ": folder " + folder + ": " + std::strerror(errno);
        return false;
    }
    if (!S_ISDIR(folderInfo.st_mode)) {
        error = "cannot save " + name + ": " + folder + " is not a folder";
        return false;
    }
    if (!Permitted(folderInfo, S_IWUSR | S_IXUSR)) {
        error = "cannot save " + name + ": the folder " + folder + " is read-only";
        return false;
    }
    // In a sticky folder only the file's owner (or the folder's, or root) may replace it.
    const uid_t self = ::geteuid();
    if (target.exists && (folderInfo.st_mode & S_ISVTX) && self != 0 && target.info.st_uid != self &&
        folderInfo.st_uid != self) {
        error = "cannot save " + name +
                ": it belongs to another user in a folder where only the owner may replace it";
        return false;
    }
    return true;
}

}  // namespace

bool WriteAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Flushes a folder's entries (the rename) to disk; a failure here does not undo the save.
void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

PendingFile::~PendingFile() {
    Abandon();
}

PendingFile::PendingFile(PendingFile&& other) noexcept
    : path_(std::move(other.path_)),
      resolved_(std::move(other.resolved_)),
      temporary_(std::exchange(other.temporary_, {})),
      registered_(std::exchange(other.registered_, -1)),
      placed_(std::exchange(other.placed_, Placed::No)) {}

PendingFile& PendingFile::operator=(PendingFile&& other) noexcept {
    if (this != &other) {
        Abandon();
        path_ = std::move(other.path_);
        resolved_ = std::move(other.resolved_);
        temporary_ = std::exchange(other.temporary_, {});
        registered_ = std::exchange(other.registered_, -1);
        placed_ = std::exchange(other.placed_, Placed::No);
    }
    return *this;
}

void PendingFile::Abandon() {
    if (placed_ != Placed::No) {
        Finish();
        return;
    }
    if (!temporary_.empty())
        ::unlink(temporary_.c_str());
    temporary_.clear();
    ForgetTemporary(registered_);
    registered_ = -1;
}

bool PendingFile::Prepare(const std::string& path,
                          std::string_view bytes,
                          const std::vector<std::string>& protectedInputs,
                          std::string& error) {
    Abandon();
    path_ = path;
    resolved_.clear();
    Target target;
    if (!CheckTarget(path, protectedInputs, target, error))
        return false;
    resolved_ = target.path;
    const std::string name = Named(path, resolved_);

    RemoveStaleTemporaries(Folder(resolved_));
    std::string pattern = TemporaryPattern(Folder(resolved_), BaseName(resolved_), "tmp");
    int fd = -1;
    {
        const InterruptsHeld held;
        fd = CreateTemporaryFile(pattern);
        if (fd >= 0)
            registered_ = RegisterTemporary(pattern, false);
    }
    if (fd < 0) {
        error = "cannot save " + name + ": cannot create a file in its folder: " + std::strerror(errno);
        return false;
    }
    temporary_ = pattern;

    // The file has a new file's mode; a replaced file's owner and mode go over to it.
    if (target.exists) {
        if (::fchown(fd, target.info.st_uid, target.info.st_gid) != 0 &&
            ::fchown(fd, static_cast<uid_t>(-1), target.info.st_gid) != 0) {
            // Not permitted: the new file belongs to this process, like any file it creates.
        }
        ::fchmod(fd, target.info.st_mode & 07777);
    }

    auto fail = [&](const char* what) {
        error = "cannot save " + name + ": " + what + ": " + std::strerror(errno);
        Abandon();
        return false;
    };
    if (!WriteAll(fd, bytes) || ::fsync(fd) != 0) {
        const int code = errno;
        ::close(fd);
        errno = code;
        return fail("writing failed");
    }
    if (::close(fd) != 0)
        return fail("writing failed");
    return true;
}

bool PendingFile::Commit(std::string& error) {
    if (!Place(error))
        return false;
    Finish();
    return true;
}

bool PendingFile::Place(std::string& error) {
    const std::string name = Named(path_, resolved_);
    if (temporary_.empty() || placed_ != Placed::No) {
        error = "cannot save " + name + ": nothing was prepared";
        return false;
    }
    // The target may have changed since Prepare looked at it; a non-regular file there is still refused.
    struct stat info {};
    const bool exists = ::lstat(resolved_.c_str(), &info) == 0;
    if (exists && !S_ISREG(info.st_mode)) {
        error = "cannot save " + name + ": it is now " + FileKindName(info.st_mode) + ", not a regular file";
        Abandon();
        return false;
    }
    // Exchanged, the replaced file stays under the temporary name until Finish; a new one must not appear
    // meanwhile under the target's name.
    const unsigned flags = exists ? RENAME_EXCHANGE : RENAME_NOREPLACE;
    if (::renameat2(AT_FDCWD, temporary_.c_str(), AT_FDCWD, resolved_.c_str(), flags) == 0) {
        placed_ = exists ? Placed::Replaced : Placed::Created;
    } else if ((errno == EINVAL || errno == ENOSYS) && ::rename(temporary_.c_str(), resolved_.c_str()) == 0) {
        placed_ = Placed::Renamed;  // a file system without the exchange
        temporary_.clear();
    } else {
        error = "cannot save " + name + ": " + std::strerror(errno);
        Abandon();
        return false;
    }
    if (placed_ != Placed::Replaced) {
        temporary_.clear();
        ForgetTemporary(registered_);
        registered_ = -1;
    }
    SyncFolder(Folder(resolved_));
    return true;
}

bool PendingFile::TakeBack() {
    bool done = true;
    if (placed_ == Placed::Replaced)
        done = ::renameat2(AT_FDCWD, temporary_.c_str(), AT_FDCWD, resolved_.c_str(), RENAME_EXCHANGE) == 0;
    else if (placed_ == Placed::Created)
        done = ::unlink(resolved_.c_str()) == 0;
    else if (placed_ == Placed::Renamed)
        done = false;
    placed_ = Placed::No;
    Abandon();
    return done;
}

void PendingFile::Finish() {
    placed_ = Placed::No;
    if (!temporary_.empty())
        ::unlink(temporary_.c_str());
    temporary_.clear();
    ForgetTemporary(registered_);
    registered_ = -1;
}

bool CheckSaveTarget(const std::string& path,
                     const std::vector<std::string>& protectedInputs,
                     std::string& error) {
    Target target;
    return CheckTarget(path, protectedInputs, target, error);
}

bool SaveFileSafely(const std::string& path,
                    std::string_view bytes,
                    std::string* error,
                    const std::vector<std::string>& protectedInputs) {
    std::string message;
    PendingFile file;
    if (file.Prepare(path, bytes, protectedInputs, message) && file.Commit(message))
        return true;
    if (error)
        *error = message;
    return false;
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat infoA {};
    struct stat infoB {};
    return ::stat(a.c_str(), &infoA) == 0 && ::stat(b.c_str(), &infoB) == 0 && infoA.st_dev == infoB.st_dev &&
           infoA.st_ino == infoB.st_ino;
}

bool SameSaveTarget(const std::string& a, const std::string& b) {
    if (a == b)
        return true;
    Target targetA;
    Target targetB;
    std::string reason;
    if (!Resolve(a, targetA, reason) || !Resolve(b, targetB, reason))
        return false;
    if (targetA.exists || targetB.exists)
        return targetA.exists && targetB.exists && targetA.info.st_dev == targetB.info.st_dev &&
               targetA.info.st_ino == targetB.info.st_ino;
    return BaseName(targetA.path) == BaseName(targetB.path) &&
           SameFile(Folder(targetA.path), Folder(targetB.path));
}

}  // namespace halvorn
