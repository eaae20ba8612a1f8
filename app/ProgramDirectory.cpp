// SPDX-License-Identifier: MIT
#include "app/ProgramDirectory.h"

#include <QFile>

#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

std::optional<QString> ExecutableDirectory(const QByteArray& executableLink)
{
    QByteArray target(PATH_MAX, Qt::Uninitialized);
    const ssize_t length = ::readlink(executableLink.constData(), target.data(),
                                      static_cast<std::size_t>(target.size()));
    if (length <= 0 || length >= target.size())
        return std::nullopt;
    target.truncate(length);
    const qsizetype slash = target.lastIndexOf('/');
    if (slash < 0)
        return std::nullopt; // the kernel always gives an absolute path
    const QByteArray directory = slash == 0 ? QByteArray("/") : target.left(slash);
    const QString decoded = QFile::decodeName(directory);
    if (QFile::encodeName(decoded) == directory)
        return decoded;
    // The bytes have no name in the locale's encoding; any path built from
    // the decoded text would lead elsewhere. A descriptor of the directory
    // itself does not depend on its name.
    const int descriptor = ::open(directory.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return std::nullopt;
    return QStringLiteral("/proc/self/fd/%1").arg(descriptor);
}
