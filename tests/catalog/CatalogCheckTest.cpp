// SPDX-License-Identifier: MIT
// The maintainer's check on a table of broken catalogs: each error and
// warning is found, and named with its place.

#include "catalog/CatalogCheck.h"
#include "Fixtures.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <functional>

namespace {

// A catalog without a single problem: 24 categories, subcategories of 21
// (two), 22 and 24 (one each), one block in every category and subcategory.
void WriteClean(FixtureCatalog& catalog)
{
    QStringList categories;
    for (int n = 1; n <= 24; ++n)
        categories << QStringLiteral("Категория %1").arg(n);
    catalog.WriteCategories(categories);
    catalog.WriteSubcategories(21, {QStringLiteral("Подкатегория 21-1"),
                                    QStringLiteral("Подкатегория 21-2")});
    catalog.WriteSubcategories(22, {QStringLiteral("Подкатегория 22-1")});
    catalog.WriteSubcategories(24, {QStringLiteral("Подкатегория 24-1")});
    std::vector<FixtureBlock> blocks;
    for (int n = 1; n <= 24; ++n) {
        if (n == 21 || n == 22 || n == 24)
            continue;
        blocks.push_back({QStringLiteral("B-%1").arg(n), QStringLiteral("Блок %1").arg(n),
                          QStringLiteral("ВП-%1").arg(n), 1, 0.5, 0.1, 0.05, 3.2, n, 0});
    }
    blocks.push_back({QStringLiteral("S-121"), QStringLiteral("Блок"), QStringLiteral("В"), 1, 0.1,
                      0, 0, 1, 21, 121});
    blocks.push_back({QStringLiteral("S-221"), QStringLiteral("Блок"), QStringLiteral("В"), 2, 0.1,
                      0, 0, 1, 21, 221});
    blocks.push_back({QStringLiteral("S-122"), QStringLiteral("Блок"), QStringLiteral("В"), 1, 0.1,
                      0, 0, 1, 22, 122});
    blocks.push_back({QStringLiteral("S-124"), QStringLiteral("Блок"), QStringLiteral("В"), 1, 0.1,
                      0, 0, 1, 24, 124});
    catalog.AddBlocks(blocks);
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes);
}

// BLOCKS again with one column declared otherwise.
QString RedeclareSql(const QString& column, const QString& type)
{
    QString declared = QStringLiteral(
        "IDENT TEXT, NAME_RUS TEXT, VIPR TEXT, SLOTS_COUNT INTEGER, V5 REAL, V7 REAL, V_7 REAL, "
        "TOTAL_POWER REAL, CATEGORY INTEGER, SUB_CATEGORY INTEGER");
    declared.replace(QRegularExpression(column + QStringLiteral(" [A-Z]+")), column + u' ' + type);
    return QStringLiteral("ALTER TABLE BLOCKS RENAME TO OLD; DROP INDEX BLOCKS_IDENT; "
                          "DROP INDEX BLOCKS_CATEGORY; CREATE TABLE BLOCKS (%1);"
                          "INSERT INTO BLOCKS SELECT * FROM OLD; DROP TABLE OLD;")
               .arg(declared) +
           BlocksTableSql();
}

struct BrokenCatalog {
    const char* name;
    std::function<void(FixtureCatalog&)> breakIt;
    CheckSeverity severity;
    const char* kind;
    const char* place;            // the problem's place contains it
    QStringList alsoKinds = {};   // other problems the fault brings with it
};

std::function<void(FixtureCatalog&)> Sql(const char* sql)
{
    return [sql](FixtureCatalog& c) { ExecSql(c.DatabasePath(), QString::fromUtf8(sql)); };
}

const CheckSeverity E = CheckSeverity::Error;
const CheckSeverity W = CheckSeverity::Warning;

