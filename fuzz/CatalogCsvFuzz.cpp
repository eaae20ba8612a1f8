// SPDX-License-Identifier: MIT
// The maintainer's CSV and the category files' code page: whatever bytes
// come in, reading never fails but with its own error; what was read,
// written again and read back gives the same records; and Windows-1251
// text decoded and encoded again gives the same bytes.

#include "catalog/CatalogCsv.h"
#include "catalog/CategoryFiles.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    const std::optional<QByteArray> encoded = EncodeCp1251(DecodeCp1251(bytes));
    if (bytes.contains('\x98') ? encoded.has_value() : encoded != bytes)
        std::abort();

    CsvTable table;
    try {
        table = ParseCatalogCsv(bytes, QStringLiteral("fuzz.csv"));
    } catch (const ECatalogCsvError&) {
        return 0;
    }
    // A caption row of one field carries no separator to tell by.
    if (table.records.empty() || table.records.front().fields.size() < 2)
        return 0;
    QString written;
    for (const CsvRecord& record : table.records)
        written += CatalogCsvRecord(record.fields, table.separator);
    const CsvTable again = ParseCatalogCsv(CatalogCsvBytes(written), QStringLiteral("fuzz.csv"));
    if (again.separator != table.separator || again.records.size() != table.records.size())
        std::abort();
    for (std::size_t i = 0; i < table.records.size(); ++i)
        if (again.records[i].fields != table.records[i].fields ||
            again.records[i].line != static_cast<qint64>(i) + 1)
            std::abort();
    return 0;
}
