// SPDX-License-Identifier: MIT
// veltrum-catalog as a process: what it prints where, and its exit statuses.

#include "Fixtures.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int status = -1;
    QString out, err;
};

ToolRun Tool(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(VELTRUM_CATALOG_TOOL), arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

void WriteCleanCatalog(FixtureCatalog& catalog)
{
    catalog.WriteCategories({QStringLiteral("Источники питания")});
    catalog.AddBlocks({PowerBlock(u"PS-1", 1, 0.9, 0, 0.2, 6)});
}

TEST(CatalogTool, HelpAndVersionAnswerOnStandardOutput)
{
    const ToolRun help = Tool({QStringLiteral("--help")});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("check DIR")));
    EXPECT_TRUE(help.err.isEmpty());
    const ToolRun version = Tool({QStringLiteral("--version")});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, QStringLiteral("veltrum-catalog " VELTRUM_TEST_VERSION "\n"));
}

TEST(CatalogTool, CommandLinesNotUnderstoodEndWithStatus2)
{
    const QStringList cases[] = {
        {},
        {QStringLiteral("frobnicate")},
        {QStringLiteral("check")},
        {QStringLiteral("check"), QStringLiteral("a"), QStringLiteral("b")},
        {QStringLiteral("check"), QStringLiteral("a"), QStringLiteral("--format"), QStringLiteral("xml")},
        {QStringLiteral("export"), QStringLiteral("a")},
        {QStringLiteral("import"), QStringLiteral("a.csv"), QStringLiteral("b"), QStringLiteral("--format"), QStringLiteral("json")},
        {QStringLiteral("--no-such-option")},
    };
    for (const QStringList& arguments : cases) {
        const ToolRun run = Tool(arguments);
        EXPECT_EQ(run.status, 2) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("veltrum-catalog: ")));
        EXPECT_TRUE(run.out.isEmpty());
    }
}

TEST(CatalogTool, CleanCatalogGivesStatus0AndOnlyTheCountLine)
{
    FixtureCatalog catalog;
    WriteCleanCatalog(catalog);
    const ToolRun run = Tool({QStringLiteral("check"), catalog.Dir()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, QStringLiteral("1 blocks, 1 categories, 0 crate types: 0 errors, 0 warnings\n"));
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
}

TEST(CatalogTool, SampleCatalogsGiveStatus0AndNothingOnStandardError)
{
    for (const char* dir : {VELTRUM_SAMPLE_DIR, VELTRUM_CRATES_SAMPLE_DIR}) {
        const ToolRun run = Tool({QStringLiteral("check"), QString::fromUtf8(dir)});
        EXPECT_EQ(run.status, 0) << dir << "\n" << run.out.toStdString();
        EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    }
}

TEST(CatalogTool, ErrorsGiveStatus1WarningsDoNot)
{
    FixtureCatalog catalog;
    WriteCleanCatalog(catalog);
    ExecSql(catalog.DatabasePath(), QStringLiteral("DROP INDEX BLOCKS_IDENT"));
    ToolRun run = Tool({QStringLiteral("check"), catalog.Dir()});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.out.startsWith(QStringLiteral("warning: BLOCKS: no index on IDENT")));
    ExecSql(catalog.DatabasePath(), QStringLiteral("UPDATE BLOCKS SET V5 = '0,9'"));
    run = Tool({QStringLiteral("check"), catalog.Dir()});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.out.contains(QStringLiteral("error: block PS-1 (rowid 1) V5: \"0,9\" is stored as text")))
        << run.out.toStdString();
    EXPECT_TRUE(run.err.isEmpty());
}

TEST(CatalogTool, JsonParses)
{
    FixtureCatalog catalog;
    WriteCleanCatalog(catalog);
    ExecSql(catalog.DatabasePath(), QStringLiteral("UPDATE BLOCKS SET SLOTS_COUNT = 300"));
    const ToolRun run = Tool({QStringLiteral("check"), catalog.Dir(), QStringLiteral("--format"), QStringLiteral("json")});
    EXPECT_EQ(run.status, 1);
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(run.out.toUtf8(), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << run.out.toStdString();
    EXPECT_EQ(json.object()[QStringLiteral("errors")].toInt(), 1);
}

TEST(CatalogTool, UnreadableCatalogGivesStatus3)
{
    QTemporaryDir empty;
    const ToolRun run = Tool({QStringLiteral("check"), empty.path()});
    EXPECT_EQ(run.status, 3);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.contains(QStringLiteral("no VELTRUM.db")));
}

TEST(CatalogTool, ExportImportAndCheck)
{
    QTemporaryDir work;
    const QString csv = work.filePath(QStringLiteral("c.csv"));
    const QString target = work.filePath(QStringLiteral("new"));
    ToolRun run = Tool({QStringLiteral("export"), QStringLiteral(VELTRUM_CRATES_SAMPLE_DIR), csv});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    run = Tool({QStringLiteral("import"), csv, target});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith(QStringLiteral("imported into ")));
    EXPECT_TRUE(run.out.endsWith(QStringLiteral("8 blocks, 3 categories, 4 crate types: 0 errors, 0 warnings\n")))
        << run.out.toStdString();
    // A second import into the now full directory is refused.
    run = Tool({QStringLiteral("import"), csv, target});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("not an empty directory")));
}

} // namespace
