// SPDX-License-Identifier: MIT
#include "catalog/SQLiteTable3.h"

#include "catalog/CatalogCache.h"

#include "Fixtures.h"
#include "ThrownMessage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>
#include <sqlite3.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <functional>
#include <tuple>

namespace {

const std::string kEndOfTable = "ДОСТИГНУТ КОНЕЦ ТАБЛИЦЫ, ЗНАЧЕНИЕ НЕ НАЙДЕНО!";
const std::string kNotNumeric = "ОШИБКА ТИПА ДАННЫХ: НЕ integer или numeric-ПОЛЕ!";
const std::string kNotBlob = "ОШИБКА ТИПА ДАННЫХ: НЕ blob-поле!";

class SQLiteTableTest : public ::testing::Test {
protected:
    QString Path() const { return dir_.filePath(QStringLiteral("test.db")); }
    std::string File() const { return Path().toStdString(); }
    void Exec(const char* sql) { ExecSql(Path(), QString::fromUtf8(sql)); }
    std::unique_ptr<TSQLiteDatabase> Open(std::string separator = ".")
    {
        return std::make_unique<TSQLiteDatabase>(File(), std::move(separator));
    }

    QTemporaryDir dir_;
};

// Every reader of `table` at column `column`, for checks that hold for all of them.
std::vector<std::pair<const char*, std::function<void()>>> AllReaders(const TSQLiteTable& table,
                                                                      int column)
{
    return {
        {"CellText", [&table, column] { table.CellText(column); }},
        {"CellInteger", [&table, column] { table.CellInteger(column); }},
        {"CellReal", [&table, column] { table.CellReal(column); }},
        {"CellBytes", [&table, column] { table.CellBytes(column); }},
        {"CellBytesText", [&table, column] { table.CellBytesText(column); }},
    };
}

} // namespace

TEST_F(SQLiteTableTest, EmptyResultIsAtItsEndAtOnce)
{
    Exec("CREATE TABLE t (a INTEGER);");
    const auto db = Open();
    const auto table = db->QueryTable("SELECT a FROM t");
    EXPECT_EQ(table->RowTotal(), 0u);
    EXPECT_EQ(table->ColumnCount(), 0u);
    EXPECT_TRUE(table->IsAtEnd());
    EXPECT_FALSE(table->Advance());
    for (const auto& [name, read] : AllReaders(*table, 0)) {
        SCOPED_TRACE(name);
        EXPECT_EQ(ThrownMessage<ESQLiteException>(read), kEndOfTable);
    }
}

TEST_F(SQLiteTableTest, CursorMovesForwardToTheEndAndStops)
{
    Exec("CREATE TABLE t (a INTEGER); INSERT INTO t VALUES (10), (20), (30);");
    const auto db = Open();
    const auto table = db->QueryTable("SELECT a FROM t ORDER BY a");
    EXPECT_EQ(table->RowTotal(), 3u);
    EXPECT_EQ(table->ColumnCount(), 1u);
    for (const std::int64_t expected : {10, 20, 30}) {
        ASSERT_FALSE(table->IsAtEnd());
        EXPECT_EQ(table->CellInteger(0), expected);
        EXPECT_EQ(table->CellInteger(0), expected); // reading does not move the cursor
        EXPECT_TRUE(table->Advance());
    }
    EXPECT_TRUE(table->IsAtEnd());
    EXPECT_FALSE(table->Advance());
    EXPECT_EQ(ThrownMessage<ESQLiteException>([&] { table->CellText(0); }), kEndOfTable);
    EXPECT_TRUE(table->IsAtEnd());
}

TEST_F(SQLiteTableTest, ColumnOutsideTheResultIsARangeError)
{
    const auto db = Open();
    const auto table = db->QueryTable("SELECT 1, 2");
    for (const int column : {-1, 2, 1000}) {
        for (const auto& [name, read] : AllReaders(*table, column)) {
            SCOPED_TRACE(std::string(name) + " " + std::to_string(column));
            EXPECT_THROW(read(), ERangeError);
        }
    }
    EXPECT_EQ(table->CellText(1), "2"); // table and cursor unchanged
}

