// SPDX-License-Identifier: MIT
#pragma once

// The bill of materials: the basket's entries grouped by code, each code
// once with its name, how many entries carry it and their summed amounts.
// The sums are exact; slot sums are held at the largest std::int64_t
// rather than wrapping. Codes keep the order in which they first appear
// in the basket, so the list reads in the order of the crate.

#include "crate/ExactDecimal.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

// One basket entry with its exact amounts.
struct BillEntry {
    QString code, name;
    ExactDecimal v5, v7, v_7, power;
    std::int64_t slots = 0;
};

struct BillLine {
    QString code, name; // the name of the first entry of the code
    std::int64_t count = 0;
    ExactDecimal v5, v7, v_7, power;
    std::int64_t slots = 0;
};

std::vector<BillLine> BillOfMaterials(const std::vector<BillEntry>& entries);

// Captions of the bill's columns: code, name, count, three currents,
// power, slots.
QStringList BillCaptions();
// A line's fields in BillCaptions order, the amounts as decimal text.
QStringList BillFields(const BillLine& line, const QString& decimalSeparator);
