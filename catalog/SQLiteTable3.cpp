// SPDX-License-Identifier: MIT
#include "catalog/SQLiteTable3.h"

#include "catalog/CatalogCache.h"
#include "base/DecimalText.h"
#include "catalog/QueryProgress.h"

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include <sys/stat.h>

namespace {

const char* const kRunCompileFailed = "ОШИБКА ВЫПОЛЕНИЯ SQL-ЗАПРОСА";
const char* const kQueryCompileFailed = "ОШИБКА ВЫПОЛНЕНИЯ SQL-ЗАПРОСА.";
const char* const kNothingToRun = "НЕ УДАЛОСЬ ВЫПОЛНИТЬ SQL-ЗАПРОС.";
const char* const kStepFailed = "НЕ УДАЛОСЬ ПОЛУЧИТЬ ДАННЫЕ.";
const char* const kEndOfTable = "ДОСТИГНУТ КОНЕЦ ТАБЛИЦЫ, ЗНАЧЕНИЕ НЕ НАЙДЕНО!";
const char* const kNotNumeric = "ОШИБКА ТИПА ДАННЫХ: НЕ integer или numeric-ПОЛЕ!";
const char* const kNotBlob = "ОШИБКА ТИПА ДАННЫХ: НЕ blob-поле!";
const char* const kCancelled = "ПОИСК В КАТАЛОГЕ ОТМЕНЁН";

// SQLite instructions between two calls of the progress handler: often
// enough for a cancel to act at once, rarely enough to cost nothing.
constexpr int kProgressInstructions = 4000;
// Reads of an immutable file that changed under the query before the
// query is reported busy.
constexpr int kReadAttempts = 3;
// All of SQLite's memory (its sorter included, which an endless view's
// ORDER BY fills): past it a query fails with SQLite's "out of memory"
// rather than the whole program with std::bad_alloc.
constexpr sqlite3_int64 kSQLiteHeapLimit = sqlite3_int64{1} << 30;

[[noreturn]] void ThrowBusy(const std::string& sql)
{
    throw ESQLiteException("НЕ УДАЛОСЬ ВЫПОЛНИТЬ SQL-ЗАПРОС \"" + sql + "\" : SQLite ЗАНЯТ");
}

// A statement is finalized by its owner, or, when the connection keeps it
// for a held read, reset with its values unbound for the next query.
struct StatementRelease {
    bool kept = false;
    void operator()(sqlite3_stmt* statement) const
    {
        if (!kept) {
            sqlite3_finalize(statement);
            return;
        }
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
    }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementRelease>;

enum class Keeping { Never, WhenHeld };

// Compiles the first statement of `sql`, or takes the one the held read
// kept for it. sqlite3_prepare_v3 behaves as the legacy sqlite3_prepare
// here; it only reports step errors more precisely, and takes the hint
// that a kept statement lives long. The statement is released by its
// owner, also when binding fails.
Statement Prepare(TSQLiteDatabase& database, const std::string& sql, const TSQLiteParams& params,
                  const char* compileFailed, Keeping keeping = Keeping::Never)
{
    Statement statement;
    if (keeping == Keeping::WhenHeld)
        if (sqlite3_stmt* kept = database.KeptStatement(sql))
            statement = Statement(kept, StatementRelease{true});
    if (!statement) {
        const bool keep = keeping == Keeping::WhenHeld && database.HoldsRead();
        sqlite3_stmt* raw = nullptr;
        if (sqlite3_prepare_v3(database.Handle(), sql.c_str(), -1,
                               keep ? SQLITE_PREPARE_PERSISTENT : 0u, &raw,
                               nullptr) != SQLITE_OK) {
            Statement failed(raw);
            database.ThrowSqlFailure(compileFailed, sql);
        }
        if (!raw)
            database.ThrowSqlFailure(kNothingToRun, sql);
        if (keep) {
            try {
                database.KeepStatement(sql, raw);
            } catch (...) {
                sqlite3_finalize(raw);
                throw;
            }
        }
        statement = Statement(raw, StatementRelease{keep});
    }

    int index = 1;
    for (const TSQLiteParam& param : params) {
        int rc = SQLITE_OK;
        if (const auto* integer = std::get_if<std::int64_t>(&param)) {
            rc = sqlite3_bind_int64(statement.get(), index, *integer);
        } else {
            const std::string& text = std::get<std::string>(param);
            rc = sqlite3_bind_text(statement.get(), index, text.data(),
                                   static_cast<int>(text.size()), SQLITE_TRANSIENT);
        }
        if (rc != SQLITE_OK)
            database.ThrowSqlFailure(compileFailed, sql);
        ++index;
    }
    return statement;
}

// Column kind from the declared type, compared whole and case-sensitively;
// a column without one takes the storage type of its first value.
std::int32_t ColumnKind(sqlite3_stmt* statement, int column)
{
    const char* declared = sqlite3_column_decltype(statement, column);
    if (!declared)
        return sqlite3_column_type(statement, column);
    const std::string_view type(declared);
    if (type == "INTEGER" || type == "BOOLEAN")
        return TSQLiteTable::kInteger;
    if (type == "NUMERIC" || type == "FLOAT" || type == "DOUBLE" || type == "REAL")
        return TSQLiteTable::kReal;
    if (type == "BLOB")
        return TSQLiteTable::kBlob;
    return TSQLiteTable::kText;
}

// "file:" URI of a path with the immutable flag; every byte outside the
// unreserved set is percent-encoded, so '?', '#' and '%' in names survive.
std::string ImmutableUri(const std::string& fileName)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string uri = "file:";
    for (const char c : fileName) {
        const auto byte = static_cast<unsigned char>(c);
        const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                                (c >= '0' && c <= '9') || c == '/' || c == '-' || c == '.' ||
                                c == '_' || c == '~';
        if (unreserved) {
            uri += c;
        } else {
            uri += '%';
            uri += kHex[byte >> 4];
            uri += kHex[byte & 15];
        }
    }
    return uri + "?immutable=1";
}

} // namespace

