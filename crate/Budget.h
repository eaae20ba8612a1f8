// SPDX-License-Identifier: MIT
#pragma once

// The budget of a basket against the crate types, as pure arithmetic on
// exact decimals: for each of the five limits the sum, the headroom left
// and the share used, and whether the limit holds, is near or is passed;
// the one-line verdict that says in words what the totals colour means;
// and which crate types would take the basket. The window, the CSV export
// and the printable report show what these functions give.
//
// Limits come as typed values (a crate type's LimitValues); the overloads
// taking texts parse fields 1..5 of a crate type row first and raise
// EConvertError for one that does not convert. An empty basket has no
// budget: EvaluateBasket says so and callers show nothing for it.

#include "crate/Basket.h"
#include "crate/CrateTypes.h"
#include "crate/ExactDecimal.h"

#include <QString>

#include <array>
#include <optional>
#include <vector>

// Fields 1..5 of a crate type row.
using LimitTexts = std::array<QString, kLimitCount>;

// Within: the limit holds with room to spare. Near: it holds but the share
// used is at or above the warning threshold. Over: the sum passes it.
enum class LimitState { Within, Near, Over };

// The warning threshold, in per cent of a limit; at 100 there is no band.
inline constexpr int kMinMarginPercent = 50;
inline constexpr int kMaxMarginPercent = 100;
inline constexpr int kDefaultMarginPercent = 80;

struct LimitUse {
    LimitKind kind = LimitKind::V5;
    ExactDecimal sum, limit;
    ExactDecimal headroom; // limit - sum, negative when over
    // Share of the limit used, in whole per cent: rounded down while the
    // limit holds and up once it is passed, so that 100 % means exactly at
    // the limit. Absent when the limit is zero or less.
    std::optional<ExactDecimal> percentUsed;
    LimitState state = LimitState::Within;
};

struct BudgetEvaluation {
    std::array<LimitUse, kLimitCount> limits;
    bool Fits() const; // no limit is passed
};

// Evaluates the basket's sums against one crate type's limits.
BudgetEvaluation EvaluateBudget(const Totals& totals, const LimitValues& limits, int marginPercent);
BudgetEvaluation EvaluateBudget(const Totals& totals, const LimitTexts& limits, int marginPercent,
                                const QString& separator);
// The typed limits that limit texts stand for.
LimitValues ParseLimits(const LimitTexts& limits, const QString& separator);

// "+5V", "+7V", "−7V", "МОЩНОСТЬ", "СЛОТЫ".
QString LimitName(LimitKind kind);

// "0,35 (50 %)", "−0,35 (150 %)", "3 (25 %)": the headroom in decimal text
// with a minus sign when the limit is passed, and the share used; "0 (—)"
// for a limit of zero, of which no share can be used.
QString HeadroomText(const LimitUse& use, const QString& separator);
// The same with the state's symbol in front, so that it never rests on
// colour alone: "⚠ −0,35 (150 %)" when passed, "≈ 0,6 (85 %)" when near.
QString MarkedHeadroomText(const LimitUse& use, const QString& separator);
QString StateSymbol(LimitState state); // "", "≈", "⚠"

// The headroom row: "ЗАПАС:" and the five marked headroom texts, tab-separated
// like the totals row so that it lines up under the same columns.
QString HeadroomRow(const BudgetEvaluation& budget, const QString& separator);

// What the colour means, in one line:
//   "ПРЕВЫШЕНИЕ: −7V на 0,35 А; МОЩНОСТЬ на 1,2 ВТ" for the passed limits,
//   "БЛИЗКО К ПРЕДЕЛУ: +5V 85 %" for the limits in the warning band
//   (both, joined by ". ", when there are both), else "В ПРЕДЕЛАХ НОРМЫ".
// Limits are named in the order +5V, +7V, −7V, power, slots.
QString VerdictSentence(const BudgetEvaluation& budget, const QString& separator);

// Whether one crate type takes the basket.
struct CrateFit {
    bool fits = false;
    std::vector<LimitKind> failing; // the passed limits, in order
    bool pick = false;              // the first crate type in list order that fits
};

// The fit of every crate type, in list order.
std::vector<CrateFit> FitOfCrateTypes(const Totals& totals, const std::vector<TCrateType>& crates);
std::vector<CrateFit> FitOfCrateTypes(const Totals& totals, const std::vector<LimitTexts>& crates,
                                      const QString& separator);

// "✓ подходит" for the pick, "✓" for another that fits, "✗ +5V, СЛОТЫ" otherwise.
QString FitNote(const CrateFit& fit);

// The one budget evaluation of a basket: its sums, their use of the ticked
// crate type's limits, and the fit of every crate type. The totals colour,
// the headroom row, the verdict, the fit marks, the CSV and the report all
// show this one value.
struct BasketBudget {
    bool empty = true; // no entries: no budget to show
    Totals totals;
    int crateType = 0; // the ticked one, a position in the list evaluated against
    BudgetEvaluation ticked;
    std::vector<CrateFit> fits;
};

// `crateType` must be a position in `crates`.
BasketBudget EvaluateBasket(const std::vector<TDevice>& devices,
                            const std::vector<TCrateType>& crates, int crateType,
                            int marginPercent);
