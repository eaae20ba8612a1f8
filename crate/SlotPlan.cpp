// SPDX-License-Identifier: MIT
#include "crate/SlotPlan.h"

#include <algorithm>
#include <limits>

namespace {

constexpr std::int64_t kLargest = std::numeric_limits<std::int64_t>::max();

// a + b for a, b >= 0, held at the largest value instead of wrapping;
// `passed` tells that the true sum lies beyond it.
std::int64_t SaturatingAdd(std::int64_t a, std::int64_t b, bool* passed = nullptr)
{
    const bool over = a > kLargest - b;
    if (passed != nullptr)
        *passed = over;
    return over ? kLargest : a + b;
}

} // namespace

SlotPlan PlanSlots(const std::vector<std::int64_t>& slotCounts, std::int64_t crateSlots)
{
    crateSlots = std::max<std::int64_t>(crateSlots, 0);
    SlotPlan plan;
    plan.entries.reserve(slotCounts.size());
    std::int64_t used = 0;       // last slot taken so far (0: none)
    std::int64_t usedInside = 0; // last slot taken by an entry inside the crate
    bool outside = false;
    for (const std::int64_t count : slotCounts) {
        SlotPlacement place;
        bool firstBeyond = false, lastBeyond = false;
        place.firstSlot = SaturatingAdd(used, 1, &firstBeyond);
        place.noSlot = count <= 0;
        place.lastSlot = place.noSlot ? used : SaturatingAdd(used, count, &lastBeyond);
        // A slot beyond the largest number is past any crate, though it is
        // held at the largest; an entry of no slot takes none to pass.
        const bool passes =
            !place.noSlot && (firstBeyond || lastBeyond || place.lastSlot > crateSlots);
        outside = outside || passes;
        place.outside = outside;
        if (!outside)
            usedInside = place.lastSlot;
        used = place.lastSlot;
        plan.entries.push_back(place);
    }
    if (usedInside < crateSlots)
        plan.freeRuns.push_back({usedInside + 1, crateSlots});
    return plan;
}
