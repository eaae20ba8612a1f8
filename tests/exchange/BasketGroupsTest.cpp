// SPDX-License-Identifier: MIT
// The basket grouped by code, and what messages quote from files.

#include "ExchangeSupport.h"

#include "exchange/BasketGroups.h"
#include "exchange/MessageQuote.h"

#include <gtest/gtest.h>

namespace {

SummaryEntry Entry(const QString& code, const char* name, std::array<const char*, 5> values)
{
    SummaryEntry entry{code, QString::fromUtf8(name), {}};
    for (size_t i = 0; i < values.size(); ++i)
        entry.values[i] = QString::fromUtf8(values[i]);
    return entry;
}

} // namespace

TEST(BasketGroups, OneRowPerExactCodeInFirstOrderWithExactSums)
{
    const QString tabbed = QStringLiteral("TB\tX");
    const QString arrow = QStringLiteral("TB→X");
    const std::vector<SummaryEntry> entries = {
        Entry(QStringLiteral("A"), "Первый", {"0,1", "0", "0,01", "1,5", "1"}),
        Entry(tabbed, "С табуляцией", {"0,7", "0", "0", "1", "2"}),
        Entry(QStringLiteral("A"), "Первый", {"0,2", "0", "0,02", "1,5", "1"}),
        Entry(arrow, "Со стрелкой", {"0,01", "0", "0", "1", "1"}),
        Entry(QStringLiteral("A"), "Первый", {"0,7", "1E-5", "0,07", "x", "1"}),
    };
    const std::vector<CodeGroup> groups = GroupByCode(entries, QStringLiteral(","));
    ASSERT_EQ(groups.size(), 3u);
    const struct {
        QString code;
        int count;
        std::array<const char*, 5> sums;
    } expected[] = {
        // 0,1 + 0,2 + 0,7 is exactly 1; the power "x" is no number.
        {QStringLiteral("A"), 3, {"1", "1E-5", "0,1", "—", "3"}},
        {tabbed, 1, {"0,7", "0", "0", "1", "2"}},
        {arrow, 1, {"0,01", "0", "0", "1", "1"}},
    };
    for (size_t i = 0; i < groups.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(groups[i].code, expected[i].code);
        EXPECT_EQ(groups[i].count, expected[i].count);
        for (size_t column = 0; column < kSummaryColumns; ++column)
            EXPECT_EQ(groups[i].sums[column], QString::fromUtf8(expected[i].sums[column]));
    }
    EXPECT_EQ(groups[0].name, QStringLiteral("Первый"));
    EXPECT_TRUE(GroupByCode({}, QStringLiteral(",")).empty());
}

TEST(MessageQuote, LongTextsAreCutWithAnEllipsisAndStayOneLine)
{
    const QString emoji = QStringLiteral("\U0001F600");
    const struct {
        QString text;
        int max;
        QString quoted;
    } cases[] = {
        {QStringLiteral("MK1-100"), 200, QStringLiteral("MK1-100")},
        {QString(200, u'x'), 200, QString(200, u'x')},
        {QString(201, u'x'), 200, QString(200, u'x') + u'…'},
        {QString(7'000'000, u'Ж'), 200, QString(200, u'Ж') + u'…'},
        {QStringLiteral("ab") + emoji, 3, QStringLiteral("ab…")}, // the pair is not split
        {QStringLiteral("two\r\nlines"), 200, QStringLiteral("two  lines")},
        {QString(), 200, QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.left(20).toStdString());
        EXPECT_EQ(QuoteForMessage(c.text, c.max), c.quoted);
    }
}
