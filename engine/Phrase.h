#pragma once

// A text the engine makes with values (a point's number, a distance, a line of a file): a pattern marked
// HALVORN_TRANSLATABLE with %1 ... %9 where the values go, and the values already written as text (numbers
// through NumberText). The engine fills in the Japanese pattern; the screens fill in its translation, so
// another language can put the values where its word order needs them.

#include <string>
#include <string_view>
#include <vector>

namespace halvorn {

struct Phrase {
    std::string_view context;  // the context the pattern is marked in
    std::string_view pattern;  // a literal: it outlives the phrase
    std::vector<std::string> arguments{};

    bool empty() const { return pattern.empty(); }
};

// `pattern` with each %1 ... %9 replaced by the argument of that number, in one pass (a % in an argument
// is kept as it is); a % followed by anything else, or by a number without an argument, is copied.
std::string FillPattern(std::string_view pattern, const std::vector<std::string>& arguments);

// The phrase in the engine's language (Japanese, UTF-8).
std::string Filled(const Phrase& phrase);

}  // namespace halvorn