// ---------------------------------------------------------------------------
// TSQLiteDatabase

TSQLiteDatabase::TSQLiteDatabase(const std::string& fileName, std::string decimalSeparator,
                                 OpenMode mode)
    : fileName_(fileName), decimalSeparator_(std::move(decimalSeparator)), mode_(mode)
{
    try {
        Open();
    } catch (const ECatalogFileError& refused) {
        throw ESQLiteException(refused.Message());
    }
}

void TSQLiteDatabase::Open()
{
    static const bool heapLimited = (sqlite3_hard_heap_limit64(kSQLiteHeapLimit), true);
    (void)heapLimited;
    int rc = SQLITE_OK;
    if (mode_ == OpenMode::ReadWriteCreate) {
        rc = sqlite3_open(fileName_.c_str(), &handle_);
    } else {
        // Anything but a regular file is refused before SQLite sees it: a
        // FIFO would block the opening for good.
        opened_ = InspectCatalogFile(fileName_);
        // A file in write-ahead-log mode whose log is not beside it has
        // every change in the file itself. A read-only connection would
        // still create the -wal and -shm files next to it, so such a file
        // is opened immutable, which reads the file alone and creates
        // nothing; the check before each query reopens it as soon as a
        // writer makes its log appear. A file whose log exists is in use
        // by a writer and is opened as any other.
        immutable_ = opened_.Settled();
        // The connection is only ever used from the thread that opened it:
        // without SQLite's mutex, reading a value costs no lock and unlock.
        constexpr int kReadOnly = SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX;
        if (immutable_)
            rc = sqlite3_open_v2(ImmutableUri(fileName_).c_str(), &handle_,
                                 kReadOnly | SQLITE_OPEN_URI, nullptr);
        else
            rc = sqlite3_open_v2(fileName_.c_str(), &handle_, kReadOnly, nullptr);
    }
    if (rc != SQLITE_OK) {
        if (!handle_)
            throw ESQLiteException("НЕВОЗМОЖНО ОТКРЫТЬ БАЗУ ДАННЫХ \"" + fileName_ +
                                   "\" : НЕИЗВЕСТНАЯ ОШИБКА.");
        std::string message = "НЕВОЗМОЖНО ОТКРЫТЬ БАЗУ ДАННЫХ \"" + fileName_ +
                              "\" : " + sqlite3_errmsg(handle_) + ".";
        Close();
        throw ESQLiteException(std::move(message));
    }
    // The destructor does not run for a failed construction: close here.
    openMetLock_ = false;
    try {
        Configure();
    } catch (...) {
        openMetLock_ = (sqlite3_extended_errcode(handle_) & 0xFF) == SQLITE_BUSY;
        Close();
        throw;
    }
    if (mode_ == OpenMode::ReadOnly)
        openedFile_.Hold(fileName_, opened_);
}

