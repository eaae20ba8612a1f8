// SPDX-License-Identifier: MIT
// The main window's commands that keep and hand on a basket: save and open
// basket files (the recent ones too), export CSV for spreadsheets, and the
// printable report.
// The formats are built by the exchange library; this file only gathers
// what the window shows and asks the user for file names.

#include "ui/MainForm.h"

#include "crate/Budget.h"

#include "exchange/AtomicFile.h"
#include "exchange/BasketCsv.h"
#include "exchange/BasketExport.h"
#include "exchange/BasketFile.h"
#include "exchange/BasketReopen.h"
#include "exchange/BasketSummary.h"
#include "exchange/CatalogLookup.h"
#include "exchange/RecentFiles.h"
#include "catalog/CatalogOwnFiles.h"
#include "ui/DialogUnit.h"
#include "ui/HandlerGuard.h"
#include "ui/Messages.h"
#include "ui/SearchProgress.h"
#include "kit/Header.h"
#include "exchange/ReportDocument.h"
#include "catalog/SQLiteTable3.h"
#include "kit/TabbedListBox.h"
#include "kit/WidgetKit.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QAction>
#include <QPaintEngine>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTextDocument>
#include <QUndoStack>
#include <QVBoxLayout>

#include <cmath>
#include <optional>

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

// The stamp a basket file carries: the catalog as the program opened it.
CatalogStamp CatalogStampOf(TSQLiteDatabase& database)
{
    const CatalogSummary& summary = database.OpenedFileSummary();
    return {summary.fileName, summary.size, summary.modified, summary.sha256};
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
    BuildRecentButton();
    auto* open = new QHBoxLayout;
    open->setSpacing(0);
    // ОТКРЫТЬ and its drop-down share the width of the buttons under them,
    // so that the column is no wider than before and the basket's columns
    // beside it keep their width on a 1024-pixel screen.
    OpenBtn->setSizePolicy(QSizePolicy::Ignored, OpenBtn->sizePolicy().verticalPolicy());
    OpenBtn->setMinimumWidth(OpenBtn->fontMetrics().horizontalAdvance(OpenBtn->text()) + 8);
    open->addWidget(OpenBtn, 1);
    open->addWidget(RecentBtn);
    buttons->addLayout(open, 0, 1);
    buttons->addWidget(ExportBtn, 1, 0);
    buttons->addWidget(ReportBtn, 1, 1);
    BuildUndoButtons(buttons);
}

void TMainForm::BuildUndoButtons(QGridLayout* buttons)
{
    // The keys belong to window actions (below), so that Redo has both of
    // its keys; the buttons only show and press.
    UndoBtn = new TFlatButton(Text(u"ОТМЕНИТЬ"), RackGB);
    UndoBtn->setObjectName(QStringLiteral("UndoBtn"));
    RedoBtn = new TFlatButton(Text(u"ПОВТОРИТЬ"), RackGB);
    RedoBtn->setObjectName(QStringLiteral("RedoBtn"));
    for (QPushButton* button : {UndoBtn, RedoBtn})
        button->setAccessibleName(button->text());
    buttons->addWidget(UndoBtn, 2, 0);
    buttons->addWidget(RedoBtn, 2, 1);
    buttons->setRowStretch(3, 1);
}

