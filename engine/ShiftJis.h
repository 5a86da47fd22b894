#pragma once

// Shift-JIS (code page 932) text, as the result file stores its comment and labels; the program works in
// UTF-8. Conversion goes through the C library's iconv and never fails: what cannot be converted is
// replaced.

#include <string>
#include <string_view>

namespace halvorn {

// UTF-8 to Shift-JIS. A character Shift-JIS cannot hold (or a byte that is not valid UTF-8) becomes "?".
std::string ToShiftJis(std::string_view utf8);

// Shift-JIS to UTF-8. A byte sequence that is not valid Shift-JIS becomes U+FFFD, one per byte.
std::string FromShiftJis(std::string_view sjis);

}  // namespace halvorn
