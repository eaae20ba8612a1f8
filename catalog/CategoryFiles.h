// SPDX-License-Identifier: MIT
#pragma once

// Category files: the names of the equipment categories and subcategories,
// one per line, in the Windows-1251 code page (or UTF-8 when the file
// begins with the UTF-8 byte-order mark), in the Category directory
// beside the catalog. Category number n is the 1-based line of its name in
// Category000.itm; only categories 21, 22 and 24 have subcategory files.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

// Windows-1251 bytes to Unicode; every byte maps to one character
// (the byte 0x98, unassigned in the code page, becomes U+FFFD).
QString DecodeCp1251(QByteArrayView bytes);

// Unicode to Windows-1251; no value when a character has no byte in the
// code page, and then `unencodable` (when given) is set to the first such
// character's position in `text`.
std::optional<QByteArray> EncodeCp1251(QStringView text, qsizetype* unencodable = nullptr);

// Lines of a text with CR LF, LF or CR breaks; a break at the very end
// opens no further line, and an empty text has no lines.
QStringList SplitLines(const QString& text);

// The text of a category file's bytes: UTF-8 after a UTF-8 byte-order
// mark (which is dropped), Windows-1251 otherwise.
QString DecodeCategoryText(QByteArrayView bytes);

// Category files are a few kilobytes; a larger one is refused.
inline constexpr qint64 kCategoryFileByteLimit = qint64{16} << 20;

// Reads and decodes a whole category file. Throws EFileError, whose message
// names the file, when it cannot be read, is not a regular file after
// following links (a FIFO is never waited on) or holds more than
// kCategoryFileByteLimit bytes.
QStringList LoadCategoryFile(const QString& path);

// "Category" + n in three digits + ".itm".
QString CategoryFileName(int categoryNumber);
// <catalogDir>/Category/<CategoryFileName(n)>
QString CategoryFilePath(const QString& catalogDir, int categoryNumber);

// The fixed set {21, 22, 24}.
bool HasSubcategories(int categoryNumber);

// Category number from the 0-based position in the category list (-1 → 0).
int CategoryNumber(int categoryPosition);
// Stored subcategory code from list positions: i + 100·j + 101.
int SubcategoryCode(int categoryPosition, int subcategoryPosition);
// 0-based line of stored code s in the subcategory file of category n:
// (s − n) / 100 − 1, truncating toward zero. Exact for every pair of 64-bit
// values, as stored in the catalog: the difference is never formed in 64 bits.
std::int64_t SubcategoryLine(std::int64_t categoryNumber, std::int64_t code);
// The name at `line` of `lines`, or empty text when the line lies outside.
QString LineOrEmpty(const QStringList& lines, long long line);
