// The readers of the result file: LoadResultFile (with the checks of its structure) and ReadResultComment.

#include <array>
#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/InputFile.h"
#include "engine/InputRanges.h"
#include "engine/NumberText.h"
#include "engine/ResultFile.h"
#include "engine/ShiftJis.h"
#include "engine/Translatable.h"

namespace halvorn {

namespace {

// Why a file is not a result file: `pattern` is marked in the context "ResultFileReader".
Phrase Why(std::string_view pattern, std::vector<std::string> arguments = {}) {
    return {"ResultFileReader", pattern, std::move(arguments)};
}

// A comment line longer than this keeps only its first bytes.
constexpr size_t kMaxFieldBytes = 64 * 1024;

// The lines of a file: a line ends at CR LF, CR or LF.
std::vector<std::string_view> SplitLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        lines.push_back(bytes.substr(start, i - start));
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        lines.push_back(bytes.substr(start));
    return lines;
}

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t start = 0;
    for (size_t comma = line.find(','); comma != std::string_view::npos; comma = line.find(',', start)) {
        fields.push_back(line.substr(start, comma - start));
        start = comma + 1;
    }
    fields.push_back(line.substr(start));
    return fields;
}

std::string_view Trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A field's number by the leading-number rule, when the field begins with one (after blanks) and it is
// finite.
std::optional<double> FieldValue(std::string_view field) {
    size_t i = field.find_first_not_of(" \t");
    if (i == std::string_view::npos)
        return std::nullopt;
    if (field[i] == '+' || field[i] == '-')
        i = field.find_first_not_of(" \t", i + 1);
    if (i < field.size() && field[i] == '.')
        i = field.find_first_not_of(" \t", i + 1);
    if (i >= field.size() || field[i] < '0' || field[i] > '9')
        return std::nullopt;
    const double value = LeadingNumber(field);
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

// What a result file holds, read completely before the state is touched.
struct ResultData {
    double pointCount = 0;
    int points = 0;  // P = points 0 .. N
    std::array<std::array<double, kMaxPoint + 1>, 2> profile{};
    std::array<double, kMaxPoint + 1> bowtie{};
    std::array<Spectrum, kMaxPoint + 1> spectra{};
    std::array<double, 6> settings{};  // SAD, kV, inherent, Al, Cu (mm), Ag (mm)
};

struct Fault {
    int line;
    Phrase reason;
};

constexpr int kResultLines = 311;

// Reads the labelled or energy-led row of `line` (1-based): the first field, then `points` values.
std::optional<Fault> ReadRow(std::string_view text,
                             int line,
                             int points,
                             std::string_view* label,
                             std::array<double, kMaxPoint + 1>& values) {
    const std::vector<std::string_view> fields = SplitFields(text);
    if (static_cast<int>(fields.size()) < points + 1)
        //: Why a result file is refused, shown after "line N:". %1: the number of values the line needs.
        return Fault{line, Why(HALVORN_TRANSLATABLE("ResultFileReader", "値の数が %1 個に足りません"),
                               {std::to_string(points)})};
    *label = Trimmed(fields[0]);
    for (int p = 0; p < points; ++p) {
        const auto value = FieldValue(fields[p + 1]);
        if (!value)
            return Fault{line,
                         //: %1: the number of the field, the label being the first.
                         Why(HALVORN_TRANSLATABLE("ResultFileReader", "%1 番目の欄が数値ではありません"),
                             {std::to_string(p + 2)})};
        values[p] = *value;
    }
    return std::nullopt;
}

std::optional<Fault> ParseResultData(std::string_view bytes, ResultData& data) {
    const std::vector<std::string_view> lines = SplitLines(bytes);
    // Lines are checked in order, so a file that is something else is refused at its first odd line.
    const Fault endsEarly{
        static_cast<int>(lines.size()) + 1,
        Why(HALVORN_TRANSLATABLE("ResultFileReader", "ファイルが途中で終わっています（%1 行必要です）"),
            {std::to_string(kResultLines)})};
    auto has = [&](int line) { return line <= static_cast<int>(lines.size()); };

    if (!has(2))
        return endsEarly;
    const auto count = FieldValue(lines[1]);
    if (!count)
        return Fault{2, Why(HALVORN_TRANSLATABLE("ResultFileReader", "ポイント数が数値ではありません"))};
    if (!InAcceptedRange(InputField::PointCount, *count))
        return Fault{
            2, Why(HALVORN_TRANSLATABLE("ResultFileReader", "ポイント数が 0 から 25 の範囲にありません"))};
    data.pointCount = *count;
    data.points = static_cast<int>(std::floor(*count)) + 1;

    const struct {
        const char* label;
        std::array<double, kMaxPoint + 1>* values;
    } rows[] = {{"OC(cm)", &data.profile[0]}, {"OCR", &data.profile[1]}, {"Al(mm)", &data.bowtie}};
    for (int r = 0; r < 3; ++r) {
        const int line = 3 + r;
        if (!has(line))
            return endsEarly;
        std::string_view label;
        if (auto fault = ReadRow(lines[line - 1], line, data.points, &label, *rows[r].values))
            return fault;
        if (label != rows[r].label)
            //: %1: the label the line must begin with (OC(cm), OCR, Al(mm), SAD).
            return Fault{line, Why(HALVORN_TRANSLATABLE("ResultFileReader", "見出しが %1 ではありません"),
                                   {rows[r].label})};
    }

    std::array<double, kMaxPoint + 1> values{};
    for (int b = 1; b <= kBinCount; ++b) {
        const int line = 5 + b;
        if (!has(line))
            return endsEarly;
        std::string_view energy;
        if (auto fault = ReadRow(lines[line - 1], line, data.points, &energy, values))
            return fault;
        const auto e = FieldValue(energy);
        if (!e || std::fabs(*e - 0.5 * b) > 0.01)
            return Fault{
                //: %1: the energy the spectrum line must begin with.
                line, Why(HALVORN_TRANSLATABLE("ResultFileReader", "エネルギーの欄が %1 keV ではありません"),
                          {FormatPicture(0.5 * b, "0.0")})};
        for (int p = 0; p < data.points; ++p)
            data.spectra[p][b] = values[p];
    }

    for (int k = 0; k < 6; ++k) {
        const int line = 306 + k;
        if (!has(line))
            return endsEarly;
        const std::vector<std::string_view> fields = SplitFields(lines[line - 1]);
        const auto value = fields.size() >= 2 ? FieldValue(fields[1]) : std::nullopt;
        if (!value)
            return Fault{line, Why(HALVORN_TRANSLATABLE("ResultFileReader", "設定値が数値ではありません"))};
        if (k == 0 && Trimmed(fields[0]) != "SAD")
            return Fault{
                line, Why(HALVORN_TRANSLATABLE("ResultFileReader", "見出しが %1 ではありません"), {"SAD"})};
        data.settings[k] = *value;
    }
    if (!InAcceptedRange(InputField::TubeVoltage, data.settings[1]))
        return Fault{307, Why(HALVORN_TRANSLATABLE("ResultFileReader",
                                                   "管電圧が 10.5 kV 以上 150 kV 以下の範囲にありません"))};
    for (size_t i = kResultLines; i < lines.size(); ++i)
        if (!Trimmed(lines[i]).empty())
            return Fault{static_cast<int>(i) + 1,
                         Why(HALVORN_TRANSLATABLE("ResultFileReader", "311 行目より後に余分な行があります"))};
    return std::nullopt;
}

}  // namespace

