// SPDX-License-Identifier: MIT
#include "ui/MainForm.h"

#include "exchange/CatalogCrateTypeList.h"
#include "catalog/CatalogQueries.h"
#include "catalog/CategoryFiles.h"
#include "kit/CheckList.h"
#include "kit/ComboCompletion.h"
#include "crate/CrateTypes.h"
#include "base/DecimalText.h"
#include "ui/DialogUnit.h"
#include "kit/EditFocusColour.h"
#include "kit/FieldColorListBox.h"
#include "ui/FormText.h"
#include "ui/HandlerGuard.h"
#include "kit/Header.h"
#include "ui/Messages.h"
#include "kit/Platform.h"
#include "exchange/RackItems.h"
#include "kit/RackView.h"
#include "catalog/SQLiteTable3.h"
#include "ui/SearchProgress.h"
#include "kit/TabbedListBox.h"
#include "kit/WidgetKit.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QSplitter>
#include <QUndoStack>
#include <QVBoxLayout>

#include <cstdio>

namespace {

const QColor kOverLimitColor(255, 0, 0);
const QColor kEditFocusColor(240, 240, 240);

// A basket row as the screen shows it: the entry's texts, its code as the
// screen writes a catalog code (an entry keeps the code exactly).
QString ShownBasketRow(DeviceTexts texts)
{
    texts.ident = ExactCodeOnScreen(texts.ident);
    return BasketRow(texts);
}

// The message shown when the catalog file is not beside the program: lines
// broken by carriage returns, as all of the program's own dialog texts.
QString CatalogNotFoundText()
{
    const QChar cr(u'\r');
    return cr + Text(u"ФАЙЛ БАЗЫ ДАННЫХ \"ВЕЛТРУМ\" НЕ НАЙДЕН! ") + cr + cr +
           Text(u"ПРОВЕРЬТЕ, ЧТО ФАЙЛ БАЗЫ ДАННЫХ \"VELTRUM.db\" НАХОДИТСЯ В ТОМ ЖЕ КАТАЛОГЕ,") +
           cr + Text(u"ЧТО И ИСПОЛНЯЕМЫЙ ФАЙЛ ПРОГРАММЫ.");
}

// The dialog keeps its one sentence for the user; whoever supports them
// finds SQLite's own reason on standard error, as one line.
void ReportToStandardError(const std::string& reason)
{
    std::string line = reason;
    for (char& c : line)
        if (c == '\n' || c == '\r')
            c = ' ';
    std::fprintf(stderr, "veltrum: %s\n", line.c_str());
    std::fflush(stderr);
}

} // namespace

TMainForm::TMainForm(const QString& catalogDir, const QString& decimalSeparator, QWidget* parent)
    : QMainWindow(parent), Basket(std::make_unique<TBasketModel>()), Devices(Basket->Devices()),
      DecimalSeparator(decimalSeparator.isEmpty() ? LocaleDecimalSeparator() : decimalSeparator),
      catalogDir_(catalogDir)
{
    BuildLayout();
    WireEvents();
    WireKeyboard();
    FormCreate();
}

TMainForm::~TMainForm()
{
    FormDestroy();
}

template <class Handler> void TMainForm::Guarded(Handler&& handler)
{
    RunGuarded(this, std::forward<Handler>(handler));
}

// ---------------------------------------------------------------------------
// Event wiring: every handler runs inside the one guard.

