// SPDX-License-Identifier: MIT
// Arithmetic of the column lists: fields, average width, stops, tab positions.

#include "kit/TabStops.h"
#include "ThrownMessage.h"
#include "base/Exception.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include <optional>

namespace {

struct FieldCase {
    const char* row;
    int column;
    std::optional<const char*> field; // nullopt: the column is out of range
};

TEST(FieldOfRow, Cases)
{
    const FieldCase cases[] = {
        {"ABC", 0, "ABC"}, // no tabs: the whole row
        {"", 0, ""},       // an empty row has one empty field
        {"A\tB\tC", 0, "A"},
        {"A\tB\tC", 1, "B"},
        {"A\tB\tC", 2, "C"}, // k = number of tabs: the last field
        {"A\tB\t", 2, ""},   // ... empty when the row ends with a tab
        {"\t1\t2", 0, ""},   // a leading tab gives an empty field 0
        {"\t1\t2", 1, "1"},
        {"A\t\tC", 1, ""},            // empty field between two tabs
        {"A\tB\tC", 3, std::nullopt}, // past the last field
        {"ABC", 1, std::nullopt},
        {"A\tB", -1, std::nullopt}, // negative column
    };
    for (const FieldCase& c : cases) {
        const QString row = QString::fromUtf8(c.row);
        SCOPED_TRACE(std::string(c.row) + " column " + std::to_string(c.column));
        if (c.field) {
            EXPECT_EQ(FieldOfRow(row, c.column), QString::fromUtf8(*c.field));
        } else {
            EXPECT_EQ(ThrownMessage<EListError>([&] { FieldOfRow(row, c.column); }),
                      "Column parameter out of range");
        }
    }
}

TEST(TabCount, CountsTabsOnly)
{
    EXPECT_EQ(TabCount(u""), 0);
    EXPECT_EQ(TabCount(u"A B"), 0);
    EXPECT_EQ(TabCount(u"\tA\t\t"), 3);
    // As UTF-8, a tab after a malformed byte is still a tab.
    EXPECT_EQ(TabCount(QByteArrayView("")), 0);
    EXPECT_EQ(TabCount(QByteArrayView("\xd0\tЖ\t")), 2);
}

TEST(AverageCharWidth, RoundsHalfToEven)
{
    const struct {
        int width, a;
    } cases[] = {
        {286, 6},                               // 5.5
        {234, 4},                               // 4.5
        {312, 6},                               // exactly 6
        {313, 6}, {337, 6}, {338, 6}, {339, 7}, // around 6.5
        {364, 7}, {26, 1},                      // 0.5 would be 0; a is never below 1
        {0, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AverageCharWidth(c.width), c.a) << c.width;
}

TEST(AutomaticTabStops, AccumulatesWidestFields)
{
    EXPECT_TRUE(AutomaticTabStops({}, 6).isEmpty());
    // 100 div 6 + 4 = 20; 20 + 13 div 6 + 4 = 26; 26 + 0 + 4 = 30
    EXPECT_EQ(AutomaticTabStops({100, 13, 0}, 6), (QList<int>{20, 26, 30}));
}

TEST(TabStopsFromHeader, BasketHeaderExample)
{
    // Six sections; the last one's width never feeds a stop.
    const QList<int> widths{253, 125, 125, 125, 125, 999};
    EXPECT_EQ(TabStopsFromHeader({1, 2, 3, 4, 5}, widths, 6), (QList<int>{43, 64, 84, 105, 126}));
    EXPECT_EQ(TabStopsFromHeader({1, 2, 3, 4, 5}, {253, 125, 125, 125, 125, -7}, 6),
              (QList<int>{43, 64, 84, 105, 126}));
}

TEST(TabStopsFromHeader, OnlyExistingStopsBelowTheLastSection)
{
    // More stops than sections - 1: the rest keep their values.
    EXPECT_EQ(TabStopsFromHeader({1, 2, 3}, {150, 50}, 6), (QList<int>{26, 2, 3}));
    // Fewer stops: no stop is added.
    EXPECT_EQ(TabStopsFromHeader({7}, {150, 60, 60, 60}, 6), (QList<int>{26}));
    // A single section or no stops: nothing changes.
    EXPECT_EQ(TabStopsFromHeader({7, 9}, {150}, 6), (QList<int>{7, 9}));
    EXPECT_TRUE(TabStopsFromHeader({}, {150, 50}, 6).isEmpty());
}

TEST(NextTabPosition, Cases)
{
    const QList<int> several{156, 300, 450};
    const struct {
        int x;
        QList<int> stops;
        int expected;
    } cases[] = {
        {20, several, 156},  {155, several, 156}, {156, several, 300}, // strictly beyond
        {449, several, 450}, {450, several, 480}, // past the last: multiples of 8 * a = 48
        {500, several, 528}, {0, {100}, 100},     // a single stop repeats
        {100, {100}, 200},   {250, {100}, 300},   {10, {}, 48}, // no stops: multiples of 8 * a
        {48, {}, 96},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NextTabPosition(c.x, c.stops, 6), c.expected) << c.x;
}

TEST(FieldPositions, FieldsFollowStopsAndPushOnWhenWide)
{
    // Two-field row under a header whose first section is 150 wide: stop 26 at 156.
    EXPECT_EQ(FieldPositions({40, 80}, 2, {26 * 6}, 6), (QList<int>{2, 156}));
    // A field 0 wider than its column pushes field 1 to the next repeat of the stop.
    EXPECT_EQ(FieldPositions({200, 10}, 2, {156}, 6), (QList<int>{2, 312}));
    // Check-list text starts at 23; a wide field 1 pushes field 2 past stop 2.
    EXPECT_EQ(FieldPositions({10, 200, 5}, 23, {100, 200, 400}, 6), (QList<int>{23, 100, 400}));
    EXPECT_EQ(FieldPositions({10}, 2, {100}, 6), (QList<int>{2}));
    // Positions far past any screen stop at the largest int instead of wrapping.
    const QList<int> far = FieldPositions(QList<int>(30, 1), 2, {110'000'000}, 6);
    EXPECT_EQ(far.back(), INT_MAX);
    EXPECT_TRUE(std::is_sorted(far.begin(), far.end()));
}

} // namespace
