// SPDX-License-Identifier: MIT
#include "exchange/CatalogLookup.h"

#include "catalog/CatalogQueries.h"
#include "catalog/SQLiteTable3.h"

#include <QHash>

#include <memory>

CatalogLookup LookUpInCatalog(TSQLiteDatabase& database)
{
    return [&database](const QString& code) -> std::optional<DeviceTexts> {
        const std::optional<BlockRecord> block = FindBlockDetails(database, code.toStdString());
        if (!block)
            return std::nullopt;
        // The exact code looked up, not the record's text of it, which a
        // zero byte would cut short.
        return DeviceTexts{code,              block->v5,         block->v7,     block->v_7,
                           block->totalPower, block->slotsCount, block->nameRus};
    };
}

CatalogLookup RememberingLookup(CatalogLookup lookup)
{
    auto known = std::make_shared<QHash<QString, std::optional<DeviceTexts>>>();
    return [lookup = std::move(lookup), known](const QString& code) -> std::optional<DeviceTexts> {
        const auto found = known->constFind(code);
        if (found != known->constEnd())
            return *found;
        std::optional<DeviceTexts> block = lookup(code);
        known->insert(code, block);
        return block;
    };
}
