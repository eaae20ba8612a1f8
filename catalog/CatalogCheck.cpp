// SPDX-License-Identifier: MIT
#include "catalog/CatalogCheck.h"

#include "catalog/CatalogCrateTypes.h"
#include "catalog/CategoryFiles.h"
#include "catalog/SQLiteTable3.h"
#include "catalog/StoredValue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QStringDecoder>

#include <cmath>
#include <map>
#include <optional>

namespace {

const QString kDatabase = QStringLiteral("VELTRUM.db");

CatalogProblem Problem(CheckSeverity severity, const char* kind, const QString& place,
                       const QString& message)
{
    CatalogProblem problem;
    problem.severity = severity;
    problem.kind = QString::fromLatin1(kind);
    problem.place = place;
    problem.message = message;
    return problem;
}

// A code as a message shows it: control characters written as \xNN, so
// that the line stays one line.
QString Printable(const QString& text)
{
    QString shown;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u <= 0x9F))
            shown += QStringLiteral("\\x%1").arg(static_cast<int>(u), 2, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    return shown;
}

bool IsControl(char16_t u)
{
    return u < 0x20 || (u >= 0x7F && u <= 0x9F);
}

// A file of bytes above 0x7F that is valid UTF-8 is UTF-8: Russian text in
// Windows-1251 (capitals 0xC0-0xDF, small letters 0xE0-0xFF) practically
// never forms valid UTF-8 sequences.
bool LooksLikeUtf8(const QByteArray& bytes)
{
    bool high = false;
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            high = true;
    if (!high)
        return false;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(bytes);
    return !decoder.hasError();
}

struct BlockColumns {
    static constexpr int kRowid = 0, kIdent = 1, kSlots = 2, kV5 = 3, kV7 = 4, kV_7 = 5,
                         kPower = 6, kCategory = 7, kSubCategory = 8;
};

const char* const kAmountColumns[] = {"V5", "V7", "V_7", "TOTAL_POWER"};

struct CategoryFileState {
    bool read = false;
    QStringList names;
};

class CatalogChecker {
public:
    explicit CatalogChecker(const QString& dir) : dir_(dir) {}

    CatalogCheckResult Run();

private:
    void OpenDatabase();
    bool CheckSchema();
    void CheckIndexes();
    void CheckCategoryFiles();
    void CheckBlocks();
    void CheckBlock(const TSQLiteRowView& row);
    void CheckDuplicateCodes();
    void CheckCrateTypes();
    void CheckEmptyCategories();

    void Add(CatalogProblem problem) { result_.problems.push_back(std::move(problem)); }
    CatalogProblem& AddBlockProblem(CheckSeverity severity, const char* kind,
                                    const QString& column, const QString& message);

    QString dir_;
    std::unique_ptr<TSQLiteDatabase> database_;
    CatalogCheckResult result_;
    CategoryFileState categories_;
    std::map<int, CategoryFileState> subcategories_;
    std::map<std::int64_t, std::uint64_t> blocksByCategory_;
    std::map<std::pair<std::int64_t, std::int64_t>, std::uint64_t> blocksBySubcategory_;
    // The block being checked.
    QString code_;
    std::int64_t rowid_ = 0;
};

CatalogProblem& CatalogChecker::AddBlockProblem(CheckSeverity severity, const char* kind,
                                                const QString& column, const QString& message)
{
    CatalogProblem problem = Problem(
        severity, kind,
        QStringLiteral("block %1 (rowid %2)").arg(Printable(code_)).arg(rowid_) +
            (column.isEmpty() ? QString() : u' ' + column),
        message);
    problem.file = kDatabase;
    problem.code = code_;
    problem.rowid = rowid_;
    problem.column = column;
    result_.problems.push_back(problem);
    return result_.problems.back();
}

void CatalogChecker::OpenDatabase()
{
    const QString path = QDir(dir_).filePath(kDatabase);
    if (!QFileInfo(dir_).isDir())
        throw ECatalogUnreadable(QStringLiteral("%1 is not a directory").arg(dir_).toStdString());
    if (!QFileInfo::exists(path))
        throw ECatalogUnreadable(QStringLiteral("no %1 in %2").arg(kDatabase, dir_).toStdString());
    try {
        database_ = std::make_unique<TSQLiteDatabase>(QFile::encodeName(path).toStdString(), ".",
                                                      TSQLiteDatabase::OpenMode::ReadOnly);
        // Opening reads nothing; the first read tells a database from
        // another kind of file.
        database_->StreamRows("SELECT count(*) FROM sqlite_master", {}, [](const auto&) {});
    } catch (const ESQLiteException& failure) {
        throw ECatalogUnreadable(failure.Message());
    }
}