void TSQLiteDatabase::Configure()
{
    // As SQLite's guidance for database files from elsewhere asks: no
    // writes to the schema or shadow tables, no function or virtual table
    // with side effects called from the schema (views, triggers), and every
    // cell's size checked against its page as it is read.
    if (sqlite3_db_config(handle_, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr) != SQLITE_OK)
        ThrowSqlFailure(kRunCompileFailed, "SQLITE_DBCONFIG_DEFENSIVE");
    RunStatement("PRAGMA trusted_schema = OFF;");
    RunStatement("PRAGMA cell_size_check = ON;");
    RunStatement("PRAGMA SYNCHRONOUS=NORMAL;");
    struct stat file {};
    const std::int64_t fileBytes =
        ::stat(fileName_.c_str(), &file) == 0 ? static_cast<std::int64_t>(file.st_size) : 0;
    for (const std::string& statement : CatalogCacheStatements(fileBytes)) {
        // A setting may answer with the value it took (mmap_size does).
        const Statement setting = Prepare(*this, statement, {}, kRunCompileFailed);
        int rc;
        while ((rc = sqlite3_step(setting.get())) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE)
            ThrowSqlFailure(kRunCompileFailed, statement);
    }
}

void TSQLiteDatabase::ReleaseMemory() noexcept
{
    if (handle_)
        sqlite3_db_release_memory(handle_);
}

void TSQLiteDatabase::Close() noexcept
{
    // SQLite closes no connection with a statement left.
    FinalizeKept();
    heldReadBegan_ = false;
    if (handle_)
        sqlite3_close(handle_);
    handle_ = nullptr;
}

sqlite3_stmt* TSQLiteDatabase::KeptStatement(const std::string& sql) const noexcept
{
    for (const auto& [text, statement] : kept_)
        if (text == sql)
            return statement;
    return nullptr;
}

void TSQLiteDatabase::KeepStatement(const std::string& sql, sqlite3_stmt* statement)
{
    kept_.emplace_back(sql, statement);
}

void TSQLiteDatabase::FinalizeKept() noexcept
{
    for (const auto& [text, statement] : kept_)
        sqlite3_finalize(statement);
    kept_.clear();
}

