#include "engine/NumberText.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "engine/Translatable.h"

namespace halvorn {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A finite value as decimal digits: value = 0.digits x 10^(exponent + 1), that is the first digit stands
// at the power `exponent`. Always 15 significant digits (the double's reliable precision), so binary
// noise such as 2.67499999999999982 reads 2.675 before any further rounding.
struct DecimalDigits {
    std::string digits;  // 15 digits, the first one non-zero unless the value is zero
    int exponent = 0;
    bool negative = false;
};

DecimalDigits ToDecimalDigits(double value) {
    DecimalDigits d;
    d.negative = std::signbit(value);
    char buffer[64];
    // Scientific with 14 decimals: "d.ddddddddddddddde+XX"; to_chars never depends on the locale.
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific, 14);
    std::string text(buffer, result.ptr);
    auto e = text.find('e');
    d.digits = text.substr(0, 1) + text.substr(2, e - 2);
    d.exponent = std::stoi(text.substr(e + 1));
    if (value == 0)
        d.exponent = 0;
    return d;
}

// Rounds `d` half away from zero so that `keep` leading digits remain (the rest become zeros). A carry out
// of the first digit raises the exponent. Keeping fewer than zero digits leaves zero.
void RoundToDigits(DecimalDigits& d, int keep) {
    const int size = static_cast<int>(d.digits.size());
    if (keep >= size)
        return;
    if (keep < 0) {
        d.digits.assign(d.digits.size(), '0');
        return;
    }
    const bool up = d.digits[keep] >= '5';
    for (int i = keep; i < size; ++i)
        d.digits[i] = '0';
    if (!up)
        return;
    int i = keep - 1;
    while (i >= 0 && d.digits[i] == '9')
        d.digits[i--] = '0';
    if (i >= 0) {
        ++d.digits[i];
    } else {
        // 9.99 -> 10.0: one more integer digit.
        d.digits.insert(d.digits.begin(), '1');
        d.digits.pop_back();
        ++d.exponent;
    }
}

// Digit at power of ten `power` of the value held in `d` ('0' outside the held digits).
char DigitAt(const DecimalDigits& d, int power) {
    const int index = d.exponent - power;
    if (index < 0 || index >= static_cast<int>(d.digits.size()))
        return '0';
    return d.digits[index];
}

bool AllZero(const std::string& digits) {
    return digits.find_first_not_of('0') == std::string::npos;
}

// The parts of a picture: literal text before the number, the digit placeholders before and after the
// point, an optional exponent, literal text after. Characters inside the number other than placeholders,
// the point and the exponent end the number and are copied as literal text from there on.
struct Picture {
    std::string prefix;
    std::string integerPart;  // '0' and '#' before the point
    bool point = false;
    std::string fractionPart;  // '0' and '#' after the point
    bool exponent = false;
    char exponentLetter = 'E';
    bool exponentPlus = false;  // "E+": the sign is always shown
    int exponentMinDigits = 0;  // the '0's of the exponent
    std::string suffix;
};

bool IsPlaceholder(char c) {
    return c == '0' || c == '#';
}

Picture ParsePicture(std::string_view picture) {
    Picture p;
    size_t i = 0;
    const size_t n = picture.size();
    while (i < n && !IsPlaceholder(picture[i]) && picture[i] != '.')
        p.prefix += picture[i++];
    while (i < n && IsPlaceholder(picture[i]))
        p.integerPart += picture[i++];
    if (i < n && picture[i] == '.') {
        p.point = true;
        ++i;
        while (i < n && IsPlaceholder(picture[i]))
            p.fractionPart += picture[i++];
    }
    if (i + 2 < n && (picture[i] == 'E' || picture[i] == 'e') &&
        (picture[i + 1] == '+' || picture[i + 1] == '-') && IsPlaceholder(picture[i + 2]) &&
        (!p.integerPart.empty() || !p.fractionPart.empty())) {
        p.exponent = true;
        p.exponentLetter = picture[i];
        p.exponentPlus = picture[i + 1] == '+';
        i += 2;
        while (i < n && IsPlaceholder(picture[i])) {
            if (picture[i] == '0')
                ++p.exponentMinDigits;
            ++i;
        }
    }
    p.suffix = std::string(picture.substr(i));
    return p;
}

// Integer digits printed at least: from the first '0' placeholder to the point ("#00" -> 2).
int MinimumIntegerDigits(const std::string& integerPart) {
    auto first = integerPart.find('0');
    return first == std::string::npos ? 0 : static_cast<int>(integerPart.size() - first);
}

