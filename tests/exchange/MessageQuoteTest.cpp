// SPDX-License-Identifier: MIT
// What messages and the report quote from files: one line, cut short.

#include "exchange/MessageQuote.h"

#include <gtest/gtest.h>

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
