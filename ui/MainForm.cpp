// SPDX-License-Identifier: MIT
#include "MainForm.h"

#include "CatalogQueries.h"
#include "CategoryFiles.h"
#include "CheckList.h"
#include "ComboCompletion.h"
#include "CrateTypes.h"
#include "DecimalText.h"
#include "DialogUnit.h"
#include "EditFocusColour.h"
#include "FieldColorListBox.h"
#include "FormText.h"
#include "HandlerGuard.h"
#include "Header.h"
#include "Platform.h"
#include "SQLiteTable3.h"
#include "SearchProgress.h"
#include "TabbedListBox.h"
#include "WidgetKit.h"

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
#include <QSpinBox>
#include <QSplitter>
#include <QVBoxLayout>

#include <cstdio>

namespace {

const QColor kOverLimitColor(255, 0, 0);
const QColor kEditFocusColor(240, 240, 240);

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
    : QMainWindow(parent),
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
    WireFileButtons();
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
        if (watched == FindIdentField)
            Guarded([this, key] { FindIdentFieldKeyDown(key); });
        else if (watched == BlockTabLB || watched == RackTabLB)
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

    Devices.clear();
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
        TmdDialogForm::ShowDialog(Text(kDatabaseTitle), CatalogNotFoundText(), IDI_HAND,
                                  {QStringLiteral("OK")});
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        return;
    }
    try {
        // The catalog is only ever read: open it read-only, so that no
        // search can change a byte of it or leave a journal beside it.
        Database = std::make_unique<TSQLiteDatabase>(QFile::encodeName(path).toStdString(),
                                                     DecimalSeparator.toStdString(),
                                                     TSQLiteDatabase::OpenMode::ReadOnly);
        SearchProgress = std::make_unique<TSearchProgress>(this, *Database);
        Database->SetProgress(SearchProgress.get());
    } catch (const std::exception& error) {
        ReportToStandardError(error.what());
        TmdDialogForm::ShowDialog(Text(kDatabaseTitle), Text(u"Ошибка создания базы данных!"),
                                  IDI_HAND, {QStringLiteral("OK")});
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    }
}

void TMainForm::FormDestroy()
{
    Devices.clear();
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
    for (QLabel* value : {FCategoryField, FSubCategoryField, FNameRusField, FIdentField, FVIPRField,
                          FSlotsCountField, FV5Field, FV7Field, F_V7Field, FTotalPowerField})
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
    SubCategoryField->setEnabled(true);
    SubCategoryField->clear();
    SubCategoryField->clearEditText();
    BlockTabLB->Clear();
    ClearDetails();

    const int category = CategoryNumber(CategoryField->currentIndex());
    if (HasSubcategories(category)) {
        SubCategoryField->addItems(LoadCategoryFile(CategoryFilePath(catalogDir_, category)));
        SubCategoryField->setCurrentIndex(-1);
    } else {
        SubCategoryField->setCurrentIndex(-1);
        SubCategoryField->setEnabled(false);
    }
    if (!SubCategoryField->isEnabled())
        FillSearchList(QueryByCategory(category));
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
        // The rows go in as one batch: the list is told of them, and works
        // out its stops, once rather than once per row.
        const TListAppendBatch batch(BlockTabLB->Items());
        try {
            // Each row keeps its block's exact code: the screen text of a
            // code need not lead back to it.
            rows = ForEachSearchRowView(
                *Database, query, [this](QStringView row, std::string_view code) {
                    BlockTabLB->Items().Add(
                        row, QByteArrayView(code.data(), static_cast<qsizetype>(code.size())));
                });
        } catch (const EQueryCancelled&) {
            cancelled = true;
        } catch (const std::bad_alloc&) {
            outOfMemory = true;
        }
    }
    if (outOfMemory)
        ReportSearchOutOfMemory();
    if (cancelled) {
        BlockTabLB->Clear();
        ReportCancelledSearch(u"Поиск в каталоге отменён: список пуст.");
    } else if (rows > 0)
        BlockTabLB->UpdateFromHeader(*TableHeader);
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
    TmdDialogForm::ShowDialog(Text(kApplicationTitle), Text(text), IDI_EXCLAMATION,
                              {QStringLiteral("OK")});
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
    for (const CrateType& type : CrateTypes()) {
        RackTypeCL->Items().Add(CrateTypeRow(type, DecimalSeparator));
        if (RackTypeCL->Items().Count() == 1)
            RackTypeCL->SetRowState(0, cbChecked);
    }
}

