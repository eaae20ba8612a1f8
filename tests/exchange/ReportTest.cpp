// SPDX-License-Identifier: MIT
// The printable report: written as a PDF offscreen and read back as text
// with pdftotext, as a reader of the printout would see it.

#include "ExchangeSupport.h"

#include "ReportDocument.h"
#include "ReportHtml.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

// Output of a poppler tool on `pdf`; fails the test when the tool fails.
QString RunPoppler(const QString& tool, const QStringList& arguments)
{
    QProcess process;
    process.start(tool, arguments);
    EXPECT_TRUE(process.waitForStarted()) << tool.toStdString() << " (poppler-utils) is missing";
    EXPECT_TRUE(process.waitForFinished());
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().constData();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The PDF's text with runs of blanks and line breaks made single spaces,
// so that checks do not depend on where lines break in table cells.
QString Words(const QString& text)
{
    return text.simplified();
}

} // namespace

TEST(Report, PdfShowsTheBasketItsTotalsAndTheVerdictOnA4)
{
    BasketSummary summary = SampleSummary(QStringLiteral(","));
    summary.entries[1].code = QStringLiteral("<i>&1"); // shown as text, not markup
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    const std::unique_ptr<QTextDocument> report = NewReportDocument(summary);
    WriteReportPdf(*report, pdf);
    if (qEnvironmentVariableIsSet("VELTRUM_KEEP_REPORT"))
        QFile::copy(pdf, qEnvironmentVariable("VELTRUM_KEEP_REPORT"));

    const QString text = Words(RunPoppler(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}));
    for (const QString& expected : {
             QStringLiteral("ОТЧЁТ О СОСТАВЕ КОРЗИНЫ"),
             QStringLiteral("05.03.2024 14:07"),
             QStringLiteral("VELTRUM.db"),
             summary.catalogSha256,
             summary.crateType,
             QStringLiteral("MK1-100"),
             QStringLiteral("Модуль контроллера"),
             QStringLiteral("<i>&1"),
             QStringLiteral("1,75"),    // total +5 V
             QStringLiteral("0,05001"), // total -7 V
             QStringLiteral("15,2"),    // total power
             QStringLiteral("20,2"),    // headroom of the power
             QStringLiteral("43 %"),    // share of the power used
             summary.verdict,
             QStringLiteral("KSV-3HA (QT27)"),
             QStringLiteral("не подходит"),
             QStringLiteral("Программа: Veltrum ") + ProgramVersion(),
         })
        EXPECT_TRUE(text.contains(expected))
            << expected.toStdString() << "\nin: " << text.toStdString();

    const QString info = RunPoppler(QStringLiteral("pdfinfo"), {pdf});
    EXPECT_TRUE(info.contains(QStringLiteral("(A4)"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("ОТЧЁТ О СОСТАВЕ КОРЗИНЫ"))) << info.toStdString();
    // The PDF names the program that made it, with its version.
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Creator:\\s+Veltrum ") +
                                                 QRegularExpression::escape(ProgramVersion()) +
                                                 QStringLiteral("\n"))))
        << info.toStdString();
}

TEST(Report, ALongBasketRunsOverSeveralPagesWithEveryEntry)
{
    BasketSummary summary = SampleSummary(QStringLiteral("."));
    summary.entries.resize(150, summary.entries[0]);
    for (size_t i = 0; i < summary.entries.size(); ++i)
        summary.entries[i].code = QStringLiteral("BLK-%1").arg(i, 3, 10, QLatin1Char('0'));
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("long.pdf"));
    WriteReportPdf(*NewReportDocument(summary), pdf);
    const QString info = RunPoppler(QStringLiteral("pdfinfo"), {pdf});
    EXPECT_FALSE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))))
        << info.toStdString();
    const QString text = RunPoppler(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    for (const char* code : {"BLK-000", "BLK-075", "BLK-149"})
        EXPECT_TRUE(text.contains(QLatin1String(code))) << code;
    EXPECT_TRUE(Words(text).contains(summary.verdict));
}
