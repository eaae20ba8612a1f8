// SPDX-License-Identifier: MIT
// Crate types kept in the catalog: the validity rules on a table of rows,
// and reading the table from a database.

#include "catalog/CatalogCrateTypes.h"
#include "Fixtures.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using V = StoredValue;

StoredCrateTypeRow Row(std::int64_t rowid, const QString& name, V v5 = V::Real(4), V slots = V::Integer(4))
{
    return {rowid, V::Text(name), v5, V::Real(1.4), V::Real(0.8), V::Real(35.4), slots};
}

struct InvalidCase {
    const char* name;
    std::vector<StoredCrateTypeRow> rows;
    const char* reason; // the first problem contains it
};

TEST(CatalogCrateTypes, InvalidTablesNameTheRowAndWhy)
{
    const std::vector<InvalidCase> cases = {
        {"blank name", {Row(1, QStringLiteral("A")), Row(7, QStringLiteral("  "))},
         "crate type row 2 (rowid 7): NAME is blank"},
        {"two faults in one row", {Row(1, QStringLiteral("A"), V::Real(-1), V::Integer(300))},
         "crate type row 1 (rowid 1, «A»): V5 is negative (-1); SLOTS_COUNT is 300, outside 1 to 255"},
        {"name twice", {Row(1, QStringLiteral("A")), Row(2, QStringLiteral(" A "))},
         "crate type row 2 (rowid 2, «A»): NAME is the same as an earlier row's"},
        {"name not a text", {{1, V::Integer(5), V::Real(1), V::Real(1), V::Real(1), V::Real(1), V::Integer(1)}},
         "NAME is 5, not a text"},
        {"name with a tab", {Row(1, QStringLiteral("A\tB"))}, "NAME holds a control character"},
        {"current as text", {Row(1, QStringLiteral("A"), V::Text(QStringLiteral("1,4")))},
         "crate type row 1 (rowid 1, «A»): V5 is \"1,4\", not a number"},
        {"current NULL", {Row(1, QStringLiteral("A"), V::Null())}, "V5 is NULL, not a number"},
        {"negative current", {Row(1, QStringLiteral("A"), V::Real(-1))}, "V5 is negative (-1)"},
        {"infinite current", {Row(1, QStringLiteral("A"), V::Real(INFINITY))}, "V5 is not a finite number"},
        {"no slot", {Row(1, QStringLiteral("A"), V::Real(4), V::Integer(0))}, "SLOTS_COUNT is 0, outside 1 to 255"},
        {"256 slots", {Row(1, QStringLiteral("A"), V::Real(4), V::Integer(256))}, "SLOTS_COUNT is 256, outside 1 to 255"},
        {"slots with a fraction", {Row(1, QStringLiteral("A"), V::Real(4), V::Real(2.5))}, "SLOTS_COUNT is 2.5, not a whole number"},
        {"no rows", {}, "CRATE_TYPES has no rows"},
    };
    for (const InvalidCase& c : cases) {
        const CatalogCrateTypeTable table = ValidateCrateTypeRows(c.rows);
        EXPECT_FALSE(table.Valid()) << c.name;
        EXPECT_TRUE(table.types.empty()) << c.name;
        ASSERT_FALSE(table.problems.isEmpty()) << c.name;
        EXPECT_TRUE(table.problems.front().contains(QString::fromUtf8(c.reason)))
            << c.name << ": " << table.problems.front().toStdString();
        EXPECT_EQ(table.messages.size(), table.problems.size()) << c.name;
    }
}

TEST(CatalogCrateTypes, TheWindowsMessageNamesTheRowInRussian)
{
    const CatalogCrateTypeTable table = ValidateCrateTypeRows(
        {Row(1, QStringLiteral("A")), Row(4, QStringLiteral("B"), V::Text(QStringLiteral("1,4")))});
    EXPECT_EQ(table.messages,
              QStringList{QStringLiteral(
                  "строка 2 таблицы CRATE_TYPES (rowid 4, «B»): V5 = \"1,4\" — не число")});
}

TEST(CatalogCrateTypes, SixtyFourRowsAreAllowedSixtyFiveAreNot)
{
    std::vector<StoredCrateTypeRow> rows;
    for (int i = 1; i <= 64; ++i)
        rows.push_back(Row(i, QStringLiteral("K-%1").arg(i)));
    EXPECT_TRUE(ValidateCrateTypeRows(rows).Valid());
    rows.push_back(Row(65, QStringLiteral("K-65")));
    const CatalogCrateTypeTable table = ValidateCrateTypeRows(rows);
    ASSERT_EQ(table.problems.size(), 1);
    EXPECT_EQ(table.problems.front(), QStringLiteral("CRATE_TYPES has more than 64 rows"));
    EXPECT_EQ(table.messages, QStringList{QStringLiteral("в таблице CRATE_TYPES больше 64 строк")});
}

