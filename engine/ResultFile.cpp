#include "ResultFile.h"

namespace halvorn {

std::string FormatResultFile(const CalculationState&, const std::string&) { return {}; }
bool SaveResultFile(const CalculationState&, const std::string&, const std::string&, std::string*) { return false; }
void LoadResultFile(CalculationState&, const std::string&) {}
std::optional<std::string> ReadResultComment(const std::string&) { return std::nullopt; }

}  // namespace halvorn
