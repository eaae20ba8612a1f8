// SPDX-License-Identifier: MIT
#pragma once

// Basket entries and the arithmetic over them: exact sums, the totals row
// and the slot check. An entry is made once, from the texts the details
// area shows; from then on its numbers are exact decimals and its texts
// are kept only to be shown and written as they were added. Errors: number
// texts that do not convert raise EConvertError.

#include "crate/CrateTypes.h"
#include "crate/ExactDecimal.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

// The texts an entry is made from: the details area's, a basket file's or
// the catalog's. The name is shown in the CSV and the report only.
struct DeviceTexts {
    QString ident, v5, v7, v_7, totalPower, slotsCount;
    QString name = QString(); // given where it is known; six-text lists leave it out
};

// One basket entry, made by MakeDevice.
struct TDevice {
    QString Ident;
    QString Name;
    double V5 = 0;
    double V7 = 0;
    double V_7 = 0;
    double TotalPower = 0;
    std::int64_t SlotsCount = 0;
    // The four amounts exactly as their texts give them; the sums add these.
    ExactDecimal ExactV5, ExactV7, ExactV_7, ExactTotalPower;
    // The texts the entry was made from, as shown and saved.
    DeviceTexts Texts;
};

// Parses the texts; throws EConvertError for a value that is not a decimal,
// or a slot count that is not a whole number of zero or more.
TDevice MakeDevice(const DeviceTexts& texts, const QString& decimalSeparator);

// The entries' slot counts in basket order, as the crate's slot plan takes them.
std::vector<std::int64_t> EntrySlotCounts(const std::vector<TDevice>& devices);

// The basket row: the six texts joined by tabs, unchanged.
QString BasketRow(const DeviceTexts& texts);

// Exact sums of a basket's amounts. The slots too are summed without a
// bound: a count near the 64-bit maximum beside another never wraps round.
struct Totals {
    ExactDecimal v5, v7, v_7, power, slots;
    LimitValues Values() const { return {v5, v7, v_7, power, slots}; }
};

Totals SumDevices(const std::vector<TDevice>& devices);

// "<TAB>v5<TAB>v7<TAB>v_7<TAB>power<TAB>slots", the amounts as decimal text.
QString TotalsRow(const Totals& totals, const QString& decimalSeparator);

// True when new entries of `slotsCount` slots still fit a crate of
// `slotLimit` with `usedSlots` taken, compared exactly.
bool SlotsFit(const ExactDecimal& slotLimit, const ExactDecimal& usedSlots,
              const ExactDecimal& slotsCount);
