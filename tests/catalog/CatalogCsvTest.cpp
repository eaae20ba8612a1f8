// SPDX-License-Identifier: MIT
// Export and import through CSV: round trips give back the same catalog,
// an edited file comes back with its edits, and a refused import writes
// nothing at all.

#include "catalog/CatalogCheck.h"
#include "catalog/CatalogExport.h"
#include "catalog/CatalogImport.h"
#include "catalog/CategoryFiles.h"
#include "CsvReader.h"
#include "Fixtures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

// Rows of `sql` on the database at `path`, each as its fields joined by
// '|', read through SQLite's own API, apart from the code under test.
QStringList Rows(const QString& path, const char* sql)
{
    QStringList rows;
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr),
              SQLITE_OK);
    sqlite3_stmt* statement = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db, sql, -1, &statement, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    while (statement && sqlite3_step(statement) == SQLITE_ROW) {
        QStringList fields;
        for (int k = 0; k < sqlite3_column_count(statement); ++k)
            fields << QString::fromUtf8(
                reinterpret_cast<const char*>(sqlite3_column_text(statement, k)));
        rows << fields.join(u'|');
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rows;
}

// Every column of every block in rowid order, amounts to 15 significant
// digits with their storage class.
QStringList Blocks(const QString& dir)
{
    return Rows(dir + QStringLiteral("/VELTRUM.db"),
                "SELECT IDENT, NAME_RUS, VIPR, typeof(SLOTS_COUNT), SLOTS_COUNT, "
                "typeof(V5), printf('%.15g', V5), printf('%.15g', V7), printf('%.15g', V_7), "
                "printf('%.15g', TOTAL_POWER), typeof(TOTAL_POWER), CATEGORY, SUB_CATEGORY "
                "FROM BLOCKS ORDER BY rowid");
}

QStringList CrateTypes(const QString& dir)
{
    QStringList tables = Rows(dir + QStringLiteral("/VELTRUM.db"),
                              "SELECT name FROM sqlite_master WHERE name = 'CRATE_TYPES'");
    if (tables.isEmpty())
        return {};
    return Rows(dir + QStringLiteral("/VELTRUM.db"),
                "SELECT NAME, printf('%.15g', V5), printf('%.15g', V7), printf('%.15g', V_7), "
                "printf('%.15g', TOTAL_POWER), SLOTS_COUNT FROM CRATE_TYPES ORDER BY rowid");
}

QStringList Categories(const QString& dir)
{
    QStringList all;
    for (const int n : {0, 21, 22, 24})
        all << QString::number(n) << LoadCategoryFile(CategoryFilePath(dir, n));
    return all;
}

QString ReadText(const QString& path)
{
    QFile in(path);
    EXPECT_TRUE(in.open(QIODevice::ReadOnly)) << path.toStdString();
    QByteArray bytes = in.readAll();
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF")) << path.toStdString();
    return QString::fromUtf8(bytes.mid(3));
}

void WriteText(const QString& path, const QString& text)
{
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("\xEF\xBB\xBF" + text.toUtf8());
}

