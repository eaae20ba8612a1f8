// SPDX-License-Identifier: MIT
// `veltrum --check` run as a script would run it: the real executable with
// no display and no HOME, from a read-only working directory. It reports,
// and changes no byte of the catalog, the basket files, the working
// directory or any place a program keeps its settings, caches or
// temporary files.

#include "CatalogFiles.h"
#include "Fixtures.h"

#include "exchange/BasketFile.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

// A directory nobody may write to (root still can: what is checked is
// that nothing was written, not that writing failed).
class ReadOnlyDir {
public:
    ReadOnlyDir()
    {
        EXPECT_TRUE(dir_.isValid());
        EXPECT_EQ(::chmod(QFile::encodeName(dir_.path()).constData(), 0555), 0);
    }
    ~ReadOnlyDir() { ::chmod(QFile::encodeName(dir_.path()).constData(), 0700); }
    QString Path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
};

} // namespace

TEST(CheckWritesNothing, NoDisplayNoHomeAndNothingWrittenAnywhere)
{
    FixtureCatalog catalog;
    catalog.WriteStandard();
    QTemporaryDir baskets;
    BasketDocument basket;
    basket.decimalSeparator = QStringLiteral(".");
    basket.crateType = QStringLiteral("KSV-3HA (QT27)");
    basket.entries = {{QStringLiteral("MK1-100"), QStringLiteral("0.5"), QStringLiteral("0.1"),
                       QStringLiteral("0.05"), QStringLiteral("3.2"), QStringLiteral("1")},
                      {QStringLiteral("GONE-1"), QStringLiteral("1"), QStringLiteral("1"),
                       QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1")}};
    basket.catalog = ReadCatalogStamp(catalog.DatabasePath());
    const QString file = baskets.filePath(QStringLiteral("crate.vbasket"));
    SaveBasketFile(file, basket);

    ReadOnlyDir workingDir, home, temporary;
    const DirectoryContents catalogBefore = ContentsOf(catalog.Dir());
    const DirectoryContents basketsBefore = ContentsOf(baskets.path());

    // First nothing at all in the environment; then the places a program
    // writes to when it has them, all pointing where the test looks.
    QProcessEnvironment withPlaces;
    withPlaces.insert(QStringLiteral("HOME"), home.Path());
    for (const char* place : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME",
                              "XDG_STATE_HOME", "XDG_RUNTIME_DIR"})
        withPlaces.insert(QLatin1String(place), home.Path());
    withPlaces.insert(QStringLiteral("TMPDIR"), temporary.Path());
    withPlaces.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb")); // and no DISPLAY

    for (const QProcessEnvironment& environment : {QProcessEnvironment(), withPlaces}) {
        SCOPED_TRACE(environment.isEmpty() ? "empty environment" : "HOME, XDG and TMPDIR set");
        for (const char* format : {"text", "json", "csv"}) {
            QProcess process;
            process.setProcessEnvironment(environment);
            process.setWorkingDirectory(workingDir.Path());
            process.start(QStringLiteral(VELTRUM_SAMPLE_DIR "/veltrum"),
                          {QStringLiteral("--check"), QStringLiteral("--format"),
                           QLatin1String(format), QStringLiteral("--catalog"), catalog.Dir(),
                           file});
            ASSERT_TRUE(process.waitForFinished(30000));
            const QByteArray out = process.readAllStandardOutput();
            EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(process.exitCode(), 1) << format << ": the withdrawn block is a change\n"
                                             << process.readAllStandardError().constData();
            EXPECT_TRUE(out.contains("GONE-1")) << format << ": " << out.constData();
        }
    }
    // Hidden entries included.
    EXPECT_EQ(ContentsOf(workingDir.Path()), DirectoryContents());
    EXPECT_EQ(ContentsOf(home.Path()), DirectoryContents());
    EXPECT_EQ(ContentsOf(temporary.Path()), DirectoryContents());
    EXPECT_EQ(ContentsOf(catalog.Dir()), catalogBefore);
    EXPECT_EQ(ContentsOf(baskets.path()), basketsBefore);
}
