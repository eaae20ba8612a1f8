// SPDX-License-Identifier: MIT
#pragma once

// Looking a basket entry up in the catalog by its code: one details query
// per code, the texts as the details area would show them, the code itself
// exactly as the file gives it (every byte, zero bytes too).

#include "exchange/BasketReopen.h"

class TSQLiteDatabase;

// A lookup over `database`, which must outlive it. Errors of the query
// (ESQLiteException) reach the caller.
CatalogLookup LookUpInCatalog(TSQLiteDatabase& database);

// A lookup that asks `lookup` once per code and remembers the answer (a
// block found or not) for every later call on any copy of it: a run over
// many files reads each block from the catalog once. Failures are not
// remembered.
CatalogLookup RememberingLookup(CatalogLookup lookup);
