// The number-text rules on arbitrary text: the leading-number rule, picture formats (the program's own and
// one taken from the input), plain decimal text, and the batch tool's strict whole-number parse. A strict
// number is always also the leading number of its text, and plain decimal text reads back within its 15
// significant digits.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "cli/BatchInput.h"
#include "engine/NumberText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace halvorn;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const double value = LeadingNumber(text);
    for (const char* picture :
         {"#0.00", "0.000", "##0.000", "#00.0", "#00", "   000.00  ", "  0.000E+00", " 0.00"})
        FormatPicture(value, picture);
    FormatPicture(value, text.substr(0, 40));
    RoundHalfEven(value);

    const std::string plain = PlainDecimal(value);
    if (std::isfinite(value)) {
        // Rounded to 15 digits, the largest doubles print above the largest double and read back as
        // infinity; every other value reads back within the rounding.
        const double back = LeadingNumber(plain);
        const bool nearOverflow = std::abs(value) > 1.79769313486231e308;
        const bool subnormal = std::abs(value) < 1e-300;
        if (!nearOverflow && !subnormal && !(std::abs(back - value) <= 1e-14 * std::abs(value)))
            std::abort();
    }

    if (const auto strict = cli::StrictNumber(text)) {
        if (!std::isfinite(*strict) || *strict != LeadingNumber(text))
            std::abort();
    }
    return 0;
}
