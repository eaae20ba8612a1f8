// SPDX-License-Identifier: MIT
#pragma once

// The catalog file as it was opened, kept by a descriptor, and its summary
// (file name, size, modification time, SHA-256) that basket files and
// reports carry. The summary is worked out from the descriptor at the first
// request and then reused: the path is never read again, so a file moved
// away, replaced, or turned into a FIFO after the opening neither blocks
// nor changes it. Holding a newly opened file forgets the old summary.
//
// Errors: Summary raises ECatalogFileError, naming the file, when no file
// is held or reading it fails.

#include "catalog/CatalogFile.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <string>

struct CatalogSummary {
    QString fileName; // without its directory
    qint64 size = 0;
    QDateTime modified; // UTC
    QString sha256;     // lower-case hex
};

class TOpenedCatalogFile {
public:
    TOpenedCatalogFile() = default;
    ~TOpenedCatalogFile();
    TOpenedCatalogFile(const TOpenedCatalogFile&) = delete;
    TOpenedCatalogFile& operator=(const TOpenedCatalogFile&) = delete;

    // Holds a descriptor of `fileName` when it leads, without blocking, to
    // the regular file `opened` describes (device and inode); holds none
    // otherwise. Reads nothing of the contents.
    void Hold(const std::string& fileName, const CatalogFileState& opened);
    bool Held() const { return descriptor_ >= 0; }

    // The held file's summary, worked out once.
    const CatalogSummary& Summary();
    // How many times a summary was worked out (for tests: start-up hashes nothing).
    int SummariesMade() const { return summariesMade_; }

private:
    void Release() noexcept;

    int descriptor_ = -1;
    std::string fileName_;
    std::optional<CatalogSummary> summary_;
    int summariesMade_ = 0;
};
