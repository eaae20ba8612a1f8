// SPDX-License-Identifier: MIT
// Opening the largest basket file the program takes (10,000 entries) in the
// main window against a large catalog: every entry looked up, the basket
// replaced, its rows, totals, budget and crate picture refreshed and painted.
//
//   bench_open_basket [--smoke] [--pairs N] <catalog-dir>
//
// The file holds blocks spread over the whole catalog with the catalog's own
// values, so opening it finds nothing changed and asks nothing; ten thousand
// blocks pass every crate type's slots, so the window warns once that the
// crate is full (answered by the hook). Floor: the same file read and
// decoded alone (LoadBasketFile), no lookup. Pairs go floor then program;
// prints open_basket_<entries> and longest_freeze_open_basket_<blocks>, the
// longest time the window went without handling its events while opening.
//
// Exits 1 when the window shows anything but the crate-full warning, or
// the basket does not hold every entry of the file afterwards.

#include "BenchCommon.h"
#include "CatalogSample.h"
#include "FreezeWatch.h"

#include "exchange/BasketFile.h"
#include "ui/DialogUnit.h"
#include "ui/HandlerGuard.h"
#include "ui/ListMessageForm.h"
#include "ui/MainForm.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

[[noreturn]] void Fail(const QString& what)
{
    std::fprintf(stderr, "bench_open_basket: %s\n", qPrintable(what));
    std::exit(1);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const std::optional<bench::PairedRunOptions> run =
        bench::ParsePairedRun(argc, argv, "bench_open_basket");
    if (!run)
        return 2;
    const int pairs = run->pairs;
    const QString& catalogDir = run->catalogDir;

    int warnings = 0;
    SetErrorBoxHook([](const QString& text) { Fail(QStringLiteral("the window reported: ") + text); });
    TmdDialogForm::SetAnswerHook(
        [&warnings](const QString&, const QString& text, int, const QStringList&) -> int {
            if (text != QStringLiteral("Корзина заполнена!"))
                Fail(QStringLiteral("the window said: ") + text);
            ++warnings;
            return 1;
        });
    TListMessageForm::SetShowHook(
        [](const QString&, const QString& heading, const QStringList&, int,
           const QStringList&) -> int { Fail(QStringLiteral("the window listed: ") + heading); });

    const QString database = QDir(catalogDir).filePath(QStringLiteral("VELTRUM.db"));
    const std::vector<DeviceTexts> blocks = bench::SpreadBlocks(database, kMaxBasketEntries);
    if (blocks.empty())
        Fail(QStringLiteral("no blocks read from ") + database);
    BasketDocument basket;
    basket.decimalSeparator = QStringLiteral(".");
    basket.crateType = QStringLiteral("KSV-3HB (QT23)");
    basket.catalog = ReadCatalogStamp(database);
    for (int e = 0; e < kMaxBasketEntries; ++e)
        basket.entries.push_back(blocks[static_cast<std::size_t>(e) % blocks.size()]);
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("large.vbasket"));
    SaveBasketFile(path, basket);

    TMainForm form(catalogDir, QStringLiteral("."));
    form.show();
    QCoreApplication::processEvents();
    if (!form.Database)
        Fail(QStringLiteral("the main window did not open ") + database);
    form.AskFileName = [&path](FileRequest) { return path; };
    form.RecentFilesFile.clear(); // the user's recent files are none of the benchmark's business

    bench::FreezeWatch freeze;
    std::vector<double> apps, floors;
    std::size_t read = 0;
    for (int pair = 0; pair < pairs; ++pair) {
        form.Basket->Clear();
        QCoreApplication::processEvents();

        double start = bench::NowMs();
        read += LoadBasketFile(path).entries.size();
        floors.push_back(bench::NowMs() - start);

        start = bench::NowMs();
        freeze.Start();
        form.OpenBtnClick();
        QCoreApplication::processEvents();
        freeze.Stop();
        apps.push_back(bench::NowMs() - start);
        if (form.Devices.size() != basket.entries.size())
            Fail(QStringLiteral("the basket holds %1 entries after opening a file of %2")
                     .arg(form.Devices.size())
                     .arg(basket.entries.size()));
    }
    if (read != basket.entries.size() * static_cast<std::size_t>(pairs) || warnings != pairs)
        Fail(QStringLiteral("the floor read %1 entries, the window warned %2 times").arg(read).arg(warnings));
    bench::PrintPairs("open_basket_" + std::to_string(basket.entries.size()), apps, floors);
    std::printf("longest_freeze_open_basket: %.1f ms without handling events (at most 100)\n",
                freeze.Longest());
    return 0;
}
