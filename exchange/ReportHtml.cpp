// SPDX-License-Identifier: MIT
#include "exchange/ReportHtml.h"

#include "exchange/BasketGroups.h"
#include "exchange/MessageQuote.h"

#include <QStringList>

#include <algorithm>
#include <cstring>

namespace {

QString Text(const char16_t* text)
{
    return QString::fromUtf16(text);
}

QString Escaped(const QString& text)
{
    return text.toHtmlEscaped();
}

// Number cells never break: "0,05001" must not become "0," and "05001".
// Their captions break at spaces only, one word a line. Codes never break
// either: "EDGE-5V-30" over "01" would read as two codes.
QString Cell(const QString& text, const char* tag, bool number, bool unbroken)
{
    QString content = Escaped(text);
    if (number && std::strcmp(tag, "th") == 0)
        content.replace(QLatin1Char(' '), QStringLiteral("<br>"));
    const bool nowrap = (number || unbroken) && std::strcmp(tag, "td") == 0;
    return QStringLiteral("<%1 align=\"%2\"%3>%4</%1>")
        .arg(QLatin1String(tag), number ? QStringLiteral("right") : QStringLiteral("left"),
             nowrap ? QStringLiteral(" style=\"white-space: nowrap\"") : QString(), content);
}

QString Row(const QStringList& cells, const char* tag, int numbersFrom,
            const std::vector<int>& widths = {}, int unbrokenColumn = -1)
{
    QString row = QStringLiteral("<tr>");
    for (int i = 0; i < cells.size(); ++i) {
        QString cell = Cell(cells[i], tag, i >= numbersFrom, i == unbrokenColumn);
        if (static_cast<size_t>(i) < widths.size())
            cell.insert(static_cast<qsizetype>(std::strlen(tag)) + 1,
                        QStringLiteral(" width=\"%1%\"").arg(widths[static_cast<size_t>(i)]));
        row += cell;
    }
    return row + QStringLiteral("</tr>");
}

// `widths`, in per cent of the page, keep names and codes from being
// broken inside words when the numbers would take the room.
// `unbrokenColumn` (the code) is never broken across lines.
QString Table(const QStringList& header, const std::vector<QStringList>& rows, int numbersFrom,
              const std::vector<int>& widths = {}, int pointSize = 9, int unbrokenColumn = -1)
{
    QString table =
        QStringLiteral(
            "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\" "
            "style=\"border-collapse: collapse; border-color: #808080; font-size: %1pt\">")
            .arg(pointSize);
    table += Row(header, "th", numbersFrom, widths);
    for (const QStringList& row : rows)
        table += Row(row, "td", numbersFrom, {}, unbrokenColumn);
    return table + QStringLiteral("</table>");
}

QString Heading(const char16_t* text)
{
    return QStringLiteral("<h3>") + Escaped(Text(text)) + QStringLiteral("</h3>");
}

QString Paragraph(const QString& text)
{
    return QStringLiteral("<p>") + Escaped(text) + QStringLiteral("</p>");
}

QStringList Captions()
{
    QStringList captions;
    for (const char16_t* caption : kLimitCaptions)
        captions << Text(caption);
    return captions;
}

// A code or name in the table, cut so that one cell cannot take pages.
QString Shown(const QString& text)
{
    return QuoteForMessage(text, kMaxReportCellCharacters);
}

QStringList TotalsRow(const BasketSummary& summary, int blanks)
{
    QStringList totals{Text(u"ИТОГО")};
    for (int i = 0; i < blanks; ++i)
        totals << QString();
    for (const LimitSummary& limit : summary.limits)
        totals << limit.total;
    return totals;
}

// Every entry while there are at most kMaxReportRows of them; a longer
// basket as its bill of materials, one row per code, so that the report is
// laid out in bounded time whatever the basket holds.
QString EntriesTable(const BasketSummary& summary, const QStringList& captions)
{
    const QString code = Text(u"ШИФР");
    const QString name = Text(u"НАИМЕНОВАНИЕ");
    std::vector<QStringList> rows;
    if (summary.entries.size() <= static_cast<size_t>(kMaxReportRows)) {
        for (const SummaryEntry& entry : summary.entries) {
            QStringList row{Shown(entry.code), Shown(entry.name)};
            for (const QString& value : entry.values)
                row << value;
            rows.push_back(row);
        }
        rows.push_back(TotalsRow(summary, 1));
        return Table(QStringList{code, name} + captions, rows, 2, {14, 26, 12, 12, 12, 12, 12}, 8,
                     0);
    }
    const std::vector<CodeGroup> groups = GroupByCode(summary.entries, summary.decimalSeparator);
    QString html = Paragraph(Text(u"В корзине %1 блоков, больше, чем перечисляется по одному "
                                  u"(%2): ниже они сведены по шифрам.")
                                 .arg(summary.entries.size())
                                 .arg(kMaxReportRows));
    const size_t listed = std::min(groups.size(), static_cast<size_t>(kMaxReportRows));
    for (size_t i = 0; i < listed; ++i) {
        const CodeGroup& group = groups[i];
        QStringList row{Shown(group.code), Shown(group.name), QString::number(group.count)};
        for (const QString& sum : group.sums)
            row << sum;
        rows.push_back(row);
    }
    rows.push_back(TotalsRow(summary, 2));
    html += Table(QStringList{code, name, Text(u"КОЛ-ВО")} + captions, rows, 2,
                  {14, 22, 8, 11, 11, 11, 12, 11}, 8, 0);
    if (groups.size() > listed)
        html += Paragraph(Text(u"… и ещё %1 шифров.").arg(groups.size() - listed));
    return html;
}

} // namespace

