// SPDX-License-Identifier: MIT
// A catalog that cannot be opened: the dialog keeps its one sentence,
// "Ошибка создания базы данных!", and SQLite's own reason, or the file
// layer's, goes to standard error as one line. Nothing is written.

#include "CatalogFiles.h"
#include "WindowDriver.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryFile>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Collects what is written to standard error while it lives.
class StandardErrorCapture {
public:
    StandardErrorCapture()
    {
        EXPECT_TRUE(file_.open());
        std::fflush(stderr);
        saved_ = ::dup(STDERR_FILENO);
        ::dup2(file_.handle(), STDERR_FILENO);
    }
    ~StandardErrorCapture() { Restore(); }
    QByteArray Text()
    {
        Restore();
        file_.seek(0);
        return file_.readAll();
    }

private:
    void Restore()
    {
        if (saved_ < 0)
            return;
        std::fflush(stderr);
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
        saved_ = -1;
    }
    QTemporaryFile file_;
    int saved_ = -1;
};

struct ReasonCase {
    const char* name;
    // Builds the catalog; returns the directory the window opens.
    std::function<QString(FixtureCatalog&)> make;
    const char* reason; // how SQLite's or the file layer's message ends
};

void PrintTo(const ReasonCase& c, std::ostream* out)
{
    *out << c.name;
}

// A writer killed in the middle of a transaction whose changes had spilled
// into the file: its journal is hot, and only a writer may roll it back.
QString HotJournal(FixtureCatalog& c)
{
    c.WriteStandard();
    ExecSql(c.DatabasePath(),
            QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE "
                           "i < 3000) INSERT INTO BLOCKS SELECT 'FILL-' || i, hex(randomblob(40)), "
                           "'А', 1, 0.1, 0, 0, 1, 7, 0 FROM n;"));
    QProcess writer;
    writer.start(QStringLiteral("sqlite3"), {c.DatabasePath()});
    EXPECT_TRUE(writer.waitForStarted()) << "the sqlite3 tool is not installed";
    writer.write("PRAGMA cache_size = 2;\nBEGIN;\nUPDATE BLOCKS SET NAME_RUS = "
                 "hex(randomblob(40));\nSELECT 'spilled';\n");
    QByteArray output;
    QElapsedTimer timer;
    timer.start();
    while (!output.contains("spilled") && timer.elapsed() < 30000) {
        writer.waitForReadyRead(100);
        output += writer.readAllStandardOutput();
    }
    writer.kill();
    writer.waitForFinished();
    EXPECT_TRUE(QFile::exists(c.DatabasePath() + QStringLiteral("-journal")));
    return c.Dir();
}

// Another process holds an exclusive lock while the window opens.
QProcess* gLocker = nullptr;
QString LockedAtStart(FixtureCatalog& c)
{
    c.WriteStandard();
    gLocker = new QProcess;
    gLocker->start(QStringLiteral("sqlite3"), {c.DatabasePath()});
    EXPECT_TRUE(gLocker->waitForStarted());
    gLocker->write("BEGIN EXCLUSIVE;\nSELECT 'locked';\n");
    QByteArray output;
    QElapsedTimer timer;
    timer.start();
    while (!output.contains("locked") && timer.elapsed() < 10000) {
        gLocker->waitForReadyRead(100);
        output += gLocker->readAllStandardOutput();
    }
    EXPECT_TRUE(output.contains("locked"));
    return c.Dir();
}

// Directories nested until the catalog's path is longer than SQLite takes.
QString PathTooLong(FixtureCatalog& c)
{
    QString dir = c.Dir();
    while (dir.size() < 600)
        dir += QStringLiteral("/") + QString(60, QLatin1Char('d'));
    EXPECT_TRUE(QDir().mkpath(dir));
    FixtureCatalog source;
    source.WriteStandard();
    EXPECT_TRUE(QFile::copy(source.DatabasePath(), dir + QStringLiteral("/VELTRUM.db")));
    EXPECT_TRUE(QDir(dir).mkdir(QStringLiteral("Category")));
    for (const char* file :
         {"Category000.itm", "Category021.itm", "Category022.itm", "Category024.itm"})
        EXPECT_TRUE(QFile::copy(source.CategoryPath(QString::fromLatin1(file)),
                                dir + QStringLiteral("/Category/") + QString::fromLatin1(file)));
    return dir;
}

