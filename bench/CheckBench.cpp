// SPDX-License-Identifier: MIT
// Checking saved baskets without a window: `veltrum --check` over 1,000
// basket files of 50 entries each against a catalog (100,000 blocks in
// bench/run), against the time to read and parse the same files with no
// lookup at all.
//
//   bench_check [--smoke] [--pairs N] <catalog-dir>
//
// The files are written once into a temporary directory: entries drawn,
// with a fixed seed, from about 5,000 of the catalog's blocks, so that the
// files share blocks as the baskets of one team do, with the catalog's own
// values (nothing changed). Fifty blocks pass every crate type's limits, so
// every file is over: the verdicts are not what is measured.
// App: the whole check as the command runs it (catalog opened once, each
// code looked up once, every file read, reopened and evaluated, the text
// report made). Floor: every file read and decoded (LoadBasketFile), no
// catalog. Runs go in pairs, floor then app; the ratio is the median of the
// per-pair ratios. Prints check_<files>x<entries>.
//
// Exits 1 when the check does not report every file as read and
// unchanged (the verdicts themselves may be anything).

#include "BenchCommon.h"
#include "CatalogSample.h"

#include "exchange/BasketFile.h"
#include "app/CheckCommand.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kFiles = 1000;
constexpr int kEntries = 50;
constexpr int kDistinctBlocks = 5000;

struct Random {
    std::uint64_t state;
    std::uint64_t Next()
    {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
};

QStringList WriteBaskets(const QString& dir, const std::vector<DeviceTexts>& blocks,
                         const CatalogStamp& stamp, int files)
{
    Random random{20240611};
    QStringList paths;
    for (int f = 0; f < files; ++f) {
        BasketDocument basket;
        basket.decimalSeparator = QStringLiteral(".");
        basket.crateType = QStringLiteral("KSV-3HB (QT23)");
        basket.catalog = stamp;
        for (int e = 0; e < kEntries; ++e)
            basket.entries.push_back(blocks[random.Next() % blocks.size()]);
        paths << QDir(dir).filePath(
            QStringLiteral("crate-%1.vbasket").arg(f, 4, 10, QLatin1Char('0')));
        SaveBasketFile(paths.last(), basket);
    }
    return paths;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const std::optional<bench::PairedRunOptions> run =
        bench::ParsePairedRun(argc, argv, "bench_check");
    if (!run)
        return 2;
    const bool smoke = run->smoke;
    const int pairs = run->pairs;
    const QString& catalogDir = run->catalogDir;
    const int files = smoke ? 50 : kFiles;
    const QString database = QDir(catalogDir).filePath(QStringLiteral("VELTRUM.db"));
    const std::vector<DeviceTexts> blocks = bench::SpreadBlocks(database, kDistinctBlocks);
    if (blocks.empty()) {
        std::fprintf(stderr, "bench_check: no blocks read from %s\n", qPrintable(database));
        return 1;
    }
    QTemporaryDir dir;
    CheckOptions options;
    options.catalogDir = catalogDir;
    options.files = WriteBaskets(dir.path(), blocks, ReadCatalogStamp(database), files);

    std::vector<double> apps, floors;
    std::size_t sink = 0;
    for (int pair = 0; pair < pairs; ++pair) {
        double start = bench::NowMs();
        for (const QString& path : options.files)
            sink += LoadBasketFile(path).entries.size();
        floors.push_back(bench::NowMs() - start);

        start = bench::NowMs();
        const CheckCommandOutput output = RunCheckCommand(options);
        apps.push_back(bench::NowMs() - start);

        // Baskets of 50 blocks are mostly over their crate's limits, which
        // is a verdict, not a failure: but none may be unread or changed.
        const QString text = QString::fromUtf8(output.standardOutput);
        const bool everyFileRead = text.contains(QStringLiteral("ИТОГО: файлов %1, ").arg(files)) &&
                                   text.contains(QStringLiteral(", изменено 0, не прочитано 0\n"));
        if (output.exitStatus > 1 || !everyFileRead) {
            std::fprintf(stderr, "bench_check: wrong result (status %d): %s\n", output.exitStatus,
                         qPrintable(text.right(200)));
            return 1;
        }
    }
    if (sink != static_cast<std::size_t>(files) * kEntries * static_cast<std::size_t>(pairs))
        return 1; // the floor did not read every entry
    bench::PrintPairs("check_" + std::to_string(files) + "x" + std::to_string(kEntries), apps,
                      floors);
    return 0;
}
