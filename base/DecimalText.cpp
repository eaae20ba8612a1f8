// SPDX-License-Identifier: MIT
#include "base/DecimalText.h"

#include "base/Exception.h"

#include <QLocale>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

constexpr int kSignificantDigits = 15;

bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

[[noreturn]] void ThrowNotDecimal(std::string_view text)
{
    throw EConvertError("\"" + std::string(text) + "\" не является десятичным числом");
}

// The largest doubles print, rounded to 15 significant digits, as
// ±1.79769313486232E308, just beyond the range of a double. Such a text reads
// as the largest double, so that everything printed reads back; any other
// number out of range is refused.
double LargestPrinted(const std::string& plain, std::string_view text)
{
    long double wide = 0;
    const char* const last = plain.data() + plain.size();
    const auto [end, error] = std::from_chars(plain.data(), last, wide);
    constexpr double kLargest = std::numeric_limits<double>::max();
    if (error != std::errc() || end != last || std::fabs(wide) <= kLargest ||
        std::fabs(wide) > 1.79769313486232e308L)
        ThrowNotDecimal(text);
    return std::copysign(kLargest, static_cast<double>(wide));
}

} // namespace

std::string FormatDecimal(double value, std::string_view separator)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    if (value == 0)
        return "0";

    // %.14e gives the nearest decimal of 15 significant digits: d.dddddddddddddde±XX.
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.*e", kSignificantDigits - 1, std::fabs(value));
    std::string digits;
    const char* p = buffer;
    for (; *p && *p != 'e'; ++p)
        if (IsDigit(*p))
            digits += *p;
    const int exponent10 = std::atoi(p + 1); // value = d1.d2... × 10^exponent10
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();

    // In the notation 0.d1...dn × 10^E, E is one more than the scientific exponent.
    const int e = exponent10 + 1;
    const int n = static_cast<int>(digits.size());
    std::string text = value < 0 ? "-" : "";
    if (e >= -3 && e <= 15) {
        if (e >= 1) {
            text += digits.substr(0, std::min(n, e));
            if (n < e)
                text.append(static_cast<size_t>(e - n), '0');
        } else {
            text += '0';
        }
        if (n > std::max(e, 0)) {
            text += separator;
            if (e < 0)
                text.append(static_cast<size_t>(-e), '0');
            text += digits.substr(static_cast<size_t>(std::max(e, 0)));
        }
    } else {
        text += digits[0];
        if (n > 1) {
            text += separator;
            text += digits.substr(1);
        }
        text += 'E';
        text += std::to_string(e - 1);
    }
    return text;
}

DecimalParts SplitDecimalText(std::string_view text, std::string_view separator)
{
    const std::string_view body = Trimmed(text);
    DecimalParts parts;
    std::size_t i = 0;
    // The digits from `i` on; `i` moves past them.
    const auto digitsAt = [&body, &i] {
        const std::size_t start = i;
        while (i < body.size() && IsDigit(body[i]))
            ++i;
        return body.substr(start, i - start);
    };
    if (i < body.size() && (body[i] == '-' || body[i] == '+'))
        parts.negative = body[i++] == '-';
    parts.integerDigits = digitsAt();
    if (!separator.empty() && body.substr(i, separator.size()) == separator) {
        i += separator.size();
        parts.fractionDigits = digitsAt();
    }
    if (parts.integerDigits.empty() && parts.fractionDigits.empty())
        ThrowNotDecimal(text);
    if (i < body.size() && (body[i] == 'e' || body[i] == 'E')) {
        ++i;
        if (i < body.size() && (body[i] == '-' || body[i] == '+'))
            parts.negativeExponent = body[i++] == '-';
        parts.exponentDigits = digitsAt();
        if (parts.exponentDigits.empty())
            ThrowNotDecimal(text);
    }
    if (i != body.size())
        ThrowNotDecimal(text);
    return parts;
}

double ParseDecimal(std::string_view text, std::string_view separator)
{
    const DecimalParts parts = SplitDecimalText(text, separator);
    // The number again in the C form "[-]digits[.digits][e[-]digits]".
    std::string plain;
    if (parts.negative)
        plain += '-';
    plain += parts.integerDigits;
    if (!parts.fractionDigits.empty()) {
        plain += '.';
        plain += parts.fractionDigits;
    }
    if (!parts.exponentDigits.empty()) {
        plain += 'e';
        if (parts.negativeExponent)
            plain += '-';
        plain += parts.exponentDigits;
    }

    const char* const last = plain.data() + plain.size();
    double value = 0;
    const auto [end, error] = std::from_chars(plain.data(), last, value);
    if (error == std::errc::result_out_of_range && end == last)
        return LargestPrinted(plain, text);
    if (error != std::errc() || end != last)
        ThrowNotDecimal(text);
    return value;
}

std::int64_t ParseInteger(std::string_view text)
{
    std::string_view body = Trimmed(text);
    // from_chars takes no plus sign; after one, only digits may follow.
    const bool plus = !body.empty() && body.front() == '+';
    if (plus)
        body.remove_prefix(1);
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(body.data(), body.data() + body.size(), value);
    if (body.empty() || (plus && !IsDigit(body.front())) || error != std::errc() ||
        end != body.data() + body.size())
        throw EConvertError("\"" + std::string(text) + "\" не является целым числом");
    return value;
}

QString FormatDecimal(double value, const QString& separator)
{
    return QString::fromStdString(FormatDecimal(value, separator.toStdString()));
}

double ParseDecimal(const QString& text, const QString& separator)
{
    return ParseDecimal(text.toStdString(), separator.toStdString());
}

std::int64_t ParseInteger(const QString& text)
{
    return ParseInteger(text.toStdString());
}

QString LocaleDecimalSeparator()
{
    const QString separator = QLocale::system().decimalPoint();
    return separator.isEmpty() ? QStringLiteral(".") : separator;
}
