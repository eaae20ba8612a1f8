// SPDX-License-Identifier: MIT
// The whole job from the keyboard, in the real window: every key goes to
// whatever widget has the focus, as a real keyboard sends it.

#include "WindowDriver.h"

#include "kit/CheckList.h"
#include "kit/Header.h"
#include "QStringPrinter.h"
#include "kit/TabbedListBox.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMetaEnum>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// QTest::toString hands back a buffer the caller must free; the enum's own
// name needs no freeing and reads the same in a failure message.
const char* KeyName(Qt::Key key)
{
    return QMetaEnum::fromType<Qt::Key>().valueToKey(key);
}

class Keyboard : public ::testing::Test {
protected:
    void SetUp() override
    {
        catalog.WriteStandard();
        window = std::make_unique<Window>(catalog.Dir());
        ASSERT_NE(form().Database, nullptr);
        form().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
    }
    TMainForm& form() { return *window->form; }

    FixtureCatalog catalog;
    std::unique_ptr<Window> window;
};

QWidget* Focused()
{
    return QApplication::focusWidget();
}

// Presses and releases `key` on the focused widget.
void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* focused = Focused();
    ASSERT_NE(focused, nullptr) << "nothing has the focus";
    QTest::keyClick(focused, key, modifiers);
}

// Types `text` into the focused widget.
void Type(const QString& text)
{
    QWidget* focused = Focused();
    ASSERT_NE(focused, nullptr) << "nothing has the focus";
    TypeText(focused, text);
}

// Tabs until `target` has the focus; false when a whole round misses it.
bool TabTo(QWidget* target)
{
    for (int i = 0; i < 40 && Focused() != target; ++i)
        QTest::keyClick(Focused(), Qt::Key_Tab);
    return Focused() == target;
}

// The object names Tab passes through, from the focused control round to it again.
QStringList TabRound()
{
    QStringList names;
    QWidget* start = Focused();
    for (int i = 0; i < 40; ++i) {
        QWidget* focused = Focused();
        names << (focused == nullptr ? QStringLiteral("(none)")
                  : focused->objectName().isEmpty()
                      ? QString::fromUtf8(focused->metaObject()->className())
                      : focused->objectName());
        QTest::keyClick(Focused(), Qt::Key_Tab);
        if (Focused() == start)
            break;
    }
    return names;
}

// Tabs round from `first` and returns the names Tab reached, starting at it.
QStringList RoundFrom(QWidget* first)
{
    if (!TabTo(first))
        return {QStringLiteral("(not reached)")};
    return TabRound();
}

std::string Names(const QStringList& names)
{
    return names.join(QStringLiteral(", ")).toStdString();
}

} // namespace

TEST_F(Keyboard, TabFollowsTheReadingOrderAndReachesOnlyShownControls)
{
    EXPECT_FALSE(form().CodePanel->isVisible()) << "the covered panel is shown";
    EXPECT_TRUE(form().CategoryPanel->isVisible());

    // The first Tab from start goes to a control that is shown.
    Press(Qt::Key_Tab);
    ASSERT_NE(Focused(), nullptr);
    EXPECT_TRUE(Focused()->isVisible()) << Focused()->objectName().toStdString();

    const QStringList categoryMode{QStringLiteral("CategoryRB"), QStringLiteral("CategoryField"),
                                   QStringLiteral("BlockTabLB"), QStringLiteral("AddBtn"),
                                   QStringLiteral("CountField"), QStringLiteral("RackTypeCL"),
                                   QStringLiteral("RackTabLB"),  QStringLiteral("RackViewPanel"),
                                   QStringLiteral("DelBtn"),     QStringLiteral("ClearBtn"),
                                   QStringLiteral("TotalTabLB"), QStringLiteral("MarginField"),
                                   QStringLiteral("SaveBtn"),    QStringLiteral("OpenBtn"),
                                   QStringLiteral("RecentBtn"),  QStringLiteral("ExportBtn"),
                                   QStringLiteral("ReportBtn")};
    EXPECT_EQ(Names(RoundFrom(form().CategoryRB)), Names(categoryMode));

    // With a category that has subcategories, its box comes next.
    PickItem(form().CategoryField, 20);
    QStringList withSubcategory = categoryMode;
    withSubcategory.insert(2, QStringLiteral("SubCategoryField"));
    EXPECT_EQ(Names(RoundFrom(form().CategoryRB)), Names(withSubcategory));

    // In code mode the code field takes the category boxes' place; the
    // category panel is then out of the order. Down on the mode chooses it.
    form().CategoryRB->setFocus();
    Press(Qt::Key_Down);
    EXPECT_EQ(Focused(), form().CodeRB);
    ASSERT_TRUE(form().CodeRB->isChecked());
    EXPECT_FALSE(form().CategoryPanel->isVisible());
    QStringList codeMode = categoryMode;
    codeMode[0] = QStringLiteral("CodeRB");
    codeMode[1] = QStringLiteral("FindIdentField");
    EXPECT_EQ(Names(RoundFrom(form().CodeRB)), Names(codeMode));
}

