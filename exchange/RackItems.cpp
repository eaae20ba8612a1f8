// SPDX-License-Identifier: MIT
#include "exchange/RackItems.h"

#include <algorithm>

namespace {

QString Text(const char16_t* text)
{
    return QString::fromUtf16(text);
}

QString Slots(const SlotPlacement& place)
{
    if (place.noSlot)
        return Text(u"без слота");
    const QString range = place.firstSlot == place.lastSlot
                              ? Text(u"слот %1").arg(place.firstSlot)
                              : Text(u"слоты %1–%2").arg(place.firstSlot).arg(place.lastSlot);
    return place.outside ? range + Text(u" (вне корзины)") : range;
}

} // namespace

QString RackToolTip(const RackEntryTexts& entry, const SlotPlacement& place)
{
    // Built for every entry on every change of the basket: one string
    // appended to, no list of lines.
    static constexpr std::array<const char16_t*, 4> captions = {u"+5V, А ", u"+7V, А ", u"-7V, А ",
                                                                u"МОЩНОСТЬ, ВТ "};
    QString tip;
    tip.reserve(entry.code.size() + entry.name.size() + 96);
    tip += entry.code;
    if (!entry.name.isEmpty()) {
        tip += QStringView(u" — ");
        tip += entry.name;
    }
    tip += QLatin1Char('\n');
    tip += Slots(place);
    for (size_t i = 0; i < captions.size(); ++i) {
        tip += QLatin1Char('\n');
        tip += QStringView(captions[i]);
        tip += entry.amounts[i];
    }
    return tip;
}

std::vector<TRackItem> RackItemsOfPlan(const SlotPlan& plan,
                                       const std::vector<RackEntryTexts>& entries)
{
    std::vector<TRackItem> items;
    const size_t count = std::min(plan.entries.size(), entries.size());
    items.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const SlotPlacement& place = plan.entries[i];
        TRackItem item;
        item.code = entries[i].code;
        item.name = entries[i].name;
        item.toolTip = RackToolTip(entries[i], place);
        item.firstSlot = place.firstSlot;
        item.noSlot = place.noSlot;
        item.slotSpan = place.noSlot ? 0 : place.lastSlot - place.firstSlot + 1;
        item.outside = place.outside;
        items.push_back(std::move(item));
    }
    return items;
}

std::vector<TRackItem> RackItemsOfDevices(const std::vector<TDevice>& devices,
                                          std::int64_t crateSlots)
{
    std::vector<RackEntryTexts> texts;
    texts.reserve(devices.size());
    for (const TDevice& device : devices)
        texts.push_back({device.Texts.ident,
                         device.Name,
                         {device.Texts.v5, device.Texts.v7, device.Texts.v_7,
                          device.Texts.totalPower}});
    return RackItemsOfPlan(PlanSlots(EntrySlotCounts(devices), crateSlots), texts);
}