bool CatalogChecker::CheckSchema()
{
    std::map<QString, QString> declared;
    database_->StreamRows("SELECT name, type FROM pragma_table_info('BLOCKS')", {},
                          [&](const TSQLiteRowView& row) {
                              declared[ReadStoredValue(row, 0).text.toUpper()] =
                                  ReadStoredValue(row, 1).text;
                          });
    if (declared.empty()) {
        CatalogProblem problem =
            Problem(CheckSeverity::Error, "missing-table", kDatabase,
                    QStringLiteral("there is no table BLOCKS: the program finds no block at all"));
        problem.file = kDatabase;
        Add(problem);
        return false;
    }
    struct Expected {
        const char* column;
        DeclaredKind kind;
        const char* declared;
    };
    const Expected expected[] = {
        {"IDENT", DeclaredKind::Other, "TEXT"},
        {"NAME_RUS", DeclaredKind::Other, "TEXT"},
        {"VIPR", DeclaredKind::Other, "TEXT"},
        {"SLOTS_COUNT", DeclaredKind::Integer, "INTEGER"},
        {"V5", DeclaredKind::Real, "REAL"},
        {"V7", DeclaredKind::Real, "REAL"},
        {"V_7", DeclaredKind::Real, "REAL"},
        {"TOTAL_POWER", DeclaredKind::Real, "REAL"},
        {"CATEGORY", DeclaredKind::Integer, "INTEGER"},
        {"SUB_CATEGORY", DeclaredKind::Integer, "INTEGER"},
    };
    bool complete = true;
    for (const Expected& e : expected) {
        const QString column = QString::fromLatin1(e.column);
        const auto found = declared.find(column);
        CatalogProblem problem;
        if (found == declared.end()) {
            problem = Problem(CheckSeverity::Error, "missing-column", QStringLiteral("BLOCKS"),
                              QStringLiteral("there is no column %1: every query of the program "
                                             "that reads it fails")
                                  .arg(column));
            complete = false;
        } else if (e.kind != DeclaredKind::Other && DeclaredKindOf(found->second) != e.kind) {
            const QString why =
                e.kind == DeclaredKind::Real
                    ? QStringLiteral("the program reads only REAL, FLOAT, DOUBLE or NUMERIC "
                                     "columns as decimal numbers; this one is read %1")
                          .arg(DeclaredKindOf(found->second) == DeclaredKind::Integer
                                   ? QStringLiteral("as whole numbers, losing every fraction")
                                   : QStringLiteral("as text, which sums only by chance"))
                    : QStringLiteral("the program reads only INTEGER or BOOLEAN columns as "
                                     "whole numbers; declare it %1")
                          .arg(QString::fromLatin1(e.declared));
            problem = Problem(CheckSeverity::Error, "column-type",
                              QStringLiteral("BLOCKS.%1").arg(column),
                              QStringLiteral("declared type \"%1\" is not %2: %3")
                                  .arg(found->second, QString::fromLatin1(e.declared), why));
        } else {
            continue;
        }
        problem.file = kDatabase;
        problem.column = column;
        Add(problem);
    }
    return complete;
}

