#include "AttenuationTable.h"

namespace halvorn {

TableLoadStatus LoadAttenuationTable(CalculationState&, const std::string&) { return TableLoadStatus::CannotOpen; }
std::string DescribeTableLoadFailure(TableLoadStatus, const std::string& path) { return path; }

}  // namespace halvorn