ResultLoad LoadResultBytes(CalculationState& state, std::string_view bytes) {
    auto data = std::make_unique<ResultData>();
    if (const auto fault = ParseResultData(bytes, *data))
        return {ResultLoad::Status::NotAResultFile, fault->line, fault->reason};

    state.ProfilePointCount = data->pointCount;
    for (int p = 0; p < data->points; ++p) {
        state.DoseProfile[0][p] = data->profile[0][p];
        state.DoseProfile[1][p] = data->profile[1][p];
        state.BowtieAlMm[p] = data->bowtie[p];
        for (int b = 1; b <= kBinCount; ++b)
            state.PointSpectra[p][b] = data->spectra[p][b];
    }
    state.FocusCentreDistanceCm = data->settings[0];
    state.TubeVoltageKv = data->settings[1];
    state.InherentFiltrationMm = data->settings[2];
    state.AddedAlMm = data->settings[3];
    // Copper and silver are written in mm and held in cm: divided by 10 (0.100 mm gives exactly 0.01 cm,
    // where multiplying by 0.1 would give 0.010000000000000002).
    state.AddedCuCm = data->settings[4] / 10;
    state.AddedAgCm = data->settings[5] / 10;
    // The loaded path lengths and spectra are not those of the transmission curve in the state.
    state.CalibrationSucceeded = 0;
    ResultLoad load;
    load.commentReadsAsShiftJis = ReadsAsShiftJis(bytes.substr(0, bytes.find_first_of("\r\n")));
    return load;
}

