// SPDX-License-Identifier: MIT
// Which paths are the catalog's own files, so that nothing is saved onto them.

#include "catalog/CatalogOwnFiles.h"

#include "base/Exception.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

void Touch(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x");
}

} // namespace

TEST(CatalogOwnFiles, TheCatalogsFilesAreFoundThroughEveryLinkAndNothingElse)
{
    QTemporaryDir root;
    const QDir top(root.path());
    ASSERT_TRUE(top.mkpath(QStringLiteral("catalog/Category")));
    ASSERT_TRUE(top.mkpath(QStringLiteral("elsewhere")));
    const QString catalog = top.filePath(QStringLiteral("catalog"));
    const QString db = catalog + QStringLiteral("/VELTRUM.db");
    Touch(db);
    Touch(catalog + QStringLiteral("/Category/Category000.itm"));
    Touch(catalog + QStringLiteral("/basket.vbasket"));
    const QString elsewhere = top.filePath(QStringLiteral("elsewhere"));
    ASSERT_TRUE(QFile::link(db, elsewhere + QStringLiteral("/link.vbasket")));
    ASSERT_EQ(::link(QFile::encodeName(db).constData(),
                     QFile::encodeName(elsewhere + QStringLiteral("/hard.pdf")).constData()),
              0);
    ASSERT_TRUE(QFile::link(catalog, top.filePath(QStringLiteral("folder-link"))));
    Touch(elsewhere + QStringLiteral("/VELTRUM.db"));

    const struct {
        const char* path; // under the temporary root
        bool own;
    } cases[] = {
        {"catalog/VELTRUM.db", true},
        {"catalog/VELTRUM.db-journal", true}, // SQLite's, though missing
        {"catalog/Category/Category000.itm", true},
        {"catalog/Category/Category021.itm", true}, // missing, but the catalog's name
        {"catalog/./Category/../VELTRUM.db", true},
        {"folder-link/VELTRUM.db", true},
        {"elsewhere/link.vbasket", true},
        {"elsewhere/hard.pdf", true},
        {"catalog/basket.vbasket", false},
        {"catalog/new.csv", false},
        {"catalog/Category/notes.txt", false},
        {"elsewhere/VELTRUM.db", false}, // another catalog's, not the open one
        {"missing/VELTRUM.db", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const QString path = top.filePath(QLatin1String(c.path));
        EXPECT_EQ(IsCatalogOwnFile(path, catalog), c.own);
        // The catalog folder given through its link answers alike.
        EXPECT_EQ(IsCatalogOwnFile(path, top.filePath(QStringLiteral("folder-link"))), c.own);
    }

    try {
        RefuseCatalogOwnFile(db, catalog);
        ADD_FAILURE() << "the catalog is refused";
    } catch (const EFileError& error) {
        const QString message = QString::fromUtf8(error.what());
        EXPECT_TRUE(message.contains(db)) << message.toStdString();
        EXPECT_TRUE(message.contains(QStringLiteral("принадлежит каталогу")))
            << message.toStdString();
    }
    EXPECT_NO_THROW(RefuseCatalogOwnFile(catalog + QStringLiteral("/basket.vbasket"), catalog));
}
