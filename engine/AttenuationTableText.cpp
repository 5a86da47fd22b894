#include "engine/AttenuationTableText.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include "engine/NumberText.h"

namespace halvorn {

namespace {

// Longest field accepted as a number; anything longer is not a coefficient but a damaged file.
constexpr std::size_t kMaxFieldLength = 256;

bool IsSeparator(char c) {
    return c == ' ' || c == '\t' || c == ',' || c == '\r' || c == '\n';
}

// The start of a refused field, fit for a one-line message: control and non-ASCII bytes become "?".
std::string Printable(const std::string& field) {
    std::string out = field.substr(0, 32);
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F)
            c = '?';
    return out;
}

// A number of the table with where it stands, for a message that points at it.
struct TableNumber {
    double value = 0;
    int line = 0;
    std::string_view text;  // as written
};

// Reads the first kTableNumbers numbers of `bytes` into `numbers`; stops reading there.
TableLoadDetail ReadNumbers(std::string_view bytes, std::vector<TableNumber>& numbers) {
    TableLoadDetail detail;
    numbers.assign(kTableNumbers, {});
    std::size_t fieldStart = 0;
    std::size_t fieldLength = 0;
    int line = 1;
    int fieldLine = 1;

    // Ends the field being collected; false when it is not a number.
    auto finishField = [&]() {
        if (fieldLength == 0)
            return true;
        const std::string_view field = bytes.substr(fieldStart, fieldLength);
        // A field is one plain decimal number; names such as "inf" or "nan", hex notation and values beyond
        // the double range are refused, whatever the C library would accept.
        const auto value = WholeNumber(field);
        if (!value) {
            detail.status = TableLoadStatus::NotANumber;
            detail.line = fieldLine;
            detail.field = Printable(std::string(field));
            return false;
        }
        numbers[detail.numbersRead++] = {*value, fieldLine, field};
        fieldLength = 0;
        return true;
    };

    std::size_t k = 0;
    // A UTF-8 byte-order mark at the very start is not part of the first number.
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        k = 3;
    for (; k < bytes.size() && detail.numbersRead < kTableNumbers; ++k) {
        const char c = bytes[k];
        if (IsSeparator(c)) {
            if (!finishField())
                return detail;
            if (c == '\n')
                ++line;
            continue;
        }
        if (fieldLength == 0) {
            fieldLine = line;
            fieldStart = k;
        }
        if (fieldLength >= kMaxFieldLength) {
            detail.status = TableLoadStatus::NotANumber;
            detail.line = fieldLine;
            detail.field = Printable(std::string(bytes.substr(fieldStart, fieldLength)));
            return detail;
        }
        ++fieldLength;
    }
    // A last number may end at the end of the file without a separator.
    if (detail.numbersRead < kTableNumbers && !finishField())
        return detail;
    if (detail.numbersRead < kTableNumbers)
        detail.status = TableLoadStatus::EndedEarly;
    return detail;
}

// Whether the numbers can be a table; BadValue with the first refused number otherwise. Record by record,
// so that the message points at the first place where the file went wrong.
TableLoadDetail CheckNumbers(const std::vector<TableNumber>& numbers) {
    TableLoadDetail detail;
    auto refuse = [&](int record, int column, const std::string& reason) {
        const TableNumber& number = numbers[(record - 1) * kTableColumns + column - 1];
        detail.status = TableLoadStatus::BadValue;
        detail.numbersRead = (record - 1) * kTableColumns + column - 1;
        detail.record = record;
        detail.column = column;
        detail.line = number.line;
        detail.field = Printable(std::string(number.text));
        detail.reason = reason;
        return detail;
    };
    // Every number is finite: the reader takes nothing beyond the double range.
    const double firstEnergy = numbers[0].value;
    for (int i = 1; i <= kTableRecords; ++i) {
        const TableNumber* record = &numbers[(i - 1) * kTableColumns];
        if (i == 1 && !(firstEnergy > 0))
            return refuse(i, 1, "is not above 0");
        const double expected = i * firstEnergy;
        if (std::fabs(record[0].value - expected) > 1e-3 * expected)
            return refuse(i, 1,
                          "is not " + std::to_string(i) +
                              " times record 1's energy (a field before it is "
                              "missing, split in two or one too many)");
        for (int c = 2; c <= 6; ++c) {
            const ColumnBounds bounds = TableColumnBounds(c);
            const double v = record[c - 1].value;
            if (!(v > 0))
                return refuse(i, c, "is not above 0");
            if (v < bounds.lowest || v > bounds.highest)
                return refuse(i, c,
                              "is outside the bounds of the column (" + PlainDecimal(bounds.lowest) + " to " +
                                  PlainDecimal(bounds.highest) + ")");
        }
    }
    return detail;
}

}  // namespace

