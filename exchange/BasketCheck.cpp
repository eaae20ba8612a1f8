// SPDX-License-Identifier: MIT
#include "exchange/BasketCheck.h"

#include <QHash>

#include <memory>

namespace {

BasketVerdict VerdictOf(const BudgetEvaluation& budget)
{
    BasketVerdict verdict = BasketVerdict::Fits;
    for (const LimitUse& use : budget.limits) {
        if (use.state == LimitState::Over)
            return BasketVerdict::Over;
        if (use.state == LimitState::Near)
            verdict = BasketVerdict::Near;
    }
    return verdict;
}

} // namespace

BasketCheckResult CheckBasket(const QString& file, const BasketDocument& document,
                              const CatalogLookup& lookup, const BasketCheckOptions& options)
{
    const std::vector<CrateTypeLimits> crateTypes =
        options.crateTypes.empty() ? CrateTypeLimitTexts(BuiltInCrateTypes(), options.separator)
                                   : options.crateTypes;
    BasketCheckResult result;
    result.file = file;
    result.crateType = document.crateType;
    result.reopened = ReconcileBasket(document, lookup, options.separator, crateTypes);
    result.changes = BasketChangeLines(result.reopened, document.crateType);
    result.catalogReplaced =
        options.catalog && IsAnotherCatalog(document.catalog, *options.catalog);

    // The entries become basket entries as the window makes them, so that
    // a catalog value the window would refuse is refused here too.
    std::vector<TDevice> devices;
    devices.reserve(result.reopened.entries.size());
    for (const DeviceTexts& texts : result.reopened.entries)
        devices.push_back(MakeDevice(texts, options.separator));
    const Totals totals = SumDevices(devices);

    std::vector<LimitTexts> limits;
    limits.reserve(crateTypes.size());
    for (const CrateTypeLimits& type : crateTypes)
        limits.push_back(type.limits);
    const std::vector<CrateFit> fits = FitOfCrateTypes(totals, limits, options.separator);
    for (size_t row = 0; row < fits.size(); ++row)
        if (fits[row].fits)
            result.takenBy << crateTypes[row].name;

    // An empty basket has no budget: the window shows no headroom, no
    // verdict and no fit marks for it.
    if (devices.empty()) {
        for (size_t row = 0; row < crateTypes.size(); ++row)
            result.fitNotes << QString();
        return result;
    }
    const BudgetEvaluation budget =
        EvaluateBudget(totals, limits[static_cast<size_t>(result.reopened.crateTypeRow)],
                       options.marginPercent, options.separator);
    result.budget = budget;
    result.verdict = VerdictOf(budget);
    result.verdictSentence = VerdictSentence(budget, options.separator);
    result.headroomRow = HeadroomRow(budget, options.separator);
    for (const CrateFit& fit : fits)
        result.fitNotes << FitNote(fit);
    return result;
}

bool IsAnotherCatalog(const CatalogStamp& saved, const CheckedCatalog& now)
{
    if (saved.size != now.size)
        return true;
    // Two unknown times say nothing.
    if (saved.modified.isValid() && saved.modified == now.modified)
        return false;
    return !now.sha256 || saved.sha256 != now.sha256();
}

BasketCheckResult UncheckedBasket(const QString& file, const QString& reason)
{
    BasketCheckResult result;
    result.file = file;
    result.error = reason;
    return result;
}

BasketCheckSummary SummarizeChecks(const std::vector<BasketCheckResult>& results)
{
    BasketCheckSummary summary;
    for (const BasketCheckResult& result : results) {
        ++summary.files;
        if (!result.Readable()) {
            ++summary.unreadable;
            continue;
        }
        switch (result.verdict) {
        case BasketVerdict::Fits:
            ++summary.fits;
            break;
        case BasketVerdict::Near:
            ++summary.near;
            break;
        case BasketVerdict::Over:
            ++summary.over;
            break;
        }
        if (result.Changed())
            ++summary.changed;
    }
    return summary;
}

int CheckExitStatus(const BasketCheckSummary& summary)
{
    if (summary.unreadable > 0)
        return kCheckUnreadableStatus;
    if (summary.over > 0 || summary.changed > 0)
        return kCheckFoundStatus;
    return kCheckPassedStatus;
}

