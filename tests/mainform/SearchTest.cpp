// SPDX-License-Identifier: MIT
// Searching by category and by code, and the details of one block, in the
// real window on the standard fixture catalog.

#include "WindowDriver.h"

#include "kit/CheckList.h"
#include "kit/Header.h"
#include "kit/TabbedListBox.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class Search : public ::testing::Test {
protected:
    void SetUp() override
    {
        catalog.WriteStandard();
        window = std::make_unique<Window>(catalog.Dir());
        ASSERT_NE((*window)->Database, nullptr);
    }
    TMainForm& form() { return *window->form; }

    FixtureCatalog catalog;
    std::unique_ptr<Window> window;
};

QStringList Codes(const TTabbedListBox* list)
{
    QStringList codes;
    for (int i = 0; i < list->Items().Count(); ++i)
        codes << list->ColumnText(0, i);
    return codes;
}

} // namespace

TEST_F(Search, CategoryWithoutSubcategoriesListsItsBlocksInDatabaseOrder)
{
    PickItem(form().CategoryField, 5);
    EXPECT_EQ(Rows(form().BlockTabLB),
              (QStringList{QStringLiteral("ZB-600\tБлок зет"), QStringLiteral("AB-601\tБлок а"),
                           QStringLiteral("MK1-050\tМодуль малый")}));
    EXPECT_FALSE(form().SubCategoryField->isEnabled());
    // The search list's columns follow its header.
    EXPECT_EQ(form().BlockTabLB->TabStops(),
              QList<int>{150 / form().BlockTabLB->AverageCharWidth() + 1});
}

TEST_F(Search, CategoryWithSubcategoriesListsNothingUntilOneIsChosen)
{
    PickItem(form().CategoryField, 20);
    EXPECT_TRUE(form().SubCategoryField->isEnabled());
    EXPECT_EQ(form().SubCategoryField->count(), 3);
    EXPECT_EQ(form().SubCategoryField->currentIndex(), -1);
    EXPECT_EQ(form().BlockTabLB->Items().Count(), 0);

    PickItem(form().SubCategoryField, 1); // code 20 + 100 + 101 = 221
    EXPECT_EQ(Codes(form().BlockTabLB), QStringList{QStringLiteral("SUB-221A")});

    ClickRow(form().BlockTabLB, 0);
    EXPECT_EQ(form().FCategoryField->text(), QStringLiteral("Категория 21"));
    EXPECT_EQ(form().FSubCategoryField->text(), QStringLiteral("Подкатегория 21-2"));
}

TEST_F(Search, TypedCategoryTextCompletesToTheFirstMatchingItem)
{
    QLineEdit* edit = form().CategoryField->lineEdit();
    TypeText(edit, QStringLiteral("категория 6"));
    EXPECT_EQ(form().CategoryField->currentIndex(), 5);
    EXPECT_EQ(edit->text(), QStringLiteral("Категория 6"));
    EXPECT_EQ(Codes(form().BlockTabLB).size(), 3);

    TypeText(edit, QStringLiteral("x"));
    EXPECT_EQ(form().CategoryField->currentIndex(), -1);
    EXPECT_EQ(edit->text(), QStringLiteral("Категория 6x"));
    EXPECT_FALSE(form().SubCategoryField->isEnabled());
    EXPECT_EQ(form().BlockTabLB->Items().Count(), 0); // category number 0 has no blocks

    // Deleting does not bring the completion straight back.
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), QStringLiteral("Категория "));
}

TEST_F(Search, CodeSearchTrimsUpperCasesAndListsInCodeOrder)
{
    form().CodeRB->click();
    SearchCode(form(), QStringLiteral("  mk1 "));
    EXPECT_EQ(Codes(form().BlockTabLB),
              (QStringList{QStringLiteral("MK1-050"), QStringLiteral("MK1-100"),
                           QStringLiteral("MK1-200")}));
    EXPECT_EQ(form().FindIdentField->text(), QStringLiteral("  mk1 "));

    SearchCode(form(), QStringLiteral("бк"));
    EXPECT_EQ(Codes(form().BlockTabLB), QStringList{QStringLiteral("БК-7")});

    SearchCode(form(), QStringLiteral("NO-SUCH"));
    EXPECT_EQ(form().BlockTabLB->Items().Count(), 0);
    SearchCode(form(), QStringLiteral("\""));
    EXPECT_EQ(form().BlockTabLB->Items().Count(), 0);
    EXPECT_TRUE(window->recorder.errors.isEmpty());
}

