#pragma once

// The program's version, the project's one VERSION in CMake: shown on the start screen, printed by
// --version of the program and the batch tool, and named in the files they write that have room for it.

#include <string>

namespace halvorn {

// "2.0".
std::string ProgramVersion();

}  // namespace halvorn
