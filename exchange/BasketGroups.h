// SPDX-License-Identifier: MIT
#pragma once

// The basket as a bill of materials: one line per block code, with how
// many entries have it and their summed amounts. The report falls back on
// it where a basket is too long to list entry by entry.

#include "exchange/BasketSummary.h"

#include <QString>

#include <array>
#include <vector>

struct CodeGroup {
    QString code, name; // the name of the code's first entry
    int count = 0;
    // Exact sums of the entries' values, written with the separator; "—"
    // where a value is not a number.
    std::array<QString, kSummaryColumns> sums;
};

// Groups in the order their codes first appear; codes are compared exactly.
std::vector<CodeGroup> GroupByCode(const std::vector<SummaryEntry>& entries,
                                   const QString& decimalSeparator);
