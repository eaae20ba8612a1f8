// SPDX-License-Identifier: MIT
#include "ReportDocument.h"

#include "AtomicFile.h"
#include "ReportHtml.h"

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

void WriteReportPdf(const QTextDocument& report, const QString& path)
{
    // Laid out in memory first and then written as any other file the user
    // keeps: whole or not at all, an older file untouched on failure.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setTitle(report.metaInformation(QTextDocument::DocumentTitle));
        writer.setCreator(QStringLiteral("Veltrum"));
        SetReportPageLayout(writer);
        PrintReport(report, writer);
    }
    WriteFileAtomically(path, pdf.data(),
                        QStringLiteral("Не удалось записать PDF в файл \"%1\": %2"));
}