void CatalogChecker::CheckIndexes()
{
    std::map<QString, QStringList> indexes; // whole (not partial) indexes and their columns
    database_->StreamRows(
        "SELECT il.name, ii.name FROM pragma_index_list('BLOCKS') AS il, "
        "pragma_index_info(il.name) AS ii WHERE il.partial = 0 ORDER BY il.name, ii.seqno",
        {}, [&](const TSQLiteRowView& row) {
            indexes[ReadStoredValue(row, 0).text] << ReadStoredValue(row, 1).text.toUpper();
        });
    const auto covered = [&](const QStringList& leading) {
        for (const auto& [name, columns] : indexes)
            if (columns.mid(0, leading.size()) == leading)
                return true;
        return false;
    };
    const auto warn = [&](const QString& columns, const QString& search) {
        CatalogProblem problem = Problem(
            CheckSeverity::Warning, "missing-index", QStringLiteral("BLOCKS"),
            QStringLiteral("no index on %1: every %2 reads the whole table, slow on large catalogs")
                .arg(columns, search));
        problem.file = kDatabase;
        Add(problem);
    };
    if (!covered({QStringLiteral("IDENT")}))
        warn(QStringLiteral("IDENT"), QStringLiteral("opening of a block's details"));
    if (!covered({QStringLiteral("CATEGORY"), QStringLiteral("SUB_CATEGORY")}))
        warn(QStringLiteral("(CATEGORY, SUB_CATEGORY)"), QStringLiteral("search by category"));
}

// Reads a category file whole; nothing when it is missing or unreadable,
// which is reported.
std::optional<QByteArray> ReadCategoryBytes(const QString& path, const QString& file,
                                            const QString& consequence,
                                            std::vector<CatalogProblem>& problems)
{
    QFile in(path);
    const QFileInfo info(path);
    QString fault;
    if (!info.exists())
        fault = QStringLiteral("the file is missing");
    else if (!info.isFile())
        fault = QStringLiteral("not a regular file");
    else if (info.size() > kCategoryFileByteLimit)
        fault = QStringLiteral("larger than %1 bytes").arg(kCategoryFileByteLimit);
    else if (!in.open(QIODevice::ReadOnly))
        fault = QStringLiteral("cannot be read (%1)").arg(in.errorString());
    if (fault.isEmpty())
        return in.readAll();
    CatalogProblem problem =
        Problem(CheckSeverity::Error, "category-file", file, fault + QStringLiteral(": ") + consequence);
    problem.file = file;
    problems.push_back(problem);
    return std::nullopt;
}

void CatalogChecker::CheckCategoryFiles()
{
    const auto readFile = [&](int number, const QString& consequence) {
        CategoryFileState state;
        const QString file = QStringLiteral("Category/") + CategoryFileName(number);
        const auto bytes = ReadCategoryBytes(CategoryFilePath(dir_, number), file, consequence,
                                             result_.problems);
        if (!bytes)
            return state;
        for (CatalogProblem& problem : CheckCategoryFileBytes(*bytes, file))
            Add(std::move(problem));
        state.read = true;
        state.names = SplitLines(DecodeCategoryText(*bytes));
        return state;
    };
    const auto warnDuplicates = [&](const QStringList& names, const QString& file,
                                    const QString& what) {
        QSet<QString> seen;
        for (qsizetype i = 0; i < names.size(); ++i) {
            const QString name = names[i].trimmed();
            if (!name.isEmpty() && seen.contains(name)) {
                CatalogProblem problem = Problem(
                    CheckSeverity::Warning, "duplicate-name", QStringLiteral("%1:%2").arg(file).arg(i + 1),
                    QStringLiteral("%1 \u00AB%2\u00BB is listed twice: the window shows two "
                                   "entries alike, and an exported catalog cannot tell them apart")
                        .arg(what, name));
                problem.file = file;
                problem.line = i + 1;
                Add(problem);
            }
            seen.insert(name);
        }
    };

    categories_ = readFile(0, QStringLiteral("the window lists no category"));
    result_.categories = static_cast<int>(categories_.names.size());
    warnDuplicates(categories_.names, QStringLiteral("Category/Category000.itm"),
                   QStringLiteral("category"));
    for (const int number : {21, 22, 24}) {
        if (number > categories_.names.size())
            continue; // the category does not exist; its file is never read
        subcategories_[number] = readFile(
            number, QStringLiteral("choosing category %1 in the window fails").arg(number));
        warnDuplicates(subcategories_[number].names,
                       QStringLiteral("Category/") + CategoryFileName(number),
                       QStringLiteral("subcategory"));
    }
}

void CatalogChecker::CheckBlocks()
{
    try {
        result_.blocks = database_->StreamRows(
            "SELECT rowid, IDENT, SLOTS_COUNT, V5, V7, V_7, TOTAL_POWER, CATEGORY, SUB_CATEGORY "
            "FROM BLOCKS ORDER BY rowid",
            {}, [this](const TSQLiteRowView& row) { CheckBlock(row); });
    } catch (const ESQLiteException& failure) {
        throw ECatalogUnreadable(failure.Message());
    }
}

