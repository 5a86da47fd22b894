// The batch tool's command-line parser on arbitrary arguments (the input split at NUL bytes). It either
// refuses them with a message, or gives options whose every number lies in its accepted range.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "cli/BatchInput.h"
#include "engine/InputRanges.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace halvorn;
    using namespace halvorn::cli;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> args;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find('\0', start), text.size());
        args.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    try {
        const BatchOptions options = ParseCommandLine(args);
        // --help and --version end the tool before anything is checked.
        if (options.help || options.version)
            return 0;
        if (!InAcceptedRange(InputField::MeasuredHvl, options.hvl.value) ||
            !InAcceptedRange(InputField::TubeVoltage, options.kv.value) ||
            !InAcceptedRange(InputField::TargetAngle, options.targetAngle.value) ||
            !InAcceptedRange(InputField::InherentFiltration, options.inherent.value) ||
            !InAcceptedRange(InputField::AddedCopper, options.addedCu.value) ||
            (options.focusDistance &&
             !InAcceptedRange(InputField::FocusDistance, options.focusDistance->value)) ||
            (options.profilePath && !options.focusDistance) ||
            (options.collimation && !InAcceptedRange(InputField::Collimation, options.collimation->value)) ||
            !InAcceptedRange(InputField::AngleStep, options.angleStep.value) ||
            (options.collimation && !options.exportDir) ||
            (options.exportDir && options.exportDir->empty()) ||
            (options.kermaPer100Mas &&
             (!options.collimation ||
              !InAcceptedRange(InputField::KermaPer100Mas, options.kermaPer100Mas->value))) ||
            (options.phaseSpace &&
             (!options.collimation || !options.profilePath ||
              !InAcceptedRange(InputField::PhaseSpacePhotons, options.phaseSpace->value))) ||
            !InAcceptedRange(InputField::PhaseSpacePlane, options.phaseSpacePlane.value))
            std::abort();
        if (options.comment.find_first_of("\r\n") != std::string::npos)
            std::abort();
    } catch (const InputError& e) {
        if (std::string_view(e.what()).empty())
            std::abort();
    }
    return 0;
}
