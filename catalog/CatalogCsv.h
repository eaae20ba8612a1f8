// SPDX-License-Identifier: MIT
#pragma once

// The maintainer's catalog as CSV, for round trips through a spreadsheet:
// UTF-8 with a byte-order mark, RFC 4180 quoting, CR LF line ends, fields
// separated by ';' when the decimal separator is a comma and by ','
// otherwise (the basket CSV's rules). Never formula-guarded: a text is
// written exactly as stored, so that it comes back unchanged.
//
//   FILE.csv             one row per block: the ten BLOCKS columns, then
//                        CATEGORY_NAME and SUB_CATEGORY_NAME
//   FILE-categories.csv  every category in its order, each followed by its
//                        subcategories: CATEGORY, CATEGORY_NAME,
//                        SUB_CATEGORY, SUB_CATEGORY_NAME
//   FILE-crates.csv      the CRATE_TYPES rows, when the catalog has them
//
// Import works the category numbers and subcategory codes out of the
// names; the CATEGORY and SUB_CATEGORY columns are there for the reader
// and are not read back.

#include "base/Exception.h"

#include <QByteArray>
#include <QString>
#include <QIODevice>
#include <QStringDecoder>
#include <QStringList>

#include <vector>

// A CSV file that cannot be read, or a catalog that cannot be exported or
// imported; the message names the file and, for a refused row, its line.
class ECatalogCsvError : public Exception {
public:
    using Exception::Exception;
};

// One record with CR LF, each field as CsvField writes it.
QString CatalogCsvRecord(const QStringList& fields, QChar separator);
// The text as a file: byte-order mark and UTF-8.
QByteArray CatalogCsvBytes(const QString& text);

struct CsvRecord {
    qint64 line = 0; // as a spreadsheet numbers its rows: the caption row is 1
    QStringList fields;
};
struct CsvTable {
    QChar separator;
    std::vector<CsvRecord> records; // the captions first
};
// Reads CSV records one at a time from a device, decoding UTF-8 as it
// goes, so that a file of any size is read in bounded memory. The
// separator is ';' when the caption row holds one, ',' otherwise. Next
// throws ECatalogCsvError naming `file` (and the line) for text that is
// not UTF-8 or a quote left open.
class CsvRecordReader {
public:
    CsvRecordReader(QIODevice& device, const QString& file);
    QChar Separator() const { return separator_; }
    // The next record; false at the end of the file.
    bool Next(CsvRecord& record);

private:
    bool Fill();
    // The character `ahead` places on, or 0 at the end of the file.
    QChar At(qsizetype ahead);

    QIODevice& device_;
    QString file_;
    QStringDecoder decoder_;
    QString text_;
    qsizetype position_ = 0;
    bool ended_ = false;
    qint64 line_ = 0;
    QChar separator_;
};

// Reads a CSV file's bytes; the separator is ';' when the caption row holds
// one, ',' otherwise. Throws ECatalogCsvError naming `file` (and the line)
// for text that is not UTF-8 or a quote left open.
CsvTable ParseCatalogCsv(const QByteArray& bytes, const QString& file);

// The files beside FILE.csv.
QString CategoriesCsvPath(const QString& blocksCsv);
QString CratesCsvPath(const QString& blocksCsv);

QStringList BlockCsvCaptions();
QStringList CategoryCsvCaptions();
