#pragma once
// The numeric reading rule every text box that holds a number is read by.
//
// The number at the start of the text is taken: an optional sign, decimal digits with an optional
// decimal point and exponent (E or D, optional sign), or after a leading "&H" hexadecimal digits
// of either case. Blanks, tabs and line feeds are skipped wherever they stand; reading stops at
// the first character that cannot continue the number; a text without a number reads 0.
// Where an integer is needed the number is rounded to the nearest integer, exact halves to the
// even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2). Hexadecimal digits are read as an unsigned
// value.

#include <QString>
#include <concepts>
#include <limits>
#include <optional>

namespace codec {

double readNumber(QStringView text);

// Nearest integer, exact halves to the even neighbour.
double roundHalfEven(double value);

// The rounded value when it fits T; nothing when it does not (never wrapped).
template <std::integral T> std::optional<T> toInteger(double value) {
    const double rounded = roundHalfEven(value);
    if (!(rounded >= static_cast<double>(std::numeric_limits<T>::min()) &&
          rounded <= static_cast<double>(std::numeric_limits<T>::max())))
        return std::nullopt; // also NaN and the infinities
    // max() of a 64-bit type is not exact as a double; 2^63 rounds onto it and must not pass.
    if constexpr (sizeof(T) >= 8)
        if (rounded >= 0x1p63)
            return std::nullopt;
    return static_cast<T>(rounded);
}

template <std::integral T> std::optional<T> readInteger(QStringView text) {
    return toInteger<T>(readNumber(text));
}

// A field that holds hexadecimal digits: read with "&H" put in front of its text.
template <std::integral T> std::optional<T> readHexInteger(QStringView text) {
    return toInteger<T>(readNumber(QStringLiteral("&H") + text.toString()));
}

} // namespace codec
