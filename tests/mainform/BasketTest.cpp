// SPDX-License-Identifier: MIT
// Crate types, the basket and its totals in the real window.

#include "WindowDriver.h"

#include "kit/CheckList.h"
#include "kit/Platform.h"
#include "kit/TabbedListBox.h"

#include <QPalette>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

namespace {

const QColor kRed(255, 0, 0);

class Basket : public ::testing::Test {
protected:
    void SetUp() override
    {
        catalog.WriteStandard();
        catalog.AddBlocks({
            PowerBlock(u"ONE", 1, 0.1, 0.1, 0.1, 1),
            PowerBlock(u"TWO", 2, 0.1, 0.1, 0.1, 1),
            PowerBlock(u"FIVE", 5, 0.1, 0.1, 0.1, 1),
            PowerBlock(u"HALF", 2, 1.5, 0.7, 0.35, 14.25), // two of them fill crate type 0 exactly
            PowerBlock(u"MILLI", 0, 0.001, 0, 0, 0),
            PowerBlock(u"M08", 1, 0, 0, 0.8, 1),
            PowerBlock(u"P01", 0, 0.1, 0, 0, 0),
            PowerBlock(u"P02", 0, 0.2, 0, 0, 0),
            PowerBlock(u"NEG", -1, 0.1, 0.1, 0.1, 1),
            PowerBlock(u"HUGE", 256, 0.1, 0.1, 0.1, 1),
            PowerBlock(u"B11", 1, 0, 1.1, 0, 0),
            PowerBlock(u"B03", 1, 0, 0.3, 0, 0),
        });
        Open(QStringLiteral("."));
    }
    void Open(const QString& separator)
    {
        window = std::make_unique<Window>(catalog.Dir(), separator);
        ASSERT_NE(form().Database, nullptr);
        form().CodeRB->click();
    }
    TMainForm& form() { return *window->form; }
    DialogRecorder& recorder() { return window->recorder; }

    // Finds the block by its code, shows it and presses "ДОБАВИТЬ В КОРЗИНУ".
    void Add(const char16_t* code, int times = 1) { AddToBasket(form(), code, times); }
    QString Total(int field) { return form().TotalTabLB->ColumnText(field, 0); }
    bool TotalsRed() { return form().TotalTabLB->FontColor() == kRed; }
    int Checked()
    {
        int checked = -1;
        for (int row = 0; row < form().RackTypeCL->Items().Count(); ++row)
            if (form().RackTypeCL->RowState(row) == cbChecked) {
                EXPECT_EQ(checked, -1) << "more than one crate type ticked";
                checked = row;
            }
        return checked;
    }

    FixtureCatalog catalog;
    std::unique_ptr<Window> window;
};

} // namespace

TEST_F(Basket, ExactlyOneCrateTypeIsTickedTheOneToggledLast)
{
    EXPECT_EQ(Checked(), 0);
    TickRackType(form(), 4);
    EXPECT_EQ(Checked(), 4);
    TickRackType(form(), 4); // unticking the choice ticks it again
    EXPECT_EQ(Checked(), 4);
    ClickRow(form().RackTypeCL, 2); // the text only selects
    EXPECT_EQ(form().RackTypeCL->ItemIndex(), 2);
    EXPECT_EQ(Checked(), 4);

    QStringList limits;
    for (int field = 1; field <= 5; ++field)
        limits << form().RackTypeCL->ColumnText(field, 5);
    EXPECT_EQ(limits, (QStringList{QStringLiteral("16"), QStringLiteral("5"), QStringLiteral("3"),
                                   QStringLiteral("140"), QStringLiteral("16")}));
    EXPECT_EQ(form().RackTypeCL->ColumnText(0, 3), QStringLiteral("KSV-1HC(R) (QT552)"));
}

TEST_F(Basket, LimitsFollowTheDecimalSeparator)
{
    Open(QStringLiteral(","));
    EXPECT_EQ(form().RackTypeCL->ColumnText(2, 0), QStringLiteral("1,4"));
    EXPECT_EQ(form().RackTypeCL->ColumnText(1, 0), QStringLiteral("3"));
    Add(u"HALF");
    Add(u"HALF");
    EXPECT_EQ(Total(2), QStringLiteral("1,4"));
    EXPECT_FALSE(TotalsRed());
}