void TMainForm::WireEvents()
{
    connect(ExitItem, &QAction::triggered, this, GuardedSlot(&TMainForm::ExitItemClick));
    WireSearchMode(CategoryRB, &TMainForm::CategoryRBClick);
    WireSearchMode(CodeRB, &TMainForm::CodeRBClick);
    WireCompletion(CategoryField, &TMainForm::CategoryFieldChange);
    WireCompletion(SubCategoryField, &TMainForm::SubCategoryFieldChange);
    FindIdentField->installEventFilter(this);
    ShowFocusInColour(*FindIdentField, kEditFocusColor);
    connect(TableHeader, &THeader::Sized, this, GuardedSlot(&TMainForm::TableHeaderSized));
    connect(RackHeader, &THeader::Sized, this, GuardedSlot(&TMainForm::RackHeaderSized));
    for (TTabbedListBox* list : {BlockTabLB, RackTabLB, TotalTabLB})
        connect(list, &TTabbedListBox::Click, this, GuardedSlot(&TMainForm::BlockTabLBClick));
    connect(RackTypeCL, &TCheckList::Change, this, GuardedSlot(&TMainForm::RackTypeCLChange));
    connect(AddBtn, &QPushButton::clicked, this, GuardedSlot(&TMainForm::AddBtnClick));
    connect(DelBtn, &QPushButton::clicked, this, GuardedSlot(&TMainForm::DelBtnClick));
    connect(ClearBtn, &QPushButton::clicked, this, GuardedSlot(&TMainForm::ClearBtnClick));
    connect(MarginField, &QSpinBox::valueChanged, this, GuardedSlot(&TMainForm::MarginFieldChange));
    connect(Basket.get(), &TBasketModel::Changed, this, GuardedSlot(&TMainForm::ShowBasket));
    connect(RackTabLB, &TTabbedListBox::Click, this, GuardedSlot(&TMainForm::RackTabLBClick));
    connect(RackViewPanel, &TRackView::CurrentChanged, this,
            [this](int entry) { Guarded([this, entry] { RackViewPanelCurrentChanged(entry); }); });
    connect(RackViewPanel, &TRackView::MoveRequested, this, [this](int from, int to) {
        Guarded([this, from, to] { RackViewPanelMoveRequested(from, to); });
    });
    WireFileButtons();
    WireUndo();
}

// A search mode button runs its handler when clicked (mouse, Space, the
// arrow keys), and also when assistive technology checks it through its
// toggle action, which checks the button without a click: otherwise the
// button would read as checked while the other panel stays shown. After a
// click the handler has run twice; the second run finds nothing to change.
void TMainForm::WireSearchMode(QRadioButton* button, void (TMainForm::*click)())
{
    connect(button, &QRadioButton::clicked, this, GuardedSlot(click));
    connect(button, &QRadioButton::toggled, this, [this, click](bool checked) {
        if (checked)
            GuardedSlot(click)();
    });
}

std::function<void()> TMainForm::GuardedSlot(void (TMainForm::*handler)())
{
    return [this, handler] { Guarded([this, handler] { (this->*handler)(); }); };
}

// The combo boxes complete typed text (TComboCompletion); either way the
// change handler runs, as it does for an item picked from the list.
void TMainForm::WireCompletion(QComboBox* combo, void (TMainForm::*change)())
{
    connect(combo, &QComboBox::activated, this, GuardedSlot(change));
    connect(TComboCompletion::Attach(*combo), &TComboCompletion::Edited, this, GuardedSlot(change));
    ShowFocusInColour(*combo->lineEdit(), kEditFocusColor);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const Qt::KeyboardModifiers modifiers = static_cast<QKeyEvent*>(event)->modifiers();
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        const bool altUpDown =
            (modifiers & Qt::AltModifier) && (key == Qt::Key_Up || key == Qt::Key_Down);
        if (watched == FindIdentField)
            Guarded([this, key] { FindIdentFieldKeyDown(key); });
        else if (watched == CountField && enter) {
            // The spin box would only take its text; Enter here means add.
            Guarded([this, key] { CountFieldKeyDown(key); });
            return true;
        } else if (watched == RackTabLB && altUpDown) {
            Guarded([this, key, modifiers] { RackTabLBKeyDown(key, modifiers); });
            return true;
        } else if (watched == BlockTabLB || watched == RackTabLB)
            return ListKeyDown(static_cast<TTabbedListBox*>(watched), key);
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        Guarded([this] { FormShow(); });
        OpenStartBasket();
    }
}

// ---------------------------------------------------------------------------
// Start-up and shutdown

void TMainForm::FormCreate()
{
    // A category list that cannot be read is reported; the window still
    // comes up, and the code search works without it.
    Guarded([this] { LoadCategories(); });

    TableHeader->SetSectionWidth(0, 150);
    BlockTabLB->UpdateFromHeader(*TableHeader);

    RackHeader->SetSectionWidth(0, 253);
    for (int section = 1; section <= 5; ++section)
        RackHeader->SetSectionWidth(section, 125);
    RackTabLB->UpdateFromHeader(*RackHeader);
    TotalTabLB->UpdateFromHeader(*RackHeader);
    HeadroomTabLB->UpdateFromHeader(*RackHeader);

    FillRackTypes();
    RackTypeCL->UpdateFromHeader(*RackHeader);
    RackTypeCL->repaint();
}

