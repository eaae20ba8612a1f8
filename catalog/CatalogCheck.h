// SPDX-License-Identifier: MIT
#pragma once

// The maintainer's check of a catalog directory (VELTRUM.db and Category/),
// read-only: every problem the program would meet, each with where it is
// (table and column, block code and rowid, file and line) and why it
// matters. Errors are what the program would show wrongly or refuse;
// warnings are what it handles but is probably not meant.
//
// Errors: CheckCatalog raises ECatalogUnreadable, with the reason, only
// when the catalog cannot be read at all (no VELTRUM.db, not a database,
// a read failing); everything else is a problem of the result. The blocks
// are streamed, so a catalog of any size is checked in bounded memory.

#include "base/Exception.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

class ECatalogUnreadable : public Exception {
public:
    using Exception::Exception;
};

enum class CheckSeverity { Error, Warning };

struct CatalogProblem {
    CheckSeverity severity = CheckSeverity::Error;
    QString kind;    // a fixed word for scripts and tests: "negative-value", "unknown-category", ...
    QString place;   // where, in words: "block MK1-03 (rowid 12)", "Category/Category000.itm:4"
    QString message; // what is wrong and why it matters
    // The same place as parts, each empty (0) when it does not apply.
    QString file;       // "VELTRUM.db" or "Category/Category021.itm"
    std::int64_t line = 0;
    QString code;       // the block's code as stored
    std::int64_t rowid = 0;
    QString column;
};

struct CatalogCheckResult {
    std::vector<CatalogProblem> problems;
    std::uint64_t blocks = 0;
    int categories = 0;
    int crateTypes = 0; // valid rows of CRATE_TYPES; 0 without the table

    int Count(CheckSeverity severity) const;
};

CatalogCheckResult CheckCatalog(const QString& catalogDir);

// The problems one a line ("error: place: message"), then the count line.
QString CheckReportText(const CatalogCheckResult& result);
// The same as a JSON object: counts and the "problems" array.
QByteArray CheckReportJson(const CatalogCheckResult& result);

// Pure pieces, tested on tables of cases.

// What is wrong with a category file's bytes: a byte-order mark, UTF-8
// text, bytes that are no Windows-1251 text, blank names. `file` names it
// in the problems.
std::vector<CatalogProblem> CheckCategoryFileBytes(const QByteArray& bytes, const QString& file);

// What is wrong with a block code (`place` and the code are filled in by
// the caller).
std::vector<CatalogProblem> CheckBlockCode(const QString& code);

// The program's reading of a declared column type: "INTEGER", "REAL", ...
// compared whole and case-sensitively, as the access layer does.
enum class DeclaredKind { Integer, Real, Other };
DeclaredKind DeclaredKindOf(const QString& declaredType);
