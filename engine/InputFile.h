#pragma once

// Opening a file the program reads (the attenuation table, result files, the batch tool's profile) so that
// no name in the working folder can stall or flood the reader: the file is opened without waiting (a FIFO
// would otherwise wait for a writer for ever), it must be a regular file (not a FIFO, device, socket or
// folder), and a file larger than the most its format can hold is refused before a byte is read.

#include <cstddef>
#include <cstdint>
#include <string>

namespace halvorn {

enum class InputFileStatus {
    Ok,
    CannotOpen,      // missing, no permission, a loop of links, ...: systemError tells
    NotRegularFile,  // a FIFO, device, socket or folder
    TooLarge,        // larger than the caller's limit
    ReadFailed,      // an error while reading: systemError tells
};

struct InputFileError {
    InputFileStatus status = InputFileStatus::Ok;
    int systemError = 0;     // errno of a failed open or read
    unsigned fileType = 0;   // st_mode & S_IFMT of a file that is not regular
    std::uint64_t size = 0;  // size of a file refused as too large
};

// What a file that is not a regular one is, from its st_mode: "a FIFO (named pipe)", "a folder", ...
std::string FileKindName(unsigned mode);

// An open regular file, read-only; closed when the object goes.
class InputFile {
public:
    // Opens `path` for reading without blocking and checks that it is a regular file of at most
    // `maxBytes` bytes. On failure ok() is false and error() says why.
    InputFile(const std::string& path, std::uint64_t maxBytes);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    bool ok() const { return fd_ >= 0; }
    const InputFileError& error() const { return error_; }

    // Reads the whole file into `bytes`; false (error() set) on a read error or when the file has grown
    // past the limit since it was opened.
    bool ReadAll(std::string& bytes);
    // Reads at most `count` bytes from the start of the file into `bytes`.
    bool ReadAtMost(std::size_t count, std::string& bytes);

private:
    bool Read(std::size_t limit, std::string& bytes, bool refuseMore);

    int fd_ = -1;
    std::uint64_t maxBytes_ = 0;
    InputFileError error_;
};

// Reads the whole of `path` (a regular file of at most `maxBytes` bytes) into `bytes`; false with the reason
// in `error` (when given) otherwise.
bool ReadInputFile(const std::string& path,
                   std::uint64_t maxBytes,
                   std::string& bytes,
                   InputFileError* error = nullptr);

// A short English description of a failure ("is a FIFO, not a regular file", "No such file or
// directory"), without the file's name.
std::string DescribeInputFileError(const InputFileError& error);

}  // namespace halvorn