TEST_F(Search, CodeModeDetailsTakeTheNamesFromTheRecord)
{
    PickItem(form().CategoryField, 0); // the combo boxes must not feed code mode
    form().CodeRB->click();
    SearchCode(form(), QStringLiteral("SUB-324"));
    ClickRow(form().BlockTabLB, 0);
    EXPECT_EQ(Details(form()),
              (QStringList{QStringLiteral("Категория 24"), QStringLiteral("Подкатегория 24-3"),
                           QStringLiteral("Блок подкатегории 24-3"), QStringLiteral("SUB-324A"),
                           QStringLiteral("Е"), QStringLiteral("3"), QStringLiteral("1.5"),
                           QStringLiteral("0.5"), QStringLiteral("0.5"), QStringLiteral("12")}));

    // A code that equals a column name is just a code.
    SearchCode(form(), QStringLiteral("V5"));
    ASSERT_EQ(Codes(form().BlockTabLB), QStringList{QStringLiteral("V5")});
    ClickRow(form().BlockTabLB, 0);
    EXPECT_EQ(form().FNameRusField->text(), QStringLiteral("Блок с шифром V5"));
}

TEST_F(Search, SwitchingModeEmptiesListAndDetailsButKeepsTheBoxes)
{
    PickItem(form().CategoryField, 5);
    ClickRow(form().BlockTabLB, 1);
    ASSERT_EQ(form().FIdentField->text(), QStringLiteral("AB-601"));
    form().FindIdentField->setText(QStringLiteral("mk"));

    form().CodeRB->click();
    EXPECT_EQ(form().BlockTabLB->Items().Count(), 0);
    EXPECT_EQ(Details(form()), QStringList(10, QString()));
    EXPECT_TRUE(form().CodePanel->isVisible());
    EXPECT_FALSE(form().CategoryPanel->isVisible());

    form().CategoryRB->click();
    EXPECT_EQ(form().BlockTabLB->Items().Count(), 0);
    EXPECT_EQ(form().CategoryField->currentIndex(), 5);
    EXPECT_EQ(form().FindIdentField->text(), QStringLiteral("mk"));
    EXPECT_TRUE(form().CategoryPanel->isVisible());
}

TEST_F(Search, BasketRowClickShowsTheSelectedSearchRowAgain)
{
    PickItem(form().CategoryField, 5);
    ClickRow(form().BlockTabLB, 0);
    form().AddBtn->click();
    ASSERT_EQ(form().RackTabLB->Items().Count(), 1);

    form().FIdentField->clear(); // so that showing it again is visible
    ClickRow(form().RackTabLB, 0);
    EXPECT_EQ(form().FIdentField->text(), QStringLiteral("ZB-600"));

    PickItem(form().CategoryField, 0); // a new search: no row selected
    ClickRow(form().RackTabLB, 0);
    EXPECT_EQ(Details(form()), QStringList(10, QString()));
}

TEST_F(Search, DraggingABasketHeaderEdgeMovesTheColumnsOfAllThreeLists)
{
    form().CodeRB->click();
    SearchCode(form(), QStringLiteral("MK1-100"));
    ClickRow(form().BlockTabLB, 0);
    form().AddBtn->click();
    ASSERT_EQ(form().RackTabLB->Items().Count(), 1);

    THeader* header = form().RackHeader;
    const int edge = header->SectionWidth(0);
    QTest::mousePress(header, Qt::LeftButton, {}, QPoint(edge, 5));
    QTest::mouseMove(header, QPoint(edge + 40, 5));
    QTest::mouseRelease(header, Qt::LeftButton, {}, QPoint(edge + 40, 5));
    ASSERT_EQ(header->SectionWidth(0), 293);

    for (TTabbedListBox* list :
         {form().RackTabLB, static_cast<TTabbedListBox*>(form().RackTypeCL), form().TotalTabLB}) {
        const int a = list->AverageCharWidth();
        const QList<int> stops = list->TabStops();
        ASSERT_EQ(stops.size(), 5);
        EXPECT_EQ(stops[0], 293 / a + 1);
        EXPECT_EQ(stops[1], (293 + 125) / a + 1);
    }
}

TEST(SearchFailure, MissingColumnIsReportedAndTheWindowGoesOn)
{
    FixtureCatalog catalog;
    catalog.WriteStandard();
    ExecSql(catalog.DatabasePath(), QStringLiteral("ALTER TABLE BLOCKS DROP COLUMN NAME_RUS;"));
    Window window(catalog.Dir());

    PickItem(window->CategoryField, 5);
    ASSERT_EQ(window.recorder.errors.size(), 1);
    EXPECT_EQ(window.recorder.errors[0],
              QStringLiteral("ОШИБКА ВЫПОЛНЕНИЯ SQL-ЗАПРОСА. \"SELECT IDENT, NAME_RUS FROM BLOCKS "
                             "WHERE CATEGORY = ?\" : no such column: NAME_RUS."));
    EXPECT_EQ(window->BlockTabLB->Items().Count(), 0);

    // The window stays usable: modes switch and crate types tick.
    window->CodeRB->click();
    EXPECT_TRUE(window->CodePanel->isVisible());
    TickRackType(*window.form, 3);
    EXPECT_EQ(window->RackTypeCL->RowState(3), cbChecked);
    EXPECT_EQ(window.recorder.errors.size(), 1);
}
