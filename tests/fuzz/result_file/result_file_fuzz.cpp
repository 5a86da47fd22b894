// The result-file reader on arbitrary bytes, in memory: LoadResultBytes is what LoadResultFile runs on the
// bytes of a file. Loaded over a state of sentinels, the reader must never write past point 25, never leave
// ProfilePointCount above 25, touch nothing the file does not hold, and change nothing at all when it
// refuses the bytes. On a sample of inputs the writer
// runs too, on the loaded state with a comment taken from the input: it must always give 311 lines.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "engine/ResultFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace halvorn;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    static auto state = std::make_unique<CalculationState>();
    *state = CalculationState{};
    state->ProfilePointCount = 3;
    state->TargetAngleDeg = 1234;
    state->MuTungsten.fill(1234);
    for (auto& spectrum : state->PointSpectra)
        spectrum[0] = 1234;
    static auto before = std::make_unique<CalculationState>();
    *before = *state;
    if (LoadResultBytes(*state, bytes).status != ResultLoad::Status::Loaded &&
        (state->ProfilePointCount != before->ProfilePointCount || state->DoseProfile != before->DoseProfile ||
         state->BowtieAlMm != before->BowtieAlMm || state->PointSpectra != before->PointSpectra ||
         state->TubeVoltageKv != before->TubeVoltageKv ||
         state->FocusCentreDistanceCm != before->FocusCentreDistanceCm))
        std::abort();
    if (state->TargetAngleDeg != 1234 || state->MuTungsten[0] != 1234 || state->MuTungsten[300] != 1234 ||
        !(state->ProfilePointCount <= kMaxPoint))
        std::abort();
    for (const auto& spectrum : state->PointSpectra)
        if (spectrum[0] != 1234)  // bin 0 is not in the file
            std::abort();

    // The writer on about one input in sixteen (it formats 9,000 numbers).
    if (size > 0 && data[0] % 16 == 0) {
        const std::string text = FormatResultFile(RecordLoadedResult(*state, CoefficientsOf(*state), "", ""),
                                                  std::string(bytes.substr(1, 200)));
        std::size_t lines = 0;
        for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
            ++lines;
        if (lines != 311)
            std::abort();
    }
    return 0;
}
