// SPDX-License-Identifier: MIT
#include "crate/ExactDecimal.h"

#include "base/DecimalText.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

namespace {

using Integer = boost::multiprecision::cpp_int;

constexpr std::size_t kSignificantDigits = 15;

// Amounts of one basket share their exponent or differ by a few digits:
// the powers they are aligned with are made once.
const Integer& PowerOfTen(std::int64_t n)
{
    static const std::array<Integer, 64> small = [] {
        std::array<Integer, 64> powers;
        Integer power = 1;
        for (Integer& p : powers) {
            p = power;
            power *= 10;
        }
        return powers;
    }();
    if (n < static_cast<std::int64_t>(small.size()))
        return small[static_cast<std::size_t>(n)];
    thread_local Integer large;
    large = boost::multiprecision::pow(Integer(10), static_cast<unsigned>(n));
    return large;
}

// Adds one unit in the last place of a string of decimal digits; false
// when it carried out of the first digit (all nines become zeros).
bool IncrementDigits(std::string& digits)
{
    for (auto i = digits.rbegin(); i != digits.rend(); ++i) {
        if (*i != '9') {
            ++*i;
            return true;
        }
        *i = '0';
    }
    return false;
}

} // namespace

ExactDecimal::ExactDecimal(Integer coefficient, std::int64_t exponent)
    : coefficient_(std::move(coefficient)), exponent_(exponent)
{
    if (coefficient_.is_zero())
        exponent_ = 0;
}

ExactDecimal ExactDecimal::FromInteger(std::int64_t value)
{
    return ExactDecimal(Integer(value), 0);
}

ExactDecimal ExactDecimal::Parse(const QString& text, const QString& separator)
{
    // Split once, by the same splitter as the double reading, so that both
    // refuse the same texts with the same error.
    const std::string utf8 = text.toStdString();
    const DecimalParts parts = SplitDecimalText(utf8, separator.toStdString());
    std::string digits(parts.integerDigits);
    digits += parts.fractionDigits;
    std::int64_t exponent = -static_cast<std::int64_t>(parts.fractionDigits.size());
    // Saturates: a written exponent this large only ever comes with a zero
    // (the range check below refuses anything else), and a zero has none.
    constexpr std::int64_t kCap = 100'000'000'000'000'000; // ten times it still fits
    std::int64_t written = 0;
    for (const char digit : parts.exponentDigits)
        written = std::min(kCap, written * 10 + (digit - '0'));
    exponent += parts.negativeExponent ? -written : written;
    const bool negative = parts.negative;
    // Trailing zeros go into the exponent, so that equal values of one
    // basket share small coefficients.
    std::size_t end = digits.size();
    while (end > 0 && digits[end - 1] == '0') {
        --end;
        ++exponent;
    }
    const std::size_t start = std::min(digits.find_first_not_of('0'), end);
    if (start == end)
        return ExactDecimal();
    // The texts taken are those the double reading takes: within 10^±300
    // every one is; only near the edges of its range (about 10^±308) does
    // that reading decide, and then it refuses what it cannot hold.
    const std::int64_t leading = exponent + static_cast<std::int64_t>(end - start) - 1;
    constexpr std::int64_t kSafelyInRange = 300;
    if (leading > kSafelyInRange || leading < -kSafelyInRange)
        ParseDecimal(text, separator);
    Integer coefficient(digits.substr(start, end - start));
    if (negative)
        coefficient = -coefficient;
    return ExactDecimal(std::move(coefficient), exponent);
}

