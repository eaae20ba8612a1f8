// SPDX-License-Identifier: MIT
#pragma once

// The only way into the catalog database: one connection (TSQLiteDatabase)
// and fully read query results (TSQLiteTable).
//
// Errors: every failure of the layer is an ESQLiteException with a Russian
// message into which the SQL text and SQLite's own message are spliced;
// a column index outside a result's columns raises ERangeError instead.
// Ownership: the caller owns every table that QueryTable returns; a table
// keeps no link to its connection and may outlive it.
// All texts passed in and out are UTF-8 byte strings, handed on unchanged.
//
// A read-only connection treats its file as untrusted and as something
// others may change: it opens nothing but a regular file, runs in SQLite's
// defensive mode with the schema untrusted, and before each query checks
// that the file is still the one it opened, reopening it when not, so a
// query never reads a mix of old and new pages.

#include "catalog/CatalogFile.h"
#include "catalog/CatalogSummary.h"
#include "base/Exception.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

class ESQLiteException : public Exception {
public:
    using Exception::Exception;
};

// A query stopped by its progress observer (the user pressed cancel).
class EQueryCancelled : public ESQLiteException {
public:
    using ESQLiteException::ESQLiteException;
};

class TQueryProgress;

// A value bound to the next "?" parameter of a statement.
using TSQLiteParam = std::variant<std::int64_t, std::string>;
using TSQLiteParams = std::vector<TSQLiteParam>;

class TSQLiteTable;
class TSQLiteRowView;

class TSQLiteDatabase {
public:
    enum class OpenMode {
        ReadWriteCreate, // sqlite3_open: a missing file becomes a new, empty database
        ReadOnly,        // the catalog: never written, never created, and no
                         // journal, -wal or -shm file made beside it
    };

    // Opens the file and applies "PRAGMA SYNCHRONOUS=NORMAL;" and the
    // catalog's cache settings (CatalogCacheStatements), with defensive
    // mode, trusted_schema off and cell_size_check on. Real values read as text use
    // `decimalSeparator`.
    explicit TSQLiteDatabase(const std::string& fileName, std::string decimalSeparator = ".",
                             OpenMode mode = OpenMode::ReadWriteCreate);
    ~TSQLiteDatabase();
    TSQLiteDatabase(const TSQLiteDatabase&) = delete;
    TSQLiteDatabase& operator=(const TSQLiteDatabase&) = delete;

    // Runs the first statement of `sql`, which must give no rows.
    void RunStatement(const std::string& sql, const TSQLiteParams& params = {});
    // Runs the first statement of `sql` and reads all its rows. A read-only
    // connection first reopens its file when it has changed (moved over,
    // written in place, a log appeared or went); a file opened immutable
    // that changes while the query runs is read again, and reported busy
    // when it keeps changing. A query while another runs (from inside the
    // progress observer) is refused as busy.
    std::unique_ptr<TSQLiteTable> QueryTable(const std::string& sql,
                                             const TSQLiteParams& params = {});
    // As QueryTable, but hands each row to `eachRow` as soon as it is read
    // and keeps none: the table given holds that one row (its cursor on it)
    // and is valid only during the call. A read of a changing file that is
    // read again first calls `restart`, so that the caller drops the rows
    // it was given. The result byte limit counts every row handed over.
    // Returns the number of rows handed over by the read that stood.
    std::size_t QueryRows(const std::string& sql, const TSQLiteParams& params,
                          const std::function<void(const TSQLiteTable& row)>& eachRow,
                          const std::function<void()>& restart);
    // Runs the first statement of `sql` and hands its rows to `onRow` one at
    // a time, as SQLite steps to them, keeping none: for reading a whole
    // table of any size in bounded memory. A read-only connection checks
    // and reopens its file first, as QueryTable does; a file read immutable
    // that changed during the read is reported busy afterwards, since rows
    // already handed on cannot be taken back. Returns the number of rows.
    std::uint64_t StreamRows(const std::string& sql, const TSQLiteParams& params,
                             const std::function<void(const TSQLiteRowView&)>& onRow);
    // Raises ESQLiteException: `message` "\"sql\" : " SQLite's message, or
    // "No message" when the connection reports no error.
    [[noreturn]] void ThrowSqlFailure(const std::string& message, const std::string& sql) const;

    // The connection; none between queries while a read-only file is
    // being written by another process, or after a reopening failed.
    sqlite3* Handle() const noexcept { return handle_; }
    const std::string& DecimalSeparator() const noexcept { return decimalSeparator_; }
    // A read-only connection's file as last opened (or read afresh): its
    // summary is worked out from the descriptor kept from that opening, at
    // the first call, and reused until the file is opened again.
    const CatalogSummary& OpenedFileSummary() { return openedFile_.Summary(); }
    const TOpenedCatalogFile& OpenedFile() const noexcept { return openedFile_; }
    // True while the file is read with SQLite's immutable flag.
    bool OpenedImmutable() const noexcept { return immutable_; }

