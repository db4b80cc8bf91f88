#include "codec/NumericText.h"

#include "codec/Bytes.h"

#include <algorithm>
#include <cfenv>
#include <charconv>
#include <cmath>
#include <string>

namespace codec {

namespace {

bool isSkipped(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n';
}
bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The characters of the text with the skipped ones left out.
std::u16string significant(QStringView text) {
    std::u16string out;
    out.reserve(static_cast<size_t>(text.size()));
    for (const QChar c : text)
        if (!isSkipped(c))
            out += c.unicode();
    return out;
}

double readHexDigits(const std::u16string &s, size_t pos) {
    double value = 0;
    for (int digit; pos < s.size() && (digit = hexDigitValue(s[pos])) >= 0; ++pos)
        value = value * 16 + digit;
    return value;
}

// Longest prefix of s that forms a decimal number, as plain ASCII.
std::string decimalPrefix(const std::u16string &s) {
    std::string out;
    size_t i = 0;
    auto take = [&](char c) {
        out += c;
        ++i;
    };
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        take(static_cast<char>(s[i]));
    bool digits = false;
    while (i < s.size() && isDigit(QChar(s[i]))) {
        take(static_cast<char>(s[i]));
        digits = true;
    }
    if (i < s.size() && s[i] == '.') {
        take('.');
        while (i < s.size() && isDigit(QChar(s[i]))) {
            take(static_cast<char>(s[i]));
            digits = true;
        }
    }
    if (!digits)
        return {};
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            exponent += static_cast<char>(s[j++]);
        bool expDigits = false;
        while (j < s.size() && isDigit(QChar(s[j]))) {
            exponent += static_cast<char>(s[j++]);
            expDigits = true;
        }
        if (expDigits)
            out += exponent;
    }
    return out;
}

// An exponent's digits, held to +-kExponentLimit: far beyond any double's range, and far enough
// from a long long's limits that adding a mantissa's magnitude (at most its length) cannot
// overflow however many digits the exponent has.
constexpr long long kExponentLimit = 1'000'000'000'000'000;

long long saturatedExponent(const char *text) {
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        value = std::min(kExponentLimit, value * 10 + (*text - '0'));
    return negative ? -value : value;
}

// The value of a decimal number too large or too small for a double: an infinity or 0.
double outOfRange(const std::string &number) {
    // Decimal magnitude: digits before the point (leading zeros not counted), or minus the zeros
    // right after the point, plus the exponent.
    const size_t e = number.find('e');
    const std::string mantissa = number.substr(0, e);
    const long long exponent = e == std::string::npos ? 0 : saturatedExponent(&number[e + 1]);
    const size_t point = std::min(mantissa.find('.'), mantissa.size());
    const size_t firstNonZero = mantissa.find_first_of("123456789");
    const long long magnitude = firstNonZero == std::string::npos ? 0
                                : firstNonZero < point
                                    ? static_cast<long long>(point - firstNonZero)
                                    : -static_cast<long long>(firstNonZero - point - 1);
    if (firstNonZero == std::string::npos || magnitude + exponent < 0)
        return 0;
    return number[0] == '-' ? -HUGE_VAL : HUGE_VAL;
}

} // namespace

double readNumber(QStringView text) {
    const std::u16string s = significant(text);
    if (s.size() >= 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h'))
        return readHexDigits(s, 2);
    const std::string number = decimalPrefix(s);
    if (number.empty())
        return 0;
    // from_chars ignores the locale (Qt sets the user's, whose decimal point may be ",") and
    // takes no leading "+".
    const char *first = number.c_str() + (number[0] == '+' ? 1 : 0);
    const char *last = number.c_str() + number.size();
    double value = 0;
    if (std::from_chars(first, last, value).ec == std::errc::result_out_of_range)
        return outOfRange(number);
    return value;
}

double roundHalfEven(double value) {
    // nearbyint follows the current rounding mode, which is round-to-nearest-even by default.
    const int previous = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    std::fesetround(previous);
    return rounded;
}

} // namespace codec
