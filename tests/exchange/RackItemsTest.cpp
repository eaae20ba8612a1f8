// SPDX-License-Identifier: MIT
// The basket's entries as the crate's picture shows them, and their
// tooltips.

#include "exchange/RackItems.h"

#include <gtest/gtest.h>

namespace {

RackEntryTexts Texts(const char* code, const char* name)
{
    return {QString::fromUtf8(code),
            QString::fromUtf8(name),
            {QStringLiteral("0,5"), QStringLiteral("0"), QStringLiteral("0,05"),
             QStringLiteral("3,2")}};
}

TEST(RackItems, PlacedByThePlanWithTheirTooltips)
{
    const SlotPlan plan = PlanSlots({2, 0, 1, 3}, 4);
    const std::vector<TRackItem> items =
        RackItemsOfPlan(plan, {Texts("AI-16D", "Модуль ввода"), Texts("CENTI-Q", "Центратор"),
                               Texts("DO-8", ""), Texts("ZB012", "Заглушка")});
    ASSERT_EQ(items.size(), 4u);
    const struct {
        std::int64_t first, span;
        bool noSlot, outside;
        const char* name;
        const char* tip;
    } expected[] = {
        {1, 2, false, false, "слоты 1–2: AI-16D, Модуль ввода",
         "AI-16D — Модуль ввода\nслоты 1–2\n+5V, А 0,5\n+7V, А 0\n-7V, А 0,05\nМОЩНОСТЬ, ВТ 3,2"},
        {3, 0, true, false, "без слота: CENTI-Q, Центратор",
         "CENTI-Q — Центратор\nбез слота\n+5V, А 0,5\n+7V, А 0\n-7V, А 0,05\nМОЩНОСТЬ, ВТ 3,2"},
        {3, 1, false, false, "слот 3: DO-8",
         "DO-8\nслот 3\n+5V, А 0,5\n+7V, А 0\n-7V, А 0,05\nМОЩНОСТЬ, ВТ 3,2"},
        {4, 3, false, true, "вне корзины: ZB012, Заглушка",
         "ZB012 — Заглушка\nслоты 4–6 (вне корзины)\n+5V, А 0,5\n+7V, А 0\n-7V, А 0,05\n"
         "МОЩНОСТЬ, ВТ 3,2"},
    };
    for (size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(items[i].firstSlot, expected[i].first);
        EXPECT_EQ(items[i].slotSpan, expected[i].span);
        EXPECT_EQ(items[i].noSlot, expected[i].noSlot);
        EXPECT_EQ(items[i].outside, expected[i].outside);
        EXPECT_EQ(RackItemName(items[i]), QString::fromUtf8(expected[i].name));
        EXPECT_EQ(items[i].toolTip, QString::fromUtf8(expected[i].tip));
    }
    // The free slots the picture draws are the plan's.
    const std::vector<TRackRun> free = RackFreeRuns(items, 4);
    ASSERT_EQ(free.size(), plan.freeRuns.size());
    EXPECT_EQ(free[0], (TRackRun{plan.freeRuns[0].first, plan.freeRuns[0].last}));
    // Fewer texts than placements: only as many items as both have.
    EXPECT_EQ(RackItemsOfPlan(plan, {Texts("A", "")}).size(), 1u);
}

} // namespace