const std::vector<BrokenCatalog>& Cases()
{
    static const std::vector<BrokenCatalog> cases = {
        {"missing table", Sql("DROP TABLE BLOCKS"), E, "missing-table", "VELTRUM.db"},
        {"missing column", Sql("ALTER TABLE BLOCKS DROP COLUMN V_7"), E, "missing-column",
         "BLOCKS"},
        {"current declared as text",
         [](FixtureCatalog& c) { ExecSql(c.DatabasePath(), RedeclareSql(QStringLiteral("V5"), QStringLiteral("TEXT"))); }, E,
         "column-type", "BLOCKS.V5", {QStringLiteral("not-a-number")}},
        {"slots declared in lower case",
         [](FixtureCatalog& c) { ExecSql(c.DatabasePath(), RedeclareSql(QStringLiteral("SLOTS_COUNT"), QStringLiteral("int"))); },
         E, "column-type", "BLOCKS.SLOTS_COUNT"},
        {"current as text with a comma", Sql("UPDATE BLOCKS SET V7 = '0,5' WHERE IDENT = 'B-3'"),
         E, "not-a-number", "block B-3 (rowid 3) V7"},
        {"NULL power", Sql("UPDATE BLOCKS SET TOTAL_POWER = NULL WHERE IDENT = 'B-4'"), E,
         "null-value", "block B-4 (rowid 4) TOTAL_POWER"},
        {"negative current", Sql("UPDATE BLOCKS SET V5 = -0.1 WHERE IDENT = 'B-5'"), E,
         "negative-value", "block B-5 (rowid 5) V5"},
        {"infinite current", Sql("UPDATE BLOCKS SET V_7 = 9e999 WHERE IDENT = 'B-6'"), E,
         "not-finite", "block B-6 (rowid 6) V_7"},
        {"slots above 255", Sql("UPDATE BLOCKS SET SLOTS_COUNT = 256 WHERE IDENT = 'B-7'"), E,
         "slots-range", "block B-7 (rowid 7) SLOTS_COUNT"},
        {"slots below 0", Sql("UPDATE BLOCKS SET SLOTS_COUNT = -1 WHERE IDENT = 'B-8'"), E,
         "slots-range", "block B-8 (rowid 8) SLOTS_COUNT"},
        {"code used twice",
         Sql("INSERT INTO BLOCKS SELECT IDENT, NAME_RUS, VIPR, SLOTS_COUNT, V5, V7, V_7, "
             "TOTAL_POWER, CATEGORY, SUB_CATEGORY FROM BLOCKS WHERE IDENT = 'B-9'"),
         E, "duplicate-code", "block B-9 (rowids 9, 26)"},
        {"code with a tab", Sql("UPDATE BLOCKS SET IDENT = 'B' || char(9) || '10' WHERE rowid = 10"),
         E, "control-character", "block B\\x0910 (rowid 10) IDENT"},
        {"code with lower-case Cyrillic", Sql("UPDATE BLOCKS SET IDENT = 'Бк-11' WHERE rowid = 11"),
         E, "lower-case-cyrillic", "block Бк-11 (rowid 11) IDENT"},
        {"category past the file", Sql("UPDATE BLOCKS SET CATEGORY = 25 WHERE IDENT = 'B-12'"), E,
         "unknown-category", "block B-12 (rowid 12) CATEGORY", {QStringLiteral("empty-category")}},
        {"subcategory past its file",
         Sql("UPDATE BLOCKS SET SUB_CATEGORY = 321 WHERE IDENT = 'S-221'"), E,
         "unknown-subcategory", "block S-221 (rowid 23) SUB_CATEGORY",
         {QStringLiteral("empty-category")}},
        {"subcategory code of another category",
         Sql("UPDATE BLOCKS SET SUB_CATEGORY = 122 WHERE IDENT = 'S-121'"), E,
         "unknown-subcategory", "block S-121 (rowid 22) SUB_CATEGORY",
         {QStringLiteral("empty-category")}},
        {"subcategory in a category without any",
         Sql("UPDATE BLOCKS SET SUB_CATEGORY = 101 WHERE IDENT = 'B-1'"), E,
         "unknown-subcategory", "block B-1 (rowid 1) SUB_CATEGORY"},
        {"category file in UTF-8",
         [](FixtureCatalog& c) {
             QByteArray names;
             for (int n = 1; n <= 24; ++n)
                 names += QStringLiteral("Категория %1\r\n").arg(n).toUtf8();
             WriteBytes(c.CategoryPath(QStringLiteral("Category000.itm")), names);
         },
         E, "not-windows-1251", "Category/Category000.itm"},
        {"category file with a byte-order mark",
         [](FixtureCatalog& c) {
             QFile file(c.CategoryPath(QStringLiteral("Category021.itm")));
             ASSERT_TRUE(file.open(QIODevice::ReadOnly));
             const QByteArray bytes = file.readAll();
             file.close();
             WriteBytes(c.CategoryPath(QStringLiteral("Category021.itm")), "\xEF\xBB\xBF" + bytes);
         },
         E, "byte-order-mark", "Category/Category021.itm:1"},
        {"byte outside Windows-1251",
         [](FixtureCatalog& c) {
             WriteBytes(c.CategoryPath(QStringLiteral("Category022.itm")), "Sub\x98name\r\n");
         },
         E, "not-windows-1251", "Category/Category022.itm:1"},
        {"blank category name",
         [](FixtureCatalog& c) {
             QStringList categories;
             for (int n = 1; n <= 24; ++n)
                 categories << (n == 5 ? QStringLiteral("  ") : QStringLiteral("Категория %1").arg(n));
             c.WriteCategories(categories);
         },
         E, "blank-name", "Category/Category000.itm:5"},
        {"invalid crate type table",
         Sql("CREATE TABLE CRATE_TYPES (NAME TEXT, V5 REAL, V7 REAL, V_7 REAL, TOTAL_POWER REAL, "
             "SLOTS_COUNT INTEGER); INSERT INTO CRATE_TYPES VALUES ('K', 1, 1, 1, 10, 0)"),
         E, "crate-types", "CRATE_TYPES"},
        {"no index on the code", Sql("DROP INDEX BLOCKS_IDENT"), W, "missing-index", "BLOCKS"},
        {"no index on the category", Sql("DROP INDEX BLOCKS_CATEGORY"), W, "missing-index",
         "BLOCKS"},
        {"category without blocks", Sql("DELETE FROM BLOCKS WHERE CATEGORY = 5"), W,
         "empty-category", "Category/Category000.itm:5"},
        {"subcategory without blocks", Sql("DELETE FROM BLOCKS WHERE SUB_CATEGORY = 221"), W,
         "empty-category", "Category/Category021.itm:2"},
        {"all amounts zero",
         Sql("UPDATE BLOCKS SET V5 = 0, V7 = 0, V_7 = 0, TOTAL_POWER = 0 WHERE IDENT = 'B-13'"), W,
         "all-zero", "block B-13 (rowid 13)"},
        {"no slot", Sql("UPDATE BLOCKS SET SLOTS_COUNT = 0 WHERE IDENT = 'B-14'"), W, "no-slot",
         "block B-14 (rowid 14) SLOTS_COUNT"},
        {"lower-case Latin code", Sql("UPDATE BLOCKS SET IDENT = 'b-15' WHERE IDENT = 'B-15'"), W,
         "lower-case-latin", "block b-15 (rowid 15) IDENT"},
        {"subcategory 0 in a category with subcategories",
         Sql("INSERT INTO BLOCKS VALUES ('S-0', 'Блок', 'В', 1, 0.1, 0, 0, 1, 21, 0)"), W,
         "no-subcategory", "block S-0 (rowid 26) SUB_CATEGORY"},
    };
    return cases;
}

