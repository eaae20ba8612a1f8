// SPDX-License-Identifier: MIT
#pragma once

// The basket as CSV for spreadsheets (RFC 4180): UTF-8 with a byte-order
// mark, CR LF line ends, fields quoted only when they hold the field
// separator, a double quote or a line break. The field separator is ";"
// when the decimal separator is a comma, so that "1,4" stays one number,
// and "," otherwise. Numbers keep the user's decimal separator, so a
// spreadsheet in the same locale reads them as numbers.
//
// Rows: the column captions; one row per entry (code, name, five values);
// the totals; the crate type with its five limits; the headroom of each
// limit; when the summary has one, after an empty row, the bill of
// materials: «СПЕЦИФИКАЦИЯ», its captions and one row per code (code, name,
// count, summed amounts, summed slots); last, ВЕРСИЯ with the program's
// version and the catalog's SHA-256, so that a sheet can be traced to what
// made it.

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

QChar CsvFieldSeparator(const QString& decimalSeparator);
// One field, quoted and its quotes doubled when it needs it.
QString CsvField(const QString& text, QChar fieldSeparator);
QByteArray BasketCsv(const BasketSummary& summary, CsvFormulas formulas = CsvFormulas::Guarded);
