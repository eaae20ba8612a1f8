// SPDX-License-Identifier: MIT
#pragma once

// How a connection to the catalog keeps what it reads: the pages it holds
// between queries, whether the file is mapped into memory, and where
// temporary data goes. The program's catalog connection runs these
// statements when it opens its file, and so does the benchmarks' bare
// SQLite connection, so that the two are compared on equal terms.

#include <cstdint>
#include <string>
#include <vector>

// The catalog's pages kept between queries, in KiB (SQLite's own default
// is 2 MiB). A search reads the whole table; with its pages kept, the next
// search of a catalog up to kCatalogPageCacheKiB (about 150,000 blocks)
// reads nothing from the file again and checks no cell twice. The cache is
// sized from the catalog file, so a small catalog never holds room it
// cannot fill and memory that runs short is not spent on empty room.
// SQLite still drops the pages as soon as the file changes, and a reopened
// catalog starts afresh.
inline constexpr int kCatalogPageCacheKiB = 32 * 1024;
inline constexpr int kPageCacheSlackKiB = 64;
int PageCacheKiB(std::int64_t fileBytes);

// The statements for a catalog file of `fileBytes`, in the order they are
// run; a setting may answer with the value it took (mmap_size does), which
// nobody needs.
std::vector<std::string> CatalogCacheStatements(std::int64_t fileBytes);
