#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/CalculationState.h"

namespace halvorn {

// The 311-line result file, Shift-JIS (code page 932), CR LF. Comments are UTF-8 inside the program.
// The writer puts the comment on line 1 with each line break replaced by a blank and each character that
// Shift-JIS cannot hold written as "?"; its point columns never go past point 25 whatever N says.

// The bytes of the result file for the state and comment (what SaveResultFile writes).
std::string FormatResultFile(const CalculationState& state, const std::string& commentUtf8);

// The largest result file the readers accept. A file the writer makes holds 311 lines of at most 26
// fields (under 3 MB even with numbers of 300 digits) after its comment, which the screens cap at 32767
// characters and a command line at 128 KiB; anything larger is not a result file.
constexpr std::uint64_t kMaxResultFileBytes = 4 << 20;

// Writes FormatResultFile to `path` with SaveFileSafely (engine/SafeSave.h): links are followed, only a
// regular file or a new name is written, a read-only file is refused, and an earlier file of that name
// survives a failed save. Returns false (with a one-line reason in `error`, UTF-8) when the file cannot be
// written.
bool SaveResultFile(const CalculationState& state,
                    const std::string& commentUtf8,
                    const std::string& path,
                    std::string* error = nullptr);

// Reads a result file into the state field by field; a step that fails is skipped and leaves its target
// unchanged; never writes past point 25. Never reports an error. A field that does not begin with a number
// is a failed read. N on line 2 above 25 is stored as 25, any other N as written (the values per row follow
// the N as written, capped at 26 points), so ProfilePointCount never exceeds 25 through a load.
// Only a regular file of at most kMaxResultFileBytes is read (opened without waiting on a FIFO).
void LoadResultFile(CalculationState& state, const std::string& path);

// The same reading from the file's bytes in memory; LoadResultFile reads the file and calls this.
void LoadResultBytes(CalculationState& state, std::string_view bytes);

// Line 1 of the file as UTF-8 (its first 64 KiB; bytes that are not Shift-JIS become U+FFFD), or nothing
// when the file cannot be opened or read, is not a regular file or is larger than kMaxResultFileBytes.
// Reads no more than the first 64 KiB.
std::optional<std::string> ReadResultComment(const std::string& path);

}  // namespace halvorn
