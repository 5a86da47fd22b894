#pragma once

// SHA-256 (FIPS 180-4) of bytes in memory, for the export manifest's check sums: a few dozen lines instead
// of a cryptography library, since nothing here needs more than the digest of files of a few hundred kB.

#include <string>
#include <string_view>

namespace halvorn {

// The digest as 64 lower-case hexadecimal digits.
std::string Sha256Hex(std::string_view bytes);

}  // namespace halvorn
