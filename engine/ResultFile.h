#pragma once

#include <optional>
#include <string>

#include "CalculationState.h"

namespace halvorn {

// The 311-line result file, Shift-JIS (code page 932), CR LF. Comments are UTF-8 inside the program.

// The bytes of the result file for the state and comment (what SaveResultFile writes).
std::string FormatResultFile(const CalculationState& state, const std::string& commentUtf8);

// Writes FormatResultFile to `path` through a temporary file in the same folder renamed over the target,
// so an earlier file of that name survives a failed save. Returns false (with a reason in `error`, UTF-8)
// when the file cannot be written.
bool SaveResultFile(const CalculationState& state, const std::string& commentUtf8, const std::string& path,
                    std::string* error = nullptr);

// Reads a result file into the state field by field; a step that fails is skipped and leaves its target
// unchanged; never writes past point 25. Never reports an error.
void LoadResultFile(CalculationState& state, const std::string& path);

// Line 1 of the file as UTF-8, or nothing when the file cannot be opened.
std::optional<std::string> ReadResultComment(const std::string& path);

}  // namespace halvorn