QString ReportHtml(const BasketSummary& summary)
{
    QString html = QStringLiteral("<html><head><title>") + Escaped(Text(kReportTitle)) +
                   QStringLiteral("</title></head><body>");
    html += QStringLiteral("<h2>") + Escaped(Text(kReportTitle)) + QStringLiteral("</h2>");
    html += Paragraph(Text(u"Дата и время: ") +
                      summary.madeAt.toString(QStringLiteral("dd.MM.yyyy HH:mm")));
    html += Paragraph(Text(u"Каталог: ") + summary.catalogFileName);
    html += Paragraph(Text(u"SHA-256: ") + summary.catalogSha256);
    html += Paragraph(Text(u"Программа: Veltrum ") + summary.programVersion);

    html += Heading(u"ТИП КОРЗИНЫ");
    html += Paragraph(summary.crateType);
    std::vector<QStringList> limitRows;
    const QStringList captions = Captions();
    for (int i = 0; i < kSummaryColumns; ++i) {
        const LimitSummary& limit = summary.limits[static_cast<size_t>(i)];
        limitRows.push_back(
            {captions[i], limit.limit, limit.total, limit.headroom, limit.shareUsed});
    }
    html += Table({Text(u"ПОКАЗАТЕЛЬ"), Text(u"ПРЕДЕЛ"), Text(u"ИТОГО"), Text(u"ЗАПАС"),
                   Text(u"ИСПОЛЬЗОВАНО")},
                  limitRows, 1);

    if (summary.rack) {
        html += Heading(u"КОРЗИНА ПО СЛОТАМ");
        html += Paragraph(Text(kRackPicturePlaceholder));
    }

    html += Heading(u"СОСТАВ КОРЗИНЫ");
    html += EntriesTable(summary, captions);

    if (!summary.bill.empty())
        html += BillOfMaterialsHtml(summary.bill, summary.decimalSeparator);

    html += Heading(u"ЗАКЛЮЧЕНИЕ");
    html += Paragraph(summary.verdict);

    html += Heading(u"ПРИГОДНОСТЬ ТИПОВ КОРЗИН");
    std::vector<QStringList> fitRows;
    for (const SummaryFit& fit : summary.fits)
        fitRows.push_back({fit.crateType, fit.note});
    html += Table({Text(u"ТИП КОРЗИНЫ"), Text(u"ПРИГОДНОСТЬ")}, fitRows, 2);
    return html + QStringLiteral("</body></html>");
}

QString BillOfMaterialsHtml(const std::vector<BillLine>& bill, const QString& decimalSeparator)
{
    std::vector<QStringList> rows;
    for (const BillLine& line : bill)
        rows.push_back(BillFields(line, decimalSeparator));
    return Heading(u"СПЕЦИФИКАЦИЯ") +
           Table(BillCaptions(), rows, 2, {13, 25, 8, 11, 11, 11, 11, 10}, 8);
}