TEST(CatalogCrateTypes, ValidRowsGiveDecimalTextsInOrder)
{
    const CatalogCrateTypeTable table = ValidateCrateTypeRows(
        {{3, V::Text(QStringLiteral(" KSV-64 ")), V::Real(24), V::Real(0.1 + 0.2), V::Integer(0),
          V::Real(250.5), V::Integer(64)},
         Row(9, QStringLiteral("KSV-1"))});
    ASSERT_TRUE(table.Valid()) << table.problems.join(u'\n').toStdString();
    ASSERT_EQ(table.types.size(), 2u);
    const CatalogCrateType& first = table.types[0];
    EXPECT_EQ(first.name, QStringLiteral("KSV-64"));
    EXPECT_EQ(first.v5, QStringLiteral("24"));
    EXPECT_EQ(first.v7, QStringLiteral("0.3")); // 15 significant digits, as shown
    EXPECT_EQ(first.v_7, QStringLiteral("0")); // a limit of 0 is allowed
    EXPECT_EQ(first.power, QStringLiteral("250.5"));
    EXPECT_EQ(first.slots, 64);
    EXPECT_EQ(table.types[1].name, QStringLiteral("KSV-1"));
}

TEST(CatalogCrateTypes, ReadFromTheCatalog)
{
    FixtureCatalog catalog;
    catalog.WriteStandard();
    TSQLiteDatabase without(catalog.DatabasePath().toStdString(), ".",
                            TSQLiteDatabase::OpenMode::ReadOnly);
    EXPECT_FALSE(ReadCatalogCrateTypes(without).present);

    FixtureCatalog with;
    with.WriteStandard();
    ExecSql(with.DatabasePath(),
            QStringLiteral("CREATE TABLE CRATE_TYPES (NAME TEXT, V5 REAL, V7 REAL, V_7 REAL, "
                           "TOTAL_POWER REAL, SLOTS_COUNT INTEGER);"
                           "INSERT INTO CRATE_TYPES VALUES ('B', 3, 1.4, 0.7, 28.5, 4);"
                           "INSERT INTO CRATE_TYPES VALUES ('A', 16, 5, 3, 140, 64);"
                           "DELETE FROM CRATE_TYPES WHERE NAME = 'B';"
                           "INSERT INTO CRATE_TYPES VALUES ('C', 1, 1, 1, 1, 1);"));
    TSQLiteDatabase database(with.DatabasePath().toStdString(), ".",
                             TSQLiteDatabase::OpenMode::ReadOnly);
    const CatalogCrateTypeTable table = ReadCatalogCrateTypes(database);
    ASSERT_TRUE(table.Valid()) << table.problems.join(u'\n').toStdString();
    ASSERT_EQ(table.types.size(), 2u); // rowid order: A, then C
    EXPECT_EQ(table.types[0].name, QStringLiteral("A"));
    EXPECT_EQ(table.types[0].slots, 64);
    EXPECT_EQ(table.types[1].name, QStringLiteral("C"));

    FixtureCatalog lacking;
    lacking.WriteStandard();
    ExecSql(lacking.DatabasePath(),
            QStringLiteral("CREATE TABLE CRATE_TYPES (NAME TEXT, V5 REAL, V7 REAL, V_7 REAL, "
                           "TOTAL_POWER REAL)"));
    TSQLiteDatabase lackingDb(lacking.DatabasePath().toStdString(), ".",
                              TSQLiteDatabase::OpenMode::ReadOnly);
    const CatalogCrateTypeTable invalid = ReadCatalogCrateTypes(lackingDb);
    EXPECT_TRUE(invalid.present);
    EXPECT_EQ(invalid.problems, QStringList{QStringLiteral("CRATE_TYPES has no column SLOTS_COUNT")});
    EXPECT_EQ(invalid.messages,
              QStringList{QStringLiteral("в таблице CRATE_TYPES нет столбца SLOTS_COUNT")});
}

TEST(CatalogCrateTypes, MoreThanSixtyFourRowsInTheCatalog)
{
    FixtureCatalog catalog;
    catalog.WriteStandard();
    QString sql = QStringLiteral("CREATE TABLE CRATE_TYPES (NAME TEXT, V5 REAL, V7 REAL, V_7 REAL, "
                                 "TOTAL_POWER REAL, SLOTS_COUNT INTEGER);");
    for (int i = 1; i <= 70; ++i)
        sql += QStringLiteral("INSERT INTO CRATE_TYPES VALUES ('K-%1', 1, 1, 1, 1, 1);").arg(i);
    ExecSql(catalog.DatabasePath(), sql);
    TSQLiteDatabase database(catalog.DatabasePath().toStdString(), ".",
                             TSQLiteDatabase::OpenMode::ReadOnly);
    EXPECT_EQ(ReadCatalogCrateTypes(database).problems,
              QStringList{QStringLiteral("CRATE_TYPES has more than 64 rows")});
}

} // namespace
