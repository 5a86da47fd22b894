#include "engine/InputRanges.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/NumberText.h"

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

// The range the batch tool and the messages name is the range the check keeps: each bound the text gives is
// accepted or refused as the text says, a value just beyond it the other way, and the Japanese message
// names the same bound.
TEST(InputRanges, TextsNameTheRangeTheCheckKeeps) {
    for (int f = 0; f <= static_cast<int>(InputField::PhaseSpacePlane); ++f) {
        const auto field = static_cast<InputField>(f);
        const std::string text(AcceptedRangeText(field));
        const std::string message(OutOfRangeMessage(field).text);
        const double low = LeadingNumber(text.substr(text.find_first_of("0123456789")));
        const bool above = text.rfind("above", 0) == 0;
        EXPECT_EQ(InAcceptedRange(field, low), !above) << text;
        EXPECT_EQ(InAcceptedRange(field, std::nextafter(low, above ? INFINITY : -INFINITY)), above) << text;
        EXPECT_NE(message.find(PlainDecimal(low)), std::string::npos) << message;
        std::size_t upper = text.find(" to ");
        bool included = true;
        if (const auto below = text.find("below "); below != std::string::npos) {
            upper = below;
            included = false;
        } else if (const auto most = text.find("at most "); most != std::string::npos) {
            upper = most;
        }
        if (upper == std::string::npos) {
            EXPECT_TRUE(above || text.find("or more") != std::string::npos) << text;
            EXPECT_TRUE(InAcceptedRange(field, 1e300)) << text << ": no upper bound";
            continue;
        }
        const double high = LeadingNumber(text.substr(text.find_first_of("0123456789", upper)));
        EXPECT_EQ(InAcceptedRange(field, high), included) << text;
        EXPECT_FALSE(InAcceptedRange(field, std::nextafter(high, INFINITY))) << text;
        EXPECT_NE(message.find(PlainDecimal(high)), std::string::npos) << message;
    }
}

}  // namespace halvorn
