// SPDX-License-Identifier: MIT
// A catalog that a maintainer changes while the program runs, in both
// journal modes: updated in place, rewritten by VACUUM, replaced by
// another file moved over it, and written under an open transaction
// while the user searches. From the next query on, the window shows the
// catalog as it now is, never a mix of old and new rows and never a false
// error; it writes nothing and leaves nothing beside the catalog.

#include "CatalogFiles.h"
#include "WindowDriver.h"

#include "catalog/CatalogQueries.h"
#include "kit/TabbedListBox.h"

#include <QComboBox>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

namespace {

constexpr int kFillBlocks = 5000;
constexpr int kFillPosition = 6; // category 7 holds the fill blocks

// The fill blocks of category 7: "<prefix>-i", named "<name> i", drawing `v5` A.
QString FillSql(const char* prefix, const char* name, const char* v5)
{
    return QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                          "WHERE i < %1) INSERT INTO BLOCKS SELECT '%2-' || printf('%05d', i), "
                          "'%3 ' || i, 'А', 1, %4, 0, 0, 1, 7, 0 FROM n;")
        .arg(kFillBlocks)
        .arg(QString::fromUtf8(prefix), QString::fromUtf8(name), QString::fromLatin1(v5));
}

// Runs `sql` in the sqlite3 tool, another process, as a maintainer would.
void Maintain(const QString& database, const QString& sql)
{
    QProcess tool;
    tool.start(QStringLiteral("sqlite3"), {database});
    ASSERT_TRUE(tool.waitForStarted()) << "the sqlite3 tool is not installed";
    tool.write(sql.toUtf8() + "\n.quit\n");
    tool.closeWriteChannel();
    ASSERT_TRUE(tool.waitForFinished(60000));
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().constData();
    ASSERT_TRUE(tool.readAllStandardError().isEmpty());
}

QByteArray Sha256Of(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// What the search list of the fill category shows: every row of the old
// state, every row of the new one, or a mix.
enum class Seen { Old, New, Mixed, Empty };

Seen FillRowsSeen(Window& window)
{
    PickItem(window->CategoryField, kFillPosition);
    const QStringList rows = Rows(window->BlockTabLB);
    if (rows.isEmpty())
        return Seen::Empty;
    const auto count = [&rows](const char16_t* name) {
        return std::count_if(rows.begin(), rows.end(), [name](const QString& row) {
            return row.section(u'\t', 1).startsWith(QString::fromUtf16(name));
        });
    };
    if (rows.size() == kFillBlocks && count(u"Старый ") == kFillBlocks)
        return Seen::Old;
    if (rows.size() == kFillBlocks && count(u"Новый ") == kFillBlocks)
        return Seen::New;
    return Seen::Mixed;
}

// The current of the first and the last fill block, through their details.
QStringList FillCurrents(Window& window)
{
    QStringList currents;
    for (const int row : {0, kFillBlocks - 1}) {
        window->BlockTabLB->scrollTo(window->BlockTabLB->model()->index(row, 0));
        ClickRow(window->BlockTabLB, row);
        currents << window->FV5Field->text();
    }
    return currents;
}

struct Mode {
    const char* name;
    const char* journal; // the catalog's journal mode
};

const Mode kModes[] = {{"RollbackJournal", "DELETE"}, {"WriteAheadLog", "WAL"}};

FixtureCatalog* MakeCatalog(FixtureCatalog& catalog, const Mode& mode)
{
    catalog.WriteStandard();
    ExecSql(catalog.DatabasePath(),
            FillSql("OLD", "Старый", "0.01") +
                QStringLiteral("PRAGMA journal_mode=%1;").arg(QString::fromLatin1(mode.journal)));
    return &catalog;
}

// No journal, log or shared-memory file is left beside the catalog.
void ExpectNothingBeside(const FixtureCatalog& catalog)
{
    for (const char* suffix : {"-journal", "-wal", "-shm"})
        EXPECT_FALSE(QFile::exists(catalog.DatabasePath() + QString::fromLatin1(suffix))) << suffix;
}

struct Change {
    const char* name;
    std::function<void(FixtureCatalog&, const Mode&)> apply;
};

const Change kChanges[] = {
    {"UpdatedInPlace",
     [](FixtureCatalog& c, const Mode&) {
         Maintain(c.DatabasePath(),
                  QStringLiteral("UPDATE BLOCKS SET V5 = 7.5, NAME_RUS = 'Новый ' || "
                                 "substr(NAME_RUS, 8) WHERE CATEGORY = 7;"));
     }},
    {"DeletedInsertedAndVacuumed",
     [](FixtureCatalog& c, const Mode&) {
         Maintain(c.DatabasePath(), QStringLiteral("DELETE FROM BLOCKS WHERE CATEGORY = 7;") +
                                        FillSql("NEW", "Новый", "7.5") + QStringLiteral("VACUUM;"));
     }},
    {"ReplacedByAnotherFile",
     [](FixtureCatalog& c, const Mode& mode) {
         // A copy of the catalog, changed while nobody reads it.
         const QString next = c.Dir() + QStringLiteral("/next.db");
         ASSERT_TRUE(QFile::copy(c.DatabasePath(), next));
         Maintain(
             next,
             QStringLiteral("DELETE FROM BLOCKS WHERE CATEGORY = 7;") +
                 FillSql("NEW", "Новый", "7.5") +
                 QStringLiteral("PRAGMA journal_mode=%1;").arg(QString::fromLatin1(mode.journal)));
         // As `mv next.db VELTRUM.db` does.
         ASSERT_EQ(std::rename(QFile::encodeName(next).constData(),
                               QFile::encodeName(c.DatabasePath()).constData()),
                   0);
     }},
};

struct ChangeCase {
    Mode mode;
    Change change;
};

void PrintTo(const ChangeCase& c, std::ostream* out)
{
    *out << c.mode.name << '/' << c.change.name;
}

class ChangedCatalog : public ::testing::TestWithParam<ChangeCase> {};

std::vector<ChangeCase> AllChangeCases()
{
    std::vector<ChangeCase> cases;
    for (const Mode& mode : kModes)
        for (const Change& change : kChanges)
            cases.push_back({mode, change});
    return cases;
}

} // namespace

