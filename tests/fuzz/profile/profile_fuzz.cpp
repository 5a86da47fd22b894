// The batch tool's profile parser on arbitrary text. It either refuses the text with a one-line message
// naming the file, or gives 1 to 26 rows whose first is the centre at distance 0 with a reading other
// than 0, and no other row at distance 0.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "cli/BatchInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace halvorn::cli;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const Profile profile = ParseProfile(text, "p.csv");
        if (profile.rows.empty() || profile.PointCount() > 25 || profile.rows[0].distanceCm.value != 0 ||
            profile.rows[0].reading.value == 0)
            std::abort();
        for (std::size_t k = 1; k < profile.rows.size(); ++k)
            if (profile.rows[k].distanceCm.value == 0)
                std::abort();  // only the centre lies at distance 0
    } catch (const InputError& e) {
        if (std::string_view(e.what()).find("p.csv") == std::string_view::npos)
            std::abort();
    }
    return 0;
}
