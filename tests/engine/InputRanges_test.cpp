#include "engine/InputRanges.h"

#include <gtest/gtest.h>

#include <cmath>

namespace halvorn {

// The edges of every range: the bound itself on the side the range includes or excludes.
TEST(InputRanges, EdgesAndNonFiniteValues) {
    struct Case {
        InputField field;
        double value;
        bool accepted;
    } const cases[] = {
        {InputField::TubeVoltage, 150, true},
        {InputField::TubeVoltage, 150.0001, false},
        {InputField::TubeVoltage, 0, false},
        {InputField::TubeVoltage, 10.5, true},
        {InputField::TubeVoltage, 10.4, false},
        {InputField::TargetAngle, 0, false},
        {InputField::TargetAngle, 89.99, true},
        {InputField::TargetAngle, 90, false},
        {InputField::MeasuredHvl, 0, false},
        {InputField::MeasuredHvl, 1e-6, true},
        {InputField::InherentFiltration, 0, true},
        {InputField::AddedCopper, -0.001, false},
        {InputField::FocusDistance, 0, false},
        {InputField::FocusDistance, -5, false},
        {InputField::PointCount, 25, true},
        {InputField::PointCount, 25.5, false},
        {InputField::PointCount, 2.5, true},
        {InputField::PointCount, -1, false},
        {InputField::AddedSilver, INFINITY, false},
        {InputField::MeasuredHvl, std::nan(""), false},
        {InputField::ProfileReading, 0, false},
        {InputField::Collimation, 0, false},
        {InputField::AngleStep, 1e-9, true},
        {InputField::KermaPer100Mas, 0, false},
        {InputField::PhaseSpacePhotons, 0, false},
        {InputField::PhaseSpacePhotons, 1, true},
        {InputField::PhaseSpacePhotons, 1.5, false},
        {InputField::PhaseSpacePhotons, 1e8, true},
        {InputField::PhaseSpacePhotons, 1e8 + 1, false},
        {InputField::PhaseSpacePlane, 0, false},
        {InputField::PhaseSpacePlane, 1000, true},
        {InputField::PhaseSpacePlane, 1000.001, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(InAcceptedRange(c.field, c.value), c.accepted)
            << "field " << static_cast<int>(c.field) << " value " << c.value;
}

TEST(InputRanges, EveryFieldHasItsTexts) {
    for (int f = 0; f <= static_cast<int>(InputField::PhaseSpacePlane); ++f) {
        const auto field = static_cast<InputField>(f);
        EXPECT_FALSE(AcceptedRangeText(field).empty()) << f;
        EXPECT_FALSE(OutOfRangeMessage(field).text.empty()) << f;
        EXPECT_FALSE(OutOfRangeMessage(field).caption.empty()) << f;
    }
}

}  // namespace halvorn
