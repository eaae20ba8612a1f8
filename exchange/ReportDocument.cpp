// SPDX-License-Identifier: MIT
#include "exchange/ReportDocument.h"

#include "exchange/AtomicFile.h"
#include "base/Exception.h"
#include "base/ProgramVersion.h"
#include "exchange/RackItems.h"
#include "exchange/RackTextObject.h"
#include "exchange/ReportHtml.h"

#include <QBuffer>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

std::unique_ptr<QTextDocument> NewReportDocument(const BasketSummary& summary)
{
    auto report = std::make_unique<QTextDocument>();
    QFont font(QStringLiteral("DejaVu Sans"), 9);
    font.setStyleHint(QFont::SansSerif);
    report->setDefaultFont(font);
    report->setHtml(ReportHtml(summary)); // its <title> is the document's title
    if (summary.rack) {
        std::vector<RackEntryTexts> entries;
        for (const SummaryEntry& entry : summary.entries)
            entries.push_back(
                {entry.code,
                 entry.name,
                 {entry.values[0], entry.values[1], entry.values[2], entry.values[3]}});
        TRackTextObject::Insert(
            *report, QString::fromUtf16(kRackPicturePlaceholder),
            RackItemsOfPlan(PlanSlots(summary.rack->entrySlots, summary.rack->slotCount), entries),
            summary.rack->slotCount);
    }
    return report;
}

void SetReportPageLayout(QPagedPaintDevice& device)
{
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
}

void PrintReport(const QTextDocument& report, QPagedPaintDevice& device)
{
    report.print(&device);
}

QString ReportCreator()
{
    return QStringLiteral("Veltrum ") + ProgramVersion();
}

void WriteReportPdf(const QTextDocument& report, const QString& path)
{
    // Laid out in memory first and then written as any other file the user
    // keeps: whole or not at all, an older file untouched on failure.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setTitle(report.metaInformation(QTextDocument::DocumentTitle));
        writer.setCreator(ReportCreator());
        SetReportPageLayout(writer);
        PrintReport(report, writer);
    }
    WriteFileAtomically(path, pdf.data(),
                        QStringLiteral("Не удалось записать PDF в файл \"%1\": %2"));
}
