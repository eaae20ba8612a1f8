// SPDX-License-Identifier: MIT
#include "catalog/CatalogCache.h"

#include <algorithm>

int PageCacheKiB(std::int64_t fileBytes)
{
    // SQLite counts each page's own header against the size too (some 7 %
    // for 4 KiB pages): a quarter more than the file holds every page.
    const std::int64_t wholeFile =
        std::max<std::int64_t>(fileBytes, 0) / 1024 * 5 / 4 + 1 + kPageCacheSlackKiB;
    return static_cast<int>(
        std::clamp<std::int64_t>(wholeFile, kPageCacheSlackKiB, kCatalogPageCacheKiB));
}

std::vector<std::string> CatalogCacheStatements(std::int64_t fileBytes)
{
    return {
        "PRAGMA cache_size = -" + std::to_string(PageCacheKiB(fileBytes)) + ";",
        // Never mapped: the file may be cut short or rewritten by another
        // process while it is read, and a mapped page that is gone ends the
        // whole program with SIGBUS instead of failing one query.
        "PRAGMA mmap_size = 0;",
        "PRAGMA temp_store = MEMORY;",
    };
}
