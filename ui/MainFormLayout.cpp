// SPDX-License-Identifier: MIT
// The main window's layout: the search, details and basket groups inside
// two splitters, at the sizes and places the window opens with. Every
// control is created here and named after its member.

#include "ui/MainForm.h"

#include "kit/CheckList.h"
#include "kit/FieldColorListBox.h"
#include "kit/Header.h"
#include "kit/Platform.h"
#include "kit/RackView.h"
#include "kit/TabbedListBox.h"
#include "kit/WidgetKit.h"
#include "ui/FormText.h"
#include "ui/WindowFit.h"

#include <QAction>
#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
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

#include <utility>

namespace {

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

void TMainForm::BuildLayout()
{
    setWindowTitle(Text(kApplicationTitle));
    setFont(FormFont());
    ExitItem = menuBar()->addAction(Text(u"ВЫХОД"));

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
    NameControls();

    // Client area 1035 x 863 below the menu, bars at 479 and 486 pixels;
    // on a screen too small for that, the available area, bars at the same
    // proportions, so that the title bar, the menu and the totals stay on it.
    const int menuHeight = menuBar()->sizeHint().height();
    constexpr int kHandle = 2;
    const QSize described(1035, 863 + menuHeight);
    QSize client = described;
    QPoint frameTopLeft;
    const QScreen* screen = this->screen();
    if (screen != nullptr) {
        const WindowMetrics metrics = SystemWindowMetrics();
        const QSize frame(2 * metrics.frameWidth, metrics.captionHeight + 2 * metrics.frameHeight);
        const WindowFit fit = FitWindow(described, screen->availableGeometry(), frame);
        client = fit.client;
        frameTopLeft = fit.frameTopLeft;
    }
    resize(client);
    MainSplitter->setSizes(
        ScaleSizes({479, 863 - 479 - kHandle}, client.height() - menuHeight - kHandle));
    UpSplitter->setSizes(ScaleSizes({486, 1035 - 486 - kHandle}, client.width() - kHandle));
    MainSplitter->setStretchFactor(0, 56);
    MainSplitter->setStretchFactor(1, 44);
    UpSplitter->setStretchFactor(0, 47);
    UpSplitter->setStretchFactor(1, 53);
    if (screen != nullptr)
        move(frameTopLeft);
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

    // The two search panels share one place. Only the one of the chosen
    // mode is shown: a covered panel would still take the focus and hide
    // what is typed into it, and a screen reader would find it.
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
        combo->setMaxVisibleItems(24);
    }
    categoryLayout->addWidget(categoryLabel);
    categoryLayout->addWidget(CategoryField);
    categoryLayout->addWidget(subCategoryLabel);
    categoryLayout->addWidget(SubCategoryField);

    stack->addWidget(CodePanel, 0, 0);
    stack->addWidget(CategoryPanel, 0, 0);
    ShowSearchPanel(CategoryPanel, CodePanel);
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
    // The quantity stands beside the button it feeds; its label is its
    // buddy, and so its accessible name.
    auto* countLabel = NewLabel(u"КОЛ-ВО", DownGB);
    CountField = new QSpinBox(DownGB);
    CountField->setRange(1, 99);
    CountField->setValue(1);
    Label(countLabel, CountField);
    auto* addRow = new QHBoxLayout;
    addRow->addWidget(AddBtn, 1);
    addRow->addWidget(countLabel);
    addRow->addWidget(CountField);
    layout->addLayout(addRow);
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
    // The details are read, not worked: Tab passes them by, and screen
    // readers find each value beside its caption.
    scroll->setFocusPolicy(Qt::NoFocus);
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
    RackViewPanel = new TRackView(RackGB);
    RackViewPanel->setAccessibleName(Text(u"Корзина по слотам"));
    // Two lines high: the slot numbers and a line for the blocks' codes;
    // the rows under it keep the rest of the height, two rows at the least.
    const int line = QFontMetrics(RackViewPanel->font()).height();
    RackViewPanel->setFixedHeight(line * 2 + 14);
    RackTabLB->setMinimumHeight(line * 2 + 4);

    DelBtn = NewButton(u"УДАЛИТЬ", RackGB);
    ClearBtn = NewButton(u"ОЧИСТИТЬ", RackGB);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(DelBtn);
    buttons->addWidget(ClearBtn);
    buttons->addStretch();
    // The file commands stand beside the crate types, so that the basket
    // list keeps its height.
    auto* fileButtons = new QGridLayout;
    BuildFileButtons(fileButtons);

