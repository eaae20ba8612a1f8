// SPDX-License-Identifier: MIT
#pragma once

// The seven crate types built into the program. On screen each is a row of
// the crate type check list: name and five limits as tab-separated text,
// read back by field whenever a check needs them.

#include <QString>

#include <array>
#include <cstdint>

struct CrateType {
    const char16_t* name;
    double v5;    // +5 V channel limit, A
    double v7;    // +7 V channel limit, A
    double v_7;   // -7 V channel limit, A
    double power; // W
    std::int64_t slots;
};

inline constexpr int kCrateTypeCount = 7;
const std::array<CrateType, kCrateTypeCount>& CrateTypes();

// "name<TAB>+5V<TAB>+7V<TAB>-7V<TAB>power<TAB>slots", numbers as decimal text.
QString CrateTypeRow(const CrateType& type, const QString& decimalSeparator);

// The row layout shared by crate types and totals: field 0, then the four
// amounts as decimal text and the slots as a whole number.
QString LimitsRow(const QString& field0, double v5, double v7, double v_7, double power,
                  std::int64_t slots, const QString& decimalSeparator);

// Fields of a crate type row and of the totals row.
enum LimitField { kFieldV5 = 1, kFieldV7 = 2, kFieldV_7 = 3, kFieldPower = 4, kFieldSlots = 5 };