void CatalogChecker::CheckBlock(const TSQLiteRowView& row)
{
    using C = BlockColumns;
    rowid_ = row.Integer(C::kRowid);
    const StoredValue ident = ReadStoredValue(row, C::kIdent);
    code_ = ident.storage == TSQLiteTable::kNull ? QString()
            : ident.IsNumber()                    ? ident.Shown()
                                                  : ident.text;
    if (ident.storage == TSQLiteTable::kNull || code_.trimmed().isEmpty()) {
        AddBlockProblem(CheckSeverity::Error, "missing-code", QStringLiteral("IDENT"),
                        QStringLiteral("the block has no code: no search lists it by code and "
                                       "its details cannot be looked up"));
    } else {
        for (CatalogProblem problem : CheckBlockCode(code_)) {
            AddBlockProblem(problem.severity, "", QStringLiteral("IDENT"), problem.message).kind =
                problem.kind;
        }
    }

    // Slots.
    const StoredValue slots = ReadStoredValue(row, C::kSlots);
    if (!slots.IsNumber())
        AddBlockProblem(CheckSeverity::Error, "not-a-number", QStringLiteral("SLOTS_COUNT"),
                        QStringLiteral("%1 is not a number: the window cannot add the block to "
                                       "a basket")
                            .arg(slots.Shown()));
    else if (slots.storage == TSQLiteTable::kReal && slots.real != std::floor(slots.real))
        AddBlockProblem(CheckSeverity::Error, "not-whole", QStringLiteral("SLOTS_COUNT"),
                        QStringLiteral("%1 is not a whole number: the program drops the fraction")
                            .arg(slots.Shown()));
    else if (slots.Number() < 0 || slots.Number() > 255)
        AddBlockProblem(CheckSeverity::Error, "slots-range", QStringLiteral("SLOTS_COUNT"),
                        QStringLiteral("%1 is outside 0 to 255: the basket keeps a block's slots "
                                       "in 8 bits, so the slot count would be wrong")
                            .arg(slots.Shown()));
    else if (slots.Number() == 0)
        AddBlockProblem(CheckSeverity::Warning, "no-slot", QStringLiteral("SLOTS_COUNT"),
                        QStringLiteral("the block takes no slot: any number of it fits any "
                                       "crate"));

    // Currents and power.
    bool allZero = true;
    for (int k = 0; k < 4; ++k) {
        const QString column = QString::fromLatin1(kAmountColumns[k]);
        const StoredValue amount = ReadStoredValue(row, C::kV5 + k);
        const char* kind = nullptr;
        QString message;
        if (amount.storage == TSQLiteTable::kNull) {
            kind = "null-value";
            message = QStringLiteral("is NULL: the details show nothing and the window cannot "
                                     "add the block to a basket");
        } else if (!amount.IsNumber()) {
            kind = "not-a-number";
            message = QStringLiteral("%1 is stored as text, not a number: the window shows it "
                                     "marked (НЕ ЧИСЛО) and cannot add the block to a basket")
                          .arg(amount.Shown());
        } else if (!std::isfinite(amount.Number())) {
            kind = "not-finite";
            message = QStringLiteral("is not a finite number: every sum with it is meaningless");
        } else if (amount.Number() < 0) {
            kind = "negative-value";
            message = QStringLiteral("%1 is negative: the block would lower the basket's sums")
                          .arg(amount.Shown());
        }
        if (kind) {
            AddBlockProblem(CheckSeverity::Error, kind, column, message);
            allZero = false;
        } else if (amount.Number() != 0) {
            allZero = false;
        }
    }
    if (allZero)
        AddBlockProblem(CheckSeverity::Warning, "all-zero", QString(),
                        QStringLiteral("all currents and the power are 0: the block weighs "
                                       "nothing in any budget, probably not filled in"));

    // Category and subcategory.
    const StoredValue category = ReadStoredValue(row, C::kCategory);
    const StoredValue sub = ReadStoredValue(row, C::kSubCategory);
    const auto whole = [](const StoredValue& v) {
        return v.storage == TSQLiteTable::kInteger ||
               (v.storage == TSQLiteTable::kReal && std::isfinite(v.real) &&
                v.real == std::floor(v.real) && std::fabs(v.real) < 9.0e15);
    };
    if (!whole(category) ||
        category.Number() < 1 || category.Number() > static_cast<double>(categories_.names.size())) {
        AddBlockProblem(
            CheckSeverity::Error, "unknown-category", QStringLiteral("CATEGORY"),
            QStringLiteral("%1 is not a line of Category/Category000.itm (%2 lines): the search "
                           "by category never lists the block")
                .arg(category.Shown())
                .arg(categories_.names.size()));
        return;
    }
    const auto n = static_cast<std::int64_t>(category.Number());
    ++blocksByCategory_[n];
    if (!whole(sub)) {
        AddBlockProblem(CheckSeverity::Error, "unknown-subcategory", QStringLiteral("SUB_CATEGORY"),
                        QStringLiteral("%1 is not a subcategory code: the block's subcategory "
                                       "cannot be found")
                            .arg(sub.Shown()));
        return;
    }
    const auto s = static_cast<std::int64_t>(sub.Number());
    const auto file = subcategories_.find(static_cast<int>(n));
    const bool hasSubcategories = HasSubcategories(static_cast<int>(n)) &&
                                  file != subcategories_.end() && !file->second.names.isEmpty();
    if (s == 0) {
        if (hasSubcategories)
            AddBlockProblem(CheckSeverity::Warning, "no-subcategory", QStringLiteral("SUB_CATEGORY"),
                            QStringLiteral("is 0 in category %1, which has subcategories: the "
                                           "search by category never lists the block, only the "
                                           "code search finds it")
                                .arg(n));
        return;
    }
    const std::int64_t line = SubcategoryLine(n, s);
    const bool names = hasSubcategories && (s - n) % 100 == 0 && line >= 0 &&
                       line < file->second.names.size();
    if (!names) {
        AddBlockProblem(
            CheckSeverity::Error, "unknown-subcategory", QStringLiteral("SUB_CATEGORY"),
            hasSubcategories
                ? QStringLiteral("%1 does not name a line of Category/%2 (codes %3 + 100 × line): "
                                 "the search by subcategory never lists the block")
                      .arg(s)
                      .arg(CategoryFileName(static_cast<int>(n)))
                      .arg(n)
                : QStringLiteral("%1, but category %2 has no subcategories: the details show no "
                                 "subcategory for it")
                      .arg(s)
                      .arg(n));
        return;
    }
    ++blocksBySubcategory_[{n, line}];
}