TEST_F(Keyboard, AHiddenPanelIsNeitherFocusedNorShownToScreenReaders)
{
    const struct {
        const char* mode;
        QRadioButton* modeButton;
        QWidget* shown;
        QWidget* hidden;
    } cases[] = {
        {"category mode", form().CategoryRB, form().CategoryField, form().FindIdentField},
        {"code mode", form().CodeRB, form().FindIdentField, form().CategoryField},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        c.modeButton->click();
        form().CategoryRB->setFocus();
        const QStringList round = TabRound();
        EXPECT_TRUE(round.contains(c.shown->objectName()));
        EXPECT_FALSE(round.contains(c.hidden->objectName()));
        QAccessibleInterface* hidden = QAccessible::queryAccessibleInterface(c.hidden);
        ASSERT_NE(hidden, nullptr);
        EXPECT_TRUE(hidden->state().invisible);
        EXPECT_FALSE(hidden->state().focusable);
        EXPECT_TRUE(QAccessible::queryAccessibleInterface(c.shown)->state().focusable);
        EXPECT_FALSE(QAccessible::queryAccessibleInterface(c.shown)->state().invisible);
    }
}

// Backspace and Delete, sent to the focused combo box as the keyboard does,
// take the completed part away and complete nothing until a character is typed.
TEST_F(Keyboard, DeletingUndoesACompletion)
{
    const struct {
        const char* name;
        bool subcategory;
        Qt::Key key;
    } cases[] = {
        {"Backspace in the category box", false, Qt::Key_Backspace},
        {"Delete in the category box", false, Qt::Key_Delete},
        {"Backspace in the subcategory box", true, Qt::Key_Backspace},
        {"Delete in the subcategory box", true, Qt::Key_Delete},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        form().CategoryField->clearEditText();
        if (c.subcategory)
            PickItem(form().CategoryField, 20);
        else
            PickItem(form().CategoryField, -1);
        QComboBox* combo = c.subcategory ? form().SubCategoryField : form().CategoryField;
        combo->setFocus();
        ASSERT_TRUE(Focused() == combo || combo->isAncestorOf(Focused()));
        const QString typed = c.subcategory ? QStringLiteral("под") : QStringLiteral("кат");
        const QString item =
            c.subcategory ? QStringLiteral("Подкатегория 21-1") : QStringLiteral("Категория 1");

        Type(typed);
        ASSERT_EQ(combo->currentIndex(), 0);
        ASSERT_EQ(combo->lineEdit()->text(), item);
        ASSERT_EQ(combo->lineEdit()->selectedText(), item.mid(typed.size()));
        ASSERT_EQ(form().BlockTabLB->Items().Count(), c.subcategory ? 1 : 2);

        // The first key takes the completed part away, the next one more
        // of what was typed (Delete from the end: the cursor goes back).
        for (int kept = static_cast<int>(typed.size()); kept >= typed.size() - 1; --kept) {
            if (kept < typed.size() && c.key == Qt::Key_Delete)
                Press(Qt::Key_Left);
            Press(c.key);
            EXPECT_EQ(combo->lineEdit()->text(), item.left(kept));
            // The change handler ran with no item chosen: no blocks listed.
            EXPECT_EQ(combo->currentIndex(), -1);
            EXPECT_EQ(form().BlockTabLB->Items().Count(), 0);
        }

        // The next character completes again.
        Type(typed.right(1));
        EXPECT_EQ(combo->currentIndex(), 0);
        EXPECT_EQ(combo->lineEdit()->text(), item);
    }
}

