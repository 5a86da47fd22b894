#include "engine/ResultFile.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "engine/InputFile.h"
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

// Reads a result file's bytes as a stream of fields: a field ends at a comma or a line end (CR LF, CR or
// LF); blanks and tabs before a field are skipped. Fields longer than kMaxFieldBytes keep their beginning.
class FieldReader {
public:
    explicit FieldReader(std::string_view bytes) : bytes_(bytes) {}

    // Reads up to the end of the current line; false when the file has nothing left.
    bool ReadLine(std::string* line) {
        int c = Get();
        if (c == EOF)
            return false;
        while (c != EOF && c != '\n' && c != '\r') {
            if (line && line->size() < kMaxFieldBytes)
                *line += static_cast<char>(c);
            c = Get();
        }
        if (c == '\r')
            SkipLineFeed();
        return true;
    }

    // The next field; false when the file ended before it.
    bool ReadField(std::string& field) {
        field.clear();
        int c = Get();
        while (c == ' ' || c == '\t')
            c = Get();
        if (c == EOF)
            return false;
        while (c != EOF && c != ',' && c != '\n' && c != '\r') {
            if (field.size() < kMaxFieldBytes)
                field += static_cast<char>(c);
            c = Get();
        }
        if (c == '\r')
            SkipLineFeed();
        return true;
    }

    // A field that begins with a number (after blanks) sets `target`; an empty or non-numeric field, or
    // the end of the file, leaves it as it was.
    void ReadNumber(double& target) {
        std::string field;
        if (ReadField(field) && BeginsWithNumber(field))
            target = LeadingNumber(field);
    }

    void SkipField() {
        std::string field;
        ReadField(field);
    }

private:
    int Get() { return next_ < bytes_.size() ? static_cast<unsigned char>(bytes_[next_++]) : EOF; }
    void SkipLineFeed() {
        if (next_ < bytes_.size() && bytes_[next_] == '\n')
            ++next_;
    }
    static bool BeginsWithNumber(const std::string& field) {
        size_t i = field.find_first_not_of(" \t");
        if (i == std::string::npos)
            return false;
        if (field[i] == '+' || field[i] == '-')
            i = field.find_first_not_of(" \t", i + 1);
        if (i < field.size() && field[i] == '.')
            i = field.find_first_not_of(" \t", i + 1);
        return i < field.size() && field[i] >= '0' && field[i] <= '9';
    }

    std::string_view bytes_;
    std::size_t next_ = 0;
};

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

// Safety rules of the reader (a result file may be damaged or hand-edited):
// - N on line 2 above 25 is stored as 25; any other N is stored as written, a negative one too (the
//   dose-profile screen accepts one, and the file it saves must load back to the same count, not to 0,
//   which would offer point 0 with data the file does not hold). The values per row follow the N as
//   written, capped at points 0..25 as the writer caps them: a negative N reads no point values, a
//   fractional N of 2.5 reads points 0..2. Nothing is ever written past point 25.
// - A field that does not begin with a number (empty, a word, the file's end) is a failed read: its
//   target keeps its value. When line 2 fails, ProfilePointCount keeps its value and the rows are read
//   with the points that value gives (capped at 0..25).
// - Each field keeps at most its first 64 KiB; the file is read once, front to back, and closed.
// - Only a regular file of at most kMaxResultFileBytes is read; a pipe, device, folder or larger file of
//   that name changes nothing.
void LoadResultFile(CalculationState& state, const std::string& path) {
    std::string bytes;
    if (ReadInputFile(path, kMaxResultFileBytes, bytes))
        LoadResultBytes(state, bytes);
}

void LoadResultBytes(CalculationState& state, std::string_view bytes) {
    FieldReader reader(bytes);

    if (!reader.ReadLine(nullptr))
        return;

    double read = std::nan("");
    reader.ReadNumber(read);
    int points = PointsThrough(state.ProfilePointCount);
    if (!std::isnan(read)) {
        points = PointsThrough(read);
        state.ProfilePointCount = std::min(read, static_cast<double>(kMaxPoint));
    }

    auto readRow = [&](auto&& target) {
        reader.SkipField();
        for (int p = 0; p < points; ++p)
            reader.ReadNumber(target(p));
    };
    readRow([&](int p) -> double& { return state.DoseProfile[0][p]; });
    readRow([&](int p) -> double& { return state.DoseProfile[1][p]; });
    readRow([&](int p) -> double& { return state.BowtieAlMm[p]; });
    for (int b = 1; b <= kBinCount; ++b)
        readRow([&](int p) -> double& { return state.PointSpectra[p][b]; });

    auto readSetting = [&](double& target, double divisor) {
        reader.SkipField();
        double value = std::nan("");
        reader.ReadNumber(value);
        if (!std::isnan(value))
            target = value / divisor;
    };
    readSetting(state.FocusCentreDistanceCm, 1);
    readSetting(state.TubeVoltageKv, 1);
    readSetting(state.InherentFiltrationMm, 1);
    readSetting(state.AddedAlMm, 1);
    // Copper and silver are written in mm and held in cm: divided by 10 (0.100 mm gives exactly 0.01 cm,
    // where multiplying by 0.1 would give 0.010000000000000002).
    readSetting(state.AddedCuCm, 10);
    readSetting(state.AddedAgCm, 10);
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
