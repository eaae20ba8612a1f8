// SPDX-License-Identifier: MIT
#pragma once

// Where each basket entry sits in the crate. The basket order is the slot
// order: each entry takes the next slots after the one before it, and
// nothing ever moves back into a gap. An entry whose last slot lies past
// the crate's slot count is outside, and so is every entry after it, even
// one that would still fit: the picture must agree with the order the
// basket keeps.
//
// Pure arithmetic on slot counts; it never overflows. Slot numbers are
// 1-based and saturate at the largest std::int64_t, so a slot count of
// 9223372036854775807 gives a last slot of that value, not a negative one.
// Negative counts (the basket never holds them) count as no slot, a
// negative crate as a crate of no slots.

#include <cstdint>
#include <vector>

struct SlotPlacement {
    // First and last slot taken. An entry of no slot stands before
    // `firstSlot` (the next slot after the entries before it) and has
    // lastSlot = firstSlot - 1.
    std::int64_t firstSlot = 1;
    std::int64_t lastSlot = 0;
    bool noSlot = false;
    bool outside = false;

    friend bool operator==(const SlotPlacement&, const SlotPlacement&) = default;
};

// Slots `first` to `last` inclusive.
struct SlotRun {
    std::int64_t first = 1;
    std::int64_t last = 0;

    friend bool operator==(const SlotRun&, const SlotRun&) = default;
};

struct SlotPlan {
    std::vector<SlotPlacement> entries; // one per entry, in basket order
    std::vector<SlotRun> freeRuns;      // free slots inside the crate, left to right
};

// `slotCounts` are the entries' slot counts in basket order.
SlotPlan PlanSlots(const std::vector<std::int64_t>& slotCounts, std::int64_t crateSlots);
