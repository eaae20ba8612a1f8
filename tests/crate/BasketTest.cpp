// SPDX-License-Identifier: MIT
#include "crate/Basket.h"
#include "crate/Budget.h"
#include "ThrownMessage.h"
#include "crate/CrateTypes.h"
#include "base/DecimalText.h"
#include "base/Exception.h"

#include "QStringPrinter.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

const QString kDot = QStringLiteral(".");
const QString kComma = QStringLiteral(",");

// An entry made as the window makes it, from the texts of the values.
TDevice Device(double v5, double v7, double v_7, double power, std::int64_t slots)
{
    return MakeDevice({QStringLiteral("MK1-01"), FormatDecimal(v5, kDot), FormatDecimal(v7, kDot),
                       FormatDecimal(v_7, kDot), FormatDecimal(power, kDot),
                       QString::number(slots)},
                      kDot);
}

ExactDecimal Exact(const char* text)
{
    return ExactDecimal::Parse(QString::fromUtf8(text), kDot);
}

// Limit fields 1..5 of a crate type row, as the checks read them.
std::array<QString, 5> LimitTexts(int crateRow, const QString& separator)
{
    const QStringList fields =
        CrateTypeRow(CrateTypes()[crateRow], separator).split(QLatin1Char('\t'));
    return {fields[kFieldV5], fields[kFieldV7], fields[kFieldV_7], fields[kFieldPower],
            fields[kFieldSlots]};
}

// The totals stay within a crate type's limits: its budget holds.
bool WithinLimits(const Totals& totals, const std::array<QString, 5>& limits,
                  const QString& separator)
{
    return EvaluateBudget(totals, limits, kMaxMarginPercent, separator).Fits();
}

ExactDecimal UsedSlots(const std::vector<TDevice>& devices)
{
    return SumDevices(devices).slots;
}

QString TotalsField(const Totals& totals, int field, const QString& separator)
{
    return TotalsRow(totals, separator).split(QLatin1Char('\t')).at(field);
}

TEST(Basket, MakeDeviceParsesTheDetailTexts)
{
    const DeviceTexts texts{QStringLiteral("БУК-12"), QStringLiteral("0,8"),
                            QStringLiteral("1,4"),    QStringLiteral("0"),
                            QStringLiteral("35,4"),   QStringLiteral("256")};
    const TDevice device = MakeDevice(texts, kComma);
    EXPECT_EQ(device.Ident, QStringLiteral("БУК-12"));
    EXPECT_EQ(device.V5, 0.8);
    EXPECT_EQ(device.V7, 1.4);
    EXPECT_EQ(device.V_7, 0);
    EXPECT_EQ(device.TotalPower, 35.4);
    EXPECT_EQ(device.SlotsCount, 256); // no 8-bit wrap to 0
    EXPECT_EQ(device.ExactV5, Exact("0.8"));
    EXPECT_EQ(device.ExactTotalPower, Exact("35.4"));
    EXPECT_EQ(BasketRow(texts), QStringLiteral("БУК-12\t0,8\t1,4\t0\t35,4\t256"));
}