TEST_F(Basket, BlocksThatNeedMoreSlotsThanRemainAreRefused)
{
    Add(u"ONE");
    Add(u"TWO");
    Add(u"ONE");
    ASSERT_EQ(form().RackTabLB->Items().Count(), 3);
    EXPECT_TRUE(recorder().dialogs.empty());

    Add(u"ONE");
    ASSERT_EQ(recorder().dialogs.size(), 1u);
    const DialogCall& warning = recorder().dialogs[0];
    EXPECT_EQ(warning.title, QStringLiteral("Veltrum Voltage Control Program"));
    EXPECT_EQ(warning.text, QStringLiteral("Корзина заполнена!"));
    EXPECT_EQ(warning.icon, IDI_EXCLAMATION);
    EXPECT_EQ(warning.buttons, QStringList{QStringLiteral("OK")});
    EXPECT_EQ(form().RackTabLB->Items().Count(), 3);
    EXPECT_EQ(form().Devices.size(), 3u);
    EXPECT_EQ(Total(5), QStringLiteral("4"));

    form().ClearBtn->click();
    Add(u"FIVE"); // larger than the whole crate
    EXPECT_EQ(recorder().dialogs.back().text, QStringLiteral("Корзина заполнена!"));
    EXPECT_EQ(form().RackTabLB->Items().Count(), 0);

    // 256 slots are 256, not 0 in eight bits.
    TickRackType(form(), 4);
    Add(u"HUGE");
    EXPECT_EQ(form().RackTabLB->Items().Count(), 0);
}

TEST_F(Basket, TotalsTurnRedPastALimitAndBackWhenTheEntryGoes)
{
    Add(u"HALF");
    Add(u"HALF");
    EXPECT_EQ(Rows(form().TotalTabLB), QStringList{QStringLiteral("\t3\t1.4\t0.7\t28.5\t4")});
    EXPECT_EQ(Rows(form().RackTabLB)[0], QStringLiteral("HALF\t1.5\t0.7\t0.35\t14.25\t2"));
    EXPECT_EQ(form().TotalTabLB->FontColor(), form().palette().color(QPalette::WindowText));

    Add(u"MILLI");
    EXPECT_EQ(Total(1), QStringLiteral("3.001"));
    EXPECT_TRUE(TotalsRed());

    ClickRow(form().RackTabLB, 2);
    form().DelBtn->click();
    EXPECT_EQ(form().Devices.size(), 2u);
    EXPECT_FALSE(TotalsRed());
}

TEST_F(Basket, SumsAreComparedAsTheyAreShown)
{
    TickRackType(form(), 1);
    Add(u"M08"); // exactly the 0.8 A limit of the -7 V channel
    EXPECT_EQ(Total(3), QStringLiteral("0.8"));
    EXPECT_FALSE(TotalsRed());

    Add(u"P01");
    Add(u"P02");
    EXPECT_EQ(Total(1), QStringLiteral("0.3"));

    // 1.1 + 0.3 is a hair above 1.4 in binary, but shows as the limit itself.
    form().ClearBtn->click();
    TickRackType(form(), 0);
    Add(u"B11");
    Add(u"B03");
    EXPECT_EQ(Total(2), QStringLiteral("1.4"));
    EXPECT_FALSE(TotalsRed());
}

TEST_F(Basket, ChangingToASmallerCrateKeepsTheBasketAndWarns)
{
    TickRackType(form(), 4);
    for (const char16_t* code : {u"FIVE", u"FIVE", u"FIVE", u"TWO"})
        Add(code);
    ASSERT_EQ(Total(5), QStringLiteral("17"));
    EXPECT_FALSE(TotalsRed());
    ASSERT_TRUE(recorder().dialogs.empty());

    TickRackType(form(), 5);
    EXPECT_EQ(Checked(), 5);
    ASSERT_EQ(recorder().dialogs.size(), 1u);
    EXPECT_EQ(recorder().dialogs[0].text, QStringLiteral("Корзина заполнена!"));
    EXPECT_EQ(form().RackTabLB->Items().Count(), 4);
    EXPECT_TRUE(TotalsRed());
}

