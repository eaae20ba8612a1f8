// SPDX-License-Identifier: MIT
// The main window's commands that keep and hand on a basket: save and open
// basket files, export CSV for spreadsheets, and the printable report.
// The formats are built by the exchange library; this file only gathers
// what the window shows and asks the user for file names.

#include "MainForm.h"

#include "Budget.h"

#include "AtomicFile.h"
#include "BasketCsv.h"
#include "BasketFile.h"
#include "BasketReopen.h"
#include "BasketSummary.h"
#include "CatalogOwnFiles.h"
#include "CatalogQueries.h"
#include "CheckList.h"
#include "CrateTypes.h"
#include "DecimalText.h"
#include "DialogUnit.h"
#include "HandlerGuard.h"
#include "Header.h"
#include "ListMessageForm.h"
#include "Platform.h"
#include "ReportDocument.h"
#include "SQLiteTable3.h"
#include "TabbedListBox.h"
#include "WidgetKit.h"

#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QKeySequence>
#include <QPaintEngine>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSpinBox>
#include <QTextDocument>
#include <QVBoxLayout>

#include <cmath>

namespace {

QString Text(const char16_t* text)
{
    return QString::fromUtf16(text);
}

QPushButton* NewCommandButton(const char* name, const char16_t* caption,
                              const char16_t* description, const QKeySequence& shortcut,
                              QWidget* parent)
{
    auto* button = new TFlatButton(Text(caption), parent);
    button->setObjectName(QLatin1String(name));
    button->setAccessibleName(button->text());
    button->setShortcut(shortcut);
    button->setToolTip(QStringLiteral("%1 (%2)").arg(Text(description),
                                                     shortcut.toString(QKeySequence::NativeText)));
    return button;
}

QStringList Fields(const QString& row)
{
    return row.split(QLatin1Char('\t'));
}

// The budget texts come from the same evaluation the window shows.
void FillBudgetTexts(BasketSummary& summary, const BudgetEvaluation& budget,
                     const std::vector<CrateFit>& fits, const TCheckList& types,
                     const QString& separator)
{
    for (size_t i = 0; i < kSummaryColumns; ++i) {
        const LimitUse& use = budget.limits[i];
        LimitSummary& limit = summary.limits[i];
        limit.headroom = use.headroom.Format(separator);
        limit.shareUsed = use.percentUsed ? use.percentUsed->Format(separator) + QStringLiteral(" %")
                                          : QStringLiteral("—");
    }
    summary.verdict = VerdictSentence(budget, separator);
    for (size_t row = 0; row < fits.size(); ++row)
        summary.fits.push_back({types.ColumnText(0, static_cast<int>(row)), FitNote(fits[row])});
}

} // namespace

// ---------------------------------------------------------------------------
// Buttons and wiring

void TMainForm::BuildFileButtons(QGridLayout* buttons)
{
    SaveBtn = NewCommandButton("SaveBtn", u"СОХРАНИТЬ", u"Сохранить корзину в файл",
                               QKeySequence::Save, RackGB);
    OpenBtn = NewCommandButton("OpenBtn", u"ОТКРЫТЬ", u"Открыть корзину из файла",
                               QKeySequence::Open, RackGB);
    // Spreadsheet export has no standard key; Ctrl+E is the usual one.
    ExportBtn = NewCommandButton("ExportBtn", u"ЭКСПОРТ", u"Экспорт корзины в CSV для таблиц",
                                 QKeySequence(Qt::CTRL | Qt::Key_E), RackGB);
    ReportBtn = NewCommandButton("ReportBtn", u"ОТЧЁТ", u"Отчёт для печати и PDF",
                                 QKeySequence::Print, RackGB);
    // Two by two, no taller than the crate type list beside them.
    buttons->addWidget(SaveBtn, 0, 0);
    buttons->addWidget(OpenBtn, 0, 1);
    buttons->addWidget(ExportBtn, 1, 0);
    buttons->addWidget(ReportBtn, 1, 1);
    buttons->setRowStretch(2, 1);
}