void TMainForm::WireUndo()
{
    connect(UndoBtn, &QPushButton::clicked, this, GuardedSlot(&TMainForm::UndoBtnClick));
    connect(RedoBtn, &QPushButton::clicked, this, GuardedSlot(&TMainForm::RedoBtnClick));
    // Window shortcuts: an edit field, spin box or editable combo box with
    // the focus takes Ctrl+Z (and its redo keys) for its own text first,
    // through the shortcut override Qt gives it.
    auto* undoKeys = new QAction(this);
    undoKeys->setShortcuts(QKeySequence::Undo);
    auto* redoKeys = new QAction(this);
    redoKeys->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                            QKeySequence(Qt::CTRL | Qt::Key_Y)});
    for (QAction* keys : {undoKeys, redoKeys}) {
        keys->setShortcutContext(Qt::WindowShortcut);
        addAction(keys);
    }
    connect(undoKeys, &QAction::triggered, this, GuardedSlot(&TMainForm::UndoBtnClick));
    connect(redoKeys, &QAction::triggered, this, GuardedSlot(&TMainForm::RedoBtnClick));
    // The stack says what can be undone once a step is in place (its index
    // moves after the step's own change signal).
    connect(Basket->UndoStack(), &QUndoStack::indexChanged, this,
            GuardedSlot(&TMainForm::ShowUndoSteps));
    ShowUndoSteps();
}

void TMainForm::ShowUndoSteps()
{
    const QUndoStack* steps = Basket->UndoStack();
    UndoBtn->setEnabled(steps->canUndo());
    RedoBtn->setEnabled(steps->canRedo());
    UndoBtn->setToolTip(steps->canUndo() ? Text(u"Отменить: ") + steps->undoText()
                                         : Text(u"Нечего отменять (Ctrl+Z)"));
    RedoBtn->setToolTip(steps->canRedo() ? Text(u"Повторить: ") + steps->redoText()
                                         : Text(u"Нечего повторять (Ctrl+Shift+Z)"));
}

void TMainForm::WireFileButtons()
{
    connect(SaveBtn, &QPushButton::clicked, this, GuardedSlot(&TMainForm::SaveBtnClick));
    connect(OpenBtn, &QPushButton::clicked, this, GuardedSlot(&TMainForm::OpenBtnClick));
    connect(ExportBtn, &QPushButton::clicked, this, GuardedSlot(&TMainForm::ExportBtnClick));
    connect(ReportBtn, &QPushButton::clicked, this, GuardedSlot(&TMainForm::ReportBtnClick));
    AskFileName = [this](FileRequest request) { return AskFileNameInDialog(request); };
    PreviewReport = [this](QTextDocument& report) { ShowReportPreview(report); };
    RecentFilesFile =
        RecentFilesLocation(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation),
                            catalogDir_, QDir::currentPath());
    WireRecentMenu();
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
    const QString lastFolder = Recent().lastFolder;
    QFileDialog dialog(
        this, Text(title),
        !lastFolder.isEmpty() && QFileInfo(lastFolder).isDir() ? lastFolder : QDir::homePath(),
        csv ? guardedCsv + QStringLiteral(";;") + rawCsv : Text(u"Корзина Veltrum (*.vbasket)"));
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
    if (csv)
        csvFormulas_ =
            dialog.selectedNameFilter() == rawCsv ? CsvFormulas::Raw : CsvFormulas::Guarded;
    return dialog.selectedFiles().constFirst();
}

void TMainForm::ShowReportPreview(QTextDocument& report)
{
    QPrinter printer(QPrinter::HighResolution);
    SetReportPageLayout(printer);
    printer.setCreator(ReportCreator());
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
    UseFolderOf(path);
    RefuseCatalogOwnFile(path, catalogDir_);
    SaveBasketFile(path, BasketDocumentOf(*Basket, DecimalSeparator, CatalogStampOf(*Database)));
    UseRecentFile(path);
}

void TMainForm::OpenBtnClick()
{
    if (!Devices.empty() &&
        AskOkCancel(Text(kApplicationTitle), Text(u"Заменить текущую корзину?")) !=
            MessageAnswer::Ok)
        return;
    const QString path = AskFileName(FileRequest::OpenBasket);
    if (path.isEmpty())
        return;
    UseFolderOf(path);
    OpenBasketFile(path);
}