// Fraction digits printed at least: up to the last '0' placeholder ("0#" -> 1); '#' digits after it are
// dropped when they are trailing zeros.
int MinimumFractionDigits(const std::string& fractionPart) {
    auto last = fractionPart.rfind('0');
    return last == std::string::npos ? 0 : static_cast<int>(last + 1);
}

// The digits after the point, one per fraction placeholder; trailing zeros beyond the last '0' are dropped.
std::string FractionDigits(const DecimalDigits& d, const Picture& p) {
    std::string fraction;
    for (int k = 1; k <= static_cast<int>(p.fractionPart.size()); ++k)
        fraction += DigitAt(d, -k);
    const int minFraction = MinimumFractionDigits(p.fractionPart);
    while (static_cast<int>(fraction.size()) > minFraction && fraction.back() == '0')
        fraction.pop_back();
    return fraction;
}

std::string FixedNumber(const DecimalDigits& d, const Picture& p) {
    std::string integer;
    for (int power = std::max(d.exponent, 0); power >= 0; --power)
        integer += DigitAt(d, power);
    integer.erase(0, std::min(integer.find_first_not_of('0'), integer.size()));
    const int minInteger = MinimumIntegerDigits(p.integerPart);
    if (static_cast<int>(integer.size()) < minInteger)
        integer.insert(0, minInteger - integer.size(), '0');
    const std::string fraction = FractionDigits(d, p);
    // A picture without a '0' anywhere still shows a zero value as one digit rather than nothing.
    if (integer.empty() && fraction.empty() && !p.point)
        integer.push_back('0');  // integer is empty here
    return p.point ? integer + "." + fraction : integer;
}

std::string ExponentNumber(DecimalDigits d, const Picture& p) {
    const int integerDigits = std::max<int>(1, static_cast<int>(p.integerPart.size()));
    const int decimals = static_cast<int>(p.fractionPart.size());
    const bool zero = AllZero(d.digits);
    int shownExponent = 0;
    if (!zero) {
        RoundToDigits(d, integerDigits + decimals);
        shownExponent = d.exponent - (integerDigits - 1);
        d.exponent = integerDigits - 1;  // the mantissa's first digit now stands at the top integer place
    }
    std::string integer;
    for (int power = integerDigits - 1; power >= 0; --power)
        integer += DigitAt(d, power);
    const std::string fraction = FractionDigits(d, p);
    std::string text = p.point ? integer + "." + fraction : integer;
    std::string exponentDigits = std::to_string(std::abs(shownExponent));
    if (static_cast<int>(exponentDigits.size()) < p.exponentMinDigits)
        exponentDigits.insert(0, p.exponentMinDigits - exponentDigits.size(), '0');
    text += p.exponentLetter;
    if (shownExponent < 0)
        text += '-';
    else if (p.exponentPlus)
        text += '+';
    return text + exponentDigits;
}

}  // namespace

