#pragma once

// Texts that go into a one-line message: a value, a profile line or a file name the user gave, which may
// hold anything (line breaks, escape sequences, bytes that are not UTF-8, hundreds of kilobytes).

#include <string>
#include <string_view>

namespace halvorn {

// `text` on one line: control characters (C0, DEL, C1 and the Unicode line and paragraph separators)
// written as \n, \r, \t or \xNN / \u2028, bytes that are not UTF-8 as \xNN; everything else as it is.
std::string OneLine(std::string_view text);

// OneLine of at most `limit` characters of `text` (cut at a character), with "..." when it was cut.
std::string Excerpt(std::string_view text, std::size_t limit = 60);

}  // namespace halvorn
