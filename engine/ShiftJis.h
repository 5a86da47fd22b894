#pragma once

// Shift-JIS (code page 932) text, as the result file stores its comment and labels; the program works in
// UTF-8. Conversion goes through the C library's iconv and never fails: what cannot be converted is
// replaced.

#include <string>
#include <string_view>
#include <vector>

namespace halvorn {

// UTF-8 to Shift-JIS. A character Shift-JIS cannot hold (or a byte that is not valid UTF-8) becomes "?".
std::string ToShiftJis(std::string_view utf8);

// Shift-JIS to UTF-8. A byte sequence that is not valid Shift-JIS becomes U+FFFD, one per byte.
std::string FromShiftJis(std::string_view sjis);

// The characters of a UTF-8 text that Shift-JIS cannot hold (ToShiftJis writes "?" for them), each once, in
// order of first appearance, as UTF-8; a byte that is not valid UTF-8 is listed as U+FFFD.
std::vector<std::string> NotInShiftJis(std::string_view utf8);

// The longest start of a Shift-JIS text of at most `maxBytes` bytes that ends at a character boundary: a
// cut never separates the two bytes of a double-byte character.
std::string_view ShiftJisPrefix(std::string_view sjis, std::size_t maxBytes);

// Whether the bytes read as Shift-JIS text as they stand: every byte sequence is a Shift-JIS character, and
// a text with bytes above 0x7F is not also well-formed UTF-8 (a hand-edited file saved as UTF-8 mostly is;
// Japanese Shift-JIS text almost never is).
bool ReadsAsShiftJis(std::string_view bytes);

}  // namespace halvorn