void TMainForm::LoadCategories()
{
    CategoryField->clear();
    CategoryField->addItems(LoadCategoryFile(CategoryFilePath(catalogDir_, 0)));
    CategoryField->setCurrentIndex(-1);
}

void TMainForm::FormShow()
{
    const QString path = QDir(catalogDir_).filePath(QStringLiteral("VELTRUM.db"));
    if (!QFileInfo::exists(path)) {
        // Said on standard error too, with the path looked at, for whoever
        // starts the program from a terminal or reads a session log.
        std::fprintf(stderr, "veltrum: catalog not found: %s\n", qPrintable(path));
        ShowMessage(Text(kDatabaseTitle), CatalogNotFoundText(), MessageKind::Error);
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        return;
    }
    CatalogCrateTypeList crateTypes;
    try {
        // The catalog is only ever read: open it read-only, so that no
        // search can change a byte of it or leave a journal beside it.
        Database = std::make_unique<TSQLiteDatabase>(QFile::encodeName(path).toStdString(),
                                                     DecimalSeparator.toStdString(),
                                                     TSQLiteDatabase::OpenMode::ReadOnly);
        crateTypes = CrateTypesOfCatalog(*Database);
        SearchProgress = std::make_unique<TSearchProgress>(this, *Database);
        Database->SetProgress(SearchProgress.get());
    } catch (const std::exception& error) {
        ReportToStandardError(error.what());
        ShowMessage(Text(kDatabaseTitle), Text(u"Ошибка создания базы данных!"),
                    MessageKind::Error);
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        return;
    }
    UseCrateTypes(crateTypes);
}

// The crate types are read with the catalog, once: its own when it has a
// valid table, the built-in ones otherwise, and a wrong table said once.
void TMainForm::UseCrateTypes(const CatalogCrateTypeList& crateTypes)
{
    if (crateTypes.fromCatalog) {
        Basket->SetCrateTypes(crateTypes.types);
        FillRackTypes();
        RackTypeCL->UpdateFromHeader(*RackHeader);
    }
    if (!crateTypes.message.isEmpty())
        ShowMessage(Text(kApplicationTitle), crateTypes.message, MessageKind::Warning);
}

void TMainForm::FormDestroy()
{
    Database.reset();
    SearchProgress.reset();
}

void TMainForm::ExitItemClick()
{
    close();
}

// ---------------------------------------------------------------------------
// Search

void TMainForm::ClearDetails()
{
    // A label cleared again repaints and lays the details out again all the
    // same; each search would pay for that before its first row.
    for (QLabel* value : {FCategoryField, FSubCategoryField, FNameRusField, FIdentField, FVIPRField,
                          FSlotsCountField, FV5Field, FV7Field, F_V7Field, FTotalPowerField})
        if (!value->text().isEmpty())
            value->clear();
    shownNotANumber_.clear();
    shownCode_.clear();
}

void TMainForm::CategoryRBClick()
{
    if (CategoryRB->isChecked())
        ShowSearchPanel(CategoryPanel, CodePanel);
    BlockTabLB->Clear();
    ClearDetails();
}

void TMainForm::CodeRBClick()
{
    if (CodeRB->isChecked())
        ShowSearchPanel(CodePanel, CategoryPanel);
    BlockTabLB->Clear();
    ClearDetails();
}

void TMainForm::CategoryFieldChange()
{
    // The subcategory box changes only where it must: enabling, emptying
    // and disabling an already empty, disabled box would repaint it and
    // the panel under it on every category search.
    const int category = CategoryNumber(CategoryField->currentIndex());
    const bool subcategories = HasSubcategories(category);
    if (SubCategoryField->count() > 0)
        SubCategoryField->clear();
    if (!SubCategoryField->currentText().isEmpty())
        SubCategoryField->clearEditText();
    BlockTabLB->Clear();
    ClearDetails();

    if (subcategories) {
        SubCategoryField->setEnabled(true);
        SubCategoryField->addItems(LoadCategoryFile(CategoryFilePath(catalogDir_, category)));
        SubCategoryField->setCurrentIndex(-1);
    } else {
        SubCategoryField->setEnabled(false);
        FillSearchList(QueryByCategory(category));
    }
}