void TMainForm::WireFileButtons()
{
    connect(SaveBtn, &QPushButton::clicked, this, GuardedSlot(&TMainForm::SaveBtnClick));
    connect(OpenBtn, &QPushButton::clicked, this, GuardedSlot(&TMainForm::OpenBtnClick));
    connect(ExportBtn, &QPushButton::clicked, this, GuardedSlot(&TMainForm::ExportBtnClick));
    connect(ReportBtn, &QPushButton::clicked, this, GuardedSlot(&TMainForm::ReportBtnClick));
    AskFileName = [this](FileRequest request) { return AskFileNameInDialog(request); };
    PreviewReport = [this](QTextDocument& report) { ShowReportPreview(report); };
}

QString TMainForm::AskFileNameInDialog(FileRequest request)
{
    const bool csv = request == FileRequest::ExportCsv;
    const char16_t* title = request == FileRequest::OpenBasket ? u"Открыть корзину"
                            : request == FileRequest::SaveBasket ? u"Сохранить корзину"
                                                                 : u"Экспорт в CSV";
    // The CSV's guarded form is the default; the raw one is the second type.
    const QString guardedCsv = Text(u"Таблица CSV (*.csv)");
    const QString rawCsv = Text(u"Таблица CSV без защиты от формул (*.csv)");
    QFileDialog dialog(this, Text(title), lastFileDir_.isEmpty() ? QDir::homePath() : lastFileDir_,
                       csv ? guardedCsv + QStringLiteral(";;") + rawCsv
                           : Text(u"Корзина Veltrum (*.vbasket)"));
    if (request == FileRequest::OpenBasket) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(csv ? QStringLiteral("csv") : Text(kBasketFileSuffix));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    lastFileDir_ = dialog.directory().absolutePath();
    if (csv)
        csvFormulas_ =
            dialog.selectedNameFilter() == rawCsv ? CsvFormulas::Raw : CsvFormulas::Guarded;
    return dialog.selectedFiles().constFirst();
}

void TMainForm::ShowReportPreview(QTextDocument& report)
{
    QPrinter printer(QPrinter::HighResolution);
    SetReportPageLayout(printer);
    printer.setDocName(report.metaInformation(QTextDocument::DocumentTitle));
    QPrintPreviewDialog preview(&printer, this);
    preview.setObjectName(QStringLiteral("ReportPreview"));
    preview.setWindowTitle(report.metaInformation(QTextDocument::DocumentTitle));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this, &report](QPrinter* to) {
        RunGuarded(this, [this, &report, to] { PrintReportTo(report, *to); });
    });
    preview.resize(900, 800);
    preview.exec();
}

void TMainForm::PrintReportTo(const QTextDocument& report, QPrinter& printer)
{
    // A PDF chosen in the print dialog is written as every file the user
    // keeps: never onto the catalog, whole or not at all. The preview's own
    // pages (a picture engine) and real printers are painted directly.
    const bool toPdfFile = printer.outputFormat() == QPrinter::PdfFormat &&
                           !printer.outputFileName().isEmpty() && printer.paintEngine() &&
                           printer.paintEngine()->type() != QPaintEngine::Picture;
    if (!toPdfFile) {
        PrintReport(report, printer);
        return;
    }
    RefuseCatalogOwnFile(printer.outputFileName(), catalogDir_);
    WriteReportPdf(report, printer.outputFileName());
}

// ---------------------------------------------------------------------------
// Handlers

