// SPDX-License-Identifier: MIT
#include "exchange/CatalogBlocks.h"

#include "catalog/CatalogQueries.h"
#include "catalog/SQLiteTable3.h"

CatalogLookup CatalogBlockLookup(TSQLiteDatabase& database)
{
    return [&database](const QString& code) -> std::optional<DeviceTexts> {
        const std::optional<BlockRecord> block = FindBlockDetails(database, code.toStdString());
        if (!block)
            return std::nullopt;
        return DeviceTexts{block->ident, block->v5,         block->v7,
                           block->v_7,   block->totalPower, block->slotsCount};
    };
}
