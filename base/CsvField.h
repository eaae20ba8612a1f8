// SPDX-License-Identifier: MIT
#pragma once

// The field rules every CSV file the program writes keeps (RFC 4180): the
// basket's CSV, the check report's, and the catalog's spreadsheets. The
// field separator is ";" when the decimal separator is a comma, so that
// "1,4" stays one number, and "," otherwise; a field is quoted, its quotes
// doubled, only when it holds the field separator, a double quote or a
// line break.

#include <QChar>
#include <QString>

QChar CsvFieldSeparator(const QString& decimalSeparator);
// One field, quoted and its quotes doubled when it needs it.
QString CsvField(const QString& text, QChar fieldSeparator);