void TMainForm::ExportBtnClick()
{
    const QString path = AskFileName(FileRequest::ExportCsv);
    if (path.isEmpty())
        return;
    UseFolderOf(path);
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

bool TMainForm::OpenBasketFile(const QString& path)
{
    // A long opening keeps its dialog until the basket has been replaced
    // and painted, unless a question comes first.
    TSearchProgress::Cover cover(*SearchProgress);
    // Everything is read, looked up and converted before the basket is
    // touched, so that any failure, or CANCEL, leaves it exactly as it was.
    std::optional<BasketToOpen> read = ReadBasketLookingUp(path, cover);
    if (!read)
        return false;
    BasketToOpen basket = std::move(*read);
    // Replacing a long basket is a step of its own: ОТМЕНА still counts.
    if (!cover.Tick()) {
        ReportCancelledOpening(cover);
        return false;
    }
    // What changed is what the check says, line for line, in a list that
    // scrolls however long it is; asked only when it enters the budget.
    if (!basket.changes.isEmpty()) {
        cover.Lift();
        const MessageListing listing = ReopenListing(basket.reopened, basket.fileCrateType);
        if (AskOkCancelList(Text(kApplicationTitle), listing.heading, listing.lines) !=
            MessageAnswer::Ok)
            return false;
    }
    ReplaceWithOpenedBasket(*Basket, std::move(basket));
    UseRecentFile(path);
    cover.Lift();
    WarnWhenCrateFull();
    return true;
}

// A long basket against a large catalog is many lookups, each code once:
// past a moment they show the progress dialog, whose ОТМЕНА ends the
// opening with the basket as it was (and says so). Nothing when cancelled.
namespace {
// About a thousand entries.
constexpr qint64 kLongBasketFileBytes = 200 * 1024;
} // namespace

std::optional<BasketToOpen> TMainForm::ReadBasketLookingUp(const QString& path,
                                                        TSearchProgress::Cover& cover)
{
    try {
        TSearchProgress::Task lookingUp(*SearchProgress, Text(u"Открытие корзины…"));
        // Reading a file of a few thousand entries alone takes a moment:
        // the dialog comes first.
        if (QFileInfo(path).size() > kLongBasketFileBytes)
            lookingUp.ShowNow();
        // The lookups share one read of the catalog and one compiled query.
        const TSQLiteDatabase::HeldRead oneRead(*Database);
        const CatalogLookup inCatalog = RememberingLookup(LookUpInCatalog(*Database));
        std::uint64_t looked = 0;
        const CatalogLookup followed = [&](const QString& code) {
            std::optional<DeviceTexts> found = inCatalog(code);
            if (!lookingUp.Step(++looked))
                throw EQueryCancelled("ОТКРЫТИЕ КОРЗИНЫ ОТМЕНЕНО");
            return found;
        };
        return ReadBasketToOpen(path, followed, DecimalSeparator, Basket->Crates());
    } catch (const EQueryCancelled&) {
        ReportCancelledOpening(cover);
        return std::nullopt;
    }
}

void TMainForm::ReportCancelledOpening(TSearchProgress::Cover& cover)
{
    cover.Lift();
    ShowMessage(Text(kApplicationTitle), Text(u"Открытие корзины отменено: корзина не изменилась."),
                MessageKind::Warning);
}

// "Корзина заполнена!" when the basket holds more slots than the ticked
// crate type: after a crate type change, and after opening a file, which is
// taken whole even when it holds more slots than its crate type.
void TMainForm::WarnWhenCrateFull()
{
    if (Basket->OverSlots())
        ShowMessage(Text(kApplicationTitle), Text(u"Корзина заполнена!"), MessageKind::Warning);
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

// ---------------------------------------------------------------------------
// What the CSV and the report show

BasketSummary TMainForm::CurrentSummary()
{
    const CatalogSummary& catalog = Database->OpenedFileSummary();
    return BasketSummaryOf(*Basket, DecimalSeparator, catalog.fileName, catalog.sha256,
                           QDateTime::currentDateTime());
}
