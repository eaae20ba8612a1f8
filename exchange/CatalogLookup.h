// SPDX-License-Identifier: MIT
#pragma once

// Looking a basket entry up in the catalog by its code: one details query
// per code, the texts as the details area would show them.

#include "exchange/BasketReopen.h"

class TSQLiteDatabase;

// A lookup over `database`, which must outlive it. Errors of the query
// (ESQLiteException) reach the caller.
CatalogLookup LookUpInCatalog(TSQLiteDatabase& database);
