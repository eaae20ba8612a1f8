// SPDX-License-Identifier: MIT
#include "catalog/CatalogQueries.h"

#include "base/DecimalText.h"

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

void AppendFromUtf8(QString& out, std::string_view utf8)
{
    // Catalog text is Latin and Cyrillic: decoded here directly, one, two or
    // three bytes per character. Anything else (four-byte sequences, the
    // U+F000..U+FFFF block with the byte order mark, or malformed bytes)
    // goes to Qt's own decoder, so the result is always what
    // QString::fromUtf8 gives.
    const qsizetype kept = out.size();
    out.resize(kept + static_cast<qsizetype>(utf8.size())); // never more characters than bytes
    char16_t* const begin = reinterpret_cast<char16_t*>(out.data()) + kept;
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
            out.resize(kept);
            out.append(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
            return;
        }
    }
    out.resize(kept + (to - begin));
}

void AssignFromUtf8(QString& out, std::string_view utf8)
{
    out.resize(0); // keeps the storage
    AppendFromUtf8(out, utf8);
}

namespace {

// Makes the screen text of search rows, one row at a time, in buffers that
// are reused from row to row.
class TSearchRowText {
public:
    // The current row of `table` as "code<TAB>name" and its exact code.
    void Read(const TSQLiteTable& table)
    {
        const std::optional<std::string_view> code = table.CellStoredText(0);
        const std::optional<std::string_view> name = table.CellStoredText(1);
        if (!code || !name) {
            ReadAnyKind(table);
            return;
        }
        // The common case, texts as stored: decoded straight from the
        // table, each shown up to a zero byte, as CellText gives them.
        codeView_ = *code;
        const std::string_view shownCode = code->substr(0, code->find('\0'));
        text_.resize(0);
        AppendFromUtf8(text_, shownCode);
        if (shownCode.find('\t') != std::string_view::npos)
            text_.replace(u'\t', kTabMark);
        text_.append(u'\t');
        AppendFromUtf8(text_, name->substr(0, name->find('\0')));
    }
    QStringView Text() const { return text_; }
    std::string_view Code() const { return codeView_; }

private:
    // Values of other kinds (a code column declared INTEGER) as CellText
    // writes them.
    void ReadAnyKind(const TSQLiteTable& table)
    {
        code_ = table.CellWholeText(0);
        codeView_ = code_;
        row_.clear();
        table.AppendCellText(0, row_);
        const auto codeTabs = std::count(row_.begin(), row_.end(), '\t');
        row_ += '\t';
        table.AppendCellText(1, row_);
        AssignFromUtf8(text_, row_);
        // A tab byte stays one tab when decoded, so the code's tabs are the
        // row's first ones; as marks they keep the name in its column.
        for (qsizetype i = 0, marked = 0; marked < codeTabs; ++i) {
            if (text_.at(i) == u'\t') {
                text_[i] = kTabMark;
                ++marked;
            }
        }
    }

    std::string_view codeView_;
    std::string code_; // every byte
    std::string row_;  // in UTF-8
    QString text_;     // the screen text
};

} // namespace

std::size_t
ForEachSearchRowView(TSQLiteDatabase& database, const CatalogQuery& query,
                     const std::function<void(QStringView row, std::string_view code)>& appendRow)
{
    const std::unique_ptr<TSQLiteTable> table = database.QueryTable(query.sql, query.params);
    std::size_t count = 0;
    TSearchRowText text;
    for (; !table->IsAtEnd(); table->Advance()) {
        text.Read(*table);
        appendRow(text.Text(), text.Code());
        ++count;
    }
    return count;
}

std::size_t
StreamSearchRows(TSQLiteDatabase& database, const CatalogQuery& query,
                 const std::function<void(QStringView row, std::string_view code)>& appendRow,
                 const std::function<void()>& restart)
{
    TSearchRowText text;
    return database.QueryRows(
        query.sql, query.params,
        [&](const TSQLiteTable& row) {
            text.Read(row);
            appendRow(text.Text(), text.Code());
        },
        restart);
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

namespace {

// The details of the row a details query stands on. With no row the first
// read raises the end-of-table failure before anything is filled.
BlockRecord RecordOf(const TSQLiteTable& table)
{
    BlockRecord record;
    record.category = ParseInteger(table.CellText(8));
    record.subCategory = ParseInteger(table.CellText(9));
    QString* const texts[] = {&record.ident, &record.nameRus, &record.vipr, &record.slotsCount,
                              &record.v5,    &record.v7,      &record.v_7,  &record.totalPower};
    static const char* const kNames[] = {"IDENT", "NAME_RUS", "VIPR", "SLOTS_COUNT",
                                         "V5",    "V7",       "V_7",  "TOTAL_POWER"};
    for (int column = 0; column < 8; ++column) {
        *texts[column] = QString::fromUtf8(table.CellText(column));
        // Columns 3 to 7 are the numbers the basket adds up.
        if (column >= 3 && table.CellIsNotANumber(column)) {
            *texts[column] += QString::fromUtf16(kNotANumberMark);
            record.notANumber << QString::fromLatin1(kNames[column]);
        }
    }
    record.ident = CodeOnScreen(record.ident);
    return record;
}

} // namespace

BlockRecord ReadBlockDetails(TSQLiteDatabase& database, const std::string& code)
{
    const CatalogQuery query = QueryDetails(code);
    return RecordOf(*database.QueryTable(query.sql, query.params));
}

std::optional<BlockRecord> FindBlockDetails(TSQLiteDatabase& database, const std::string& code)
{
    const CatalogQuery query = QueryDetails(code);
    const std::unique_ptr<TSQLiteTable> table = database.QueryTable(query.sql, query.params);
    if (table->IsAtEnd())
        return std::nullopt;
    return RecordOf(*table);
}

QString NotANumberRefusal(const QString& ident, const QStringList& columns)
{
    return QStringLiteral("Блок \"%1\" не добавлен в корзину: в столбц%2 %3 каталога "
                          "записано не число")
        .arg(ident, columns.size() == 1 ? QStringLiteral("е") : QStringLiteral("ах"),
             columns.join(QStringLiteral(", ")));
}
