// SPDX-License-Identifier: MIT
// The CSV export read back field by field, with both field separators.

#include "ExchangeSupport.h"

#include "exchange/BasketCsv.h"
#include "CsvReader.h"
#include "base/DecimalText.h"

#include <gtest/gtest.h>

namespace {

QStringList Row(std::initializer_list<QString> fields)
{
    return QStringList(fields);
}

} // namespace

TEST(BasketCsv, ReadsBackFieldByFieldWithEitherSeparator)
{
    const struct {
        const char* decimal;
        QChar field;
    } cases[] = {{",", u';'}, {".", u','}};
    for (const auto& c : cases) {
        const QString decimal = QString::fromUtf8(c.decimal);
        SCOPED_TRACE(c.decimal);
        EXPECT_EQ(CsvFieldSeparator(decimal), c.field);
        const BasketSummary summary = SampleSummary(decimal);
        const QByteArray csv = BasketCsv(summary);
        ASSERT_TRUE(csv.startsWith("\xEF\xBB\xBF")) << "UTF-8 with a byte-order mark";
        const std::vector<QStringList> rows = ReadCsv(QString::fromUtf8(csv.mid(3)), c.field);
        ASSERT_EQ(rows.size(), 7u) << csv.constData();

        const auto& first = summary.entries[0];
        const auto& second = summary.entries[1];
        EXPECT_EQ(rows[0],
                  Row({QStringLiteral("ШИФР"), QStringLiteral("НАИМЕНОВАНИЕ"),
                       QStringLiteral("+5V, А"), QStringLiteral("+7V, А"), QStringLiteral("-7V, А"),
                       QStringLiteral("МОЩНОСТЬ, ВТ"), QStringLiteral("КОЛ-ВО СЛОТОВ")}));
        EXPECT_EQ(rows[1], Row({first.code, first.name, first.values[0], first.values[1],
                                first.values[2], first.values[3], first.values[4]}));
        EXPECT_EQ(rows[2], Row({second.code, second.name, second.values[0], second.values[1],
                                second.values[2], second.values[3], second.values[4]}));
        EXPECT_EQ(rows[3], Row({QStringLiteral("ИТОГО"), QString(), summary.limits[0].total,
                                summary.limits[1].total, summary.limits[2].total,
                                summary.limits[3].total, summary.limits[4].total}));
        EXPECT_EQ(rows[4],
                  Row({QStringLiteral("ТИП КОРЗИНЫ"), summary.crateType, summary.limits[0].limit,
                       summary.limits[1].limit, summary.limits[2].limit, summary.limits[3].limit,
                       summary.limits[4].limit}));
        EXPECT_EQ(rows[5], Row({QStringLiteral("ЗАПАС"), QString(), summary.limits[0].headroom,
                                summary.limits[1].headroom, summary.limits[2].headroom,
                                summary.limits[3].headroom, summary.limits[4].headroom}));

        // Last, what made the figures: the program's version and the catalog.
        EXPECT_EQ(rows[6],
                  Row({QStringLiteral("ВЕРСИЯ"), ProgramVersion(), summary.catalogSha256}));
        EXPECT_EQ(summary.programVersion, ProgramVersion()) << "a summary is stamped by default";

        // Every value field of the basket's rows is a number in the user's
        // notation, unquoted, so that a spreadsheet in that locale takes it
        // as a number.
        for (size_t row = 1; row < 6; ++row)
            for (int field = 2; field < rows[row].size(); ++field) {
                const QString& text = rows[row][field];
                EXPECT_NO_THROW((void)ParseDecimal(text, decimal)) << text.toStdString();
                EXPECT_FALSE(text.contains(c.field));
            }
    }
}

TEST(BasketCsv, QuotesOnlyTheFieldsThatNeedIt)
{
    const struct {
        const char* text;
        QChar separator;
        const char* written;
    } cases[] = {
        {"MK1-100", u',', "MK1-100"},
        {"1,4", u';', "1,4"},
        {"1,4", u',', "\"1,4\""},
        {"a;b", u';', "\"a;b\""},
        {"say \"hi\"", u',', "\"say \"\"hi\"\"\""},
        {"two\nlines", u',', "\"two\nlines\""},
        {"", u',', ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CsvField(QString::fromUtf8(c.text), c.separator), QString::fromUtf8(c.written))
            << c.text;
}

// Codes, names and crate type names that a spreadsheet would run as a
// formula get an apostrophe in the default export; numbers, negative ones
// too, never do; the raw export keeps every text exactly.
TEST(BasketCsv, FormulaLookingTextsAreGuardedByDefaultAndKeptInTheRawForm)
{
    const struct {
        const char* text;
        const char* guarded;
    } cases[] = {
        {"=HYPERLINK(\"http://x\")", "'=HYPERLINK(\"http://x\")"},
        {"+7V-BLK", "'+7V-BLK"},
        {"-7V-BLK", "'-7V-BLK"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"\t=1", "'\t=1"},
        {"MK1=2", "MK1=2"},
        {"'quoted", "'quoted"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(GuardedCsvText(text), QString::fromUtf8(c.guarded));

        BasketSummary summary = SampleSummary(QStringLiteral(","));
        summary.entries[0].code = text;
        summary.entries[0].name = text;
        summary.crateType = text;
        summary.limits[2].headroom = QStringLiteral("-0,35");
        const auto read = [&](CsvFormulas formulas) {
            return ReadCsv(QString::fromUtf8(BasketCsv(summary, formulas).mid(3)), u';');
        };
        const std::vector<QStringList> guarded = read(CsvFormulas::Guarded);
        ASSERT_EQ(guarded.size(), 7u); // with the version row last
        EXPECT_EQ(guarded[1].mid(0, 2), (QStringList{GuardedCsvText(text), GuardedCsvText(text)}));
        EXPECT_EQ(guarded[4][1], GuardedCsvText(text));
        EXPECT_EQ(guarded[5][4], QStringLiteral("-0,35")) << "numbers stay numbers";
        EXPECT_EQ(read(CsvFormulas::Guarded),
                  ReadCsv(QString::fromUtf8(BasketCsv(summary).mid(3)), u';'))
            << "guarded is the default";

        const std::vector<QStringList> raw = read(CsvFormulas::Raw);
        ASSERT_EQ(raw.size(), 7u);
        EXPECT_EQ(raw[1].mid(0, 2), (QStringList{text, text}));
        EXPECT_EQ(raw[4][1], text);
    }
}
