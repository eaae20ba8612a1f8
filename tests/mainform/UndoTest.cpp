// SPDX-License-Identifier: MIT
// Undo and redo in the real window: a whole sitting taken back to the empty
// basket and done again from the keyboard and the buttons, every row,
// colour and warning compared; what the basket shows after opening a file;
// and the catalog's stamp taken from the catalog as it was opened.

#include "WindowDriver.h"

#include "exchange/BasketFile.h"
#include "kit/CheckList.h"
#include "kit/FieldColorListBox.h"
#include "catalog/SQLiteTable3.h"
#include "kit/RackView.h"
#include "kit/TabbedListBox.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

// Everything the basket part of the window shows.
struct Screen {
    QStringList rows, totals, headroom, notes;
    QColor totalsColour;
    int ticked = -1;
    QString verdict;
    bool operator==(const Screen&) const = default;
};

void PrintTo(const Screen& screen, std::ostream* out)
{
    *out << screen.rows.join(u'|').toStdString() << " / " << screen.totals.join(u'|').toStdString()
         << " / " << screen.totalsColour.name().toStdString() << " / "
         << screen.headroom.join(u'|').toStdString() << " / " << screen.verdict.toStdString()
         << " / type " << screen.ticked << " / " << screen.notes.join(u'|').toStdString();
}

class Undo : public ::testing::Test {
protected:
    void SetUp() override
    {
        catalog.WriteStandard();
        catalog.AddBlocks({
            PowerBlock(u"ONE", 1, 0.1, 0.1, 0.1, 1),
            PowerBlock(u"HALF", 2, 1.5, 0.7, 0.35, 14.25),
            PowerBlock(u"MINUS", 1, 0, 0, 0.7, 0),
            PowerBlock(u"BIG", 1, 0, 0, 1.0, 0),
        });
    }
    void Start()
    {
        window = std::make_unique<Window>(catalog.Dir());
        ASSERT_NE(form().Database, nullptr);
        form().CodeRB->click();
        form().AskFileName = [this](FileRequest) { return nextFileName; };
    }
    TMainForm& form() { return *window->form; }
    std::vector<DialogCall>& dialogs() { return window->recorder.dialogs; }

    Screen Shown()
    {
        Screen screen;
        screen.rows = Rows(form().RackTabLB);
        screen.totals = Rows(form().TotalTabLB);
        screen.totalsColour = form().TotalTabLB->FontColor();
        screen.headroom = Rows(form().HeadroomTabLB);
        screen.verdict = form().FVerdictField->text();
        for (int row = 0; row < form().RackTypeCL->Items().Count(); ++row) {
            if (form().RackTypeCL->RowState(row) == cbChecked)
                screen.ticked = row;
            screen.notes << form().RackTypeCL->RowNote(row);
        }
        return screen;
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers)
    {
        form().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
        form().RackTabLB->setFocus();
        QTest::keyClick(form().RackTabLB, key, modifiers);
    }
    void OpenFile(const QString& path)
    {
        nextFileName = path;
        form().OpenBtn->click();
    }

    FixtureCatalog catalog;
    QTemporaryDir files;
    std::unique_ptr<Window> window;
    QString nextFileName;
};

} // namespace

