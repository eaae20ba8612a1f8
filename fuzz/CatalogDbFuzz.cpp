// SPDX-License-Identifier: MIT
// The access layer and the catalog's four statements over any file bytes.
//
// The input is written to a temporary file that is opened read-only as the
// catalog, as the program does; then the four statements and a read of the
// whole of BLOCKS run, and every cell is read with every reader. The layer
// reports what it cannot do with its exceptions; anything else (a crash, a
// sanitizer report, a file written beside the catalog) is a finding.

#include "catalog/CatalogQueries.h"
#include "catalog/SQLiteTable3.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

const std::string& CatalogPath()
{
    static const std::string path = [] {
        char pattern[] = "/tmp/veltrum_fuzz_XXXXXX";
        if (!mkdtemp(pattern))
            std::abort();
        return std::string(pattern) + "/VELTRUM.db";
    }();
    return path;
}

void ReadEveryCell(TSQLiteTable& table)
{
    for (; !table.IsAtEnd(); table.Advance()) {
        for (int column = -1; column <= static_cast<int>(table.ColumnCount()); ++column) {
            try {
                (void)table.CellText(column);
            } catch (const Exception&) {
            }
            try {
                (void)table.CellInteger(column);
            } catch (const Exception&) {
            }
            try {
                (void)table.CellReal(column);
            } catch (const Exception&) {
            }
            try {
                (void)table.CellBytes(column);
            } catch (const Exception&) {
            }
            try {
                (void)table.CellBytesText(column);
            } catch (const Exception&) {
            }
        }
    }
    try {
        (void)table.CellText(0);
        std::abort();
    } catch (const Exception&) {
    }
}

void Query(TSQLiteDatabase& database, const CatalogQuery& query)
{
    try {
        const std::unique_ptr<TSQLiteTable> table = database.QueryTable(query.sql, query.params);
        ReadEveryCell(*table);
    } catch (const Exception&) {
    }
}

bool Exists(const std::string& path)
{
    return access(path.c_str(), F_OK) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string& path = CatalogPath();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
        std::abort();

    try {
        TSQLiteDatabase database(path, ",", TSQLiteDatabase::OpenMode::ReadOnly);
        Query(database, QueryByCategory(1));
        Query(database, QueryByCategoryAndSubcategory(21, 121));
        Query(database, QueryByCodeFragment(QStringLiteral("MK")));
        Query(database, QueryDetails("MK1-100"));
        Query(database, {"SELECT * FROM BLOCKS", {}});
        try {
            ForEachSearchRow(database, QueryByCodeFragment(QStringLiteral("")),
                             [](const QString&, const std::string&) {});
        } catch (const Exception&) {
        }
        try {
            (void)ReadBlockDetails(database, "MK1-100");
        } catch (const Exception&) {
        }
    } catch (const Exception&) {
    }

    // The catalog is only read: nothing may appear beside it.
    for (const char* suffix : {"-journal", "-wal", "-shm"})
        if (Exists(path + suffix))
            std::abort();
    return 0;
}
