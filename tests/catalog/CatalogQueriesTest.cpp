// SPDX-License-Identifier: MIT
#include "catalog/CatalogQueries.h"

#include "catalog/CategoryFiles.h"
#include "Fixtures.h"
#include "ThrownMessage.h"

#include <gtest/gtest.h>

namespace {

class CatalogQueriesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        catalog_.WriteStandard();
        db_ = std::make_unique<TSQLiteDatabase>(catalog_.DatabasePath().toStdString(), ".",
                                                TSQLiteDatabase::OpenMode::ReadOnly);
    }

    QStringList Rows(const CatalogQuery& query)
    {
        QStringList rows;
        std::vector<std::string> codes;
        const std::size_t count =
            ForEachSearchRow(*db_, query, [&](const QString& row, const std::string& code) {
                rows.append(row);
                codes.push_back(code);
            });
        EXPECT_EQ(count, static_cast<std::size_t>(rows.size()));
        // The view form hands over the same rows and codes.
        QStringList viewed;
        std::vector<std::string> viewedCodes;
        ForEachSearchRowView(*db_, query, [&](std::string_view row, std::string_view code) {
            viewed.append(QString::fromUtf8(row.data(), static_cast<qsizetype>(row.size())));
            viewedCodes.emplace_back(code);
        });
        EXPECT_EQ(viewed, rows);
        EXPECT_EQ(viewedCodes, codes);
        // So does the streamed form, which the window fills its list with.
        QStringList streamed;
        std::vector<std::string> streamedCodes;
        const std::size_t streamedCount = StreamSearchRows(
            *db_, query,
            [&](std::string_view row, std::string_view code) {
                streamed.append(QString::fromUtf8(row.data(), static_cast<qsizetype>(row.size())));
                streamedCodes.emplace_back(code);
            },
            [] { ADD_FAILURE() << "an unchanged catalog is read once"; });
        EXPECT_EQ(streamedCount, count);
        EXPECT_EQ(streamed, rows);
        EXPECT_EQ(streamedCodes, codes);
        lastCodes_ = codes;
        return rows;
    }

    static QString Row(const char* code, const char* name)
    {
        return QString::fromUtf8(code) + QLatin1Char('\t') + QString::fromUtf8(name);
    }

    FixtureCatalog catalog_;
    std::unique_ptr<TSQLiteDatabase> db_;
    std::vector<std::string> lastCodes_; // the codes of the last Rows call
};

} // namespace

