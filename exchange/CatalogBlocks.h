// SPDX-License-Identifier: MIT
#pragma once

// The catalog database as the lookup a reopened basket needs: each code
// found by the details query, its six texts as the details area shows
// them. Errors of the database (ESQLiteException) come through the lookup.
// The database must outlive the lookup.

#include "exchange/BasketReopen.h"

class TSQLiteDatabase;

CatalogLookup CatalogBlockLookup(TSQLiteDatabase& database);