    // Hears of every query while it runs; none by default. Not owned.
    void SetProgress(TQueryProgress* progress) noexcept { progress_ = progress; }
    TQueryProgress* Progress() const noexcept { return progress_; }
    // Stops the running statement (sqlite3_interrupt).
    void Interrupt() noexcept;
    // Gives back the memory the connection can do without (the kept pages),
    // as after a search that ran out of memory.
    void ReleaseMemory() noexcept;

    // While one lives, the connection's queries share one read transaction,
    // so SQLite takes its shared lock (and checks its file) once rather
    // than once per query, and each query's compiled statement is kept for
    // the next query of the same text: for a task of many small lookups,
    // such as opening a basket. The check before each query that the file
    // is still the one opened stays, and a reopened file starts afresh.
    // A writer waits for the read to end, so one is held for one task.
    // They nest; the outermost ends the read.
    class HeldRead {
    public:
        explicit HeldRead(TSQLiteDatabase& database) noexcept : database_(database)
        {
            ++database_.heldReads_;
        }
        ~HeldRead() { database_.EndHeldRead(); }
        HeldRead(const HeldRead&) = delete;
        HeldRead& operator=(const HeldRead&) = delete;

    private:
        TSQLiteDatabase& database_;
    };

    // The statement for `sql` kept by the held read (none outside one, or
    // when it was not kept), and keeping one; used by the query readers.
    sqlite3_stmt* KeptStatement(const std::string& sql) const noexcept;
    void KeepStatement(const std::string& sql, sqlite3_stmt* statement);
    bool HoldsRead() const noexcept { return heldReads_ > 0; }

    // A result holding more than this many bytes of values ends its query
    // with a message instead of exhausting memory.
    static constexpr std::size_t kDefaultResultByteLimit = std::size_t{256} << 20;
    void SetResultByteLimit(std::size_t bytes) noexcept { resultByteLimit_ = bytes; }
    std::size_t ResultByteLimit() const noexcept { return resultByteLimit_; }

private:
    void Open();
    void Close() noexcept;
    void Configure();
    // Read-only connections: reopens the file when it is no longer the one
    // opened. Raises when it cannot.
    void RefreshBeforeQuery(const std::string& sql);
    // True when the query just run read the file as it still is.
    bool ReadWasSettled() const;
    void EndQuery() noexcept;
    // Within a held read: begins its transaction on the connection as it
    // now is, when none is open.
    void JoinHeldRead() noexcept;
    void EndHeldRead() noexcept;
    void FinalizeKept() noexcept;
    // The connection's one query at a time, held for the scope of a read:
    // a query begun while another is read (a handler run from within the
    // progress dialog's events) is refused as busy; the end lets go of a
    // log a writer needs.
    class QueryTurn {
    public:
        QueryTurn(TSQLiteDatabase& database, const std::string& sql);
        ~QueryTurn() { database_.EndQuery(); }
        QueryTurn(const QueryTurn&) = delete;
        QueryTurn& operator=(const QueryTurn&) = delete;

    private:
        TSQLiteDatabase& database_;
    };

    sqlite3* handle_ = nullptr;
    std::string fileName_;
    std::string decimalSeparator_;
    OpenMode mode_;
    CatalogFileState opened_; // the file as it was when opened
    TOpenedCatalogFile openedFile_;
    bool immutable_ = false;
    bool querying_ = false;
    bool openMetLock_ = false; // the last opening failed on another process's lock
    TQueryProgress* progress_ = nullptr;
    std::size_t resultByteLimit_ = kDefaultResultByteLimit;
    int heldReads_ = 0;
    bool heldReadBegan_ = false; // the transaction open is the held read's own
    // The held read's compiled statements by their text: a task's lookups
    // use one or two, so a short list searched in order is enough.
    std::vector<std::pair<std::string, sqlite3_stmt*>> kept_;
};

class TSQLiteTable {
public:
    // Reached through TSQLiteDatabase::QueryTable.
    TSQLiteTable(TSQLiteDatabase& database, const std::string& sql,
                 const TSQLiteParams& params = {});
    // Reached through TSQLiteDatabase::QueryRows: reads the rows one at a
    // time into a table of one row and hands it to `eachRow`. Returns the
    // number of rows.
    static std::size_t Stream(TSQLiteDatabase& database, const std::string& sql,
                              const TSQLiteParams& params,
                              const std::function<void(const TSQLiteTable& row)>& eachRow);
    ~TSQLiteTable();
    TSQLiteTable(const TSQLiteTable&) = delete;
    TSQLiteTable& operator=(const TSQLiteTable&) = delete;

