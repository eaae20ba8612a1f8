// SPDX-License-Identifier: MIT
// The bill of materials: entries grouped by code with exact sums, and the
// grouped section of the CSV.

#include "ExchangeSupport.h"

#include "exchange/BasketCsv.h"
#include "exchange/BillOfMaterials.h"
#include "CsvReader.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

ExactDecimal D(const char* text)
{
    return ExactDecimal::Parse(QString::fromLatin1(text), QStringLiteral("."));
}

BillEntry Entry(const char* code, const char* v5, const char* power, std::int64_t slots)
{
    return {QString::fromUtf8(code),
            QStringLiteral("имя ") + QString::fromUtf8(code),
            D(v5),
            D("0"),
            D("0.01"),
            D(power),
            slots};
}

TEST(BillOfMaterials, GroupsByCodeInTheOrderCodesFirstAppear)
{
    const std::vector<BillLine> bill = BillOfMaterials({
        Entry("DO-8", "0.5", "3.2", 1),
        Entry("AI-16D", "0.25", "1", 2),
        Entry("DO-8", "0.5", "3.2", 1),
        Entry("ZB012", "0", "0", 0),
        Entry("DO-8", "0.5", "3.2", 1),
    });
    ASSERT_EQ(bill.size(), 3u);
    const struct {
        const char* code;
        std::int64_t count;
        const char *v5, *v_7, *power;
        std::int64_t slots;
    } expected[] = {
        {"DO-8", 3, "1.5", "0.03", "9.6", 3},
        {"AI-16D", 1, "0.25", "0.01", "1", 2},
        {"ZB012", 1, "0", "0.01", "0", 0},
    };
    for (size_t i = 0; i < bill.size(); ++i) {
        SCOPED_TRACE(expected[i].code);
        EXPECT_EQ(bill[i].code, QString::fromLatin1(expected[i].code));
        EXPECT_EQ(bill[i].name, QStringLiteral("имя ") + QString::fromLatin1(expected[i].code));
        EXPECT_EQ(bill[i].count, expected[i].count);
        EXPECT_EQ(bill[i].v5, D(expected[i].v5));
        EXPECT_EQ(bill[i].v_7, D(expected[i].v_7));
        EXPECT_EQ(bill[i].power, D(expected[i].power));
        EXPECT_EQ(bill[i].slots, expected[i].slots);
    }
    EXPECT_TRUE(BillOfMaterials({}).empty());
}

TEST(BillOfMaterials, SumsAreExactAndSlotsDoNotWrap)
{
    std::vector<BillEntry> entries(300, Entry("MK1", "0.01", "0.1", 1));
    entries.push_back(Entry("BIG", "0", "0", std::numeric_limits<std::int64_t>::max()));
    entries.push_back(Entry("BIG", "0", "0", 5));
    const std::vector<BillLine> bill = BillOfMaterials(entries);
    ASSERT_EQ(bill.size(), 2u);
    // In binary floating point these would be 2.99999999999998 and 29.9999…
    EXPECT_EQ(BillFields(bill[0], QStringLiteral(",")),
              (QStringList{QStringLiteral("MK1"), QStringLiteral("имя MK1"), QStringLiteral("300"),
                           QStringLiteral("3"), QStringLiteral("0"), QStringLiteral("3"),
                           QStringLiteral("30"), QStringLiteral("300")}));
    EXPECT_EQ(bill[1].count, 2);
    EXPECT_EQ(bill[1].slots, std::numeric_limits<std::int64_t>::max());
}

TEST(BillOfMaterials, CsvHasTheGroupedSectionAfterTheEntriesAndTheirTotals)
{
    for (const char* decimal : {",", "."}) {
        SCOPED_TRACE(decimal);
        const QString separator = QString::fromLatin1(decimal);
        BasketSummary summary = SampleSummary(separator);
        const std::vector<QStringList> plain =
            ReadCsv(QString::fromUtf8(BasketCsv(summary).mid(3)), CsvFieldSeparator(separator));
        summary.bill = BillOfMaterials({Entry("MK1-100", "0.5", "3.2", 1),
                                        Entry("ЗГ-1;\"2\"", "1.25", "12", 2),
                                        Entry("MK1-100", "0.5", "3.2", 1)});
        const std::vector<QStringList> rows =
            ReadCsv(QString::fromUtf8(BasketCsv(summary).mid(3)), CsvFieldSeparator(separator));
        ASSERT_EQ(rows.size(), plain.size() + 5);
        // What was there stays as it was, in its place; the version row
        // stays the last.
        EXPECT_TRUE(std::equal(plain.begin(), plain.end() - 1, rows.begin()));
        EXPECT_EQ(rows.back(), plain.back());
        EXPECT_EQ(rows.back().value(0), QStringLiteral("ВЕРСИЯ"));
        const size_t at = plain.size() - 1;
        EXPECT_EQ(rows[at], QStringList{QString()});
        EXPECT_EQ(rows[at + 1], QStringList{QStringLiteral("СПЕЦИФИКАЦИЯ")});
        EXPECT_EQ(rows[at + 2],
                  (QStringList{QStringLiteral("ШИФР"), QStringLiteral("НАИМЕНОВАНИЕ"),
                               QStringLiteral("КОЛ-ВО"), QStringLiteral("+5V, А"),
                               QStringLiteral("+7V, А"), QStringLiteral("-7V, А"),
                               QStringLiteral("МОЩНОСТЬ, ВТ"), QStringLiteral("КОЛ-ВО СЛОТОВ")}));
        EXPECT_EQ(rows[at + 3],
                  (QStringList{QStringLiteral("MK1-100"), QStringLiteral("имя MK1-100"),
                               QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("0"),
                               QStringLiteral("0") + separator + QStringLiteral("02"),
                               QStringLiteral("6") + separator + QStringLiteral("4"),
                               QStringLiteral("2")}));
        EXPECT_EQ(rows[at + 4][0], QStringLiteral("ЗГ-1;\"2\"")); // quoted and read back whole
        EXPECT_EQ(rows[at + 4][3], QStringLiteral("1") + separator + QStringLiteral("25"));
    }
}

} // namespace
