// SPDX-License-Identifier: MIT
#pragma once

// Shared pieces of the exchange tests: printing basket entries in failures,
// and a basket summary of known content.

#include "exchange/BasketFile.h"
#include "exchange/BasketSummary.h"

#include <QString>

#include <ostream>

inline bool operator==(const DeviceTexts& a, const DeviceTexts& b)
{
    return a.ident == b.ident && a.v5 == b.v5 && a.v7 == b.v7 && a.v_7 == b.v_7 &&
           a.totalPower == b.totalPower && a.slotsCount == b.slotsCount;
}

inline void PrintTo(const DeviceTexts& t, std::ostream* out)
{
    *out << (QStringList{t.ident, t.v5, t.v7, t.v_7, t.totalPower, t.slotsCount}
                 .join(QLatin1Char('|'))
                 .toStdString());
}

// Two entries, one with characters that need quoting, with `separator`
// in every fractional number.
inline BasketSummary SampleSummary(const QString& separator)
{
    const auto n = [&separator](const char* text) {
        return QString::fromLatin1(text).replace(QLatin1Char('.'), separator);
    };
    BasketSummary summary;
    summary.decimalSeparator = separator;
    summary.madeAt = QDateTime(QDate(2024, 3, 5), QTime(14, 7));
    summary.catalogFileName = QStringLiteral("VELTRUM.db");
    summary.catalogSha256 = QStringLiteral("0123456789abcdef0123456789abcdef"
                                           "0123456789abcdef0123456789abcdef");
    summary.crateType = QStringLiteral("KSV-1HA (QT310SE)");
    summary.entries = {
        {QStringLiteral("MK1-100"),
         QStringLiteral("Модуль контроллера"),
         {n("0.5"), n("0.1"), n("0.05"), n("3.2"), QStringLiteral("1")}},
        {QStringLiteral("ЗГ-1;\"2\""),
         QStringLiteral("Заглушка, \"малая\"\r\nвторая строка"),
         {n("1.25"), QStringLiteral("0"), QStringLiteral("1E-5"), QStringLiteral("12"),
          QStringLiteral("2")}},
    };
    summary.limits = {{
        {QStringLiteral("4"), n("1.75"), n("2.25"), QStringLiteral("44 %")},
        {n("1.4"), n("0.1"), n("1.3"), QStringLiteral("7 %")},
        {n("0.8"), n("0.05001"), n("0.74999"), QStringLiteral("6 %")},
        {n("35.4"), n("15.2"), n("20.2"), QStringLiteral("43 %")},
        {QStringLiteral("4"), QStringLiteral("3"), QStringLiteral("1"), QStringLiteral("75 %")},
    }};
    summary.verdict = QStringLiteral("Блоки укладываются во все пределы корзины.");
    summary.fits = {{QStringLiteral("KSV-1HA (QT310SB)"), QStringLiteral("не подходит")},
                    {QStringLiteral("KSV-3HA (QT27)"), QStringLiteral("подходит")}};
    return summary;
}
