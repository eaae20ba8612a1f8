// SPDX-License-Identifier: MIT
#pragma once

// The report as one QTextDocument, and its printing on A4. The print
// preview, the printer and a PDF all print this one document.
// Errors: WriteReportPdf throws EFileError naming the file.

#include "exchange/BasketSummary.h"

#include <QString>

#include <memory>

class QPagedPaintDevice;
class QTextDocument;

std::unique_ptr<QTextDocument> NewReportDocument(const BasketSummary& summary);
// A4, portrait, 15 mm margins.
void SetReportPageLayout(QPagedPaintDevice& device);
void PrintReport(const QTextDocument& report, QPagedPaintDevice& device);
void WriteReportPdf(const QTextDocument& report, const QString& path);
// "Veltrum 1.0.0": the creator a PDF of the report names, whichever way it
// is made (the preview's printer, or WriteReportPdf).
QString ReportCreator();