TEST_P(ChangedCatalog, NextQueryReadsItAsItNowIs)
{
    const ChangeCase& c = GetParam();
    FixtureCatalog catalog;
    MakeCatalog(catalog, c.mode);
    ASSERT_FALSE(HasFatalFailure());
    {
        Window window(catalog.Dir());
        ASSERT_NE(window->Database, nullptr);
        // Read everything once, so that whatever is cached is the old state.
        ASSERT_EQ(FillRowsSeen(window), Seen::Old);
        EXPECT_EQ(FillCurrents(window),
                  (QStringList{QStringLiteral("0.01"), QStringLiteral("0.01")}));

        c.change.apply(catalog, c.mode);
        ASSERT_FALSE(HasFatalFailure());
        ExpectNothingBeside(catalog); // the maintainer's files went with the maintainer
        const QByteArray changed = Sha256Of(catalog.DatabasePath());

        EXPECT_EQ(FillRowsSeen(window), Seen::New);
        EXPECT_EQ(FillCurrents(window),
                  (QStringList{QStringLiteral("7.5"), QStringLiteral("7.5")}));
        EXPECT_TRUE(window.recorder.errors.isEmpty())
            << window.recorder.errors.join(u'|').toStdString();
        // The rest of the catalog is there too.
        PickItem(window->CategoryField, 5);
        EXPECT_EQ(window->BlockTabLB->Items().Count(), 3);
        EXPECT_EQ(Sha256Of(catalog.DatabasePath()), changed) << "while the catalog is open";
        ExpectNothingBeside(catalog);
    }
    ExpectNothingBeside(catalog);
}

INSTANTIATE_TEST_SUITE_P(Cases, ChangedCatalog, ::testing::ValuesIn(AllChangeCases()),
                         [](const ::testing::TestParamInfo<ChangeCase>& param) {
                             return std::string(param.param.mode.name) + "_" +
                                    param.param.change.name;
                         });

