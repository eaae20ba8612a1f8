// SPDX-License-Identifier: MIT
#pragma once

// An exact decimal number: an integer coefficient of any size times a power
// of ten. The basket adds the amounts the user sees as decimal texts, and
// expects their decimal sum: in binary floating point 300 × 0.01 is
// 2.99999999999998 and 285 × 0.1 passes a 28.5 limit. Here every sum,
// difference and comparison is exact, and only printing rounds.
//
// The coefficient is Boost.Multiprecision's cpp_int. Its decimal float
// (cpp_dec_float) would not do: its precision is fixed when compiled, so a
// sum of a large and a very small amount would be rounded after all.
//
// Errors: Parse raises EConvertError for a text that is not a decimal.

#include <QString>

#include <boost/multiprecision/cpp_int.hpp>

#include <compare>
#include <concepts>
#include <cstdint>

class ExactDecimal {
public:
    ExactDecimal() = default; // zero
    static ExactDecimal FromInteger(std::int64_t value);
    // Whole numbers convert on their own (a slot count, a sum of them);
    // floating point never does, so that no binary fraction slips in.
    template <std::integral Whole>
    ExactDecimal(Whole value) : ExactDecimal(Integer(value), 0) // NOLINT: implicit on purpose
    {
    }

    // The value a decimal text stands for, digit for digit. Accepts exactly
    // the texts ParseDecimal accepts (same grammar, same range, same error).
    static ExactDecimal Parse(const QString& text, const QString& separator);

    // Decimal text: at most 15 significant digits, rounded half away from
    // zero only beyond them, no trailing zeros; fixed notation from 0.0001 up
    // to below 10^15, otherwise scientific with a capital E ("1E-5").
    QString Format(const QString& separator) const;

    // A whole number in full, every digit ("9223372036854775808"), as slot
    // counts and their sums are shown; a value with a fraction as Format
    // gives it with a full stop.
    QString WholeText() const;

    int Sign() const;
    bool IsZero() const { return Sign() == 0; }

    // floor(100 × this / whole) or, with roundUp, its ceiling: the share of
    // `whole` this is, in whole per cent. `whole` must not be zero.
    ExactDecimal PercentOf(const ExactDecimal& whole, bool roundUp) const;

    ExactDecimal operator-() const;
    ExactDecimal& operator+=(const ExactDecimal& other);
    ExactDecimal& operator-=(const ExactDecimal& other);
    friend ExactDecimal operator+(ExactDecimal a, const ExactDecimal& b) { return a += b; }
    friend ExactDecimal operator-(ExactDecimal a, const ExactDecimal& b) { return a -= b; }
    friend std::strong_ordering operator<=>(const ExactDecimal& a, const ExactDecimal& b);
    friend bool operator==(const ExactDecimal& a, const ExactDecimal& b)
    {
        return (a <=> b) == std::strong_ordering::equal;
    }

private:
    using Integer = boost::multiprecision::cpp_int;
    ExactDecimal(Integer coefficient, std::int64_t exponent);
    // Brings both to the smaller exponent; returns the coefficients.
    static void Align(const ExactDecimal& a, const ExactDecimal& b, Integer& ca, Integer& cb);

    Integer coefficient_ = 0;
    std::int64_t exponent_ = 0; // value = coefficient_ × 10^exponent_
};