TEST(CatalogQueries, StatementsBindTheirValues)
{
    const struct {
        CatalogQuery query;
        std::string sql;
        TSQLiteParams params;
    } cases[] = {
        {QueryByCategory(6),
         "SELECT IDENT, NAME_RUS FROM BLOCKS WHERE CATEGORY = ?",
         {std::int64_t{6}}},
        {QueryByCategoryAndSubcategory(24, 324),
         "SELECT IDENT, NAME_RUS FROM BLOCKS WHERE CATEGORY = ? AND SUB_CATEGORY = ?",
         {std::int64_t{24}, std::int64_t{324}}},
        {QueryByCodeFragment(QStringLiteral("БК\"")),
         "SELECT IDENT, NAME_RUS FROM BLOCKS where IDENT LIKE ? ORDER BY IDENT",
         {std::string("%БК\"%")}},
        {QueryDetails("V5"),
         "SELECT IDENT, NAME_RUS, VIPR, SLOTS_COUNT, V5, V7, V_7, TOTAL_POWER, CATEGORY, "
         "SUB_CATEGORY FROM BLOCKS where IDENT = ?",
         {std::string("V5")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql);
        EXPECT_EQ(c.query.sql, c.sql);
        EXPECT_EQ(c.query.params, c.params);
    }
}

TEST(CatalogQueries, PrepareFragmentUpperCasesAndTrims)
{
    const struct {
        QString typed, prepared;
    } cases[] = {
        {QStringLiteral("  mk1 "), QStringLiteral("MK1")},
        {QStringLiteral("\t\nбк-7\r"), QStringLiteral("БК-7")},
        {QStringLiteral("ёж"), QStringLiteral("ЁЖ")},
        {QStringLiteral(" a b "), QStringLiteral("A B")},
        {QStringLiteral("\x01x\x1f"), QStringLiteral("X")},
        {QStringLiteral("\u00A0x\u00A0"), QStringLiteral("\u00A0X\u00A0")}, // above 32: kept
        {QStringLiteral("   "), QString()},
        {QString(), QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        EXPECT_EQ(PrepareFragment(c.typed), c.prepared);
    }
}

TEST_F(CatalogQueriesTest, CategoryQueriesKeepDatabaseOrder)
{
    const struct {
        CatalogQuery query;
        QStringList rows;
    } cases[] = {
        {QueryByCategory(CategoryNumber(5)),
         {Row("ZB-600", "Блок зет"), Row("AB-601", "Блок а"), Row("MK1-050", "Модуль малый")}},
        {QueryByCategory(CategoryNumber(-1)), {}},
        {QueryByCategoryAndSubcategory(CategoryNumber(20), SubcategoryCode(20, 1)),
         {Row("SUB-221A", "Блок подкатегории 21-2")}},
        {QueryByCategoryAndSubcategory(24, SubcategoryCode(23, 2)),
         {Row("SUB-324A", "Блок подкатегории 24-3")}},
        {QueryByCategoryAndSubcategory(22, SubcategoryCode(21, 0)), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rows.join(QLatin1Char('|')).toStdString());
        EXPECT_EQ(Rows(c.query), c.rows);
    }
}

TEST_F(CatalogQueriesTest, FragmentQueryFindsCodesInCodeOrder)
{
    const struct {
        const char* typed;
        QStringList rows;
    } cases[] = {
        {"  mk1 ",
         {Row("MK1-050", "Модуль малый"), Row("MK1-100", "Модуль контроллера"),
          Row("MK1-200", "Модуль контроллера двойной")}},
        {"бк", {Row("БК-7", "Блок коммутации")}},
        {"60", {Row("AB-601", "Блок а"), Row("ZB-600", "Блок зет")}},
        {"zzz", {}},
        {"MK1\"", {}},        // a double quote is just a character of the value
        {"\" OR 1=1 --", {}}, // and cannot change the statement
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(Rows(QueryByCodeFragment(PrepareFragment(QString::fromUtf8(c.typed)))), c.rows);
    }
}

TEST_F(CatalogQueriesTest, DetailsOfOneBlock)
{
    // Codes that equal column names are values, not columns.
    const BlockRecord v5 = ReadBlockDetails(*db_, "V5");
    EXPECT_EQ(v5.ident, QStringLiteral("V5"));
    EXPECT_EQ(v5.nameRus, QStringLiteral("Блок с шифром V5"));
    EXPECT_EQ(v5.vipr, QStringLiteral("ВП-5"));
    EXPECT_EQ(v5.slotsCount, QStringLiteral("1"));
    EXPECT_EQ(v5.v5, QStringLiteral("0.2"));
    EXPECT_EQ(v5.v7, QStringLiteral("0"));
    EXPECT_EQ(v5.v_7, QStringLiteral("0"));
    EXPECT_EQ(v5.totalPower, QStringLiteral("1"));
    EXPECT_EQ(v5.category, 3);
    EXPECT_EQ(v5.subCategory, 0);

    const BlockRecord ident = ReadBlockDetails(*db_, "IDENT");
    EXPECT_EQ(ident.ident, QStringLiteral("IDENT"));
    EXPECT_EQ(ident.nameRus, QStringLiteral("Блок с шифром IDENT"));

    TSQLiteDatabase comma(catalog_.DatabasePath().toStdString(), ",",
                          TSQLiteDatabase::OpenMode::ReadOnly);
    const BlockRecord sub = ReadBlockDetails(comma, "SUB-324A");
    EXPECT_EQ(sub.nameRus, QStringLiteral("Блок подкатегории 24-3"));
    EXPECT_EQ(sub.slotsCount, QStringLiteral("3"));
    EXPECT_EQ(sub.v5, QStringLiteral("1,5"));
    EXPECT_EQ(sub.v7, QStringLiteral("0,5"));
    EXPECT_EQ(sub.totalPower, QStringLiteral("12"));
    EXPECT_EQ(sub.category, 24);
    EXPECT_EQ(sub.subCategory, 324);
}

TEST_F(CatalogQueriesTest, FindingABlockThatMayBeGoneAsksOnceAndSaysNoneWhenItIs)
{
    const std::optional<BlockRecord> found = FindBlockDetails(*db_, "V5");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->nameRus, ReadBlockDetails(*db_, "V5").nameRus);
    EXPECT_EQ(found->v5, QStringLiteral("0.2"));
    EXPECT_FALSE(FindBlockDetails(*db_, "MK1").has_value()) << "only the exact code";
    EXPECT_FALSE(FindBlockDetails(*db_, "").has_value());

    // A missing table is still the layer's failure, not a block that is gone.
    TSQLiteDatabase empty(catalog_.Dir().toStdString() + "/empty.db");
    EXPECT_THROW((void)FindBlockDetails(empty, "V5"), ESQLiteException);
}

TEST_F(CatalogQueriesTest, MissingCodeOrTableRaisesTheLayersFailure)
{
    EXPECT_EQ(ThrownMessage<ESQLiteException>([&] { ReadBlockDetails(*db_, "MK1"); }),
              "ДОСТИГНУТ КОНЕЦ ТАБЛИЦЫ, ЗНАЧЕНИЕ НЕ НАЙДЕНО!");

    TSQLiteDatabase empty(catalog_.Dir().toStdString() + "/empty.db");
    int delivered = 0;
    EXPECT_EQ(ThrownMessage<ESQLiteException>([&] {
                  ForEachSearchRow(empty, QueryByCategory(1),
                                   [&](const QString&, const std::string&) { ++delivered; });
              }),
              "ОШИБКА ВЫПОЛНЕНИЯ SQL-ЗАПРОСА. \"SELECT IDENT, NAME_RUS FROM BLOCKS WHERE "
              "CATEGORY = ?\" : no such table: BLOCKS");
    EXPECT_EQ(delivered, 0);
}

// A code known exactly shows as the details show it after a search.
TEST(CatalogQueries, ExactCodesShowAsTheDetailsShowThem)
{
    const struct {
        QString exact, shown;
    } cases[] = {
        {QStringLiteral("MK1-100"), QStringLiteral("MK1-100")},
        {QStringLiteral("TB\tX"), QStringLiteral("TB→X")},
        {QString::fromUtf8("EF\0GH", 5), QStringLiteral("EF")},
        {QString::fromUtf8("\0X", 2), QString()},
        {QString(), QString()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExactCodeOnScreen(c.exact), c.shown) << c.exact.toStdString();
}
