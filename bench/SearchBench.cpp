// SPDX-License-Identifier: MIT
// Search-list benchmarks: the real main window's handlers against SQLite's
// own time for the same statement, measured side by side in one process.
//
//   bench_search [--repeat N] [--smoke] [--only fragment|fragment_all|category] <catalog-dir>...
//
// For each catalog directory (made by bench_generate_catalog, whose block
// count is read from the database) it runs
//   fragment_<n>      Enter in the code field with "MK1-" (about 5 % of blocks)
//   fragment_all_<n>  the same with "-" (every block)
//   category_<n>      choosing category 2 (about 1/24 of the blocks)
// App time: from the handler's start until the search list is filled, its
// tab stops are set and its visible rows have been painted once.
// Floor: prepare, bind, step and read both columns' text through the bare
// SQLite C API on a connection of its own to the same file, then finalize.
// That connection keeps pages, maps memory and puts temporary data exactly
// as the program's catalog connection does (CatalogCacheStatements), and
// both are warmed by the same first, untimed pair of runs.
// Runs go in pairs, floor then app; the ratio is the median of the
// per-pair ratios. A case runs --repeat pairs (5 by default) or, short
// ones, as many more as fill four seconds, up to 101.
//
// For every size it prints own_per_row_<n>: what the program adds to
// SQLite's time for each listed row of fragment_all (program minus floor,
// median over the pairs, divided by the rows). With two or more catalogs
// it also prints fill_linearity: that own time per row at the largest size
// against the smallest.
//
// Exits 1 when a case lists a different number of rows than SQLite returns,
// or a count that does not fit the generated data (wrong results).

#include "BenchCommon.h"
#include "FreezeWatch.h"

#include "catalog/CatalogCache.h"
#include "catalog/CatalogQueries.h"
#include "catalog/CategoryFiles.h"
#include "ui/DialogUnit.h"
#include "ui/HandlerGuard.h"
#include "ui/MainForm.h"
#include "catalog/SQLiteTable3.h"
#include "kit/TabbedListBox.h"

#include <sqlite3.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <filesystem>
#include <string>
#include <variant>
#include <vector>

namespace {

bool failed = false;

void Fail(const std::string& message)
{
    std::fprintf(stderr, "bench_search: %s\n", message.c_str());
    failed = true;
}

// The floor: the same statement and values through the bare C API.
class Floor {
public:
    explicit Floor(const std::string& file)
    {
        if (sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
            Fail("cannot open " + file);
            sqlite3_close(db_);
            db_ = nullptr;
            return;
        }
        for (const std::string& statement :
             CatalogCacheStatements(static_cast<std::int64_t>(std::filesystem::file_size(file))))
            if (sqlite3_exec(db_, statement.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
                Fail("the floor's connection refused " + statement);
    }
    ~Floor() { sqlite3_close(db_); }

    // Rows read; -1 on an SQLite failure.
    long Run(const CatalogQuery& query)
    {
        const long rows = Read(query);
        if (rows > 0 && checksum_ == 0)
            Fail("the floor read no text");
        return rows;
    }

private:
    long Read(const CatalogQuery& query)
    {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db_, query.sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
            return -1;
        int index = 1;
        for (const TSQLiteParam& param : query.params) {
            if (const auto* integer = std::get_if<std::int64_t>(&param))
                sqlite3_bind_int64(statement, index, *integer);
            else {
                const std::string& text = std::get<std::string>(param);
                sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()),
                                  SQLITE_TRANSIENT);
            }
            ++index;
        }
        long rows = 0;
        int rc;
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
            const unsigned char* code = sqlite3_column_text(statement, 0);
            const unsigned char* name = sqlite3_column_text(statement, 1);
            // Touch the text so that reading it cannot be left out.
            checksum_ += (code ? code[0] : 0u) + (name ? name[0] : 0u);
            ++rows;
        }
        sqlite3_finalize(statement);
        return rc == SQLITE_DONE ? rows : -1;
    }

public:
    long Count(const char* sql)
    {
        sqlite3_stmt* statement = nullptr;
        long n = -1;
        if (sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW)
            n = static_cast<long>(sqlite3_column_int64(statement, 0));
        sqlite3_finalize(statement);
        return n;
    }

