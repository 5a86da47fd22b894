// The attenuation-table loader on arbitrary bytes, in memory (what LoadAttenuationTable runs on the bytes
// of MUs2022.dat). A load either succeeds with finite coefficients above 0 everywhere, or fails, leaves the
// state untouched and gives a one-line description.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "engine/AttenuationTable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace halvorn;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    static auto state = std::make_unique<CalculationState>();
    state->MuTungsten.fill(-1);
    state->BowtieAlMm.fill(7);
    TableLoadDetail detail;
    const TableLoadStatus status = LoadAttenuationTableBytes(*state, bytes, detail);
    if (status == TableLoadStatus::Ok) {
        for (int i = 1; i <= kBinCount; ++i)
            if (!std::isfinite(state->MuTungsten[i]) || !(state->MuTungsten[i] > 0) ||
                !(state->MuAluminium[i] > 0) || !(state->MuEnAir[i] > 0) || !std::isfinite(state->MuEnAir[i]))
                std::abort();
        if (state->BowtieAlMm[0] != 0)  // a load clears the per-point results
            std::abort();
    } else {
        if (state->MuTungsten[1] != -1 || state->BowtieAlMm[0] != 7)
            std::abort();
        if (DescribeTableLoadFailure(detail, "MUs2022.dat").find('\n') != std::string::npos)
            std::abort();
    }
    return 0;
}
