#include "engine/ResultFile.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string_view>
#include <vector>

#include "engine/InputFile.h"
#include "engine/InputRanges.h"
#include "engine/NumberText.h"
#include "engine/SafeSave.h"

namespace halvorn {

namespace {

// A field or line longer than this keeps only its first bytes; the rest is read past and dropped.
constexpr size_t kMaxFieldBytes = 64 * 1024;

// Picture formats of the file.
constexpr const char* kDistancePicture = "   000.00  ";
constexpr const char* kRatioPicture = "  0.000E+00";
constexpr const char* kPathPicture = "   000.000 ";
constexpr const char* kEnergyPicture = " 000.0";
constexpr const char* kSpectrumPicture = "  0.000E+00";

// One open iconv conversion, closed on scope exit.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (ok())
            iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

// Length of the UTF-8 sequence at the start of `text`, or 0 when it is not a valid sequence.
size_t Utf8SequenceLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    size_t length = lead < 0x80             ? 1
                    : (lead & 0xE0) == 0xC0 ? 2
                    : (lead & 0xF0) == 0xE0 ? 3
                    : (lead & 0xF8) == 0xF0 ? 4
                                            : 0;
    if (length == 0 || length > text.size())
        return 0;
    for (size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            return 0;
    return length;
}

// Converts with `converter`, replacing each input unit that cannot be converted by `replacement`.
// `unitLength` tells how many input bytes one unconvertible character spans (at least 1).
template <typename UnitLength>
std::string ConvertLossy(const Converter& converter,
                         std::string_view input,
                         std::string_view replacement,
                         UnitLength unitLength) {
    std::string output;
    if (!converter.ok()) {
        // No converter on this system: keep the ASCII bytes, replace the rest.
        for (char c : input) {
            if (static_cast<unsigned char>(c) < 0x80)
                output += c;
            else
                output += replacement;
        }
        return output;
    }
    iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* out = buffer;
        size_t outLeft = sizeof buffer;
        const size_t result = iconv(converter.get(), &in, &inLeft, &out, &outLeft);
        output.append(buffer, out);
        if (result != static_cast<size_t>(-1))
            continue;
        if (errno == E2BIG)
            continue;
        // EILSEQ (cannot be represented or invalid) or EINVAL (incomplete sequence at the end).
        size_t skip = std::max<size_t>(1, unitLength(std::string_view(in, inLeft)));
        skip = std::min(skip, inLeft);
        in += skip;
        inLeft -= skip;
        output += replacement;
        iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
    }
    char* out = buffer;
    size_t outLeft = sizeof buffer;
    iconv(converter.get(), nullptr, nullptr, &out, &outLeft);
    output.append(buffer, out);
    return output;
}

// UTF-8 to Shift-JIS. A character Shift-JIS cannot hold (or a byte that is not valid UTF-8) becomes "?".
std::string ToShiftJis(std::string_view utf8) {
    Converter converter("CP932", "UTF-8");
    return ConvertLossy(converter, utf8, "?", Utf8SequenceLength);
}

// Shift-JIS to UTF-8. A byte sequence that is not valid Shift-JIS becomes U+FFFD, one per byte.
std::string FromShiftJis(std::string_view sjis) {
    Converter converter("UTF-8", "CP932");
    return ConvertLossy(converter, sjis, "\xEF\xBF\xBD", [](std::string_view) { return size_t{1}; });
}

// The comment as one line: each line break (CR LF, CR or LF) becomes one blank, so the comment can never
// add lines to the 311-line layout.
std::string CommentLine(const std::string& commentUtf8) {
    std::string line;
    line.reserve(commentUtf8.size());
    for (size_t i = 0; i < commentUtf8.size(); ++i) {
        const char c = commentUtf8[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < commentUtf8.size() && commentUtf8[i + 1] == '\n')
                ++i;
            line += ' ';
        } else {
            line += c;
        }
    }
    return line;
}

// Number of points p = 0, 1, ... with p <= n, never more than points 0..25. A negative or NaN n gives none.
int PointsThrough(double n) {
    if (!(n >= 0))
        return 0;
    if (n >= kMaxPoint)
        return kMaxPoint + 1;
    return static_cast<int>(std::floor(n)) + 1;
}

}  // namespace

