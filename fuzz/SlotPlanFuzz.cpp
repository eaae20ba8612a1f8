// SPDX-License-Identifier: MIT
// The crate's slot plan and its picture's geometry on any slot counts,
// the largest 64-bit ones too: no overflow (the sanitizers watch), no
// endless loop, and what the picture needs holds.
//
// Input: the crate's slot count, the picture's width, then up to 64
// entries' slot counts, each 8 bytes (a count of zero is an entry of no
// slot).

#include "kit/RackPicture.h"
#include "crate/SlotPlan.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

std::int64_t Next(const std::uint8_t*& data, std::size_t& size)
{
    std::int64_t value = 0;
    const std::size_t n = size < 8 ? size : 8;
    std::memcpy(&value, data, n);
    data += n;
    size -= n;
    return value;
}

void Check(bool holds)
{
    if (!holds)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::int64_t crate = Next(data, size);
    const double width = static_cast<double>(static_cast<std::uint64_t>(Next(data, size)) % 8192);
    std::vector<std::int64_t> counts;
    while (size > 0 && counts.size() < 64)
        counts.push_back(Next(data, size));

    const SlotPlan plan = PlanSlots(counts, crate);
    Check(plan.entries.size() == counts.size());
    bool outside = false;
    std::int64_t before = 0; // the last slot taken before each entry
    std::vector<TRackItem> items;
    for (const SlotPlacement& place : plan.entries) {
        Check(place.firstSlot >= 1 && place.firstSlot >= before);
        Check(place.noSlot ? place.lastSlot == before : place.lastSlot >= place.firstSlot);
        Check(!outside || place.outside); // once outside, every later one is
        outside = place.outside;
        Check(place.outside || place.noSlot || place.lastSlot <= crate);
        before = place.lastSlot;
        TRackItem item;
        item.firstSlot = place.firstSlot;
        item.noSlot = place.noSlot;
        item.slotSpan = place.noSlot ? 0 : place.lastSlot - place.firstSlot + 1;
        item.outside = place.outside;
        items.push_back(item);
    }
    for (const SlotRun& run : plan.freeRuns)
        Check(run.first >= 1 && run.first <= run.last && run.last == crate);

    // The picture's free runs are the plan's.
    const std::vector<TRackRun> free = RackFreeRuns(items, crate);
    Check(free.size() == plan.freeRuns.size());
    for (std::size_t i = 0; i < free.size(); ++i)
        Check(free[i].first == plan.freeRuns[i].first && free[i].last == plan.freeRuns[i].last);
    Check(RackParts(items, free).size() == items.size() + free.size());

    TRackMetrics metrics;
    const TRackLayout layout = RackLayout(items, crate, QRectF(0, 0, width, 80), metrics);
    Check(layout.blocks.size() == items.size());
    Check(layout.freeRuns.size() == free.size());
    // Numbers rise, never closer than a label, so there are few of them.
    Check(layout.numbers.size() <= static_cast<std::size_t>(width / metrics.digitWidth) + 2);
    for (std::size_t i = 1; i < layout.numbers.size(); ++i)
        Check(layout.numbers[i].slot > layout.numbers[i - 1].slot);
    // The first slot and the last are numbered, unless the crate is too
    // narrow for two numbers.
    if (!layout.numbers.empty())
        Check(layout.numbers.front().slot == 1 &&
              (layout.numbers.back().slot == crate || layout.numbers.size() == 1));
    return 0;
}