TEST_F(Keyboard, EnterOrADoubleClickOnASearchRowAddsIt)
{
    PickItem(form().CategoryField, 0); // MK1-100 (1 slot), MK1-200 (2 slots); 4 slots free

    // A double click adds the row clicked.
    const QRect first = form().BlockTabLB->visualRect(form().BlockTabLB->model()->index(0, 0));
    QTest::mouseDClick(form().BlockTabLB->viewport(), Qt::LeftButton, {}, first.center());
    ASSERT_EQ(form().Devices.size(), 1u);
    EXPECT_EQ(form().RackTabLB->ColumnText(0, 0), QStringLiteral("MK1-100"));

    form().BlockTabLB->setFocus();
    Press(Qt::Key_End);
    ASSERT_EQ(form().FIdentField->text(), QStringLiteral("MK1-200"));
    Press(Qt::Key_Return);
    EXPECT_EQ(form().Devices.size(), 2u);
    EXPECT_EQ(form().RackTabLB->ColumnText(0, 1), QStringLiteral("MK1-200"));

    // The same check as the button's: a second two-slot block does not fit.
    Press(Qt::Key_Enter);
    EXPECT_EQ(form().Devices.size(), 2u);
    EXPECT_EQ(form().RackTabLB->Items().Count(), 2);
    ASSERT_EQ(window->recorder.dialogs.size(), 1u);
    EXPECT_EQ(window->recorder.dialogs[0].text.toStdString(), "Корзина заполнена!");
    EXPECT_TRUE(window->recorder.errors.isEmpty());
}

TEST_F(Keyboard, EnterOnAnEmptySearchListAddsNothing)
{
    form().BlockTabLB->setFocus();
    Press(Qt::Key_Return);
    EXPECT_TRUE(form().Devices.empty());
    EXPECT_TRUE(window->recorder.dialogs.empty());
}

TEST_F(Keyboard, DeleteOnABasketRowDeletesIt)
{
    PickItem(form().CategoryField, 0);
    form().BlockTabLB->setFocus();
    Press(Qt::Key_Home);
    Press(Qt::Key_Return);
    Press(Qt::Key_Down);
    Press(Qt::Key_Return);
    ASSERT_EQ(Rows(form().RackTabLB).size(), 2);

    form().RackTabLB->setFocus();
    Press(Qt::Key_Delete); // no row chosen yet: nothing goes
    EXPECT_EQ(form().RackTabLB->Items().Count(), 2);
    Press(Qt::Key_Home);
    Press(Qt::Key_Delete);
    ASSERT_EQ(form().RackTabLB->Items().Count(), 1);
    EXPECT_EQ(form().RackTabLB->ColumnText(0, 0), QStringLiteral("MK1-200"));
    ASSERT_EQ(form().Devices.size(), 1u);
    EXPECT_EQ(form().Devices[0].Ident, QStringLiteral("MK1-200"));
    EXPECT_EQ(form().TotalTabLB->ColumnText(5, 0), QStringLiteral("2"));
}

// Right after Delete has taken a row, End and Home choose the last and the
// first of those left, as in every other list (End used to choose the first).
TEST_F(Keyboard, EndAndHomeChooseTheEndsRightAfterADelete)
{
    PickItem(form().CategoryField, 0); // MK1-100, one slot of the four
    form().BlockTabLB->setFocus();
    Press(Qt::Key_Home);
    for (int i = 0; i < 3; ++i)
        Press(Qt::Key_Return);
    ASSERT_EQ(form().RackTabLB->Items().Count(), 3);

    form().RackTabLB->setFocus();
    Press(Qt::Key_Home);
    Press(Qt::Key_Delete);
    ASSERT_EQ(form().RackTabLB->Items().Count(), 2);
    Press(Qt::Key_End);
    EXPECT_EQ(form().RackTabLB->ItemIndex(), 1);
    Press(Qt::Key_Delete);
    ASSERT_EQ(form().RackTabLB->Items().Count(), 1);
    Press(Qt::Key_End);
    EXPECT_EQ(form().RackTabLB->ItemIndex(), 0);
    Press(Qt::Key_Delete);
    Press(Qt::Key_Home); // nothing left: nothing chosen, nothing fails
    EXPECT_EQ(form().RackTabLB->ItemIndex(), -1);
}