// A catalog in write-ahead-log mode with its log but not its shared-memory
// file, in a folder nobody may write to.
QString WalWithoutShmReadOnly(FixtureCatalog& c)
{
    c.WriteStandard();
    ExecSql(c.DatabasePath(), QStringLiteral("PRAGMA journal_mode=WAL;"));
    WriteBytes(c.DatabasePath() + QStringLiteral("-wal"), {});
    EXPECT_EQ(::chmod(QFile::encodeName(c.Dir()).constData(), 0555), 0);
    return c.Dir();
}

QString Fifo(FixtureCatalog& c)
{
    c.WriteStandard();
    QFile::remove(c.DatabasePath());
    EXPECT_EQ(::mkfifo(QFile::encodeName(c.DatabasePath()).constData(), 0644), 0);
    return c.Dir();
}

const ReasonCase kCases[] = {
    {"HotJournalOfAKilledWriter", HotJournal, ": attempt to write a readonly database"},
    {"LockedByAnotherProcess", LockedAtStart, ": database is locked"},
    {"PathTooLong", PathTooLong, ": unable to open database file."},
    {"WalWithoutShmInAReadOnlyFolder", WalWithoutShmReadOnly, ": unable to open database file."},
    {"Fifo", Fifo, ": ЭТО НЕ ОБЫЧНЫЙ ФАЙЛ."},
};

class OpeningReason : public ::testing::TestWithParam<ReasonCase> {};

} // namespace

TEST_P(OpeningReason, DialogKeepsItsTextAndTheReasonGoesToStandardError)
{
    const ReasonCase& c = GetParam();
    if (std::string(c.name) == "WalWithoutShmInAReadOnlyFolder" && ::geteuid() == 0)
        GTEST_SKIP() << "a folder's permissions do not hold for root";
    FixtureCatalog catalog;
    const QString dir = c.make(catalog);
    ASSERT_FALSE(HasFatalFailure());
    const DirectoryContents before = ContentsOf(catalog.Dir());
    QByteArray written;
    {
        StandardErrorCapture capture;
        Window window(dir);
        ExpectOpeningFailed(window);
        written = capture.Text();
    }
    if (gLocker) {
        gLocker->write("ROLLBACK;\n.quit\n");
        gLocker->waitForFinished();
        delete gLocker;
        gLocker = nullptr;
    }
    ::chmod(QFile::encodeName(catalog.Dir()).constData(), 0755);
    // One line of the program's own; the platform may add lines of its own.
    QStringList ours;
    for (const QString& line : QString::fromUtf8(written).split(u'\n'))
        if (line.startsWith(QStringLiteral("veltrum: ")))
            ours << line;
    ASSERT_EQ(ours.size(), 1) << written.constData();
    const QString& text = ours[0];
    // The layer's message: the opening itself, or a set-up statement.
    const QString opening = QStringLiteral("veltrum: НЕВОЗМОЖНО ОТКРЫТЬ БАЗУ ДАННЫХ ");
    const QString setUp = QStringLiteral("veltrum: ОШИБКА ВЫПОЛЕНИЯ SQL-ЗАПРОСА ");
    const bool named = text.startsWith(opening) || text.startsWith(setUp);
    EXPECT_TRUE(named) << written.constData();
    EXPECT_TRUE(text.trimmed().endsWith(QString::fromUtf8(c.reason))) << written.constData();
    EXPECT_EQ(ContentsOf(catalog.Dir()), before);
}

INSTANTIATE_TEST_SUITE_P(Cases, OpeningReason, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<ReasonCase>& param) {
                             return std::string(param.param.name);
                         });
