// SPDX-License-Identifier: MIT
// Recomputing the budget after an add, for a 300-entry basket: the exact
// sums, the totals row and its colour, the headroom row and verdict against
// the ticked crate type, and the fit of all seven crate types, which is the
// arithmetic every basket change runs.
//
// The floor is the target itself, one millisecond, so the ratio is the
// share of it used: well below 1 is the goal.
//
//   bench_budget [repeat]

#include "BenchCommon.h"

#include "crate/Basket.h"
#include "crate/Budget.h"
#include "crate/CrateTypes.h"

#include <QStringList>

#include <cstdlib>

int main(int argc, char** argv)
{
    const int repeat = argc > 1 ? std::max(1, std::atoi(argv[1])) : 201;
    const QString separator = QStringLiteral(",");
    // Amounts like the catalog's: two or three decimals, a few different exponents.
    const char* const amounts[][4] = {
        {"0,53", "0", "0,06", "3,3"}, {"1,45", "0,31", "0,09", "12,5"},
        {"0,2", "0,1", "0,7", "6,6"}, {"0,015", "0,004", "0", "0,12"},
        {"3,5", "0,8", "0,6", "35"},  {"0,001", "0", "0,001", "0,1"}};
    std::vector<TDevice> devices;
    for (int i = 0; i < 300; ++i) {
        const auto& a = amounts[i % 6];
        devices.push_back(MakeDevice({QStringLiteral("B%1").arg(i), QString::fromUtf8(a[0]),
                                      QString::fromUtf8(a[1]), QString::fromUtf8(a[2]),
                                      QString::fromUtf8(a[3]), QStringLiteral("0")},
                                     separator));
    }
    const TDevice added = devices.back();

    std::vector<double> times;
    std::size_t sink = 0;
    for (int run = 0; run < repeat; ++run) {
        devices.pop_back();
        const double start = bench::NowMs();
        devices.push_back(added);
        // The window's one evaluation, then the texts it shows.
        const BasketBudget budget =
            EvaluateBasket(devices, BuiltInCrateTypes(), 4, kDefaultMarginPercent);
        const QString row = TotalsRow(budget.totals, separator);
        const bool within = budget.ticked.Fits();
        const QString headroom = HeadroomRow(budget.ticked, separator);
        const QString verdict = VerdictSentence(budget.ticked, separator);
        QStringList notes;
        for (const CrateFit& fit : budget.fits)
            notes << FitNote(fit);
        times.push_back(bench::NowMs() - start);
        sink += static_cast<std::size_t>(row.size() + headroom.size() + verdict.size() +
                                         notes.join(QString()).size()) +
                (within ? 1 : 0);
    }
    if (sink == 0)
        return 1; // nothing was computed
    bench::PrintCase("budget_after_add_300", bench::Median(times), 1.0);
    return 0;
}