void TMainForm::SubCategoryFieldChange()
{
    BlockTabLB->Clear();
    ClearDetails();
    const int categoryPosition = CategoryField->currentIndex();
    FillSearchList(QueryByCategoryAndSubcategory(
        CategoryNumber(categoryPosition),
        SubcategoryCode(categoryPosition, SubCategoryField->currentIndex())));
}

void TMainForm::FindIdentFieldKeyDown(int key)
{
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return;
    BlockTabLB->Clear();
    ClearDetails();
    const QString fragment = PrepareFragment(FindIdentField->text());
    if (!fragment.isEmpty())
        FillSearchList(QueryByCodeFragment(fragment));
}

void TMainForm::FillSearchList(const CatalogQuery& query)
{
    std::size_t rows = 0;
    bool cancelled = false;
    bool outOfMemory = false;
    {
        // A search long enough to show its dialog keeps it until the list
        // has taken its rows in, been laid out and painted.
        const TSearchProgress::Cover cover(*SearchProgress);
        {
            // The rows go in as one batch: the list is told of them, and
            // works out its stops, once rather than once per row. They are
            // stored as SQLite reads them, so the result is never held
            // twice, and the progress dialog of a long search covers the
            // filling too.
            const TListAppendBatch batch(BlockTabLB->Items());
            try {
                // Each row keeps its block's exact code: the screen text of
                // a code need not lead back to it.
                rows = StreamSearchRows(
                    *Database, query,
                    [this](std::string_view row, std::string_view code) {
                        BlockTabLB->Items().AddUtf8(
                            QByteArrayView(row.data(), static_cast<qsizetype>(row.size())),
                            QByteArrayView(code.data(), static_cast<qsizetype>(code.size())));
                    },
                    [this] { BlockTabLB->Clear(); });
            } catch (const EQueryCancelled&) {
                cancelled = true;
                BlockTabLB->Clear();
            } catch (const std::bad_alloc&) {
                outOfMemory = true;
            } catch (...) {
                // A search that fails lists nothing rather than its first rows.
                BlockTabLB->Clear();
                throw;
            }
        }
        if (!cancelled && rows > 0)
            BlockTabLB->UpdateFromHeader(*TableHeader);
    }
    if (outOfMemory)
        ReportSearchOutOfMemory();
    if (cancelled)
        ReportCancelledSearch(u"Поиск в каталоге отменён: список пуст.");
}

// A search that ran out of memory leaves an empty list and gives back what
// the catalog's connection keeps, so that the window goes on working.
void TMainForm::ReportSearchOutOfMemory()
{
    BlockTabLB->Clear();
    Database->ReleaseMemory();
    throw Exception(
        Text(u"Недостаточно памяти для поиска в каталоге: список пуст. Уточните поиск или "
             u"закройте другие программы")
            .toStdString());
}

// The user's own choice, said in the program's message dialog rather than
// the error box.
void TMainForm::ReportCancelledSearch(const char16_t* text)
{
    ShowMessage(Text(kApplicationTitle), Text(text), MessageKind::Warning);
}

void TMainForm::TableHeaderSized()
{
    BlockTabLB->UpdateFromHeader(*TableHeader);
}

void TMainForm::RackHeaderSized()
{
    RackTabLB->UpdateFromHeader(*RackHeader);
    RackTypeCL->UpdateFromHeader(*RackHeader);
    TotalTabLB->UpdateFromHeader(*RackHeader);
    HeadroomTabLB->UpdateFromHeader(*RackHeader);
}

