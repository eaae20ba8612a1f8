// SPDX-License-Identifier: MIT
#include "crate/Budget.h"

#include "crate/CrateTypes.h"
#include "base/Exception.h"

#include "QStringPrinter.h"

#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

const QString kDot = QStringLiteral(".");
const QString kComma = QStringLiteral(",");

// The full stops of the numbers in `text` (not those between sentences)
// replaced by `separator`.
QString WithSeparator(const char16_t* text, const QString& separator)
{
    static const QRegularExpression decimalPoint(QStringLiteral("(?<=\\d)\\.(?=\\d)"));
    return QString::fromUtf16(text).replace(decimalPoint, separator);
}

LimitTexts CrateLimits(int row, const QString& separator)
{
    const QStringList fields = CrateTypeRow(CrateTypes()[row], separator).split(QLatin1Char('\t'));
    return {fields[1], fields[2], fields[3], fields[4], fields[5]};
}

std::vector<LimitTexts> AllCrateLimits(const QString& separator)
{
    std::vector<LimitTexts> crates;
    for (int row = 0; row < kCrateTypeCount; ++row)
        crates.push_back(CrateLimits(row, separator));
    return crates;
}

// Sums written with a full stop, read with `separator`.
Totals Sums(const char* v5, const char* v7, const char* v_7, const char* power, std::int64_t slots,
            const QString& separator)
{
    auto exact = [&separator](const char* text) {
        return ExactDecimal::Parse(QString::fromUtf8(text).replace(QLatin1Char('.'), separator),
                                   separator);
    };
    return {exact(v5), exact(v7), exact(v_7), exact(power), slots};
}

struct BudgetCase {
    const char* what;
    int crateRow;
    const char *v5, *v7, *v_7, *power;
    std::int64_t slots;
    int margin;
    const char16_t* headroom; // the headroom row, with full stops
    const char16_t* verdict;
};

// Crate type row 0: 3 A, 1.4 A, 0.7 A, 28.5 W, 4 slots.
const BudgetCase kBudgetCases[] = {
    {"half of everything", 0, "1.5", "0.7", "0.35", "14.25", 2, 80,
     u"ЗАПАС:\t1.5 (50 %)\t0.7 (50 %)\t0.35 (50 %)\t14.25 (50 %)\t2 (50 %)", u"В ПРЕДЕЛАХ НОРМЫ"},
    {"-7 V passed", 0, "1.5", "0.7", "1.05", "14.25", 2, 80,
     u"ЗАПАС:\t1.5 (50 %)\t0.7 (50 %)\t⚠ −0.35 (150 %)\t14.25 (50 %)\t2 (50 %)",
     u"ПРЕВЫШЕНИЕ: −7V на 0.35 А"},
    {"two passed, in limit order", 0, "1", "0.7", "1.05", "29.7", 1, 80,
     u"ЗАПАС:\t2 (33 %)\t0.7 (50 %)\t⚠ −0.35 (150 %)\t⚠ −1.2 (105 %)\t3 (25 %)",
     u"ПРЕВЫШЕНИЕ: −7V на 0.35 А; МОЩНОСТЬ на 1.2 ВТ"},
    {"+5 V in the band", 0, "2.55", "0", "0", "0", 0, 80,
     u"ЗАПАС:\t≈ 0.45 (85 %)\t1.4 (0 %)\t0.7 (0 %)\t28.5 (0 %)\t4 (0 %)",
     u"БЛИЗКО К ПРЕДЕЛУ: +5V 85 %"},
    {"a higher threshold moves it out", 0, "2.55", "0", "0", "0", 0, 90,
     u"ЗАПАС:\t0.45 (85 %)\t1.4 (0 %)\t0.7 (0 %)\t28.5 (0 %)\t4 (0 %)", u"В ПРЕДЕЛАХ НОРМЫ"},
    {"79.99 % is below 80", 0, "2.3997", "0", "0", "0", 0, 80,
     u"ЗАПАС:\t0.6003 (79 %)\t1.4 (0 %)\t0.7 (0 %)\t28.5 (0 %)\t4 (0 %)", u"В ПРЕДЕЛАХ НОРМЫ"},
    {"exactly at the limits", 0, "3", "1.4", "0.7", "28.5", 4, 80,
     u"ЗАПАС:\t≈ 0 (100 %)\t≈ 0 (100 %)\t≈ 0 (100 %)\t≈ 0 (100 %)\t≈ 0 (100 %)",
     u"БЛИЗКО К ПРЕДЕЛУ: +5V 100 %; +7V 100 %; −7V 100 %; МОЩНОСТЬ 100 %; СЛОТЫ 100 %"},
    {"at 100 there is no band", 0, "3", "1.4", "0.7", "28.5", 4, 100,
     u"ЗАПАС:\t0 (100 %)\t0 (100 %)\t0 (100 %)\t0 (100 %)\t0 (100 %)", u"В ПРЕДЕЛАХ НОРМЫ"},
    {"one milliampere over", 0, "3.001", "0", "0", "0", 0, 100,
     u"ЗАПАС:\t⚠ −0.001 (101 %)\t1.4 (0 %)\t0.7 (0 %)\t28.5 (0 %)\t4 (0 %)",
     u"ПРЕВЫШЕНИЕ: +5V на 0.001 А"},
    {"passed and near together", 0, "2.55", "0", "0", "0", 5, 80,
     u"ЗАПАС:\t≈ 0.45 (85 %)\t1.4 (0 %)\t0.7 (0 %)\t28.5 (0 %)\t⚠ −1 (125 %)",
     u"ПРЕВЫШЕНИЕ: СЛОТЫ на 1. БЛИЗКО К ПРЕДЕЛУ: +5V 85 %"},
    {"a current fed back", 4, "-0.5", "0", "0", "0", 0, 80,
     u"ЗАПАС:\t10.5 (−5 %)\t3 (0 %)\t3 (0 %)\t90 (0 %)\t17 (0 %)", u"В ПРЕДЕЛАХ НОРМЫ"},
};

