// SPDX-License-Identifier: MIT
// The printable report: written as a PDF offscreen and read back as text
// with pdftotext, as a reader of the printout would see it.

#include "ExchangeSupport.h"

#include "exchange/BillOfMaterials.h"
#include "exchange/ReportDocument.h"
#include "exchange/ReportHtml.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <gtest/gtest.h>

#include <map>

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

namespace {

// Pixels of exactly the over-limit red in `image`.
int RedPixels(const QImage& image)
{
    int red = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            red += image.pixel(x, y) == qRgb(255, 0, 0) ? 1 : 0;
    return red;
}

// Where the lines of a page end on the right: the column where most of
// them end (the tables' right border, the text's right edge) and the
// farthest any ink reaches.
struct TextEdge {
    int usual = -1, farthest = -1;
};

TextEdge RightEdges(const QImage& image)
{
    std::map<int, int> rowsEndingAt;
    TextEdge edge;
    for (int y = 0; y < image.height(); ++y)
        for (int x = image.width() - 1; x >= 0; --x)
            if (image.pixel(x, y) != qRgb(255, 255, 255)) {
                ++rowsEndingAt[x];
                edge.farthest = std::max(edge.farthest, x);
                break;
            }
    int most = 0;
    for (const auto& [x, rows] : rowsEndingAt)
        if (rows > most) {
            most = rows;
            edge.usual = x;
        }
    return edge;
}

} // namespace

TEST(Report, ShowsTheCrateDrawnAsVectorsAndTheBillOfMaterials)
{
    const struct {
        const char* what;
        std::int64_t crateSlots;
        bool outside;
    } cases[] = {{"all inside", 4, false},
                 {"the second entry outside a smaller crate", 1, true},
                 {"a crate of many slots, as wide as the text", 64, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        BasketSummary summary = SampleSummary(QStringLiteral(","));
        summary.rack = SummaryRack{c.crateSlots, {1, 2}};
        summary.bill = BillOfMaterials(
            {{summary.entries[0].code, summary.entries[0].name, {}, {}, {}, {}, 1},
             {summary.entries[0].code, summary.entries[0].name, {}, {}, {}, {}, 1},
             {QStringLiteral("ZB-7"), QStringLiteral("Панель"), {}, {}, {}, {}, 0}});
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("rack.pdf"));
        WriteReportPdf(*NewReportDocument(summary), pdf);
        if (qEnvironmentVariableIsSet("VELTRUM_KEEP_REPORT"))
            QFile::copy(pdf, qEnvironmentVariable("VELTRUM_KEEP_REPORT") +
                                 QStringLiteral("-%1.pdf").arg(c.crateSlots));

        const QString text =
            Words(RunPoppler(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}));
        EXPECT_TRUE(text.contains(QStringLiteral("КОРЗИНА ПО СЛОТАМ"))) << text.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("RACK"))) << "the placeholder is replaced";
        // The bill, row by row as laid out: code, name, count, sums, slots.
        const QString rows = Words(RunPoppler(
            QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")}));
        EXPECT_TRUE(rows.contains(QStringLiteral("СПЕЦИФИКАЦИЯ ШИФР НАИМЕНОВАНИЕ")))
            << rows.toStdString();
        EXPECT_TRUE(rows.contains(QStringLiteral("MK1-100 Модуль контроллера 2 0 0 0 0 2")))
            << rows.toStdString();
        EXPECT_TRUE(rows.contains(QStringLiteral("ZB-7 Панель 1 0 0 0 0 0"))) << rows.toStdString();
        // The picture comes before the entries, the bill after them.
        EXPECT_LT(text.indexOf(QStringLiteral("КОРЗИНА ПО СЛОТАМ")),
                  text.indexOf(QStringLiteral("СОСТАВ КОРЗИНЫ")));
        EXPECT_LT(text.indexOf(QStringLiteral("СОСТАВ КОРЗИНЫ")),
                  text.indexOf(QStringLiteral("СПЕЦИФИКАЦИЯ")));

        // Drawn as lines and text: the PDF holds no image at all.
        const QStringList images =
            RunPoppler(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf})
                .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        EXPECT_EQ(images.size(), 2)
            << images.join(QLatin1Char('\n')).toStdString(); // the list's header only

        // Rendered, the entry outside the crate shows in the over-limit red.
        const QString png = dir.filePath(QStringLiteral("page"));
        RunPoppler(QStringLiteral("pdftoppm"),
                   {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("100"),
                    QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                    QStringLiteral("1"), QStringLiteral("-singlefile"), pdf, png});
        const QImage page(png + QStringLiteral(".png"));
        ASSERT_FALSE(page.isNull());
        // The picture keeps within the text's width, as the tables do.
        const TextEdge edge = RightEdges(page);
        EXPECT_LE(edge.farthest, edge.usual + 2) << "drawn past the text's right edge";
        if (c.outside)
            EXPECT_GT(RedPixels(page), 50);
        else
            EXPECT_EQ(RedPixels(page), 0);
    }
}

