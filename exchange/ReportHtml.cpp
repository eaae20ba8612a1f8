// SPDX-License-Identifier: MIT
#include "exchange/ReportHtml.h"

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

// «ИТОГО», the cells `between`, and the basket's sums.
QStringList TotalsRow(const BasketSummary& summary, const QStringList& between)
{
    QStringList totals = QStringList{Text(u"ИТОГО")} + between;
    for (const LimitSummary& limit : summary.limits)
        totals << limit.total;
    return totals;
}

QStringList BillRow(const BillLine& line, const QString& decimalSeparator)
{
    QStringList row = BillFields(line, decimalSeparator);
    row[0] = Shown(row[0]);
    row[1] = Shown(row[1]);
    return row;
}

// The bill of materials, at most kMaxReportRows codes of it, and its
// totals row when it stands for the entries.
QString BillSection(const BasketSummary& summary, bool withTotals)
{
    const std::vector<BillLine>& bill = summary.bill;
    const size_t listed = std::min(bill.size(), static_cast<size_t>(kMaxReportRows));
    std::vector<QStringList> rows;
    rows.reserve(listed + 1);
    for (size_t i = 0; i < listed; ++i)
        rows.push_back(BillRow(bill[i], summary.decimalSeparator));
    if (withTotals)
        rows.push_back(TotalsRow(summary, {QString(), QString::number(summary.entries.size())}));
    QString html = Heading(u"СПЕЦИФИКАЦИЯ") +
                   Table(BillCaptions(), rows, 2, {13, 25, 8, 10, 10, 10, 13, 11}, 8, 0);
    if (bill.size() > listed)
        html += Paragraph(Text(u"… и ещё %1 шифров.").arg(bill.size() - listed));
    return html;
}

// Every entry while there are at most kMaxReportRows of them, then the
// bill of materials; a longer basket as its bill alone, one row per code,
// so that the report is laid out in bounded time whatever the basket
// holds. A summary without a bill lists its first kMaxReportRows entries.
QString EntriesAndBill(const BasketSummary& summary, const QStringList& captions)
{
    const size_t count = summary.entries.size();
    const size_t max = static_cast<size_t>(kMaxReportRows);
    if (count > max && !summary.bill.empty())
        return Paragraph(Text(u"В корзине %1 блоков, больше, чем перечисляется по одному "
                              u"(%2): ниже они сведены по шифрам.")
                             .arg(count)
                             .arg(kMaxReportRows)) +
               BillSection(summary, true);

    std::vector<QStringList> rows;
    const size_t listed = std::min(count, max);
    rows.reserve(listed + 1);
    for (size_t i = 0; i < listed; ++i) {
        const SummaryEntry& entry = summary.entries[i];
        QStringList row{Shown(entry.code), Shown(entry.name)};
        for (const QString& value : entry.values)
            row << value;
        rows.push_back(row);
    }
    rows.push_back(TotalsRow(summary, {QString()}));
    QString html = Table(QStringList{Text(u"ШИФР"), Text(u"НАИМЕНОВАНИЕ")} + captions, rows, 2,
                         {14, 26, 12, 12, 12, 12, 12}, 8, 0);
    if (count > listed)
        html += Paragraph(Text(u"… и ещё %1 блоков.").arg(count - listed));
    if (!summary.bill.empty())
        html += BillSection(summary, false);
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
    html += EntriesAndBill(summary, captions);

    html += Heading(u"ЗАКЛЮЧЕНИЕ");
    html += Paragraph(summary.verdict);

    html += Heading(u"ПРИГОДНОСТЬ ТИПОВ КОРЗИН");
    std::vector<QStringList> fitRows;
    for (const SummaryFit& fit : summary.fits)
        fitRows.push_back({fit.crateType, fit.note});
    html += Table({Text(u"ТИП КОРЗИНЫ"), Text(u"ПРИГОДНОСТЬ")}, fitRows, 2);
    return html + QStringLiteral("</body></html>");
}
