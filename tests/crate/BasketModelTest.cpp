// SPDX-License-Identifier: MIT
// The basket model alone, without a window: every budget flow (add, a
// refused add, delete, clear, a smaller crate ticked, a file opened, moves)
// as a table of steps, each checked as it is done, then all of them undone
// back to the empty basket and redone, the state compared at every stop.

#include "crate/BasketModel.h"

#include "crate/Budget.h"
#include "crate/CrateTypes.h"

#include <QSignalSpy>
#include <QStringList>
#include <QUndoStack>

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace {

const QString kDot = QStringLiteral(".");

TDevice Block(const char* code, const char* v5, const char* v7, const char* v_7, const char* power,
              const char* slots)
{
    return MakeDevice({QString::fromUtf8(code), QString::fromUtf8(v5), QString::fromUtf8(v7),
                       QString::fromUtf8(v_7), QString::fromUtf8(power), QString::fromUtf8(slots),
                       QStringLiteral("name of ") + QString::fromUtf8(code)},
                      kDot);
}

// Everything the window shows of the basket, as the model gives it.
struct Shown {
    QStringList codes;
    int ticked = 0;
    TotalsLine line;
    QString totals, headroom, verdict;
    QStringList fits;
    bool overSlots = false;
    bool operator==(const Shown&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Shown& shown)
{
    return out << shown.codes.join(u',').toStdString() << " | ticked " << shown.ticked << " | line "
               << static_cast<int>(shown.line.shape) << "/" << static_cast<int>(shown.line.colour)
               << " | " << shown.totals.toStdString() << " | " << shown.headroom.toStdString()
               << " | " << shown.verdict.toStdString() << " | "
               << shown.fits.join(u',').toStdString() << " | over " << shown.overSlots;
}

Shown Show(const TBasketModel& model)
{
    Shown shown;
    for (const TDevice& device : model.Devices())
        shown.codes << device.Ident;
    shown.ticked = model.TickedCrate();
    shown.line = model.Line();
    const BasketBudget& budget = model.Evaluate();
    if (!budget.empty) {
        shown.totals = TotalsRow(budget.totals, kDot);
        shown.headroom = HeadroomRow(budget.ticked, kDot);
        shown.verdict = VerdictSentence(budget.ticked, kDot);
        for (const CrateFit& fit : budget.fits)
            shown.fits << FitNote(fit);
    }
    shown.overSlots = model.OverSlots();
    return shown;
}

using Shape = TotalsLine::Shape;
using Colour = TotalsLine::Colour;

struct Flow {
    const char* what;
    std::function<bool(TBasketModel&)> act; // true when the model took a step
    bool step;                              // expected
    Shape shape;
    Colour colour;
    const char16_t* verdict; // empty for an empty basket
};

bool Added(TBasketModel::AddResult result)
{
    return result == TBasketModel::AddResult::Added;
}

const TDevice kHalf = Block("HALF", "1.5", "0.7", "0.35", "14.25", "2");
const TDevice kMinus = Block("MINUS", "0", "0", "0.7", "0", "1");
const TDevice kTwoSlots = Block("TWO", "0", "0", "0", "0", "2");
const TDevice kHuge = Block("HUGE", "0", "0", "0", "0", "9223372036854775807");
const TDevice kOne = Block("ONE", "0.1", "0", "0", "1", "1");

// Crate type 0: 3 A, 1.4 A, 0.7 A, 28.5 W, 4 slots; 4: 10, 3, 3, 90 W, 17.
const Flow kFlows[] = {
    {"add within", [](TBasketModel& m) { return Added(m.Add({kHalf})); }, true, Shape::Sums,
     Colour::Within, u"В ПРЕДЕЛАХ НОРМЫ"},
    {"add past −7 V", [](TBasketModel& m) { return Added(m.Add({kMinus})); }, true, Shape::Sums,
     Colour::Over, u"ПРЕВЫШЕНИЕ: −7V на 0.35 А"},
    {"add refused: 5 slots of 4",
     [](TBasketModel& m) {
         return m.Add({kTwoSlots}) == TBasketModel::AddResult::Full ? false : true;
     },
     false, Shape::Sums, Colour::Over, u"ПРЕВЫШЕНИЕ: −7V на 0.35 А"},
    {"nothing to add", [](TBasketModel& m) { return Added(m.Add({})); }, false, Shape::Sums,
     Colour::Over, u"ПРЕВЫШЕНИЕ: −7V на 0.35 А"},
    {"a larger crate", [](TBasketModel& m) { return m.TickCrateType(4); }, true, Shape::Sums,
     Colour::Within, u"В ПРЕДЕЛАХ НОРМЫ"},
    {"the ticked one again", [](TBasketModel& m) { return m.TickCrateType(4); }, false, Shape::Sums,
     Colour::Within, u"В ПРЕДЕЛАХ НОРМЫ"},
    {"two at once, one step",
     [](TBasketModel& m) {
         return Added(m.Add({kTwoSlots, kOne}));
     },
     true, Shape::Sums, Colour::Within, u"В ПРЕДЕЛАХ НОРМЫ"},
    {"moved", [](TBasketModel& m) { return m.Move(3, 0); }, true, Shape::Sums, Colour::Within,
     u"В ПРЕДЕЛАХ НОРМЫ"},
    {"a smaller crate under a full basket", [](TBasketModel& m) { return m.TickCrateType(0); },
     true, Shape::Sums, Colour::Over, u"ПРЕВЫШЕНИЕ: −7V на 0.35 А; СЛОТЫ на 2"},
    {"delete out of range", [](TBasketModel& m) { return m.Delete(4); }, false, Shape::Sums,
     Colour::Over, u"ПРЕВЫШЕНИЕ: −7V на 0.35 А; СЛОТЫ на 2"},
    {"delete the −7 V block", [](TBasketModel& m) { return m.Delete(2); }, true, Shape::Sums,
     Colour::Over, u"ПРЕВЫШЕНИЕ: СЛОТЫ на 1"},
    {"delete", [](TBasketModel& m) { return m.Delete(0); }, true, Shape::Sums, Colour::Within,
     u"БЛИЗКО К ПРЕДЕЛУ: СЛОТЫ 100 %"},
    {"delete", [](TBasketModel& m) { return m.Delete(0); }, true, Shape::Sums, Colour::Within,
     u"В ПРЕДЕЛАХ НОРМЫ"},
    {"delete the last: one empty row", [](TBasketModel& m) { return m.Delete(0); }, true,
     Shape::Blank, Colour::Within, u""},
    {"tick on an empty basket", [](TBasketModel& m) { return m.TickCrateType(5); }, true,
     Shape::Blank, Colour::Within, u""},
    {"clear the empty row", [](TBasketModel& m) { return m.Clear(); }, true, Shape::None,
     Colour::Within, u""},
    {"clear again changes nothing", [](TBasketModel& m) { return m.Clear(); }, false, Shape::None,
     Colour::Within, u""},
    {"a file with more slots than any crate",
     [](TBasketModel& m) {
         m.Replace({kHuge, kOne}, 0, QStringLiteral("открытие файла a.vbasket"));
         return true;
     },
     true, Shape::Sums, Colour::Over, u"ПРЕВЫШЕНИЕ: СЛОТЫ на 9223372036854775804"},
    {"cleared", [](TBasketModel& m) { return m.Clear(); }, true, Shape::None, Colour::Over, u""},
    {"an empty file",
     [](TBasketModel& m) {
         m.Replace({}, 2, QStringLiteral("открытие файла b.vbasket"));
         return true;
     },
     true, Shape::None, Colour::Over, u""},
};

TEST(BasketModel, FlowsThenUndoToTheStartAndRedo)
{
    TBasketModel model;
    std::vector<Shown> states{Show(model)};
    for (const Flow& flow : kFlows) {
        SCOPED_TRACE(flow.what);
        const int steps = model.UndoStack()->count();
        EXPECT_EQ(flow.act(model), flow.step);
        EXPECT_EQ(model.UndoStack()->count(), steps + (flow.step ? 1 : 0));
        EXPECT_EQ(model.Line().shape, flow.shape);
        EXPECT_EQ(model.Line().colour, flow.colour);
        EXPECT_EQ(Show(model).verdict, QString::fromUtf16(flow.verdict));
        if (flow.step)
            states.push_back(Show(model));
        else
            EXPECT_EQ(Show(model), states.back());
    }
    QUndoStack& undo = *model.UndoStack();
    ASSERT_EQ(undo.count() + 1, static_cast<int>(states.size()));
    for (int state = static_cast<int>(states.size()) - 2; state >= 0; --state) {
        undo.undo();
        EXPECT_EQ(Show(model), states[static_cast<std::size_t>(state)]) << "undone to " << state;
    }
    EXPECT_FALSE(undo.canUndo());
    for (std::size_t state = 1; state < states.size(); ++state) {
        undo.redo();
        EXPECT_EQ(Show(model), states[state]) << "redone to " << state;
    }
    EXPECT_FALSE(undo.canRedo());
}

// A slot count at the 64-bit maximum beside another entry: exact sums, so
// the basket is over every crate type, whichever way it came in.
TEST(BasketModel, SlotSumsNeverWrap)
{
    struct Case {
        const char* what;
        std::function<void(TBasketModel&)> fill;
    };
    const Case cases[] = {
        {"opened from a file",
         [](TBasketModel& m) {
             m.Replace({kHuge, kOne}, 0, QString());
         }},
        {"in the other order",
         [](TBasketModel& m) {
             m.Replace({kOne, kHuge}, 4, QString());
         }},
        {"back by undo",
         [](TBasketModel& m) {
             m.Replace({kHuge, kOne}, 0, QString());
             m.Clear();
             m.UndoStack()->undo();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TBasketModel model;
        c.fill(model);
        const BasketBudget& budget = model.Evaluate();
        EXPECT_EQ(budget.totals.slots.WholeText(), QStringLiteral("9223372036854775808"));
        EXPECT_FALSE(budget.ticked.Fits());
        EXPECT_TRUE(model.OverSlots());
        EXPECT_EQ(model.Line().colour, Colour::Over);
        for (const CrateFit& fit : budget.fits)
            EXPECT_EQ(FitNote(fit), QStringLiteral("✗ СЛОТЫ"));
        // Nothing more fits, however small.
        EXPECT_EQ(model.Add({Block("ZERO", "0", "0", "0", "0", "0")}),
                  TBasketModel::AddResult::Full);
    }
    // Added one by one, the second of two huge blocks is refused even by the
    // largest crate, and sums of currents are exact far beyond a double.
    TBasketModel model;
    model.TickCrateType(4);
    EXPECT_EQ(model.Add({kHuge}), TBasketModel::AddResult::Full);
    model.Replace(
        {Block("BIG", "1E300", "0", "0", "0", "0"), Block("TINY", "1E-300", "0", "0", "0", "0")}, 4,
        QString());
    EXPECT_EQ(model.Evaluate().totals.v5 - ExactDecimal::Parse(QStringLiteral("1E300"), kDot),
              ExactDecimal::Parse(QStringLiteral("1E-300"), kDot));
}

TEST(BasketModel, OneChangeSignalPerStepAndStepNames)
{
    TBasketModel model;
    QSignalSpy changed(&model, &TBasketModel::Changed);
    model.Add({kHalf});
    model.Add({kOne, kOne, kOne});
    model.Add({kOne, kHalf});
    EXPECT_EQ(changed.count(), 1); // the last two do not fit 4 slots
    EXPECT_EQ(model.UndoStack()->undoText(), QStringLiteral("добавление HALF"));
    model.TickCrateType(4);
    model.Add({kOne, kOne, kOne});
    EXPECT_EQ(model.UndoStack()->undoText(), QStringLiteral("добавление ONE × 3"));
    model.Add({kOne, kHalf});
    EXPECT_EQ(model.UndoStack()->undoText(), QStringLiteral("добавление 2 блоков"));
    model.Delete(0);
    EXPECT_EQ(model.UndoStack()->undoText(), QStringLiteral("удаление HALF"));
    model.Clear();
    EXPECT_EQ(model.UndoStack()->undoText(), QStringLiteral("очистка корзины"));
    EXPECT_EQ(changed.count(), 6);
    model.UndoStack()->undo();
    model.UndoStack()->redo();
    EXPECT_EQ(changed.count(), 8);
    // The threshold is no step, but what is shown follows it.
    model.UndoStack()->undo();
    const int steps = model.UndoStack()->count();
    model.SetMarginPercent(50);
    EXPECT_EQ(changed.count(), 10);
    EXPECT_EQ(model.UndoStack()->count(), steps);
    EXPECT_EQ(model.MarginPercent(), 50);
    model.SetMarginPercent(500);
    EXPECT_EQ(model.MarginPercent(), kMaxMarginPercent);
}

TEST(BasketModel, CrateTypesAreSettable)
{
    TBasketModel model;
    model.TickCrateType(3);
    model.Add({kOne});
    LimitValues limits{ExactDecimal::Parse(QStringLiteral("0.05"), kDot), 1, 1, 2, 8};
    model.SetCrateTypes({{QStringLiteral("SMALL"), limits}, {QStringLiteral("OTHER"), limits}});
    EXPECT_EQ(model.TickedCrate(), 0);
    EXPECT_EQ(model.Devices().size(), 1u);
    EXPECT_FALSE(model.UndoStack()->canUndo());
    EXPECT_EQ(VerdictSentence(model.Evaluate().ticked, kDot),
              QStringLiteral("ПРЕВЫШЕНИЕ: +5V на 0.05 А"));
    ASSERT_EQ(model.Evaluate().fits.size(), 2u);
    EXPECT_EQ(CrateTypeRow(model.TickedCrateType(), kDot),
              QStringLiteral("SMALL\t0.05\t1\t1\t2\t8"));
}

} // namespace
