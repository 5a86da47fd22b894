// libFuzzer target for the result-file reader and the number-text rules. Not part of the CMake build;
// build and run it by hand from the repository root, for example:
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -Iengine
//       tests/engine/fuzz/ResultFile_fuzz.cpp engine/ResultFile.cpp engine/NumberText.cpp
//       -o /tmp/resultfile_fuzz
//   /tmp/resultfile_fuzz -max_total_time=60 -max_len=100000 corpus/
// The input is written to a file and loaded over a state of sentinels; the reader must never write past
// point 25, nor leave ProfilePointCount above 25 (or not a number) once it has read one.

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "engine/NumberText.h"
#include "engine/ResultFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace halvorn;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const double value = LeadingNumber(text);
    FormatPicture(value, "  0.000E+00");
    FormatPicture(value, " #00.0");
    FormatPicture(value, text.substr(0, 32));
    PlainDecimal(value);

    static const std::string path = "/tmp/halvorn-fuzz-" + std::to_string(getpid()) + ".csv";
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    auto state = std::make_unique<CalculationState>();
    state->ProfilePointCount = 3;
    state->TargetAngleDeg = 1234;
    state->MuTungsten.fill(1234);
    LoadResultFile(*state, path);
    ReadResultComment(path);
    if (state->TargetAngleDeg != 1234 || state->MuTungsten[0] != 1234 || state->MuTungsten[300] != 1234 ||
        !(state->ProfilePointCount <= kMaxPoint))
        std::abort();
    FormatResultFile(*state, std::string(text.substr(0, 256)));
    return 0;
}
