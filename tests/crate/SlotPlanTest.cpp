// SPDX-License-Identifier: MIT
// Where each basket entry sits in the crate: sequential slots, no
// back-filling, entries of no slot, outside entries and the free slots.

#include "crate/SlotPlan.h"

#include <gtest/gtest.h>

#include <limits>
#include <ostream>

inline void PrintTo(const SlotPlacement& p, std::ostream* out)
{
    *out << p.firstSlot << "-" << p.lastSlot << (p.noSlot ? " no slot" : "")
         << (p.outside ? " outside" : "");
}

inline void PrintTo(const SlotRun& r, std::ostream* out)
{
    *out << r.first << "-" << r.last;
}

namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

SlotPlacement In(std::int64_t first, std::int64_t last)
{
    return {first, last, false, false};
}
SlotPlacement Out(std::int64_t first, std::int64_t last)
{
    return {first, last, false, true};
}
SlotPlacement Marker(std::int64_t before, bool outside = false)
{
    return {before, before - 1, true, outside};
}

TEST(SlotPlan, PlacesEntriesInBasketOrder)
{
    const struct {
        const char* what;
        std::vector<std::int64_t> counts;
        std::int64_t crate;
        std::vector<SlotPlacement> places;
        std::vector<SlotRun> free;
    } cases[] = {
        {"empty crate", {}, 17, {}, {{1, 17}}},
        {"empty basket, crate of no slots", {}, 0, {}, {}},
        {"one-slot entries leave the rest free",
         {1, 2, 1},
         17,
         {In(1, 1), In(2, 3), In(4, 4)},
         {{5, 17}}},
        {"a full crate has no free run", {2, 2}, 4, {In(1, 2), In(3, 4)}, {}},
        {"the last slot exactly at the crate's end is inside", {3, 1}, 4, {In(1, 3), In(4, 4)}, {}},
        {"no back-filling: a later one-slot entry does not fill the gap",
         {2, 3, 1},
         4,
         {In(1, 2), Out(3, 5), Out(6, 6)},
         {{3, 4}}},
        {"an entry of no slot stands at its place in the order",
         {2, 0, 1},
         4,
         {In(1, 2), Marker(3), In(3, 3)},
         {{4, 4}}},
        {"entries of no slot first and last", {0, 4, 0}, 4, {Marker(1), In(1, 4), Marker(5)}, {}},
        {"an entry of no slot after an outside one is outside",
         {5, 0},
         4,
         {Out(1, 5), Marker(6, true)},
         {{1, 4}}},
        {"a smaller crate puts the tail outside",
         {1, 1, 1, 1, 1},
         3,
         {In(1, 1), In(2, 2), In(3, 3), Out(4, 4), Out(5, 5)},
         {}},
        {"a crate of no slots puts every slot-taking entry outside",
         {0, 1},
         0,
         {Marker(1), Out(1, 1)},
         {}},
        {"negative counts take no slot, a negative crate has none",
         {-3, 1},
         -5,
         {Marker(1), Out(1, 1)},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const SlotPlan plan = PlanSlots(c.counts, c.crate);
        EXPECT_EQ(plan.entries, c.places);
        EXPECT_EQ(plan.freeRuns, c.free);
    }
}

TEST(SlotPlan, HugeSlotCountsSaturateInsteadOfWrapping)
{
    const struct {
        const char* what;
        std::vector<std::int64_t> counts;
        std::int64_t crate;
        std::vector<SlotPlacement> places;
        std::vector<SlotRun> free;
    } cases[] = {
        {"the largest count from slot 1", {kMax}, 17, {Out(1, kMax)}, {{1, 17}}},
        {"the largest count after one slot holds at the largest",
         {1, kMax, 1, 0},
         17,
         {In(1, 1), Out(2, kMax), Out(kMax, kMax), {kMax, kMax, true, true}},
         {{2, 17}}},
        {"the largest crate takes the largest count", {kMax}, kMax, {In(1, kMax)}, {}},
        {"two halves of the largest crate",
         {kMax / 2, kMax / 2 + 1},
         kMax,
         {In(1, kMax / 2), In(kMax / 2 + 1, kMax)},
         {}},
        {"one slot more than the largest crate is outside, though held at the largest",
         {kMax / 2 + 1, kMax / 2 + 1},
         kMax,
         {In(1, kMax / 2 + 1), Out(kMax / 2 + 2, kMax)},
         {{kMax / 2 + 2, kMax}}},
        {"a slot after a full largest crate is outside",
         {kMax, 1, 0},
         kMax,
         {In(1, kMax), Out(kMax, kMax), {kMax, kMax, true, true}},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const SlotPlan plan = PlanSlots(c.counts, c.crate);
        EXPECT_EQ(plan.entries, c.places);
        EXPECT_EQ(plan.freeRuns, c.free);
    }
}

} // namespace
