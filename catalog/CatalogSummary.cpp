// SPDX-License-Identifier: MIT
#include "catalog/CatalogSummary.h"

#include <QCryptographicHash>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] void Refuse(const std::string& fileName, const std::string& reason)
{
    throw ECatalogFileError("НЕ УДАЛОСЬ ПРОЧИТАТЬ ФАЙЛ КАТАЛОГА \"" + fileName + "\" : " + reason +
                            ".");
}

} // namespace

TOpenedCatalogFile::~TOpenedCatalogFile()
{
    Release();
}

void TOpenedCatalogFile::Release() noexcept
{
    if (descriptor_ >= 0)
        ::close(descriptor_);
    descriptor_ = -1;
    summary_.reset();
}

void TOpenedCatalogFile::Hold(const std::string& fileName, const CatalogFileState& opened)
{
    Release();
    fileName_ = fileName;
    const int descriptor = ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return;
    struct stat info {};
    // Only the file the connection opened: one swapped in meanwhile is not it.
    if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode) ||
        static_cast<std::uint64_t>(info.st_dev) != opened.device ||
        static_cast<std::uint64_t>(info.st_ino) != opened.inode) {
        ::close(descriptor);
        return;
    }
    descriptor_ = descriptor;
}

const CatalogSummary& TOpenedCatalogFile::Summary()
{
    if (summary_)
        return *summary_;
    if (descriptor_ < 0)
        Refuse(fileName_, "ФАЙЛ НЕ ОТКРЫТ");
    struct stat info {};
    if (::fstat(descriptor_, &info) != 0)
        Refuse(fileName_, std::strerror(errno));

    QCryptographicHash hash(QCryptographicHash::Sha256);
    std::vector<char> buffer(std::size_t{1} << 16);
    off_t offset = 0;
    for (;;) {
        const ssize_t got = ::pread(descriptor_, buffer.data(), buffer.size(), offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            Refuse(fileName_, std::strerror(errno));
        if (got == 0)
            break;
        hash.addData(QByteArrayView(buffer.data(), static_cast<qsizetype>(got)));
        offset += got;
    }
    CatalogSummary summary;
    summary.fileName = QFileInfo(QString::fromStdString(fileName_)).fileName();
    summary.size = static_cast<qint64>(info.st_size);
    summary.modified = QDateTime::fromMSecsSinceEpoch(
        static_cast<qint64>(info.st_mtim.tv_sec) * 1000 + info.st_mtim.tv_nsec / 1000000, Qt::UTC);
    summary.sha256 = QString::fromLatin1(hash.result().toHex());
    summary_ = std::move(summary);
    ++summariesMade_;
    return *summary_;
}
