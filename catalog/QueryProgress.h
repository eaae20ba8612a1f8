// SPDX-License-Identifier: MIT
#pragma once

// Who hears of a query while it runs: the access layer calls it from
// SQLite's progress handler, on the thread that runs the query, so a
// window can show how far a long query has got and let the user stop it.

#include <cstdint>

class TQueryProgress {
public:
    virtual ~TQueryProgress() = default;
    // A query starts; `Finished` follows it however it ends.
    virtual void Started() = 0;
    // Called every few thousand SQLite instructions with the rows read so
    // far; false stops the query, which then fails with EQueryCancelled.
    // Must not throw.
    virtual bool Continue(std::uint64_t rowsRead) noexcept = 0;
    virtual void Finished() noexcept = 0;
};