void CatalogChecker::CheckDuplicateCodes()
{
    database_->StreamRows(
        "SELECT IDENT, count(*), group_concat(rowid, ', ') FROM BLOCKS WHERE IDENT IS NOT NULL "
        "GROUP BY IDENT HAVING count(*) > 1",
        {}, [&](const TSQLiteRowView& row) {
            const StoredValue ident = ReadStoredValue(row, 0);
            code_ = ident.IsNumber() ? ident.Shown() : ident.text;
            rowid_ = 0;
            CatalogProblem problem = Problem(
                CheckSeverity::Error, "duplicate-code",
                QStringLiteral("block %1 (rowids %2)")
                    .arg(Printable(code_), ReadStoredValue(row, 2).text),
                QStringLiteral("the code is used by %1 blocks: the details and the basket always "
                               "take the first, the others cannot be chosen")
                    .arg(row.Integer(1)));
            problem.file = kDatabase;
            problem.code = code_;
            problem.column = QStringLiteral("IDENT");
            Add(problem);
        });
}

void CatalogChecker::CheckCrateTypes()
{
    const CatalogCrateTypeTable table = ReadCatalogCrateTypes(*database_);
    for (const QString& fault : table.problems) {
        CatalogProblem problem =
            Problem(CheckSeverity::Error, "crate-types", QStringLiteral("CRATE_TYPES"),
                    fault + QStringLiteral(": the window ignores the whole table and lists its "
                                           "seven built-in crate types"));
        problem.file = kDatabase;
        Add(problem);
    }
    result_.crateTypes = static_cast<int>(table.types.size());
}

