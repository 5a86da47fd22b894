#pragma once

// The example calculation with its beam-quality figures and inputs, and the small text tools the export
// tests use to read files back the way the target programs do.

#include <gtest/gtest.h>

#include <charconv>
#include <string>
#include <vector>

#include "../EngineTestSupport.h"
#include "engine/BeamQuality.h"
#include "engine/RunRecord.h"
#include "engine/exports/ExportCommon.h"

namespace halvorn {

class ExampleExportTest : public RealTableTest {
protected:
    void SetUp() override {
        RealTableTest::SetUp();
        if (!state)
            return;
        ASSERT_TRUE(RunExample(*state, reporter));
        run = RecordCalibration(*state, MeasuredHvl{7.0, HvlMaterial::Aluminium});
        RecordProfile(run, *state, {});
        table = run.table;
        points = run.points;
        inputs = run.inputs;
    }

    // The run with the points and inputs a test has changed.
    RunRecord With(std::vector<PointQuality> somePoints, const RunInputs& someInputs) const {
        RunRecord changed = run;
        changed.points = std::move(somePoints);
        changed.inputs = someInputs;
        return changed;
    }

    RunRecord run;
    AttenuationCoefficients table;
    std::vector<PointQuality> points;
    RunInputs inputs;
};

// The lines of a file without their newlines; a last line without one is a test failure.
inline std::vector<std::string> LinesOf(const std::string& text) {
    EXPECT_TRUE(!text.empty() && text.back() == '\n') << "the last line ends with a newline";
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

// The numbers of `line` between any of `separators` (blanks between fields are skipped); a field that is not
// wholly a number is a test failure.
inline std::vector<double> NumbersOf(const std::string& line, const std::string& separators) {
    std::vector<double> out;
    std::size_t start = 0;
    while (start <= line.size()) {
        std::size_t end = line.find_first_of(separators, start);
        if (end == std::string::npos)
            end = line.size();
        std::string field = line.substr(start, end - start);
        field.erase(0, field.find_first_not_of(' '));
        field.erase(field.find_last_not_of(' ') + 1);
        if (!field.empty() || separators.find(' ') == std::string::npos) {
            double v = 0;
            const auto r = std::from_chars(field.data(), field.data() + field.size(), v);
            EXPECT_TRUE(r.ec == std::errc() && r.ptr == field.data() + field.size())
                << "\"" << field << "\" in \"" << line << "\"";
            out.push_back(v);
        }
        start = end + 1;
    }
    return out;
}

}  // namespace halvorn
