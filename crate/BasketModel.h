// SPDX-License-Identifier: MIT
#pragma once

// The basket as the program holds it: typed entries in basket order, the
// crate types with the ticked one, and the warning threshold. The window
// only shows this model; files, CSV and the report are made from it.
//
// Every change a user makes is one step on the model's undo stack (Qt's
// QUndoStack, reached through UndoStack()): adding one or several entries,
// deleting one, clearing, moving one, ticking a crate type, replacing the
// whole basket (a file opened). An operation that would change nothing
// makes no step and returns false (or AddResult::Full / Nothing). Undo and
// redo restore the state exactly, the totals line's history included.
//
// One signal, Changed(), follows every change of state (a step done, undone
// or redone, the threshold, the crate type list); whatever shows the basket
// refreshes from it. Evaluate() gives the one budget evaluation of the
// current state, worked out once per change.
//
// Ownership: the model owns its entries, crate types and undo stack.
// Errors: operations raise nothing for positions out of range, they refuse
// them (false); MakeDevice, not the model, parses texts.

#include "crate/Basket.h"
#include "crate/Budget.h"
#include "crate/CrateTypes.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QUndoStack;

// How the totals list shows the basket. It depends on the steps that led to
// the state, not on the state alone: after the last entry is deleted one
// empty row stays, after a clear none; in both the colour stays as it was.
struct TotalsLine {
    enum class Shape { None, Blank, Sums };
    // The colour: none given yet (the list's own), within the limits, or
    // over one of them (the warning colour).
    enum class Colour { Unset, Within, Over };
    Shape shape = Shape::None;
    Colour colour = Colour::Unset;
    bool operator==(const TotalsLine&) const = default;
};

class TBasketModel : public QObject {
    Q_OBJECT
public:
    // `crateTypes` must not be empty; the first is ticked.
    explicit TBasketModel(std::vector<TCrateType> crateTypes = BuiltInCrateTypes(),
                          QObject* parent = nullptr);
    ~TBasketModel() override;

    // --- State -------------------------------------------------------------
    const std::vector<TDevice>& Devices() const { return devices_; }
    const std::vector<TCrateType>& Crates() const { return crates_; }
    int TickedCrate() const { return ticked_; }
    const TCrateType& TickedCrateType() const { return crates_[static_cast<std::size_t>(ticked_)]; }
    int MarginPercent() const { return marginPercent_; }
    const TotalsLine& Line() const { return line_; }
    // The budget of the current state (cached until the next change).
    const BasketBudget& Evaluate() const;
    // True when the entries take more slots than the ticked crate type has
    // ("Корзина заполнена!" after a tick or an opened file).
    bool OverSlots() const;
    QUndoStack* UndoStack() const { return undo_.get(); }

    // --- Steps (each one undo step) ---------------------------------------
    enum class AddResult { Added, Full, Nothing };
    // Appends the entries in order as one step, when their slots fit the
    // ticked crate type beside those taken; Full when they do not, Nothing
    // for an empty list. `stepName` names the step; empty: made from the codes.
    AddResult Add(std::vector<TDevice> entries, const QString& stepName = QString());
    bool Delete(int index);
    // Empties the basket; false when there is nothing to take away and the
    // totals list shows nothing.
    bool Clear();
    // Moves the entry at `from` so that it ends up at `to`.
    bool Move(int from, int to);
    bool TickCrateType(int index);
    // Replaces entries and ticked crate type at once (a basket file opened),
    // even where they are the same: the user chose to open a file. The
    // entries are taken whole, also when they take more slots than the
    // crate type has. `stepName` names the step.
    void Replace(std::vector<TDevice> devices, int crateType, const QString& stepName);

    // --- Settings (no step) -----------------------------------------------
    // The warning threshold in per cent, kept within its range.
    void SetMarginPercent(int percent);
    // Replaces the list of crate types (at start, before any step): ticks
    // the first, keeps the entries and forgets the undo history.
    void SetCrateTypes(std::vector<TCrateType> crateTypes);

Q_SIGNALS:
    void Changed();

private:
    enum class LineRule { AfterAdd, AfterDelete, AfterClear, AfterTick, AfterReplace, Unchanged };
    class Step;
    void Push(const QString& name, LineRule rule, std::function<void()> forward,
              std::function<void()> backward);
    TotalsLine LineAfter(LineRule rule, const TotalsLine& before) const;
    void Notify();

    std::vector<TDevice> devices_;
    std::vector<TCrateType> crates_;
    int ticked_ = 0;
    int marginPercent_ = kDefaultMarginPercent;
    TotalsLine line_;
    mutable std::optional<BasketBudget> budget_;
    std::unique_ptr<QUndoStack> undo_;
};

// The name of an add step: «добавление MK1-03», «добавление MK1-03 × 3»
// for several of one code, «добавление 3 блоков» for several codes.
QString AddStepName(const std::vector<TDevice>& entries);
