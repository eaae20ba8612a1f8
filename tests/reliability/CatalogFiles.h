// SPDX-License-Identifier: MIT
#pragma once

// Helpers shared by the reliability tests: byte-level catalog files, the
// contents of a catalog directory for the nothing-is-written check, and the
// messages the window composes for a failing statement.

#include <QByteArray>
#include <QString>

#include <string>
#include <vector>

class TMainForm;
struct Window;

// Every entry below `dir` (hidden ones included) as "relative path: SHA-256
// of its bytes", "relative path: <dir>" for a directory, "<link to …>" for
// a symbolic link and "<special>" for a FIFO or device, sorted by path.
using DirectoryContents = std::vector<std::string>;
DirectoryContents ContentsOf(const QString& dir);

// Writes `bytes` to `path`, replacing what is there.
void WriteBytes(const QString& path, const QByteArray& bytes);

// The error box text for a statement that fails while compiling, and for one
// whose step fails, with SQLite's own message.
QString CompileFailure(const std::string& sql, const QString& sqliteMessage);
QString StepFailure(const std::string& sql, const QString& sqliteMessage);
// The error box text for a step that meets another process's lock.
QString BusyFailure(const std::string& sql);

// True when crate type `row` can still be ticked and is then the only one
// ticked: the window answers the user after whatever happened before.
bool CrateTypeTickWorks(Window& window, int row);
