// SPDX-License-Identifier: MIT
#pragma once

// Crate types kept in the catalog: the optional table
//   CRATE_TYPES (NAME TEXT, V5 REAL, V7 REAL, V_7 REAL, TOTAL_POWER REAL,
//                SLOTS_COUNT INTEGER)
// whose rows, in rowid order, replace the seven built-in crate types when
// every row is valid: a name that is not blank, holds no control character
// and no other row has; four limits that are finite numbers not below 0
// (a limit of 0 allows nothing on its channel); slots from 1 to 255; at
// most kMaxCatalogCrateTypes rows. A table with any other row is invalid as
// a whole, and the program keeps its built-in types.
//
// Errors: reading raises ESQLiteException only when the database cannot be
// read; everything wrong with the table itself is a problem of the result.

#include "catalog/StoredValue.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

inline constexpr int kMaxCatalogCrateTypes = 64;

// A valid crate type. The limits are decimal texts with a full stop and at
// most 15 significant digits ("1.4", "28.5", "3"), as ExactDecimal reads
// them, so that what is summed is what the catalog shows.
struct CatalogCrateType {
    QString name;
    QString v5, v7, v_7, power;
    std::int64_t slots = 0;
};

// One row of the table as stored.
struct StoredCrateTypeRow {
    std::int64_t rowid = 0;
    StoredValue name, v5, v7, v_7, power, slots;
};

struct CatalogCrateTypeTable {
    bool present = false;               // the catalog has the table
    std::vector<CatalogCrateType> types; // every row, when the table is valid
    // What is wrong, one sentence each naming the row (its position from 1
    // and its rowid) and why; or the missing column, or the row count.
    QStringList problems;
    // The same, one for one, in Russian for the window's message.
    QStringList messages;

    bool Valid() const { return present && problems.isEmpty(); }
};

// The table's rows checked in order; a table of more than
// kMaxCatalogCrateTypes rows gives that one problem.
CatalogCrateTypeTable ValidateCrateTypeRows(const std::vector<StoredCrateTypeRow>& rows);

// Reads the table from the catalog (at most one row more than allowed).
CatalogCrateTypeTable ReadCatalogCrateTypes(TSQLiteDatabase& database);

// The six columns, in the table's order.
QStringList CrateTypeColumns();