class BrokenCatalogTest : public ::testing::TestWithParam<BrokenCatalog> {};

TEST_P(BrokenCatalogTest, FindsTheProblemAndNamesItsPlace)
{
    const BrokenCatalog& broken = GetParam();
    FixtureCatalog catalog;
    WriteClean(catalog);
    broken.breakIt(catalog);

    const CatalogCheckResult result = CheckCatalog(catalog.Dir());
    bool found = false;
    for (const CatalogProblem& problem : result.problems) {
        if (problem.kind == QString::fromLatin1(broken.kind) && problem.severity == broken.severity &&
            problem.place.contains(QString::fromUtf8(broken.place))) {
            found = true;
            EXPECT_FALSE(problem.message.isEmpty());
            continue;
        }
        EXPECT_TRUE(broken.alsoKinds.contains(problem.kind))
            << "unexpected: " << CheckReportText({{problem}, 0, 0, 0}).toStdString();
    }
    EXPECT_TRUE(found) << CheckReportText(result).toStdString();
    EXPECT_EQ(result.Count(CheckSeverity::Error) > 0, broken.severity == CheckSeverity::Error);
}

INSTANTIATE_TEST_SUITE_P(Catalogs, BrokenCatalogTest, ::testing::ValuesIn(Cases()),
                         [](const auto& param) {
                             std::string name;
                             for (const char c : std::string(param.param.name))
                                 name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

TEST(CatalogCheck, CleanCatalogHasOnlyTheCountLine)
{
    FixtureCatalog catalog;
    WriteClean(catalog);
    const CatalogCheckResult result = CheckCatalog(catalog.Dir());
    EXPECT_TRUE(result.problems.empty()) << CheckReportText(result).toStdString();
    EXPECT_EQ(result.blocks, 25u);
    EXPECT_EQ(CheckReportText(result),
              QStringLiteral("25 blocks, 24 categories, 0 crate types: 0 errors, 0 warnings\n"));
}

TEST(CatalogCheck, SampleCatalogsHaveNoErrors)
{
    for (const char* dir : {VELTRUM_SAMPLE_DIR, VELTRUM_CRATES_SAMPLE_DIR}) {
        const CatalogCheckResult result = CheckCatalog(QString::fromUtf8(dir));
        EXPECT_EQ(result.Count(CheckSeverity::Error), 0) << CheckReportText(result).toStdString();
        EXPECT_GT(result.blocks, 0u) << dir;
    }
    EXPECT_EQ(CheckCatalog(QStringLiteral(VELTRUM_CRATES_SAMPLE_DIR)).crateTypes, 4);
}

TEST(CatalogCheck, JsonCarriesTheSameProblemsWithTheirPlaces)
{
    FixtureCatalog catalog;
    WriteClean(catalog);
    ExecSql(catalog.DatabasePath(), QStringLiteral("UPDATE BLOCKS SET V5 = -1 WHERE rowid = 2;"
                                                   "DROP INDEX BLOCKS_IDENT;"));
    const CatalogCheckResult result = CheckCatalog(catalog.Dir());
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(CheckReportJson(result), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    const QJsonObject report = json.object();
    EXPECT_EQ(report[QStringLiteral("errors")].toInt(), 1);
    EXPECT_EQ(report[QStringLiteral("warnings")].toInt(), 1);
    EXPECT_EQ(report[QStringLiteral("blocks")].toInt(), 25);
    const QJsonArray problems = report[QStringLiteral("problems")].toArray();
    ASSERT_EQ(problems.size(), 2);
    QJsonObject negative;
    for (const auto& p : problems)
        if (p.toObject()[QStringLiteral("kind")] == QStringLiteral("negative-value"))
            negative = p.toObject();
    EXPECT_EQ(negative[QStringLiteral("severity")].toString(), QStringLiteral("error"));
    EXPECT_EQ(negative[QStringLiteral("code")].toString(), QStringLiteral("B-2"));
    EXPECT_EQ(negative[QStringLiteral("rowid")].toInt(), 2);
    EXPECT_EQ(negative[QStringLiteral("column")].toString(), QStringLiteral("V5"));
}

TEST(CatalogCheck, UnreadableCatalogsAreRefusedAsAWhole)
{
    FixtureCatalog missing;
    EXPECT_THROW(CheckCatalog(missing.Dir()), ECatalogUnreadable);
    FixtureCatalog notADatabase;
    WriteBytes(notADatabase.DatabasePath(), QByteArray(4096, 'x'));
    EXPECT_THROW(CheckCatalog(notADatabase.Dir()), ECatalogUnreadable);
    EXPECT_THROW(CheckCatalog(missing.Dir() + QStringLiteral("/nowhere")), ECatalogUnreadable);
}

TEST(CatalogCheck, DeclaredKindsFollowTheProgramsReading)
{
    const std::pair<const char*, DeclaredKind> cases[] = {
        {"INTEGER", DeclaredKind::Integer}, {"BOOLEAN", DeclaredKind::Integer},
        {"REAL", DeclaredKind::Real},       {"FLOAT", DeclaredKind::Real},
        {"DOUBLE", DeclaredKind::Real},     {"NUMERIC", DeclaredKind::Real},
        {"real", DeclaredKind::Other},      {"INT", DeclaredKind::Other},
        {"DOUBLE PRECISION", DeclaredKind::Other}, {"", DeclaredKind::Other}};
    for (const auto& [type, kind] : cases)
        EXPECT_EQ(DeclaredKindOf(QString::fromLatin1(type)), kind) << type;
}

} // namespace
