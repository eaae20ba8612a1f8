// SPDX-License-Identifier: MIT
#include "exchange/BillOfMaterials.h"

#include "exchange/BasketSummary.h"

#include <QHash>

#include <limits>

namespace {

std::int64_t SaturatingAdd(std::int64_t a, std::int64_t b)
{
    constexpr std::int64_t largest = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t smallest = std::numeric_limits<std::int64_t>::min();
    if (b > 0 && a > largest - b)
        return largest;
    if (b < 0 && a < smallest - b)
        return smallest;
    return a + b;
}

} // namespace

std::vector<BillLine> BillOfMaterials(const std::vector<BillEntry>& entries)
{
    std::vector<BillLine> lines;
    QHash<QString, size_t> lineOfCode;
    for (const BillEntry& entry : entries) {
        auto found = lineOfCode.constFind(entry.code);
        if (found == lineOfCode.cend()) {
            found = lineOfCode.insert(entry.code, lines.size());
            lines.push_back({entry.code, entry.name, 0, {}, {}, {}, {}, 0});
        }
        BillLine& line = lines[*found];
        line.count = SaturatingAdd(line.count, 1);
        line.v5 += entry.v5;
        line.v7 += entry.v7;
        line.v_7 += entry.v_7;
        line.power += entry.power;
        line.slots = SaturatingAdd(line.slots, entry.slots);
    }
    return lines;
}

QStringList BillCaptions()
{
    QStringList captions{QStringLiteral("ШИФР"), QStringLiteral("НАИМЕНОВАНИЕ"),
                         QStringLiteral("КОЛ-ВО")};
    for (const char16_t* caption : kLimitCaptions)
        captions << QString::fromUtf16(caption);
    return captions;
}

QStringList BillFields(const BillLine& line, const QString& decimalSeparator)
{
    return {line.code,
            line.name,
            QString::number(line.count),
            line.v5.Format(decimalSeparator),
            line.v7.Format(decimalSeparator),
            line.v_7.Format(decimalSeparator),
            line.power.Format(decimalSeparator),
            QString::number(line.slots)};
}
