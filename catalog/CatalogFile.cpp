// SPDX-License-Identifier: MIT
#include "catalog/CatalogFile.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] void Refuse(const std::string& fileName, const std::string& reason)
{
    throw ECatalogFileError("НЕВОЗМОЖНО ОТКРЫТЬ БАЗУ ДАННЫХ \"" + fileName + "\" : " + reason +
                            ".");
}

void RefuseAnythingButARegularFile(const std::string& fileName, const struct stat& info)
{
    if (!S_ISREG(info.st_mode))
        Refuse(fileName, S_ISDIR(info.st_mode) ? "ЭТО КАТАЛОГ, А НЕ ФАЙЛ" : "ЭТО НЕ ОБЫЧНЫЙ ФАЙЛ");
}

void TakeIdentity(const struct stat& info, CatalogFileState& state)
{
    state.device = static_cast<std::uint64_t>(info.st_dev);
    state.inode = static_cast<std::uint64_t>(info.st_ino);
    state.size = static_cast<std::int64_t>(info.st_size);
    state.modifiedSeconds = info.st_mtim.tv_sec;
    state.modifiedNanoseconds = info.st_mtim.tv_nsec;
    state.changedSeconds = info.st_ctim.tv_sec;
    state.changedNanoseconds = info.st_ctim.tv_nsec;
}

// Byte 19, the header's read version, is 2 for a write-ahead log.
bool HeaderSaysWal(int descriptor)
{
    unsigned char header[20] = {};
    std::size_t got = 0;
    while (got < sizeof header) {
        const ssize_t n = ::read(descriptor, header + got, sizeof header - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        got += static_cast<std::size_t>(n);
    }
    static const char kMagic[] = "SQLite format 3"; // 16 bytes with its zero
    return std::memcmp(header, kMagic, sizeof kMagic) == 0 && header[19] == 2;
}

} // namespace

bool CatalogFileState::SameAs(const CatalogFileState& other) const
{
    return device == other.device && inode == other.inode && size == other.size &&
           modifiedSeconds == other.modifiedSeconds &&
           modifiedNanoseconds == other.modifiedNanoseconds &&
           changedSeconds == other.changedSeconds &&
           changedNanoseconds == other.changedNanoseconds && walPresent == other.walPresent;
}

CatalogFileState InspectCatalogFile(const std::string& fileName, bool readHeader)
{
    CatalogFileState state;
    struct stat info {};
    if (!readHeader) {
        if (::stat(fileName.c_str(), &info) != 0)
            Refuse(fileName, std::strerror(errno));
        RefuseAnythingButARegularFile(fileName, info);
        TakeIdentity(info, state);
    } else {
        // Opened without blocking and checked on the descriptor itself, so
        // that neither a FIFO nor a file swapped in between is read.
        const int descriptor = ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (descriptor < 0)
            Refuse(fileName, std::strerror(errno));
        const bool described = ::fstat(descriptor, &info) == 0;
        const int statError = errno;
        if (described && S_ISREG(info.st_mode))
            state.walMode = HeaderSaysWal(descriptor);
        ::close(descriptor);
        if (!described)
            Refuse(fileName, std::strerror(statError));
        RefuseAnythingButARegularFile(fileName, info);
        TakeIdentity(info, state);
    }
    struct stat log {};
    state.walPresent = ::stat((fileName + "-wal").c_str(), &log) == 0;
    return state;
}
