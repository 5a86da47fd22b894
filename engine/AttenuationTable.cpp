#include "engine/AttenuationTable.h"

#include <sys/stat.h>

#include <cstdint>
#include <vector>

#include "engine/InputFile.h"

namespace halvorn {

namespace {

// The most a table file may hold: 2100 numbers of at most 256 characters would be about 540 kB; a larger
// file is not a table (or is a device that never ends) and is not read.
constexpr std::uint64_t kMaxTableBytes = 1 << 20;

// The bytes of the table file; false with the reason in `detail` when it cannot be read. Only a regular
// file is read, opened without waiting (a FIFO of that name would stall the program).
bool ReadTableBytes(const std::string& path, std::string& bytes, TableLoadDetail& detail) {
    InputFileError error;
    if (ReadInputFile(path, kMaxTableBytes, bytes, &error))
        return true;
    detail = TableLoadDetail{};
    detail.status = TableLoadStatus::CannotOpen;
    detail.systemError = error.systemError;
    if (error.status == InputFileStatus::NotRegularFile || error.status == InputFileStatus::TooLarge)
        detail.reason = DescribeInputFileError(error);
    return false;
}

}  // namespace

TableLoadStatus LoadAttenuationTable(CalculationState& state, const std::string& path) {
    TableLoadDetail detail;
    return LoadAttenuationTable(state, path, detail);
}

TableLoadStatus ReadAttenuationTable(const std::string& path,
                                     AttenuationCoefficients& table,
                                     TableLoadDetail& detail) {
    std::string bytes;
    if (!ReadTableBytes(path, bytes, detail))
        return detail.status;
    return ParseAttenuationTable(bytes, table, detail);
}

// A damaged file leaves the previous table and the previous results in place.
TableLoadStatus LoadAttenuationTable(CalculationState& state,
                                     const std::string& path,
                                     TableLoadDetail& detail) {
    std::string bytes;
    if (!ReadTableBytes(path, bytes, detail))
        return detail.status;
    return LoadAttenuationTableBytes(state, bytes, detail);
}

std::string FindAttenuationTable(const std::string& programDir) {
    const std::string name = "MUs2022.dat";
    std::vector<std::string> candidates{name};
    if (!programDir.empty())
        candidates.push_back(programDir + "/../share/halvorn/" + name);
    candidates.push_back(std::string(HALVORN_INSTALLED_DATA_DIR) + "/" + name);
    candidates.push_back(std::string(HALVORN_BUILD_DATA_DIR) + "/" + name);
    for (const std::string& path : candidates) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) == 0)
            return path;
    }
    return name;
}

}  // namespace halvorn
