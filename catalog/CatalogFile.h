// SPDX-License-Identifier: MIT
#pragma once

// What the program knows about a catalog file on disk, so that it can tell
// whether the file has changed since a connection was opened on it: the
// file's identity (device, inode, size, change and modification times),
// its journal mode, and whether a write-ahead log lies beside it.
//
// Errors: Inspect raises ECatalogFileError, whose message names the file,
// when the path does not lead to a regular file (after following links) or
// cannot be opened; nothing is ever created or written.

#include "base/Exception.h"

#include <cstdint>
#include <string>

class ECatalogFileError : public Exception {
public:
    using Exception::Exception;
};

struct CatalogFileState {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedSeconds = 0, modifiedNanoseconds = 0;
    std::int64_t changedSeconds = 0, changedNanoseconds = 0;
    bool walMode = false;    // the header's read version says write-ahead log
    bool walPresent = false; // "<file>-wal" exists

    // The same file, unchanged since it was inspected.
    bool SameAs(const CatalogFileState& other) const;
    // Nothing can be writing the file: it is in write-ahead-log mode and no
    // log lies beside it, so every change is in the file itself and any
    // writer that starts makes the log appear first.
    bool Settled() const { return walMode && !walPresent; }
};

// Reads the state of the file at `fileName` without blocking (a FIFO is
// never waited on) and without creating anything. `readHeader` false skips
// reading the header, leaving walMode false: enough to compare with a
// state taken with the header, since any write changes the times.
CatalogFileState InspectCatalogFile(const std::string& fileName, bool readHeader = true);
