// SPDX-License-Identifier: MIT
#pragma once

// The basket files the user opened or saved last, and the folder the file
// dialogs start in, kept from one session to the next in a small settings
// file of the user's configuration folder (`recent.ini`, QSettings' INI
// format). The list and its rules are pure functions; LoadRecentFiles and
// SaveRecentFiles add the disk. A settings file that cannot be read gives
// the empty list and one that cannot be written is left as it was: both
// without a word, since nothing the user made is lost either way.

#include <QString>
#include <QStringList>

inline constexpr int kMaxRecentFiles = 8;

struct RecentFiles {
    // Absolute paths, newest first; no two name the same file.
    QStringList files;
    // Where the file dialogs start; empty: the home folder.
    QString lastFolder;
    bool operator==(const RecentFiles&) const = default;
};

// `recent` with `path` (made absolute) first. An entry naming the same file
// leaves its place, through a link or another spelling too (compared by
// canonical path while the file exists); the entry past kMaxRecentFiles
// drops off. The last folder becomes the file's folder.
RecentFiles WithRecentFile(RecentFiles recent, const QString& path);
// `recent` without the entries naming the file at `path`.
RecentFiles WithoutRecentFile(RecentFiles recent, const QString& path);
// `recent` with `folder` (made absolute) as the last folder.
RecentFiles WithLastFolder(RecentFiles recent, const QString& folder);

// The settings file in `configFolder` (the user's configuration folder
// for this program), or empty when there is none to use: no folder, a
// relative one (it would end up in the working directory), or the
// catalog's folder or the working directory itself.
QString RecentFilesLocation(const QString& configFolder, const QString& catalogFolder,
                            const QString& workingFolder);

// What the settings file holds, made to keep the rules above (a file
// edited by hand may hold anything); the empty list when the file is
// missing or cannot be read. An empty path reads nothing.
RecentFiles LoadRecentFiles(const QString& settingsFile);
// Writes `recent` to the settings file, creating its folder; false when
// that could not be done (nothing is said). An empty path writes nothing.
bool SaveRecentFiles(const QString& settingsFile, const RecentFiles& recent);
