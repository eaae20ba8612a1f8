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

namespace {

// Makes the screen text of search rows, in UTF-8, one row at a time, in
// buffers that are reused from row to row.
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
        // The common case, texts as stored: copied straight from the table,
        // each shown up to a zero byte, as CellText gives them.
        codeView_ = *code;
        row_.clear();
        AppendShownCode(code->substr(0, code->find('\0')));
        row_ += '\t';
        row_ += name->substr(0, name->find('\0'));
    }
    std::string_view Text() const { return row_; }
    std::string_view Code() const { return codeView_; }

private:
    // Values of other kinds (a code column declared INTEGER) as CellText
    // writes them.
    void ReadAnyKind(const TSQLiteTable& table)
    {
        code_ = table.CellWholeText(0);
        codeView_ = code_;
        shownCode_.clear();
        table.AppendCellText(0, shownCode_);
        row_.clear();
        AppendShownCode(shownCode_);
        row_ += '\t';
        table.AppendCellText(1, row_);
    }

    // A tab byte is a tab character however the rest decodes: as marks,
    // the code's tabs keep the name in its column.
    void AppendShownCode(std::string_view code)
    {
        for (std::size_t tab; (tab = code.find('\t')) != std::string_view::npos;
             code.remove_prefix(tab + 1)) {
            row_ += code.substr(0, tab);
            row_ += kTabMarkUtf8;
        }
        row_ += code;
    }

    std::string_view codeView_;
    std::string code_;      // every byte
    std::string shownCode_; // as CellText writes it
    std::string row_;       // the screen text
};

} // namespace

std::size_t
ForEachSearchRowView(TSQLiteDatabase& database, const CatalogQuery& query,
                     const std::function<void(std::string_view row, std::string_view code)>& appendRow)
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
                 const std::function<void(std::string_view row, std::string_view code)>& appendRow,
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
                                [&appendRow](std::string_view row, std::string_view code) {
                                    appendRow(QString::fromUtf8(row.data(),
                                                                static_cast<qsizetype>(row.size())),
                                              std::string(code));
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
