// SPDX-License-Identifier: MIT
// Hostile catalogs and category files, each built in a temporary directory
// and opened by the real window. For every case: the documented message
// (the start-up dialog, or the error box with SQLite's own message), a
// window that still does whatever can still be done, and not one byte
// written beside the catalog.

#include "CatalogFiles.h"
#include "WindowDriver.h"

#include "catalog/CatalogQueries.h"
#include "kit/CheckList.h"
#include "kit/Platform.h"
#include "kit/TabbedListBox.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>

namespace {

using Make = std::function<void(FixtureCatalog&)>;
using Check = std::function<void(Window&, FixtureCatalog&)>;

struct HostileCase {
    const char* name;
    Make make;
    Check check;
};

void PrintTo(const HostileCase& c, std::ostream* out)
{
    *out << c.name;
}

// ---------------------------------------------------------------------------
// Building the files

// The standard category files, and no catalog yet.
void CategoriesOnly(FixtureCatalog& catalog)
{
    catalog.WriteStandard();
    ASSERT_TRUE(QFile::remove(catalog.DatabasePath()));
}

QByteArray RandomBytes(qsizetype size)
{
    QRandomGenerator generator(20240611); // the same bytes in every run
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& b : bytes)
        b = static_cast<char>(generator.bounded(256));
    return bytes;
}

QString BlocksWithout(const QString& column)
{
    QStringList columns{QStringLiteral("IDENT TEXT"),       QStringLiteral("NAME_RUS TEXT"),
                        QStringLiteral("VIPR TEXT"),        QStringLiteral("SLOTS_COUNT INTEGER"),
                        QStringLiteral("V5 REAL"),          QStringLiteral("V7 REAL"),
                        QStringLiteral("V_7 REAL"),         QStringLiteral("TOTAL_POWER REAL"),
                        QStringLiteral("CATEGORY INTEGER"), QStringLiteral("SUB_CATEGORY INTEGER")};
    columns.removeIf([&](const QString& c) { return c.startsWith(column + QLatin1Char(' ')); });
    return QStringLiteral("CREATE TABLE BLOCKS (") + columns.join(QStringLiteral(", ")) +
           QStringLiteral(");");
}

void MakeFifo(const QString& path)
{
    QFile::remove(path);
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0644), 0) << path.toStdString();
}

void LinkTo(const QString& target, const QString& path)
{
    QFile::remove(path);
    ASSERT_TRUE(QFile::link(target, path)) << path.toStdString();
}

QString CategoryFileRefused(FixtureCatalog& c, const char* file, const char* reason)
{
    return QStringLiteral("Не удалось открыть файл \"") +
           c.CategoryPath(QString::fromLatin1(file)) + QStringLiteral("\": ") +
           QString::fromUtf8(reason) + QLatin1Char('.');
}

// ---------------------------------------------------------------------------
// Outcomes

// The catalog opened and nothing was reported at start-up.
void ExpectOpened(Window& window)
{
    ASSERT_NE(window->Database, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window.recorder.dialogs.empty());
}

void ExpectNoDetails(Window& window)
{
    EXPECT_EQ(Details(*window.form), QStringList(10, QString()));
}

// A code search that reports `error` and leaves the list empty.
void ExpectCodeSearchFails(Window& window, const QString& typed, const QString& error)
{
    window.recorder.errors.clear();
    window->CodeRB->click();
    SearchCode(*window.form, typed);
    EXPECT_EQ(window.recorder.errors, QStringList{error});
    EXPECT_EQ(window->BlockTabLB->Items().Count(), 0);
}

// A catalog without a usable BLOCKS table: every search names the table.
void ExpectNoBlocksTable(Window& window, FixtureCatalog&)
{
    ExpectOpened(window);
    const QString missing = QStringLiteral("no such table: BLOCKS");
    PickItem(window->CategoryField, 0);
    EXPECT_EQ(window.recorder.errors, QStringList{CompileFailure(QueryByCategory(1).sql, missing)});
    EXPECT_EQ(window->BlockTabLB->Items().Count(), 0);

    ExpectCodeSearchFails(window, QStringLiteral("mk"),
                          CompileFailure(QueryByCodeFragment(QStringLiteral("MK")).sql, missing));
    EXPECT_TRUE(CrateTypeTickWorks(window, 3));
}

