// SPDX-License-Identifier: MIT
#pragma once

// Blocks of a benchmark catalog for the basket files the benchmarks write:
// `count` blocks spread evenly over the whole catalog, with their values as
// the catalog gives them. Codes the generator happened to give twice are
// left out: a lookup finds the first of them, which may not be the row
// taken here.

#include "exchange/BasketFile.h"

#include <sqlite3.h>

#include <QString>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

namespace bench {

// The command line of the benchmarks that time basket files in pairs:
//   <program> [--smoke] [--pairs N] <catalog-dir>
// A smoke run is one pair. Nothing (after the usage on standard error)
// when no catalog directory is given.
struct PairedRunOptions {
    bool smoke = false;
    int pairs = 5;
    QString catalogDir;
};

inline std::optional<PairedRunOptions> ParsePairedRun(int argc, char** argv, const char* program)
{
    PairedRunOptions options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--smoke") == 0)
            options.smoke = true;
        else if (std::strcmp(argv[i], "--pairs") == 0 && i + 1 < argc)
            options.pairs = std::max(1, std::atoi(argv[++i]));
        else
            options.catalogDir = QString::fromLocal8Bit(argv[i]);
    }
    if (options.catalogDir.isEmpty()) {
        std::fprintf(stderr, "usage: %s [--smoke] [--pairs N] <catalog-dir>\n", program);
        return std::nullopt;
    }
    if (options.smoke)
        options.pairs = 1;
    return options;
}

inline std::vector<DeviceTexts> SpreadBlocks(const QString& database, int count)
{
    const auto text = [](sqlite3_stmt* statement, int column) {
        return QString::fromUtf8(
            reinterpret_cast<const char*>(sqlite3_column_text(statement, column)));
    };
    std::vector<DeviceTexts> blocks;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(database.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) ==
        SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        const char* sql = "SELECT IDENT, V5, V7, V_7, TOTAL_POWER, SLOTS_COUNT FROM BLOCKS AS b "
                          "WHERE rowid % max(1, (SELECT count(*) FROM BLOCKS) / ?) = 0 "
                          "AND (SELECT count(*) FROM BLOCKS WHERE IDENT = b.IDENT) = 1 LIMIT ?";
        if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK) {
            sqlite3_bind_int(statement, 1, count);
            sqlite3_bind_int(statement, 2, count);
            while (sqlite3_step(statement) == SQLITE_ROW)
                blocks.push_back({text(statement, 0), text(statement, 1), text(statement, 2),
                                  text(statement, 3), text(statement, 4), text(statement, 5)});
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return blocks;
}

} // namespace bench