// Overflow: a number whose magnitude exceeds the largest double ("1e999") reads as +-infinity, one too
// small for the smallest double ("1e-999") as 0.
double LeadingNumber(std::string_view text) {
    std::string compact;
    compact.reserve(std::min<size_t>(text.size(), 256));
    size_t i = 0;
    auto next = [&]() -> char {
        while (i < text.size() && IsBlank(text[i]))
            ++i;
        return i < text.size() ? text[i] : '\0';
    };

    bool negative = false;
    char c = next();
    if (c == '+' || c == '-') {
        negative = c == '-';
        ++i;
        c = next();
    }
    std::string mantissa;
    bool anyDigit = false;
    int pointPosition = -1;
    while (true) {
        if (IsDigit(c)) {
            mantissa += c;
            anyDigit = true;
        } else if (c == '.' && pointPosition < 0) {
            pointPosition = static_cast<int>(mantissa.size());
        } else {
            break;
        }
        ++i;
        c = next();
    }
    if (!anyDigit)
        return 0;
    if (pointPosition < 0)
        pointPosition = static_cast<int>(mantissa.size());

    // The exponent counts only when at least one digit follows the letter (and its sign).
    long long exponent = 0;
    if (c == 'E' || c == 'e') {
        size_t save = i;
        ++i;
        char s = next();
        bool exponentNegative = false;
        if (s == '+' || s == '-') {
            exponentNegative = s == '-';
            ++i;
            s = next();
        }
        if (IsDigit(s)) {
            while (IsDigit(s)) {
                if (exponent < 1000000)
                    exponent = exponent * 10 + (s - '0');
                ++i;
                s = next();
            }
            if (exponentNegative)
                exponent = -exponent;
        } else {
            i = save;
        }
    }

    // Leading zeros of the mantissa carry no information; drop them so the decimal exponent of the first
    // significant digit is known for the overflow decision below.
    size_t firstNonZero = mantissa.find_first_not_of('0');
    if (firstNonZero == std::string::npos)
        return negative ? -0.0 : 0.0;
    std::string digits = mantissa.substr(firstNonZero);
    long long scale = exponent + pointPosition - static_cast<long long>(firstNonZero) -
                      static_cast<long long>(digits.size());  // value = digits x 10^scale
    // Digits beyond the 800th cannot change a double; keeping them bounded keeps the exponent small.
    if (digits.size() > 800) {
        scale += static_cast<long long>(digits.size()) - 800;
        digits.resize(800);
    }
    const long long topPower = scale + static_cast<long long>(digits.size());  // value < 10^topPower
    double value;
    if (topPower > 400) {
        value = std::numeric_limits<double>::infinity();
    } else if (topPower < -400) {
        value = 0;
    } else {
        compact = digits + "e" + std::to_string(scale);
        auto result = std::from_chars(compact.data(), compact.data() + compact.size(), value);
        if (result.ec == std::errc::result_out_of_range)
            value = topPower > 0 ? std::numeric_limits<double>::infinity() : 0.0;
        else if (result.ec != std::errc())
            value = 0;
    }
    return negative ? -value : value;
}