TEST_F(Basket, DeleteAndClear)
{
    Add(u"ONE");
    Add(u"TWO");
    form().RackTabLB->SetItemIndex(-1);
    form().DelBtn->click(); // nothing selected: only the totals are redrawn
    EXPECT_EQ(form().RackTabLB->Items().Count(), 2);
    EXPECT_EQ(Total(5), QStringLiteral("3"));

    ClickRow(form().RackTabLB, 0);
    form().DelBtn->click();
    EXPECT_EQ(Rows(form().RackTabLB), QStringList{QStringLiteral("TWO\t0.1\t0.1\t0.1\t1\t2")});
    EXPECT_EQ(form().Devices.size(), 1u);
    EXPECT_EQ(form().Devices[0].Ident, QStringLiteral("TWO"));

    ClickRow(form().RackTabLB, 0);
    form().DelBtn->click();
    EXPECT_EQ(Rows(form().TotalTabLB), QStringList{QString()}); // one empty row

    Add(u"ONE");
    for (int answer : {2, 3}) { // "CANCEL", or closed through its frame
        recorder().nextAnswer = answer;
        form().ClearBtn->click();
        EXPECT_EQ(form().RackTabLB->Items().Count(), 1);
    }
    const DialogCall& question = recorder().dialogs.back();
    EXPECT_EQ(question.text, QStringLiteral("Очистить корзину?"));
    EXPECT_EQ(question.icon, IDI_QUESTION);
    EXPECT_EQ(question.buttons, (QStringList{QStringLiteral("OK"), QStringLiteral("CANCEL")}));

    recorder().nextAnswer = 1;
    form().ClearBtn->click();
    EXPECT_EQ(form().RackTabLB->Items().Count(), 0);
    EXPECT_EQ(form().TotalTabLB->Items().Count(), 0);
    EXPECT_TRUE(form().Devices.empty());
}

TEST_F(Basket, ValuesThatDoNotConvertLeaveTheBasketUnchanged)
{
    Add(u"NEG");
    ASSERT_EQ(recorder().errors.size(), 1);
    EXPECT_TRUE(recorder().errors[0].contains(QStringLiteral("-1")))
        << recorder().errors[0].toStdString();
    EXPECT_EQ(form().RackTabLB->Items().Count(), 0);
    EXPECT_TRUE(form().Devices.empty());

    // A current stored as text with the other decimal separator.
    ExecSql(catalog.DatabasePath(),
            QStringLiteral(
                "CREATE TABLE B2 AS SELECT * FROM BLOCKS;"
                "DROP TABLE BLOCKS;"
                "CREATE TABLE BLOCKS (IDENT TEXT, NAME_RUS TEXT, VIPR TEXT,"
                " SLOTS_COUNT INTEGER, V5 TEXT, V7 REAL, V_7 REAL, TOTAL_POWER REAL,"
                " CATEGORY INTEGER, SUB_CATEGORY INTEGER);"
                "INSERT INTO BLOCKS VALUES ('COMMA', 'Блок', 'ВП', 1, '1,5', 0, 0, 0, 1, 0);"));
    Add(u"COMMA");
    ASSERT_EQ(recorder().errors.size(), 2);
    EXPECT_TRUE(recorder().errors[1].contains(QStringLiteral("1,5")))
        << recorder().errors[1].toStdString();
    EXPECT_EQ(form().RackTabLB->Items().Count(), 0);
}

TEST_F(Basket, MoreThan255EntriesAreCounted)
{
    TickRackType(form(), 4);
    SearchCode(form(), QStringLiteral("MILLI"));
    ClickRow(form().BlockTabLB, 0);
    for (int i = 0; i < 300; ++i)
        form().AddBtn->click();
    EXPECT_EQ(form().Devices.size(), 300u);
    EXPECT_EQ(Total(1), QStringLiteral("0.3"));
}
