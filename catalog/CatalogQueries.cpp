// SPDX-License-Identifier: MIT
#include "CatalogQueries.h"

#include "DecimalText.h"

#include <algorithm>

CatalogQuery QueryByCategory(int categoryNumber)
{
    return {"SELECT IDENT, NAME_RUS FROM BLOCKS WHERE CATEGORY = ?",
            {std::int64_t{categoryNumber}}};
}

CatalogQuery QueryByCategoryAndSubcategory(int categoryNumber, int subcategoryCode)
{
    return {"SELECT IDENT, NAME_RUS FROM BLOCKS WHERE CATEGORY = ? AND SUB_CATEGORY = ?",
            {std::int64_t{categoryNumber}, std::int64_t{subcategoryCode}}};
}

CatalogQuery QueryByCodeFragment(const QString& fragment)
{
    return {"SELECT IDENT, NAME_RUS FROM BLOCKS where IDENT LIKE ? ORDER BY IDENT",
            {"%" + fragment.toStdString() + "%"}};
}

CatalogQuery QueryDetails(std::string code)
{
    return {"SELECT IDENT, NAME_RUS, VIPR, SLOTS_COUNT, V5, V7, V_7, TOTAL_POWER, CATEGORY, "
            "SUB_CATEGORY FROM BLOCKS where IDENT = ?",
            {std::move(code)}};
}

QString CodeOnScreen(QString code)
{
    code.replace(u'\t', kTabMark);
    return code;
}

QString ExactCodeOnScreen(const QString& exactCode)
{
    const qsizetype zero = exactCode.indexOf(QChar(u'\0'));
    return CodeOnScreen(zero < 0 ? exactCode : exactCode.left(zero));
}

QString PrepareFragment(const QString& typed)
{
    const QString upper = typed.toUpper();
    qsizetype begin = 0;
    qsizetype end = upper.size();
    while (begin < end && upper.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && upper.at(end - 1).unicode() <= 32)
        --end;
    return upper.mid(begin, end - begin);
}

void AssignFromUtf8(QString& out, std::string_view utf8)
{
    // Catalog text is Latin and Cyrillic: decoded here directly, one, two or
    // three bytes per character. Anything else (four-byte sequences, the
    // U+F000..U+FFFF block with the byte order mark, or malformed bytes)
    // goes to Qt's own decoder, so the result is always what
    // QString::fromUtf8 gives.
    out.resize(static_cast<qsizetype>(utf8.size())); // never more characters than bytes
    char16_t* const begin = reinterpret_cast<char16_t*>(out.data());
    char16_t* to = begin;
    const auto* from = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* const end = from + utf8.size();
    while (from < end) {
        const unsigned char lead = *from;
        if (lead < 0x80) {
            *to++ = lead;
            ++from;
        } else if (lead >= 0xC2 && lead <= 0xDF && end - from >= 2 && (from[1] & 0xC0) == 0x80) {
            *to++ = static_cast<char16_t>(((lead & 0x1Fu) << 6) | (from[1] & 0x3Fu));
            from += 2;
        } else if (lead >= 0xE0 && lead <= 0xEE && end - from >= 3 && (from[1] & 0xC0) == 0x80 &&
                   (from[2] & 0xC0) == 0x80 && (lead != 0xE0 || from[1] >= 0xA0) &&
                   (lead != 0xED || from[1] < 0xA0)) {
            *to++ = static_cast<char16_t>(((lead & 0x0Fu) << 12) | ((from[1] & 0x3Fu) << 6) |
                                          (from[2] & 0x3Fu));
            from += 3;
        } else {
            out = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
            return;
        }
    }
    out.resize(to - begin);
}

std::size_t
ForEachSearchRowView(TSQLiteDatabase& database, const CatalogQuery& query,
                     const std::function<void(QStringView row, std::string_view code)>& appendRow)
{
    const std::unique_ptr<TSQLiteTable> table = database.QueryTable(query.sql, query.params);
    std::size_t count = 0;
    std::string code; // one buffer for all codes, every byte
    std::string row;  // and one for all rows, in UTF-8
    QString text;     // and one for their screen text
    for (; !table->IsAtEnd(); table->Advance()) {
        code = table->CellWholeText(0);
        row.clear();
        table->AppendCellText(0, row);
        const auto codeTabs = std::count(row.begin(), row.end(), '\t');
        row += '\t';
        table->AppendCellText(1, row);
        AssignFromUtf8(text, row);
        // A tab byte stays one tab when decoded, so the code's tabs are the
        // row's first ones; as marks they keep the name in its column.
        for (qsizetype i = 0, marked = 0; marked < codeTabs; ++i) {
            if (text.at(i) == u'\t') {
                text[i] = kTabMark;
                ++marked;
            }
        }
        appendRow(text, code);
        ++count;
    }
    return count;
}

std::size_t
ForEachSearchRow(TSQLiteDatabase& database, const CatalogQuery& query,
                 const std::function<void(const QString& row, const std::string& code)>& appendRow)
{
    return ForEachSearchRowView(database, query,
                                [&appendRow](QStringView row, std::string_view code) {
                                    appendRow(row.toString(), std::string(code));
                                });
}

BlockRecord ReadBlockDetails(TSQLiteDatabase& database, const std::string& code)
{
    const CatalogQuery query = QueryDetails(code);
    const std::unique_ptr<TSQLiteTable> table = database.QueryTable(query.sql, query.params);
    BlockRecord record;
    // CATEGORY and SUB_CATEGORY first: with no matching row this first read
    // raises the end-of-table failure before anything is filled.
    record.category = ParseInteger(table->CellText(8));
    record.subCategory = ParseInteger(table->CellText(9));
    QString* const texts[] = {&record.ident, &record.nameRus, &record.vipr, &record.slotsCount,
                              &record.v5,    &record.v7,      &record.v_7,  &record.totalPower};
    static const char* const kNames[] = {"IDENT", "NAME_RUS", "VIPR", "SLOTS_COUNT",
                                         "V5",    "V7",       "V_7",  "TOTAL_POWER"};
    for (int column = 0; column < 8; ++column) {
        *texts[column] = QString::fromUtf8(table->CellText(column));
        // Columns 3 to 7 are the numbers the basket adds up.
        if (column >= 3 && table->CellIsNotANumber(column)) {
            *texts[column] += QString::fromUtf16(kNotANumberMark);
            record.notANumber << QString::fromLatin1(kNames[column]);
        }
    }
    record.ident = CodeOnScreen(record.ident);
    return record;
}

QString NotANumberRefusal(const QString& ident, const QStringList& columns)
{
    return QStringLiteral("Блок \"%1\" не добавлен в корзину: в столбц%2 %3 каталога "
                          "записано не число")
        .arg(ident, columns.size() == 1 ? QStringLiteral("е") : QStringLiteral("ах"),
             columns.join(QStringLiteral(", ")));
}
