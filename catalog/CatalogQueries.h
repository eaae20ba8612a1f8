// SPDX-License-Identifier: MIT
#pragma once

// The catalog's statements and how their rows become screen text.
// Values are bound as parameters, never spliced into the SQL text, so a
// typed double quote or a code that equals a column name is just a value.

#include "catalog/SQLiteTable3.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>
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
// `code` is the block's code as stored, every byte of it.
CatalogQuery QueryDetails(std::string code);

// The code field's text upper-cased (Cyrillic included) and trimmed of
// characters with code 32 or below; empty text means: run no query.
QString PrepareFragment(const QString& typed);

// A block code as the screen shows it: a tab inside becomes kTabMark, so
// that the code stays in its column of a tab-separated row.
inline constexpr char16_t kTabMark = u'\u2192';
inline constexpr std::string_view kTabMarkUtf8 = "\xE2\x86\x92";
QString CodeOnScreen(QString code);
// The screen's text of a code known exactly (every character, zero ones
// included), as the details show it: up to its first zero character (the
// text value as read ends there), with CodeOnScreen's tab mark.
QString ExactCodeOnScreen(const QString& exactCode);

// Runs a list query and hands each row, as "code<TAB>name" with the code
// as CodeOnScreen shows it, to `appendRow` in result order, together with
// the code exactly as stored (every byte, zero bytes included), which is
// what the details query needs to find the row's own block. The result is
// released before returning, also on failure. Returns the number of rows.
std::size_t
ForEachSearchRow(TSQLiteDatabase& database, const CatalogQuery& query,
                 const std::function<void(const QString& row, const std::string& code)>& appendRow);

// As ForEachSearchRow, but each row, in UTF-8 (ForEachSearchRow's row is
// QString::fromUtf8 of it), and code is handed over as a view of buffers
// that are reused for the next row (valid only during the call), so that
// a fill of many rows makes no string object and decodes nothing per row.
std::size_t
ForEachSearchRowView(TSQLiteDatabase& database, const CatalogQuery& query,
                     const std::function<void(std::string_view row, std::string_view code)>& appendRow);

// As ForEachSearchRowView, but each row is handed over as soon as SQLite
// has read it, and the result is never held as a whole. When the file
// changed under the read and is read again, `restart` is called first: the
// rows handed over until then are to be dropped. A failure may come after
// some rows were handed over.
std::size_t
StreamSearchRows(TSQLiteDatabase& database, const CatalogQuery& query,
                 const std::function<void(std::string_view row, std::string_view code)>& appendRow,
                 const std::function<void()>& restart);

// One block's record as the details area shows it.
struct BlockRecord {
    QString ident, nameRus, vipr, slotsCount, v5, v7, v_7, totalPower;
    std::int64_t category = 0;    // CATEGORY
    std::int64_t subCategory = 0; // SUB_CATEGORY
    // The slot, current and power columns (by name) whose value is stored
    // as text or a blob although the column is numeric: their texts above
    // are the stored ones followed by kNotANumberMark.
    QStringList notANumber;
};

// Follows a stored value that is not a number, in the details.
inline constexpr char16_t kNotANumberMark[] = u" (НЕ ЧИСЛО)";

// Runs the details query for the exact stored `code`. Throws
// ESQLiteException with the end-of-table message when no block has it.
BlockRecord ReadBlockDetails(TSQLiteDatabase& database, const std::string& code);
// The same, one query, and none when no block has the code.
std::optional<BlockRecord> FindBlockDetails(TSQLiteDatabase& database, const std::string& code);

// Why a block with values that are not numbers cannot go into the basket:
// the message names the block and the columns.
QString NotANumberRefusal(const QString& ident, const QStringList& columns);
