// SPDX-License-Identifier: MIT
#include "crate/CrateTypes.h"
#include "base/DecimalText.h"

#include <QStringList>

#include "QStringPrinter.h"

#include <gtest/gtest.h>

namespace {

QString Field(const QString& row, int index)
{
    return row.split(QLatin1Char('\t')).at(index);
}

TEST(CrateTypes, RowsInListOrder)
{
    const char16_t* const expected[kCrateTypeCount] = {
        u"KSV-1HA (QT310SB)\t3\t1.4\t0.7\t28.5\t4", u"KSV-1HA (QT310SE)\t4\t1.4\t0.8\t35.4\t4",
        u"KSV-1HB (QT310SE)\t4\t1.4\t0.8\t35.4\t4", u"KSV-1HC(R) (QT552)\t4\t1.4\t0.8\t35.4\t4",
        u"KSV-3HA (QT27)\t10\t3\t3\t90\t17",        u"KSV-3HB (QT23)\t16\t5\t3\t140\t16",
        u"KSV-3HC (QT23)\t16\t5\t3\t140\t16",
    };
    for (int i = 0; i < kCrateTypeCount; ++i)
        EXPECT_EQ(CrateTypeRow(CrateTypes()[i], QStringLiteral(".")),
                  QString::fromUtf16(expected[i]))
            << "row " << i;
}

TEST(CrateTypes, CommaSeparatorPrintsAndReadsBack)
{
    const QString comma = QStringLiteral(",");
    const QString row0 = CrateTypeRow(CrateTypes()[0], comma);
    EXPECT_EQ(row0, QStringLiteral("KSV-1HA (QT310SB)\t3\t1,4\t0,7\t28,5\t4"));
    EXPECT_EQ(Field(row0, kFieldV5), QStringLiteral("3"));
    EXPECT_EQ(ParseDecimal(Field(row0, kFieldV7), comma), 1.4);
}

TEST(CrateTypes, LimitsReadBackFromRows)
{
    struct Case {
        int row;
        double v5, v7, v_7, power;
        std::int64_t slots;
    };
    const Case cases[] = {{5, 16, 5, 3, 140, 16}, {4, 10, 3, 3, 90, 17}, {1, 4, 1.4, 0.8, 35.4, 4}};
    for (const QString& separator : {QStringLiteral("."), QStringLiteral(",")}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message()
                         << "row " << c.row << " separator " << separator.toStdString());
            const QString row = CrateTypeRow(CrateTypes()[c.row], separator);
            EXPECT_EQ(ParseDecimal(Field(row, kFieldV5), separator), c.v5);
            EXPECT_EQ(ParseDecimal(Field(row, kFieldV7), separator), c.v7);
            EXPECT_EQ(ParseDecimal(Field(row, kFieldV_7), separator), c.v_7);
            EXPECT_EQ(ParseDecimal(Field(row, kFieldPower), separator), c.power);
            EXPECT_EQ(ParseInteger(Field(row, kFieldSlots)), c.slots);
        }
    }
}

} // namespace