TEST(Budget, HeadroomRowAndVerdict)
{
    for (const QString& separator : {kDot, kComma}) {
        for (const BudgetCase& c : kBudgetCases) {
            SCOPED_TRACE(testing::Message() << c.what << ", separator " << separator.toStdString());
            const BudgetEvaluation budget =
                EvaluateBudget(Sums(c.v5, c.v7, c.v_7, c.power, c.slots, separator),
                               CrateLimits(c.crateRow, separator), c.margin, separator);
            EXPECT_EQ(HeadroomRow(budget, separator), WithSeparator(c.headroom, separator));
            EXPECT_EQ(VerdictSentence(budget, separator), WithSeparator(c.verdict, separator));
            EXPECT_EQ(budget.Fits(), !QString::fromUtf16(c.verdict).contains(u"ПРЕВЫШЕНИЕ"));
        }
    }
}

TEST(Budget, LimitUseCarriesTheValues)
{
    const BudgetEvaluation budget =
        EvaluateBudget(Sums("1.5", "0.7", "1.05", "14.25", 2, kComma), CrateLimits(0, kComma),
                       kDefaultMarginPercent, kComma);
    const LimitUse& minus7 = budget.limits[static_cast<int>(LimitKind::V_7)];
    EXPECT_EQ(minus7.kind, LimitKind::V_7);
    EXPECT_EQ(minus7.sum.Format(kDot), QStringLiteral("1.05"));
    EXPECT_EQ(minus7.limit.Format(kDot), QStringLiteral("0.7"));
    EXPECT_EQ(minus7.headroom.Format(kDot), QStringLiteral("-0.35"));
    EXPECT_EQ(minus7.state, LimitState::Over);
    EXPECT_EQ(HeadroomText(minus7, kComma), QStringLiteral("−0,35 (150 %)"));
    EXPECT_EQ(budget.limits[4].state, LimitState::Within);
}

