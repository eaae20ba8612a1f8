#pragma once

// The catalog's statements and how their rows become screen text.
// Values are bound as parameters, never spliced into the SQL text, so a
// typed double quote or a code that equals a column name is just a value.

#include "SQLiteTable3.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

struct CatalogQuery {
    std::string sql;
    TSQLiteParams params;
};

CatalogQuery QueryByCategory(int categoryNumber);
CatalogQuery QueryByCategoryAndSubcategory(int categoryNumber, int subcategoryCode);
// `fragment` is prepared screen text (PrepareFragment); it goes between
// "%" wildcards, and "%" or "_" inside it still act as wildcards.
CatalogQuery QueryByCodeFragment(const QString& fragment);
CatalogQuery QueryDetails(const QString& code);

// The code field's text upper-cased (Cyrillic included) and trimmed of
// characters with code 32 or below; empty text means: run no query.
QString PrepareFragment(const QString& typed);

// Runs a list query and hands each row, as "code<TAB>name", to `appendRow`
// in result order. The result is released before returning, also on failure.
// Returns the number of rows.
std::size_t ForEachSearchRow(TSQLiteDatabase& database, const CatalogQuery& query,
                             const std::function<void(const QString& row)>& appendRow);

// As ForEachSearchRow, but each row is handed over as a view of one buffer
// that is reused for the next row (valid only during the call), so that a
// fill of many rows makes no string object per row.
std::size_t ForEachSearchRowView(TSQLiteDatabase& database, const CatalogQuery& query,
                                 const std::function<void(QStringView row)>& appendRow);

// Replaces `out` with `utf8` decoded as QString::fromUtf8 would, reusing
// out's storage.
void AssignFromUtf8(QString& out, std::string_view utf8);

// One block's record as the details area shows it.
struct BlockRecord {
    QString ident, nameRus, vipr, slotsCount, v5, v7, v_7, totalPower;
    std::int64_t category = 0;    // CATEGORY
    std::int64_t subCategory = 0; // SUB_CATEGORY
};

// Runs the details query for `code`. Throws ESQLiteException with the
// end-of-table message when no block has that code.
BlockRecord ReadBlockDetails(TSQLiteDatabase& database, const QString& code);