// The block (the cell) in the laid-out report whose text is `text`.
static QTextBlock BlockOf(QTextDocument& report, const QString& text)
{
    for (QTextBlock block = report.begin(); block.isValid(); block = block.next())
        if (block.text() == text)
            return block;
    return {};
}

// A code stays on one line in its narrow column; a long name may wrap.
TEST(Report, CodesNeverWrapNamesMay)
{
    BasketSummary summary = SampleSummary(QStringLiteral(","));
    const QString code = QStringLiteral("EDGE-5V-3001-LONG");
    const QString name = QStringLiteral("Модуль питания с очень длинным названием для проверки");
    summary.entries[0].code = code;
    summary.entries[0].name = name;
    const std::unique_ptr<QTextDocument> report = NewReportDocument(summary);
    // The A4 width inside the margins, at the report's resolution.
    report->setPageSize(QSizeF(180 / 25.4 * 72, 267 / 25.4 * 72));
    report->documentLayout()->documentSize(); // lays it out
    const QTextBlock codeBlock = BlockOf(*report, code);
    const QTextBlock nameBlock = BlockOf(*report, name);
    ASSERT_TRUE(codeBlock.isValid() && nameBlock.isValid());
    EXPECT_EQ(codeBlock.layout()->lineCount(), 1);
    EXPECT_GT(nameBlock.layout()->lineCount(), 1) << "the name column still wraps";
}

// The bill the summary's entries make, as BasketSummaryOf makes it from
// the model's exact amounts.
std::vector<BillLine> BillOf(const BasketSummary& summary)
{
    const auto exact = [&summary](const QString& text) {
        return ExactDecimal::Parse(text, summary.decimalSeparator);
    };
    std::vector<BillEntry> entries;
    for (const SummaryEntry& entry : summary.entries)
        entries.push_back({entry.code, entry.name, exact(entry.values[0]), exact(entry.values[1]),
                           exact(entry.values[2]), exact(entry.values[3]),
                           entry.values[4].toLongLong()});
    return BillOfMaterials(entries);
}

// A basket as large as the format allows is laid out in bounded work:
// cells cut, and past the listed rows its bill of materials alone, which
// is itself cut after as many codes.
TEST(Report, ALargeBasketIsListedByCodeWithCellsCut)
{
    const QString hugeName(200000, u'Ж');
    const struct {
        const char* name;
        int entries;
        int codes;
        bool withBill;
        bool grouped;
        int listedRows; // at most, beside the report's other tables
    } cases[] = {
        // Every entry and every code of the bill.
        {"listed whole", kMaxReportRows, kMaxReportRows, true, false, 2 * kMaxReportRows},
        {"grouped, few codes", 10000, 7, true, true, 7},
        {"grouped, every code its own", 10000, 10000, true, true, kMaxReportRows},
        {"no bill given: the first entries", 10000, 7, false, false, kMaxReportRows},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        BasketSummary summary = SampleSummary(QStringLiteral(","));
        summary.entries.resize(static_cast<size_t>(c.entries), summary.entries[0]);
        for (int i = 0; i < c.entries; ++i)
            summary.entries[static_cast<size_t>(i)].code = QStringLiteral("B-%1").arg(i % c.codes);
        summary.entries[0].name = hugeName;
        if (c.withBill)
            summary.bill = BillOf(summary);
        const QString html = ReportHtml(summary);
        EXPECT_FALSE(html.contains(QString(kMaxReportCellCharacters + 1, u'Ж')));
        EXPECT_TRUE(html.contains(QString(kMaxReportCellCharacters, u'Ж') + u'…'));
        const qsizetype rows = html.count(QStringLiteral("<tr>"));
        EXPECT_LE(rows, c.listedRows + 20) << "the listed rows are bounded";
        EXPECT_GE(rows, c.listedRows);
        EXPECT_EQ(html.contains(QStringLiteral("сведены по шифрам")), c.grouped);
        EXPECT_EQ(html.count(QStringLiteral("СПЕЦИФИКАЦИЯ")), c.withBill ? 1 : 0)
            << "the bill is shown once";
        if (c.grouped && c.codes < kMaxReportRows) {
            // Each code once, with its count: 10,000 entries over 7 codes,
            // and the totals row counting them all.
            EXPECT_TRUE(html.contains(QStringLiteral(">1429</td>"))) << "B-0 has 1,429 entries";
            EXPECT_TRUE(html.contains(QStringLiteral(">10000</td>")));
        }
        if (c.codes > kMaxReportRows && c.grouped) {
            EXPECT_TRUE(
                html.contains(QStringLiteral("… и ещё %1 шифров").arg(c.codes - kMaxReportRows)));
        }
        if (!c.withBill && c.entries > kMaxReportRows) {
            EXPECT_TRUE(
                html.contains(QStringLiteral("… и ещё %1 блоков").arg(c.entries - kMaxReportRows)));
        }
    }
}