void CatalogChecker::CheckEmptyCategories()
{
    for (qsizetype i = 0; i < categories_.names.size(); ++i) {
        const std::int64_t n = i + 1;
        if (blocksByCategory_.count(n) == 0) {
            CatalogProblem problem = Problem(
                CheckSeverity::Warning, "empty-category",
                QStringLiteral("Category/Category000.itm:%1").arg(n),
                QStringLiteral("category %1 \u00AB%2\u00BB has no blocks: choosing it lists "
                               "nothing")
                    .arg(n)
                    .arg(categories_.names[i]));
            problem.file = QStringLiteral("Category/Category000.itm");
            problem.line = n;
            Add(problem);
        }
    }
    for (const auto& [number, state] : subcategories_) {
        for (qsizetype k = 0; k < state.names.size(); ++k) {
            if (blocksBySubcategory_.count({number, k}) != 0)
                continue;
            const QString file = QStringLiteral("Category/") + CategoryFileName(number);
            CatalogProblem problem =
                Problem(CheckSeverity::Warning, "empty-category",
                        QStringLiteral("%1:%2").arg(file).arg(k + 1),
                        QStringLiteral("subcategory \u00AB%1\u00BB (code %2) has no blocks: "
                                       "choosing it lists nothing")
                            .arg(state.names[k])
                            .arg(number + 100 * (k + 1)));
            problem.file = file;
            problem.line = k + 1;
            Add(problem);
        }
    }
}

CatalogCheckResult CatalogChecker::Run()
{
    OpenDatabase();
    try {
        const bool complete = CheckSchema();
        CheckCategoryFiles();
        if (complete) {
            CheckIndexes();
            CheckBlocks();
            CheckDuplicateCodes();
            CheckEmptyCategories();
        }
        CheckCrateTypes();
    } catch (const ESQLiteException& failure) {
        throw ECatalogUnreadable(failure.Message());
    }
    return std::move(result_);
}

QString SeverityWord(CheckSeverity severity)
{
    return severity == CheckSeverity::Error ? QStringLiteral("error") : QStringLiteral("warning");
}

} // namespace

int CatalogCheckResult::Count(CheckSeverity severity) const
{
    int count = 0;
    for (const CatalogProblem& problem : problems)
        if (problem.severity == severity)
            ++count;
    return count;
}

DeclaredKind DeclaredKindOf(const QString& declaredType)
{
    if (declaredType == u"INTEGER" || declaredType == u"BOOLEAN")
        return DeclaredKind::Integer;
    if (declaredType == u"REAL" || declaredType == u"FLOAT" || declaredType == u"DOUBLE" ||
        declaredType == u"NUMERIC")
        return DeclaredKind::Real;
    return DeclaredKind::Other;
}

std::vector<CatalogProblem> CheckBlockCode(const QString& code)
{
    std::vector<CatalogProblem> problems;
    bool control = false, smallCyrillic = false, smallLatin = false;
    for (const QChar c : code) {
        const char16_t u = c.unicode();
        control = control || IsControl(u);
        smallCyrillic = smallCyrillic || (u >= 0x0430 && u <= 0x045F);
        smallLatin = smallLatin || (u >= u'a' && u <= u'z');
    }
    if (control)
        problems.push_back(Problem(CheckSeverity::Error, "control-character", {},
                                   QStringLiteral("the code holds a control character: it cannot "
                                                  "be typed into the code field, and the window "
                                                  "shows it out of its column")));
    if (smallCyrillic)
        problems.push_back(Problem(
            CheckSeverity::Error, "lower-case-cyrillic", {},
            QStringLiteral("the code has lower-case Cyrillic letters: the code search upper-cases "
                           "what is typed and SQLite's LIKE folds only ASCII letters, so it never "
                           "finds this block")));
    if (smallLatin)
        problems.push_back(Problem(
            CheckSeverity::Warning, "lower-case-latin", {},
            QStringLiteral("the code has lower-case Latin letters: the code search still finds "
                           "it, but codes are kept in upper case")));
    return problems;
}

