#include "engine/MessageText.h"

#include <cstdio>

namespace halvorn {

namespace {

// The length of the UTF-8 sequence at the start of `text` and its code point; 0 when it is not one.
std::size_t DecodeUtf8(std::string_view text, char32_t& code) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    if (lead < 0x80)
        length = 1, code = lead;
    else if (lead >= 0xC2 && lead <= 0xDF)
        length = 2, code = lead & 0x1F;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3, code = lead & 0x0F;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4, code = lead & 0x07;
    else
        return 0;
    if (text.size() < length)
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(k) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (byte(k) & 0x3F);
    }
    // Overlong forms, surrogates and values beyond U+10FFFF are not UTF-8.
    if ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
        (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

std::string Escaped(std::string_view text, std::size_t limit) {
    std::string out;
    std::size_t characters = 0;
    for (std::size_t k = 0; k < text.size(); ++characters) {
        if (characters == limit)
            return out + "...";
        char32_t code = 0;
        const std::size_t length = DecodeUtf8(text.substr(k), code);
        char escape[16];
        if (length == 0) {
            std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned char>(text[k]));
            out += escape;
            ++k;
            continue;
        }
        if (code == '\n')
            out += "\\n";
        else if (code == '\r')
            out += "\\r";
        else if (code == '\t')
            out += "\\t";
        else if (code < 0x20 || (code >= 0x7F && code <= 0x9F)) {
            std::snprintf(escape, sizeof escape, code < 0x80 ? "\\x%02X" : "\\u%04X",
                          static_cast<unsigned>(code));
            out += escape;
        } else if (code == 0x2028 || code == 0x2029) {
            std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(code));
            out += escape;
        } else {
            out += text.substr(k, length);
        }
        k += length;
    }
    return out;
}

}  // namespace

std::string OneLine(std::string_view text) {
    return Escaped(text, std::string_view::npos);
}

std::string Excerpt(std::string_view text, std::size_t limit) {
    return Escaped(text, limit);
}

}  // namespace halvorn
