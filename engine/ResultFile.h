#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/CalculationState.h"
#include "engine/Phrase.h"
#include "engine/RunRecord.h"

namespace halvorn {

// The 311-line result file, Shift-JIS (code page 932), CR LF. Comments are UTF-8 inside the program.
// The writer puts the comment on line 1 with each line break replaced by a blank and each character that
// Shift-JIS cannot hold written as "?"; its point columns never go past point 25 whatever N says.

// The bytes of the result file for the record of a run and a comment (what SaveResultFile writes): the
// record's point count, its points' distances, relative kermas, bowtie paths and spectra, and its inputs.
std::string FormatResultFile(const RunRecord& run, const std::string& commentUtf8);

// The largest result file the readers accept. A file the writer makes holds 311 lines of at most 26
// fields (under 3 MB even with numbers of 300 digits) after its comment, which the screens cap at 32767
// characters and a command line at 128 KiB; anything larger is not a result file.
constexpr std::uint64_t kMaxResultFileBytes = 4 << 20;

// Writes FormatResultFile to `path` with SaveFileSafely (engine/SafeSave.h): links are followed, only a
// regular file or a new name is written, a read-only file is refused, and an earlier file of that name
// survives a failed save. Returns false (with a one-line reason in `error`, UTF-8) when the file cannot be
// written.
bool SaveResultFile(const RunRecord& run,
                    const std::string& commentUtf8,
                    const std::string& path,
                    std::string* error = nullptr);

// Outcome of reading a result file. A file that is not a result file changes nothing in the state.
struct ResultLoad {
    enum class Status { Loaded, CannotOpen, NotAResultFile };
    Status status = Status::Loaded;
    int line = 0;   // line (from 1) where a NotAResultFile was found out
    Phrase reason;  // what is wrong there (Filled: Japanese), for the screen's message
    // False when the comment line of a loaded file does not read as Shift-JIS (ReadsAsShiftJis): a file
    // saved as UTF-8 by hand, whose comment the screens show garbled.
    bool commentReadsAsShiftJis = true;
};

// Reads a result file into the state. The file must have the structure the writer gives it: a comment
// line, the point count N (0 to 25) on line 2, the three labelled rows OC(cm), OCR and Al(mm), the 300
// spectrum lines with their energies 0.5 ... 150 keV, and the six set-up lines (SAD first, a tube voltage
// 10.5 to 150 kV); lines after line 311 may only be blank. Every value must begin with a number
// (read with the leading-number rule, so hand-edited files with blanks or trailing text still load) and be
// finite; a row may hold more values than N needs, and those are ignored. Only when the whole file passes
// is anything stored: N, points 0..N of the profile, path lengths and spectra (points above N keep their
// values) and the six set-up values (copper and silver divided by 10). CalibrationSucceeded is cleared.
ResultLoad LoadResultFile(CalculationState& state, const std::string& path);

// The same from the file's bytes in memory; LoadResultFile reads the file (a regular file of at most
// kMaxResultFileBytes, opened without waiting on a FIFO) and calls this.
ResultLoad LoadResultBytes(CalculationState& state, std::string_view bytes);

// Line 1 of the file as UTF-8 (its first 64 KiB, cut between characters; bytes that are not Shift-JIS become
// U+FFFD), or nothing when the file cannot be opened or read, is not a regular file or is larger than
// kMaxResultFileBytes. Reads no more than the first 64 KiB.
std::optional<std::string> ReadResultComment(const std::string& path);

// Whether the file begins as a result file does (line 2 a whole point count, line 3 the distances' label
// "OC(cm)"), read from its first 64 KiB only: what the results screen lists.
bool LooksLikeResultFile(const std::string& path);

}  // namespace halvorn