std::vector<CatalogProblem> CheckCategoryFileBytes(const QByteArray& bytes, const QString& file)
{
    std::vector<CatalogProblem> problems;
    const auto add = [&](CheckSeverity severity, const char* kind, std::int64_t line,
                         const QString& message) {
        CatalogProblem problem = Problem(
            severity, kind, line ? QStringLiteral("%1:%2").arg(file).arg(line) : file, message);
        problem.file = file;
        problem.line = line;
        problems.push_back(problem);
    };
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        add(CheckSeverity::Error, "byte-order-mark", 1,
            QStringLiteral("the file starts with a UTF-8 byte-order mark: category files are "
                           "Windows-1251 text without one (convert it with iconv -t CP1251)"));
        return problems;
    }
    if (LooksLikeUtf8(bytes)) {
        add(CheckSeverity::Error, "not-windows-1251", 0,
            QStringLiteral("the file is UTF-8 text, not Windows-1251: the window shows its names "
                           "garbled (convert it with iconv -f UTF-8 -t CP1251)"));
        return problems;
    }
    // Line by line, as the program splits them (CR LF, LF or CR).
    std::int64_t line = 1;
    qsizetype start = 0;
    bool reportedBytes = false;
    for (qsizetype i = 0; i <= bytes.size(); ++i) {
        const bool end = i == bytes.size();
        const char c = end ? '\n' : bytes[i];
        if (c == '\r' || c == '\n') {
            if (end && start == i)
                break; // a break at the very end opens no further line
            const QString name = DecodeCp1251(bytes.mid(start, i - start));
            if (name.trimmed().isEmpty())
                add(CheckSeverity::Error, "blank-name", line,
                    QStringLiteral("the line is blank: the window lists an empty name, and the "
                                   "numbers of the names after it count it"));
            if (!end && c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
            start = i + 1;
            ++line;
            continue;
        }
        const auto byte = static_cast<unsigned char>(c);
        if (!reportedBytes && (byte == 0x98 || (byte < 0x20 && byte != '\t') || byte == 0x7F)) {
            add(CheckSeverity::Error, "not-windows-1251", line,
                QStringLiteral("byte 0x%1 is no character of Windows-1251 text: the window shows "
                               "a wrong character")
                    .arg(byte, 2, 16, QLatin1Char('0')));
            reportedBytes = true;
        }
    }
    return problems;
}

CatalogCheckResult CheckCatalog(const QString& catalogDir)
{
    return CatalogChecker(catalogDir).Run();
}

QString CheckReportText(const CatalogCheckResult& result)
{
    QString text;
    for (const CatalogProblem& problem : result.problems)
        text += SeverityWord(problem.severity) + QStringLiteral(": ") + problem.place +
                QStringLiteral(": ") + problem.message + u'\n';
    text += QStringLiteral("%1 blocks, %2 categories, %3 crate types: %4 errors, %5 warnings\n")
                .arg(result.blocks)
                .arg(result.categories)
                .arg(result.crateTypes)
                .arg(result.Count(CheckSeverity::Error))
                .arg(result.Count(CheckSeverity::Warning));
    return text;
}

QByteArray CheckReportJson(const CatalogCheckResult& result)
{
    QJsonArray problems;
    for (const CatalogProblem& problem : result.problems) {
        QJsonObject object{{QStringLiteral("severity"), SeverityWord(problem.severity)},
                           {QStringLiteral("kind"), problem.kind},
                           {QStringLiteral("place"), problem.place},
                           {QStringLiteral("message"), problem.message}};
        if (!problem.file.isEmpty())
            object.insert(QStringLiteral("file"), problem.file);
        if (problem.line)
            object.insert(QStringLiteral("line"), static_cast<qint64>(problem.line));
        if (!problem.code.isEmpty())
            object.insert(QStringLiteral("code"), problem.code);
        if (problem.rowid)
            object.insert(QStringLiteral("rowid"), static_cast<qint64>(problem.rowid));
        if (!problem.column.isEmpty())
            object.insert(QStringLiteral("column"), problem.column);
        problems.append(object);
    }
    const QJsonObject report{
        {QStringLiteral("blocks"), static_cast<qint64>(result.blocks)},
        {QStringLiteral("categories"), result.categories},
        {QStringLiteral("crateTypes"), result.crateTypes},
        {QStringLiteral("errors"), result.Count(CheckSeverity::Error)},
        {QStringLiteral("warnings"), result.Count(CheckSeverity::Warning)},
        {QStringLiteral("problems"), problems}};
    return QJsonDocument(report).toJson(QJsonDocument::Indented);
}
