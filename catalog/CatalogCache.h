// SPDX-License-Identifier: MIT
#pragma once

// How a connection to the catalog keeps what it reads: the pages it holds
// between queries, whether the file is mapped into memory, and where
// temporary data goes. The program's catalog connection runs these
// statements when it opens its file, and so does the benchmarks' bare
// SQLite connection, so that the two are compared on equal terms.

#include <string>
#include <vector>

// The catalog's pages kept between queries, in KiB (SQLite's own default
// is 2 MiB). A search reads the whole table; with its pages kept, the next
// search of a catalog up to this size (about 150,000 blocks) reads nothing
// from the file again and checks no cell twice. SQLite still drops them as
// soon as the file changes, and a reopened catalog starts afresh.
inline constexpr int kCatalogPageCacheKiB = 32 * 1024;

// The statements, in the order they are run; a setting may answer with the
// value it took (mmap_size does), which nobody needs.
std::vector<std::string> CatalogCacheStatements();