std::optional<double> WholeNumber(std::string_view text) {
    size_t i = 0;
    const size_t n = text.size();
    if (i < n && (text[i] == '+' || text[i] == '-'))
        ++i;
    size_t digits = 0;
    for (; i < n && IsDigit(text[i]); ++i)
        ++digits;
    if (i < n && text[i] == '.')
        for (++i; i < n && IsDigit(text[i]); ++i)
            ++digits;
    if (digits == 0)
        return std::nullopt;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-'))
            ++i;
        size_t exponentDigits = 0;
        for (; i < n && IsDigit(text[i]); ++i)
            ++exponentDigits;
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (i != n)
        return std::nullopt;
    const double value = LeadingNumber(text);
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string_view FieldTextProblem(std::string_view text) {
    // Full-width digits are U+FF10 ... U+FF19, EF BC 90 ... EF BC 99 in UTF-8.
    for (std::size_t i = 0; i + 2 < text.size(); ++i)
        if (text[i] == '\xEF' && text[i + 1] == '\xBC' && text[i + 2] >= '\x90' && text[i + 2] <= '\x99')
            return HALVORN_TRANSLATABLE("NumberText", "全角の数字は使えません（半角で入力してください）");
    if (text.find(',') != std::string_view::npos)
        return HALVORN_TRANSLATABLE("NumberText", "小数点には「.」を使って下さい（「,」は使えません）");
    bool blanksOnly = true;
    for (std::size_t i = 0; i < text.size() && blanksOnly; ++i) {
        if (text.substr(i, 3) == "\xE3\x80\x80")  // the ideographic space
            i += 2;
        else
            blanksOnly = text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n';
    }
    if (blanksOnly)
        return HALVORN_TRANSLATABLE("NumberText", "空白だけでは数値になりません");
    return HALVORN_TRANSLATABLE("NumberText", "数値として読めません");
}

std::string_view TrimBlanks(std::string_view text) {
    constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";
    for (bool trimmed = true; trimmed && !text.empty();) {
        trimmed = false;
        if (IsBlank(text.front())) {
            text.remove_prefix(1);
            trimmed = true;
        } else if (text.substr(0, 3) == kIdeographicSpace) {
            text.remove_prefix(3);
            trimmed = true;
        }
        if (!text.empty() && IsBlank(text.back())) {
            text.remove_suffix(1);
            trimmed = true;
        } else if (text.size() >= 3 && text.substr(text.size() - 3) == kIdeographicSpace) {
            text.remove_suffix(3);
            trimmed = true;
        }
    }
    return text;
}

FieldNumber ReadFieldNumber(std::string_view text) {
    if (text.empty())
        return {FieldNumber::Kind::Empty, 0};
    text = TrimBlanks(text);
    const std::optional<double> value = WholeNumber(text);
    if (!value)
        return {FieldNumber::Kind::NotANumber, 0};
    return {FieldNumber::Kind::Number, *value};
}

// Infinity and NaN print as "inf", "-inf" and "nan" in place of the number, the picture's literal text
// kept around them. Values are taken at 15 significant digits and then rounded half away from zero at the
// last digit shown, so 2.675 in "0.00" gives "2.68".
std::string FormatPicture(double value, std::string_view picture) {
    const Picture p = ParsePicture(picture);
    if (p.integerPart.empty() && p.fractionPart.empty() && !p.point)
        return std::string(picture);
    if (std::isnan(value))
        return p.prefix + "nan" + p.suffix;
    if (std::isinf(value))
        return p.prefix + (value < 0 ? "-inf" : "inf") + p.suffix;

    DecimalDigits d = ToDecimalDigits(value);
    std::string number;
    if (p.exponent) {
        number = ExponentNumber(d, p);
    } else {
        RoundToDigits(d, d.exponent + 1 + static_cast<int>(p.fractionPart.size()));
        number = FixedNumber(d, p);
    }
    // The minus sign only for a value that does not round to zero, right before the first printed digit.
    const bool shownNonZero = number.find_first_of("123456789") < number.find_first_of("Ee");
    if (d.negative && shownNonZero)
        number.insert(0, 1, '-');
    return p.prefix + number + p.suffix;
}

// Ordinary magnitudes (1E-4 <= |value| < 1E15 after rounding to 15 significant digits) print in fixed
// form; outside that range the exponent form "1.5E+20", "1E-05" (at least two exponent digits) is used.
std::string PlainDecimal(double value) {
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value < 0 ? "-inf" : "inf";
    if (value == 0)
        return "0";
    DecimalDigits d = ToDecimalDigits(value);
    std::string digits = d.digits;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    std::string text = d.negative ? "-" : "";
    if (d.exponent >= 15 || d.exponent < -4) {
        text += digits.substr(0, 1);
        if (digits.size() > 1) {
            text += '.';
            text.append(digits, 1);
        }
        std::string e = std::to_string(std::abs(d.exponent));
        if (e.size() < 2)
            e.insert(0, 1, '0');
        return text + "E" + (d.exponent < 0 ? "-" : "+") + e;
    }
    if (d.exponent < 0)
        return text + "0." + std::string(-d.exponent - 1, '0') + digits;
    const size_t integerDigits = static_cast<size_t>(d.exponent) + 1;
    if (digits.size() <= integerDigits)
        return text + digits + std::string(integerDigits - digits.size(), '0');
    return text + digits.substr(0, integerDigits) + "." + digits.substr(integerDigits);
}

double RoundHalfEven(double value) {
    if (!std::isfinite(value))
        return value;
    const double below = std::floor(value);
    const double rest = value - below;  // exact for doubles: both share the same scale
    if (rest < 0.5)
        return below;
    if (rest > 0.5)
        return below + 1;
    return std::fmod(below, 2.0) == 0 ? below : below + 1;
}

}  // namespace halvorn

namespace halvorn {

namespace {

// std::to_chars into a buffer that grows until the text fits: a fixed-point 1e308 with many decimals needs
// several hundred characters.
std::string ToChars(double value, std::chars_format format, std::optional<int> precision) {
    std::string buffer(64, '\0');
    for (;;) {
        char* const first = buffer.data();
        char* const last = first + buffer.size();
        const auto result = precision ? std::to_chars(first, last, value, format, *precision)
                                      : std::to_chars(first, last, value, format);
        if (result.ec == std::errc::value_too_large) {
            buffer.resize(buffer.size() * 4);
            continue;
        }
        buffer.resize(static_cast<std::size_t>(result.ptr - first));
        break;
    }
    // A value that rounds to zero prints without a sign.
    if (!buffer.empty() && buffer[0] == '-') {
        double shown = 0;
        std::from_chars(buffer.data(), buffer.data() + buffer.size(), shown);
        if (shown == 0)
            buffer.erase(0, 1);
    }
    return buffer;
}

}  // namespace

std::string FormatFixed(double value, int decimals) {
    return ToChars(value, std::chars_format::fixed, decimals);
}

std::string FormatScientific(double value, int decimals) {
    return ToChars(value, std::chars_format::scientific, decimals);
}

std::string FormatShortest(double value) {
    return ToChars(value, std::chars_format::general, std::nullopt);
}

std::string FormatGeneral(double value, int digits) {
    return ToChars(value, std::chars_format::general, digits);
}

}  // namespace halvorn