TEST_F(Undo, AWholeSittingBackToTheEmptyBasketAndForwardAgain)
{
    Start();
    EXPECT_FALSE(form().UndoBtn->isEnabled());
    EXPECT_FALSE(form().RedoBtn->isEnabled());
    std::vector<Screen> screens{Shown()};
    const auto step = [&](const char* what, const std::function<void()>& act) {
        SCOPED_TRACE(what);
        act();
        EXPECT_NE(Shown(), screens.back()) << "no change on screen";
        screens.push_back(Shown());
        EXPECT_TRUE(form().UndoBtn->isEnabled());
        EXPECT_FALSE(form().RedoBtn->isEnabled());
    };
    const QString saved = files.filePath(QStringLiteral("sitting.vbasket"));

    step("add", [&] { AddToBasket(form(), u"HALF"); });
    EXPECT_EQ(form().UndoBtn->toolTip(), QStringLiteral("Отменить: добавление HALF"));
    step("add past −7 V", [&] { AddToBasket(form(), u"MINUS"); });
    nextFileName = saved;
    form().SaveBtn->click();
    step("a larger crate", [&] { TickRackType(form(), 4); });
    step("add", [&] { AddToBasket(form(), u"BIG"); });
    step("delete", [&] {
        ClickRow(form().RackTabLB, 0);
        form().DelBtn->click();
    });
    step("a smaller crate: red", [&] { TickRackType(form(), 0); });
    step("delete", [&] {
        ClickRow(form().RackTabLB, 0);
        form().DelBtn->click();
    });
    step("delete the last", [&] {
        ClickRow(form().RackTabLB, 0);
        form().DelBtn->click();
    });
    step("add again", [&] { AddToBasket(form(), u"HALF"); });
    step("clear", [&] { form().ClearBtn->click(); });
    step("a crate on the empty basket", [&] { TickRackType(form(), 5); });
    step("open the saved file", [&] { OpenFile(saved); });
    EXPECT_EQ(form().UndoBtn->toolTip(),
              QStringLiteral("Отменить: открытие файла sitting.vbasket"));
    ASSERT_TRUE(window->recorder.errors.isEmpty())
        << window->recorder.errors.join(u'|').toStdString();

    // The sitting has red totals, an empty row, none, and fit marks on the way.
    const Screen& red = screens[2];
    EXPECT_EQ(red.totalsColour, QColor(255, 0, 0));
    EXPECT_EQ(red.verdict, QStringLiteral("ПРЕВЫШЕНИЕ: −7V на 0.35 А"));
    EXPECT_EQ(screens[8].totals, QStringList{QString()});
    EXPECT_EQ(screens[8].totalsColour, QColor(255, 0, 0)); // as it was
    EXPECT_TRUE(screens[10].totals.isEmpty());

    // Back: keys and buttons in turn; no dialog on the way.
    const std::size_t dialogsBefore = dialogs().size();
    for (int state = static_cast<int>(screens.size()) - 2; state >= 0; --state) {
        if (state % 2)
            form().UndoBtn->click();
        else
            Key(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(Shown(), screens[static_cast<std::size_t>(state)]) << "undone to " << state;
    }
    EXPECT_FALSE(form().UndoBtn->isEnabled());
    EXPECT_TRUE(form().Devices.empty());
    EXPECT_EQ(form().RedoBtn->toolTip(), QStringLiteral("Повторить: добавление HALF"));

    // Forward: Ctrl+Shift+Z, Ctrl+Y and the button.
    for (std::size_t state = 1; state < screens.size(); ++state) {
        switch (state % 3) {
        case 0:
            form().RedoBtn->click();
            break;
        case 1:
            Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
            break;
        default:
            Key(Qt::Key_Y, Qt::ControlModifier);
        }
        EXPECT_EQ(Shown(), screens[state]) << "redone to " << state;
    }
    EXPECT_FALSE(form().RedoBtn->isEnabled());
    EXPECT_EQ(dialogs().size(), dialogsBefore);
}

TEST_F(Undo, ActionsThatChangeNothingAreNoStep)
{
    Start();
    AddToBasket(form(), u"HALF");
    AddToBasket(form(), u"HALF");
    const int steps = 2;
    AddToBasket(form(), u"HALF"); // refused: 6 slots of 4
    EXPECT_EQ(dialogs().back().text, QStringLiteral("Корзина заполнена!"));
    TickRackType(form(), 0); // already ticked
    window->recorder.nextAnswer = 2;
    form().ClearBtn->click(); // cancelled
    form().OpenBtn->click();  // cancelled
    EXPECT_EQ(form().Devices.size(), 2u);
    for (int undone = 0; undone < steps; ++undone)
        form().UndoBtn->click();
    EXPECT_TRUE(form().Devices.empty());
    EXPECT_FALSE(form().UndoBtn->isEnabled());
}

// While an edit field, a spin box or a combo box has the focus, Ctrl+Z is
// its own.
TEST_F(Undo, CtrlZInAFieldIsTheFields)
{
    Start();
    AddToBasket(form(), u"ONE");
    form().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
    QLineEdit* field = form().FindIdentField;
    field->setFocus();
    field->clear();
    QTest::keyClicks(field, QStringLiteral("AB"));
    QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_NE(field->text(), QStringLiteral("AB"));
    EXPECT_EQ(form().Devices.size(), 1u);

    form().MarginField->setFocus();
    QTest::keyClick(form().MarginField, Qt::Key_Z, Qt::ControlModifier);
    form().CategoryRB->click();
    form().CategoryField->setFocus();
    QTest::keyClick(form().CategoryField, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form().Devices.size(), 1u);

    form().RackTabLB->setFocus();
    QTest::keyClick(form().RackTabLB, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(form().Devices.empty());
}

// A slot count at the 64-bit maximum beside another block, opened from a
// file: the sum does not wrap; the basket is over every crate type.
TEST_F(Undo, AHugeSlotCountBesideAnotherIsOverEveryCrate)
{
    catalog.AddBlocks({PowerBlock(u"HUGE", 1, 0, 0, 0, 0)});
    {
        TSQLiteDatabase database(catalog.DatabasePath().toStdString());
        database.RunStatement(
            "UPDATE BLOCKS SET SLOTS_COUNT = 9223372036854775807 WHERE IDENT = 'HUGE'");
    }
    Start();
    BasketDocument basket;
    basket.decimalSeparator = QStringLiteral(".");
    basket.crateType = QStringLiteral("KSV-3HA (QT27)");
    basket.entries = {{QStringLiteral("HUGE"), QStringLiteral("0"), QStringLiteral("0"),
                       QStringLiteral("0"), QStringLiteral("0"),
                       QStringLiteral("9223372036854775807")},
                      {QStringLiteral("ONE"), QStringLiteral("0.1"), QStringLiteral("0.1"),
                       QStringLiteral("0.1"), QStringLiteral("1"), QStringLiteral("1")}};
    basket.catalog = ReadCatalogStamp(catalog.DatabasePath());
    const QString path = files.filePath(QStringLiteral("huge.vbasket"));
    SaveBasketFile(path, basket);
    OpenFile(path);
    ASSERT_TRUE(window->recorder.errors.isEmpty())
        << window->recorder.errors.join(u'|').toStdString();
    ASSERT_FALSE(dialogs().empty());
    EXPECT_EQ(dialogs().back().text, QStringLiteral("Корзина заполнена!"));
    const Screen screen = Shown();
    EXPECT_EQ(screen.totalsColour, QColor(255, 0, 0));
    EXPECT_EQ(form().TotalTabLB->ColumnText(5, 0), QStringLiteral("9223372036854775808"));
    EXPECT_EQ(screen.verdict, QStringLiteral("ПРЕВЫШЕНИЕ: СЛОТЫ на 9223372036854775791"));
    for (const QString& note : screen.notes)
        EXPECT_EQ(note, QStringLiteral("✗ СЛОТЫ"));
}

// After opening an empty basket, or one whose blocks are all gone, nothing
// of the previous basket's budget stays on screen.
TEST_F(Undo, AnEmptyBasketOpenedLeavesNoBudgetOnScreen)
{
    Start();
    for (const char* entriesCode : {"", "GONE"}) {
        SCOPED_TRACE(entriesCode);
        AddToBasket(form(), u"MINUS");
        AddToBasket(form(), u"HALF");
        ASSERT_FALSE(Shown().headroom.isEmpty());
        BasketDocument basket;
        basket.decimalSeparator = QStringLiteral(".");
        basket.crateType = QStringLiteral("KSV-3HA (QT27)");
        if (*entriesCode)
            basket.entries = {{QString::fromUtf8(entriesCode), QStringLiteral("1"),
                               QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"),
                               QStringLiteral("1")}};
        basket.catalog = ReadCatalogStamp(catalog.DatabasePath());
        const QString path = files.filePath(QStringLiteral("empty.vbasket"));
        SaveBasketFile(path, basket);
        OpenFile(path);
        const Screen screen = Shown();
        EXPECT_TRUE(screen.rows.isEmpty());
        EXPECT_TRUE(screen.totals.isEmpty());
        EXPECT_TRUE(screen.headroom.isEmpty());
        EXPECT_TRUE(screen.verdict.isEmpty());
        EXPECT_EQ(screen.notes, QStringList(7, QString()));
        EXPECT_EQ(screen.ticked, 4);
    }
}

// The stamp is taken from the catalog as it was opened: not at start, once
// at the first save, and never from the path again, so a catalog moved away
// or replaced by a FIFO neither blocks nor refuses saving and export.
TEST_F(Undo, TheCatalogStampComesFromTheCatalogAsOpened)
{
    Start();
    EXPECT_EQ(form().Database->OpenedFile().SummariesMade(), 0);
    const CatalogStamp original = ReadCatalogStamp(catalog.DatabasePath());
    AddToBasket(form(), u"ONE");

    ASSERT_TRUE(
        QFile::rename(catalog.DatabasePath(), catalog.DatabasePath() + QStringLiteral(".moved")));
    ASSERT_EQ(::mkfifo(catalog.DatabasePath().toLocal8Bit().constData(), 0600), 0);

    const QString path = files.filePath(QStringLiteral("kept.vbasket"));
    nextFileName = path;
    form().SaveBtn->click();
    nextFileName = files.filePath(QStringLiteral("kept.csv"));
    form().ExportBtn->click();
    form().SaveBtn->click();
    ASSERT_TRUE(window->recorder.errors.isEmpty())
        << window->recorder.errors.join(u'|').toStdString();
    EXPECT_EQ(LoadBasketFile(path).catalog, original);
    EXPECT_TRUE(QFile::exists(nextFileName));
    EXPECT_EQ(form().Database->OpenedFile().SummariesMade(), 1);
}

// A quantity adds that many entries as one step, drawn in the crate picture;
// one undo takes all of them back. A quantity that does not fit adds nothing.
TEST_F(Undo, AQuantityAddsAsOneStepOrNothing)
{
    Start();
    form().CountField->setValue(3);
    AddToBasket(form(), u"ONE");
    EXPECT_EQ(form().RackTabLB->Items().Count(), 3);
    EXPECT_EQ(form().RackViewPanel->Items().size(), 3u);
    form().UndoBtn->click();
    EXPECT_EQ(form().RackTabLB->Items().Count(), 0);
    EXPECT_TRUE(form().RackViewPanel->Items().empty());

    dialogs().clear();
    form().CountField->setValue(9); // the first crate type has 4 slots
    AddToBasket(form(), u"ONE");
    EXPECT_EQ(form().RackTabLB->Items().Count(), 0);
    ASSERT_EQ(dialogs().size(), 1u);
}
