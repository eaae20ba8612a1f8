// SPDX-License-Identifier: MIT
#pragma once

// Builds a new catalog directory from the CSV files of CatalogCsv.h, as
// exported and then edited in a spreadsheet (either separator convention):
// VELTRUM.db with BLOCKS in its documented declared types and both
// indexes, CRATE_TYPES from FILE-crates.csv when that file is there, and
// the four category files in Windows-1251 with CR LF line ends. Category
// numbers and subcategory codes are worked out from the names: categories
// in the order of FILE-categories.csv when present, else of their first
// appearance in FILE.csv (names only FILE.csv uses come after those of
// FILE-categories.csv); only categories 21, 22 and 24 can have
// subcategories.
//
// The catalog is built in a temporary directory beside the target, the
// blocks going into it as they are read (so a file of any size is read in
// bounded memory), and renamed to the target only when complete and
// nothing was refused; otherwise the temporary directory is removed again.
// So the target never holds a half-built catalog: a refusal, a failure or
// a kill leaves it as it was (a kill may leave the temporary directory,
// named "<target>.importing-XXXXXX", beside it).
//
// Errors: ECatalogImportRefused lists every refused row, each naming the
// file, the line (the caption line is line 1), the column and the code;
// ECatalogCsvError when a file cannot be read or written.

#include "catalog/CatalogCsv.h"

#include <QString>
#include <QStringList>

class ECatalogImportRefused : public ECatalogCsvError {
public:
    explicit ECatalogImportRefused(const QStringList& reasons)
        : ECatalogCsvError(reasons.join(u'\n').toStdString()), reasons_(reasons)
    {
    }
    const QStringList& Reasons() const { return reasons_; }

private:
    QStringList reasons_;
};

struct CatalogImportResult {
    qint64 blocks = 0;
    int categories = 0;
    int crateTypes = -1; // -1: no crate type file
};

// Refuses a target that exists and is not an empty directory.
CatalogImportResult ImportCatalog(const QString& blocksCsv, const QString& targetDir);

// The name of the temporary directory's prefix beside `targetDir`.
QString ImportTemporaryPrefix(const QString& targetDir);
