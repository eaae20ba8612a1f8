// SPDX-License-Identifier: MIT
#include "base/DecimalText.h"

#include "base/Exception.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct FormatCase {
    double value;
    const char* text; // written with the full stop; ',' is checked by substitution
};

const FormatCase kFormatCases[] = {
    {0.35, "0.35"},
    {2.0, "2"},
    {1200.0, "1200"},
    {0.0001, "0.0001"},
    {0.00001, "1E-5"},
    {1.5e20, "1.5E20"},
    {1e15, "1E15"},
    {1.0 / 3.0, "0.333333333333333"},
    {0.0, "0"},
    {-0.0, "0"},
    {-2.5, "-2.5"},
    {3.0, "3"},
    {0.1 + 0.2, "0.3"},                     // rounding to 15 digits hides the binary error
    {999999999999999.0, "999999999999999"}, // largest 15-digit fixed value
    {9.999999999999999e14, "1E15"},         // rounds up into scientific notation
    {123456789012345678.0, "1.23456789012346E17"},
    {0.00012345, "0.00012345"},
    {-1.25e-7, "-1.25E-7"},
    {2e100, "2E100"},
    {std::numeric_limits<double>::infinity(), "INF"},
    {-std::numeric_limits<double>::infinity(), "-INF"},
    {std::numeric_limits<double>::quiet_NaN(), "NAN"},
};

std::string WithComma(std::string text)
{
    for (char& c : text)
        if (c == '.')
            c = ',';
    return text;
}

} // namespace

TEST(DecimalText, FormatsInGeneralFormatWithEitherSeparator)
{
    for (const FormatCase& c : kFormatCases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FormatDecimal(c.value, std::string_view(".")), c.text);
        EXPECT_EQ(FormatDecimal(c.value, std::string_view(",")), WithComma(c.text));
        EXPECT_EQ(FormatDecimal(c.value, QStringLiteral(",")),
                  QString::fromStdString(WithComma(c.text)));
    }
}

TEST(DecimalText, ParsesWhatItFormats)
{
    for (const FormatCase& c : kFormatCases) {
        if (!std::isfinite(c.value))
            continue;
        SCOPED_TRACE(c.text);
        const double rounded = std::stod(c.text); // the 15-digit value the text stands for
        EXPECT_EQ(ParseDecimal(std::string_view(c.text), "."), rounded);
        EXPECT_EQ(ParseDecimal(WithComma(c.text), ","), rounded);
    }
    EXPECT_EQ(ParseDecimal(QStringLiteral(" 1,5 "), QStringLiteral(",")), 1.5);
    EXPECT_EQ(ParseDecimal(std::string_view("+7"), "."), 7.0);
    EXPECT_EQ(ParseDecimal(std::string_view("2.5e3"), "."), 2500.0);
}

TEST(DecimalText, RejectsTextThatIsNoDecimal)
{
    const struct {
        const char* text;
        const char* separator;
    } cases[] = {
        {"", "."},    {"   ", "."}, {"abc", "."}, {"1,5", "."},  {"1.5", ","}, {"1.2.3", "."},
        {".", "."},   {"-", "."},   {"--1", "."}, {"+-1", "."},  {"1E", "."},  {"1E+", "."},
        {"1 2", "."}, {"INF", "."}, {"NAN", "."}, {"0x10", "."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_THROW(ParseDecimal(std::string_view(c.text), c.separator), EConvertError);
    }
}

TEST(DecimalText, ParsesPlainIntegers)
{
    EXPECT_EQ(ParseInteger(std::string_view("42")), 42);
    EXPECT_EQ(ParseInteger(std::string_view(" -7 ")), -7);
    EXPECT_EQ(ParseInteger(std::string_view("+3")), 3);
    EXPECT_EQ(ParseInteger(std::string_view("-9223372036854775808")),
              std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(ParseInteger(QStringLiteral("21")), 21);

    for (const char* text :
         {"", " ", "4.2", "abc", "1 2", "+", "-", "+-5", "--5", "0x1F", "9223372036854775808"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW(ParseInteger(std::string_view(text)), EConvertError);
    }
}