    std::uint32_t RowTotal() const noexcept { return rowCount_; }
    std::uint32_t ColumnCount() const noexcept { return columnCount_; }
    bool IsAtEnd() const noexcept { return cursor_ >= rowCount_; }
    // Moves one row on; false, and no move, at the end.
    bool Advance() noexcept;

    // Readers of the current row; each fails at the end of the table with
    // "ДОСТИГНУТ КОНЕЦ ТАБЛИЦЫ, ЗНАЧЕНИЕ НЕ НАЙДЕНО!".
    std::string CellText(int column) const;
    // Appends what CellText gives to `out`; lets a caller reading many rows
    // reuse one buffer instead of building a string per cell.
    void AppendCellText(int column, std::string& out) const;
    std::int64_t CellInteger(int column) const;
    double CellReal(int column) const;
    // The blob's bytes, owned by the table; none for an empty slot.
    std::optional<std::span<const std::byte>> CellBytes(int column) const;
    std::string CellBytesText(int column) const;
    // All bytes of a text value, zero bytes included (CellText ends at the
    // first); as CellText for values of the other kinds.
    std::string CellWholeText(int column) const;
    // The bytes of a text value in a text column as stored (what
    // CellWholeText gives), without a copy; valid while the table holds
    // the row. None for anything else: an empty slot or another kind.
    std::optional<std::string_view> CellStoredText(int column) const;
    // True when the column is of the integer or real kind but this value
    // is stored as text or a blob: SQLite would read it by its numeric
    // prefix ('2,5' as 2), so CellText gives it as stored instead, and
    // CellInteger and CellReal refuse it.
    bool CellIsNotANumber(int column) const;

    // Column kinds, as SQLite's fundamental datatype codes.
    enum Kind : std::int32_t { kInteger = 1, kReal = 2, kText = 3, kBlob = 4, kNull = 5 };

private:
    // One value in 16 bytes, so that a result of a million rows stays small:
    // the payload is the integer, the double's bits, or the offset of the
    // value's bytes in bytes_.
    struct Slot {
        union {
            std::int64_t integer;
            double real;
            std::uint64_t offset;
        };
        std::uint32_t length;
        bool empty;
        bool notANumber; // a text or blob value in a numeric column: bytes, not a number
        bool zeroInside; // a text value with a zero byte inside: CellText ends there
    };
    static_assert(sizeof(Slot) == 16);

    // The current row's slot of `column`; fails at the end of the table and
    // for a column outside the result.
    const Slot& CurrentSlot(int column) const;
    std::string_view SlotBytes(const Slot& slot) const;
    // The bytes CellText gives: a text value up to its first zero byte.
    std::string_view ShownBytes(const Slot& slot) const;
    TSQLiteTable() = default;
    // Reads every row; with `eachRow`, hands each one over and keeps none.
    void ReadRows(TSQLiteDatabase& database, const std::string& sql, const TSQLiteParams& params,
                  const std::function<void(const TSQLiteTable& row)>* eachRow = nullptr);
    void ReadRow(TSQLiteDatabase& database, sqlite3_stmt* statement, const std::string& sql);
    void StoreBytes(Slot& slot, const char* data, std::size_t size);

    std::vector<Slot> slots_;
    std::string bytes_; // text and blob payloads of all slots, one buffer
    std::uint32_t rowCount_ = 0; // rows held
    std::uint64_t rowsRead_ = 0; // rows read, held or handed over
    std::uint32_t columnCount_ = 0;
    std::vector<std::int32_t> kinds_;
    std::uint32_t cursor_ = 0;
    std::string decimalSeparator_;
};

// One row of a streamed query, valid only during the call that receives it.
// Values come as SQLite stores them (their storage class), whatever the
// column's declared type, so that a reader can tell a number from a text
// that looks like one.
class TSQLiteRowView {
public:
    explicit TSQLiteRowView(sqlite3_stmt* statement) noexcept : statement_(statement) {}

    int ColumnCount() const noexcept;
    // The value's storage class: kInteger, kReal, kText, kBlob or kNull.
    TSQLiteTable::Kind Storage(int column) const noexcept;
    std::int64_t Integer(int column) const noexcept;
    double Real(int column) const noexcept;
    // Every byte of a text or blob value (zero bytes included); empty for
    // other storage classes.
    std::string_view Bytes(int column) const noexcept;

private:
    sqlite3_stmt* statement_;
};