QString ExactDecimal::Format(const QString& separator) const
{
    if (coefficient_.is_zero())
        return QStringLiteral("0");
    std::string digits = Integer(boost::multiprecision::abs(coefficient_)).str();
    // value = d1.d2d3... × 10^scientific
    std::int64_t scientific = exponent_ + static_cast<std::int64_t>(digits.size()) - 1;
    if (digits.size() > kSignificantDigits) {
        const bool up = digits[kSignificantDigits] >= '5';
        digits.resize(kSignificantDigits);
        if (up && !IncrementDigits(digits)) {
            digits.insert(digits.begin(), '1');
            digits.pop_back();
            ++scientific;
        }
    }
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    // The layout of decimal text: in 0.d1...dn × 10^e, fixed notation for e
    // in -3..15, scientific otherwise.
    const std::string sep = separator.toStdString();
    const std::int64_t e = scientific + 1;
    const auto n = static_cast<std::int64_t>(digits.size());
    std::string text = coefficient_.sign() < 0 ? "-" : "";
    if (e >= -3 && e <= 15) {
        if (e >= 1) {
            text += digits.substr(0, static_cast<std::size_t>(std::min(n, e)));
            if (n < e)
                text.append(static_cast<std::size_t>(e - n), '0');
        } else {
            text += '0';
        }
        if (n > std::max<std::int64_t>(e, 0)) {
            text += sep;
            if (e < 0)
                text.append(static_cast<std::size_t>(-e), '0');
            text += digits.substr(static_cast<std::size_t>(std::max<std::int64_t>(e, 0)));
        }
    } else {
        text += digits[0];
        if (n > 1) {
            text += sep;
            text += digits.substr(1);
        }
        text += 'E';
        text += std::to_string(scientific);
    }
    return QString::fromStdString(text);
}

QString ExactDecimal::WholeText() const
{
    if (exponent_ < 0)
        return Format(QStringLiteral("."));
    const Integer whole = coefficient_ * PowerOfTen(exponent_);
    return QString::fromStdString(whole.str());
}

int ExactDecimal::Sign() const
{
    return coefficient_.sign();
}

void ExactDecimal::Align(const ExactDecimal& a, const ExactDecimal& b, Integer& ca, Integer& cb)
{
    ca = a.coefficient_;
    cb = b.coefficient_;
    if (a.exponent_ > b.exponent_)
        ca *= PowerOfTen(a.exponent_ - b.exponent_);
    else if (b.exponent_ > a.exponent_)
        cb *= PowerOfTen(b.exponent_ - a.exponent_);
}

ExactDecimal ExactDecimal::operator-() const
{
    return ExactDecimal(-coefficient_, exponent_);
}

ExactDecimal& ExactDecimal::operator+=(const ExactDecimal& other)
{
    if (other.coefficient_.is_zero())
        return *this;
    if (coefficient_.is_zero())
        return *this = other;
    if (exponent_ == other.exponent_) {
        coefficient_ += other.coefficient_;
    } else if (exponent_ < other.exponent_) {
        coefficient_ += other.coefficient_ * PowerOfTen(other.exponent_ - exponent_);
    } else {
        coefficient_ *= PowerOfTen(exponent_ - other.exponent_);
        coefficient_ += other.coefficient_;
        exponent_ = other.exponent_;
    }
    if (coefficient_.is_zero())
        exponent_ = 0;
    return *this;
}

ExactDecimal& ExactDecimal::operator-=(const ExactDecimal& other)
{
    return *this += -other;
}

std::strong_ordering operator<=>(const ExactDecimal& a, const ExactDecimal& b)
{
    if (a.Sign() != b.Sign())
        return a.Sign() <=> b.Sign();
    if (a.exponent_ == b.exponent_)
        return a.coefficient_.compare(b.coefficient_) <=> 0;
    ExactDecimal::Integer ca, cb;
    ExactDecimal::Align(a, b, ca, cb);
    return ca.compare(cb) <=> 0;
}

ExactDecimal ExactDecimal::PercentOf(const ExactDecimal& whole, bool roundUp) const
{
    Integer numerator = coefficient_ * 100;
    Integer denominator = whole.coefficient_;
    if (exponent_ > whole.exponent_)
        numerator *= PowerOfTen(exponent_ - whole.exponent_);
    else if (whole.exponent_ > exponent_)
        denominator *= PowerOfTen(whole.exponent_ - exponent_);
    // cpp_int divides toward zero; the quotient moves one step when the
    // exact share lies on the other side of it.
    Integer quotient = numerator / denominator;
    const Integer remainder = numerator % denominator;
    if (!remainder.is_zero()) {
        const bool positive = (numerator.sign() < 0) == (denominator.sign() < 0);
        if (roundUp && positive)
            ++quotient;
        else if (!roundUp && !positive)
            --quotient;
    }
    return ExactDecimal(std::move(quotient), 0);
}