// Line 2 holds N with a blank in the place of its sign (" 12 ", "-1 "). The point columns run p = 0 while
// p <= N (a fractional N of 2.5 writes points 0..2) and never past point 25, whatever N says.
std::string FormatResultFile(const CalculationState& state, const std::string& commentUtf8) {
    const int points = PointsThrough(state.ProfilePointCount);
    std::string text;
    text.reserve(static_cast<size_t>(points + 1) * 12 * 305 + 512);
    auto endLine = [&text] { text += "\r\n"; };

    text += ToShiftJis(CommentLine(commentUtf8));
    endLine();
    const double n = state.ProfilePointCount;
    text += (std::signbit(n) && n != 0 ? "" : " ") + PlainDecimal(n) + " ";
    endLine();

    auto row = [&](const char* label, auto valueOf, const char* picture) {
        text += label;
        for (int p = 0; p < points; ++p)
            text += "," + FormatPicture(valueOf(p), picture);
        endLine();
    };
    row(
        "OC(cm)", [&](int p) { return state.DoseProfile[0][p]; }, kDistancePicture);
    row(
        "  OCR ", [&](int p) { return state.DoseProfile[1][p]; }, kRatioPicture);
    row(
        "Al(mm)", [&](int p) { return state.BowtieAlMm[p]; }, kPathPicture);
    for (int b = 1; b <= kBinCount; ++b) {
        const std::string energy = FormatPicture(0.5 * b, kEnergyPicture);
        row(
            energy.c_str(), [&](int p) { return state.PointSpectra[p][b]; }, kSpectrumPicture);
    }

    auto setting = [&](const char* labelUtf8, double value, const char* picture) {
        text += ToShiftJis(labelUtf8) + FormatPicture(value, picture);
        endLine();
    };
    setting("SAD , ", state.FocusCentreDistanceCm, " #00.0");
    setting("管電圧 , ", state.TubeVoltageKv, " #00.0");
    setting("固有ろ過 , ", state.InherentFiltrationMm, " 0.00");
    setting("付加アルミ , ", state.AddedAlMm, " 0.00");
    // Copper and silver are held in cm and written in mm.
    setting("付加 銅 , ", 10 * state.AddedCuCm, " 0.000");
    setting("付加 銀 ,", 10 * state.AddedAgCm, " 0.000");
    return text;
}

bool SaveResultFile(const CalculationState& state,
                    const std::string& commentUtf8,
                    const std::string& path,
                    std::string* error) {
    return SaveFileSafely(path, FormatResultFile(state, commentUtf8), error);
}

namespace {

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
    std::string reason;
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
        return Fault{line, "値の数が " + std::to_string(points) + " 個に足りません"};
    *label = Trimmed(fields[0]);
    for (int p = 0; p < points; ++p) {
        const auto value = FieldValue(fields[p + 1]);
        if (!value)
            return Fault{line, std::to_string(p + 2) + " 番目の欄が数値ではありません"};
        values[p] = *value;
    }
    return std::nullopt;
}

std::optional<Fault> ParseResultData(std::string_view bytes, ResultData& data) {
    const std::vector<std::string_view> lines = SplitLines(bytes);
    // Lines are checked in order, so a file that is something else is refused at its first odd line.
    const Fault endsEarly{
        static_cast<int>(lines.size()) + 1,
        "ファイルが途中で終わっています（" + std::to_string(kResultLines) + " 行必要です）"};
    auto has = [&](int line) { return line <= static_cast<int>(lines.size()); };

    if (!has(2))
        return endsEarly;
    const auto count = FieldValue(lines[1]);
    if (!count)
        return Fault{2, "ポイント数が数値ではありません"};
    if (!InAcceptedRange(InputField::PointCount, *count))
        return Fault{2, "ポイント数が 0 から 25 の範囲にありません"};
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
            return Fault{line, std::string("見出しが ") + rows[r].label + " ではありません"};
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
            return Fault{line, "エネルギーの欄が " + FormatPicture(0.5 * b, "0.0") + " keV ではありません"};
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
            return Fault{line, "設定値が数値ではありません"};
        if (k == 0 && Trimmed(fields[0]) != "SAD")
            return Fault{line, "見出しが SAD ではありません"};
        data.settings[k] = *value;
    }
    if (!InAcceptedRange(InputField::TubeVoltage, data.settings[1]))
        return Fault{307, "管電圧が 10.5 kV 以上 150 kV 以下の範囲にありません"};
    for (size_t i = kResultLines; i < lines.size(); ++i)
        if (!Trimmed(lines[i]).empty())
            return Fault{static_cast<int>(i) + 1, "311 行目より後に余分な行があります"};
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
    return {};
}

// Only a regular file is read (opened without waiting on a FIFO), and only up to the size a result file
// can have.
ResultLoad LoadResultFile(CalculationState& state, const std::string& path) {
    std::string bytes;
    InputFileError error;
    if (!ReadInputFile(path, kMaxResultFileBytes, bytes, &error)) {
        if (error.status == InputFileStatus::TooLarge)
            return {ResultLoad::Status::NotAResultFile, 0, "結果ファイルとしては大きすぎます"};
        return {ResultLoad::Status::CannotOpen, 0, "ファイルを読めません"};
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
    std::string line = start.substr(0, start.find_first_of("\r\n"));
    if (line.size() > kMaxFieldBytes)
        line.resize(kMaxFieldBytes);
    return FromShiftJis(line);
}

}  // namespace halvorn