// Nothing named "<target>.importing-..." is left beside the target.
bool NoTemporaryLeft(const QString& target)
{
    const QFileInfo info(target);
    return QDir(info.absolutePath())
        .entryList({info.fileName() + QStringLiteral(".importing-*")},
                   QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
        .isEmpty();
}

struct RoundTrip {
    const char* catalog;
    const char* decimalSeparator;
};

class CatalogRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(CatalogRoundTrip, ExportThenImportGivesTheSameCatalog)
{
    const QString source = QString::fromUtf8(GetParam().catalog);
    QTemporaryDir work;
    const QString csv = work.filePath(QStringLiteral("catalog.csv"));
    const QString target = work.filePath(QStringLiteral("new"));

    const CatalogExportResult exported =
        ExportCatalog(source, csv, QString::fromLatin1(GetParam().decimalSeparator));
    EXPECT_GT(exported.blocks, 0);
    const QChar separator = *GetParam().decimalSeparator == ',' ? u';' : u',';
    const auto records = ReadCsv(ReadText(csv), separator);
    ASSERT_EQ(records.size(), static_cast<std::size_t>(exported.blocks) + 1);
    EXPECT_EQ(records.front().size(), 12);

    ImportCatalog(csv, target);
    EXPECT_EQ(Blocks(target), Blocks(source));
    EXPECT_EQ(Categories(target), Categories(source));
    EXPECT_EQ(CrateTypes(target), CrateTypes(source));
    EXPECT_EQ(CheckCatalog(target).Count(CheckSeverity::Error), 0);
    EXPECT_TRUE(NoTemporaryLeft(target));
    // Category files: Windows-1251 with CR LF line ends.
    QFile categories(CategoryFilePath(target, 0));
    ASSERT_TRUE(categories.open(QIODevice::ReadOnly));
    const QByteArray bytes = categories.readAll();
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    EXPECT_EQ(bytes.count("\r\n"), bytes.count("\n"));
}

INSTANTIATE_TEST_SUITE_P(
    Samples, CatalogRoundTrip,
    ::testing::Values(RoundTrip{VELTRUM_SAMPLE_DIR, "."}, RoundTrip{VELTRUM_SAMPLE_DIR, ","},
                      RoundTrip{VELTRUM_CRATES_SAMPLE_DIR, ","},
                      RoundTrip{VELTRUM_CRATES_SAMPLE_DIR, "."}));

TEST(CatalogImport, EditsInTheSpreadsheetComeBack)
{
    QTemporaryDir work;
    const QString csv = work.filePath(QStringLiteral("catalog.csv"));
    const QString target = work.filePath(QStringLiteral("edited"));
    ExportCatalog(QStringLiteral(VELTRUM_CRATES_SAMPLE_DIR), csv, QStringLiteral(","));

    // A changed current, a new block in a new category, a new crate type.
    QString blocks = ReadText(csv);
    ASSERT_TRUE(blocks.contains(QStringLiteral("MK1-03;Процессорный модуль базовый;ВЛТМ.468020.001;1;1;0,05;")));
    blocks.replace(QStringLiteral("MK1-03;Процессорный модуль базовый;ВЛТМ.468020.001;1;1;0,05;"),
                   QStringLiteral("MK1-03;Процессорный модуль базовый;ВЛТМ.468020.001;1;1,25;0,05;"));
    blocks += QStringLiteral("NEW-1;\"Новый блок; с точкой с запятой\";ВП-1;2;0,5;0;0;3,5;;;"
                             "Новая категория;\r\n");
    WriteText(csv, blocks);
    WriteText(work.filePath(QStringLiteral("catalog-crates.csv")),
              ReadText(work.filePath(QStringLiteral("catalog-crates.csv"))) +
                  QStringLiteral("KSV-NEW;7,5;2;1;60;12\r\n"));

    const CatalogImportResult imported = ImportCatalog(csv, target);
    EXPECT_EQ(imported.categories, 4);
    EXPECT_EQ(imported.crateTypes, 5);
    const QString db = target + QStringLiteral("/VELTRUM.db");
    EXPECT_EQ(Rows(db, "SELECT V5 FROM BLOCKS WHERE IDENT = 'MK1-03'"), QStringList{QStringLiteral("1.25")});
    EXPECT_EQ(Rows(db, "SELECT NAME_RUS, SLOTS_COUNT, CATEGORY, SUB_CATEGORY FROM BLOCKS WHERE IDENT = 'NEW-1'"),
              QStringList{QStringLiteral("Новый блок; с точкой с запятой|2|4|0")});
    EXPECT_EQ(LoadCategoryFile(CategoryFilePath(target, 0)).value(3), QStringLiteral("Новая категория"));
    EXPECT_EQ(CrateTypes(target).value(4), QStringLiteral("KSV-NEW|7.5|2|1|60|12"));
    EXPECT_EQ(CheckCatalog(target).Count(CheckSeverity::Error), 0);
}

struct Refusal {
    const char* name;
    const char* row;     // appended to the exported blocks
    const char* reason;  // a refusal contains it
};

TEST(CatalogImport, RefusesFaultyRowsNamingThemAndWritesNothing)
{
    const Refusal cases[] = {
        {"non-number", "BAD-1,Блок,ВП,1,abc,0,0,1,,,Источники питания,\r\n",
         "catalog.csv line 10, V5, code «BAD-1»: \"abc\" is not a number"},
        {"unencodable category", "BAD-2,Блок,ВП,1,0.5,0,0,1,,,Категория ☃,\r\n",
         "catalog.csv line 10, CATEGORY_NAME, code «BAD-2»: «Категория ☃» cannot be written in Windows-1251"},
        {"duplicate code", "MK1-03,Блок,ВП,1,0.5,0,0,1,,,Источники питания,\r\n",
         "catalog.csv line 10, IDENT, code «MK1-03»: the code is already used on line 4"},
        {"lower-case Cyrillic code", "Бк-1,Блок,ВП,1,0.5,0,0,1,,,Источники питания,\r\n",
         "catalog.csv line 10, IDENT, code «Бк-1»: the code has lower-case Cyrillic letters"},
        {"slots out of range", "BAD-3,Блок,ВП,300,0.5,0,0,1,,,Источники питания,\r\n",
         "catalog.csv line 10, SLOTS_COUNT, code «BAD-3»: 300 is outside 0 to 255"},
        {"negative power", "BAD-4,Блок,ВП,1,0.5,0,0,-1,,,Источники питания,\r\n",
         "catalog.csv line 10, TOTAL_POWER, code «BAD-4»: \"-1\" is negative"},
        {"subcategory outside 21, 22, 24", "BAD-5,Блок,ВП,1,0.5,0,0,1,,,Источники питания,Под\r\n",
         "category «Источники питания» has subcategories but is category 1"},
        {"comma decimal in a comma file", "BAD-6,Блок,ВП,1,\"0,5\",0,0,1,,,Источники питания,\r\n",
         "\"0,5\" is not a number"},
    };
    for (const Refusal& c : cases) {
        QTemporaryDir work;
        const QString csv = work.filePath(QStringLiteral("catalog.csv"));
        const QString target = work.filePath(QStringLiteral("new"));
        ExportCatalog(QStringLiteral(VELTRUM_CRATES_SAMPLE_DIR), csv, QStringLiteral("."));
        WriteText(csv, ReadText(csv) + QString::fromUtf8(c.row));
        try {
            ImportCatalog(csv, target);
            ADD_FAILURE() << c.name << ": imported";
        } catch (const ECatalogImportRefused& refused) {
            EXPECT_TRUE(refused.Reasons().join(u'\n').contains(QString::fromUtf8(c.reason)))
                << c.name << ":\n" << refused.Reasons().join(u'\n').toStdString();
        }
        EXPECT_FALSE(QFileInfo::exists(target)) << c.name;
        EXPECT_TRUE(NoTemporaryLeft(target)) << c.name;
    }
}

TEST(CatalogImport, TargetMustBeNewOrEmpty)
{
    QTemporaryDir work;
    const QString csv = work.filePath(QStringLiteral("catalog.csv"));
    ExportCatalog(QStringLiteral(VELTRUM_CRATES_SAMPLE_DIR), csv, QStringLiteral("."));

    const QString full = work.filePath(QStringLiteral("full"));
    QDir().mkpath(full);
    WriteText(full + QStringLiteral("/keep.txt"), QStringLiteral("mine"));
    EXPECT_THROW(ImportCatalog(csv, full), ECatalogImportRefused);
    EXPECT_EQ(QDir(full).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("keep.txt")});
    EXPECT_TRUE(NoTemporaryLeft(full));

    const QString file = work.filePath(QStringLiteral("plain-file"));
    WriteText(file, QStringLiteral("x"));
    EXPECT_THROW(ImportCatalog(csv, file), ECatalogImportRefused);

    const QString empty = work.filePath(QStringLiteral("empty"));
    QDir().mkpath(empty);
    ImportCatalog(csv, empty);
    EXPECT_TRUE(QFileInfo::exists(empty + QStringLiteral("/VELTRUM.db")));
    EXPECT_TRUE(NoTemporaryLeft(empty));
}

