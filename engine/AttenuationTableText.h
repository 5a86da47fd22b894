#pragma once

// The attenuation table's text: the 2100 numbers a table file holds, checked and read into coefficients or
// into a calculation state, and the one-line description of a text that is not a table. Reading the file
// itself is engine/AttenuationTable.h's business.

#include <string>
#include <string_view>

#include "engine/AttenuationCoefficients.h"
#include "engine/CalculationState.h"

namespace halvorn {

// Outcome of reading the attenuation table file.
enum class TableLoadStatus {
    Ok,
    CannotOpen,  // the file does not exist or cannot be read, is not a regular file or is too large
    EndedEarly,  // fewer than 2100 numbers before the end of the file
    NotANumber,  // a field that is not a number before the 2100th
    BadValue,  // a number that no table can hold at its place (a shifted field, a coefficient out of bounds)
};

// Numbers in a complete table: 300 records of seven.
constexpr int kTableRecords = kBinCount;
constexpr int kTableColumns = 7;
constexpr int kTableNumbers = kTableRecords * kTableColumns;

// Where and why a load stopped, for a message that points at the faulty spot.
struct TableLoadDetail {
    TableLoadStatus status = TableLoadStatus::Ok;
    int numbersRead = 0;  // numbers read completely before the failure
    int line = 0;         // line (from 1) of the offending field (NotANumber)
    std::string field;    // the offending field, shortened (NotANumber)
    int systemError = 0;  // errno of a failed open or read (CannotOpen)
    std::string reason;   // "is a FIFO (named pipe), not a regular file", "is too large (...)" (CannotOpen);
                          // what is wrong with the number (BadValue)
    int record = 0;       // record (1..300) of the refused number (BadValue)
    int column = 0;       // its column (1..7) (BadValue)
};

// The bounds of a coefficient column (2..6): above 0 and within what the material can have between 0.5
// and 150 keV, with a wide margin. The linear coefficients of the metals (1/cm) lie between about 0.3 and
// 2e6; the air column (cm^2/g, only its ratios matter) between about 0.02 and 1e4.
struct ColumnBounds {
    double lowest;
    double highest;
};
ColumnBounds TableColumnBounds(int column);

// The coefficients of a table text (the bytes of a table file); on any failure `table` is left unchanged.
TableLoadStatus ParseAttenuationTable(std::string_view bytes,
                                      AttenuationCoefficients& table,
                                      TableLoadDetail& detail);

// LoadAttenuationTable (engine/AttenuationTable.h) from the file's bytes in memory: the loader reads the
// file, at most 1 MiB of a regular file opened without waiting, and calls this.
TableLoadStatus LoadAttenuationTableBytes(CalculationState& state,
                                          std::string_view bytes,
                                          TableLoadDetail& detail);

// A one-line description of a failed load, naming the file, for the fatal error box or stderr.
std::string DescribeTableLoadFailure(TableLoadStatus status, const std::string& path);

// The same with the position of the failure ("MUs2022.dat: ends after 2093 of 2100 numbers").
std::string DescribeTableLoadFailure(const TableLoadDetail& detail, const std::string& path);

}  // namespace halvorn
