// SPDX-License-Identifier: MIT
#include "CatalogCache.h"

std::vector<std::string> CatalogCacheStatements()
{
    return {
        "PRAGMA cache_size = -" + std::to_string(kCatalogPageCacheKiB) + ";",
        // Never mapped: the file may be cut short or rewritten by another
        // process while it is read, and a mapped page that is gone ends the
        // whole program with SIGBUS instead of failing one query.
        "PRAGMA mmap_size = 0;",
        "PRAGMA temp_store = MEMORY;",
    };
}