const HostileCase kCases[] = {
    {"CatalogIsADirectory",
     [](FixtureCatalog& c) {
         CategoriesOnly(c);
         ASSERT_TRUE(QDir().mkpath(c.DatabasePath()));
     },
     [](Window& w, FixtureCatalog&) { ExpectOpeningFailed(w); }},

    // SQLite takes an empty file for an empty database: opening succeeds
    // and every search reports the missing table.
    {"CatalogIsAnEmptyFile",
     [](FixtureCatalog& c) {
         CategoriesOnly(c);
         WriteBytes(c.DatabasePath(), {});
     },
     ExpectNoBlocksTable},

    {"CatalogIsRandomBytes",
     [](FixtureCatalog& c) {
         CategoriesOnly(c);
         WriteBytes(c.DatabasePath(), RandomBytes(64 * 1024));
     },
     [](Window& w, FixtureCatalog&) { ExpectOpeningFailed(w); }},

    // The page count in the header no longer matches the file: SQLite
    // refuses the file while the connection is being set up.
    {"CatalogTruncatedMidPage",
     [](FixtureCatalog& c) {
         c.WriteStandard();
         ExecSql(c.DatabasePath(),
                 QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                                "WHERE i < 400) INSERT INTO BLOCKS SELECT 'FILL-' || i, "
                                "'Блок-наполнитель с длинным названием ' || i, 'А', 1, 0.1, 0.1, "
                                "0.1, 1, 1 + i % 3, 0 FROM n;"));
         QFile file(c.DatabasePath());
         ASSERT_GT(file.size(), 8 * 4096);
         ASSERT_TRUE(file.resize(file.size() / 2 / 4096 * 4096 + 2000));
     },
     [](Window& w, FixtureCatalog&) { ExpectOpeningFailed(w); }},

    {"CatalogWithoutBlocks",
     [](FixtureCatalog& c) {
         CategoriesOnly(c);
         ExecSql(c.DatabasePath(), QStringLiteral("CREATE TABLE OTHER (IDENT TEXT);"));
     },
     ExpectNoBlocksTable},

    // The list queries read two columns only: they still work, the details
    // name the missing one.
    {"BlocksMissingAColumn",
     [](FixtureCatalog& c) {
         CategoriesOnly(c);
         ExecSql(c.DatabasePath(),
                 BlocksWithout(QStringLiteral("V_7")) +
                     QStringLiteral("INSERT INTO BLOCKS VALUES ('NO-V7', 'Без канала', 'А', 1, "
                                    "0.5, 0.1, 3, 1, 0);"));
     },
     [](Window& w, FixtureCatalog&) {
         ExpectOpened(w);
         PickItem(w->CategoryField, 0);
         ASSERT_EQ(Rows(w->BlockTabLB), QStringList{QStringLiteral("NO-V7\tБез канала")});
         ClickRow(w->BlockTabLB, 0);
         EXPECT_EQ(w.recorder.errors,
                   QStringList{CompileFailure(QueryDetails("NO-V7").sql,
                                              QStringLiteral("no such column: V_7"))});
         ExpectNoDetails(w);
         EXPECT_TRUE(CrateTypeTickWorks(w, 2));
         w->CodeRB->click();
         SearchCode(*w.form, QStringLiteral("no-"));
         EXPECT_EQ(Rows(w->BlockTabLB), QStringList{QStringLiteral("NO-V7\tБез канала")});
     }},

    // Currents of the text kind come through as stored; only a window whose
    // decimal separator matches can put the block into the basket.
    {"CurrentsAsTextWithTheOtherSeparator",
     [](FixtureCatalog& c) {
         CategoriesOnly(c);
         ExecSql(c.DatabasePath(),
                 QStringLiteral("CREATE TABLE BLOCKS (IDENT TEXT, NAME_RUS TEXT, VIPR TEXT, "
                                "SLOTS_COUNT INTEGER, V5 TEXT, V7 TEXT, V_7 TEXT, TOTAL_POWER "
                                "TEXT, CATEGORY INTEGER, SUB_CATEGORY INTEGER);"
                                "INSERT INTO BLOCKS VALUES ('TXT-1', 'Токи текстом', 'А', 1, "
                                "'0,5', '0,25', '0,125', '3,5', 1, 0);"));
     },
     [](Window& w, FixtureCatalog& c) {
         ExpectOpened(w);
         PickItem(w->CategoryField, 0);
         ClickRow(w->BlockTabLB, 0);
         EXPECT_EQ(w->FV5Field->text(), QStringLiteral("0,5"));
         EXPECT_EQ(w->FTotalPowerField->text(), QStringLiteral("3,5"));
         w->AddBtn->click();
         EXPECT_EQ(w.recorder.errors,
                   QStringList{QStringLiteral("\"0,5\" не является десятичным числом.")});
         EXPECT_TRUE(w->Devices.empty());
         EXPECT_EQ(w->RackTabLB->Items().Count(), 0);
         EXPECT_TRUE(CrateTypeTickWorks(w, 1));

         Window comma(c.Dir(), QStringLiteral(","));
         PickItem(comma->CategoryField, 0);
         ClickRow(comma->BlockTabLB, 0);
         comma->AddBtn->click();
         EXPECT_TRUE(comma.recorder.errors.isEmpty());
         EXPECT_EQ(Rows(comma->TotalTabLB),
                   QStringList{QStringLiteral("\t0,5\t0,25\t0,125\t3,5\t1")});
     }},

    // NULL reads as empty text. A row without a code cannot be found; a
    // block whose SUB_CATEGORY is NULL lists, but its details refuse the
    // empty number.
    {"NullInEveryColumn",
     [](FixtureCatalog& c) {
         CategoriesOnly(c);
         ExecSql(c.DatabasePath(),
                 BlocksTableSql() +
                     QStringLiteral("INSERT INTO BLOCKS VALUES (NULL, NULL, NULL, NULL, NULL, "
                                    "NULL, NULL, NULL, NULL, NULL);"
                                    "INSERT INTO BLOCKS VALUES ('NUL-1', NULL, NULL, NULL, NULL, "
                                    "NULL, NULL, NULL, 1, NULL);"));
     },
     [](Window& w, FixtureCatalog&) {
         ExpectOpened(w);
         PickItem(w->CategoryField, 0);
         ASSERT_EQ(Rows(w->BlockTabLB), QStringList{QStringLiteral("NUL-1\t")});
         ClickRow(w->BlockTabLB, 0);
         EXPECT_EQ(w.recorder.errors,
                   QStringList{QStringLiteral("\"\" не является целым числом.")});
         ExpectNoDetails(w);
         w->AddBtn->click(); // no block shown: nothing to add
         EXPECT_TRUE(w->Devices.empty());

         w->CodeRB->click();
         SearchCode(*w.form, QStringLiteral("%"));
         EXPECT_EQ(Rows(w->BlockTabLB), QStringList{QStringLiteral("NUL-1\t")});
         EXPECT_EQ(w.recorder.errors.size(), 1);
     }},

    {"NameOfOneMebibyte",
     [](FixtureCatalog& c) {
         CategoriesOnly(c);
         ExecSql(c.DatabasePath(),
                 BlocksTableSql() +
                     QStringLiteral("INSERT INTO BLOCKS VALUES ('LONG', "
                                    "replace(hex(zeroblob(524288)), '0', 'N'), 'А', 1, 0.5, "
                                    "0.5, 0.5, 1, 1, 0);"));
     },
     [](Window& w, FixtureCatalog&) {
         ExpectOpened(w);
         PickItem(w->CategoryField, 0);
         const QString name(1048576, QLatin1Char('N'));
         ASSERT_EQ(Rows(w->BlockTabLB), QStringList{QStringLiteral("LONG\t") + name});
         ClickRow(w->BlockTabLB, 0, 5);
         EXPECT_EQ(w->FNameRusField->text(), name);
         w->AddBtn->click();
         EXPECT_EQ(w->Devices.size(), 1u);
         EXPECT_TRUE(w.recorder.errors.isEmpty());
     }},

    // 1e308 + 1e308 sums exactly to 2E308, beyond any double but shown as it
    // is and over every limit; slot counts
    // past any crate are refused, also when the basket already holds more
    // slots than the ticked crate.
    {"NumbersAtTheLimits",
     [](FixtureCatalog& c) {
         CategoriesOnly(c);
         ExecSql(c.DatabasePath(),
                 BlocksTableSql() +
                     QStringLiteral(
                         "INSERT INTO BLOCKS VALUES ('HUGE', 'Огромный', 'А', 1, 1e308, 0, 0, "
                         "0, 1, 0);"
                         "INSERT INTO BLOCKS VALUES ('NEG', 'Отрицательный', 'А', 1, 0, -1, -1, "
                         "-1, 1, 0);"
                         "INSERT INTO BLOCKS VALUES ('MAXSLOTS', 'Слотов без счёта', 'А', "
                         "9223372036854775807, 0, 0, 0, 0, 1, 0);"
                         "INSERT INTO BLOCKS VALUES ('S300', 'Триста слотов', 'А', 300, 0, 0, "
                         "0, 0, 1, 0);"
                         "INSERT INTO BLOCKS VALUES ('S16', 'Шестнадцать слотов', 'А', 16, 0, "
                         "0, 0, 0, 1, 0);"));
     },
     [](Window& w, FixtureCatalog&) {
         ExpectOpened(w);
         TMainForm& form = *w.form;
         const auto add = [&](const QString& code) {
             SearchCode(form, code);
             ClickRow(form.BlockTabLB, 0);
             form.AddBtn->click();
         };
         form.CodeRB->click();
         SearchCode(form, QStringLiteral("MAXSLOTS"));
         ClickRow(form.BlockTabLB, 0);
         EXPECT_EQ(form.FSlotsCountField->text(), QStringLiteral("9223372036854775807"));

         add(QStringLiteral("HUGE"));
         EXPECT_EQ(form.FV5Field->text(), QStringLiteral("1E308"));
         add(QStringLiteral("HUGE"));
         add(QStringLiteral("NEG"));
         EXPECT_EQ(Rows(form.TotalTabLB), QStringList{QStringLiteral("\t2E308\t-1\t-1\t-1\t3")});
         EXPECT_TRUE(
             form.FVerdictField->text().startsWith(QStringLiteral("ПРЕВЫШЕНИЕ: +5V на 2E308")))
             << form.FVerdictField->text().toStdString();
         EXPECT_EQ(form.TotalTabLB->FontColor(), QColor(255, 0, 0));
         EXPECT_TRUE(w.recorder.dialogs.empty());

         for (const QString& code : {QStringLiteral("S300"), QStringLiteral("MAXSLOTS")}) {
             SCOPED_TRACE(code.toStdString());
             w.recorder.dialogs.clear();
             add(code);
             ASSERT_EQ(w.recorder.dialogs.size(), 1u);
             EXPECT_EQ(w.recorder.dialogs[0].text, QStringLiteral("Корзина заполнена!"));
             EXPECT_EQ(form.Devices.size(), 3u);
         }

         // 16 slots in the 16-slot crate, then the 4-slot crate ticked.
         w.recorder.nextAnswer = 1;
         form.ClearBtn->click();
         ASSERT_TRUE(form.Devices.empty());
         EXPECT_TRUE(CrateTypeTickWorks(w, 5));
         add(QStringLiteral("S16"));
         ASSERT_EQ(form.Devices.size(), 1u);
         EXPECT_TRUE(CrateTypeTickWorks(w, 0));
         w.recorder.dialogs.clear();
         add(QStringLiteral("MAXSLOTS"));
         ASSERT_EQ(w.recorder.dialogs.size(), 1u);
         EXPECT_EQ(w.recorder.dialogs[0].text, QStringLiteral("Корзина заполнена!"));
         EXPECT_EQ(form.Devices.size(), 1u);
         EXPECT_TRUE(w.recorder.errors.isEmpty());
     }},

    // An invalid UTF-8 byte shows as the replacement character, so that code
    // finds no block again; text stops at a zero byte.
    {"InvalidUtf8AndZeroBytesInText",
     [](FixtureCatalog& c) {
         CategoriesOnly(c);
         ExecSql(c.DatabasePath(),
                 BlocksTableSql() +
                     QStringLiteral("INSERT INTO BLOCKS VALUES (CAST(X'4241C4FF' AS TEXT), "
                                    "'Плохой код', 'А', 1, 0, 0, 0, 0, 1, 0);"
                                    "INSERT INTO BLOCKS VALUES ('ZERO', CAST(X'D094D09E00D09FD09E' "
                                    "AS TEXT), 'А', 1, 0, 0, 0, 0, 1, 0);"));
     },
     [](Window& w, FixtureCatalog&) {
         ExpectOpened(w);
         PickItem(w->CategoryField, 0);
         ASSERT_EQ(Rows(w->BlockTabLB), (QStringList{QStringLiteral("BA\uFFFD\uFFFD\tПлохой код"),
                                                     QStringLiteral("ZERO\tДО")}));
         // The row carries the code's own bytes, so the block is found
         // although its screen text no longer leads back to it.
         ClickRow(w->BlockTabLB, 0);
         EXPECT_EQ(w->FIdentField->text(), QStringLiteral("BA\uFFFD\uFFFD"));
         EXPECT_EQ(w->FNameRusField->text(), QStringLiteral("Плохой код"));
         ClickRow(w->BlockTabLB, 1);
         EXPECT_EQ(w->FIdentField->text(), QStringLiteral("ZERO"));
         EXPECT_EQ(w->FNameRusField->text(), QStringLiteral("ДО"));
         EXPECT_TRUE(w.recorder.errors.isEmpty());
     }},

    // A catalog left in write-ahead-log mode opens and searches without a
    // -wal or -shm file appearing beside it (checked for every case).
    {"CatalogInWalMode",
     [](FixtureCatalog& c) {
         c.WriteStandard();
         ExecSql(c.DatabasePath(), QStringLiteral("PRAGMA journal_mode=WAL;"));
     },
     [](Window& w, FixtureCatalog&) {
         ExpectOpened(w);
         w->CodeRB->click();
         SearchCode(*w.form, QStringLiteral("mk1"));
         EXPECT_EQ(w->BlockTabLB->Items().Count(), 3);
         ClickRow(w->BlockTabLB, 1);
         EXPECT_EQ(w->FIdentField->text(), QStringLiteral("MK1-100"));
         EXPECT_TRUE(w.recorder.errors.isEmpty());
     }},

    // Category files. A category list that cannot be read is reported with
    // its name at start-up; the code search works without it.
    {"CategoryListMissing",
     [](FixtureCatalog& c) {
         c.WriteStandard();
         ASSERT_TRUE(QFile::remove(c.CategoryPath(QStringLiteral("Category000.itm"))));
     },
     [](Window& w, FixtureCatalog& c) {
         ExpectOpened(w);
         EXPECT_EQ(w.recorder.errors,
                   QStringList{QStringLiteral("Не удалось открыть файл \"") +
                               c.CategoryPath(QStringLiteral("Category000.itm")) +
                               QStringLiteral("\": No such file or directory.")});
         EXPECT_EQ(w->CategoryField->count(), 0);
         w->CodeRB->click();
         SearchCode(*w.form, QStringLiteral("mk1-1"));
         EXPECT_EQ(Rows(w->BlockTabLB), QStringList{QStringLiteral("MK1-100\tМодуль контроллера")});
     }},

    {"CategoryListIsADirectory",
     [](FixtureCatalog& c) {
         c.WriteStandard();
         const QString path = c.CategoryPath(QStringLiteral("Category000.itm"));
         ASSERT_TRUE(QFile::remove(path));
         ASSERT_TRUE(QDir().mkpath(path));
     },
     [](Window& w, FixtureCatalog& c) {
         ExpectOpened(w);
         ASSERT_EQ(w.recorder.errors.size(), 1);
         EXPECT_TRUE(w.recorder.errors[0].startsWith(
             QStringLiteral("Не удалось открыть файл \"") +
             c.CategoryPath(QStringLiteral("Category000.itm")) + QStringLiteral("\": ")))
             << w.recorder.errors[0].toStdString();
         EXPECT_EQ(w->CategoryField->count(), 0);
         w->CodeRB->click();
         SearchCode(*w.form, QStringLiteral("бк"));
         EXPECT_EQ(Rows(w->BlockTabLB), QStringList{QStringLiteral("БК-7\tБлок коммутации")});
     }},

    {"CategoryListEmpty",
     [](FixtureCatalog& c) {
         c.WriteStandard();
         WriteBytes(c.CategoryPath(QStringLiteral("Category000.itm")), {});
     },
     [](Window& w, FixtureCatalog&) {
         ExpectOpened(w);
         EXPECT_TRUE(w.recorder.errors.isEmpty());
         EXPECT_EQ(w->CategoryField->count(), 0);
         w->CodeRB->click();
         SearchCode(*w.form, QStringLiteral("sub"));
         EXPECT_EQ(w->BlockTabLB->Items().Count(), 3);
     }},

    {"CategoryListOfTenThousandLines",
     [](FixtureCatalog& c) {
         c.WriteStandard();
         QStringList names;
         for (int n = 1; n <= 10000; ++n)
             names << QStringLiteral("Категория %1").arg(n);
         c.WriteCategories(names);
     },
     [](Window& w, FixtureCatalog&) {
         ExpectOpened(w);
         ASSERT_EQ(w->CategoryField->count(), 10000);
         EXPECT_EQ(w->CategoryField->itemText(9999), QStringLiteral("Категория 10000"));
         PickItem(w->CategoryField, 9999);
         EXPECT_EQ(w->BlockTabLB->Items().Count(), 0);
         PickItem(w->CategoryField, 5);
         EXPECT_EQ(w->BlockTabLB->Items().Count(), 3);
         PickItem(w->CategoryField, 23);
         EXPECT_EQ(w->SubCategoryField->count(), 4);
         EXPECT_TRUE(w.recorder.errors.isEmpty());
     }},

    // Bytes 0..255: LF (10) and CR (13) break the text into three lines, and
    // every other byte becomes one character.
    {"CategoryListOfEveryByte",
     [](FixtureCatalog& c) {
         c.WriteStandard();
         QByteArray bytes;
         for (int b = 0; b < 256; ++b)
             bytes.append(static_cast<char>(b));
         WriteBytes(c.CategoryPath(QStringLiteral("Category000.itm")), bytes);
     },
     [](Window& w, FixtureCatalog&) {
         ExpectOpened(w);
         EXPECT_TRUE(w.recorder.errors.isEmpty());
         ASSERT_EQ(w->CategoryField->count(), 3);
         EXPECT_EQ(w->CategoryField->itemText(0).size(), 10);
         EXPECT_EQ(w->CategoryField->itemText(1), QStringLiteral("\x0b\x0c"));
         const QString third = w->CategoryField->itemText(2);
         ASSERT_EQ(third.size(), 256 - 14);
         EXPECT_EQ(third.at(0x98 - 14), QChar(0xFFFD));
         EXPECT_EQ(third.at(0xC0 - 14), QChar(u'А'));
         EXPECT_EQ(third.back(), QChar(u'я'));
         PickItem(w->CategoryField, 2);
         EXPECT_EQ(w->BlockTabLB->Items().Count(), 2); // category 3
     }},

    // Each search row carries its code's own bytes: a tab or a zero byte
    // inside a code no longer leads the details to another block. On
    // screen a tab in a code is an arrow, so the name stays in its column;
    // text still ends at a zero byte.
    {"CodesWithTabsAndZeroBytesInside",
     [](FixtureCatalog& c) {
         CategoriesOnly(c);
         ExecSql(c.DatabasePath(),
                 BlocksTableSql() +
                     QStringLiteral(
                         "INSERT INTO BLOCKS VALUES ('AB', 'Блок AB', 'А', 1, 0.1, 0, 0, 1, 1, 0);"
                         "INSERT INTO BLOCKS VALUES ('AB' || char(9) || 'X', 'С табуляцией', "
                         "'Б', 1, 9, 0, 0, 45, 1, 0);"
                         "INSERT INTO BLOCKS VALUES ('AB' || char(9), 'С табуляцией в конце', "
                         "'В', 1, 5, 0, 0, 25, 1, 0);"
                         "INSERT INTO BLOCKS VALUES ('EF', 'Блок EF', 'Г', 1, 0.2, 0, 0, 1, 1, 0);"
                         "INSERT INTO BLOCKS VALUES (CAST(X'4546004748' AS TEXT), 'С нулём', "
                         "'Д', 2, 3, 0, 0, 15, 1, 0);"));
     },
     [](Window& w, FixtureCatalog&) {
         ExpectOpened(w);
         PickItem(w->CategoryField, 0);
         const struct {
             const char16_t* row;
             const char16_t* ident;
             const char16_t* v5;
         } rows[] = {
             {u"AB\tБлок AB", u"AB", u"0.1"},
             {u"AB→X\tС табуляцией", u"AB→X", u"9"},
             {u"AB→\tС табуляцией в конце", u"AB→", u"5"},
             {u"EF\tБлок EF", u"EF", u"0.2"},
             {u"EF\tС нулём", u"EF", u"3"},
         };
         ASSERT_EQ(w->BlockTabLB->Items().Count(), static_cast<int>(std::size(rows)));
         for (int i = 0; i < static_cast<int>(std::size(rows)); ++i) {
             SCOPED_TRACE(i);
             EXPECT_EQ(w->BlockTabLB->Items()[i], QString::fromUtf16(rows[i].row));
             EXPECT_EQ(w->BlockTabLB->ColumnText(1, i).isEmpty(), false);
             ClickRow(w->BlockTabLB, i);
             EXPECT_EQ(w->FIdentField->text(), QString::fromUtf16(rows[i].ident));
             EXPECT_EQ(w->FV5Field->text(), QString::fromUtf16(rows[i].v5));
         }
         EXPECT_TRUE(w.recorder.errors.isEmpty()) << w.recorder.errors.join(u'|').toStdString();
         ClickRow(w->BlockTabLB, 1);
         w->AddBtn->click();
         EXPECT_EQ(Rows(w->RackTabLB), QStringList{QStringLiteral("AB→X\t9\t0\t0\t45\t1")});
         EXPECT_EQ(Rows(w->TotalTabLB), QStringList{QStringLiteral("\t9\t0\t0\t45\t1")});
     }},

    // Text or a blob in a column of a number kind is not read by its
    // numeric prefix: the details show it as stored and marked, and the
    // block is refused with its code and column named. Numbers stored as
    // numbers read as before.
    {"TextAndBlobsInNumberColumns",
     [](FixtureCatalog& c) {
         CategoriesOnly(c);
         ExecSql(
             c.DatabasePath(),
             BlocksTableSql() +
                 QStringLiteral(
                     "INSERT INTO BLOCKS VALUES ('BAD-V5', 'а', 'А', 1, '2,5', 0, 0, 1, 1, 0);"
                     "INSERT INTO BLOCKS VALUES ('BAD-V7', 'б', 'А', 1, 0, 'abc', 0, 1, 1, 0);"
                     "INSERT INTO BLOCKS VALUES ('BAD-V_7', 'в', 'А', 1, 0, 0, '0,75', 1, 1, 0);"
                     "INSERT INTO BLOCKS VALUES ('BAD-POWER', 'г', 'А', 1, 0, 0, 0, '1e2x', 1, "
                     "0);"
                     "INSERT INTO BLOCKS VALUES ('BAD-SLOTS', 'д', 'А', 'два', 0, 0, 0, 1, 1, 0);"
                     "INSERT INTO BLOCKS VALUES ('BAD-BLOB', 'е', 'А', 1, X'3235', 0, 0, 1, 1, "
                     "0);"
                     "INSERT INTO BLOCKS VALUES ('GOOD', 'ж', 'А', 2, 0.5, '0.25', 0, 3, 1, 0);"));
     },
     [](Window& w, FixtureCatalog&) {
         ExpectOpened(w);
         PickItem(w->CategoryField, 0);
         const struct {
             QLabel* TMainForm::*label;
             const char16_t* shown;
             const char16_t* refusal;
         } bad[] = {
             {&TMainForm::FV5Field, u"2,5 (НЕ ЧИСЛО)",
              u"Блок \"BAD-V5\" не добавлен в корзину: в столбце V5 каталога записано не число."},
             {&TMainForm::FV7Field, u"abc (НЕ ЧИСЛО)",
              u"Блок \"BAD-V7\" не добавлен в корзину: в столбце V7 каталога записано не число."},
             {&TMainForm::F_V7Field, u"0,75 (НЕ ЧИСЛО)",
              u"Блок \"BAD-V_7\" не добавлен в корзину: в столбце V_7 каталога записано не "
              u"число."},
             {&TMainForm::FTotalPowerField, u"1e2x (НЕ ЧИСЛО)",
              u"Блок \"BAD-POWER\" не добавлен в корзину: в столбце TOTAL_POWER каталога "
              u"записано не число."},
             {&TMainForm::FSlotsCountField, u"два (НЕ ЧИСЛО)",
              u"Блок \"BAD-SLOTS\" не добавлен в корзину: в столбце SLOTS_COUNT каталога "
              u"записано не число."},
             {&TMainForm::FV5Field, u"25 (НЕ ЧИСЛО)",
              u"Блок \"BAD-BLOB\" не добавлен в корзину: в столбце V5 каталога записано не "
              u"число."},
         };
         for (int i = 0; i < static_cast<int>(std::size(bad)); ++i) {
             SCOPED_TRACE(i);
             w.recorder.errors.clear();
             ClickRow(w->BlockTabLB, i);
             EXPECT_EQ(((*w.form).*bad[i].label)->text(), QString::fromUtf16(bad[i].shown));
             w->AddBtn->click();
             EXPECT_EQ(w.recorder.errors, QStringList{QString::fromUtf16(bad[i].refusal)});
             EXPECT_TRUE(w->Devices.empty());
             EXPECT_EQ(w->RackTabLB->Items().Count(), 0);
         }
         // '0.25' in a REAL column was stored as the number 0.25.
         w.recorder.errors.clear();
         ClickRow(w->BlockTabLB, 6);
         EXPECT_EQ(Details(*w.form).mid(5),
                   (QStringList{QStringLiteral("2"), QStringLiteral("0.5"), QStringLiteral("0.25"),
                                QStringLiteral("0"), QStringLiteral("3")}));
         w->AddBtn->click();
         EXPECT_TRUE(w.recorder.errors.isEmpty());
         EXPECT_EQ(Rows(w->TotalTabLB), QStringList{QStringLiteral("\t0.5\t0.25\t0\t3\t2")});
     }},

    // Anything but a regular file is refused before it is opened.
    {"CatalogIsAFifo",
     [](FixtureCatalog& c) {
         CategoriesOnly(c);
         MakeFifo(c.DatabasePath());
     },
     [](Window& w, FixtureCatalog&) { ExpectOpeningFailed(w); }},

    {"CatalogLinksToADevice",
     [](FixtureCatalog& c) {
         CategoriesOnly(c);
         LinkTo(QStringLiteral("/dev/zero"), c.DatabasePath());
     },
     [](Window& w, FixtureCatalog&) { ExpectOpeningFailed(w); }},

    // A link to a regular file is followed.
    {"CatalogLinksToARegularFile",
     [](FixtureCatalog& c) {
         c.WriteStandard();
         ASSERT_TRUE(QFile::rename(c.DatabasePath(), c.Dir() + QStringLiteral("/real.db")));
         LinkTo(c.Dir() + QStringLiteral("/real.db"), c.DatabasePath());
     },
     [](Window& w, FixtureCatalog&) {
         ExpectOpened(w);
         PickItem(w->CategoryField, 5);
         EXPECT_EQ(w->BlockTabLB->Items().Count(), 3);
     }},

    {"CategoryListIsAFifo",
     [](FixtureCatalog& c) {
         c.WriteStandard();
         MakeFifo(c.CategoryPath(QStringLiteral("Category000.itm")));
     },
     [](Window& w, FixtureCatalog& c) {
         ExpectOpened(w);
         EXPECT_EQ(w.recorder.errors,
                   QStringList{CategoryFileRefused(c, "Category000.itm", "это не обычный файл")});
         EXPECT_EQ(w->CategoryField->count(), 0);
         w->CodeRB->click();
         SearchCode(*w.form, QStringLiteral("бк"));
         EXPECT_EQ(Rows(w->BlockTabLB), QStringList{QStringLiteral("БК-7\tБлок коммутации")});
     }},

    {"SubcategoryListLinksToDevZero",
     [](FixtureCatalog& c) {
         c.WriteStandard();
         LinkTo(QStringLiteral("/dev/zero"), c.CategoryPath(QStringLiteral("Category021.itm")));
     },
     [](Window& w, FixtureCatalog& c) {
         ExpectOpened(w);
         PickItem(w->CategoryField, 20);
         EXPECT_EQ(w.recorder.errors,
                   QStringList{CategoryFileRefused(c, "Category021.itm", "это не обычный файл")});
         EXPECT_EQ(w->SubCategoryField->count(), 0);
         PickItem(w->CategoryField, 23);
         EXPECT_EQ(w->SubCategoryField->count(), 4);
     }},

    {"SubcategoryListOverSixteenMebibytes",
     [](FixtureCatalog& c) {
         c.WriteStandard();
         QFile file(c.CategoryPath(QStringLiteral("Category022.itm")));
         ASSERT_TRUE(file.open(QIODevice::ReadWrite));
         ASSERT_TRUE(file.resize((qint64{16} << 20) + 1)); // sparse: no disk used
     },
     [](Window& w, FixtureCatalog& c) {
         ExpectOpened(w);
         PickItem(w->CategoryField, 21);
         EXPECT_EQ(w.recorder.errors,
                   QStringList{CategoryFileRefused(c, "Category022.itm", "файл больше 16 МиБ")});
         EXPECT_EQ(w->SubCategoryField->count(), 0);
     }},

    // A category file saved as UTF-8 with a byte-order mark reads as UTF-8;
    // the others stay Windows-1251.
    {"CategoryListsInUtf8WithAByteOrderMark",
     [](FixtureCatalog& c) {
         c.WriteStandard();
         QStringList names;
         for (int n = 1; n <= 24; ++n)
             names << QStringLiteral("Категория №%1 «ё»").arg(n);
         WriteBytes(c.CategoryPath(QStringLiteral("Category000.itm")),
                    "\xEF\xBB\xBF" + names.join(QStringLiteral("\r\n")).toUtf8());
         WriteBytes(c.CategoryPath(QStringLiteral("Category024.itm")),
                    QByteArray("\xEF\xBB\xBF") + "Первая\nВторая\nТретья ✓\n");
     },
     [](Window& w, FixtureCatalog&) {
         ExpectOpened(w);
         ASSERT_EQ(w->CategoryField->count(), 24);
         EXPECT_EQ(w->CategoryField->itemText(0), QStringLiteral("Категория №1 «ё»"));
         PickItem(w->CategoryField, 23);
         ASSERT_EQ(w->SubCategoryField->count(), 3);
         EXPECT_EQ(w->SubCategoryField->itemText(2), QStringLiteral("Третья ✓"));
         PickItem(w->SubCategoryField, 2);
         ASSERT_EQ(w->BlockTabLB->Items().Count(), 1);
         ClickRow(w->BlockTabLB, 0);
         EXPECT_EQ(w->FSubCategoryField->text(), QStringLiteral("Третья ✓"));
         PickItem(w->CategoryField, 20); // Category021.itm, in Windows-1251
         EXPECT_EQ(w->SubCategoryField->itemText(0), QStringLiteral("Подкатегория 21-1"));
         EXPECT_TRUE(w.recorder.errors.isEmpty());
     }},

    // The schema is untrusted: a view may not reach a virtual table that
    // is not marked harmless.
    {"ViewOverAnUnsafeVirtualTable",
     [](FixtureCatalog& c) {
         CategoriesOnly(c);
         ExecSql(
             c.DatabasePath(),
             BlocksWithout(QStringLiteral("NONE"))
                     .replace(QStringLiteral("TABLE BLOCKS"), QStringLiteral("TABLE REAL_BLOCKS")) +
                 QStringLiteral("CREATE VIEW BLOCKS AS SELECT b.* FROM REAL_BLOCKS b, "
                                "(SELECT count(*) FROM dbstat);"));
     },
     [](Window& w, FixtureCatalog&) {
         ExpectOpened(w);
         PickItem(w->CategoryField, 0);
         // SQLite's message ends in a quote, so the error box adds no full stop.
         EXPECT_EQ(w.recorder.errors,
                   QStringList{QStringLiteral("ОШИБКА ВЫПОЛНЕНИЯ SQL-ЗАПРОСА. \"") +
                               QString::fromStdString(QueryByCategory(1).sql) +
                               QStringLiteral("\" : unsafe use of virtual table \"dbstat\"")});
     }},

    {"CategoryListWithCrOnlyBreaks",
     [](FixtureCatalog& c) {
         c.WriteStandard();
         WriteCp1251File(c.CategoryPath(QStringLiteral("Category000.itm")),
                         QStringLiteral("Первая\rВторая\rТретья"));
     },
     [](Window& w, FixtureCatalog&) {
         ExpectOpened(w);
         ASSERT_EQ(w->CategoryField->count(), 3);
         EXPECT_EQ(w->CategoryField->itemText(2), QStringLiteral("Третья"));
         PickItem(w->CategoryField, 0);
         EXPECT_EQ(w->BlockTabLB->Items().Count(), 2);
     }},

    {"SubcategoryListMissing",
     [](FixtureCatalog& c) {
         c.WriteStandard();
         ASSERT_TRUE(QFile::remove(c.CategoryPath(QStringLiteral("Category021.itm"))));
     },
     [](Window& w, FixtureCatalog& c) {
         ExpectOpened(w);
         PickItem(w->CategoryField, 20);
         EXPECT_EQ(w.recorder.errors,
                   QStringList{QStringLiteral("Не удалось открыть файл \"") +
                               c.CategoryPath(QStringLiteral("Category021.itm")) +
                               QStringLiteral("\": No such file or directory.")});
         EXPECT_EQ(w->SubCategoryField->count(), 0);
         EXPECT_EQ(w->BlockTabLB->Items().Count(), 0);
         PickItem(w->CategoryField, 23);
         EXPECT_EQ(w->SubCategoryField->count(), 4);
         PickItem(w->SubCategoryField, 2);
         EXPECT_EQ(Rows(w->BlockTabLB).size(), 1);
         EXPECT_EQ(w.recorder.errors.size(), 1);
     }},
};

class HostileCatalog : public ::testing::TestWithParam<HostileCase> {};

} // namespace

TEST_P(HostileCatalog, ReportsKeepsWorkingAndWritesNothing)
{
    const HostileCase& c = GetParam();
    FixtureCatalog catalog;
    c.make(catalog);
    ASSERT_FALSE(HasFatalFailure());
    const DirectoryContents before = ContentsOf(catalog.Dir());
    {
        Window window(catalog.Dir());
        c.check(window, catalog);
        EXPECT_EQ(ContentsOf(catalog.Dir()), before) << "while the catalog is open";
    }
    EXPECT_EQ(ContentsOf(catalog.Dir()), before) << "after the window is gone";
}

INSTANTIATE_TEST_SUITE_P(Cases, HostileCatalog, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<HostileCase>& param) {
                             return std::string(param.param.name);
                         });