TEST_F(Keyboard, ClearingIsAnsweredThroughTheDialog)
{
    PickItem(form().CategoryField, 0);
    form().BlockTabLB->setFocus();
    Press(Qt::Key_Home);
    Press(Qt::Key_Return);
    ASSERT_EQ(form().Devices.size(), 1u);

    ASSERT_TRUE(TabTo(form().ClearBtn));
    window->recorder.nextAnswer = 2; // CANCEL
    Press(Qt::Key_Space);
    ASSERT_EQ(window->recorder.dialogs.size(), 1u);
    EXPECT_EQ(window->recorder.dialogs[0].text, QStringLiteral("Очистить корзину?"));
    EXPECT_EQ(form().Devices.size(), 1u);
    window->recorder.nextAnswer = 1; // OK
    Press(Qt::Key_Space);
    EXPECT_TRUE(form().Devices.empty());
    EXPECT_EQ(form().RackTabLB->Items().Count(), 0);
}

TEST_F(Keyboard, CtrlQLeavesAsExitDoes)
{
    for (QWidget* from :
         {static_cast<QWidget*>(form().CategoryField), static_cast<QWidget*>(form().RackTypeCL)}) {
        SCOPED_TRACE(from->objectName().toStdString());
        form().show();
        form().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
        from->setFocus();
        Press(Qt::Key_Q, Qt::ControlModifier);
        EXPECT_FALSE(form().isVisible());
    }
    EXPECT_TRUE(window->recorder.dialogs.empty());
}

// Up, Down, Home and End choose rows in every list the keyboard reaches,
// also in a list of one row, where the first key must choose it.
TEST_F(Keyboard, ArrowsHomeAndEndMoveInEveryList)
{
    PickItem(form().CategoryField, 5); // three blocks
    form().BlockTabLB->setFocus();
    Press(Qt::Key_Home);
    Press(Qt::Key_Return);
    Press(Qt::Key_Return);

    const struct {
        const char* name;
        TTabbedListBox* list;
        int rows;
    } cases[] = {
        {"search list", form().BlockTabLB, 3},
        {"crate types", form().RackTypeCL, 7},
        {"basket", form().RackTabLB, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(c.list->Items().Count(), c.rows);
        c.list->setFocus();
        const struct {
            Qt::Key key;
            int row;
        } steps[] = {{Qt::Key_End, c.rows - 1}, {Qt::Key_Up, c.rows - 2}, {Qt::Key_Home, 0},
                     {Qt::Key_Down, 1},         {Qt::Key_Up, 0},          {Qt::Key_Up, 0}};
        for (const auto& step : steps) {
            Press(step.key);
            EXPECT_EQ(c.list->ItemIndex(), step.row) << KeyName(step.key);
        }
    }
    // Moving in the search list shows the block the keys land on.
    form().BlockTabLB->setFocus();
    Press(Qt::Key_End);
    EXPECT_EQ(form().FIdentField->text(), QStringLiteral("MK1-050"));
}

TEST_F(Keyboard, TheFirstKeyChoosesTheOnlyRowOfAList)
{
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_Home, Qt::Key_End}) {
        SCOPED_TRACE(KeyName(key));
        form().CodeRB->click();
        SearchCode(form(), QStringLiteral("MK1-050"));
        ASSERT_EQ(form().BlockTabLB->Items().Count(), 1);
        ASSERT_EQ(form().BlockTabLB->ItemIndex(), -1);
        form().BlockTabLB->setFocus();
        Press(key);
        EXPECT_EQ(form().BlockTabLB->ItemIndex(), 0);
        EXPECT_EQ(form().FIdentField->text(), QStringLiteral("MK1-050"));
    }
}

// What a screen reader finds in the window: ticks on the crate types, rows
// read by their captions, headers by section, the totals reachable with
// their verdict.
TEST_F(Keyboard, AScreenReaderSwitchesTheSearchModeByTheButtonsToggleAction)
{
    // The toggle action checks a radio button without clicking it.
    const auto toggle = [](QWidget* button) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(button);
        ASSERT_NE(face, nullptr);
        ASSERT_NE(face->actionInterface(), nullptr);
        ASSERT_TRUE(face->actionInterface()->actionNames().contains(
            QAccessibleActionInterface::toggleAction()));
        face->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    };
    PickItem(form().CategoryField, 5);
    ASSERT_GT(form().BlockTabLB->Items().Count(), 0);

    toggle(form().CodeRB);
    EXPECT_TRUE(form().CodeRB->isChecked());
    EXPECT_TRUE(form().CodePanel->isVisible());
    EXPECT_FALSE(form().CategoryPanel->isVisible());
    EXPECT_EQ(form().BlockTabLB->Items().Count(), 0);
    form().FindIdentField->setFocus();
    EXPECT_TRUE(form().FindIdentField->hasFocus());

    toggle(form().CategoryRB);
    EXPECT_TRUE(form().CategoryPanel->isVisible());
    EXPECT_FALSE(form().CodePanel->isVisible());
    EXPECT_EQ(form().CategoryField->currentIndex(), 5); // the boxes keep their contents
}

