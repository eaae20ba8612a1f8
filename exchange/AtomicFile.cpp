// SPDX-License-Identifier: MIT
#include "AtomicFile.h"

#include "Exception.h"

#include <QDir>
#include <QSaveFile>

void WriteFileAtomically(const QString& path, const QByteArray& bytes, const QString& failure)
{
    QSaveFile file(path);
    const bool written =
        file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!written)
        throw EFileError(
            failure.arg(QDir::toNativeSeparators(path), file.errorString()).toStdString());
}