namespace {

// The sqlite3 tool holding a write transaction open: the fill blocks
// renamed and their currents raised, not yet committed.
class HeldWrite {
public:
    HeldWrite(const QString& database, int cachePages)
    {
        tool_.start(QStringLiteral("sqlite3"), {database});
        EXPECT_TRUE(tool_.waitForStarted()) << "the sqlite3 tool is not installed";
        tool_.write(QStringLiteral("PRAGMA cache_size = %1;\nBEGIN IMMEDIATE;\n"
                                   "UPDATE BLOCKS SET V5 = 7.5, NAME_RUS = 'Новый ' || "
                                   "substr(NAME_RUS, 8) WHERE CATEGORY = 7;\nSELECT 'held';\n")
                        .arg(cachePages)
                        .toUtf8());
        QByteArray output;
        QElapsedTimer timer;
        timer.start();
        while (!output.contains("held") && timer.elapsed() < 30000) {
            tool_.waitForReadyRead(100);
            output += tool_.readAllStandardOutput();
        }
        held_ = output.contains("held");
        EXPECT_TRUE(held_) << tool_.readAllStandardError().constData();
    }
    bool Held() const { return held_; }
    void Commit()
    {
        tool_.write("COMMIT;\n.quit\n");
        tool_.closeWriteChannel();
        ASSERT_TRUE(tool_.waitForFinished(30000));
        EXPECT_EQ(tool_.exitCode(), 0) << tool_.readAllStandardError().constData();
    }

private:
    QProcess tool_;
    bool held_ = false;
};

struct HeldCase {
    Mode mode;
    const char* name;
    int cachePages; // a cache of 2 pages spills the change into the file before the commit
};

void PrintTo(const HeldCase& c, std::ostream* out)
{
    *out << c.mode.name << '/' << c.name;
}

class HeldTransaction : public ::testing::TestWithParam<HeldCase> {};

const HeldCase kHeldCases[] = {
    {kModes[0], "InCache", 10000},
    {kModes[0], "SpilledIntoTheFile", 2},
    {kModes[1], "InCache", 10000},
    {kModes[1], "SpilledIntoTheLog", 2},
};

} // namespace

TEST_P(HeldTransaction, SearchSeesTheLastCommitOrReportsBusyNeverAMix)
{
    const HeldCase& c = GetParam();
    FixtureCatalog catalog;
    MakeCatalog(catalog, c.mode);
    ASSERT_FALSE(HasFatalFailure());
    {
        Window window(catalog.Dir());
        ASSERT_NE(window->Database, nullptr);
        ASSERT_EQ(FillRowsSeen(window), Seen::Old);

        HeldWrite writer(catalog.DatabasePath(), c.cachePages);
        ASSERT_TRUE(writer.Held());
        for (int search = 0; search < 2; ++search) {
            SCOPED_TRACE(search);
            window.recorder.errors.clear();
            const Seen seen = FillRowsSeen(window);
            if (seen == Seen::Empty) {
                EXPECT_EQ(window.recorder.errors, QStringList{BusyFailure(QueryByCategory(7).sql)});
            } else {
                EXPECT_EQ(seen, Seen::Old);
                EXPECT_TRUE(window.recorder.errors.isEmpty())
                    << window.recorder.errors.join(u'|').toStdString();
            }
        }
        writer.Commit();
        ASSERT_FALSE(HasFatalFailure());
        const QByteArray committed = Sha256Of(catalog.DatabasePath());
        window.recorder.errors.clear();
        EXPECT_EQ(FillRowsSeen(window), Seen::New);
        EXPECT_EQ(FillCurrents(window),
                  (QStringList{QStringLiteral("7.5"), QStringLiteral("7.5")}));
        EXPECT_TRUE(window.recorder.errors.isEmpty())
            << window.recorder.errors.join(u'|').toStdString();
        EXPECT_EQ(Sha256Of(catalog.DatabasePath()), committed);
    }
    ExpectNothingBeside(catalog);
}

INSTANTIATE_TEST_SUITE_P(Cases, HeldTransaction, ::testing::ValuesIn(kHeldCases),
                         [](const ::testing::TestParamInfo<HeldCase>& param) {
                             return std::string(param.param.mode.name) + "_" + param.param.name;
                         });