TEST_F(Keyboard, AScreenReaderHearsTicksCaptionsAndTheVerdict)
{
    const auto cell = [](QWidget* list, int row) -> QAccessibleInterface* {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(list);
        return face != nullptr && face->tableInterface() != nullptr
                   ? face->tableInterface()->cellAt(row, 0)
                   : nullptr;
    };
    QAccessibleInterface* firstType = cell(form().RackTypeCL, 0);
    QAccessibleInterface* secondType = cell(form().RackTypeCL, 1);
    ASSERT_NE(firstType, nullptr);
    ASSERT_NE(secondType, nullptr);
    EXPECT_TRUE(firstType->state().checkable);
    EXPECT_TRUE(firstType->state().checked);
    EXPECT_FALSE(secondType->state().checked);
    EXPECT_EQ(firstType->text(QAccessible::Name).left(24).toStdString(),
              "ШИФР KSV-1HA (QT310SB), ");

    // A tick with Space is heard.
    form().RackTypeCL->setFocus();
    Press(Qt::Key_Home);
    Press(Qt::Key_Down);
    Press(Qt::Key_Space);
    EXPECT_EQ(form().RackTypeCL->RowState(1), cbChecked);
    EXPECT_TRUE(cell(form().RackTypeCL, 1)->state().checked);
    EXPECT_FALSE(cell(form().RackTypeCL, 0)->state().checked);

    // Basket rows: captions and values, no tabs.
    PickItem(form().CategoryField, 5); // MK1-050 last: 1 slot, 0.1 A, 0.2 A, 0 A, 0.5 W
    form().BlockTabLB->setFocus();
    Press(Qt::Key_End);
    Press(Qt::Key_Return);
    QAccessibleInterface* basketRow = cell(form().RackTabLB, 0);
    ASSERT_NE(basketRow, nullptr);
    EXPECT_EQ(basketRow->text(QAccessible::Name).toStdString(),
              "ШИФР MK1-050, +5V, А 0.1, +7V, А 0.2, -7V, А 0, МОЩНОСТЬ, ВТ 0.5, КОЛ-ВО СЛОТОВ 1");
    EXPECT_EQ(cell(form().BlockTabLB, 2)->text(QAccessible::Name).toStdString(),
              "ШИФР MK1-050, НАИМЕНОВАНИЕ Модуль малый");

    // The headers by section.
    QAccessibleInterface* header = QAccessible::queryAccessibleInterface(form().RackHeader);
    ASSERT_EQ(header->childCount(), 6);
    EXPECT_EQ(header->child(1)->text(QAccessible::Name).toStdString(), "+5V, А");
    EXPECT_EQ(header->child(1)->role(), QAccessible::ColumnHeader);

    // The totals: reached with Tab, read-only, described by the verdict,
    // which names a passed limit.
    ASSERT_TRUE(TabTo(form().TotalTabLB));
    QAccessibleInterface* totals = QAccessible::queryAccessibleInterface(form().TotalTabLB);
    EXPECT_EQ(totals->text(QAccessible::Description).toStdString(), "В ПРЕДЕЛАХ НОРМЫ");
    Press(Qt::Key_Down);
    EXPECT_EQ(form().TotalTabLB->ItemIndex(), -1) << "the totals took a selection";
    // Two ZB-600 draw 1.4 A on -7V; crate type 1 allows 0.8 A.
    for (int i = 0; i < 2; ++i) {
        form().BlockTabLB->setFocus();
        Press(Qt::Key_Home);
        Press(Qt::Key_Return);
    }
    ASSERT_EQ(form().Devices.size(), 3u);
    EXPECT_NE(totals->text(QAccessible::Description).indexOf(QStringLiteral("ПРЕВЫШЕНИЕ")), -1)
        << totals->text(QAccessible::Description).toStdString();
}