    unsigned long Checksum() const { return checksum_; }

private:
    sqlite3* db_ = nullptr;
    unsigned long checksum_ = 0;
};

struct Timing {
    double app = 0;
    double floor = 0;
    double own = 0; // median over the runs of app minus floor: the program's own share
    long rows = 0;
};

// A case's pairs go on past the pairs asked for until this much time has
// been measured (at most kMostPairs): a case of a few milliseconds, whose
// pairs scatter most, gets many more pairs than one of seconds, so that
// its median holds still from run to run.
constexpr double kSteadyMs = 15000;
constexpr int kMostPairs = 401;
bool steadyPairs = true; // off for the smoke run, which only checks

// Times floor and app in pairs after one warm-up pair: `repeat` pairs, or
// more for a short case (kSteadyMs).
Timing Measure(const std::string& name, int repeat, const std::function<void()>& prepare,
               const std::function<long()>& app, const std::function<long()>& floor)
{
    std::vector<double> apps;
    std::vector<double> floors;
    std::vector<double> owns;
    Timing timing;
    double measured = 0;
    const auto morePairs = [&](int run) {
        if (run <= repeat)
            return true;
        return steadyPairs && measured < kSteadyMs && run <= kMostPairs;
    };
    for (int run = 0; morePairs(run); ++run) {
        // Each pair times the floor first, then the program.
        double t0 = bench::NowMs();
        const long floorRows = floor();
        const double floorMs = bench::NowMs() - t0;
        prepare();
        t0 = bench::NowMs();
        const long appRows = app();
        const double appMs = bench::NowMs() - t0;
        if (appRows != floorRows) {
            Fail(name + ": the list holds " + std::to_string(appRows) + " rows, SQLite returned " +
                 std::to_string(floorRows));
        }
        timing.rows = appRows;
        if (run == 0)
            continue; // warm-up
        measured += appMs + floorMs;
        apps.push_back(appMs);
        floors.push_back(floorMs);
        owns.push_back(appMs - floorMs);
    }
    timing.app = bench::Median(apps);
    timing.floor = bench::Median(floors);
    timing.own = bench::Median(owns);
    bench::PrintPairs(name, apps, floors);
    return timing;
}

// Counts the paint events of a widget.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// Lets the event loop run after the handler, as it would for the user: it
// lays the list out and paints what changed. Should neither the handler
// (a long search paints the list under its dialog) nor the event loop have
// painted the list since `before`, one paint is forced, so every run pays
// for exactly one.
long PaintList(TMainForm& form, PaintCounter& counter, int before)
{
    QCoreApplication::processEvents();
    if (counter.paints == before)
        form.BlockTabLB->viewport()->repaint();
    if (counter.paints == before)
        Fail("the search list was not painted");
    return form.BlockTabLB->Items().Count();
}

