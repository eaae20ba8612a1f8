// SPDX-License-Identifier: MIT
#pragma once

// Basket entries and the arithmetic over them: sums, the totals row and the
// limit checks. The sums are exact decimal sums of the amounts as the
// details area shows them. Errors: number texts that do not convert raise
// EConvertError.

#include "ExactDecimal.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <vector>

// One basket entry, made by MakeDevice from the texts the details area shows.
struct TDevice {
    QString Ident;
    double V5 = 0;
    double V7 = 0;
    double V_7 = 0;
    double TotalPower = 0;
    std::int64_t SlotsCount = 0;
    // The four amounts exactly as their texts give them; the sums add these.
    ExactDecimal ExactV5, ExactV7, ExactV_7, ExactTotalPower;
};

// The texts of the details area an entry is made from.
struct DeviceTexts {
    QString ident, v5, v7, v_7, totalPower, slotsCount;
};

// Parses the texts; throws EConvertError for a value that is not a decimal,
// or a slot count that is not a whole number of zero or more.
TDevice MakeDevice(const DeviceTexts& texts, const QString& decimalSeparator);

// The basket row: the six texts joined by tabs, unchanged.
QString BasketRow(const DeviceTexts& texts);

// Exact sums of a basket's amounts.
struct Totals {
    ExactDecimal v5, v7, v_7, power;
    std::int64_t slots = 0;
};

std::int64_t UsedSlots(const std::vector<TDevice>& devices);
Totals SumDevices(const std::vector<TDevice>& devices);

// "<TAB>v5<TAB>v7<TAB>v_7<TAB>power<TAB>slots", the amounts as decimal text.
QString TotalsRow(const Totals& totals, const QString& decimalSeparator);

// True when a new entry of `slotsCount` still fits a crate of `slotLimit`
// with `usedSlots` taken.
bool SlotsFit(std::int64_t slotLimit, std::int64_t usedSlots, std::int64_t slotsCount);

// Checks the sums against the limit fields 1..5 of a crate type row, in the
// order +5 V, +7 V, -7 V, power, slots. A sum passes when it is not above
// the limit's decimal value, compared exactly.
bool WithinLimits(const Totals& totals, const std::array<QString, 5>& limitTexts,
                  const QString& decimalSeparator);
