// SPDX-License-Identifier: MIT
// The recent basket files: the list's rules, where the settings file may
// live, and reading and writing it, a bad one included.

#include "exchange/RecentFiles.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class RecentFilesTest : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return dir.filePath(name); }
    QString Touch(const QString& name) const
    {
        QFile file(Path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return Path(name);
    }
    QStringList Entries() const
    {
        return QDir(dir.path())
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    }
    QTemporaryDir dir;
};

RecentFiles Used(const QStringList& paths)
{
    RecentFiles recent;
    for (const QString& path : paths)
        recent = WithRecentFile(recent, path);
    return recent;
}

} // namespace

TEST_F(RecentFilesTest, NewestFirstNoDoublesAtMostEight)
{
    QStringList made;
    for (int i = 1; i <= 10; ++i)
        made << Touch(QStringLiteral("b%1.vbasket").arg(i));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    ASSERT_TRUE(QFile::link(made[0], Path(QStringLiteral("link.vbasket"))));

    const struct {
        const char* name;
        QStringList used;
        QStringList expected;
    } cases[] = {
        {"newest first", {made[0], made[1], made[2]}, {made[2], made[1], made[0]}},
        {"used again goes to the top", {made[0], made[1], made[0]}, {made[0], made[1]}},
        {"another spelling of the same file",
         {made[0], made[1], Path(QStringLiteral("sub/../b1.vbasket"))},
         {made[0], made[1]}},
        {"through a link, the newest name stays",
         {made[0], made[1], Path(QStringLiteral("link.vbasket"))},
         {Path(QStringLiteral("link.vbasket")), made[1]}},
        {"the ninth drops off",
         made.mid(0, 10),
         {made[9], made[8], made[7], made[6], made[5], made[4], made[3], made[2]}},
        {"a file that is gone is still told by its path",
         {Path(QStringLiteral("gone.vbasket")), made[0], Path(QStringLiteral("gone.vbasket"))},
         {Path(QStringLiteral("gone.vbasket")), made[0]}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const RecentFiles recent = Used(c.used);
        EXPECT_EQ(recent.files, c.expected);
        EXPECT_EQ(recent.lastFolder, QDir::cleanPath(dir.path())) << "the last file's folder";
    }

    const QString relative = QDir(QDir::currentPath()).relativeFilePath(made[3]);
    EXPECT_EQ(Used({relative}).files, QStringList{made[3]}) << "kept absolute";

    const RecentFiles three = Used({made[0], made[1], made[2]});
    EXPECT_EQ(WithoutRecentFile(three, Path(QStringLiteral("sub/../b2.vbasket"))).files,
              (QStringList{made[2], made[0]}));
    EXPECT_EQ(WithoutRecentFile(three, Path(QStringLiteral("other.vbasket"))), three);
    EXPECT_EQ(WithLastFolder(three, Path(QStringLiteral("sub"))).lastFolder,
              Path(QStringLiteral("sub")));
    EXPECT_EQ(WithLastFolder(three, QString()).lastFolder, three.lastFolder);
}

TEST_F(RecentFilesTest, TheSettingsFileLivesInTheConfigurationFolderOnly)
{
    const QString config = Path(QStringLiteral("config/veltrum"));
    const QString catalog = Path(QStringLiteral("catalog"));
    const QString work = Path(QStringLiteral("work"));
    for (const QString& folder : {config, catalog, work})
        ASSERT_TRUE(QDir().mkpath(folder));
    const struct {
        const char* name;
        QString configFolder;
        QString expected;
    } cases[] = {
        {"the configuration folder", config, config + QStringLiteral("/recent.ini")},
        {"one not made yet", Path(QStringLiteral("new/veltrum")),
         Path(QStringLiteral("new/veltrum/recent.ini"))},
        {"none", QString(), QString()},
        {"a relative one would be the working directory's", QStringLiteral("veltrum"), QString()},
        {"the catalog's folder", catalog, QString()},
        {"the catalog's folder spelt otherwise", config + QStringLiteral("/../../catalog"),
         QString()},
        {"the working directory", work, QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RecentFilesLocation(c.configFolder, catalog, work), c.expected);
    }
}

TEST_F(RecentFilesTest, WrittenAndReadBack)
{
    const QString file = Path(QStringLiteral("config/veltrum/recent.ini"));
    RecentFiles recent =
        Used({Touch(QStringLiteral("a, b.vbasket")), Touch(QStringLiteral("Корзина №1.vbasket"))});
    recent = WithLastFolder(recent, Path(QStringLiteral("config")));
    EXPECT_TRUE(SaveRecentFiles(file, recent));
    EXPECT_EQ(LoadRecentFiles(file), recent);

    const RecentFiles one = Used({Path(QStringLiteral("a, b.vbasket"))});
    EXPECT_TRUE(SaveRecentFiles(file, one));
    EXPECT_EQ(LoadRecentFiles(file), one);
    EXPECT_TRUE(SaveRecentFiles(file, RecentFiles()));
    EXPECT_EQ(LoadRecentFiles(file), RecentFiles());
}

// A settings file edited by hand or written by something else is made to
// keep the list's rules; one that cannot be read or written is passed over
// without a fault.
TEST_F(RecentFilesTest, ABadSettingsFileIsPassedOver)
{
    QStringList made;
    for (int i = 1; i <= 10; ++i)
        made << Touch(QStringLiteral("b%1.vbasket").arg(i));
    const QString file = Path(QStringLiteral("recent.ini"));
    {
        QSettings settings(file, QSettings::IniFormat);
        settings.setValue(
            QStringLiteral("recent/files"),
            QStringList{made[0], QStringLiteral("relative.vbasket"), QString(), made[1], made[0]} +
                made.mid(2));
        settings.setValue(QStringLiteral("recent/lastFolder"), QStringLiteral("relative"));
    }
    const RecentFiles read = LoadRecentFiles(file);
    EXPECT_EQ(read.files, (QStringList{made[0], made[1], made[2], made[3], made[4], made[5],
                                       made[6], made[7]}));
    EXPECT_TRUE(read.lastFolder.isEmpty());

    QFile garbage(file);
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly | QIODevice::Truncate));
    // "\x01" "files": a hex escape would take the f as one of its digits.
    garbage.write(QByteArray("\xff\xfe[recent\n\x01" "files=\"unterminated\n") +
                  QByteArray(1000, '\0'));
    garbage.close();
    EXPECT_EQ(LoadRecentFiles(file), RecentFiles());

    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.ini")));
    EXPECT_EQ(LoadRecentFiles(Path(QStringLiteral("folder.ini"))), RecentFiles());
    EXPECT_EQ(LoadRecentFiles(Path(QStringLiteral("missing.ini"))), RecentFiles());
    EXPECT_EQ(LoadRecentFiles(QString()), RecentFiles());

    // A folder that cannot be made (a file stands in its place; root
    // could write into a read-only one).
    const QString blocker = Touch(QStringLiteral("blocker"));
    EXPECT_FALSE(SaveRecentFiles(blocker + QStringLiteral("/recent.ini"), Used({made[0]})));
    EXPECT_TRUE(QFileInfo(blocker).isFile());
    EXPECT_FALSE(SaveRecentFiles(Path(QStringLiteral("folder.ini")), Used({made[0]})));
    EXPECT_FALSE(SaveRecentFiles(QString(), Used({made[0]})));
}

TEST_F(RecentFilesTest, ReadingWritesNothing)
{
    const QString file = Path(QStringLiteral("recent.ini"));
    ASSERT_TRUE(SaveRecentFiles(file, Used({Touch(QStringLiteral("a.vbasket"))})));
    const QStringList before = Entries();
    QFile saved(file);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    saved.close();
    EXPECT_EQ(LoadRecentFiles(file).files.size(), 1);
    EXPECT_EQ(LoadRecentFiles(Path(QStringLiteral("other/recent.ini"))), RecentFiles());
    EXPECT_EQ(Entries(), before) << "no lock file, no folder";
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), bytes);
}