TEST_F(SQLiteTableTest, NullAndEmptyBlobReadAsNothingWhateverTheKind)
{
    Exec("CREATE TABLE t (i INTEGER, r REAL, s TEXT, b BLOB, u);"
         "INSERT INTO t VALUES (NULL, NULL, NULL, NULL, NULL);"
         "INSERT INTO t VALUES (NULL, NULL, NULL, x'', NULL);");
    const auto db = Open();
    const auto table = db->QueryTable("SELECT i, r, s, b, u FROM t");
    ASSERT_EQ(table->RowTotal(), 2u);
    for (int row = 0; row < 2; ++row, table->Advance()) {
        for (int column = 0; column < 5; ++column) {
            SCOPED_TRACE(testing::Message() << "row " << row << " column " << column);
            EXPECT_EQ(table->CellText(column), "");
            EXPECT_EQ(table->CellInteger(column), 0);
            EXPECT_EQ(table->CellReal(column), 0.0);
            EXPECT_FALSE(table->CellBytes(column).has_value());
            EXPECT_EQ(table->CellBytesText(column), "");
        }
    }
}

TEST_F(SQLiteTableTest, DeclaredTypeFixesHowValuesRead)
{
    Exec("CREATE TABLE t (c0 INTEGER, c1 integer, c2 INT, c3 BOOLEAN, c4 NUMERIC, c5 REAL,"
         " c6 REAL, c7 FLOAT, c8 DOUBLE, c9 VARCHAR(20), c10 BLOB, c11 REAL, c12 boolean,"
         " c13 numeric, c14 Float);"
         "INSERT INTO t VALUES (-42, 7, 5, 1, 21, 3.0, 0.35, 2.7, -2.7, 'x', x'410042', 1.5e20,"
         " 1, 21, 0.5);");
    struct Case {
        int column;
        std::string dotText, commaText;
        std::optional<std::int64_t> integer; // none: the numeric readers fail
        bool blob;
    };
    const Case cases[] = {
        {0, "-42", "-42", -42, false},
        // SQLite (3.37 on) reports its standard type names in upper case
        // whatever their spelling, so "integer" arrives as "INTEGER".
        {1, "7", "7", 7, false},
        {2, "5", "5", std::nullopt, false}, // shortened name: text kind
        {3, "1", "1", 1, false},
        {4, "21", "21", 21, false},
        {5, "3", "3", 3, false},
        {6, "0.35", "0,35", 0, false},
        {7, "2.7", "2,7", 2, false},
        {8, "-2.7", "-2,7", -2, false}, // truncated toward zero
        {9, "x", "x", std::nullopt, false},
        {10, std::string("A\0B", 3), std::string("A\0B", 3), std::nullopt, true},
        {11, "1.5E20", "1,5E20", std::nullopt, false}, // beyond the 64-bit range
        // Other names are compared as written: not in upper case, text kind.
        {12, "1", "1", std::nullopt, false},
        {13, "21", "21", std::nullopt, false},
        {14, "0.5", "0.5", std::nullopt, false},
    };
    for (const char* separator : {".", ","}) {
        const auto db = Open(separator);
        const auto table = db->QueryTable("SELECT * FROM t");
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "column " << c.column << " separator " << separator);
            EXPECT_EQ(table->CellText(c.column), *separator == '.' ? c.dotText : c.commaText);
            if (c.integer) {
                EXPECT_EQ(table->CellInteger(c.column), *c.integer);
            } else if (c.column != 11) {
                EXPECT_EQ(ThrownMessage<ESQLiteException>([&] { table->CellInteger(c.column); }),
                          kNotNumeric);
                EXPECT_EQ(ThrownMessage<ESQLiteException>([&] { table->CellReal(c.column); }),
                          kNotNumeric);
            }
            if (c.blob) {
                const auto bytes = table->CellBytes(c.column);
                ASSERT_TRUE(bytes.has_value());
                EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes->data()), bytes->size()),
                          c.dotText);
                EXPECT_EQ(table->CellBytesText(c.column), c.dotText);
            } else {
                EXPECT_EQ(ThrownMessage<ESQLiteException>([&] { table->CellBytes(c.column); }),
                          kNotBlob);
                EXPECT_EQ(ThrownMessage<ESQLiteException>([&] { table->CellBytesText(c.column); }),
                          kNotBlob);
            }
        }
        EXPECT_EQ(table->CellReal(4), 21.0);
        EXPECT_EQ(table->CellReal(0), -42.0);
        EXPECT_EQ(table->CellReal(6), 0.35);
        // A double outside the 64-bit range has no integer value: refused, not wrapped.
        EXPECT_THROW(table->CellInteger(11), ESQLiteException);
        EXPECT_EQ(table->CellReal(11), 1.5e20);
    }
}