void TSQLiteDatabase::JoinHeldRead() noexcept
{
    if (heldReads_ == 0 || !handle_ || !sqlite3_get_autocommit(handle_))
        return;
    // Deferred: the shared lock comes with the first read. Should BEGIN
    // fail, each query reads on its own, as outside a held read.
    heldReadBegan_ = sqlite3_exec(handle_, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK;
}

void TSQLiteDatabase::EndHeldRead() noexcept
{
    if (--heldReads_ > 0)
        return;
    FinalizeKept();
    if (heldReadBegan_ && handle_ && !sqlite3_get_autocommit(handle_) &&
        sqlite3_exec(handle_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        sqlite3_exec(handle_, "ROLLBACK", nullptr, nullptr, nullptr);
    heldReadBegan_ = false;
    // What each query's end would have done, let go once the read ends.
    if (!querying_)
        EndQuery();
}

TSQLiteDatabase::~TSQLiteDatabase()
{
    Close();
}

void TSQLiteDatabase::Interrupt() noexcept
{
    if (handle_)
        sqlite3_interrupt(handle_);
}

void TSQLiteDatabase::RefreshBeforeQuery(const std::string& sql)
{
    if (mode_ != OpenMode::ReadOnly)
        return;
    try {
        if (handle_ && InspectCatalogFile(fileName_, false).SameAs(opened_))
            return;
        Close();
        Open();
    } catch (const ECatalogFileError& refused) {
        Close();
        throw ESQLiteException(refused.Message());
    } catch (const ESQLiteException&) {
        // A writer's lock met while reopening is the query's busy state.
        if (openMetLock_)
            ThrowBusy(sql);
        throw;
    }
}

bool TSQLiteDatabase::ReadWasSettled() const
{
    // Only a file read immutable can change under a query: every other
    // connection reads under SQLite's locks.
    if (mode_ != OpenMode::ReadOnly || !immutable_)
        return true;
    try {
        return InspectCatalogFile(fileName_, false).SameAs(opened_);
    } catch (const ECatalogFileError&) {
        return false;
    }
}

TSQLiteDatabase::QueryTurn::QueryTurn(TSQLiteDatabase& database, const std::string& sql)
    : database_(database)
{
    if (database_.querying_)
        ThrowBusy(sql);
    database_.querying_ = true;
}

void TSQLiteDatabase::EndQuery() noexcept
{
    querying_ = false;
    // A connection to a file whose writer is at work holds the log open;
    // let go of it between queries (or held reads), so that the writer can
    // fold the log back into the file and remove it when it ends.
    if (heldReads_ == 0 && mode_ == OpenMode::ReadOnly && !immutable_ && opened_.walMode)
        Close();
}

void TSQLiteDatabase::RunStatement(const std::string& sql, const TSQLiteParams& params)
{
    const Statement statement = Prepare(*this, sql, params, kRunCompileFailed);
    if (sqlite3_step(statement.get()) != SQLITE_DONE)
        ThrowSqlFailure(kRunCompileFailed, sql);
}

std::unique_ptr<TSQLiteTable> TSQLiteDatabase::QueryTable(const std::string& sql,
                                                          const TSQLiteParams& params)
{
    const QueryTurn turn(*this, sql);
    for (int attempt = 1;; ++attempt) {
        RefreshBeforeQuery(sql);
        JoinHeldRead();
        auto table = std::make_unique<TSQLiteTable>(*this, sql, params);
        if (ReadWasSettled())
            return table;
        if (attempt == kReadAttempts)
            ThrowBusy(sql);
        // The file changed while it was read: the next attempt reopens it.
    }
}

std::size_t
TSQLiteDatabase::QueryRows(const std::string& sql, const TSQLiteParams& params,
                           const std::function<void(const TSQLiteTable& row)>& eachRow,
                           const std::function<void()>& restart)
{
    const QueryTurn turn(*this, sql);
    for (int attempt = 1;; ++attempt) {
        RefreshBeforeQuery(sql);
        JoinHeldRead();
        const std::size_t rows = TSQLiteTable::Stream(*this, sql, params, eachRow);
        if (ReadWasSettled())
            return rows;
        if (attempt == kReadAttempts)
            ThrowBusy(sql);
        // The file changed while it was read: what was handed over may mix
        // old and new pages, and the next attempt reopens it.
        restart();
    }
}

std::uint64_t TSQLiteDatabase::StreamRows(const std::string& sql, const TSQLiteParams& params,
                                          const std::function<void(const TSQLiteRowView&)>& onRow)
{
    const QueryTurn turn(*this, sql);
    RefreshBeforeQuery(sql);
    JoinHeldRead();
    const Statement owner = Prepare(*this, sql, params, kQueryCompileFailed, Keeping::WhenHeld);
    const TSQLiteRowView row(owner.get());
    std::uint64_t rows = 0;
    for (;;) {
        const int rc = sqlite3_step(owner.get());
        if (rc == SQLITE_DONE)
            break;
        if (rc == SQLITE_BUSY)
            ThrowBusy(sql);
        if (rc != SQLITE_ROW)
            ThrowSqlFailure(kStepFailed, sql);
        onRow(row);
        ++rows;
    }
    if (!ReadWasSettled())
        ThrowBusy(sql);
    return rows;
}

void TSQLiteDatabase::ThrowSqlFailure(const std::string& message, const std::string& sql) const
{
    const char* sqliteText =
        handle_ && sqlite3_errcode(handle_) != SQLITE_OK ? sqlite3_errmsg(handle_) : "No message";
    throw ESQLiteException(message + " \"" + sql + "\" : " + sqliteText);
}

// ---------------------------------------------------------------------------
// TSQLiteTable

TSQLiteTable::TSQLiteTable(TSQLiteDatabase& database, const std::string& sql,
                           const TSQLiteParams& params)
    : decimalSeparator_(database.DecimalSeparator())
{
    ReadRows(database, sql, params);
}

TSQLiteTable::~TSQLiteTable() = default;

namespace {

// Installs the connection's progress observer as SQLite's progress handler
// for one query, and tells the observer when the query starts and ends.
class ProgressScope {
public:
    ProgressScope(sqlite3* handle, TQueryProgress* progress, const std::uint64_t& rows)
        : handle_(handle), progress_(progress), rows_(rows)
    {
        if (!progress_)
            return;
        progress_->Started();
        sqlite3_progress_handler(handle_, kProgressInstructions, &ProgressScope::OnProgress, this);
    }
    ~ProgressScope()
    {
        if (!progress_)
            return;
        sqlite3_progress_handler(handle_, 0, nullptr, nullptr);
        progress_->Finished();
    }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

    bool Stopped() const { return stopped_; }

private:
    static int OnProgress(void* context)
    {
        auto* self = static_cast<ProgressScope*>(context);
        if (!self->progress_->Continue(self->rows_))
            self->stopped_ = true;
        return self->stopped_ ? 1 : 0;
    }

    sqlite3* handle_;
    TQueryProgress* progress_;
    const std::uint64_t& rows_;
    bool stopped_ = false;
};

} // namespace

std::size_t TSQLiteTable::Stream(TSQLiteDatabase& database, const std::string& sql,
                                 const TSQLiteParams& params,
                                 const std::function<void(const TSQLiteTable& row)>& eachRow)
{
    TSQLiteTable table;
    table.decimalSeparator_ = database.DecimalSeparator();
    table.ReadRows(database, sql, params, &eachRow);
    return static_cast<std::size_t>(table.rowsRead_);
}

void TSQLiteTable::ReadRows(TSQLiteDatabase& database, const std::string& sql,
                            const TSQLiteParams& params,
                            const std::function<void(const TSQLiteTable& row)>* eachRow)
{
    const Statement owner = Prepare(database, sql, params, kQueryCompileFailed, Keeping::WhenHeld);
    sqlite3_stmt* statement = owner.get();
    const ProgressScope progress(database.Handle(), database.Progress(), rowsRead_);
    const std::size_t byteLimit = database.ResultByteLimit();
    std::size_t handedOver = 0; // bytes of the rows already handed over
    try {
        for (;;) {
            const int rc = sqlite3_step(statement);
            if (rc == SQLITE_DONE)
                break;
            if (rc == SQLITE_BUSY)
                ThrowBusy(sql);
            if (rc == SQLITE_INTERRUPT)
                throw EQueryCancelled(kCancelled);
            if (rc != SQLITE_ROW)
                database.ThrowSqlFailure(kStepFailed, sql);

            if (rowsRead_ == 0) {
                columnCount_ = static_cast<std::uint32_t>(sqlite3_column_count(statement));
                kinds_.reserve(columnCount_);
                for (std::uint32_t k = 0; k < columnCount_; ++k)
                    kinds_.push_back(ColumnKind(statement, static_cast<int>(k)));
            }
            ReadRow(database, statement, sql);
            ++rowCount_;
            ++rowsRead_;
            const std::size_t held = slots_.size() * sizeof(Slot) + bytes_.size();
            if (handedOver + held > byteLimit)
                throw ESQLiteException("НЕ УДАЛОСЬ ВЫПОЛНИТЬ SQL-ЗАПРОС \"" + sql +
                                       "\" : РЕЗУЛЬТАТ БОЛЬШЕ " + std::to_string(byteLimit >> 20) +
                                       " МиБ");
            if (eachRow) {
                // The one row goes to the caller; its storage, kept, takes
                // the next row without asking for memory again.
                cursor_ = 0;
                (*eachRow)(*this);
                handedOver += held;
                slots_.clear();
                bytes_.clear();
                rowCount_ = 0;
            }
        }
    } catch (const std::bad_alloc&) {
        throw ESQLiteException("НЕ УДАЛОСЬ ВЫПОЛНИТЬ SQL-ЗАПРОС \"" + sql +
                               "\" : НЕДОСТАТОЧНО ПАМЯТИ ДЛЯ РЕЗУЛЬТАТА");
    }
    if (progress.Stopped())
        throw EQueryCancelled(kCancelled); // stopped after the last row was read
    // Growth by doubling may leave up to half of each buffer unused.
    slots_.shrink_to_fit();
    bytes_.shrink_to_fit();
    cursor_ = 0;
}

void TSQLiteTable::ReadRow(TSQLiteDatabase& database, sqlite3_stmt* statement,
                           const std::string& sql)
{
    for (std::uint32_t k = 0; k < columnCount_; ++k) {
        const int column = static_cast<int>(k);
        Slot slot{};
        if (kinds_[k] == kText || kinds_[k] == kNull) {
            // The common case, by two calls into SQLite rather than three:
            // a value that is there always comes back as a (possibly empty)
            // zero-terminated text, so no pointer means NULL, or a failure
            // to make the text, which the type tells apart.
            const auto* text =
                reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
            if (!text) {
                if (sqlite3_column_type(statement, column) != SQLITE_NULL)
                    database.ThrowSqlFailure(kStepFailed, sql);
                slot.empty = true;
            } else {
                StoreBytes(slot, text,
                           static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
            }
            slots_.push_back(slot);
            continue;
        }
        const int storage = sqlite3_column_type(statement, column);
        slot.empty = storage == SQLITE_NULL;
        if (slot.empty) {
            slots_.push_back(slot);
            continue;
        }
        const bool numeric = kinds_[k] == kInteger || kinds_[k] == kReal;
        if (numeric && storage == SQLITE_TEXT) {
            // Read by its numeric prefix this would be a plausible number.
            const auto* text =
                reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
            slot.notANumber = true;
            StoreBytes(slot, text,
                       static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
        } else if (numeric && storage == SQLITE_BLOB) {
            slot.notANumber = true;
            const int size = sqlite3_column_bytes(statement, column);
            StoreBytes(slot, static_cast<const char*>(sqlite3_column_blob(statement, column)),
                       static_cast<std::size_t>(size));
        } else {
            switch (kinds_[k]) {
            case kInteger:
                slot.integer = sqlite3_column_int64(statement, column);
                break;
            case kReal:
                slot.real = sqlite3_column_double(statement, column);
                break;
            case kBlob: {
                const int size = sqlite3_column_bytes(statement, column);
                if (size == 0) {
                    slot.empty = true;
                    break;
                }
                StoreBytes(slot, static_cast<const char*>(sqlite3_column_blob(statement, column)),
                           static_cast<std::size_t>(size));
                break;
            }
            default: // text and null kinds are read above
                break;
            }
        }
        slots_.push_back(slot);
    }
}

void TSQLiteTable::StoreBytes(Slot& slot, const char* data, std::size_t size)
{
    slot.offset = bytes_.size();
    slot.length = static_cast<std::uint32_t>(size);
    slot.zeroInside = size > 0 && std::memchr(data, 0, size) != nullptr;
    if (size > 0)
        bytes_.append(data, size);
}

bool TSQLiteTable::Advance() noexcept
{
    if (IsAtEnd())
        return false;
    ++cursor_;
    return true;
}

const TSQLiteTable::Slot& TSQLiteTable::CurrentSlot(int column) const
{
    if (IsAtEnd())
        throw ESQLiteException(kEndOfTable);
    if (column < 0 || static_cast<std::uint32_t>(column) >= columnCount_)
        throw ERangeError("Номер столбца " + std::to_string(column) +
                          " вне диапазона: в результате столбцов " + std::to_string(columnCount_));
    return slots_[static_cast<std::size_t>(cursor_) * columnCount_ +
                  static_cast<std::size_t>(column)];
}

std::string_view TSQLiteTable::SlotBytes(const Slot& slot) const
{
    return std::string_view(bytes_).substr(static_cast<std::size_t>(slot.offset), slot.length);
}

std::string_view TSQLiteTable::ShownBytes(const Slot& slot) const
{
    const std::string_view bytes = SlotBytes(slot);
    return slot.zeroInside ? bytes.substr(0, bytes.find('\0')) : bytes;
}

std::string TSQLiteTable::CellText(int column) const
{
    std::string text;
    AppendCellText(column, text);
    return text;
}

void TSQLiteTable::AppendCellText(int column, std::string& out) const
{
    const Slot& slot = CurrentSlot(column);
    if (slot.empty)
        return;
    if (slot.notANumber) {
        out += ShownBytes(slot);
        return;
    }
    switch (kinds_[static_cast<std::size_t>(column)]) {
    case kInteger: {
        char digits[24];
        const auto [end, error] = std::to_chars(digits, digits + sizeof digits, slot.integer);
        out.append(digits, end);
        break;
    }
    case kReal:
        out += FormatDecimal(slot.real, decimalSeparator_);
        break;
    case kText:
        out += ShownBytes(slot);
        break;
    case kBlob:
        out += SlotBytes(slot);
        break;
    default: // the null kind's values are never handed out
        break;
    }
}

namespace {

[[noreturn]] void ThrowNotANumber(std::string_view stored)
{
    throw ESQLiteException("ОШИБКА ТИПА ДАННЫХ: ЗНАЧЕНИЕ \"" + std::string(stored) +
                           "\" НЕ ЧИСЛО!");
}

} // namespace

std::int64_t TSQLiteTable::CellInteger(int column) const
{
    const Slot& slot = CurrentSlot(column);
    if (slot.empty)
        return 0;
    if (slot.notANumber)
        ThrowNotANumber(ShownBytes(slot));
    switch (kinds_[static_cast<std::size_t>(column)]) {
    case kInteger:
        return slot.integer;
    case kReal:
        // Converting a double outside the 64-bit range is undefined; refuse it.
        if (!(std::fabs(slot.real) < 9223372036854775808.0))
            throw ESQLiteException("ОШИБКА ТИПА ДАННЫХ: ЗНАЧЕНИЕ " +
                                   FormatDecimal(slot.real, decimalSeparator_) +
                                   " НЕ ПОМЕЩАЕТСЯ В integer-ПОЛЕ!");
        return static_cast<std::int64_t>(slot.real);
    default:
        throw ESQLiteException(kNotNumeric);
    }
}

double TSQLiteTable::CellReal(int column) const
{
    const Slot& slot = CurrentSlot(column);
    if (slot.empty)
        return 0.0;
    if (slot.notANumber)
        ThrowNotANumber(ShownBytes(slot));
    switch (kinds_[static_cast<std::size_t>(column)]) {
    case kInteger:
        return static_cast<double>(slot.integer);
    case kReal:
        return slot.real;
    default:
        throw ESQLiteException(kNotNumeric);
    }
}

std::optional<std::span<const std::byte>> TSQLiteTable::CellBytes(int column) const
{
    const Slot& slot = CurrentSlot(column);
    if (slot.empty)
        return std::nullopt;
    if (kinds_[static_cast<std::size_t>(column)] != kBlob)
        throw ESQLiteException(kNotBlob);
    const std::string_view bytes = SlotBytes(slot);
    return std::span<const std::byte>(reinterpret_cast<const std::byte*>(bytes.data()),
                                      bytes.size());
}

std::string TSQLiteTable::CellBytesText(int column) const
{
    const Slot& slot = CurrentSlot(column);
    if (slot.empty)
        return {};
    if (kinds_[static_cast<std::size_t>(column)] != kBlob)
        throw ESQLiteException(kNotBlob);
    return std::string(SlotBytes(slot));
}

std::optional<std::string_view> TSQLiteTable::CellStoredText(int column) const
{
    const Slot& slot = CurrentSlot(column);
    if (slot.empty || slot.notANumber || kinds_[static_cast<std::size_t>(column)] != kText)
        return std::nullopt;
    return SlotBytes(slot);
}

std::string TSQLiteTable::CellWholeText(int column) const
{
    const Slot& slot = CurrentSlot(column);
    if (!slot.empty && kinds_[static_cast<std::size_t>(column)] == kText)
        return std::string(SlotBytes(slot));
    return CellText(column);
}

bool TSQLiteTable::CellIsNotANumber(int column) const
{
    return CurrentSlot(column).notANumber;
}

// ---------------------------------------------------------------------------
// TSQLiteRowView

int TSQLiteRowView::ColumnCount() const noexcept
{
    return sqlite3_column_count(statement_);
}

TSQLiteTable::Kind TSQLiteRowView::Storage(int column) const noexcept
{
    return static_cast<TSQLiteTable::Kind>(sqlite3_column_type(statement_, column));
}

std::int64_t TSQLiteRowView::Integer(int column) const noexcept
{
    return sqlite3_column_int64(statement_, column);
}

double TSQLiteRowView::Real(int column) const noexcept
{
    return sqlite3_column_double(statement_, column);
}

std::string_view TSQLiteRowView::Bytes(int column) const noexcept
{
    const int storage = sqlite3_column_type(statement_, column);
    if (storage == SQLITE_TEXT) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
        return text ? std::string_view(text, static_cast<std::size_t>(
                                                 sqlite3_column_bytes(statement_, column)))
                    : std::string_view();
    }
    if (storage == SQLITE_BLOB) {
        const auto* blob = static_cast<const char*>(sqlite3_column_blob(statement_, column));
        return blob ? std::string_view(blob, static_cast<std::size_t>(
                                                 sqlite3_column_bytes(statement_, column)))
                    : std::string_view();
    }
    return {};
}
