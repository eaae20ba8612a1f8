// SPDX-License-Identifier: MIT
#pragma once

// The basket as CSV for spreadsheets: UTF-8 with a byte-order mark, CR LF
// line ends, the program's field rules (base/CsvField.h). Numbers keep the
// user's decimal separator, so a spreadsheet in the same locale reads them
// as numbers.
//
// Rows: the column captions; one row per entry (code, name, five values);
// the totals; the crate type with its five limits; the headroom of each
// limit; when the summary has one, after an empty row, the bill of
// materials: «СПЕЦИФИКАЦИЯ», its captions and one row per code (code, name,
// count, summed amounts, summed slots); last, ВЕРСИЯ with the program's
// version and the catalog's SHA-256, so that a sheet can be traced to what
// made it.

#include "base/CsvField.h"
#include "exchange/BasketSummary.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// A spreadsheet runs a cell that begins with "=", "+", "-" or "@" as a
// formula, also when it came from a catalog or a basket file someone else
// made. The guarded form, the default, puts an apostrophe before such a
// code, name or crate type name, so the cell shows as text; numbers are
// never guarded (a negative headroom stays a number). The raw form writes
// every text exactly as it is, for programs that read the file back.
enum class CsvFormulas { Guarded, Raw };

// `text` with the apostrophe in front when a spreadsheet would run it.
QString GuardedCsvText(const QString& text);

QByteArray BasketCsv(const BasketSummary& summary, CsvFormulas formulas = CsvFormulas::Guarded);