TEST_F(SQLiteTableTest, UntypedColumnTakesTheKindOfItsFirstValue)
{
    Exec("CREATE TABLE t (n, i, s);"
         "INSERT INTO t VALUES (NULL, 1, 'a');"
         "INSERT INTO t VALUES ('later', 2.7, 5);"
         "INSERT INTO t VALUES (9, 'z', NULL);");
    const auto db = Open();
    const auto table = db->QueryTable("SELECT n, i, s FROM t ORDER BY rowid");
    // Column n is of the null kind: its values are never handed out.
    // Column i is of the integer kind: 2.7 goes through SQLite's conversion;
    // 'z' is no number, so it reads as stored and the number readers refuse it.
    // Column s is of the text kind: 5 reads as SQLite's text for it.
    const struct {
        std::string n, i, s;
        std::optional<std::int64_t> integer;
    } rows[] = {{"", "1", "a", 1}, {"", "2", "5", 2}, {"", "z", "", std::nullopt}};
    for (const auto& row : rows) {
        ASSERT_FALSE(table->IsAtEnd());
        EXPECT_EQ(table->CellText(0), row.n);
        EXPECT_EQ(table->CellText(1), row.i);
        EXPECT_EQ(table->CellText(2), row.s);
        EXPECT_EQ(table->CellIsNotANumber(1), !row.integer.has_value());
        if (row.integer)
            EXPECT_EQ(table->CellInteger(1), *row.integer);
        else
            EXPECT_EQ(ThrownMessage<ESQLiteException>([&] { table->CellInteger(1); }),
                      "ОШИБКА ТИПА ДАННЫХ: ЗНАЧЕНИЕ \"z\" НЕ ЧИСЛО!");
        table->Advance();
    }

    const auto second = db->QueryTable("SELECT n FROM t ORDER BY rowid LIMIT 1 OFFSET 1");
    EXPECT_EQ(ThrownMessage<ESQLiteException>([&] { second->CellInteger(0); }), kNotNumeric);
    EXPECT_EQ(ThrownMessage<ESQLiteException>([&] { second->CellBytes(0); }), kNotBlob);
    // An expression has no declared type either: a real first value gives the real kind.
    EXPECT_EQ(db->QueryTable("SELECT 0.5 * 3")->CellText(0), "1.5");
}

TEST_F(SQLiteTableTest, TextIsCutAtItsFirstZeroByte)
{
    Exec("CREATE TABLE t (s TEXT);");
    const auto db = Open();
    db->RunStatement("INSERT INTO t VALUES (?)", {std::string("AB\0CD", 5)});
    const auto table = db->QueryTable("SELECT s, length(CAST(s AS BLOB)) FROM t");
    EXPECT_EQ(table->CellInteger(1), 5); // the zero byte is really stored
    EXPECT_EQ(table->CellText(0), "AB");
}

TEST_F(SQLiteTableTest, OnlyTheFirstStatementRuns)
{
    Exec("CREATE TABLE t (a INTEGER);");
    const auto db = Open();
    db->RunStatement("INSERT INTO t VALUES (1); INSERT INTO t VALUES (2);");
    const auto table = db->QueryTable("SELECT count(*), sum(a) FROM t; SELECT 99; nonsense");
    EXPECT_EQ(table->RowTotal(), 1u);
    EXPECT_EQ(table->CellText(0), "1");
    EXPECT_EQ(table->CellText(1), "1");
}

