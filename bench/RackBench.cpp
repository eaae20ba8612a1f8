// SPDX-License-Identifier: MIT
// Redrawing the crate's picture after an add, for a 300-entry basket in a
// 17-slot crate (most entries outside it): the slot plan, the picture's
// items with their tooltips, handing them to the view, and painting it at
// the size a 1024 x 768 screen gives it.
//
// The floor is the target itself, one millisecond, so the ratio is the
// share of it used: well below 1 is the goal.
//
//   bench_rack [repeat]

#include "BenchCommon.h"

#include "exchange/RackItems.h"
#include "kit/RackView.h"
#include "crate/SlotPlan.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <cstdlib>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int repeat = argc > 1 ? std::max(1, std::atoi(argv[1])) : 201;
    std::vector<std::int64_t> slots;
    std::vector<RackEntryTexts> entries;
    for (int i = 0; i < 300; ++i) {
        slots.push_back(i % 7 == 0 ? 0 : 1 + i % 2);
        entries.push_back({QStringLiteral("B%1").arg(i),
                           QStringLiteral("Модуль %1").arg(i),
                           {QStringLiteral("0,53"), QStringLiteral("0"), QStringLiteral("0,06"),
                            QStringLiteral("3,3")}});
    }
    TRackView view;
    view.resize(1000, 110);
    QImage canvas(view.size(), QImage::Format_ARGB32_Premultiplied);
    // The window has drawn the picture before the add: fonts are loaded
    // and glyphs cached, as they are for every add but the very first.
    view.SetItems(RackItemsOfPlan(PlanSlots(slots, 17), entries), 17);
    view.render(&canvas);

    std::vector<double> times;
    std::size_t sink = 0;
    for (int run = 0; run < repeat; ++run) {
        slots.pop_back();
        entries.pop_back();
        view.SetItems(RackItemsOfPlan(PlanSlots(slots, 17), entries), 17);
        const double start = bench::NowMs();
        slots.push_back(1);
        entries.push_back({QStringLiteral("B299"), QStringLiteral("Модуль"), {}});
        view.SetItems(RackItemsOfPlan(PlanSlots(slots, 17), entries), 17);
        view.render(&canvas);
        times.push_back(bench::NowMs() - start);
        sink += view.Items().size() + (canvas.pixel(5, 50) != 0 ? 1 : 0);
    }
    if (sink == 0)
        return 1; // nothing was drawn
    bench::PrintCase("rack_redraw_after_add_300", bench::Median(times), 1.0);
    return 0;
}
