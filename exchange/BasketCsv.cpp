// SPDX-License-Identifier: MIT
#include "exchange/BasketCsv.h"

namespace {

QString Text(const char16_t* text)
{
    return QString::fromUtf16(text);
}

QStringList WithLimits(const QString& first, const QString& second,
                       const std::array<QString, kSummaryColumns>& values,
                       CsvFormulas formulas = CsvFormulas::Raw)
{
    const auto text = [formulas](const QString& field) {
        return formulas == CsvFormulas::Guarded ? GuardedCsvText(field) : field;
    };
    QStringList fields{text(first), text(second)};
    for (const QString& value : values)
        fields << value;
    return fields;
}

} // namespace

QString GuardedCsvText(const QString& text)
{
    // Tab and carriage return too: some spreadsheets skip them before a formula.
    static const QString kFormulaStarts = QStringLiteral("=+-@\t\r");
    if (!text.isEmpty() && kFormulaStarts.contains(text.front()))
        return QLatin1Char('\'') + text;
    return text;
}

QByteArray BasketCsv(const BasketSummary& summary, CsvFormulas formulas)
{
    const QChar separator = CsvFieldSeparator(summary.decimalSeparator);
    QString csv;
    const auto addRow = [&](const QStringList& fields) {
        QStringList quoted;
        for (const QString& field : fields)
            quoted << CsvField(field, separator);
        csv += quoted.join(separator) + QStringLiteral("\r\n");
    };

    std::array<QString, kSummaryColumns> captions;
    for (int i = 0; i < kSummaryColumns; ++i)
        captions[static_cast<size_t>(i)] = Text(kLimitCaptions[static_cast<size_t>(i)]);
    addRow(WithLimits(Text(u"ШИФР"), Text(u"НАИМЕНОВАНИЕ"), captions));
    for (const SummaryEntry& entry : summary.entries)
        addRow(WithLimits(entry.code, entry.name, entry.values, formulas));

    std::array<QString, kSummaryColumns> totals, limits, headroom;
    for (size_t i = 0; i < kSummaryColumns; ++i) {
        totals[i] = summary.limits[i].total;
        limits[i] = summary.limits[i].limit;
        headroom[i] = summary.limits[i].headroom;
    }
    addRow(WithLimits(Text(u"ИТОГО"), QString(), totals));
    addRow(WithLimits(Text(u"ТИП КОРЗИНЫ"), summary.crateType, limits, formulas));
    addRow(WithLimits(Text(u"ЗАПАС"), QString(), headroom));
    if (!summary.bill.empty()) {
        addRow({});
        addRow({Text(u"СПЕЦИФИКАЦИЯ")});
        addRow(BillCaptions());
        for (const BillLine& line : summary.bill)
            addRow(BillFields(line, summary.decimalSeparator));
    }
    // What made the figures: the program and the catalog it read.
    addRow({Text(u"ВЕРСИЯ"), summary.programVersion, summary.catalogSha256});
    return QByteArrayLiteral("\xEF\xBB\xBF") + csv.toUtf8();
}
