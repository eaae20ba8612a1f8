// SPDX-License-Identifier: MIT
#pragma once

// Files the user keeps are written whole or not at all (QSaveFile): a
// failed write leaves an older file as it was and no partial file behind.

#include <QByteArray>
#include <QString>

// Throws EFileError: `failure` with %1 the file and %2 the reason. Every
// write and the final flush are checked before the new file takes the old
// one's place: Qt 6.4's QSaveFile::commit() does not notice a write that
// failed inside its buffer (a full disk under 16 KiB written), and would
// put an empty file in place of the old one.
void WriteFileAtomically(const QString& path, const QByteArray& bytes, const QString& failure);
