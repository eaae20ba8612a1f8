#pragma once

// Basket entries and the arithmetic over them: sums, the totals row and the
// limit checks. Errors: number texts that do not convert raise EConvertError.

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <vector>

// One basket entry.
struct TDevice {
    QString Ident;
    double V5 = 0;
    double V7 = 0;
    double V_7 = 0;
    double TotalPower = 0;
    std::int64_t SlotsCount = 0;
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

struct Totals {
    double v5 = 0, v7 = 0, v_7 = 0, power = 0;
    std::int64_t slots = 0;
};

std::int64_t UsedSlots(const std::vector<TDevice>& devices);
Totals SumDevices(const std::vector<TDevice>& devices);

// "<TAB>v5<TAB>v7<TAB>v_7<TAB>power<TAB>slots".
QString TotalsRow(const Totals& totals, const QString& decimalSeparator);

// True when a new entry of `slotsCount` still fits a crate of `slotLimit`
// with `usedSlots` taken.
bool SlotsFit(std::int64_t slotLimit, std::int64_t usedSlots, std::int64_t slotsCount);

// Checks the sums against the limit fields 1..5 of a crate type row, in the
// order +5 V, +7 V, -7 V, power, slots. A sum passes when the limit is not
// below the sum as it is displayed (its decimal text read back), so a sum
// that shows the limit's own value never fails.
bool WithinLimits(const Totals& totals, const std::array<QString, 5>& limitTexts,
                  const QString& decimalSeparator);