TEST_F(SQLiteTableTest, FailuresComposeTheirMessages)
{
    Exec("CREATE TABLE t (a INTEGER);");
    const auto db = Open();
    const auto query = [&db](const char* sql, TSQLiteParams params = {}) {
        return [&db, sql, params] { db->QueryTable(sql, params); };
    };
    const auto run = [&db](const char* sql, TSQLiteParams params = {}) {
        return [&db, sql, params] { db->RunStatement(sql, params); };
    };
    // In order: a failure must not leave its SQLite text for the next one.
    const struct {
        std::function<void()> action;
        std::string message;
    } cases[] = {
        {query("SELECT * FROM missing"),
         "ОШИБКА ВЫПОЛНЕНИЯ SQL-ЗАПРОСА. \"SELECT * FROM missing\" : no such table: missing"},
        {query(""), "НЕ УДАЛОСЬ ВЫПОЛНИТЬ SQL-ЗАПРОС. \"\" : No message"},
        {run("SELECT * FROM missing"),
         "ОШИБКА ВЫПОЛЕНИЯ SQL-ЗАПРОСА \"SELECT * FROM missing\" : no such table: missing"},
        {run("  -- nothing"), "НЕ УДАЛОСЬ ВЫПОЛНИТЬ SQL-ЗАПРОС. \"  -- nothing\" : No message"},
        {query("SELECT abs(-9223372036854775807 - 1)"),
         "НЕ УДАЛОСЬ ПОЛУЧИТЬ ДАННЫЕ. \"SELECT abs(-9223372036854775807 - 1)\" : integer overflow"},
        {run("SELECT abs(-9223372036854775807 - 1)"),
         "ОШИБКА ВЫПОЛЕНИЯ SQL-ЗАПРОСА \"SELECT abs(-9223372036854775807 - 1)\" : integer "
         "overflow"},
        {query("SELECT ?", {std::int64_t{1}, std::int64_t{2}}),
         "ОШИБКА ВЫПОЛНЕНИЯ SQL-ЗАПРОСА. \"SELECT ?\" : column index out of range"},
        {run("INSERT INTO t VALUES (?)", {std::int64_t{1}, std::string("x")}),
         "ОШИБКА ВЫПОЛЕНИЯ SQL-ЗАПРОСА \"INSERT INTO t VALUES (?)\" : column index out of range"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        EXPECT_EQ(ThrownMessage<ESQLiteException>(c.action), c.message);
    }
    // A statement that gives a row is no statement to run.
    EXPECT_THROW(db->RunStatement("SELECT 1"), ESQLiteException);
    // Nothing was inserted by the failed binding, and the connection still serves.
    EXPECT_EQ(db->QueryTable("SELECT count(*) FROM t")->CellInteger(0), 0);
}

TEST_F(SQLiteTableTest, MissingFileIsCreatedOnlyWhenCreationIsAsked)
{
    const auto db = Open();
    EXPECT_EQ(ThrownMessage<ESQLiteException>([&] { db->QueryTable("SELECT * FROM BLOCKS"); }),
              "ОШИБКА ВЫПОЛНЕНИЯ SQL-ЗАПРОСА. \"SELECT * FROM BLOCKS\" : no such table: BLOCKS");

    const std::string missing = dir_.filePath(QStringLiteral("missing.db")).toStdString();
    EXPECT_EQ(ThrownMessage<ESQLiteException>(
                  [&] { TSQLiteDatabase(missing, ".", TSQLiteDatabase::OpenMode::ReadOnly); }),
              "НЕВОЗМОЖНО ОТКРЫТЬ БАЗУ ДАННЫХ \"" + missing + "\" : No such file or directory.");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(missing)));
}

TEST_F(SQLiteTableTest, ReadOnlyConnectionReadsButNeverWrites)
{
    Exec("CREATE TABLE t (a INTEGER); INSERT INTO t VALUES (5);");
    TSQLiteDatabase db(File(), ",", TSQLiteDatabase::OpenMode::ReadOnly);
    EXPECT_EQ(db.DecimalSeparator(), ",");
    EXPECT_EQ(db.QueryTable("SELECT a / 2.0 FROM t")->CellText(0), "2,5");
    EXPECT_EQ(ThrownMessage<ESQLiteException>([&] { db.RunStatement("DELETE FROM t"); }),
              "ОШИБКА ВЫПОЛЕНИЯ SQL-ЗАПРОСА \"DELETE FROM t\" : attempt to write a readonly "
              "database");
}

TEST_F(SQLiteTableTest, TableOutlivesItsConnection)
{
    Exec("CREATE TABLE t (s TEXT, r REAL, b BLOB);"
         "INSERT INTO t VALUES ('первый', 0.25, x'0102'), ('второй', 4, x'03');");
    auto db = Open(",");
    auto table = db->QueryTable("SELECT s, r, b FROM t ORDER BY rowid");
    db.reset();
    EXPECT_EQ(table->CellText(0), "первый");
    EXPECT_EQ(table->CellText(1), "0,25");
    EXPECT_EQ(table->CellBytesText(2), "\x01\x02");
    ASSERT_TRUE(table->Advance());
    EXPECT_EQ(table->CellText(0), "второй");
    EXPECT_EQ(table->CellReal(1), 4.0);
    EXPECT_EQ(table->CellBytes(2)->size(), 1u);
    table.reset();
}

