// SPDX-License-Identifier: MIT
#include "exchange/RecentFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

const QString kFilesKey = QStringLiteral("recent/files");
const QString kLastFolderKey = QStringLiteral("recent/lastFolder");

QString AbsolutePath(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// What tells two names of one file apart from two files: the canonical
// path while the file exists, the absolute one once it is gone.
QString Identity(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? AbsolutePath(path) : canonical;
}

QString FolderIdentity(const QString& folder)
{
    const QString canonical = QDir(folder).canonicalPath();
    return canonical.isEmpty() ? QDir::cleanPath(QDir(folder).absolutePath()) : canonical;
}

} // namespace

RecentFiles WithRecentFile(RecentFiles recent, const QString& path)
{
    if (path.isEmpty())
        return recent;
    recent = WithoutRecentFile(std::move(recent), path);
    const QString absolute = AbsolutePath(path);
    recent.files.prepend(absolute);
    while (recent.files.size() > kMaxRecentFiles)
        recent.files.removeLast();
    recent.lastFolder = QFileInfo(absolute).absolutePath();
    return recent;
}

RecentFiles WithoutRecentFile(RecentFiles recent, const QString& path)
{
    const QString identity = Identity(path);
    recent.files.removeIf([&identity](const QString& file) { return Identity(file) == identity; });
    return recent;
}

RecentFiles WithLastFolder(RecentFiles recent, const QString& folder)
{
    if (!folder.isEmpty())
        recent.lastFolder = QDir::cleanPath(QDir(folder).absolutePath());
    return recent;
}

QString RecentFilesLocation(const QString& configFolder, const QString& catalogFolder,
                            const QString& workingFolder)
{
    if (configFolder.isEmpty() || QDir::isRelativePath(configFolder))
        return QString();
    const QString folder = FolderIdentity(configFolder);
    for (const QString& refused : {catalogFolder, workingFolder})
        if (!refused.isEmpty() && FolderIdentity(refused) == folder)
            return QString();
    return QDir(QDir::cleanPath(configFolder)).filePath(QStringLiteral("recent.ini"));
}

RecentFiles LoadRecentFiles(const QString& settingsFile)
{
    if (settingsFile.isEmpty() || !QFileInfo(settingsFile).isFile())
        return {};
    const QSettings settings(settingsFile, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        return {};
    RecentFiles recent;
    // Oldest first, so that the newest ends on top and wins over its doubles.
    QStringList files = settings.value(kFilesKey).toStringList();
    for (auto file = files.crbegin(); file != files.crend(); ++file)
        if (!file->isEmpty() && QDir::isAbsolutePath(*file))
            recent = WithRecentFile(std::move(recent), *file);
    recent.lastFolder.clear();
    const QString lastFolder = settings.value(kLastFolderKey).toString();
    if (QDir::isAbsolutePath(lastFolder))
        recent = WithLastFolder(std::move(recent), lastFolder);
    return recent;
}

bool SaveRecentFiles(const QString& settingsFile, const RecentFiles& recent)
{
    if (settingsFile.isEmpty())
        return false;
    QSettings settings(settingsFile, QSettings::IniFormat);
    settings.setValue(kFilesKey, recent.files);
    settings.setValue(kLastFolderKey, recent.lastFolder);
    settings.sync();
    return settings.status() == QSettings::NoError;
}
