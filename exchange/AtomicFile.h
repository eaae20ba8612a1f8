// SPDX-License-Identifier: MIT
#pragma once

// Files the user keeps are written whole or not at all (QSaveFile): a
// failed write leaves an older file as it was and no partial file behind.

#include <QByteArray>
#include <QString>

// Throws EFileError: `failure` with %1 the file and %2 the reason.
void WriteFileAtomically(const QString& path, const QByteArray& bytes, const QString& failure);