TableLoadStatus ParseAttenuationTable(std::string_view bytes,
                                      AttenuationCoefficients& table,
                                      TableLoadDetail& detail) {
    // Read everything before touching the table, so that a damaged file leaves the previous one in place.
    std::vector<TableNumber> numbers;
    detail = ReadNumbers(bytes, numbers);
    if (detail.status != TableLoadStatus::Ok)
        return detail.status;
    detail = CheckNumbers(numbers);
    if (detail.status != TableLoadStatus::Ok)
        return detail.status;

    // Record i holds bin i (E = 0.5 i keV): energy (not used), W, Al, Cu, air mu_en, Ag, column 7.
    for (int i = 1; i <= kTableRecords; ++i) {
        const TableNumber* record = &numbers[(i - 1) * kTableColumns];
        table.MuTungsten[i] = record[1].value;
        table.MuAluminium[i] = record[2].value;
        table.MuCopper[i] = record[3].value;
        table.MuEnAir[i] = record[4].value;
        table.MuSilver[i] = record[5].value;
        table.MuColumn7[i] = record[6].value;
    }
    return TableLoadStatus::Ok;
}

ColumnBounds TableColumnBounds(int column) {
    // Air's energy-absorption coefficient, cm^2/g; the metals' linear coefficients, 1/cm.
    if (column == 5)
        return {1e-4, 1e6};
    return {1e-3, 1e7};
}

namespace {

// A new table for a new calculation, which starts without the per-point results of the previous one.
void StartCalculationWith(CalculationState& state, const AttenuationCoefficients& table) {
    for (int i = 1; i <= kTableRecords; ++i) {
        state.MuTungsten[i] = table.MuTungsten[i];
        state.MuAluminium[i] = table.MuAluminium[i];
        state.MuCopper[i] = table.MuCopper[i];
        state.MuEnAir[i] = table.MuEnAir[i];
        state.MuSilver[i] = table.MuSilver[i];
        state.MuColumn7[i] = table.MuColumn7[i];
    }
    for (int p = 0; p <= kMaxPoint; ++p) {
        for (int i = 1; i <= kBinCount; ++i)
            state.PointSpectra[p][i] = 0;
        state.DoseProfile[0][p] = 0;
        state.DoseProfile[1][p] = 0;
        state.BowtieAlMm[p] = 0;
    }
    state.CalibrationSucceeded = 0;
}

}  // namespace

TableLoadStatus LoadAttenuationTableBytes(CalculationState& state,
                                          std::string_view bytes,
                                          TableLoadDetail& detail) {
    AttenuationCoefficients table = CoefficientsOf(state);
    if (ParseAttenuationTable(bytes, table, detail) != TableLoadStatus::Ok)
        return detail.status;
    StartCalculationWith(state, table);
    return TableLoadStatus::Ok;
}

namespace {

const char* ColumnName(int column) {
    static constexpr const char* kNames[] = {"energy", "tungsten", "aluminium", "copper",
                                             "air",    "silver",   "column 7"};
    return column >= 1 && column <= kTableColumns ? kNames[column - 1] : "?";
}

}  // namespace

std::string DescribeTableLoadFailure(TableLoadStatus status, const std::string& path) {
    TableLoadDetail detail;
    detail.status = status;
    detail.numbersRead = -1;  // position unknown
    return DescribeTableLoadFailure(detail, path);
}

std::string DescribeTableLoadFailure(const TableLoadDetail& detail, const std::string& path) {
    const std::string total = std::to_string(kTableNumbers);
    switch (detail.status) {
        case TableLoadStatus::Ok:
            return path + ": loaded";
        case TableLoadStatus::CannotOpen:
            if (detail.systemError == ENOENT)
                return path + ": file not found";
            if (!detail.reason.empty())
                return path + ": " + detail.reason;
            if (detail.systemError != 0)
                return path + ": cannot be read (" + std::strerror(detail.systemError) + ")";
            return path + ": file not found or cannot be read";
        case TableLoadStatus::EndedEarly:
            if (detail.numbersRead < 0)
                return path + ": ends before all " + total + " numbers of the table";
            return path + ": ends after " + std::to_string(detail.numbersRead) + " of " + total + " numbers";
        case TableLoadStatus::NotANumber:
            if (detail.numbersRead < 0)
                return path + ": holds a field that is not a number";
            return path + ": line " + std::to_string(detail.line) + ": \"" + detail.field +
                   "\" is not a number (number " + std::to_string(detail.numbersRead + 1) + " of " + total +
                   ")";
        case TableLoadStatus::BadValue:
            if (detail.numbersRead < 0)
                return path + ": holds a number that no table can hold at its place";
            return path + ": line " + std::to_string(detail.line) + ", record " +
                   std::to_string(detail.record) + ", column " + std::to_string(detail.column) + " (" +
                   ColumnName(detail.column) + "): \"" + detail.field + "\" " + detail.reason;
    }
    return path + ": cannot be loaded";
}

}  // namespace halvorn
