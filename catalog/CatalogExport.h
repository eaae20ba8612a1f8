// SPDX-License-Identifier: MIT
#pragma once

// Writes a catalog directory as CSV (see CatalogCsv.h): FILE.csv, beside it
// FILE-categories.csv, and FILE-crates.csv when the catalog has its own
// crate types (an older FILE-crates.csv is removed otherwise, so that an
// import of the new files does not bring back crate types the catalog no
// longer has). A catalog with faults is written as it is, values that are
// not numbers as their stored text, so that they can be mended in a
// spreadsheet. Each file is written whole or not at all.
//
// Errors: ECatalogUnreadable when the catalog cannot be read (or lacks a
// column of BLOCKS), ECatalogCsvError when a file cannot be written.

#include <QString>
#include <QStringList>

struct CatalogExportResult {
    QStringList written; // the files written, in order
    QString removed;     // an older crates file taken away; empty: none
    qint64 blocks = 0;
};

CatalogExportResult ExportCatalog(const QString& catalogDir, const QString& blocksCsv,
                                  const QString& decimalSeparator);
