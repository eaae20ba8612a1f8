// SPDX-License-Identifier: MIT
#include "crate/BasketModel.h"

#include <QUndoCommand>
#include <QUndoStack>

#include <algorithm>
#include <utility>

namespace {

QString Text(const char16_t* text)
{
    return QString::fromUtf16(text);
}

} // namespace

// One step: the change both ways, and the totals line before and after it,
// so that undo puts back exactly what was shown.
class TBasketModel::Step : public QUndoCommand {
public:
    Step(TBasketModel& model, const QString& name, LineRule rule, std::function<void()> forward,
         std::function<void()> backward)
        : QUndoCommand(name), model_(model), rule_(rule), forward_(std::move(forward)),
          backward_(std::move(backward)), before_(model.line_)
    {
    }

    void redo() override
    {
        forward_();
        model_.budget_.reset(); // the new state's budget decides the colour
        if (!after_)
            after_ = model_.LineAfter(rule_, before_);
        model_.line_ = *after_;
        model_.Notify();
    }

    void undo() override
    {
        backward_();
        model_.line_ = before_;
        model_.Notify();
    }

private:
    TBasketModel& model_;
    LineRule rule_;
    std::function<void()> forward_, backward_;
    TotalsLine before_;
    std::optional<TotalsLine> after_;
};

TBasketModel::TBasketModel(std::vector<TCrateType> crateTypes, QObject* parent)
    : QObject(parent), crates_(std::move(crateTypes)), undo_(std::make_unique<QUndoStack>())
{
    Q_ASSERT(!crates_.empty());
}

TBasketModel::~TBasketModel()
{
    // The steps refer to the model: they go first, telling nobody (whoever
    // listens to the stack may be going too).
    undo_->blockSignals(true);
    undo_.reset();
}

const BasketBudget& TBasketModel::Evaluate() const
{
    if (!budget_)
        budget_ = EvaluateBasket(devices_, crates_, ticked_, marginPercent_);
    return *budget_;
}

bool TBasketModel::OverSlots() const
{
    return !devices_.empty() &&
           Evaluate().totals.slots > At(TickedCrateType().limits, LimitKind::Slots);
}

void TBasketModel::Notify()
{
    budget_.reset();
    Q_EMIT Changed();
}

TotalsLine TBasketModel::LineAfter(LineRule rule, const TotalsLine& before) const
{
    // What the totals list has always shown after each step: the sums with
    // their colour while there are entries; after the last one is deleted
    // an empty row, after a clear (or an empty file) no row, the colour as
    // it was; a crate type ticked on an empty basket changes nothing.
    const auto sums = [this] {
        return TotalsLine{TotalsLine::Shape::Sums, Evaluate().ticked.Fits()
                                                       ? TotalsLine::Colour::Within
                                                       : TotalsLine::Colour::Over};
    };
    const bool empty = devices_.empty();
    switch (rule) {
    case LineRule::AfterAdd:
        return sums();
    case LineRule::AfterDelete:
        return empty ? TotalsLine{TotalsLine::Shape::Blank, before.colour} : sums();
    case LineRule::AfterClear:
        return TotalsLine{TotalsLine::Shape::None, before.colour};
    case LineRule::AfterTick:
        return empty ? before : sums();
    case LineRule::AfterReplace:
        return empty ? TotalsLine{TotalsLine::Shape::None, before.colour} : sums();
    case LineRule::Unchanged:
        break;
    }
    return before;
}

void TBasketModel::Push(const QString& name, LineRule rule, std::function<void()> forward,
                        std::function<void()> backward)
{
    // QUndoStack::push runs the step's redo, which makes the change.
    undo_->push(new Step(*this, name, rule, std::move(forward), std::move(backward)));
}

