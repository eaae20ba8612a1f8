// SPDX-License-Identifier: MIT
// The program's directory comes from the bytes of the executable's path,
// never from the working directory: installed under a folder whose name
// is Windows-1251 bytes (not valid UTF-8), the window opens the catalog
// beside the program, not one planted in the working directory.

#include "WindowDriver.h"

#include "app/ProgramDirectory.h"
#include "kit/TabbedListBox.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QRadioButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

// "Программа" in Windows-1251.
const QByteArray kCp1251Folder("\xCF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xE0");

// Makes the current directory `dir` while it lives.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const QString& dir) : saved_(QDir::currentPath())
    {
        EXPECT_TRUE(QDir::setCurrent(dir));
    }
    ~WorkingDirectory() { QDir::setCurrent(saved_); }

private:
    QString saved_;
};

} // namespace

TEST(ProgramDirectory, FolderNamedInAnotherEncodingIsFoundByItsBytes)
{
    FixtureCatalog installed; // the catalog that ships with the program
    installed.WriteStandard();
    FixtureCatalog planted; // a catalog someone left in the working directory
    planted.WriteStandard();
    planted.AddBlocks({{QStringLiteral("PLANTED-1"), QStringLiteral("Подброшенный"),
                        QStringLiteral("А"), 1, 0.1, 0, 0, 1, 1, 0}});

    // <tmp>/<cp1251 bytes> leads to the installed catalog; the executable's
    // link points into it, as /proc/self/exe would.
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    const QByteArray folder = QFile::encodeName(scratch.path()) + '/' + kCp1251Folder;
    ASSERT_EQ(::symlink(QFile::encodeName(installed.Dir()).constData(), folder.constData()), 0);
    const QByteArray link = QFile::encodeName(scratch.path()) + "/exe";
    ASSERT_EQ(::symlink((folder + "/veltrum").constData(), link.constData()), 0);

    const WorkingDirectory cwd(planted.Dir());
    const std::optional<QString> directory = ExecutableDirectory(link);
    ASSERT_TRUE(directory.has_value());
    EXPECT_NE(QDir(*directory).canonicalPath(), QDir(planted.Dir()).canonicalPath());

    Window window(*directory);
    ASSERT_NE(window->Database, nullptr);
    window->CodeRB->click();
    SearchCode(*window.form, QStringLiteral("planted"));
    EXPECT_EQ(window->BlockTabLB->Items().Count(), 0);
    SearchCode(*window.form, QStringLiteral("mk1"));
    EXPECT_EQ(window->BlockTabLB->Items().Count(), 3);
    EXPECT_EQ(window->CategoryField->count(), 24);
    EXPECT_TRUE(window.recorder.errors.isEmpty())
        << window.recorder.errors.join(u'|').toStdString();
}

TEST(ProgramDirectory, PlainNamesStayAsTheyAre)
{
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    const QString folder = scratch.path() + QStringLiteral("/Программа");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QByteArray link = QFile::encodeName(scratch.path()) + "/exe";
    ASSERT_EQ(::symlink(QFile::encodeName(folder + QStringLiteral("/veltrum")).constData(),
                        link.constData()),
              0);
    EXPECT_EQ(ExecutableDirectory(link), std::optional<QString>(folder));
}

TEST(ProgramDirectory, UnreadableLinkGivesNoDirectoryRatherThanTheWorkingOne)
{
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    EXPECT_EQ(ExecutableDirectory(QFile::encodeName(scratch.path()) + "/missing"), std::nullopt);
    // A folder in another encoding that no longer exists cannot be reached.
    const QByteArray link = QFile::encodeName(scratch.path()) + "/exe";
    ASSERT_EQ(
        ::symlink(
            (QFile::encodeName(scratch.path()) + '/' + kCp1251Folder + "/veltrum").constData(),
            link.constData()),
        0);
    EXPECT_EQ(ExecutableDirectory(link), std::nullopt);
    // The running program's own link resolves.
    EXPECT_TRUE(ExecutableDirectory().has_value());
}
