// The writer of the result file: FormatResultFile and SaveResultFile.

#include <algorithm>
#include <cmath>

#include "engine/NumberText.h"
#include "engine/ResultFile.h"
#include "engine/SafeSave.h"
#include "engine/ShiftJis.h"

namespace halvorn {

namespace {

// Picture formats of the file.
constexpr const char* kDistancePicture = "   000.00  ";
constexpr const char* kRatioPicture = "  0.000E+00";
constexpr const char* kPathPicture = "   000.000 ";
constexpr const char* kEnergyPicture = " 000.0";
constexpr const char* kSpectrumPicture = "  0.000E+00";

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
std::string FormatResultFile(const RunRecord& run, const std::string& commentUtf8) {
    const int points = std::min(PointsThrough(run.pointCount), static_cast<int>(run.points.size()));
    std::string text;
    text.reserve(static_cast<size_t>(points + 1) * 12 * 305 + 512);
    auto endLine = [&text] { text += "\r\n"; };

    text += ToShiftJis(CommentLine(commentUtf8));
    endLine();
    const double n = run.pointCount;
    text += (std::signbit(n) && n != 0 ? "" : " ") + PlainDecimal(n) + " ";
    endLine();

    auto row = [&](const char* label, auto valueOf, const char* picture) {
        text += label;
        for (int p = 0; p < points; ++p)
            text += "," + FormatPicture(valueOf(p), picture);
        endLine();
    };
    row(
        "OC(cm)", [&](int p) { return run.points[p].offAxisCm; }, kDistancePicture);
    row(
        "  OCR ", [&](int p) { return run.points[p].relativeKerma; }, kRatioPicture);
    row(
        "Al(mm)", [&](int p) { return run.points[p].bowtieAlMm; }, kPathPicture);
    for (int b = 1; b <= kBinCount; ++b) {
        const std::string energy = FormatPicture(0.5 * b, kEnergyPicture);
        row(
            energy.c_str(), [&](int p) { return SpectrumOf(run, p)[b]; }, kSpectrumPicture);
    }

    auto setting = [&](const char* labelUtf8, double value, const char* picture) {
        text += ToShiftJis(labelUtf8) + FormatPicture(value, picture);
        endLine();
    };
    const RunInputs& in = run.inputs;
    setting("SAD , ", in.focusCentreDistanceCm, " #00.0");
    setting("管電圧 , ", in.tubeVoltageKv, " #00.0");
    setting("固有ろ過 , ", in.inherentFiltrationMm, " 0.00");
    setting("付加アルミ , ", in.addedAlMm, " 0.00");
    setting("付加 銅 , ", in.addedCuMm, " 0.000");
    setting("付加 銀 ,", in.addedAgMm, " 0.000");
    return text;
}

bool SaveResultFile(const RunRecord& run,
                    const std::string& commentUtf8,
                    const std::string& path,
                    std::string* error) {
    return SaveFileSafely(path, FormatResultFile(run, commentUtf8), error);
}

}  // namespace halvorn
