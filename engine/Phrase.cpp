#include "engine/Phrase.h"

namespace halvorn {

std::string FillPattern(std::string_view pattern, const std::vector<std::string>& arguments) {
    std::string out;
    out.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const auto k = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (k < arguments.size()) {
                out += arguments[k];
                ++i;
                continue;
            }
        }
        out += pattern[i];
    }
    return out;
}

std::string Filled(const Phrase& phrase) {
    return FillPattern(phrase.pattern, phrase.arguments);
}

}  // namespace halvorn