TEST(CatalogExport, CratesFileFollowsTheCatalog)
{
    QTemporaryDir work;
    const QString csv = work.filePath(QStringLiteral("catalog.csv"));
    const QString crates = work.filePath(QStringLiteral("catalog-crates.csv"));
    ExportCatalog(QStringLiteral(VELTRUM_CRATES_SAMPLE_DIR), csv, QStringLiteral("."));
    ASSERT_TRUE(QFileInfo::exists(crates));
    // A catalog without crate types takes an older crates file away, so
    // that an import of the new files gives no crate types either.
    const CatalogExportResult exported =
        ExportCatalog(QStringLiteral(VELTRUM_SAMPLE_DIR), csv, QStringLiteral("."));
    EXPECT_EQ(exported.removed, crates);
    EXPECT_FALSE(QFileInfo::exists(crates));
    const QString target = work.filePath(QStringLiteral("new"));
    EXPECT_EQ(ImportCatalog(csv, target).crateTypes, -1);
    EXPECT_TRUE(CrateTypes(target).isEmpty());
}

TEST(CatalogCsv, RecordsAreNumberedAsASpreadsheetShowsThem)
{
    // A quoted line break stays inside its field: the record after it is
    // still the spreadsheet's next row.
    const CsvTable table = ParseCatalogCsv(
        "\xEF\xBB\xBFIDENT;NAME_RUS\r\nA;\"two\r\nlines; \"\"quoted\"\"\"\r\nB;x\r\n",
        QStringLiteral("f.csv"));
    EXPECT_EQ(table.separator, u';');
    ASSERT_EQ(table.records.size(), 3u);
    EXPECT_EQ(table.records[1].fields,
              (QStringList{QStringLiteral("A"), QStringLiteral("two\r\nlines; \"quoted\"")}));
    EXPECT_EQ(table.records[2].line, 3);
    EXPECT_EQ(table.records[2].fields, (QStringList{QStringLiteral("B"), QStringLiteral("x")}));
    // Without a byte-order mark, with commas, and no break after the last row.
    const CsvTable commas = ParseCatalogCsv("IDENT,V5\nA,0.5", QStringLiteral("f.csv"));
    EXPECT_EQ(commas.separator, u',');
    ASSERT_EQ(commas.records.size(), 2u);
    EXPECT_EQ(commas.records[1].fields, (QStringList{QStringLiteral("A"), QStringLiteral("0.5")}));

    EXPECT_THROW(ParseCatalogCsv("IDENT\r\n\"open\r\n", QStringLiteral("f.csv")), ECatalogCsvError);
    // A spreadsheet's "CSV" in Windows-1251 is not UTF-8.
    EXPECT_THROW(ParseCatalogCsv("IDENT\r\n\xC1\xCB\xCE\xCA\r\n", QStringLiteral("f.csv")),
                 ECatalogCsvError);
}

} // namespace
