// SPDX-License-Identifier: MIT
#pragma once

// The crate types a catalog gives the program: the one rule the window and
// `veltrum --check` both follow, so that they never list different types
// for the same catalog. A catalog without a CRATE_TYPES table gives the
// seven built-in types; a valid table gives its rows, in rowid order, the
// limits as exact decimals of the texts the catalog shows; an invalid
// table gives the built-in types and says which row is wrong and why.

#include "crate/CrateTypes.h"

#include <QString>
#include <QStringList>

#include <vector>

class TSQLiteDatabase;

struct CatalogCrateTypeList {
    std::vector<TCrateType> types; // never empty; in list order, the first ticked at start
    bool fromCatalog = false;      // the catalog's own types, not the built-in ones
    // Why the catalog's table is not used, in Russian, lines broken by
    // carriage returns as the program's dialog texts are; empty when there
    // is nothing to say.
    QString message;
    // The same problems in English, one each, for standard error.
    QStringList problems;
};

// Reads the table once. Errors: ESQLiteException when the catalog cannot
// be read at all; a table that is wrong is not an error but a message.
CatalogCrateTypeList CrateTypesOfCatalog(TSQLiteDatabase& database);

// The message for a table that is not used, listing at most `maxListed`
// of its problems (`messages`, in Russian).
QString UnusedCrateTypesMessage(const QStringList& messages, int maxListed = 10);