void TMainForm::BlockTabLBClick()
{
    const int row = BlockTabLB->ItemIndex();
    if (row < 0)
        return;
    ClearDetails();
    BlockRecord record;
    try {
        record = ReadBlockDetails(*Database, BlockTabLB->Items().Data(row).toStdString());
    } catch (const EQueryCancelled&) {
        ReportCancelledSearch(u"Поиск в каталоге отменён.");
        return;
    }

    // Everything is gathered before anything is shown, so that a failure
    // (a missing subcategory file) never leaves half a block on screen.
    QString category;
    QString subCategory;
    if (CategoryRB->isChecked()) {
        category = CategoryField->currentIndex() >= 0 ? CategoryField->currentText() : QString();
        subCategory =
            SubCategoryField->currentIndex() >= 0 ? SubCategoryField->currentText() : QString();
    } else {
        const long long n = record.category;
        if (n >= 1 && n <= CategoryField->count())
            category = CategoryField->itemText(static_cast<int>(n - 1));
        const long long s = record.subCategory;
        if (s != 0 && n >= INT_MIN && n <= INT_MAX && HasSubcategories(static_cast<int>(n))) {
            const QStringList names =
                LoadCategoryFile(CategoryFilePath(catalogDir_, static_cast<int>(n)));
            subCategory = LineOrEmpty(names, SubcategoryLine(n, s));
        }
    }

    FCategoryField->setText(category);
    FSubCategoryField->setText(subCategory);
    FIdentField->setText(record.ident);
    shownCode_ = BlockTabLB->Items().Data(row);
    FNameRusField->setText(record.nameRus);
    FVIPRField->setText(record.vipr);
    FSlotsCountField->setText(record.slotsCount);
    FV5Field->setText(record.v5);
    FV7Field->setText(record.v7);
    F_V7Field->setText(record.v_7);
    FTotalPowerField->setText(record.totalPower);
    shownNotANumber_ = record.notANumber;
}

// ---------------------------------------------------------------------------
// Crate types and basket

void TMainForm::FillRackTypes()
{
    RackTypeCL->Items().Clear();
    for (const TCrateType& type : Basket->Crates())
        RackTypeCL->Items().Add(CrateTypeRow(type, DecimalSeparator));
    ShowCrateTicks();
}

void TMainForm::RackTypeCLChange()
{
    // Exactly one crate type stays ticked: the one the user toggled last,
    // or, when that was the ticked one, it again.
    if (!Basket->TickCrateType(RackTypeCL->ItemIndex())) {
        ShowCrateTicks();
        return;
    }
    WarnWhenCrateFull();
}

void TMainForm::AddBtnClick()
{
    if (FCategoryField->text().isEmpty())
        return; // no block shown
    // Read by SQLite's numeric prefix, '2,5' would count as 2 A: a block
    // whose numbers are not numbers never goes into the basket.
    if (!shownNotANumber_.isEmpty())
        throw EConvertError(NotANumberRefusal(FIdentField->text(), shownNotANumber_).toStdString());
    // The one place where texts on screen become numbers: the block shown.
    // The code is the catalog's own, exactly: its screen text need not
    // lead back to it (a tab or a zero byte in it).
    const DeviceTexts texts{
        QString::fromUtf8(shownCode_), FV5Field->text(),         FV7Field->text(),
        F_V7Field->text(),             FTotalPowerField->text(), FSlotsCountField->text(),
        FNameRusField->text()};
    // The quantity's text may be typed and not yet taken: take it first.
    CountField->interpretText();
    const auto count = static_cast<std::size_t>(CountField->value());
    // All of them or none, as one step.
    if (Basket->Add(std::vector<TDevice>(count, MakeDevice(texts, DecimalSeparator))) ==
        TBasketModel::AddResult::Full)
        ShowMessage(Text(kApplicationTitle), Text(u"Корзина заполнена!"), MessageKind::Warning);
}

void TMainForm::DelBtnClick()
{
    Basket->Delete(RackTabLB->ItemIndex());
}

void TMainForm::ClearBtnClick()
{
    if (AskOkCancel(Text(kApplicationTitle), Text(u"Очистить корзину?")) == MessageAnswer::Ok)
        Basket->Clear();
}

void TMainForm::UndoBtnClick()
{
    Basket->UndoStack()->undo();
}

void TMainForm::RedoBtnClick()
{
    Basket->UndoStack()->redo();
}

// ---------------------------------------------------------------------------
// The basket on screen, from the model

