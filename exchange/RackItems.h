// SPDX-License-Identifier: MIT
#pragma once

// The basket's entries as the crate's picture shows them: placed by the
// slot plan, named by code and name, each with the tooltip the crate view
// shows (code, name, slots from–to and the four amounts). The window and
// the printed report build their pictures through this one function.

#include "crate/Basket.h"
#include "kit/RackPicture.h"
#include "crate/SlotPlan.h"

#include <QString>

#include <array>
#include <vector>

struct RackEntryTexts {
    QString code, name;
    // +5 V, +7 V, −7 V currents and the power, as the basket shows them.
    std::array<QString, 4> amounts;
};

// `entries` and `plan.entries` are in the same basket order; the shorter
// one decides how many items there are.
std::vector<TRackItem> RackItemsOfPlan(const SlotPlan& plan,
                                       const std::vector<RackEntryTexts>& entries);

// The basket's entries in a crate of `crateSlots` slots, as the window's
// picture shows them.
std::vector<TRackItem> RackItemsOfDevices(const std::vector<TDevice>& devices,
                                          std::int64_t crateSlots);

QString RackToolTip(const RackEntryTexts& entry, const SlotPlacement& place);