TEST(Basket, MakeDeviceRefusesBadTexts)
{
    struct Case {
        const char* what;
        DeviceTexts texts;
        QString separator;
        const char* message; // exact message, or nullptr when only the type matters
    };
    auto texts = [](const char* v5, const char* slots) {
        return DeviceTexts{QStringLiteral("MK1-01"), QString::fromUtf8(v5),
                           QStringLiteral("0"),      QStringLiteral("0"),
                           QStringLiteral("1"),      QString::fromUtf8(slots)};
    };
    const Case cases[] = {
        {"non-decimal current", texts("abc", "1"), kDot, nullptr},
        {"wrong separator", texts("0.8", "1"), kComma, nullptr},
        {"negative slot count", texts("0.5", "-1"), kDot, "Недопустимое количество слотов: \"-1\""},
        {"fractional slot count", texts("0.5", "1.5"), kDot,
         "Недопустимое количество слотов: \"1.5\""},
        {"empty slot count", texts("0.5", ""), kDot, "Недопустимое количество слотов: \"\""},
        {"slot count out of range", texts("0.5", "99999999999999999999"), kDot,
         "Недопустимое количество слотов: \"99999999999999999999\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string message =
            ThrownMessage<EConvertError>([&] { MakeDevice(c.texts, c.separator); });
        if (c.message) {
            EXPECT_EQ(message, c.message);
        }
    }
}

TEST(Basket, SumsAndTotalsRow)
{
    const std::vector<TDevice> devices{Device(0.1, 1.4, 0, 0.1, 1), Device(0.2, 0, 0.35, 0.2, 2)};
    const Totals totals = SumDevices(devices);
    EXPECT_EQ(totals.v5, Exact("0.3")); // not the binary 0.30000000000000004
    EXPECT_EQ(UsedSlots(devices), 3);
    EXPECT_EQ(TotalsRow(totals, kComma), QStringLiteral("\t0,3\t1,4\t0,35\t0,3\t3"));
    EXPECT_EQ(TotalsRow(totals, kDot), QStringLiteral("\t0.3\t1.4\t0.35\t0.3\t3"));
    EXPECT_TRUE(WithinLimits(totals,
                             {QStringLiteral("0,3"), QStringLiteral("1,4"), QStringLiteral("0,35"),
                              QStringLiteral("0,3"), QStringLiteral("3")},
                             kComma));
    EXPECT_EQ(TotalsRow(SumDevices({}), kDot), QStringLiteral("\t0\t0\t0\t0\t0"));
}

TEST(Basket, ManyEntriesAndWideSlotCounts)
{
    // Binary fractions, so that the expected sums are exact.
    std::vector<TDevice> devices(300, Device(0.25, 0.5, 0.125, 1.5, 1));
    devices.push_back(Device(0, 0, 0, 0, 256));
    const Totals totals = SumDevices(devices);
    EXPECT_EQ(UsedSlots(devices), 556);
    EXPECT_EQ(totals.slots, 556);
    EXPECT_EQ(TotalsRow(totals, kDot), QStringLiteral("\t75\t150\t37.5\t450\t556"));
}

TEST(Basket, SlotsFit)
{
    struct Case {
        std::int64_t limit, used, count;
        bool fits;
    };
    const Case cases[] = {
        {4, 0, 1, true},
        {4, 1, 2, true},
        {4, 3, 1, true},
        {4, 4, 1, false},
        {4, 0, 5, false},
        {17, 16, 1, true},
        {16, 16, 1, false},
        {16, 0, 256, false},
        {300, 255, 45, true},
        // A basket already past a smaller crate, and a count that would
        // wrap round in plain 64-bit arithmetic.
        {4, 16, INT64_MAX, false},
        {4, 16, 0, false},
        {INT64_MAX, 0, INT64_MAX, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SlotsFit(c.limit, c.used, c.count), c.fits)
            << c.limit << " - " << c.used << " - " << c.count;
}

// A basket whose sum is exactly a limit passes it; one more milliampere,
// a tenth of a watt or a slot fails. The sum is built from ten entries so it carries the
// rounding of real additions.
TEST(Basket, WithinLimitsAtAndAboveEveryLimit)
{
    for (int row : {0, 1, 4, 5}) {
        for (const QString& separator : {kDot, kComma}) {
            const std::array<QString, 5> limits = LimitTexts(row, separator);
            for (int field = kFieldV5; field <= kFieldSlots; ++field) {
                SCOPED_TRACE(testing::Message() << "row " << row << " field " << field
                                                << " separator " << separator.toStdString());
                const QString& limitText = limits[static_cast<size_t>(field - 1)];
                std::vector<TDevice> devices;
                if (field == kFieldSlots) {
                    devices.push_back(Device(0, 0, 0, 0, ParseInteger(limitText)));
                } else {
                    const double part = ParseDecimal(limitText, separator) / 10;
                    for (int i = 0; i < 10; ++i) {
                        double values[4] = {0, 0, 0, 0};
                        values[field - 1] = part;
                        devices.push_back(Device(values[0], values[1], values[2], values[3], 0));
                    }
                }
                Totals totals = SumDevices(devices);
                EXPECT_EQ(TotalsField(totals, field, separator), limitText);
                EXPECT_TRUE(WithinLimits(totals, limits, separator));

                ExactDecimal* sums[4] = {&totals.v5, &totals.v7, &totals.v_7, &totals.power};
                if (field == kFieldSlots)
                    totals.slots += 1;
                else if (field == kFieldPower)
                    *sums[field - 1] += Exact("0.1");
                else
                    *sums[field - 1] += Exact("0.001");
                EXPECT_FALSE(WithinLimits(totals, limits, separator));
            }
        }
    }
}

TEST(Basket, SingleBlockAtTheMinus7Limit)
{
    struct Case {
        int row;
        double v_7;
        bool within;
    };
    const Case cases[] = {{1, 0.8, true}, {0, 0.7, true}, {0, 0.8, false}, {1, 0.801, false}};
    for (const Case& c : cases) {
        const Totals totals = SumDevices({Device(0.2, 0.1, c.v_7, 7.3, 1)});
        EXPECT_EQ(WithinLimits(totals, LimitTexts(c.row, kComma), kComma), c.within)
            << "row " << c.row << " -7 V " << c.v_7;
    }
}

TEST(Basket, WithinLimitsOddInput)
{
    const std::array<QString, 5> limits = LimitTexts(4, kDot);
    // The largest double, and far beyond it: no sum wraps or saturates into a pass.
    for (const char* v5 : {"1.79769313486232E308", "1E308"}) {
        Totals totals =
            SumDevices({MakeDevice({QStringLiteral("X"), QString::fromUtf8(v5), QStringLiteral("0"),
                                    QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")},
                                   kDot)});
        totals.v5 += totals.v5;
        EXPECT_FALSE(WithinLimits(totals, limits, kDot)) << v5;
    }
    // A limit text that does not convert is an error, not a pass.
    EXPECT_THROW(WithinLimits(Totals{},
                              {QStringLiteral("3"), QStringLiteral("1,4"), QStringLiteral("0.7"),
                               QStringLiteral("28.5"), QStringLiteral("4")},
                              kDot),
                 EConvertError);
}

} // namespace