void TMainForm::ShowBasket()
{
    ShowBasketRows();
    ShowRackPicture();
    ShowCrateTicks();
    const BasketBudget& budget = Basket->Evaluate();
    ShowTotals(budget);
    ShowBudget(budget);
}

// The rows follow the entries. An added entry is appended and a deleted one
// taken out, as the list does it, so that its chosen row behaves as before;
// any other change (a clear, an undo, a file) fills the list afresh.
void TMainForm::ShowBasketRows()
{
    TListItems& items = RackTabLB->Items();
    const std::vector<TDevice>& devices = Basket->Devices();
    const int shown = items.Count();
    const int wanted = static_cast<int>(devices.size());
    const auto same = [&](int row, int entry) {
        return items[row] == ShownBasketRow(devices[static_cast<std::size_t>(entry)].Texts);
    };
    int common = 0;
    while (common < shown && common < wanted && same(common, common))
        ++common;
    if (common == shown && common == wanted)
        return;
    if (common == shown) {
        const TListAppendBatch batch(items);
        for (int entry = shown; entry < wanted; ++entry)
            items.Add(ShownBasketRow(devices[static_cast<std::size_t>(entry)].Texts));
    } else if (wanted == shown - 1 && [&] {
                   for (int entry = common; entry < wanted; ++entry)
                       if (!same(entry + 1, entry))
                           return false;
                   return true;
               }()) {
        items.Delete(common);
    } else {
        RackTabLB->Clear();
        const TListAppendBatch batch(items);
        for (const TDevice& device : devices)
            items.Add(ShownBasketRow(device.Texts));
    }
    RackTabLB->UpdateFromHeader(*RackHeader);
}

// The picture keeps its chosen block at its index; the basket's chosen
// row is the one it follows, so it is chosen again from the list.
void TMainForm::ShowRackPicture()
{
    const QSignalBlocker quiet(RackViewPanel);
    RackViewPanel->SetItems(RackItemsOfDevices(Basket->Devices(), SlotCountOf(Basket->TickedCrateType())),
                            SlotCountOf(Basket->TickedCrateType()));
    RackViewPanel->SetCurrent(RackTabLB->ItemIndex());
}

void TMainForm::RackTabLBClick()
{
    const QSignalBlocker quiet(RackViewPanel);
    RackViewPanel->SetCurrent(RackTabLB->ItemIndex());
}

void TMainForm::RackViewPanelCurrentChanged(int entry)
{
    if (entry != RackTabLB->ItemIndex())
        RackTabLB->SetItemIndex(entry);
}

void TMainForm::RackViewPanelMoveRequested(int from, int to)
{
    MoveBasketEntry(from, to);
}

void TMainForm::MoveBasketEntry(int from, int to)
{
    if (!Basket->Move(from, to))
        return;
    RackTabLB->SetItemIndex(to);
    const QSignalBlocker quiet(RackViewPanel);
    RackViewPanel->SetCurrent(to);
}

void TMainForm::ShowCrateTicks()
{
    const int ticked = Basket->TickedCrate();
    for (int row = 0; row < RackTypeCL->Items().Count(); ++row)
        RackTypeCL->SetRowState(row, row == ticked ? cbChecked : cbUnchecked);
}

// The totals row, one line below the basket, red when a sum passes the
// ticked crate's limit; after the last entry is deleted an empty row, after
// a clear none, with the colour as it was (the model keeps that history).
void TMainForm::ShowTotals(const BasketBudget& budget)
{
    const TotalsLine& line = Basket->Line();
    switch (line.colour) {
    case TotalsLine::Colour::Unset:
        TotalTabLB->SetFontColor(QColor()); // the list's own
        break;
    case TotalsLine::Colour::Within:
        TotalTabLB->SetFontColor(palette().color(QPalette::WindowText));
        break;
    case TotalsLine::Colour::Over:
        TotalTabLB->SetFontColor(kOverLimitColor);
        break;
    }
    TotalTabLB->Clear();
    if (line.shape == TotalsLine::Shape::Blank)
        TotalTabLB->Items().Add(QString());
    else if (line.shape == TotalsLine::Shape::Sums && !budget.empty)
        TotalTabLB->Items().Add(TotalsRow(budget.totals, DecimalSeparator));
    TotalTabLB->UpdateFromHeader(*RackHeader);
}
