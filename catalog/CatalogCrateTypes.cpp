// SPDX-License-Identifier: MIT
#include "catalog/CatalogCrateTypes.h"

#include "base/DecimalText.h"

#include <QSet>

#include <cmath>

namespace {

bool HasControlCharacter(const QString& text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u <= 0x9F))
            return true;
    }
    return false;
}

// What is wrong, in the tool's English and in the window's Russian.
struct Fault {
    QString english, russian;
    bool Empty() const { return english.isEmpty(); }
};

Fault RowName(int position, const StoredCrateTypeRow& row)
{
    QString english = QStringLiteral("crate type row %1 (rowid %2").arg(position).arg(row.rowid);
    QString russian =
        QStringLiteral("строка %1 таблицы CRATE_TYPES (rowid %2").arg(position).arg(row.rowid);
    if (row.name.storage == TSQLiteTable::kText && !row.name.text.trimmed().isEmpty()) {
        const QString name = QStringLiteral(", \u00AB%1\u00BB").arg(row.name.text.trimmed());
        english += name;
        russian += name;
    }
    return {english + u')', russian + u')'};
}

// Why `value` cannot be the limit of `column`; empty when it can.
Fault LimitFault(const QString& column, const StoredValue& value)
{
    if (!value.IsNumber())
        return {QStringLiteral("%1 is %2, not a number").arg(column, value.Shown()),
                QStringLiteral("%1 = %2 \u2014 не число").arg(column, value.Shown())};
    if (!std::isfinite(value.Number()))
        return {QStringLiteral("%1 is not a finite number").arg(column),
                QStringLiteral("%1 \u2014 не конечное число").arg(column)};
    if (value.Number() < 0)
        return {QStringLiteral("%1 is negative (%2)").arg(column, value.Shown()),
                QStringLiteral("%1 отрицательно (%2)").arg(column, value.Shown())};
    return {};
}

Fault SlotsFault(const StoredValue& value)
{
    if (!value.IsNumber())
        return {QStringLiteral("SLOTS_COUNT is %1, not a number").arg(value.Shown()),
                QStringLiteral("SLOTS_COUNT = %1 \u2014 не число").arg(value.Shown())};
    if (value.storage == TSQLiteTable::kReal && value.real != std::floor(value.real))
        return {QStringLiteral("SLOTS_COUNT is %1, not a whole number").arg(value.Shown()),
                QStringLiteral("SLOTS_COUNT = %1 \u2014 не целое число").arg(value.Shown())};
    const double slots = value.Number();
    if (slots < 1 || slots > 255)
        return {QStringLiteral("SLOTS_COUNT is %1, outside 1 to 255").arg(value.Shown()),
                QStringLiteral("SLOTS_COUNT = %1 \u2014 вне пределов от 1 до 255").arg(value.Shown())};
    return {};
}

void AddProblem(CatalogCrateTypeTable& table, const Fault& fault)
{
    table.problems << fault.english;
    table.messages << fault.russian;
}

QString LimitText(const StoredValue& value)
{
    return FormatDecimal(value.Number(), QStringLiteral("."));
}

} // namespace

QStringList CrateTypeColumns()
{
    return {QStringLiteral("NAME"),        QStringLiteral("V5"),
            QStringLiteral("V7"),          QStringLiteral("V_7"),
            QStringLiteral("TOTAL_POWER"), QStringLiteral("SLOTS_COUNT")};
}