int TMainForm::FindCheckedRackType() const
{
    for (int row = 0; row < RackTypeCL->Items().Count(); ++row)
        if (RackTypeCL->RowState(row) == cbChecked)
            return row;
    return -1;
}

void TMainForm::RackTypeCLChange()
{
    // Exactly one crate type stays ticked: the one the user toggled last.
    const int chosen = RackTypeCL->ItemIndex();
    for (int row = 0; row < RackTypeCL->Items().Count(); ++row)
        RackTypeCL->SetRowState(row, row == chosen ? cbChecked : cbUnchecked);

    if (RackTabLB->Items().Count() == 0)
        return;
    RefillTotals();
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
    const std::int64_t usedSlots = UsedSlots(Devices);
    const int type = FindCheckedRackType();
    const DeviceTexts texts{FIdentField->text(),      FV5Field->text(),
                            FV7Field->text(),         F_V7Field->text(),
                            FTotalPowerField->text(), FSlotsCountField->text()};
    TDevice device = MakeDevice(texts, DecimalSeparator);
    const std::int64_t slotLimit = ParseInteger(RackTypeCL->ColumnText(kFieldSlots, type));
    if (!SlotsFit(slotLimit, usedSlots, device.SlotsCount)) {
        TmdDialogForm::ShowDialog(Text(kApplicationTitle), Text(u"Корзина заполнена!"),
                                  IDI_EXCLAMATION, {QStringLiteral("OK")});
        return;
    }
    Devices.push_back(std::move(device));
    // The row shows the code as the screen does; the exact code goes with it.
    RackTabLB->Items().Add(BasketRow(texts), shownCode_);
    RackTabLB->UpdateFromHeader(*RackHeader);
    RefillTotals();
}

void TMainForm::DelBtnClick()
{
    const int row = RackTabLB->ItemIndex();
    if (row >= 0) {
        RackTabLB->Items().Delete(row);
        Devices.erase(Devices.begin() + row);
    }
    RackTabLB->UpdateFromHeader(*RackHeader);
    RefillTotals();
}

void TMainForm::ClearBtnClick()
{
    const int answer =
        TmdDialogForm::ShowDialog(Text(kApplicationTitle), Text(u"Очистить корзину?"), IDI_QUESTION,
                                  {QStringLiteral("OK"), QStringLiteral("CANCEL")});
    if (answer != 1)
        return;
    RackTabLB->Clear();
    RackTabLB->UpdateFromHeader(*RackHeader);
    TotalTabLB->Clear();
    TotalTabLB->UpdateFromHeader(*RackHeader);
    Devices.clear();
    ShowBudget();
}

// The totals row, one line below the basket; an empty basket gives an empty
// row. Colours the totals red when any sum passes the ticked crate's limit.
QString TMainForm::ComputeTotals()
{
    if (Devices.empty())
        return QString();
    const int type = FindCheckedRackType();
    const Totals totals = SumDevices(Devices);
    const bool within = WithinLimits(totals, RackTypeLimits(type), DecimalSeparator);
    TotalTabLB->SetFontColor(within ? palette().color(QPalette::WindowText) : kOverLimitColor);
    return TotalsRow(totals, DecimalSeparator);
}

void TMainForm::RefillTotals()
{
    const QString totals = ComputeTotals();
    TotalTabLB->Clear();
    TotalTabLB->Items().Add(totals);
    TotalTabLB->UpdateFromHeader(*RackHeader);
    ShowBudget();
}
