// SPDX-License-Identifier: MIT
#pragma once

// The catalog's own files (VELTRUM.db with SQLite's journal files beside
// it, and Category/*.itm), so that nothing the user saves, exports or
// prints lands on them: a basket saved over the open catalog would destroy
// it under the running program.

#include <QString>

// True when writing to `target` would write one of the catalog's files in
// `catalogDir`: the same file after links are followed (also a hard link),
// or a name the catalog owns in its folder, even when that file is missing.
bool IsCatalogOwnFile(const QString& target, const QString& catalogDir);

// Throws EFileError naming `target` when IsCatalogOwnFile holds.
void RefuseCatalogOwnFile(const QString& target, const QString& catalogDir);
