// SPDX-License-Identifier: MIT
// Exact sums and the budget view in the real window: the headroom row, the
// verdict, the warning threshold and the fit marks on the crate types.

#include "WindowDriver.h"

#include "kit/CheckList.h"
#include "kit/FieldColorListBox.h"
#include "kit/Header.h"
#include "kit/TabbedListBox.h"

#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

const QColor kRed(255, 0, 0);

// WCAG contrast ratio of two colours.
double Contrast(const QColor& a, const QColor& b)
{
    auto luminance = [](const QColor& c) {
        auto channel = [](double v) {
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
               0.0722 * channel(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

class Budget : public ::testing::Test {
protected:
    void SetUp() override
    {
        catalog.WriteStandard();
        catalog.AddBlocks({
            PowerBlock(u"C001", 0, 0.01, 0, 0, 0), // 300 of them: 3 A
            PowerBlock(u"W01", 0, 0, 0, 0, 0.1),   // 285 of them: 28.5 W
            PowerBlock(u"HALF", 2, 1.5, 0.7, 0.35, 14.25),
            PowerBlock(u"N7", 0, 0, 0, 0.7, 0),  // -7 V at row 0's limit
            PowerBlock(u"P5", 0, 1.05, 0, 0, 0), // with HALF: 85 % of row 0's +5 V
            PowerBlock(u"AT5", 0, 3, 0, 0, 0),   // each current at row 0's limit
            PowerBlock(u"AT7", 0, 0, 1.4, 0, 0),
            PowerBlock(u"AT_7", 0, 0, 0, 0.7, 0),
            PowerBlock(u"M5", 0, 0.001, 0, 0, 0), // a milliampere on each channel
            PowerBlock(u"M7", 0, 0, 0.001, 0, 0),
            PowerBlock(u"M_7", 0, 0, 0, 0.001, 0),
            PowerBlock(u"M08", 1, 0, 0, 0.8, 1),
            PowerBlock(u"S1", 1, 0.01, 0.01, 0.01, 0.1),
            PowerBlock(u"BIG5", 1, 5.5, 0, 0, 1),
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

    // Shows the block and presses "ДОБАВИТЬ В КОРЗИНУ" `times` times.
    void Add(const char16_t* code, int times = 1) { AddToBasket(form(), code, times); }
    void Clear()
    {
        window->recorder.nextAnswer = 1;
        form().ClearBtn->click();
    }
    QString Total(int field) { return form().TotalTabLB->ColumnText(field, 0); }
    bool TotalsRed() { return form().TotalTabLB->FontColor() == kRed; }
    QStringList Headroom() { return Rows(form().HeadroomTabLB); }
    QString Verdict() { return form().FVerdictField->text(); }
    QStringList Notes()
    {
        QStringList notes;
        for (int row = 0; row < form().RackTypeCL->Items().Count(); ++row)
            notes << form().RackTypeCL->RowNote(row);
        return notes;
    }

    FixtureCatalog catalog;
    std::unique_ptr<Window> window;
};

TEST_F(Budget, ManySmallAmountsSumExactly)
{
    Add(u"C001", 300);
    ASSERT_EQ(form().Devices.size(), 300u);
    EXPECT_EQ(Total(1), QStringLiteral("3"));
    EXPECT_FALSE(TotalsRed()); // exactly row 0's 3 A

    Clear();
    Add(u"W01", 285);
    EXPECT_EQ(Total(4), QStringLiteral("28.5"));
    EXPECT_FALSE(TotalsRed()); // exactly row 0's 28.5 W, not a hair above it
    EXPECT_EQ(Headroom(), QStringList{QStringLiteral(
                              "ЗАПАС:\t3 (0 %)\t1.4 (0 %)\t0.7 (0 %)\t≈ 0 (100 %)\t4 (0 %)")});
}

TEST_F(Budget, AMilliampereOverAnyCurrentLimitTurnsTheTotalsRed)
{
    TickRackType(form(), 1);
    Add(u"M08"); // exactly the 0.8 A of row 1's -7 V channel
    EXPECT_EQ(Total(3), QStringLiteral("0.8"));
    EXPECT_FALSE(TotalsRed());
    Clear();

    TickRackType(form(), 0);
    struct Case {
        const char16_t *atLimit, *milli;
        int field;
        const char16_t* verdict;
    };
    const Case cases[] = {
        {u"AT5", u"M5", 1, u"ПРЕВЫШЕНИЕ: +5V на 0.001 А"},
        {u"AT7", u"M7", 2, u"ПРЕВЫШЕНИЕ: +7V на 0.001 А"},
        {u"AT_7", u"M_7", 3, u"ПРЕВЫШЕНИЕ: −7V на 0.001 А"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        Clear();
        Add(c.atLimit);
        EXPECT_FALSE(TotalsRed());
        Add(c.milli);
        EXPECT_TRUE(TotalsRed());
        EXPECT_EQ(Verdict(), QString::fromUtf16(c.verdict));
        EXPECT_TRUE(form()
                        .HeadroomTabLB->ColumnText(c.field, 0)
                        .startsWith(QStringLiteral("⚠ −0.001 (101 %)")));
    }
}

// The sum shown is the exact decimal sum of the values shown in the basket
// rows, over random baskets of up to 500 entries.
TEST(BudgetRandom, ShownSumsAreTheExactSumsOfTheShownValues)
{
    std::mt19937 random(1409);
    std::uniform_int_distribution<int> thousandths(0, 3000);
    FixtureCatalog catalog;
    catalog.WriteStandard();
    std::vector<FixtureBlock> blocks;
    for (int i = 0; i < 12; ++i)
        blocks.push_back(PowerBlock(QStringLiteral("R%1").arg(i, 2, 10, QLatin1Char('0')), 0,
                               thousandths(random) / 1000.0, thousandths(random) / 1000.0,
                               thousandths(random) / 1000.0, thousandths(random) / 100.0));
    catalog.AddBlocks(blocks);

    // n thousandths of a text written with at most three decimals, and back.
    auto toThousandths = [](const QString& text, const QString& separator) {
        const QStringList parts = text.split(separator);
        const QString fraction = parts.size() > 1 ? parts[1] : QString();
        return parts[0].toLongLong() * 1000 +
               fraction.leftJustified(3, QLatin1Char('0')).toLongLong();
    };
    auto fromThousandths = [](long long n, const QString& separator) {
        QString fraction = QString::number(n % 1000).rightJustified(3, QLatin1Char('0'));
        while (fraction.endsWith(QLatin1Char('0')))
            fraction.chop(1);
        return QString::number(n / 1000) + (fraction.isEmpty() ? QString() : separator + fraction);
    };

    for (const QString& separator : {QStringLiteral("."), QStringLiteral(",")}) {
        Window window(catalog.Dir(), separator);
        window->CodeRB->click();
        SearchCode(*window.form, QStringLiteral("R"));
        ASSERT_EQ(window->BlockTabLB->Items().Count(), 12);
        for (int basket = 0; basket < 3; ++basket) {
            window.recorder.nextAnswer = 1;
            window->ClearBtn->click();
            const int entries = std::uniform_int_distribution<int>(1, 500)(random);
            for (int i = 0; i < entries; ++i) {
                ClickRow(window->BlockTabLB, std::uniform_int_distribution<int>(0, 11)(random));
                window->AddBtn->click();
            }
            ASSERT_EQ(window->RackTabLB->Items().Count(), entries);
            for (int field = 1; field <= 4; ++field) {
                long long sum = 0;
                for (int row = 0; row < entries; ++row)
                    sum += toThousandths(window->RackTabLB->ColumnText(field, row), separator);
                EXPECT_EQ(window->TotalTabLB->ColumnText(field, 0), fromThousandths(sum, separator))
                    << "basket " << basket << " of " << entries << ", field " << field;
            }
        }
        EXPECT_TRUE(window.recorder.errors.isEmpty());
    }
}

TEST_F(Budget, HeadroomRowFollowsEveryChangeOfTheTotals)
{
    EXPECT_EQ(form().HeadroomTabLB->objectName(), QStringLiteral("HeadroomTabLB"));
    EXPECT_EQ(form().FVerdictField->objectName(), QStringLiteral("FVerdictField"));
    EXPECT_EQ(Headroom(), QStringList());
    Add(u"HALF");
    EXPECT_EQ(Headroom(),
              QStringList{QStringLiteral(
                  "ЗАПАС:\t1.5 (50 %)\t0.7 (50 %)\t0.35 (50 %)\t14.25 (50 %)\t2 (50 %)")});
    EXPECT_EQ(Verdict(), QStringLiteral("В ПРЕДЕЛАХ НОРМЫ"));

    Add(u"N7"); // -7 V now 1.05 A against 0.7 A
    EXPECT_EQ(form().HeadroomTabLB->ColumnText(3, 0), QStringLiteral("⚠ −0.35 (150 %)"));
    EXPECT_EQ(Verdict(), QStringLiteral("ПРЕВЫШЕНИЕ: −7V на 0.35 А"));
    EXPECT_TRUE(TotalsRed());
    // Said in words to a screen reader, too.
    EXPECT_EQ(form().TotalTabLB->accessibleDescription(), Verdict());

    TickRackType(form(), 4); // the crate type change refreshes it
    EXPECT_EQ(Headroom(),
              QStringList{QStringLiteral(
                  "ЗАПАС:\t8.5 (15 %)\t2.3 (23 %)\t1.95 (35 %)\t75.75 (15 %)\t15 (11 %)")});
    EXPECT_EQ(Verdict(), QStringLiteral("В ПРЕДЕЛАХ НОРМЫ"));

    ClickRow(form().RackTabLB, 1);
    form().DelBtn->click();
    EXPECT_EQ(form().HeadroomTabLB->ColumnText(1, 0), QStringLiteral("8.5 (15 %)"));
    ClickRow(form().RackTabLB, 0);
    form().DelBtn->click(); // the basket is empty: the totals keep an empty row, the budget none
    EXPECT_EQ(Rows(form().TotalTabLB), QStringList{QString()});
    EXPECT_EQ(Headroom(), QStringList());
    EXPECT_EQ(Verdict(), QString());
    EXPECT_EQ(form().TotalTabLB->accessibleDescription(), QString());

    Add(u"HALF");
    Clear();
    EXPECT_EQ(Headroom(), QStringList());
    EXPECT_EQ(Verdict(), QString());
}

TEST_F(Budget, HeadroomFollowsTheDecimalSeparator)
{
    Open(QStringLiteral(","));
    Add(u"HALF");
    Add(u"N7");
    EXPECT_EQ(Headroom(),
              QStringList{QStringLiteral(
                  "ЗАПАС:\t1,5 (50 %)\t0,7 (50 %)\t⚠ −0,35 (150 %)\t14,25 (50 %)\t2 (50 %)")});
    EXPECT_EQ(Verdict(), QStringLiteral("ПРЕВЫШЕНИЕ: −7V на 0,35 А"));
}

TEST_F(Budget, ColoursKeepTheirContrastAndNeverStandAlone)
{
    Add(u"HALF");
    Add(u"P5"); // +5 V at 85 %: in the band
    Add(u"N7"); // -7 V passed
    const TFieldColorListBox* headroom = form().HeadroomTabLB;
    const QColor background = headroom->palette().color(QPalette::Base);
    const QColor normal = headroom->FieldColor(2);
    const QColor near = headroom->FieldColor(1);
    const QColor over = headroom->FieldColor(3);
    EXPECT_EQ(normal, headroom->FontColor());
    EXPECT_NE(near, normal);
    EXPECT_NE(over, normal);
    EXPECT_NE(over, near);
    for (const QColor& colour : {near, over})
        EXPECT_GE(Contrast(colour, background), 4.5) << colour.name().toStdString();
    // Each coloured field carries its own symbol as well.
    EXPECT_TRUE(headroom->ColumnText(1, 0).startsWith(QStringLiteral("≈ ")));
    EXPECT_TRUE(headroom->ColumnText(3, 0).startsWith(QStringLiteral("⚠ ")));

    EXPECT_EQ(Verdict(), QStringLiteral("ПРЕВЫШЕНИЕ: −7V на 0.35 А. БЛИЗКО К ПРЕДЕЛУ: +5V 85 %"));
    const QLabel* verdict = form().FVerdictField;
    EXPECT_EQ(verdict->palette().color(QPalette::WindowText), over);
    EXPECT_GE(Contrast(over, form().RackGB->palette().color(QPalette::Window)), 4.5);
}

TEST_F(Budget, ThresholdMovesALimitInAndOutOfTheBand)
{
    EXPECT_EQ(form().MarginField->objectName(), QStringLiteral("MarginField"));
    EXPECT_EQ(form().MarginField->minimum(), 50);
    EXPECT_EQ(form().MarginField->maximum(), 100);
    EXPECT_EQ(form().MarginField->value(), 80);

    Add(u"HALF");
    Add(u"P5"); // +5 V: 2.55 of 3 A, 85 %
    EXPECT_EQ(Verdict(), QStringLiteral("БЛИЗКО К ПРЕДЕЛУ: +5V 85 %"));
    EXPECT_EQ(form().HeadroomTabLB->ColumnText(1, 0), QStringLiteral("≈ 0.45 (85 %)"));
    EXPECT_EQ(form().FVerdictField->palette().color(QPalette::WindowText),
              form().HeadroomTabLB->FieldColor(1));
    EXPECT_NE(form().HeadroomTabLB->FieldColor(1), form().HeadroomTabLB->FontColor());

    form().MarginField->setValue(90);
    EXPECT_EQ(Verdict(), QStringLiteral("В ПРЕДЕЛАХ НОРМЫ"));
    EXPECT_EQ(form().HeadroomTabLB->ColumnText(1, 0), QStringLiteral("0.45 (85 %)"));
    EXPECT_EQ(form().HeadroomTabLB->FieldColor(1), form().HeadroomTabLB->FontColor());
    EXPECT_EQ(form().FVerdictField->palette().color(QPalette::WindowText),
              form().palette().color(QPalette::WindowText));

    // A limit met exactly stays in the band up to a threshold of 99; at
    // 100 there is no band.
    Clear();
    Add(u"W01", 285);
    EXPECT_EQ(Verdict(), QStringLiteral("БЛИЗКО К ПРЕДЕЛУ: МОЩНОСТЬ 100 %"));
    form().MarginField->setValue(100);
    EXPECT_EQ(Verdict(), QStringLiteral("В ПРЕДЕЛАХ НОРМЫ"));
    EXPECT_EQ(form().HeadroomTabLB->ColumnText(4, 0), QStringLiteral("0 (100 %)"));
}

TEST_F(Budget, HeadroomColumnsFollowTheHeader)
{
    Add(u"HALF");
    THeader* header = form().RackHeader;
    const int edge = header->SectionWidth(0);
    QTest::mousePress(header, Qt::LeftButton, {}, QPoint(edge, 5));
    QTest::mouseMove(header, QPoint(edge + 40, 5));
    QTest::mouseRelease(header, Qt::LeftButton, {}, QPoint(edge + 40, 5));
    ASSERT_EQ(header->SectionWidth(0), edge + 40);
    EXPECT_EQ(form().HeadroomTabLB->TabStops(), form().TotalTabLB->TabStops());
    EXPECT_EQ(form().HeadroomTabLB->TabStops().value(0),
              (edge + 40) / form().HeadroomTabLB->AverageCharWidth() + 1);
}

TEST_F(Budget, FitMarksOnEveryCrateType)
{
    const QStringList rowsBefore = Rows(form().RackTypeCL);
    const QStringList none(7, QString());
    EXPECT_EQ(Notes(), none); // an empty basket

    struct Case {
        const char* what;
        int ticked;
        std::vector<std::pair<const char16_t*, int>> blocks;
        QStringList notes;
    };
    const QString fits = QStringLiteral("✓");
    const QString pick = QStringLiteral("✓ подходит");
    const QString slots = QStringLiteral("✗ СЛОТЫ");
    const QString v5 = QStringLiteral("✗ +5V");
    const QString v5slots = QStringLiteral("✗ +5V, СЛОТЫ");
    const Case cases[] = {
        {"17 slots: only row 4",
         4,
         {{u"S1", 17}},
         {slots, slots, slots, slots, pick, slots, slots}},
        {"over row 4's +5 V: rows 5 and 6", 5, {{u"BIG5", 2}}, {v5, v5, v5, v5, v5, pick, fits}},
        {"no row takes it",
         4,
         {{u"S1", 15}, {u"BIG5", 2}},
         {v5slots, v5slots, v5slots, v5slots, v5, slots, slots}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Clear();
        TickRackType(form(), c.ticked);
        for (const auto& [code, times] : c.blocks)
            Add(code, times);
        EXPECT_EQ(Notes(), c.notes);
        EXPECT_EQ(Rows(form().RackTypeCL), rowsBefore);              // the fields read the same
        EXPECT_EQ(form().RackTypeCL->RowState(c.ticked), cbChecked); // nothing ticked for the user

        QAbstractItemModel* model = form().RackTypeCL->model();
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(form().RackTypeCL);
        ASSERT_NE(list, nullptr);
        for (int row = 0; row < 7; ++row) {
            EXPECT_EQ(model->data(model->index(row, 0), Qt::ToolTipRole).toString(), c.notes[row]);
            QAccessibleInterface* item = list->child(row);
            ASSERT_NE(item, nullptr);
            EXPECT_TRUE(item->text(QAccessible::Name).endsWith(c.notes[row]))
                << item->text(QAccessible::Name).toStdString();
            // The fields come first, read after the header's captions.
            EXPECT_TRUE(item->text(QAccessible::Name)
                            .startsWith(QStringLiteral("ШИФР ") +
                                        form().RackTypeCL->ColumnText(0, row) +
                                        QStringLiteral(", +5V, А ") +
                                        form().RackTypeCL->ColumnText(1, row)))
                << item->text(QAccessible::Name).toStdString();
        }
    }

    Clear();
    EXPECT_EQ(Notes(), none);
    EXPECT_FALSE(form()
                     .RackTypeCL->model()
                     ->data(form().RackTypeCL->model()->index(0, 0), Qt::ToolTipRole)
                     .isValid());
}

} // namespace
