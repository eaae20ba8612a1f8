// SPDX-License-Identifier: MIT
#pragma once

// veltrum-catalog, the catalog maintainer's tool: its command line and its
// three commands (check, export, import) over the catalog library, with
// what each prints and its exit status. No window system is involved.
//
// Exit statuses: 0 done (check: no errors, warnings allowed), 1 the
// catalog has errors or the import was refused, 2 a command line not
// understood, 3 the catalog or a file cannot be read or written at all.

#include <QString>
#include <QStringList>

inline constexpr int kToolOk = 0;
inline constexpr int kToolFaults = 1;
inline constexpr int kToolUsage = 2;
inline constexpr int kToolUnreadable = 3;

struct CatalogToolResult {
    int exitStatus = kToolOk;
    QString standardOutput;
    QString standardError;
};

// `arguments` as QCoreApplication::arguments() gives them, the program
// first. Exports numbers with `decimalSeparator` (the user's locale's).
CatalogToolResult RunCatalogTool(const QStringList& arguments, const QString& decimalSeparator);

// Names the tool to Qt (application name and version).
void DescribeCatalogTool();