void TMainForm::SaveBtnClick()
{
    const QString path = AskFileName(FileRequest::SaveBasket);
    if (path.isEmpty())
        return;
    RefuseCatalogOwnFile(path, catalogDir_);
    BasketDocument basket;
    basket.decimalSeparator = DecimalSeparator;
    basket.crateType = RackTypeCL->ColumnText(0, FindCheckedRackType());
    // The basket rows hold the six texts exactly as they were added.
    for (int row = 0; row < RackTabLB->Items().Count(); ++row) {
        const QStringList fields = Fields(RackTabLB->Items()[row]);
        basket.entries.push_back({BasketCode(row), fields.value(1), fields.value(2),
                                  fields.value(3), fields.value(4), fields.value(5)});
    }
    basket.catalog = ReadCatalogStamp(CatalogPath());
    SaveBasketFile(path, basket);
}

void TMainForm::OpenBtnClick()
{
    if (RackTabLB->Items().Count() > 0) {
        const int answer = TmdDialogForm::ShowDialog(
            Text(kApplicationTitle), Text(u"Заменить текущую корзину?"), IDI_QUESTION,
            {QStringLiteral("OK"), QStringLiteral("CANCEL")});
        if (answer != 1)
            return;
    }
    const QString path = AskFileName(FileRequest::OpenBasket);
    if (!path.isEmpty())
        OpenBasketFile(path);
}

void TMainForm::ExportBtnClick()
{
    const QString path = AskFileName(FileRequest::ExportCsv);
    if (path.isEmpty())
        return;
    RefuseCatalogOwnFile(path, catalogDir_);
    WriteFileAtomically(path, BasketCsv(CurrentSummary(), csvFormulas_),
                        Text(u"Не удалось записать файл \"%1\": %2"));
}

void TMainForm::ReportBtnClick()
{
    const std::unique_ptr<QTextDocument> report = NewReportDocument(CurrentSummary());
    PreviewReport(*report);
}

// ---------------------------------------------------------------------------
// Reopening

void TMainForm::OpenBasketFile(const QString& path)
{
    // Everything is read, looked up and converted before the basket is
    // touched, so that any failure leaves it exactly as it was.
    const BasketDocument file = LoadBasketFile(path);
    const ReopenedBasket basket = ReconcileBasket(
        file,
        [this](const QString& code) -> std::optional<DeviceTexts> {
            const std::optional<BlockRecord> block = FindBlock(code);
            if (!block)
                return std::nullopt;
            // The exact code found, not the screen's text of it.
            return DeviceTexts{code,       block->v5,         block->v7,
                               block->v_7, block->totalPower, block->slotsCount};
        },
        DecimalSeparator);
    std::vector<TDevice> devices;
    devices.reserve(basket.entries.size());
    for (const DeviceTexts& texts : basket.entries)
        devices.push_back(MakeDevice(texts, DecimalSeparator));

    ReplaceBasket(basket, std::move(devices));
    // Every difference is listed, in a list that scrolls however long it is.
    const MessageListing changes = ReopenListing(basket, file.crateType);
    if (!changes.heading.isEmpty())
        TListMessageForm::ShowList(Text(kApplicationTitle), changes.heading, changes.lines,
                                   IDI_EXCLAMATION);
    WarnWhenCrateFull();
}

void TMainForm::ReplaceBasket(const ReopenedBasket& basket, std::vector<TDevice> devices)
{
    for (int row = 0; row < RackTypeCL->Items().Count(); ++row)
        RackTypeCL->SetRowState(row, row == basket.crateTypeRow ? cbChecked : cbUnchecked);
    RackTabLB->Clear();
    {
        const TListAppendBatch batch(RackTabLB->Items());
        for (const DeviceTexts& texts : basket.entries) {
            DeviceTexts shown = texts;
            shown.ident = ExactCodeOnScreen(texts.ident);
            RackTabLB->Items().Add(BasketRow(shown), texts.ident.toUtf8());
        }
    }
    RackTabLB->UpdateFromHeader(*RackHeader);
    Devices = std::move(devices);
    if (Devices.empty()) {
        // As after clearing: no totals row at all.
        TotalTabLB->Clear();
        TotalTabLB->UpdateFromHeader(*RackHeader);
    } else {
        RefillTotals();
    }
}