CatalogCrateTypeTable ValidateCrateTypeRows(const std::vector<StoredCrateTypeRow>& rows)
{
    CatalogCrateTypeTable table;
    table.present = true;
    if (rows.size() > static_cast<std::size_t>(kMaxCatalogCrateTypes)) {
        AddProblem(table,
                   {QStringLiteral("CRATE_TYPES has more than %1 rows").arg(kMaxCatalogCrateTypes),
                    QStringLiteral("в таблице CRATE_TYPES больше %1 строк").arg(kMaxCatalogCrateTypes)});
        return table;
    }
    if (rows.empty())
        AddProblem(table, {QStringLiteral("CRATE_TYPES has no rows"),
                           QStringLiteral("таблица CRATE_TYPES пуста")});
    QSet<QString> names;
    int position = 0;
    for (const StoredCrateTypeRow& row : rows) {
        ++position;
        std::vector<Fault> faults;
        const QString name = row.name.storage == TSQLiteTable::kText ? row.name.text.trimmed()
                                                                      : QString();
        if (row.name.storage != TSQLiteTable::kText)
            faults.push_back({QStringLiteral("NAME is %1, not a text").arg(row.name.Shown()),
                              QStringLiteral("NAME = %1 \u2014 не текст").arg(row.name.Shown())});
        else if (name.isEmpty())
            faults.push_back({QStringLiteral("NAME is blank"), QStringLiteral("NAME пусто")});
        else if (HasControlCharacter(name))
            faults.push_back({QStringLiteral("NAME holds a control character"),
                              QStringLiteral("NAME содержит управляющий символ")});
        else if (names.contains(name))
            faults.push_back({QStringLiteral("NAME is the same as an earlier row's"),
                              QStringLiteral("NAME повторяет имя строки выше")});
        names.insert(name);
        const std::pair<QString, const StoredValue*> limits[] = {
            {QStringLiteral("V5"), &row.v5},
            {QStringLiteral("V7"), &row.v7},
            {QStringLiteral("V_7"), &row.v_7},
            {QStringLiteral("TOTAL_POWER"), &row.power}};
        for (const auto& [column, value] : limits)
            if (const Fault fault = LimitFault(column, *value); !fault.Empty())
                faults.push_back(fault);
        if (const Fault fault = SlotsFault(row.slots); !fault.Empty())
            faults.push_back(fault);
        if (!faults.empty()) {
            const Fault where = RowName(position, row);
            QStringList english, russian;
            for (const Fault& fault : faults) {
                english << fault.english;
                russian << fault.russian;
            }
            AddProblem(table, {where.english + QStringLiteral(": ") + english.join(QStringLiteral("; ")),
                               where.russian + QStringLiteral(": ") + russian.join(QStringLiteral("; "))});
            continue;
        }
        table.types.push_back({name, LimitText(row.v5), LimitText(row.v7), LimitText(row.v_7),
                               LimitText(row.power), static_cast<std::int64_t>(row.slots.Number())});
    }
    if (!table.problems.isEmpty())
        table.types.clear();
    return table;
}

CatalogCrateTypeTable ReadCatalogCrateTypes(TSQLiteDatabase& database)
{
    QStringList columns;
    database.StreamRows("SELECT name FROM pragma_table_info('CRATE_TYPES')", {},
                        [&](const TSQLiteRowView& row) {
                            columns << ReadStoredValue(row, 0).text.toUpper();
                        });
    CatalogCrateTypeTable table;
    if (columns.isEmpty())
        return table;
    table.present = true;
    for (const QString& column : CrateTypeColumns())
        if (!columns.contains(column))
            AddProblem(table, {QStringLiteral("CRATE_TYPES has no column %1").arg(column),
                               QStringLiteral("в таблице CRATE_TYPES нет столбца %1").arg(column)});
    if (!table.problems.isEmpty())
        return table;

    std::vector<StoredCrateTypeRow> rows;
    database.StreamRows(
        "SELECT rowid, NAME, V5, V7, V_7, TOTAL_POWER, SLOTS_COUNT FROM CRATE_TYPES "
        "ORDER BY rowid LIMIT ?",
        {std::int64_t{kMaxCatalogCrateTypes + 1}}, [&](const TSQLiteRowView& row) {
            rows.push_back({row.Integer(0), ReadStoredValue(row, 1), ReadStoredValue(row, 2),
                            ReadStoredValue(row, 3), ReadStoredValue(row, 4),
                            ReadStoredValue(row, 5), ReadStoredValue(row, 6)});
        });
    return ValidateCrateTypeRows(rows);
}
