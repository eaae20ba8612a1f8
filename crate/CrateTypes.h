// SPDX-License-Identifier: MIT
#pragma once

// Crate types as typed values: a name and five limits held as exact
// decimals. The program starts with the seven built into it
// (BuiltInCrateTypes); the basket model takes whatever list it is given,
// so a list read from elsewhere replaces them without touching the checks.
// On screen each type is a row of the crate type check list, made by
// CrateTypeRow; nothing reads a number back from that row.

#include "crate/ExactDecimal.h"

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

// The five limits, in the order of a crate type row's fields 1..5.
enum class LimitKind { V5, V7, V_7, Power, Slots };
inline constexpr int kLimitCount = 5;

// A value per limit, in LimitKind order: the limits of a crate type, or
// the sums of a basket. The slots are whole numbers.
using LimitValues = std::array<ExactDecimal, kLimitCount>;

inline const ExactDecimal& At(const LimitValues& values, LimitKind kind)
{
    return values[static_cast<std::size_t>(kind)];
}

struct TCrateType {
    QString name;
    LimitValues limits;
};

inline constexpr int kCrateTypeCount = 7;
// The seven crate types built into the program, in list order; row 0 is
// the initial choice.
const std::vector<TCrateType>& BuiltInCrateTypes();
// The same list under its older name.
inline const std::vector<TCrateType>& CrateTypes()
{
    return BuiltInCrateTypes();
}

// The crate type's slot count as a whole number: 0 for none or fewer,
// saturated at the largest std::int64_t, a fraction cut off.
std::int64_t SlotCountOf(const TCrateType& type);

// Field 0 and five values as one tab-separated row: the one layout of the
// crate type rows and of the totals row. Decimal amounts are printed with
// `decimalSeparator`, the slots as a whole number in full.
QString LimitsRow(const QString& field0, const LimitValues& values,
                  const QString& decimalSeparator);

// "name<TAB>+5V<TAB>+7V<TAB>-7V<TAB>power<TAB>slots".
QString CrateTypeRow(const TCrateType& type, const QString& decimalSeparator);

// The position of the type named `name`, or -1.
int CrateTypeIndex(const std::vector<TCrateType>& types, const QString& name);

// Fields of a crate type row and of the totals row.
enum LimitField { kFieldV5 = 1, kFieldV7 = 2, kFieldV_7 = 3, kFieldPower = 4, kFieldSlots = 5 };