void ExpectBetween(const std::string& name, long rows, long low, long high)
{
    if (rows < low || rows > high)
        Fail(name + ": " + std::to_string(rows) + " rows, expected " + std::to_string(low) +
             " .. " + std::to_string(high));
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    // A message would wait for an answer that never comes: it ends the run.
    SetErrorBoxHook([](const QString& text) {
        std::fprintf(stderr, "bench_search: the window reported: %s\n", qPrintable(text));
        std::exit(1);
    });
    TmdDialogForm::SetAnswerHook(
        [](const QString&, const QString& text, int, const QStringList&) -> int {
            std::fprintf(stderr, "bench_search: the window said: %s\n", qPrintable(text));
            std::exit(1);
        });
    int repeat = 5;
    std::string only; // one kind of case, for profiling
    std::vector<QString> dirs;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--repeat") == 0 && i + 1 < argc)
            repeat = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--only") == 0 && i + 1 < argc)
            only = argv[++i];
        else if (std::strcmp(argv[i], "--smoke") == 0) {
            repeat = 1;
            steadyPairs = false;
        }
        else
            dirs.push_back(QString::fromLocal8Bit(argv[i]));
    }
    if (dirs.empty() || repeat < 1) {
        std::fprintf(stderr, "usage: bench_search [--repeat N] [--smoke] <catalog-dir>...\n");
        return 2;
    }

    struct AllFill {
        long rows;
        double app;
        double floor;
        double own;
    };
    std::vector<AllFill> allFills;

    for (const QString& dir : dirs) {
        const std::string dbFile = QDir(dir).filePath(QStringLiteral("VELTRUM.db")).toStdString();
        Floor floor(dbFile);
        const long blocks = floor.Count("SELECT COUNT(*) FROM BLOCKS");
        if (blocks <= 0) {
            Fail("no blocks in " + dbFile);
            continue;
        }
        const std::string size = std::to_string(blocks);

        TMainForm form(dir, QStringLiteral("."));
        form.show();
        QCoreApplication::processEvents();
        if (!form.Database) {
            Fail("the main window did not open " + dbFile);
            continue;
        }
        TTabbedListBox& list = *form.BlockTabLB;
        PaintCounter counter(list.viewport());
        const auto clearList = [&] {
            list.Clear();
            QCoreApplication::processEvents();
        };

        // Code search.
        form.CodeRB->setChecked(true);
        form.CodeRBClick();
        bench::FreezeWatch freeze;
        const auto fragmentCase = [&](const std::string& name, const QString& typed) {
            return Measure(
                name, repeat, clearList,
                [&] {
                    freeze.Start();
                    const int paints = counter.paints;
                    form.FindIdentField->setText(typed);
                    form.FindIdentFieldKeyDown(Qt::Key_Return);
                    const long rows = PaintList(form, counter, paints);
                    freeze.Stop();
                    return rows;
                },
                [&] { return floor.Run(QueryByCodeFragment(PrepareFragment(typed))); });
        };
        const auto wanted = [&](const char* kind) { return only.empty() || only == kind; };
        if (wanted("fragment")) {
            const Timing fragment = fragmentCase("fragment_" + size, QStringLiteral("mk1-"));
            ExpectBetween("fragment_" + size, fragment.rows, blocks * 3 / 100, blocks * 7 / 100);
        }
        if (wanted("fragment_all")) {
            const Timing all = fragmentCase("fragment_all_" + size, QStringLiteral(" - "));
            ExpectBetween("fragment_all_" + size, all.rows, blocks, blocks);
            // Past this a user feels the window frozen; a longer search
            // must show its progress and cancel button before then.
            std::printf("longest_freeze_%s: %.1f ms without handling events (fragment and "
                        "fragment_all, at most 100)\n",
                        size.c_str(), freeze.Longest());
            allFills.push_back({all.rows, all.app, all.floor, all.own});
        }
        if (!wanted("category"))
            continue;

        // Search by category: position 1 is category 2, which has no subcategories.
        form.CategoryRB->setChecked(true);
        form.CategoryRBClick();
        constexpr int kPosition = 1;
        const Timing category = Measure(
            "category_" + size, repeat,
            [&] {
                form.CategoryField->setCurrentIndex(-1);
                clearList();
            },
            [&] {
                const int paints = counter.paints;
                form.CategoryField->setCurrentIndex(kPosition);
                form.CategoryFieldChange();
                return PaintList(form, counter, paints);
            },
            [&] { return floor.Run(QueryByCategory(CategoryNumber(kPosition))); });
        ExpectBetween("category_" + size, category.rows, blocks / 36, blocks / 16);
        clearList();
    }

    // The program's own time per listed row, from the median of the
    // per-pair differences: SQLite's own time per row grows with the file
    // (pages no longer kept, read again in IDENT order), the program's
    // should not.
    const auto ownPerRow = [](const AllFill& fill) {
        return fill.own / static_cast<double>(fill.rows);
    };
    for (const AllFill& fill : allFills)
        std::printf("own_per_row_%ld: %.3f us per row (program %.1f ms, SQLite %.1f ms, "
                    "%ld rows)\n",
                    fill.rows, 1000.0 * ownPerRow(fill), fill.app, fill.floor, fill.rows);
    if (allFills.size() >= 2) {
        // The "app" figure is the largest size's own time per row, the
        // "floor" the smallest's.
        bench::PrintCase("fill_linearity", ownPerRow(allFills.back()),
                         ownPerRow(allFills.front()));
    }
    return failed ? 1 : 0;
}
