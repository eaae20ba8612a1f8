// SPDX-License-Identifier: MIT
#include "crate/ExactDecimal.h"
#include "ThrownMessage.h"

#include "base/DecimalText.h"
#include "base/Exception.h"

#include "QStringPrinter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>

namespace {

const QString kDot = QStringLiteral(".");
const QString kComma = QStringLiteral(",");

ExactDecimal Exact(const char* text, const QString& separator = kDot)
{
    return ExactDecimal::Parse(QString::fromUtf8(text), separator);
}

QString WithSeparator(const char* text, const QString& separator)
{
    return QString::fromUtf8(text).replace(QLatin1Char('.'), separator);
}

// Printing follows decimal text exactly: every value a double holds prints
// as FormatDecimal prints the double, with either separator.
TEST(ExactDecimal, PrintsAsDecimalText)
{
    const double values[] = {0,
                             1,
                             -1,
                             0.1,
                             0.3,
                             1.4,
                             28.5,
                             35.4,
                             0.0001,
                             0.00012,
                             1e-5,
                             -1.5e-7,
                             123.45,
                             1e14,
                             1e15,
                             9.99999999999999e14,
                             1e16,
                             1.5e20,
                             -2.75e300,
                             std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::denorm_min(),
                             0.30000000000000004};
    for (const QString& separator : {kDot, kComma}) {
        for (double value : values) {
            const QString text = FormatDecimal(value, separator);
            EXPECT_EQ(ExactDecimal::Parse(text, separator).Format(separator), text) << value;
        }
    }
}

TEST(ExactDecimal, RoundsOnlyBeyondFifteenDigits)
{
    struct Case {
        const char* text;
        const char* shown;
    };
    const Case cases[] = {
        {"0.123456789012345", "0.123456789012345"},    // 15 digits: unchanged
        {"0.1234567890123454", "0.123456789012345"},   // down
        {"0.1234567890123455", "0.123456789012346"},   // a tie goes away from zero
        {"-0.1234567890123455", "-0.123456789012346"}, //
        {"9.9999999999999951", "10"},                  // the carry reaches the front
        {"999999999999999.5", "1E15"},                 // ... and the notation changes
        {"123456789012345678", "1.23456789012346E17"}, //
        {"1000000000000000000001E-21", "1"},           // far digits do not show
        {"0.00010000000000000001", "0.0001"},          //
        {"2.50", "2.5"},                               // no trailing zeros
        {"-0", "0"},                                   //
        {"000.000", "0"},                              //
    };
    for (const QString& separator : {kDot, kComma})
        for (const Case& c : cases)
            EXPECT_EQ(Exact(c.text).Format(separator), WithSeparator(c.shown, separator)) << c.text;
}

TEST(ExactDecimal, SumsAndDifferencesAreExact)
{
    ExactDecimal current;
    for (int i = 0; i < 300; ++i)
        current += Exact("0.01");
    EXPECT_EQ(current.Format(kDot), QStringLiteral("3"));
    EXPECT_EQ(current, Exact("3"));

    ExactDecimal power;
    for (int i = 0; i < 285; ++i)
        power += Exact("0,1", kComma);
    EXPECT_EQ(power, Exact("28,5", kComma));
    EXPECT_FALSE(power > Exact("28.5"));
    EXPECT_TRUE(power + Exact("0.001") > Exact("28.5"));

    EXPECT_EQ((Exact("1.4") - Exact("1.3")).Format(kComma), QStringLiteral("0,1"));
    EXPECT_EQ((Exact("0.7") - Exact("1.05")).Format(kDot), QStringLiteral("-0.35"));
    // Magnitudes far apart keep every digit.
    const ExactDecimal tiny = Exact("1E-300");
    EXPECT_EQ(Exact("1E308") + tiny - Exact("1E308"), tiny);
    EXPECT_EQ((Exact("1E308") + Exact("1E308")).Format(kDot), QStringLiteral("2E308"));
}

TEST(ExactDecimal, Ordering)
{
    struct Case {
        const char *a, *b;
        int order; // sign of a - b
    };
    const Case cases[] = {
        {"0.8", "0.8", 0}, {"0.80", "0.8", 0}, {"0.801", "0.8", 1}, {"0.799", "0.8", -1},
        {"-1", "1", -1},   {"-2", "-1", -1},   {"0", "-0", 0},      {"1E3", "999.9", 1},
        {"1E-5", "0", 1},  {"5", "5E0", 0},    {"12E-1", "1.2", 0}, {"-0.001", "0", -1},
    };
    for (const Case& c : cases) {
        const auto order = Exact(c.a) <=> Exact(c.b);
        EXPECT_EQ(order < 0 ? -1 : order > 0 ? 1 : 0, c.order) << c.a << " vs " << c.b;
    }
}

// What the basket takes has an exact value, and what it refuses is refused
// here with the same error.
TEST(ExactDecimal, ParsesWhatDecimalTextParses)
{
    struct Case {
        const char* text;
        QString separator;
        const char* value; // nullptr when refused
    };
    const Case cases[] = {
        {" 0,8 ", kComma, "0.8"},
        {"+1", kDot, "1"},
        {"1,", kComma, "1"},
        {",5", kComma, "0.5"},
        {"1.5e-3", kDot, "0.0015"},
        {"-2E+2", kDot, "-200"},
        {"0E99999999999999999999", kDot, "0"},
        {"1.79769313486232E308", kDot, "1.79769313486232E308"},
        // Inside the double's range every text is taken without it; at its
        // edges the digits and the exponent together decide.
        {"1E300", kDot, "1E300"},
        {"-1E-300", kDot, "-1E-300"},
        {"100E306", kDot, "1E308"},
        {"0.001E-297", kDot, "1E-300"},
        {"1.8E308", kDot, nullptr},
        {"1000E306", kDot, nullptr},
        {"abc", kDot, nullptr},
        {"0.8", kComma, nullptr},
        {"", kDot, nullptr},
        {"-", kDot, nullptr},
        {"1e", kDot, nullptr},
        {"1E999", kDot, nullptr},
        {"1E-999", kDot, nullptr},
        {"1,5", kDot, nullptr},
        {"NAN", kDot, nullptr},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        if (c.value) {
            EXPECT_EQ(ExactDecimal::Parse(text, c.separator), Exact(c.value)) << c.text;
            continue;
        }
        EXPECT_THROW(ParseDecimal(text, c.separator), EConvertError) << c.text;
        EXPECT_EQ(ThrownMessage<EConvertError>([&] { ExactDecimal::Parse(text, c.separator); }),
                  ThrownMessage<EConvertError>([&] { ParseDecimal(text, c.separator); }));
    }
}

TEST(ExactDecimal, PercentOf)
{
    struct Case {
        const char *part, *whole;
        bool roundUp;
        const char* percent;
    };
    const Case cases[] = {
        {"0.35", "0.7", false, "50"},
        {"1.05", "0.7", true, "150"},
        {"2.55", "3", false, "85"},
        {"2.3997", "3", false, "79"}, // 79.99 %: below 80
        {"3.001", "3", true, "101"},
        {"3.001", "3", false, "100"},
        {"0", "3", false, "0"},
        {"-0.3", "3", false, "-10"},
        {"-0.31", "3", false, "-11"},
        {"-0.31", "3", true, "-10"},
        {"1", "3", false, "33"},
        {"1", "3", true, "34"},
        {"1E300", "3", true, "3.33333333333333E301"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Exact(c.part).PercentOf(Exact(c.whole), c.roundUp).Format(kDot),
                  QString::fromUtf8(c.percent))
            << c.part << " of " << c.whole;
}

// n thousandths in plain decimal text, worked out on integers.
QString ThousandthsText(std::int64_t n, const QString& separator)
{
    const std::int64_t magnitude = n < 0 ? -n : n;
    QString text = QString::number(magnitude / 1000);
    QString fraction = QString::number(magnitude % 1000).rightJustified(3, QLatin1Char('0'));
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    if (!fraction.isEmpty())
        text += separator + fraction;
    return n < 0 ? QLatin1Char('-') + text : text;
}

// Random sums of up to 500 amounts, checked against integer arithmetic in
// thousandths.
TEST(ExactDecimal, RandomSumsMatchIntegerArithmetic)
{
    std::mt19937 random(20240614);
    std::uniform_int_distribution<std::int64_t> thousandths(-50000, 50000);
    for (int basket = 0; basket < 200; ++basket) {
        const QString separator = basket % 2 ? kComma : kDot;
        const int entries = std::uniform_int_distribution<int>(1, 500)(random);
        ExactDecimal sum;
        std::int64_t expected = 0;
        for (int i = 0; i < entries; ++i) {
            const std::int64_t value = thousandths(random);
            expected += value;
            sum += ExactDecimal::Parse(ThousandthsText(value, separator), separator);
        }
        EXPECT_EQ(sum.Format(separator), ThousandthsText(expected, separator))
            << "basket " << basket;
    }
}

} // namespace
