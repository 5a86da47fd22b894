#include "engine/InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace halvorn {

std::string FileKindName(unsigned mode) {
    switch (mode & S_IFMT) {
        case S_IFIFO:
            return "a FIFO (named pipe)";
        case S_IFCHR:
            return "a character device";
        case S_IFBLK:
            return "a block device";
        case S_IFSOCK:
            return "a socket";
        case S_IFDIR:
            return "a folder";
        default:
            return "a special file";
    }
}

InputFile::InputFile(const std::string& path, std::uint64_t maxBytes) : maxBytes_(maxBytes) {
    // A name that is not a regular file is refused before it is opened at all: opening a device can have
    // effects of its own. The check is repeated on the open descriptor, which is what is read.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        error_ = {InputFileStatus::CannotOpen, errno, 0, 0};
        return;
    }
    if (!S_ISREG(info.st_mode)) {
        error_ = {InputFileStatus::NotRegularFile, 0, static_cast<unsigned>(info.st_mode & S_IFMT), 0};
        return;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        error_ = {InputFileStatus::CannotOpen, errno, 0, 0};
        return;
    }
    if (::fstat(fd, &info) != 0) {
        error_ = {InputFileStatus::CannotOpen, errno, 0, 0};
        ::close(fd);
        return;
    }
    if (!S_ISREG(info.st_mode)) {
        error_ = {InputFileStatus::NotRegularFile, 0, static_cast<unsigned>(info.st_mode & S_IFMT), 0};
        ::close(fd);
        return;
    }
    if (static_cast<std::uint64_t>(info.st_size) > maxBytes) {
        error_ = {InputFileStatus::TooLarge, 0, 0, static_cast<std::uint64_t>(info.st_size)};
        ::close(fd);
        return;
    }
    // Reads of a regular file never wait; the flag goes so that nothing downstream sees EAGAIN.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    fd_ = fd;
}

InputFile::~InputFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool InputFile::ReadAll(std::string& bytes) {
    return Read(maxBytes_, bytes, true);
}

bool InputFile::ReadAtMost(std::size_t count, std::string& bytes) {
    return Read(count < maxBytes_ ? count : maxBytes_, bytes, false);
}

// Reads up to `limit` bytes; with `refuseMore`, a byte beyond the limit (a file that grew) is a failure.
bool InputFile::Read(std::size_t limit, std::string& bytes, bool refuseMore) {
    bytes.clear();
    if (fd_ < 0)
        return false;
    if (::lseek(fd_, 0, SEEK_SET) != 0) {
        error_ = {InputFileStatus::ReadFailed, errno, 0, 0};
        return false;
    }
    char buffer[65536];
    for (;;) {
        const std::size_t room = limit - bytes.size();
        // One byte more than the room shows whether the file goes on past the limit.
        const std::size_t want =
            refuseMore ? std::min(sizeof buffer, room + 1) : std::min(sizeof buffer, room);
        if (want == 0)
            return true;
        const ssize_t got = ::read(fd_, buffer, want);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            error_ = {InputFileStatus::ReadFailed, errno, 0, 0};
            return false;
        }
        if (got == 0)
            return true;
        if (static_cast<std::size_t>(got) > room) {
            error_ = {InputFileStatus::TooLarge, 0, 0, bytes.size() + static_cast<std::size_t>(got)};
            bytes.clear();
            return false;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

bool ReadInputFile(const std::string& path,
                   std::uint64_t maxBytes,
                   std::string& bytes,
                   InputFileError* error) {
    bytes.clear();
    InputFile file(path, maxBytes);
    const bool read = file.ok() && file.ReadAll(bytes);
    if (error)
        *error = file.error();
    return read;
}

std::string DescribeInputFileError(const InputFileError& error) {
    switch (error.status) {
        case InputFileStatus::Ok:
            return "readable";
        case InputFileStatus::CannotOpen:
        case InputFileStatus::ReadFailed:
            return error.systemError != 0 ? std::strerror(error.systemError) : "cannot be read";
        case InputFileStatus::NotRegularFile:
            return "is " + FileKindName(error.fileType) + ", not a regular file";
        case InputFileStatus::TooLarge:
            return "is too large (" + std::to_string(error.size) + " bytes)";
    }
    return "cannot be read";
}

}  // namespace halvorn
