// SPDX-License-Identifier: MIT
#pragma once

// Where the program's own files are: the directory of the running
// executable, found from the bytes of its path, never from the working
// directory.

#include <QByteArray>
#include <QString>

#include <optional>

// The directory of the file that the link `executableLink` (on Linux
// "/proc/self/exe") points to. A name that does not survive decoding in
// the locale's encoding (Windows-1251 bytes under a UTF-8 locale) is
// reached through a descriptor held open for the life of the process, as
// "/proc/self/fd/<n>". None when the link cannot be read or the directory
// cannot be opened.
std::optional<QString> ExecutableDirectory(const QByteArray& executableLink = "/proc/self/exe");
