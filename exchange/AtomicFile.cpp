// SPDX-License-Identifier: MIT
#include "exchange/AtomicFile.h"

#include "base/Exception.h"

#include <QDir>
#include <QSaveFile>

namespace {

// The system's reason, or the user's words for the common one.
QString Reason(const QSaveFile& file)
{
    if (file.error() == QFileDevice::ResourceError)
        return QString::fromUtf16(u"на диске нет места (%1); прежний файл не изменён")
            .arg(file.errorString());
    return file.errorString();
}

} // namespace

void WriteFileAtomically(const QString& path, const QByteArray& bytes, const QString& failure)
{
    QSaveFile file(path);
    // Unbuffered: each write reaches the system at once and its failure is
    // seen here; the flush is checked as well, before the commit renames.
    // A file left open is discarded when it goes, the old one untouched.
    const bool written = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
                         file.write(bytes) == bytes.size() && file.flush() && file.commit();
    if (!written)
        throw EFileError(failure.arg(QDir::toNativeSeparators(path), Reason(file)).toStdString());
}