    auto* totalLabel = NewLabel(u"ИТОГО:", RackGB);
    TotalTabLB = new TTabbedListBox(RackGB);
    Label(totalLabel, TotalTabLB);
    TotalTabLB->setFixedHeight(33);
    TotalTabLB->SetItemHeight(13);
    // Shows the totals, its colour carries the verdict. Tab reaches it so
    // that a screen reader reads the sums and their verdict (the list's
    // description); it takes no selection and keeps the face of a list
    // that only shows.
    TotalTabLB->setSelectionMode(QAbstractItemView::NoSelection);
    TotalTabLB->setFocusPolicy(Qt::TabFocus);
    QPalette totalsLook = TotalTabLB->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        totalsLook.setBrush(group, QPalette::Base,
                            totalsLook.brush(QPalette::Disabled, QPalette::Base));
    TotalTabLB->setPalette(totalsLook);
    TotalTabLB->SetFontColor(palette().color(QPalette::WindowText));

    grid->addWidget(typeLabel, 0, 0);
    grid->addWidget(RackTypeCL, 1, 0);
    grid->addLayout(fileButtons, 0, 1, 2, 1);
    grid->addItem(new QSpacerItem(0, 6), 2, 0);
    // The picture above the rows it draws, as wide as they are: beside
    // them it would hide the columns the header names.
    grid->addWidget(RackViewPanel, 3, 0);
    grid->addItem(new QSpacerItem(0, 3), 4, 0);
    grid->addWidget(RackHeader, 5, 0);
    grid->addWidget(RackTabLB, 6, 0);
    grid->addLayout(buttons, 5, 1, 2, 1);
    grid->addItem(new QSpacerItem(0, 6), 7, 0);
    grid->addWidget(totalLabel, 8, 0);
    grid->addWidget(TotalTabLB, 9, 0);
    BuildBudgetControls(grid, 10);
    grid->setRowStretch(6, 1);
    grid->setColumnStretch(0, 1);

    const QFont listFont = ListFont();
    for (TTabbedListBox* list : {BlockTabLB, static_cast<TTabbedListBox*>(RackTypeCL), RackTabLB,
                                 TotalTabLB, static_cast<TTabbedListBox*>(HeadroomTabLB)})
        list->setFont(listFont);
    return RackGB;
}

// Style sheets, tests and inspection tools find a control by its member's
// name, as a form designer would give it.
void TMainForm::NameControls()
{
    const std::pair<QObject*, const char16_t*> controls[] = {
        {ExitItem, u"ExitItem"},
        {MainSplitter, u"MainSplitter"},
        {UpSplitter, u"UpSplitter"},
        {DownGB, u"DownGB"},
        {CategoryRB, u"CategoryRB"},
        {CodeRB, u"CodeRB"},
        {CategoryPanel, u"CategoryPanel"},
        {CodePanel, u"CodePanel"},
        {CategoryField, u"CategoryField"},
        {SubCategoryField, u"SubCategoryField"},
        {FindIdentField, u"FindIdentField"},
        {TableHeader, u"TableHeader"},
        {BlockTabLB, u"BlockTabLB"},
        {AddBtn, u"AddBtn"},
        {CountField, u"CountField"},
        {RightGB, u"RightGB"},
        {FCategoryField, u"FCategoryField"},
        {FSubCategoryField, u"FSubCategoryField"},
        {FNameRusField, u"FNameRusField"},
        {FIdentField, u"FIdentField"},
        {FVIPRField, u"FVIPRField"},
        {FSlotsCountField, u"FSlotsCountField"},
        {FV5Field, u"FV5Field"},
        {FV7Field, u"FV7Field"},
        {F_V7Field, u"F_V7Field"},
        {FTotalPowerField, u"FTotalPowerField"},
        {RackGB, u"RackGB"},
        {RackTypeCL, u"RackTypeCL"},
        {RackHeader, u"RackHeader"},
        {RackTabLB, u"RackTabLB"},
        {RackViewPanel, u"RackViewPanel"},
        {DelBtn, u"DelBtn"},
        {ClearBtn, u"ClearBtn"},
        {TotalTabLB, u"TotalTabLB"},
    };
    for (const auto& [control, name] : controls)
        control->setObjectName(Text(name));
}
