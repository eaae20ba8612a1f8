// SPDX-License-Identifier: MIT
// The catalog's summary comes from the file as the connection opened it:
// none is worked out until asked for, one is worked out once, and a file
// moved away or replaced by a FIFO afterwards changes nothing of it; a
// catalog read afresh gets a summary of its own.

#include "catalog/SQLiteTable3.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

void MakeCatalog(const QString& path, const char* ident)
{
    TSQLiteDatabase writer(QFile::encodeName(path).toStdString());
    writer.RunStatement("CREATE TABLE IF NOT EXISTS BLOCKS (IDENT TEXT)");
    writer.RunStatement("INSERT INTO BLOCKS VALUES (?)", {std::string(ident)});
}

QString Sha256Of(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QString::fromLatin1(
        QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex());
}

TEST(CatalogSummary, FromTheFileAsOpenedOnceAndUntilReadAfresh)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("VELTRUM.db"));
    MakeCatalog(path, "FIRST");
    const QString firstHash = Sha256Of(path);
    const qint64 firstSize = QFileInfo(path).size();

    TSQLiteDatabase catalog(QFile::encodeName(path).toStdString(), ".",
                            TSQLiteDatabase::OpenMode::ReadOnly);
    EXPECT_EQ(catalog.OpenedFile().SummariesMade(), 0); // opening hashes nothing
    const CatalogSummary first = catalog.OpenedFileSummary();
    EXPECT_EQ(first.fileName, QStringLiteral("VELTRUM.db"));
    EXPECT_EQ(first.size, firstSize);
    EXPECT_EQ(first.sha256, firstHash);
    EXPECT_EQ(first.modified, QFileInfo(path).lastModified().toUTC());

    // Moved away and a FIFO in its place: the summary neither blocks nor changes.
    ASSERT_TRUE(QFile::rename(path, dir.filePath(QStringLiteral("moved.db"))));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    EXPECT_EQ(catalog.OpenedFileSummary().sha256, firstHash);
    EXPECT_EQ(catalog.OpenedFile().SummariesMade(), 1);

    // Another catalog put in its place is read afresh by the next query,
    // and the summary follows it.
    ASSERT_TRUE(QFile::remove(path));
    const QString other = dir.filePath(QStringLiteral("other.db"));
    MakeCatalog(other, "SECOND, A LONGER CODE");
    const QString secondHash = Sha256Of(other);
    ASSERT_TRUE(QFile::rename(other, path));
    EXPECT_EQ(catalog.QueryTable("SELECT IDENT FROM BLOCKS")->CellText(0), "SECOND, A LONGER CODE");
    EXPECT_EQ(catalog.OpenedFileSummary().sha256, secondHash);
    EXPECT_EQ(catalog.OpenedFile().SummariesMade(), 2);
}

TEST(CatalogSummary, AWritableConnectionHoldsNoFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("w.db"));
    TSQLiteDatabase writer(QFile::encodeName(path).toStdString());
    EXPECT_FALSE(writer.OpenedFile().Held());
    EXPECT_THROW(writer.OpenedFileSummary(), ECatalogFileError);
}

} // namespace
