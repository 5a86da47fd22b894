#include "engine/NumberText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "engine/BeamQualityTable.h"

namespace halvorn {
namespace {

struct ReadCase {
    const char* text;
    double expected;
};

TEST(NumberTextLeadingNumber, TakesTheLongestLeadingDecimalNumber) {
    const std::vector<ReadCase> cases = {
        {"120", 120},      {"120kV", 120},
        {"2.5", 2.5},      {".5", 0.5},
        {"5.", 5},         {"-1.5", -1.5},
        {"+7", 7},         {"1.2.3", 1.2},
        {"3E", 3},         {"3E+", 3},
        {"2e5x", 200000},  {"1.5E-2", 0.015},
        {"1E+02", 100},    {"4d2", 4},
        {"0.000", 0},      {"007", 7},
        {"1e0", 1},        {"12abc34", 12},
        {"--5", 0},        {"-.25", -0.25},
        {"0.1", 0.1},      {"123456789012345678", 123456789012345678.0},
        {"+.5", 0.5},      {"1e", 1},
        {"1e+", 1},        {"1e-", 1},
        {"2.5e-1x", 0.25}, {"1.e2", 100},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LeadingNumber(c.text), c.expected) << "text \"" << c.text << "\"";
}

TEST(NumberTextLeadingNumber, SkipsBlanksAnywhere) {
    const std::vector<ReadCase> cases = {
        {"1 2", 12},    {" 1 . 5", 1.5}, {"\t-\t3", -3},    {"1\r\n0", 10},
        {"  60  ", 60}, {"2 e 3", 2000}, {"- 0 . 5", -0.5},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LeadingNumber(c.text), c.expected) << "text \"" << c.text << "\"";
}

TEST(NumberTextLeadingNumber, EmptyOrNonNumericTextIsZero) {
    for (const char* text : {"", " ", ".", "-", "+", "abc", "-.", "E5", "\t\r\n", "..5"})
        EXPECT_EQ(LeadingNumber(text), 0) << "text \"" << text << "\"";
}

TEST(NumberTextLeadingNumber, OverflowGivesInfinityUnderflowGivesZero) {
    EXPECT_EQ(LeadingNumber("1e999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(LeadingNumber("-1e999"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(LeadingNumber("1e99999999999999999999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(LeadingNumber("1e-999"), 0);
    EXPECT_EQ(LeadingNumber("0.0000000001e-400"), 0);
    EXPECT_EQ(LeadingNumber("0.00001e310"), 1e305);
    EXPECT_EQ(LeadingNumber(std::string(5000, '9')), std::numeric_limits<double>::infinity());
    EXPECT_EQ(LeadingNumber("0." + std::string(5000, '0') + "1e5000"), 0.1);
}

TEST(NumberTextLeadingNumber, IgnoresTheLocaleDecimalSeparator) {
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = old ? old : "C";
    // A locale that writes "," as decimal separator, when the machine has one.
    bool found = false;
    for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE.utf8", "fr_FR.utf8", "ru_RU.UTF-8"})
        if (!found && std::setlocale(LC_NUMERIC, name))
            found = true;
    // Otherwise compile one from the locale sources into a private folder (Debian's `locales` package
    // ships them even where no locale is generated) and point the C library at it.
    if (!found) {
        const std::string dir = ::testing::TempDir() + "halvorn-locales";
        const std::string command =
            "mkdir -p '" + dir + "' && localedef -i de_DE -f UTF-8 '" + dir + "/de_DE.UTF-8' >/dev/null 2>&1";
        if (std::system(command.c_str()) == 0 && ::setenv("LOCPATH", dir.c_str(), 1) == 0)
            found = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    }
    if (found)
        found = std::string(std::localeconv()->decimal_point) == ",";
    if (found) {
        EXPECT_EQ(LeadingNumber("1.5"), 1.5);
        EXPECT_EQ(LeadingNumber("1,5"), 1);
        EXPECT_EQ(LeadingNumber("1.5e-3"), 0.0015);
        EXPECT_EQ(FormatPicture(2.5, "0.00"), "2.50");
        EXPECT_EQ(FormatPicture(0.01234, "  0.000E+00"), "  1.234E-02");
        EXPECT_EQ(PlainDecimal(2.5), "2.5");
        EXPECT_EQ(FormatSignificant(0.1, 4), "0.1000");
    }
    std::setlocale(LC_NUMERIC, saved.c_str());
    if (!found)
        GTEST_SKIP() << "no locale with a decimal comma is installed";
}

TEST(NumberTextFileNumbers, EveryFiniteValueInFullWithoutNegativeZero) {
    EXPECT_EQ(FormatFixed(-0.0001, 3), "0.000");
    EXPECT_EQ(FormatFixed(-0.0006, 3), "-0.001");
    EXPECT_EQ(FormatScientific(-1e-300, 2), "-1.00e-300");
    const std::string big = FormatFixed(1e70, 3);
    EXPECT_EQ(big.substr(big.size() - 4), ".000") << big;
    EXPECT_EQ(WholeNumber(big), 1e70) << big;
    EXPECT_EQ(FormatFixed(-1.7976931348623157e308, 2).size(), 313u) << "sign, 309 digits, point, 2 decimals";
    EXPECT_EQ(FormatGeneral(0.1, 17), "0.10000000000000001");
}

struct PictureCase {
    double value;
    const char* picture;
    const char* expected;
};

void ExpectPictures(const std::vector<PictureCase>& cases) {
    for (const auto& c : cases)
        EXPECT_EQ(FormatPicture(c.value, c.picture), c.expected)
            << "value " << c.value << " in picture \"" << c.picture << "\"";
}

TEST(NumberTextFormatPicture, ScreenPictures) {
    ExpectPictures({
        {0.5, "#0.00", "0.50"},
        {12.345, "#0.00", "12.35"},
        {1234.5, "#0.0", "1234.5"},
        {0.5, "##0.000", "0.500"},
        {3.14159, "0.000", "3.142"},
        {8, "#00.0", "08.0"},
        {120, "#00", "120"},
        {5, "#00", "05"},
        {37.5, "##0.0", "37.5"},
        {2.5, "0.00", "2.50"},
        {0, "#0.00", "0.00"},
        {0, "#00", "00"},
        {0.04, "#0.0", "0.0"},
        {999.96, "##0.0", "1000.0"},
        {123456.789, "##0.000", "123456.789"},
    });
}

TEST(NumberTextFormatPicture, ResultFilePicturesFromTheDescription) {
    ExpectPictures({
        {2.5, "   000.00  ", "   002.50  "},
        {0, "  0.000E+00", "  0.000E+00"},
        {0.01234, "  0.000E+00", "  1.234E-02"},
        {60, " #00.0", " 60.0"},
        {120, " #00.0", " 120.0"},
        {8, " #00.0", " 08.0"},
        {2.5, " 0.00", " 2.50"},
        {0.1, " 0.000", " 0.100"},
        {12.3456, "   000.000 ", "   012.346 "},
        {12.3456, " 000.0", " 012.3"},
        {1234.5, "   000.00  ", "   1234.50  "},
    });
}

TEST(NumberTextFormatPicture, RoundsHalfAwayFromZeroOnTheDecimalValue) {
    ExpectPictures({
        {2.675, "0.00", "2.68"},
        {0.125, "0.00", "0.13"},
        {1.005, "0.00", "1.01"},
        {0.5, "#00", "01"},
        {1.5, "#00", "02"},
        {2.5, "#00", "03"},
        {-2.5, "#00", "-03"},
        {-0.125, "0.00", "-0.13"},
        {9.995, "#0.00", "10.00"},
        {99.95, "##0.0", "100.0"},
        {0.0005, "0.000", "0.001"},
        {0.00049, "0.000", "0.000"},
        {0.05, "0.0", "0.1"},
        {0.004, "0.00", "0.00"},
        {0.0004, "0.00", "0.00"},
        {1e-300, "0.00", "0.00"},
        {0.1 + 0.2, "0.000000000000000", "0.300000000000000"},
    });
}

TEST(NumberTextFormatPicture, NegativeValues) {
    ExpectPictures({
        {-5, " #00.0", " -05.0"},
        {-60, " #00.0", " -60.0"},
        {-0.5, "#0.00", "-0.50"},
        {-1234.5, "#0.0", "-1234.5"},
        {-0.001, "#0.00", "0.00"},
        {-0.0, "0.000", "0.000"},
        {-0.004, " #00.0", " 00.0"},
        {-2.5, "   000.00  ", "   -002.50  "},
        {-0.01234, "  0.000E+00", "  -1.234E-02"},
        {-0.0, "  0.000E+00", "  0.000E+00"},
    });
}

TEST(NumberTextFormatPicture, ExponentPictures) {
    ExpectPictures({
        {1, "  0.000E+00", "  1.000E+00"},
        {9.9996, "  0.000E+00", "  1.000E+01"},
        {9.9994, "  0.000E+00", "  9.999E+00"},
        {1e-100, "  0.000E+00", "  1.000E-100"},
        {1.5e300, "  0.000E+00", "  1.500E+300"},
        {0.99995, "  0.000E+00", "  1.000E+00"},
        {123456, "  0.000E+00", "  1.235E+05"},
        {0.0012345, "  0.000E+00", "  1.235E-03"},
        {5e-324, "0.00E+00", "4.94E-324"},
        {1234, "0.0E-00", "1.2E03"},
        {0.01234, "0.0E-00", "1.2E-02"},
        {1234, "00.0E+00", "12.3E+02"},
        // 1.2345E-02 is 1.23449999... in binary; the decimal value rounds up.
        {0.012345, "  0.000E+00", "  1.235E-02"},
        {9.9995e-3, "  0.000E+00", "  1.000E-02"},
        {-9.9995e-3, "  0.000E+00", "  -1.000E-02"},
        {9.9994e-3, "  0.000E+00", "  9.999E-03"},
        {1e100, "  0.000E+00", "  1.000E+100"},
        {-1e-100, "  0.000E+00", "  -1.000E-100"},
    });
}

TEST(NumberTextFormatPicture, HashDigitsAndLiterals) {
    ExpectPictures({
        {1.5, "0.0#", "1.5"},
        {1.25, "0.0#", "1.25"},
        {0.5, "#.00", ".50"},
        {1, "#.##", "1."},
        {12, "kV #00", "kV 12"},
        {3, "abc", "abc"},
        {7, "#", "7"},
        {0, "#", "0"},
    });
}

TEST(NumberTextFormatPicture, InfinityAndNanDoNotCrash) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(FormatPicture(inf, " #00.0"), " inf");
    EXPECT_EQ(FormatPicture(-inf, "  0.000E+00"), "  -inf");
    EXPECT_EQ(FormatPicture(std::nan(""), "   000.00  "), "   nan  ");
    EXPECT_EQ(FormatPicture(1e300, "#0.0").size(), 303u);
    EXPECT_EQ(FormatPicture(std::numeric_limits<double>::max(), "0.000E+00"), "1.798E+308");
}

TEST(NumberTextPlainDecimal, GeneralFormWithFifteenSignificantDigits) {
    const std::vector<std::pair<double, const char*>> cases = {
        {60, "60"},
        {2.5, "2.5"},
        {10 * 0.03, "0.3"},
        {0.1 + 0.2, "0.3"},
        {-1.5, "-1.5"},
        {0, "0"},
        {-0.0, "0"},
        {25, "25"},
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {123456789012345, "123456789012345"},
        {999999999999999, "999999999999999"},
        {0.0001, "0.0001"},
        {0.00012, "0.00012"},
        {0.00001, "1E-05"},
        {1e15, "1E+15"},
        {1.5e20, "1.5E+20"},
        {1e-20, "1E-20"},
        {-2.5e-7, "-2.5E-07"},
        {1e100, "1E+100"},
        {9999999999999999.0, "1E+16"},
        {100, "100"},
        {0.5, "0.5"},
        {std::numeric_limits<double>::max(), "1.79769313486232E+308"},
        {-std::numeric_limits<double>::denorm_min(), "-4.94065645841247E-324"},
        {0.1 * 3, "0.3"},
        {1e14 + 1, "100000000000001"},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(PlainDecimal(value), expected) << "value " << value;
    EXPECT_EQ(PlainDecimal(std::numeric_limits<double>::infinity()), "inf");
    EXPECT_EQ(PlainDecimal(std::nan("")), "nan");
}

TEST(NumberTextRoundHalfEven, HalvesGoToTheEvenNeighbour) {
    const std::vector<std::pair<double, double>> cases = {
        {2.5, 2},    {3.5, 4},
        {0.4, 0},    {-0.5, 0},
        {25.5, 26},  {0.5, 0},
        {1.5, 2},    {-1.5, -2},
        {-2.5, -2},  {2.4999, 2},
        {2.5001, 3}, {7, 7},
        {-7.6, -8},  {4503599627370497.0, 4503599627370497.0},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(RoundHalfEven(value), expected) << "value " << value;
    EXPECT_TRUE(std::isnan(RoundHalfEven(std::nan(""))));
}

// A typed field is one number or it is refused; whatever is accepted reads exactly as the leading-number
// rule reads it, so a strict field and a stored file give the same value for the same text.
TEST(NumberTextFieldNumber, WholeTextMustBeOneNumber) {
    using Kind = FieldNumber::Kind;
    const std::vector<std::pair<std::string, Kind>> cases = {
        {"7", Kind::Number},         {" 7.5\t", Kind::Number},           {"-.5", Kind::Number},
        {"+5.", Kind::Number},       {"1.5e-3", Kind::Number},           {"", Kind::Empty},
        {"   ", Kind::NotANumber},   {"7,5", Kind::NotANumber},          {"20.7920.79", Kind::NotANumber},
        {"1 2", Kind::NotANumber},   {"120kV", Kind::NotANumber},        {"3E", Kind::NotANumber},
        {"1e999", Kind::NotANumber}, {"nan", Kind::NotANumber},          {".", Kind::NotANumber},
        {"+-1", Kind::NotANumber},   {"\xEF\xBC\x97", Kind::NotANumber},
    };
    for (const auto& [text, kind] : cases) {
        const FieldNumber field = ReadFieldNumber(text);
        EXPECT_EQ(field.kind, kind) << "\"" << text << "\"";
        if (field.kind == Kind::Number) {
            EXPECT_EQ(field.value, LeadingNumber(text)) << "\"" << text << "\"";
        }
    }
    EXPECT_EQ(ReadFieldNumber("\xE3\x80\x80"
                              "6.5\xE3\x80\x80")
                  .value,
              6.5)
        << "ideographic spaces around";
    EXPECT_EQ(WholeNumber(" 7"), std::nullopt) << "no blanks in a whole number";
    EXPECT_EQ(WholeNumber("0.1"), 0.1);
}

// The line under the input-error message tells full-width digits and a decimal comma from other text.
TEST(FieldTextProblem, NamesWhatIsWrong) {
    EXPECT_EQ(FieldTextProblem("１２０"), "全角の数字は使えません（半角で入力してください）");
    EXPECT_EQ(FieldTextProblem("1２"), "全角の数字は使えません（半角で入力してください）");
    EXPECT_EQ(FieldTextProblem("2,5"), "小数点には「.」を使って下さい（「,」は使えません）");
    EXPECT_EQ(FieldTextProblem(" \t\xE3\x80\x80"), "空白だけでは数値になりません");
    EXPECT_EQ(FieldTextProblem("abc"), "数値として読めません");
}

}  // namespace
}  // namespace halvorn