// "Корзина заполнена!" when the basket holds more slots than the ticked
// crate type: after a crate type change, and after opening a file, which is
// taken whole even when it holds more slots than its crate type.
void TMainForm::WarnWhenCrateFull()
{
    if (RackTabLB->Items().Count() == 0)
        return;
    const int type = FindCheckedRackType();
    const std::int64_t usedSlots = ParseInteger(TotalTabLB->ColumnText(kFieldSlots, 0));
    const std::int64_t slotLimit = ParseInteger(RackTypeCL->ColumnText(kFieldSlots, type));
    if (slotLimit < usedSlots)
        TmdDialogForm::ShowDialog(Text(kApplicationTitle), Text(u"Корзина заполнена!"),
                                  IDI_EXCLAMATION, {QStringLiteral("OK")});
}

void TMainForm::OpenStartBasket()
{
    if (!Database || basketAtStart_.isEmpty())
        return;
    // Queued, so that the window is on screen before any message about the file.
    QMetaObject::invokeMethod(
        this,
        [this, path = basketAtStart_] {
            RunGuarded(this, [this, &path] { OpenBasketFile(path); });
        },
        Qt::QueuedConnection);
    basketAtStart_.clear();
}

QString TMainForm::BasketCode(int row) const
{
    return QString::fromUtf8(RackTabLB->Items().Data(row));
}

QString TMainForm::CatalogPath() const
{
    return QDir(catalogDir_).filePath(QStringLiteral("VELTRUM.db"));
}

std::optional<BlockRecord> TMainForm::FindBlock(const QString& code)
{
    const std::string bytes = code.toStdString();
    const CatalogQuery query = QueryDetails(bytes);
    if (Database->QueryTable(query.sql, query.params)->IsAtEnd())
        return std::nullopt;
    return ReadBlockDetails(*Database, bytes);
}

// ---------------------------------------------------------------------------
// What the CSV and the report show

BasketSummary TMainForm::CurrentSummary()
{
    BasketSummary summary;
    summary.decimalSeparator = DecimalSeparator;
    summary.madeAt = QDateTime::currentDateTime();
    const CatalogStamp catalog = ReadCatalogStamp(CatalogPath());
    summary.catalogFileName = catalog.fileName;
    summary.catalogSha256 = catalog.sha256;

    const int type = FindCheckedRackType();
    summary.crateType = RackTypeCL->ColumnText(0, type);
    for (int row = 0; row < RackTabLB->Items().Count(); ++row) {
        const QStringList fields = Fields(RackTabLB->Items()[row]);
        SummaryEntry entry;
        entry.code = BasketCode(row);
        const std::optional<BlockRecord> block = FindBlock(entry.code);
        entry.name = block ? block->nameRus : QString();
        for (size_t i = 0; i < kSummaryColumns; ++i)
            entry.values[i] = fields.value(static_cast<int>(i) + 1);
        summary.entries.push_back(std::move(entry));
    }
    const Totals totals = SumDevices(Devices);
    const QStringList totalFields = Fields(TotalsRow(totals, DecimalSeparator));
    for (size_t i = 0; i < kSummaryColumns; ++i) {
        const int field = static_cast<int>(i) + kFieldV5;
        summary.limits[i].total = totalFields.value(field);
        summary.limits[i].limit = RackTypeCL->ColumnText(field, type);
    }
    std::vector<LimitTexts> crateLimits;
    for (int row = 0; row < RackTypeCL->Items().Count(); ++row)
        crateLimits.push_back(RackTypeLimits(row));
    FillBudgetTexts(summary,
                    EvaluateBudget(totals, crateLimits[static_cast<size_t>(type)],
                                   MarginField->value(), DecimalSeparator),
                    FitOfCrateTypes(totals, crateLimits, DecimalSeparator), *RackTypeCL,
                    DecimalSeparator);
    return summary;
}