TEST_F(SQLiteTableTest, ParametersAreBoundInOrderAsValues)
{
    Exec("CREATE TABLE t (n INTEGER, s TEXT);");
    const auto db = Open();
    const std::string quoted = "Блок \"A\"; DROP TABLE t; --";
    db->RunStatement("INSERT INTO t VALUES (?, ?)", {std::int64_t{-9000000000}, quoted});
    db->RunStatement("INSERT INTO t VALUES (?, ?)", {std::int64_t{2}, std::string("other")});
    const auto table =
        db->QueryTable("SELECT n, s FROM t WHERE s = ? AND n < ?", {quoted, std::int64_t{0}});
    ASSERT_EQ(table->RowTotal(), 1u);
    EXPECT_EQ(table->CellInteger(0), -9000000000);
    EXPECT_EQ(table->CellText(1), quoted);
}

TEST_F(SQLiteTableTest, LockedDatabaseGivesTheBusyMessage)
{
    Exec("CREATE TABLE t (a INTEGER); INSERT INTO t VALUES (1);");
    const auto db = Open();
    ASSERT_EQ(db->QueryTable("SELECT a FROM t")->RowTotal(), 1u); // schema read before the lock

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(File().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(ThrownMessage<ESQLiteException>([&] { db->QueryTable("SELECT a FROM t"); }),
              "НЕ УДАЛОСЬ ВЫПОЛНИТЬ SQL-ЗАПРОС \"SELECT a FROM t\" : SQLite ЗАНЯТ");
    ASSERT_EQ(sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(other);

    EXPECT_EQ(db->QueryTable("SELECT a FROM t")->CellInteger(0), 1);
}

TEST_F(SQLiteTableTest, WholeTextKeepsZeroBytesThatCellTextEndsAt)
{
    Exec("CREATE TABLE t (s TEXT, n INTEGER);"
         "INSERT INTO t VALUES (CAST(X'4546004748' AS TEXT), 7);"
         "INSERT INTO t VALUES ('AB' || char(9), 8);");
    const auto db = Open();
    const auto table = db->QueryTable("SELECT s, n FROM t ORDER BY rowid");
    EXPECT_EQ(table->CellText(0), "EF");
    EXPECT_EQ(table->CellWholeText(0), std::string("EF\0GH", 5));
    EXPECT_EQ(table->CellWholeText(1), "7");
    table->Advance();
    EXPECT_EQ(table->CellText(0), "AB\t");
    EXPECT_EQ(table->CellWholeText(0), "AB\t");
}

TEST_F(SQLiteTableTest, EveryConnectionTreatsItsFileAsUntrusted)
{
    Exec("CREATE TABLE t (a INTEGER);");
    for (const auto mode :
         {TSQLiteDatabase::OpenMode::ReadWriteCreate, TSQLiteDatabase::OpenMode::ReadOnly}) {
        TSQLiteDatabase db(File(), ".", mode);
        int defensive = -1;
        ASSERT_EQ(sqlite3_db_config(db.Handle(), SQLITE_DBCONFIG_DEFENSIVE, -1, &defensive),
                  SQLITE_OK);
        EXPECT_EQ(defensive, 1);
        EXPECT_EQ(db.QueryTable("PRAGMA trusted_schema")->CellInteger(0), 0);
        EXPECT_EQ(db.QueryTable("PRAGMA cell_size_check")->CellInteger(0), 1);
        EXPECT_EQ(db.QueryTable("PRAGMA synchronous")->CellInteger(0), 1); // NORMAL
        EXPECT_EQ(db.QueryTable("PRAGMA temp_store")->CellInteger(0), 2);  // MEMORY
        // The catalog's cache settings, which the benchmarks' floor shares.
        EXPECT_EQ(db.QueryTable("PRAGMA cache_size")->CellInteger(0),
                  -PageCacheKiB(QFileInfo(Path()).size()));
        EXPECT_EQ(db.QueryTable("PRAGMA mmap_size")->CellInteger(0), 0);
    }
}

TEST_F(SQLiteTableTest, QueryRowsHandsOverEachRowAsQueryTableReadsIt)
{
    Exec("CREATE TABLE t (code TEXT, n INTEGER, x REAL);"
         "INSERT INTO t VALUES ('A', 1, 0.5), (NULL, NULL, NULL), ('C\tD', 3, 2.25);");
    TSQLiteDatabase db(File(), ",", TSQLiteDatabase::OpenMode::ReadOnly);
    const char* const sql = "SELECT code, n, x FROM t ORDER BY rowid";
    std::vector<std::string> streamed;
    const std::size_t rows = db.QueryRows(
        sql, {},
        [&](const TSQLiteTable& row) {
            EXPECT_EQ(row.RowTotal(), 1u); // one row held at a time
            EXPECT_EQ(row.CellStoredText(1), std::nullopt);
            streamed.push_back(row.CellText(0) + '|' + row.CellText(1) + '|' + row.CellText(2) +
                               '|' + std::string(row.CellStoredText(0).value_or("none")));
        },
        [] { ADD_FAILURE() << "a settled file is read once"; });
    std::vector<std::string> whole;
    const auto table = db.QueryTable(sql);
    for (; !table->IsAtEnd(); table->Advance())
        whole.push_back(table->CellText(0) + '|' + table->CellText(1) + '|' +
                        table->CellText(2) + '|' +
                        std::string(table->CellStoredText(0).value_or("none")));
    EXPECT_EQ(rows, 3u);
    EXPECT_EQ(streamed, whole);
    EXPECT_EQ(streamed, (std::vector<std::string>{"A|1|0,5|A", "|||none", "C\tD|3|2,25|C\tD"}));
}

TEST_F(SQLiteTableTest, QueryRowsCountsEveryRowHandedOverAgainstTheResultLimit)
{
    Exec("CREATE TABLE t AS WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
         "WHERE i < 100) SELECT i, hex(randomblob(500)) AS b FROM n;");
    TSQLiteDatabase db(File(), ".", TSQLiteDatabase::OpenMode::ReadOnly);
    db.SetResultByteLimit(20000); // about twenty of the hundred rows
    std::size_t handedOver = 0;
    EXPECT_THROW(db.QueryRows("SELECT i, b FROM t", {},
                              [&](const TSQLiteTable&) { ++handedOver; }, [] {}),
                 ESQLiteException);
    EXPECT_GT(handedOver, 10u);
    EXPECT_LT(handedOver, 30u);
}

TEST_F(SQLiteTableTest, QueryRowsStartsAgainWhenTheFileChangesUnderTheRead)
{
    // A file in write-ahead-log mode with no log beside it is read
    // immutable, without locks: a change under the read is found after it.
    Exec("PRAGMA journal_mode=WAL; CREATE TABLE t (a TEXT);"
         "INSERT INTO t VALUES ('x'), ('y'), ('z');");
    TSQLiteDatabase db(File(), ".", TSQLiteDatabase::OpenMode::ReadOnly);
    ASSERT_TRUE(db.OpenedImmutable());
    int restarts = 0;
    std::vector<std::string> kept;
    const std::size_t rows = db.QueryRows(
        "SELECT a FROM t", {},
        [&](const TSQLiteTable& row) {
            kept.push_back(row.CellText(0));
            if (restarts == 0 && kept.size() == 1) {
                // Touched by someone else while the first read runs.
                const timespec times[2] = {{0, UTIME_OMIT}, {12345, 0}};
                ASSERT_EQ(utimensat(AT_FDCWD, File().c_str(), times, 0), 0);
            }
        },
        [&] {
            ++restarts;
            kept.clear();
        });
    EXPECT_EQ(restarts, 1);
    EXPECT_EQ(rows, 3u);
    EXPECT_EQ(kept, (std::vector<std::string>{"x", "y", "z"}));
}

TEST_F(SQLiteTableTest, ACatalogLargerThanSQLitesDefaultCacheIsReadFromTheFileOnce)
{
    // About 4 MiB of rows: twice what SQLite keeps by default.
    Exec("CREATE TABLE big AS WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
         "WHERE i < 4000) SELECT i, randomblob(1000) AS b FROM n;");
    TSQLiteDatabase db(File(), ".", TSQLiteDatabase::OpenMode::ReadOnly);
    const auto pagesReadFromTheFile = [&db] {
        int misses = 0, highwater = 0;
        sqlite3_db_status(db.Handle(), SQLITE_DBSTATUS_CACHE_MISS, &misses, &highwater, 1);
        return misses;
    };
    const char* const wholeTable = "SELECT count(*), sum(length(b)) FROM big";
    pagesReadFromTheFile();
    EXPECT_EQ(db.QueryTable(wholeTable)->CellInteger(0), 4000);
    EXPECT_GT(pagesReadFromTheFile(), 1000);
    EXPECT_EQ(db.QueryTable(wholeTable)->CellInteger(0), 4000);
    EXPECT_EQ(pagesReadFromTheFile(), 0);
}

TEST_F(SQLiteTableTest, ReadOnlyConnectionReopensAFileReplacedUnderIt)
{
    Exec("CREATE TABLE t (a TEXT); INSERT INTO t VALUES ('old');");
    TSQLiteDatabase db(File(), ".", TSQLiteDatabase::OpenMode::ReadOnly);
    EXPECT_EQ(db.QueryTable("SELECT a FROM t")->CellText(0), "old");
    const QString next = dir_.filePath(QStringLiteral("next.db"));
    ExecSql(next, QStringLiteral("CREATE TABLE t (a TEXT); INSERT INTO t VALUES ('new');"));
    ASSERT_EQ(std::rename(next.toStdString().c_str(), File().c_str()), 0);
    EXPECT_EQ(db.QueryTable("SELECT a FROM t")->CellText(0), "new");
    // Gone altogether: the query names the file instead of reading the old one.
    ASSERT_TRUE(QFile::remove(Path()));
    EXPECT_EQ(ThrownMessage<ESQLiteException>([&] { db.QueryTable("SELECT a FROM t"); }),
              "НЕВОЗМОЖНО ОТКРЫТЬ БАЗУ ДАННЫХ \"" + File() + "\" : No such file or directory.");
}

namespace {

// Statements the connection has compiled and not finalized.
int LiveStatements(sqlite3* handle)
{
    int statements = 0;
    for (sqlite3_stmt* s = sqlite3_next_stmt(handle, nullptr); s; s = sqlite3_next_stmt(handle, s))
        ++statements;
    return statements;
}

// Another process's write, without waiting for a lock: SQLITE_BUSY while
// a reader holds the file.
int WriteFromElsewhere(const std::string& file, const char* sql)
{
    sqlite3* other = nullptr;
    sqlite3_open(file.c_str(), &other);
    const int rc = sqlite3_exec(other, sql, nullptr, nullptr, nullptr);
    sqlite3_close(other);
    return rc;
}

} // namespace

TEST_F(SQLiteTableTest, HeldReadTakesTheLockOnceAndCompilesEachQueryOnceUntilItEnds)
{
    Exec("CREATE TABLE t (code TEXT, n INTEGER); INSERT INTO t VALUES ('A', 1), ('B', 2);");
    TSQLiteDatabase db(File(), ".", TSQLiteDatabase::OpenMode::ReadOnly);
    ASSERT_FALSE(db.OpenedImmutable());
    const char* const lookup = "SELECT n FROM t WHERE code = ?";
    {
        const TSQLiteDatabase::HeldRead held(db);
        // One compiled query serves every lookup, each with its own value.
        for (const auto& [code, rows, n] : {std::tuple{"A", 1u, 1}, {"missing", 0u, 0},
                                            {"B", 1u, 2}, {"A", 1u, 1}}) {
            SCOPED_TRACE(code);
            const auto table = db.QueryTable(lookup, {std::string(code)});
            ASSERT_EQ(table->RowTotal(), rows);
            if (rows > 0) {
                EXPECT_EQ(table->CellInteger(0), n);
            }
            EXPECT_EQ(LiveStatements(db.Handle()), 1);
        }
        // The read is held between the lookups: a writer has to wait.
        EXPECT_EQ(WriteFromElsewhere(File(), "UPDATE t SET n = 10 WHERE code = 'A'"), SQLITE_BUSY);
        {
            const TSQLiteDatabase::HeldRead nested(db);
            EXPECT_EQ(db.QueryTable(lookup, {std::string("B")})->CellInteger(0), 2);
        }
        EXPECT_EQ(WriteFromElsewhere(File(), "UPDATE t SET n = 10 WHERE code = 'A'"), SQLITE_BUSY);
    }
    // Ended: nothing compiled is left, the writer writes, and the next
    // query reads what it wrote.
    EXPECT_EQ(LiveStatements(db.Handle()), 0);
    EXPECT_EQ(WriteFromElsewhere(File(), "UPDATE t SET n = 10 WHERE code = 'A'"), SQLITE_OK);
    EXPECT_EQ(db.QueryTable(lookup, {std::string("A")})->CellInteger(0), 10);
    EXPECT_EQ(WriteFromElsewhere(File(), "UPDATE t SET n = 11 WHERE code = 'A'"), SQLITE_OK);
}

TEST_F(SQLiteTableTest, HeldReadFollowsAFileMovedOverItsFileBetweenQueries)
{
    Exec("CREATE TABLE t (a TEXT); INSERT INTO t VALUES ('old');");
    TSQLiteDatabase db(File(), ".", TSQLiteDatabase::OpenMode::ReadOnly);
    const TSQLiteDatabase::HeldRead held(db);
    EXPECT_EQ(db.QueryTable("SELECT a FROM t")->CellText(0), "old");
    const QString next = dir_.filePath(QStringLiteral("next.db"));
    ExecSql(next, QStringLiteral("CREATE TABLE t (a TEXT); INSERT INTO t VALUES ('new');"));
    ASSERT_EQ(std::rename(next.toStdString().c_str(), File().c_str()), 0);
    // Read from the new file, by a query compiled for its connection.
    EXPECT_EQ(db.QueryTable("SELECT a FROM t")->CellText(0), "new");
    std::vector<std::string> streamed;
    db.StreamRows("SELECT a FROM t", {}, [&](const TSQLiteRowView& row) {
        streamed.emplace_back(row.Bytes(0));
    });
    EXPECT_EQ(streamed, std::vector<std::string>{"new"});
}

TEST_F(SQLiteTableTest, HeldReadOfAFileWhoseWriterIsAtWorkLetsGoOfTheLogWhenItEnds)
{
    Exec("PRAGMA journal_mode=WAL; CREATE TABLE t (a TEXT); INSERT INTO t VALUES ('x');");
    // A writer's connection keeps the log beside the file.
    sqlite3* writer = nullptr;
    ASSERT_EQ(sqlite3_open(File().c_str(), &writer), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(writer, "INSERT INTO t VALUES ('y')", nullptr, nullptr, nullptr),
              SQLITE_OK);
    TSQLiteDatabase db(File(), ".", TSQLiteDatabase::OpenMode::ReadOnly);
    ASSERT_FALSE(db.OpenedImmutable());
    {
        const TSQLiteDatabase::HeldRead held(db);
        EXPECT_EQ(db.QueryTable("SELECT count(*) FROM t")->CellInteger(0), 2);
        EXPECT_NE(db.Handle(), nullptr); // kept between the held read's queries
        EXPECT_EQ(db.QueryTable("SELECT a FROM t WHERE a = ?", {std::string("y")})->RowTotal(), 1u);
    }
    EXPECT_EQ(db.Handle(), nullptr);
    EXPECT_EQ(db.QueryTable("SELECT count(*) FROM t")->CellInteger(0), 2);
    EXPECT_EQ(db.Handle(), nullptr); // and between queries, as before
    sqlite3_close(writer);
}

// The page cache holds the whole catalog file (with SQLite's own header of
// each page, and a little room), never more than the cap: a small catalog
// keeps no room it cannot fill.
TEST(PageCache, IsSizedFromTheCatalogFile)
{
    const struct {
        std::int64_t fileBytes;
        int kib;
    } cases[] = {
        {0, kPageCacheSlackKiB + 1},
        {40 * 1024, 50 + 1 + kPageCacheSlackKiB},
        {std::int64_t{10} << 20, 12800 + 1 + kPageCacheSlackKiB},
        {std::int64_t{26} << 20, kCatalogPageCacheKiB}, // 33,280 KiB wanted
        {std::int64_t{32} << 20, kCatalogPageCacheKiB},
        {std::int64_t{1} << 40, kCatalogPageCacheKiB},
        {-1, kPageCacheSlackKiB + 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fileBytes);
        EXPECT_EQ(PageCacheKiB(c.fileBytes), c.kib);
    }
}
