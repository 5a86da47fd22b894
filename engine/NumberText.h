#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace halvorn {

// The leading-number rule every numeric field uses: blanks (spaces, tabs, line feeds, carriage returns)
// anywhere in the text are skipped and the longest leading part that forms a decimal number (optional
// sign, digits, one "." whatever the locale, optional exponent) is taken. Empty or non-numeric text
// gives 0. A number too large for a double gives +-infinity (the caller's arithmetic checks catch it),
// one too small gives 0. An exponent letter (E or e) without digits after it ends the number ("3E" -> 3);
// D is not an exponent letter.
double LeadingNumber(std::string_view text);

// The whole text as one decimal number, nothing before or after it (not even blanks): optional sign, digits
// with at most one ".", optional exponent with at least one digit. The value is the one the leading-number
// rule gives the same text. Nothing for any other text and for a value too large for a double ("1e999").
std::optional<double> WholeNumber(std::string_view text);

// A field the user typed, read strictly: its whole text, blanks around it allowed (spaces, tabs, line
// breaks, the ideographic space), must be one number. The empty text is told apart, so that a screen can
// give it the meaning it has there; blanks alone are not empty, and not a number either.
struct FieldNumber {
    enum class Kind { Number, Empty, NotANumber };
    Kind kind = Kind::Empty;
    double value = 0;  // the number; 0 when Empty or NotANumber
};
FieldNumber ReadFieldNumber(std::string_view text);

// What is wrong with a text ReadFieldNumber does not take as a number, as one Japanese phrase (UTF-8) for the
// line under the input-error message: full-width digits, a decimal comma, blanks alone, or no number at all.
// The phrase is a literal marked in the context "NumberText", which the screens translate.
std::string_view FieldTextProblem(std::string_view text);

// A number through a picture format: "0" a digit always printed, "#" a digit printed only when
// significant, "." the decimal point, "E+00"/"E-00" an exponent, any other character copied. Integer
// digits beyond the picture are still printed; the value is taken at 15 significant digits and then
// rounded half away from zero at the last digit shown (2.675 in "0.00" -> "2.68"). A minus sign stands
// right before the first printed digit and is left out when the shown value is zero. Infinity and NaN
// print "inf", "-inf", "nan" in place of the number.
// Pictures in use: "#0.00", "0.000", "##0.000", "##0.0", "#00.0", "#00", "0.00", "#0.0" and, in the result
// file, "   000.00  ", "  0.000E+00", "   000.000 ", " 000.0", " #00.0", " 0.00", " 0.000".
std::string FormatPicture(double value, std::string_view picture);

// Plain decimal text: the general form, no fixed decimals, no trailing zeros, at most 15 significant
// digits (60 -> "60", 2.5 -> "2.5", 10 * 0.03 -> "0.3"). Magnitudes from 1E15 up or below 1E-4 use the
// exponent form ("1E+15", "1.5E-05").
std::string PlainDecimal(double value);

// Rounds to the nearest whole number, a half going to the even neighbour (2.5 -> 2, 3.5 -> 4).
double RoundHalfEven(double value);

// Locale-independent number text for files ("." always, whatever the locale; every finite value in full,
// however long its text). A value that rounds to zero prints without a sign.
std::string FormatFixed(double value, int decimals);       // 0.00125
std::string FormatScientific(double value, int decimals);  // 1.234567890e-06
std::string FormatShortest(double value);                  // the shortest text that reads back as `value`
std::string FormatGeneral(double value, int digits);       // printf's %.<digits>g in the C locale

// `text` without the blanks around it: spaces, tabs, line breaks and the ideographic space U+3000.
std::string_view TrimBlanks(std::string_view text);

}  // namespace halvorn
