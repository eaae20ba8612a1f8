// SPDX-License-Identifier: MIT
#pragma once

// Decimal text: how every floating-point value becomes text and back.
//
// General format with at most 15 significant digits and no trailing zeros;
// fixed notation while the decimal exponent lies in -3..15 (values from
// 0.0001 up to below 10^15), scientific notation with a capital E otherwise
// ("1E-5", "1.5E20"). The decimal separator is passed in by the caller; the
// program takes it from the user's locale (LocaleDecimalSeparator).

#include <QString>

#include <cstdint>
#include <string>
#include <string_view>

// The parts of a decimal text "[sign]digits[separator digits][e[sign]digits]"
// (either group of mantissa digits may be empty, not both; blanks around
// it are allowed), as views into the text. Every reader of decimal texts
// starts here, so that they all accept the same texts.
struct DecimalParts {
    bool negative = false;
    std::string_view integerDigits;
    std::string_view fractionDigits;
    bool negativeExponent = false;
    std::string_view exponentDigits; // empty: no exponent written
};
// Throws EConvertError when `text` is not a decimal written with `separator`.
DecimalParts SplitDecimalText(std::string_view text, std::string_view separator);

// UTF-8 forms, used by the access layer.
std::string FormatDecimal(double value, std::string_view separator);
// Throws EConvertError when the text is not a decimal number written with
// `separator` (surrounding blanks are allowed).
double ParseDecimal(std::string_view text, std::string_view separator);
// Plain decimal integer with an optional sign; throws EConvertError.
std::int64_t ParseInteger(std::string_view text);

// Screen-text forms.
QString FormatDecimal(double value, const QString& separator);
double ParseDecimal(const QString& text, const QString& separator);
std::int64_t ParseInteger(const QString& text);

// The user's locale's decimal separator, a full stop when it gives none.
QString LocaleDecimalSeparator();
