#include "CatalogQueries.h"

#include "DecimalText.h"

CatalogQuery QueryByCategory(int categoryNumber) {
    return {"SELECT IDENT, NAME_RUS FROM BLOCKS WHERE CATEGORY = ?",
            {std::int64_t{categoryNumber}}};
}

CatalogQuery QueryByCategoryAndSubcategory(int categoryNumber, int subcategoryCode) {
    return {"SELECT IDENT, NAME_RUS FROM BLOCKS WHERE CATEGORY = ? AND SUB_CATEGORY = ?",
            {std::int64_t{categoryNumber}, std::int64_t{subcategoryCode}}};
}

CatalogQuery QueryByCodeFragment(const QString& fragment) {
    return {"SELECT IDENT, NAME_RUS FROM BLOCKS where IDENT LIKE ? ORDER BY IDENT",
            {"%" + fragment.toStdString() + "%"}};
}

CatalogQuery QueryDetails(const QString& code) {
    return {"SELECT IDENT, NAME_RUS, VIPR, SLOTS_COUNT, V5, V7, V_7, TOTAL_POWER, CATEGORY, "
            "SUB_CATEGORY FROM BLOCKS where IDENT = ?",
            {code.toStdString()}};
}

QString PrepareFragment(const QString& typed) {
    const QString upper = typed.toUpper();
    qsizetype begin = 0;
    qsizetype end = upper.size();
    while (begin < end && upper.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && upper.at(end - 1).unicode() <= 32)
        --end;
    return upper.mid(begin, end - begin);
}

std::size_t ForEachSearchRow(TSQLiteDatabase& database, const CatalogQuery& query,
                             const std::function<void(const QString& row)>& appendRow) {
    const std::unique_ptr<TSQLiteTable> table = database.QueryTable(query.sql, query.params);
    std::size_t count = 0;
    std::string row; // one buffer for all rows
    for (; !table->IsAtEnd(); table->Advance()) {
        row.clear();
        table->AppendCellText(0, row);
        row += '\t';
        table->AppendCellText(1, row);
        appendRow(QString::fromUtf8(row));
        ++count;
    }
    return count;
}

BlockRecord ReadBlockDetails(TSQLiteDatabase& database, const QString& code) {
    const CatalogQuery query = QueryDetails(code);
    const std::unique_ptr<TSQLiteTable> table = database.QueryTable(query.sql, query.params);
    BlockRecord record;
    // CATEGORY and SUB_CATEGORY first: with no matching row this first read
    // raises the end-of-table failure before anything is filled.
    record.category = ParseInteger(table->CellText(8));
    record.subCategory = ParseInteger(table->CellText(9));
    QString* const texts[] = {&record.ident, &record.nameRus, &record.vipr, &record.slotsCount,
                              &record.v5,    &record.v7,      &record.v_7,  &record.totalPower};
    for (int column = 0; column < 8; ++column)
        *texts[column] = QString::fromUtf8(table->CellText(column));
    return record;
}
