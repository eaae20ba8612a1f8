// SPDX-License-Identifier: MIT
#include "catalog/CatalogOwnFiles.h"

#include "base/Exception.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <optional>
#include <utility>

#include <sys/stat.h>

namespace {

const QString kDatabaseName = QStringLiteral("VELTRUM.db");

bool IsDatabaseName(const QString& name)
{
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
        if (name == kDatabaseName + QLatin1String(suffix))
            return true;
    return false;
}

bool IsCategoryName(const QString& name)
{
    return name.endsWith(QLatin1String(".itm"), Qt::CaseInsensitive);
}

// Device and inode of the file `path` leads to; none when there is none.
std::optional<std::pair<dev_t, ino_t>> Identity(const QString& path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return std::pair{info.st_dev, info.st_ino};
}

QStringList ExistingOwnFiles(const QString& catalogDir)
{
    QStringList files;
    const QDir dir(catalogDir);
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
        files << dir.filePath(kDatabaseName + QLatin1String(suffix));
    const QDir category(dir.filePath(QStringLiteral("Category")));
    for (const QString& name : category.entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (IsCategoryName(name))
            files << category.filePath(name);
    return files;
}

// The folder `path` is in, with links followed; empty when it is not there.
QString RealFolder(const QString& path)
{
    return QFileInfo(QFileInfo(path).absolutePath()).canonicalFilePath();
}

} // namespace

bool IsCatalogOwnFile(const QString& target, const QString& catalogDir)
{
    // Where the name itself is one the catalog owns (the file may be missing,
    // or be a link to be replaced)...
    const QString folder = RealFolder(target);
    const QString name = QFileInfo(target).fileName();
    const QString realCatalog = QFileInfo(catalogDir).canonicalFilePath();
    if (!folder.isEmpty() && !realCatalog.isEmpty()) {
        if (folder == realCatalog && IsDatabaseName(name))
            return true;
        const QString realCategory =
            QFileInfo(QDir(catalogDir).filePath(QStringLiteral("Category"))).canonicalFilePath();
        if (!realCategory.isEmpty() && folder == realCategory && IsCategoryName(name))
            return true;
    }
    // ...or the file it leads to is one of them, through any link.
    const auto identity = Identity(target);
    if (!identity)
        return false;
    for (const QString& own : ExistingOwnFiles(catalogDir))
        if (Identity(own) == identity)
            return true;
    return false;
}

void RefuseCatalogOwnFile(const QString& target, const QString& catalogDir)
{
    if (IsCatalogOwnFile(target, catalogDir))
        throw EFileError(
            QString::fromUtf16(u"Файл \"%1\" принадлежит каталогу программы и не может быть "
                               u"перезаписан; выберите другое имя файла")
                .arg(QDir::toNativeSeparators(target))
                .toStdString());
}