// Only a regular file is read (opened without waiting on a FIFO), and only up to the size a result file
// can have.
ResultLoad LoadResultFile(CalculationState& state, const std::string& path) {
    std::string bytes;
    InputFileError error;
    if (!ReadInputFile(path, kMaxResultFileBytes, bytes, &error)) {
        if (error.status == InputFileStatus::TooLarge)
            return {ResultLoad::Status::NotAResultFile, 0,
                    Why(HALVORN_TRANSLATABLE("ResultFileReader", "結果ファイルとしては大きすぎます"))};
        return {ResultLoad::Status::CannotOpen, 0,
                Why(HALVORN_TRANSLATABLE("ResultFileReader", "ファイルを読めません"))};
    }
    return LoadResultBytes(state, bytes);
}

// Line 1 as UTF-8, at most its first 64 KiB; bytes that are not valid Shift-JIS become U+FFFD. Only the
// start of the file is read, so a huge file answers at once; a file the loader would refuse is refused.
std::optional<std::string> ReadResultComment(const std::string& path) {
    InputFile file(path, kMaxResultFileBytes);
    std::string start;
    if (!file.ok() || !file.ReadAtMost(kMaxFieldBytes + 1, start))
        return std::nullopt;
    const std::string_view line = std::string_view(start).substr(0, start.find_first_of("\r\n"));
    return FromShiftJis(ShiftJisPrefix(line, kMaxFieldBytes));
}

// Line 2 holds a whole N between blanks (one above 25 is listed, and refused with its reason when loaded) and
// line 3 starts with the label of the distances; only the start of the file is read.
bool LooksLikeResultFile(const std::string& path) {
    InputFile file(path, kMaxResultFileBytes);
    std::string start;
    // Lines 1 to 3 lie within the first few kilobytes unless the comment is long (the batch tool takes one of
    // up to 128 KiB).
    constexpr std::size_t kFirstRead = 4096;
    if (!file.ok() || !file.ReadAtMost(kFirstRead, start))
        return false;
    std::vector<std::string_view> lines = SplitLines(start);
    if (lines.size() < 4 && start.size() == kFirstRead) {
        if (!file.ReadAtMost(256 * 1024, start))
            return false;
        lines = SplitLines(start);
    }
    if (lines.size() < 3 || lines[2].substr(0, 6) != "OC(cm)")
        return false;
    const std::string_view count = Trimmed(lines[1]);
    const std::optional<double> n = WholeNumber(count);
    return n && *n >= 0 && *n == std::floor(*n);
}

}  // namespace halvorn
