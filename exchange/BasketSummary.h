// SPDX-License-Identifier: MIT
#pragma once

// Everything the CSV export and the printable report show about a basket,
// as plain texts the window fills in. Numbers are texts written with the
// user's decimal separator, exactly as the screen shows them; the budget
// texts (headroom, share used, verdict, fit of each crate type) come from
// the budget evaluation and are shown as given.

#include "base/ProgramVersion.h"
#include "exchange/BillOfMaterials.h"

#include <QDateTime>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// The basket columns after the code: three currents, power, slots.
inline constexpr int kSummaryColumns = 5;
inline constexpr std::array<const char16_t*, kSummaryColumns> kLimitCaptions = {
    u"+5V, А", u"+7V, А", u"-7V, А", u"МОЩНОСТЬ, ВТ", u"КОЛ-ВО СЛОТОВ"};

struct SummaryEntry {
    QString code, name;
    std::array<QString, kSummaryColumns> values; // in kLimitCaptions order
};

// One limit of the ticked crate type against the basket.
struct LimitSummary {
    QString limit;     // the crate type's limit
    QString total;     // the basket's sum
    QString headroom;  // what is left (negative when over)
    QString shareUsed; // share of the limit used, e.g. "85 %"
};

// The crate drawn slot by slot: the ticked crate type's slot count and
// each entry's slot count, in the order of `entries`.
struct SummaryRack {
    std::int64_t slotCount = 0;
    std::vector<std::int64_t> entrySlots;
};

// How well one crate type would take the basket.
struct SummaryFit {
    QString crateType;
    QString note;
};

struct BasketSummary {
    QString decimalSeparator;
    QDateTime madeAt;
    QString catalogFileName;
    QString catalogSha256;
    QString programVersion = ProgramVersion(); // the program that made it
    QString crateType;                         // the ticked one
    std::vector<SummaryEntry> entries;
    std::array<LimitSummary, kSummaryColumns> limits;
    QString verdict;              // one sentence
    std::vector<SummaryFit> fits; // all seven crate types, in list order
    // The picture is left out of the report when not given, and so is the
    // bill out of the report and the CSV. BasketSummaryOf gives both.
    std::optional<SummaryRack> rack;
    // The entries grouped by code; the report lists a basket of more than
    // kMaxReportRows entries by it alone.
    std::vector<BillLine> bill;
};
