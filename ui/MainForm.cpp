#include "MainForm.h"

#include "CatalogQueries.h"
#include "CategoryFiles.h"
#include "CheckList.h"
#include "CrateTypes.h"
#include "DecimalText.h"
#include "DialogUnit.h"
#include "HandlerGuard.h"
#include "Header.h"
#include "Platform.h"
#include "SQLiteTable3.h"
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
#include <QSplitter>
#include <QVBoxLayout>

namespace {

const QColor kOverLimitColor(255, 0, 0);
const QColor kEditFocusColor(240, 240, 240);

QString Text(const char16_t* text)
{
    return QString::fromUtf16(text);
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

QLabel* NewLabel(const char16_t* caption, QWidget* parent)
{
    return new QLabel(Text(caption), parent);
}

QPushButton* NewButton(const char16_t* caption, QWidget* parent)
{
    auto* button = new TFlatButton(Text(caption), parent);
    button->setAccessibleName(button->text());
    return button;
}

// Gives a control the accessible name of the caption that labels it.
void Label(QLabel* caption, QWidget* control)
{
    caption->setBuddy(control);
    QString name = caption->text();
    if (name.endsWith(u':'))
        name.chop(1);
    control->setAccessibleName(name.trimmed());
}

void AppendSection(THeader* header, const char16_t* caption)
{
    header->AddSection(Text(caption), 0);
}

} // namespace

TMainForm::TMainForm(const QString& catalogDir, const QString& decimalSeparator, QWidget* parent)
    : QMainWindow(parent),
      DecimalSeparator(decimalSeparator.isEmpty() ? LocaleDecimalSeparator() : decimalSeparator),
      catalogDir_(catalogDir)
{
    BuildLayout();
    WireEvents();
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
// Layout

void TMainForm::BuildLayout()
{
    setWindowTitle(Text(kApplicationTitle));
    setFont(FormFont());
    ExitItem = menuBar()->addAction(Text(u"ВЫХОД"));
    ExitItem->setObjectName(QStringLiteral("ExitItem"));

    MainSplitter = new QSplitter(Qt::Vertical, this);
    MainSplitter->setHandleWidth(2);
    MainSplitter->setChildrenCollapsible(false);
    UpSplitter = new QSplitter(Qt::Horizontal, MainSplitter);
    UpSplitter->setHandleWidth(2);
    UpSplitter->setChildrenCollapsible(false);
    UpSplitter->addWidget(BuildSearchGroup());
    UpSplitter->addWidget(BuildDetailsGroup());
    MainSplitter->addWidget(UpSplitter);
    MainSplitter->addWidget(BuildBasketGroup());
    setCentralWidget(MainSplitter);

    // Client area 1035 x 863 below the menu, bars at 479 and 486 pixels.
    const int menuHeight = menuBar()->sizeHint().height();
    resize(1035, 863 + menuHeight);
    MainSplitter->setSizes({479, 863 - 479 - 2});
    UpSplitter->setSizes({486, 1035 - 486 - 2});
    MainSplitter->setStretchFactor(0, 56);
    MainSplitter->setStretchFactor(1, 44);
    UpSplitter->setStretchFactor(0, 47);
    UpSplitter->setStretchFactor(1, 53);
    if (const QScreen* screen = this->screen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

QWidget* TMainForm::BuildSearchGroup()
{
    DownGB = new TBannerGroupBox(Text(u"  [  ПОИСК  ]  "), UpSplitter);
    DownGB->setAccessibleName(Text(u"ПОИСК"));
    auto* layout = new QVBoxLayout(DownGB);

    CategoryRB = new QRadioButton(Text(u"ПО КАТЕГОРИИ ОБОРУДОВАНИЯ"), DownGB);
    CategoryRB->setAccessibleName(CategoryRB->text());
    CategoryRB->setChecked(true);
    CodeRB = new QRadioButton(Text(u"ПО НАЗВАНИЮ УСТРОЙСТВА"), DownGB);
    CodeRB->setAccessibleName(CodeRB->text());
    layout->addWidget(CategoryRB);
    layout->addWidget(CodeRB);

    // The two search panels share one place; at start both are shown with
    // the category panel on top.
    auto* panels = new QWidget(DownGB);
    auto* stack = new QGridLayout(panels);
    stack->setContentsMargins(0, 0, 0, 0);

    CodePanel = new QWidget(panels);
    auto* codeLayout = new QVBoxLayout(CodePanel);
    codeLayout->setContentsMargins(0, 0, 0, 0);
    auto* codeLabel = NewLabel(u"ШИФР БЛОКА ИЛИ ЧАСТЬ ШИФРА:", CodePanel);
    FindIdentField = new QLineEdit(CodePanel);
    Label(codeLabel, FindIdentField);
    codeLayout->addWidget(codeLabel);
    codeLayout->addWidget(FindIdentField);
    codeLayout->addStretch();

    CategoryPanel = new QWidget(panels);
    CategoryPanel->setAutoFillBackground(true);
    auto* categoryLayout = new QVBoxLayout(CategoryPanel);
    categoryLayout->setContentsMargins(0, 0, 0, 0);
    auto* categoryLabel = NewLabel(u"КАТЕГОРИЯ:", CategoryPanel);
    CategoryField = new QComboBox(CategoryPanel);
    Label(categoryLabel, CategoryField);
    auto* subCategoryLabel = NewLabel(u"ПОДКАТЕГОРИЯ:", CategoryPanel);
    SubCategoryField = new QComboBox(CategoryPanel);
    Label(subCategoryLabel, SubCategoryField);
    SubCategoryField->setEnabled(false);
    for (QComboBox* combo : {CategoryField, SubCategoryField}) {
        // Editable through its own line edit: setEditable() would also build
        // the drop-down list at once, which is only needed when it opens.
        combo->setLineEdit(new QLineEdit(combo));
        combo->lineEdit()->setAccessibleName(combo->accessibleName());
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setCompleter(nullptr); // completion is the window's own, see WireCompletion
        combo->setMaxVisibleItems(24);
    }
    categoryLayout->addWidget(categoryLabel);
    categoryLayout->addWidget(CategoryField);
    categoryLayout->addWidget(subCategoryLabel);
    categoryLayout->addWidget(SubCategoryField);

    stack->addWidget(CodePanel, 0, 0);
    stack->addWidget(CategoryPanel, 0, 0);
    layout->addWidget(panels);

    auto* listLabel = NewLabel(u"СОСТАВ ОБОРУДОВАНИЯ:", DownGB);
    layout->addWidget(listLabel);
    TableHeader = new THeader(DownGB);
    TableHeader->setAccessibleName(Text(u"СОСТАВ ОБОРУДОВАНИЯ, ЗАГОЛОВОК"));
    AppendSection(TableHeader, u"   ШИФР");
    AppendSection(TableHeader, u"   НАИМЕНОВАНИЕ");
    BlockTabLB = new TTabbedListBox(DownGB);
    Label(listLabel, BlockTabLB);
    auto* columns = new QVBoxLayout;
    columns->setSpacing(0);
    columns->addWidget(TableHeader);
    columns->addWidget(BlockTabLB, 1);
    layout->addLayout(columns, 1);

    AddBtn = NewButton(u"ДОБАВИТЬ В КОРЗИНУ", DownGB);
    layout->addWidget(AddBtn);
    return DownGB;
}

QWidget* TMainForm::BuildDetailsGroup()
{
    RightGB = new TBannerGroupBox(Text(u"  [  УСТРОЙСТВО  ]  "), UpSplitter);
    RightGB->setAccessibleName(Text(u"УСТРОЙСТВО"));
    auto* outer = new QVBoxLayout(RightGB);
    auto* scroll = new QScrollArea(RightGB);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* details = new QWidget(scroll);
    auto* grid = new QGridLayout(details);
    grid->setColumnStretch(1, 1);

    struct Row {
        const char16_t* caption;
        QLabel** value;
        bool wrap;
    };
    const Row rows[] = {
        {u"КАТЕГОРИЯ ОБОРУДОВАНИЯ", &FCategoryField, true},
        {u"ПОДКАТЕГОРИЯ ОБОРУДОВАНИЯ", &FSubCategoryField, true},
        {u"НАИМЕНОВАНИЕ БЛОКА (РУС.)", &FNameRusField, true},
        {u"ШИФР БЛОКА", &FIdentField, false},
        {u"ВИПР", &FVIPRField, false},
        {u"КОЛИЧЕСТВО СЛОТОВ", &FSlotsCountField, false},
        {u"ТОК ПО КАНАЛУ +5V, А", &FV5Field, false},
        {u"ТОК ПО КАНАЛУ +7V, А", &FV7Field, false},
        {u"ТОК ПО КАНАЛУ -7V, А", &F_V7Field, false},
        {u"ПОТРЕБЛЯЕМАЯ МОЩНОСТЬ, ВТ", &FTotalPowerField, false},
    };
    int line = 0;
    for (const Row& row : rows) {
        auto* caption = NewLabel(row.caption, details);
        caption->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        auto* value = new QLabel(details);
        value->setWordWrap(row.wrap);
        value->setTextFormat(Qt::PlainText);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        value->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        // A value label keeps its text as what a screen reader reads; the
        // caption it stands beside becomes its description.
        caption->setBuddy(value);
        value->setAccessibleDescription(caption->text());
        grid->addWidget(caption, line, 0);
        grid->addWidget(value, line, 1);
        *row.value = value;
        ++line;
    }
    grid->setRowStretch(line, 1);
    scroll->setWidget(details);
    outer->addWidget(scroll);
    return RightGB;
}

QWidget* TMainForm::BuildBasketGroup()
{
    RackGB = new TBannerGroupBox(Text(u"  [  КОРЗИНА  ]  "), MainSplitter);
    RackGB->setAccessibleName(Text(u"КОРЗИНА"));
    // One column holds the crate types, the header, the basket and the
    // totals, so that all three lists line up under the header's sections.
    auto* grid = new QGridLayout(RackGB);
    grid->setVerticalSpacing(0);

    auto* typeLabel = NewLabel(u"ТИП КОРЗИНЫ:", RackGB);
    RackTypeCL = new TCheckList(RackGB);
    Label(typeLabel, RackTypeCL);
    RackTypeCL->setMinimumHeight(50);
    RackTypeCL->setMaximumHeight(7 * 17 + 6);

    RackHeader = new THeader(RackGB);
    RackHeader->setAccessibleName(Text(u"КОРЗИНА, ЗАГОЛОВОК"));
    for (const char16_t* caption : {u"   ШИФР", u"   +5V, А", u"   +7V, А", u"   -7V, А",
                                    u"   МОЩНОСТЬ, ВТ", u"   КОЛ-ВО СЛОТОВ"})
        AppendSection(RackHeader, caption);
    RackTabLB = new TTabbedListBox(RackGB);
    RackTabLB->setAccessibleName(Text(u"СОСТАВ КОРЗИНЫ"));

    DelBtn = NewButton(u"УДАЛИТЬ", RackGB);
    ClearBtn = NewButton(u"ОЧИСТИТЬ", RackGB);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(DelBtn);
    buttons->addWidget(ClearBtn);
    BuildFileButtons(buttons);
    buttons->addStretch();

    auto* totalLabel = NewLabel(u"ИТОГО:", RackGB);
    TotalTabLB = new TTabbedListBox(RackGB);
    Label(totalLabel, TotalTabLB);
    TotalTabLB->setFixedHeight(33);
    TotalTabLB->SetItemHeight(13);
    TotalTabLB->setEnabled(false); // shows the totals; its colour carries the verdict
    TotalTabLB->SetFontColor(palette().color(QPalette::WindowText));

    grid->addWidget(typeLabel, 0, 0);
    grid->addWidget(RackTypeCL, 1, 0);
    grid->addItem(new QSpacerItem(0, 6), 2, 0);
    grid->addWidget(RackHeader, 3, 0);
    grid->addWidget(RackTabLB, 4, 0);
    grid->addLayout(buttons, 4, 1);
    grid->addItem(new QSpacerItem(0, 6), 5, 0);
    grid->addWidget(totalLabel, 6, 0);
    grid->addWidget(TotalTabLB, 7, 0);
    grid->setRowStretch(4, 1);
    grid->setColumnStretch(0, 1);

    const QFont listFont = ListFont();
    for (TTabbedListBox* list :
         {BlockTabLB, static_cast<TTabbedListBox*>(RackTypeCL), RackTabLB, TotalTabLB})
        list->setFont(listFont);
    return RackGB;
}

// ---------------------------------------------------------------------------
// Event wiring: every handler runs inside the one guard.

void TMainForm::WireEvents()
{
    connect(ExitItem, &QAction::triggered, this, GuardedSlot(&TMainForm::ExitItemClick));
    connect(CategoryRB, &QRadioButton::clicked, this, GuardedSlot(&TMainForm::CategoryRBClick));
    connect(CodeRB, &QRadioButton::clicked, this, GuardedSlot(&TMainForm::CodeRBClick));
    WireCompletion(CategoryField, &TMainForm::CategoryFieldChange);
    WireCompletion(SubCategoryField, &TMainForm::SubCategoryFieldChange);
    FindIdentField->installEventFilter(this);
    CategoryField->lineEdit()->installEventFilter(this);
    SubCategoryField->lineEdit()->installEventFilter(this);
    connect(TableHeader, &THeader::Sized, this, GuardedSlot(&TMainForm::TableHeaderSized));
    connect(RackHeader, &THeader::Sized, this, GuardedSlot(&TMainForm::RackHeaderSized));
    for (TTabbedListBox* list : {BlockTabLB, RackTabLB, TotalTabLB})
        connect(list, &TTabbedListBox::Click, this, GuardedSlot(&TMainForm::BlockTabLBClick));
    connect(RackTypeCL, &TCheckList::Change, this, GuardedSlot(&TMainForm::RackTypeCLChange));
    connect(AddBtn, &QPushButton::clicked, this, GuardedSlot(&TMainForm::AddBtnClick));
    connect(DelBtn, &QPushButton::clicked, this, GuardedSlot(&TMainForm::DelBtnClick));
    connect(ClearBtn, &QPushButton::clicked, this, GuardedSlot(&TMainForm::ClearBtnClick));
    WireFileButtons();
}

std::function<void()> TMainForm::GuardedSlot(void (TMainForm::*handler)())
{
    return [this, handler] { Guarded([this, handler] { (this->*handler)(); }); };
}

namespace {

// Position of the first item whose text begins with `typed`, without regard
// to case; -1 when there is none or nothing is typed.
int FirstItemStartingWith(const QComboBox* combo, const QString& typed)
{
    for (int i = 0; i < combo->count() && !typed.isEmpty(); ++i)
        if (combo->itemText(i).startsWith(typed, Qt::CaseInsensitive))
            return i;
    return -1;
}

} // namespace

// The combo boxes complete typed text: text that begins an item's text
// chooses the first such item and is completed to it; text that begins no
// item stays as typed with no item chosen. Either way the change handler
// runs, as it does for an item picked from the list.
void TMainForm::WireCompletion(QComboBox* combo, void (TMainForm::*change)())
{
    connect(combo, &QComboBox::activated, this, GuardedSlot(change));
    connect(combo->lineEdit(), &QLineEdit::textEdited, this,
            [this, combo, change](const QString& typed) {
                const int found = FirstItemStartingWith(combo, typed);
                QLineEdit* edit = combo->lineEdit();
                {
                    const QSignalBlocker blocker(combo);
                    combo->setCurrentIndex(found);
                    // Deleting never completes, or the completion would come
                    // straight back.
                    if (found >= 0 && !lastKeyDeletes_) {
                        // The completed part is selected, so that the next
                        // key typed replaces it.
                        const QString item = combo->itemText(found);
                        edit->setText(item);
                        edit->setSelection(static_cast<int>(typed.size()),
                                           static_cast<int>(item.size() - typed.size()));
                    } else {
                        edit->setText(typed);
                    }
                }
                GuardedSlot(change)();
            });
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        // Edit fields show where the typing goes in the focus colour.
        if (auto* edit = qobject_cast<QLineEdit*>(watched)) {
            QPalette colours = edit->palette();
            colours.setColor(QPalette::Base,
                             event->type() == QEvent::FocusIn
                                 ? kEditFocusColor
                                 : QApplication::palette(edit).color(QPalette::Base));
            edit->setPalette(colours);
        }
    }
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == FindIdentField)
            Guarded([this, key] { FindIdentFieldKeyDown(key); });
        else
            lastKeyDeletes_ = key == Qt::Key_Backspace || key == Qt::Key_Delete;
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
        TmdDialogForm::ShowDialog(Text(kDatabaseTitle), CatalogNotFoundText(), IDI_HAND,
                                  {QStringLiteral("OK")});
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        return;
    }
    try {
        // The catalog is only ever read: open it read-only, so that no
        // search can change a byte of it or leave a journal beside it.
        Database =
            std::make_unique<TSQLiteDatabase>(path.toStdString(), DecimalSeparator.toStdString(),
                                              TSQLiteDatabase::OpenMode::ReadOnly);
    } catch (const std::exception&) {
        TmdDialogForm::ShowDialog(Text(kDatabaseTitle), Text(u"Ошибка создания базы данных!"),
                                  IDI_HAND, {QStringLiteral("OK")});
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    }
}

void TMainForm::FormDestroy()
{
    Devices.clear();
    Database.reset();
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
}

void TMainForm::CategoryRBClick()
{
    if (CategoryRB->isChecked()) {
        CategoryPanel->show();
        CodePanel->hide();
    }
    BlockTabLB->Clear();
    ClearDetails();
}

void TMainForm::CodeRBClick()
{
    if (CodeRB->isChecked()) {
        CodePanel->show();
        CategoryPanel->hide();
    }
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
    {
        // The rows go in as one batch: the list is told of them, and works
        // out its stops, once rather than once per row.
        const TListAppendBatch batch(BlockTabLB->Items());
        rows = ForEachSearchRowView(*Database, query,
                                    [this](QStringView row) { BlockTabLB->Items().Add(row); });
    }
    if (rows > 0)
        BlockTabLB->UpdateFromHeader(*TableHeader);
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
}

void TMainForm::BlockTabLBClick()
{
    const int row = BlockTabLB->ItemIndex();
    if (row < 0)
        return;
    ClearDetails();
    const BlockRecord record = ReadBlockDetails(*Database, BlockTabLB->ColumnText(0, row));

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
            subCategory = LineOrEmpty(names, (s - n) / 100 - 1);
        }
    }

    FCategoryField->setText(category);
    FSubCategoryField->setText(subCategory);
    FIdentField->setText(record.ident);
    FNameRusField->setText(record.nameRus);
    FVIPRField->setText(record.vipr);
    FSlotsCountField->setText(record.slotsCount);
    FV5Field->setText(record.v5);
    FV7Field->setText(record.v7);
    F_V7Field->setText(record.v_7);
    FTotalPowerField->setText(record.totalPower);
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
    const int type = FindCheckedRackType();
    const std::int64_t usedSlots = ParseInteger(TotalTabLB->ColumnText(kFieldSlots, 0));
    const std::int64_t slotLimit = ParseInteger(RackTypeCL->ColumnText(kFieldSlots, type));
    if (slotLimit < usedSlots)
        TmdDialogForm::ShowDialog(Text(kApplicationTitle), Text(u"Корзина заполнена!"),
                                  IDI_EXCLAMATION, {QStringLiteral("OK")});
}

void TMainForm::AddBtnClick()
{
    if (FCategoryField->text().isEmpty())
        return; // no block shown
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
    RackTabLB->Items().Add(BasketRow(texts));
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
}

// The totals row, one line below the basket; an empty basket gives an empty
// row. Colours the totals red when any sum passes the ticked crate's limit.
QString TMainForm::ComputeTotals()
{
    if (Devices.empty())
        return QString();
    const int type = FindCheckedRackType();
    const Totals totals = SumDevices(Devices);
    std::array<QString, 5> limits;
    for (int field = kFieldV5; field <= kFieldSlots; ++field)
        limits[static_cast<size_t>(field - kFieldV5)] = RackTypeCL->ColumnText(field, type);
    const bool within = WithinLimits(totals, limits, DecimalSeparator);
    TotalTabLB->SetFontColor(within ? palette().color(QPalette::WindowText) : kOverLimitColor);
    return TotalsRow(totals, DecimalSeparator);
}

void TMainForm::RefillTotals()
{
    const QString totals = ComputeTotals();
    TotalTabLB->Clear();
    TotalTabLB->Items().Add(totals);
    TotalTabLB->UpdateFromHeader(*RackHeader);
}