TBasketModel::AddResult TBasketModel::Add(std::vector<TDevice> entries, const QString& stepName)
{
    if (entries.empty())
        return AddResult::Nothing;
    ExactDecimal adding;
    for (const TDevice& entry : entries)
        adding += entry.SlotsCount;
    if (!SlotsFit(At(TickedCrateType().limits, LimitKind::Slots), SumDevices(devices_).slots,
                  adding))
        return AddResult::Full;
    const QString name = stepName.isEmpty() ? AddStepName(entries) : stepName;
    const std::size_t count = entries.size();
    Push(
        name, LineRule::AfterAdd,
        [this, entries = std::move(entries)] {
            devices_.insert(devices_.end(), entries.begin(), entries.end());
        },
        [this, count] { devices_.resize(devices_.size() - count); });
    return AddResult::Added;
}

bool TBasketModel::Delete(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= devices_.size())
        return false;
    TDevice entry = devices_[static_cast<std::size_t>(index)];
    const QString name = Text(u"удаление ") + entry.Ident;
    Push(
        name, LineRule::AfterDelete, [this, index] { devices_.erase(devices_.begin() + index); },
        [this, index, entry = std::move(entry)] {
            devices_.insert(devices_.begin() + index, entry);
        });
    return true;
}

bool TBasketModel::Clear()
{
    if (devices_.empty() && line_.shape == TotalsLine::Shape::None)
        return false;
    Push(
        Text(u"очистка корзины"), LineRule::AfterClear, [this] { devices_.clear(); },
        [this, kept = devices_] { devices_ = kept; });
    return true;
}

bool TBasketModel::Move(int from, int to)
{
    const int count = static_cast<int>(devices_.size());
    if (from < 0 || to < 0 || from >= count || to >= count || from == to)
        return false;
    const auto move = [this](int a, int b) {
        TDevice entry = std::move(devices_[static_cast<std::size_t>(a)]);
        devices_.erase(devices_.begin() + a);
        devices_.insert(devices_.begin() + b, std::move(entry));
    };
    Push(
        Text(u"перемещение ") + devices_[static_cast<std::size_t>(from)].Ident, LineRule::Unchanged,
        [move, from, to] { move(from, to); }, [move, from, to] { move(to, from); });
    return true;
}

bool TBasketModel::TickCrateType(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= crates_.size() || index == ticked_)
        return false;
    const int was = ticked_;
    Push(
        Text(u"выбор типа корзины ") + crates_[static_cast<std::size_t>(index)].name,
        LineRule::AfterTick, [this, index] { ticked_ = index; }, [this, was] { ticked_ = was; });
    return true;
}

void TBasketModel::Replace(std::vector<TDevice> devices, int crateType, const QString& stepName)
{
    if (crateType < 0 || static_cast<std::size_t>(crateType) >= crates_.size())
        crateType = 0;
    Push(
        stepName, LineRule::AfterReplace,
        [this, devices = std::move(devices), crateType] {
            devices_ = devices;
            ticked_ = crateType;
        },
        [this, kept = devices_, was = ticked_] {
            devices_ = kept;
            ticked_ = was;
        });
}

void TBasketModel::SetMarginPercent(int percent)
{
    percent = std::clamp(percent, kMinMarginPercent, kMaxMarginPercent);
    if (percent == marginPercent_)
        return;
    marginPercent_ = percent;
    Notify();
}

void TBasketModel::SetCrateTypes(std::vector<TCrateType> crateTypes)
{
    Q_ASSERT(!crateTypes.empty());
    undo_->clear();
    crates_ = std::move(crateTypes);
    ticked_ = 0;
    Notify();
}

QString AddStepName(const std::vector<TDevice>& entries)
{
    if (entries.size() == 1)
        return Text(u"добавление ") + entries.front().Ident;
    const bool oneCode = std::all_of(entries.begin(), entries.end(), [&](const TDevice& entry) {
        return entry.Ident == entries.front().Ident;
    });
    if (oneCode)
        return Text(u"добавление %1 \u00D7 %2").arg(entries.front().Ident).arg(entries.size());
    return Text(u"добавление %1 блоков").arg(entries.size());
}