TEST(Budget, ZeroLimitsAndBadLimitTexts)
{
    // A limit of zero allows nothing on its channel and has no share: what
    // is left of it shows, and a dash for the share.
    const LimitTexts zero{QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"),
                          QStringLiteral("0"), QStringLiteral("0")};
    const BudgetEvaluation budget =
        EvaluateBudget(Sums("0", "0.1", "0", "0", 0, kDot), zero, 80, kDot);
    EXPECT_EQ(HeadroomRow(budget, kDot),
              QStringLiteral("ЗАПАС:\t0 (—)\t⚠ −0.1 (—)\t0 (—)\t0 (—)\t0 (—)"));
    EXPECT_EQ(budget.limits[0].state, LimitState::Within) << "nothing on a closed channel fits";
    EXPECT_FALSE(budget.limits[0].percentUsed);
    EXPECT_EQ(VerdictSentence(budget, kDot), QStringLiteral("ПРЕВЫШЕНИЕ: +7V на 0.1 А"));

    LimitTexts bad = CrateLimits(0, kDot);
    bad[1] = QStringLiteral("1,4"); // the other separator
    EXPECT_THROW(EvaluateBudget(Totals{}, bad, 80, kDot), EConvertError);
    bad = CrateLimits(0, kDot);
    bad[4] = QStringLiteral("4.5"); // slots are whole
    EXPECT_THROW(EvaluateBudget(Totals{}, bad, 80, kDot), EConvertError);
}

struct FitCase {
    const char* what;
    const char *v5, *v7, *v_7, *power;
    std::int64_t slots;
    std::array<const char16_t*, kCrateTypeCount> notes;
};

const FitCase kFitCases[] = {
    {"a small basket fits every type",
     "1",
     "0.5",
     "0.3",
     "10",
     2,
     {u"✓ подходит", u"✓", u"✓", u"✓", u"✓", u"✓", u"✓"}},
    {"row 0's -7 V is smaller",
     "1",
     "0.5",
     "0.75",
     "10",
     2,
     {u"✗ −7V", u"✓ подходит", u"✓", u"✓", u"✓", u"✓", u"✓"}},
    {"17 slots: only row 4",
     "1",
     "0.5",
     "0.3",
     "10",
     17,
     {u"✗ СЛОТЫ", u"✗ СЛОТЫ", u"✗ СЛОТЫ", u"✗ СЛОТЫ", u"✓ подходит", u"✗ СЛОТЫ", u"✗ СЛОТЫ"}},
    {"over row 4's +5 V: only rows 5 and 6",
     "12",
     "1",
     "0.5",
     "20",
     8,
     {u"✗ +5V, СЛОТЫ", u"✗ +5V, СЛОТЫ", u"✗ +5V, СЛОТЫ", u"✗ +5V, СЛОТЫ", u"✗ +5V", u"✓ подходит",
      u"✓"}},
    {"no type takes it",
     "16.001",
     "5.1",
     "3",
     "141",
     18,
     {u"✗ +5V, +7V, −7V, МОЩНОСТЬ, СЛОТЫ", u"✗ +5V, +7V, −7V, МОЩНОСТЬ, СЛОТЫ",
      u"✗ +5V, +7V, −7V, МОЩНОСТЬ, СЛОТЫ", u"✗ +5V, +7V, −7V, МОЩНОСТЬ, СЛОТЫ",
      u"✗ +5V, +7V, МОЩНОСТЬ, СЛОТЫ", u"✗ +5V, +7V, МОЩНОСТЬ, СЛОТЫ",
      u"✗ +5V, +7V, МОЩНОСТЬ, СЛОТЫ"}},
    {"exactly row 0's limits fit it",
     "3",
     "1.4",
     "0.7",
     "28.5",
     4,
     {u"✓ подходит", u"✓", u"✓", u"✓", u"✓", u"✓", u"✓"}},
};

TEST(Budget, FitOfEveryCrateType)
{
    for (const QString& separator : {kDot, kComma}) {
        for (const FitCase& c : kFitCases) {
            SCOPED_TRACE(testing::Message() << c.what << ", separator " << separator.toStdString());
            const std::vector<CrateFit> fits =
                FitOfCrateTypes(Sums(c.v5, c.v7, c.v_7, c.power, c.slots, separator),
                                AllCrateLimits(separator), separator);
            ASSERT_EQ(fits.size(), static_cast<size_t>(kCrateTypeCount));
            int picks = 0;
            for (int row = 0; row < kCrateTypeCount; ++row) {
                EXPECT_EQ(FitNote(fits[row]), QString::fromUtf16(c.notes[row])) << "row " << row;
                EXPECT_EQ(fits[row].fits, fits[row].failing.empty());
                picks += fits[row].pick ? 1 : 0;
            }
            EXPECT_LE(picks, 1);
        }
    }
}

} // namespace
