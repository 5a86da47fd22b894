#pragma once

// Saving a file so that nothing already on disk is damaged: the result file of the screens and the batch
// tool's outputs all go through here.
//
// - A symbolic link at the target is followed (through as many links as it takes) to the file it names; that
//   file is the one replaced, and the link stays a link.
// - A target that exists and is not a regular file (a FIFO, device, socket or folder) is refused, and so is
//   one the user may not write by its mode bits. The bits are read, not tried: root may write anything, but
//   a file marked read-only stays so for root too.
// - A target that is the same file as one of the caller's inputs (same device and inode, whatever the
//   spelling) is refused.
// - The bytes go to a temporary file in the target's own folder, with the old file's mode (and owner and
//   group where the process may set them) or, for a new file, the mode a new file gets under the umask; the
//   temporary is flushed to disk and then renamed over the target. The target is therefore either the old
//   file or the complete new one, and every failure removes the temporary file.
// - A file that cannot be replaced is refused before anything is written: one marked immutable or
//   append-only, and one that belongs to another user in a folder with the sticky bit (/tmp).
// - Temporaries of this program older than a minute in the target's folder (left by a killed run) are
//   removed (engine/TemporaryFiles.h).
//
// Messages are one English line (UTF-8) naming the file; the screens put them into their own message box.

#include <string>
#include <string_view>
#include <vector>

namespace halvorn {

// One file written under a temporary name and not yet put in place. Writing several files all-or-nothing:
// Prepare each, then Place each; when one Place fails, TakeBack those placed before it; when all are in
// place, Finish each. A PendingFile that is destroyed or abandoned before Place removes its temporary file
// and leaves the target as it was; one destroyed after Place finishes.
class PendingFile {
public:
    PendingFile() = default;
    ~PendingFile();
    PendingFile(PendingFile&& other) noexcept;
    PendingFile& operator=(PendingFile&& other) noexcept;
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Checks the target and writes `bytes` to a temporary file beside the file `path` resolves to. False
    // with a message in `error` when the target is refused or the bytes cannot be written.
    bool Prepare(const std::string& path,
                 std::string_view bytes,
                 const std::vector<std::string>& protectedInputs,
                 std::string& error);
    // Place and Finish in one: renames the temporary file over the target. False with a message when that
    // fails (the temporary is removed, the target is unchanged).
    bool Commit(std::string& error);
    // Puts the new file in place and keeps the file it replaces, in one step (the two names exchanged), so
    // that TakeBack can restore it. False with a message when that fails (nothing changed, the temporary
    // is removed). On a file system that cannot exchange names, a plain rename: TakeBack then cannot
    // restore a replaced file.
    bool Place(std::string& error);
    // After Place: the earlier file back in place, or no file where there was none. False when that fails.
    bool TakeBack();
    // After Place: drops the replaced file.
    void Finish();
    // Removes the temporary file, if any.
    void Abandon();

    bool prepared() const { return !temporary_.empty(); }
    // The file that Commit replaces or creates (links followed).
    const std::string& resolvedPath() const { return resolved_; }

private:
    enum class Placed { No, Replaced, Created, Renamed };

    std::string path_;
    std::string resolved_;
    std::string temporary_;  // the new file before Place; the replaced one after an exchange
    int registered_ = -1;    // its slot in the interrupt handler's registry
    Placed placed_ = Placed::No;
};

// Writes all of `bytes` to `fd`, retrying after interrupts; false with errno set (EIO for a write that
// makes no progress).
bool WriteAll(int fd, std::string_view bytes);

// Flushes a folder's entries (a rename into it) to disk; a failure here undoes nothing and is ignored.
void SyncFolder(const std::string& folder);

// The checks of Prepare alone, writing nothing: whether a save to `path` would be refused, and why.
bool CheckSaveTarget(const std::string& path,
                     const std::vector<std::string>& protectedInputs,
                     std::string& error);

// Saves `bytes` to `path` as described above; false with a message in `error` (when given) on failure.
bool SaveFileSafely(const std::string& path,
                    std::string_view bytes,
                    std::string* error = nullptr,
                    const std::vector<std::string>& protectedInputs = {});

// Whether two names lead to the same existing file (same device and inode, links followed).
bool SameFile(const std::string& a, const std::string& b);

// Whether saves to `a` and `b` would write the same file: existing files compared as by SameFile, names
// that do not exist yet by their folder (device and inode) and final name, after following links.
bool SameSaveTarget(const std::string& a, const std::string& b);

}  // namespace halvorn
