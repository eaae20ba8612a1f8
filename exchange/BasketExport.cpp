// SPDX-License-Identifier: MIT
#include "exchange/BasketExport.h"

#include "crate/CrateTypes.h"
#include "exchange/BillOfMaterials.h"

#include <QFileInfo>
#include <QStringList>

namespace {

QString Text(const char16_t* text)
{
    return QString::fromUtf16(text);
}

QString LimitText(LimitKind kind, const ExactDecimal& value, const QString& separator)
{
    return kind == LimitKind::Slots ? value.WholeText() : value.Format(separator);
}

} // namespace

BasketDocument BasketDocumentOf(const TBasketModel& model, const QString& decimalSeparator,
                                const CatalogStamp& catalog)
{
    BasketDocument basket;
    basket.decimalSeparator = decimalSeparator;
    basket.crateType = model.TickedCrateType().name;
    // Its limits too, so that a check can tell when they change later.
    const QStringList limitFields =
        CrateTypeRow(model.TickedCrateType(), decimalSeparator).split(QLatin1Char('\t'));
    LimitTexts limits;
    for (int field = kFieldV5; field <= kFieldSlots; ++field)
        limits[static_cast<size_t>(field - kFieldV5)] = limitFields.value(field);
    basket.crateLimits = limits;
    basket.entries.reserve(model.Devices().size());
    for (const TDevice& device : model.Devices()) {
        DeviceTexts texts = device.Texts;
        texts.name.clear(); // the file keeps the six texts only
        basket.entries.push_back(std::move(texts));
    }
    basket.catalog = catalog;
    return basket;
}

BasketSummary BasketSummaryOf(const TBasketModel& model, const QString& decimalSeparator,
                              const QString& catalogFileName, const QString& catalogSha256,
                              const QDateTime& madeAt)
{
    BasketSummary summary;
    summary.decimalSeparator = decimalSeparator;
    summary.madeAt = madeAt;
    summary.catalogFileName = catalogFileName;
    summary.catalogSha256 = catalogSha256;
    summary.crateType = model.TickedCrateType().name;
    std::vector<BillEntry> billEntries;
    billEntries.reserve(model.Devices().size());
    summary.entries.reserve(model.Devices().size());
    for (const TDevice& device : model.Devices()) {
        SummaryEntry entry;
        entry.code = device.Texts.ident;
        entry.name = device.Name;
        entry.values = {device.Texts.v5, device.Texts.v7, device.Texts.v_7, device.Texts.totalPower,
                        device.Texts.slotsCount};
        summary.entries.push_back(std::move(entry));
        // The bill adds the exact amounts, never the texts read back.
        billEntries.push_back({device.Texts.ident, device.Name, device.ExactV5, device.ExactV7,
                               device.ExactV_7, device.ExactTotalPower, device.SlotsCount});
    }
    summary.rack =
        SummaryRack{SlotCountOf(model.TickedCrateType()), EntrySlotCounts(model.Devices())};
    summary.bill = BillOfMaterials(billEntries);

    const BasketBudget& evaluated = model.Evaluate();
    const Totals totals = evaluated.empty ? Totals{} : evaluated.totals;
    const BudgetEvaluation budget =
        evaluated.empty
            ? EvaluateBudget(totals, model.TickedCrateType().limits, model.MarginPercent())
            : evaluated.ticked;
    const std::vector<CrateFit> fits =
        evaluated.empty ? FitOfCrateTypes(totals, model.Crates()) : evaluated.fits;

    for (std::size_t i = 0; i < kSummaryColumns; ++i) {
        const LimitUse& use = budget.limits[i];
        LimitSummary& limit = summary.limits[i];
        limit.total = LimitText(use.kind, use.sum, decimalSeparator);
        limit.limit = LimitText(use.kind, use.limit, decimalSeparator);
        limit.headroom = use.headroom.Format(decimalSeparator);
        limit.shareUsed = use.percentUsed
                              ? use.percentUsed->Format(decimalSeparator) + QStringLiteral(" %")
                              : QStringLiteral("—");
    }
    summary.verdict = VerdictSentence(budget, decimalSeparator);
    for (std::size_t row = 0; row < fits.size(); ++row)
        summary.fits.push_back({model.Crates()[row].name, FitNote(fits[row])});
    return summary;
}

BasketToOpen ReadBasketToOpen(const QString& path, const CatalogLookup& lookup,
                              const QString& decimalSeparator,
                              const std::vector<TCrateType>& crateTypes)
{
    const BasketDocument file = LoadBasketFile(path);
    BasketToOpen basket;
    basket.path = path;
    basket.fileCrateType = file.crateType;
    basket.reopened = ReconcileBasket(file, lookup, decimalSeparator, crateTypes);
    basket.devices.reserve(basket.reopened.entries.size());
    for (const DeviceTexts& texts : basket.reopened.entries)
        basket.devices.push_back(MakeDevice(texts, decimalSeparator));
    basket.changes = BasketChangeLines(basket.reopened, file.crateType);
    return basket;
}

bool ReplaceWithOpenedBasket(TBasketModel& model, BasketToOpen basket)
{
    model.Replace(std::move(basket.devices), basket.reopened.crateTypeRow,
                  Text(u"открытие файла ") + QFileInfo(basket.path).fileName());
    return model.OverSlots();
}
