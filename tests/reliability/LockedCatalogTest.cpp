// SPDX-License-Identifier: MIT
// A catalog locked by another process: the sqlite3 tool holds an exclusive
// transaction with a pending write. A search fails at once with the busy
// message, the window stays usable, and the same search works once the
// other process has let go.

#include "CatalogFiles.h"
#include "WindowDriver.h"

#include "catalog/CatalogQueries.h"
#include "kit/TabbedListBox.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QRadioButton>

#include <gtest/gtest.h>

namespace {

// Starts the sqlite3 tool on `database` and waits until it holds the lock.
void HoldExclusiveLock(QProcess& locker, const QString& database)
{
    locker.start(QStringLiteral("sqlite3"), {database});
    ASSERT_TRUE(locker.waitForStarted()) << "the sqlite3 tool is not installed";
    locker.write("BEGIN EXCLUSIVE;\n"
                 "INSERT INTO BLOCKS (IDENT, NAME_RUS, CATEGORY) VALUES ('LOCK-1', 'x', 6);\n"
                 "SELECT 'locked';\n");
    QByteArray output;
    QElapsedTimer timer;
    timer.start();
    while (!output.contains("locked") && timer.elapsed() < 10000) {
        locker.waitForReadyRead(100);
        output += locker.readAllStandardOutput();
    }
    ASSERT_TRUE(output.contains("locked"))
        << output.constData() << locker.readAllStandardError().constData();
}

void Release(QProcess& locker)
{
    locker.write("ROLLBACK;\n.quit\n");
    locker.closeWriteChannel();
    ASSERT_TRUE(locker.waitForFinished(10000));
    EXPECT_EQ(locker.exitCode(), 0) << locker.readAllStandardError().constData();
}

} // namespace

TEST(LockedCatalog, SearchReportsBusyAtOnceAndWorksAfterRelease)
{
    FixtureCatalog catalog;
    catalog.WriteStandard();
    const DirectoryContents before = ContentsOf(catalog.Dir());
    {
        Window window(catalog.Dir());
        ASSERT_NE(window->Database, nullptr);
        TMainForm& form = *window.form;

        QProcess locker;
        HoldExclusiveLock(locker, catalog.DatabasePath());
        ASSERT_FALSE(HasFatalFailure());

        // No busy timeout: the step fails with the busy message instead of waiting.
        PickItem(form.CategoryField, 5);
        form.CodeRB->click();
        SearchCode(form, QStringLiteral("mk1"));
        EXPECT_EQ(window.recorder.errors,
                  (QStringList{BusyFailure(QueryByCategory(6).sql),
                               BusyFailure(QueryByCodeFragment(QStringLiteral("MK1")).sql)}));
        EXPECT_EQ(form.BlockTabLB->Items().Count(), 0);
        EXPECT_TRUE(CrateTypeTickWorks(window, 4));

        Release(locker);
        window.recorder.errors.clear();
        SearchCode(form, QStringLiteral("mk1"));
        EXPECT_EQ(form.BlockTabLB->Items().Count(), 3);
        ClickRow(form.BlockTabLB, 0);
        EXPECT_EQ(form.FIdentField->text(), QStringLiteral("MK1-050"));
        EXPECT_TRUE(window.recorder.errors.isEmpty());
    }
    // The other process rolled back: the file is as it was, its journal gone.
    EXPECT_EQ(ContentsOf(catalog.Dir()), before);
}
