#include "SQLiteTable3.h"

#include "DecimalText.h"

#include <sqlite3.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace {

const char* const kRunCompileFailed = "ОШИБКА ВЫПОЛЕНИЯ SQL-ЗАПРОСА";
const char* const kQueryCompileFailed = "ОШИБКА ВЫПОЛНЕНИЯ SQL-ЗАПРОСА.";
const char* const kNothingToRun = "НЕ УДАЛОСЬ ВЫПОЛНИТЬ SQL-ЗАПРОС.";
const char* const kStepFailed = "НЕ УДАЛОСЬ ПОЛУЧИТЬ ДАННЫЕ.";
const char* const kEndOfTable = "ДОСТИГНУТ КОНЕЦ ТАБЛИЦЫ, ЗНАЧЕНИЕ НЕ НАЙДЕНО!";
const char* const kNotNumeric = "ОШИБКА ТИПА ДАННЫХ: НЕ integer или numeric-ПОЛЕ!";
const char* const kNotBlob = "ОШИБКА ТИПА ДАННЫХ: НЕ blob-поле!";

struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// Compiles the first statement of `sql`. sqlite3_prepare_v2 behaves as the
// legacy sqlite3_prepare here; it only reports step errors more precisely.
// The statement is finalized by its owner, also when binding fails.
Statement Prepare(TSQLiteDatabase& database, const std::string& sql, const TSQLiteParams& params,
                  const char* compileFailed)
{
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(database.Handle(), sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
        Statement failed(raw);
        database.ThrowSqlFailure(compileFailed, sql);
    }
    Statement statement(raw);
    if (!statement)
        database.ThrowSqlFailure(kNothingToRun, sql);

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

// A database file in write-ahead-log mode whose log is not beside it: every
// change is in the file itself. A read-only connection would still create
// the -wal and -shm files next to it, so such a file is opened immutable,
// which reads the file alone and creates nothing. A file whose log exists is
// in use by a writer and is opened as any other.
bool IsSettledWalDatabase(const std::string& fileName)
{
    std::FILE* file = std::fopen(fileName.c_str(), "rb");
    if (!file)
        return false;
    unsigned char header[20] = {};
    const bool complete = std::fread(header, 1, sizeof header, file) == sizeof header;
    std::fclose(file);
    static const char kMagic[] = "SQLite format 3"; // 16 bytes with its zero
    if (!complete || std::memcmp(header, kMagic, sizeof kMagic) != 0)
        return false;
    // Byte 19, the file format read version, is 2 for the log.
    if (header[19] != 2)
        return false;
    std::FILE* log = std::fopen((fileName + "-wal").c_str(), "rb");
    if (log) {
        std::fclose(log);
        return false;
    }
    return true;
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
    : decimalSeparator_(std::move(decimalSeparator))
{
    int rc = SQLITE_OK;
    if (mode == OpenMode::ReadWriteCreate)
        rc = sqlite3_open(fileName.c_str(), &handle_);
    else if (IsSettledWalDatabase(fileName))
        rc = sqlite3_open_v2(ImmutableUri(fileName).c_str(), &handle_,
                             SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
    else
        rc = sqlite3_open_v2(fileName.c_str(), &handle_, SQLITE_OPEN_READONLY, nullptr);
    if (rc != SQLITE_OK) {
        if (!handle_)
            throw ESQLiteException("НЕВОЗМОЖНО ОТКРЫТЬ БАЗУ ДАННЫХ \"" + fileName +
                                   "\" : НЕИЗВЕСТНАЯ ОШИБКА.");
        std::string message = "НЕВОЗМОЖНО ОТКРЫТЬ БАЗУ ДАННЫХ \"" + fileName +
                              "\" : " + sqlite3_errmsg(handle_) + ".";
        sqlite3_close(handle_);
        handle_ = nullptr;
        throw ESQLiteException(std::move(message));
    }
    // The destructor does not run for a failed construction: close here.
    try {
        RunStatement("PRAGMA SYNCHRONOUS=NORMAL;");
        RunStatement("PRAGMA temp_store = MEMORY;");
    } catch (...) {
        sqlite3_close(handle_);
        handle_ = nullptr;
        throw;
    }
}

TSQLiteDatabase::~TSQLiteDatabase()
{
    if (handle_)
        sqlite3_close(handle_);
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
    return std::make_unique<TSQLiteTable>(*this, sql, params);
}

void TSQLiteDatabase::ThrowSqlFailure(const std::string& message, const std::string& sql) const
{
    const char* sqliteText =
        sqlite3_errcode(handle_) != SQLITE_OK ? sqlite3_errmsg(handle_) : "No message";
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

void TSQLiteTable::ReadRows(TSQLiteDatabase& database, const std::string& sql,
                            const TSQLiteParams& params)
{
    const Statement owner = Prepare(database, sql, params, kQueryCompileFailed);
    sqlite3_stmt* statement = owner.get();
    for (;;) {
        const int rc = sqlite3_step(statement);
        if (rc == SQLITE_DONE)
            break;
        if (rc == SQLITE_BUSY)
            throw ESQLiteException("НЕ УДАЛОСЬ ВЫПОЛНИТЬ SQL-ЗАПРОС \"" + sql +
                                   "\" : SQLite ЗАНЯТ");
        if (rc != SQLITE_ROW)
            database.ThrowSqlFailure(kStepFailed, sql);

        if (rowCount_ == 0) {
            columnCount_ = static_cast<std::uint32_t>(sqlite3_column_count(statement));
            kinds_.reserve(columnCount_);
            for (std::uint32_t k = 0; k < columnCount_; ++k)
                kinds_.push_back(ColumnKind(statement, static_cast<int>(k)));
        }
        ++rowCount_;

        for (std::uint32_t k = 0; k < columnCount_; ++k) {
            const int column = static_cast<int>(k);
            Slot slot{};
            if (kinds_[k] == kText || kinds_[k] == kNull) {
                // The common case, by one call into SQLite rather than three:
                // a value that is there always comes back as a (possibly
                // empty) zero-terminated text, so no pointer means NULL, or
                // a failure to make the text, which the type tells apart.
                const auto* text =
                    reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
                if (!text) {
                    if (sqlite3_column_type(statement, column) != SQLITE_NULL)
                        database.ThrowSqlFailure(kStepFailed, sql);
                    slot.empty = true;
                } else {
                    // The text up to its first zero byte.
                    const std::size_t length = std::strlen(text);
                    slot.offset = bytes_.size();
                    slot.length = static_cast<std::uint32_t>(length);
                    bytes_.append(text, length);
                }
                slots_.push_back(slot);
                continue;
            }
            slot.empty = sqlite3_column_type(statement, column) == SQLITE_NULL;
            if (!slot.empty) {
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
                    const auto* data =
                        static_cast<const char*>(sqlite3_column_blob(statement, column));
                    slot.offset = bytes_.size();
                    slot.length = static_cast<std::uint32_t>(size);
                    bytes_.append(data, static_cast<std::size_t>(size));
                    break;
                }
                default: // text and null kinds are read above
                    break;
                }
            }
            slots_.push_back(slot);
        }
    }
    // Growth by doubling may leave up to half of each buffer unused.
    slots_.shrink_to_fit();
    bytes_.shrink_to_fit();
    cursor_ = 0;
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
    case kBlob:
        out += SlotBytes(slot);
        break;
    default: // the null kind's values are never handed out
        break;
    }
}

std::int64_t TSQLiteTable::CellInteger(int column) const
{
    const Slot& slot = CurrentSlot(column);
    if (slot.empty)
        return 0;
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
