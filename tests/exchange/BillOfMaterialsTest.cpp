// SPDX-License-Identifier: MIT
// The bill of materials: entries grouped by code with exact sums, and the
// grouped section of the CSV.

#include "ExchangeSupport.h"

#include "CsvReader.h"
#include "crate/BasketModel.h"
#include "exchange/BasketCsv.h"
#include "exchange/BasketExport.h"
#include "exchange/BillOfMaterials.h"

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

// Codes are compared exactly: a tab and the arrow a screen shows for it
// are two codes, and so are codes differing in case or a trailing space.
TEST(BillOfMaterials, CodesThatLookAlikeStayApart)
{
    const std::vector<BillLine> bill = BillOfMaterials({
        {QStringLiteral("TB\tX"), QStringLiteral("С табуляцией"), D("0.7"), D("0"), D("0"), D("1"),
         2},
        {QStringLiteral("TB→X"), QStringLiteral("Со стрелкой"), D("0.01"), D("0"), D("0"), D("1"),
         1},
        {QStringLiteral("tb→x"), QStringLiteral("Строчными"), D("0"), D("0"), D("0"), D("0"), 1},
        {QStringLiteral("TB→X "), QStringLiteral("С пробелом"), D("0"), D("0"), D("0"), D("0"), 1},
        {QStringLiteral("TB\tX"), QStringLiteral("Другое имя"), D("0.3"), D("0"), D("0"), D("1"),
         2},
    });
    ASSERT_EQ(bill.size(), 4u);
    EXPECT_EQ(bill[0].code, QStringLiteral("TB\tX"));
    EXPECT_EQ(bill[0].name, QStringLiteral("С табуляцией")) << "the first entry names the code";
    EXPECT_EQ(bill[0].count, 2);
    EXPECT_EQ(bill[0].v5, D("1"));
    EXPECT_EQ(bill[0].slots, 4);
    for (size_t i = 1; i < bill.size(); ++i)
        EXPECT_EQ(bill[i].count, 1) << bill[i].code.toStdString();
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

// The CSV and the report are made from the model: the ticked crate type's
// slots and each entry's, and the bill summed from the exact amounts the
// entries were made from, so that three of 0,1 make 0,3 and not
// 0,30000000000000004; a code is kept to the byte.
TEST(BillOfMaterials, TheSummaryOfTheModelCarriesItsCrateAndItsBill)
{
    const QString comma = QStringLiteral(",");
    const auto device = [&comma](const char* code, const char* v5, const char* power,
                                 const char* slots) {
        return MakeDevice({QString::fromUtf8(code), QString::fromLatin1(v5), QStringLiteral("0"),
                           QStringLiteral("0,01"), QString::fromLatin1(power),
                           QString::fromLatin1(slots),
                           QStringLiteral("Блок ") + QString::fromUtf8(code)},
                          comma);
    };
    TBasketModel model;
    model.Replace({device("DO-8", "0,1", "1,1", "1"), device("AI\t16", "0,25", "2", "2"),
                   device("DO-8", "0,1", "1,1", "1"), device("ZB", "0", "0", "0"),
                   device("DO-8", "0,10", "1,1", "1")},
                  4, QStringLiteral("test"));
    const QDateTime madeAt(QDate(2024, 3, 5), QTime(14, 7));
    BasketSummary summary =
        BasketSummaryOf(model, comma, QStringLiteral("VELTRUM.db"), QStringLiteral("ab"), madeAt);
    ASSERT_TRUE(summary.rack);
    EXPECT_EQ(summary.rack->slotCount, 17); // KSV-3HA (QT27)
    EXPECT_EQ(summary.rack->entrySlots, (std::vector<std::int64_t>{1, 2, 1, 0, 1}));
    ASSERT_EQ(summary.bill.size(), 3u);
    EXPECT_EQ(BillFields(summary.bill[0], comma),
              (QStringList{QStringLiteral("DO-8"), QStringLiteral("Блок DO-8"), QStringLiteral("3"),
                           QStringLiteral("0,3"), QStringLiteral("0"), QStringLiteral("0,03"),
                           QStringLiteral("3,3"), QStringLiteral("3")}));
    EXPECT_EQ(summary.bill[1].code, QStringLiteral("AI\t16"));
    EXPECT_EQ(summary.bill[1].slots, 2);
    EXPECT_EQ(summary.bill[2].code, QStringLiteral("ZB"));
    EXPECT_EQ(summary.bill[2].slots, 0);

    // The CSV lists the same bill between the entries and the version.
    const std::vector<QStringList> rows =
        ReadCsv(QString::fromUtf8(BasketCsv(summary, CsvFormulas::Raw).mid(3)), u';');
    ASSERT_EQ(rows.size(), 1 + 5 + 3 + 3 + 3 + 1u);
    EXPECT_EQ(rows[10], QStringList{QStringLiteral("СПЕЦИФИКАЦИЯ")});
    EXPECT_EQ(rows[12].mid(0, 4), (QStringList{QStringLiteral("DO-8"), QStringLiteral("Блок DO-8"),
                                               QStringLiteral("3"), QStringLiteral("0,3")}));
    EXPECT_EQ(rows[13][0], QStringLiteral("AI\t16"));
    EXPECT_EQ(rows.back()[0], QStringLiteral("ВЕРСИЯ"));

    // A smaller crate type ticked: the same entries in a crate of 4 slots.
    ASSERT_TRUE(model.TickCrateType(0));
    summary =
        BasketSummaryOf(model, comma, QStringLiteral("VELTRUM.db"), QStringLiteral("ab"), madeAt);
    ASSERT_TRUE(summary.rack);
    EXPECT_EQ(summary.rack->slotCount, 4);
    EXPECT_EQ(summary.rack->entrySlots.size(), 5u);

    // An empty basket: an empty crate and no bill.
    ASSERT_TRUE(model.Clear());
    summary =
        BasketSummaryOf(model, comma, QStringLiteral("VELTRUM.db"), QStringLiteral("ab"), madeAt);
    ASSERT_TRUE(summary.rack);
    EXPECT_TRUE(summary.rack->entrySlots.empty());
    EXPECT_TRUE(summary.bill.empty());
}

} // namespace
