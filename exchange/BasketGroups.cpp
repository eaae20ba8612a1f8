// SPDX-License-Identifier: MIT
#include "exchange/BasketGroups.h"

#include "crate/ExactDecimal.h"
#include "base/Exception.h"

#include <QHash>

#include <optional>

std::vector<CodeGroup> GroupByCode(const std::vector<SummaryEntry>& entries,
                                   const QString& decimalSeparator)
{
    std::vector<CodeGroup> groups;
    // A sum stops being one as soon as a value of its group is not a number.
    std::vector<std::array<std::optional<ExactDecimal>, kSummaryColumns>> sums;
    QHash<QString, size_t> groupOfCode;
    for (const SummaryEntry& entry : entries) {
        auto found = groupOfCode.constFind(entry.code);
        if (found == groupOfCode.constEnd()) {
            found = groupOfCode.insert(entry.code, groups.size());
            groups.push_back({entry.code, entry.name, 0, {}});
            sums.emplace_back();
            sums.back().fill(ExactDecimal());
        }
        const size_t group = found.value();
        ++groups[group].count;
        for (size_t i = 0; i < kSummaryColumns; ++i) {
            std::optional<ExactDecimal>& sum = sums[group][i];
            if (!sum)
                continue;
            try {
                *sum += ExactDecimal::Parse(entry.values[i], decimalSeparator);
            } catch (const EConvertError&) {
                sum.reset();
            }
        }
    }
    for (size_t group = 0; group < groups.size(); ++group)
        for (size_t i = 0; i < kSummaryColumns; ++i)
            groups[group].sums[i] =
                sums[group][i] ? sums[group][i]->Format(decimalSeparator) : QStringLiteral("—");
    return groups;
}
