#include "engine/ShiftJis.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

namespace halvorn {

namespace {

// One open iconv conversion, closed on scope exit.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (ok())
            iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

// Length of the UTF-8 sequence at the start of `text`, or 0 when it is not a valid sequence.
size_t Utf8SequenceLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    size_t length = lead < 0x80             ? 1
                    : (lead & 0xE0) == 0xC0 ? 2
                    : (lead & 0xF0) == 0xE0 ? 3
                    : (lead & 0xF8) == 0xF0 ? 4
                                            : 0;
    if (length == 0 || length > text.size())
        return 0;
    for (size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            return 0;
    return length;
}

// Converts with `converter`, replacing each input unit that cannot be converted by `replacement`.
// `unitLength` tells how many input bytes one unconvertible character spans (at least 1).
template <typename UnitLength>
std::string ConvertLossy(const Converter& converter,
                         std::string_view input,
                         std::string_view replacement,
                         UnitLength unitLength) {
    std::string output;
    if (!converter.ok()) {
        // No converter on this system: keep the ASCII bytes, replace the rest.
        for (char c : input) {
            if (static_cast<unsigned char>(c) < 0x80)
                output += c;
            else
                output += replacement;
        }
        return output;
    }
    iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* out = buffer;
        size_t outLeft = sizeof buffer;
        const size_t result = iconv(converter.get(), &in, &inLeft, &out, &outLeft);
        output.append(buffer, out);
        if (result != static_cast<size_t>(-1))
            continue;
        if (errno == E2BIG)
            continue;
        // EILSEQ (cannot be represented or invalid) or EINVAL (incomplete sequence at the end).
        size_t skip = std::max<size_t>(1, unitLength(std::string_view(in, inLeft)));
        skip = std::min(skip, inLeft);
        in += skip;
        inLeft -= skip;
        output += replacement;
        iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
    }
    char* out = buffer;
    size_t outLeft = sizeof buffer;
    iconv(converter.get(), nullptr, nullptr, &out, &outLeft);
    output.append(buffer, out);
    return output;
}

}  // namespace

std::string ToShiftJis(std::string_view utf8) {
    Converter converter("CP932", "UTF-8");
    return ConvertLossy(converter, utf8, "?", Utf8SequenceLength);
}

std::string FromShiftJis(std::string_view sjis) {
    Converter converter("UTF-8", "CP932");
    return ConvertLossy(converter, sjis, "\xEF\xBF\xBD", [](std::string_view) { return size_t{1}; });
}

}  // namespace halvorn

namespace halvorn {

namespace {

// Whether the byte can begin a double-byte Shift-JIS (code page 932) character.
bool IsLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsWellFormedUtf8(std::string_view text) {
    while (!text.empty()) {
        const size_t length = Utf8SequenceLength(text);
        if (length == 0)
            return false;
        text.remove_prefix(length);
    }
    return true;
}

}  // namespace

std::vector<std::string> NotInShiftJis(std::string_view utf8) {
    std::vector<std::string> missing;
    auto note = [&missing](std::string character) {
        for (const std::string& known : missing)
            if (known == character)
                return;
        missing.push_back(std::move(character));
    };
    Converter converter("CP932", "UTF-8");
    while (!utf8.empty()) {
        const size_t length = Utf8SequenceLength(utf8);
        if (length == 0) {
            note("\xEF\xBF\xBD");
            utf8.remove_prefix(1);
            continue;
        }
        const std::string_view character = utf8.substr(0, length);
        utf8.remove_prefix(length);
        if (length == 1)
            continue;  // ASCII
        if (!converter.ok()) {
            note(std::string(character));
            continue;
        }
        iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(character.data());
        size_t inLeft = character.size();
        char buffer[8];
        char* out = buffer;
        size_t outLeft = sizeof buffer;
        if (iconv(converter.get(), &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1) || inLeft != 0)
            note(std::string(character));
    }
    return missing;
}

std::string_view ShiftJisPrefix(std::string_view sjis, std::size_t maxBytes) {
    std::size_t end = 0;
    while (end < sjis.size()) {
        const std::size_t length = IsLeadByte(static_cast<unsigned char>(sjis[end])) ? 2 : 1;
        if (end + length > maxBytes)
            break;
        end += length;
    }
    return sjis.substr(0, std::min(end, sjis.size()));
}

bool ReadsAsShiftJis(std::string_view bytes) {
    bool high = false;
    for (char c : bytes)
        high = high || static_cast<unsigned char>(c) >= 0x80;
    if (!high)
        return true;
    if (IsWellFormedUtf8(bytes))
        return false;
    return FromShiftJis(bytes).find("\xEF\xBF\xBD") == std::string::npos;
}

}  // namespace halvorn
