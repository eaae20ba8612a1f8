// SPDX-License-Identifier: MIT
#include "catalog/CatalogImport.h"

#include "catalog/CatalogCheck.h"
#include "catalog/CatalogCrateTypes.h"
#include "catalog/CategoryFiles.h"
#include "base/DecimalText.h"
#include "catalog/SQLiteTable3.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Enough refusals to mend a file in one go without flooding the terminal.
constexpr int kMaxReasons = 200;

struct ImportBlock {
    QString ident, name, vipr;
    std::int64_t slots = 0;
    QString v5, v7, v_7, power; // decimal text with a full stop
    QString category, subcategory;
};

struct CategoryPlan {
    QString name;
    QStringList subcategories;
};

class Refusals {
public:
    void Add(const QString& reason)
    {
        if (reasons_.size() < kMaxReasons)
            reasons_ << reason;
        else
            ++more_;
    }
    bool Any() const { return !reasons_.isEmpty(); }
    [[noreturn]] void Throw() const
    {
        QStringList reasons = reasons_;
        if (more_)
            reasons << QStringLiteral("... and %1 more").arg(more_);
        throw ECatalogImportRefused(reasons);
    }

private:
    QStringList reasons_;
    int more_ = 0;
};

QByteArray ReadWhole(const QString& path)
{
    QFile in(path);
    if (!QFileInfo(path).isFile() || !in.open(QIODevice::ReadOnly))
        throw ECatalogCsvError(
            QStringLiteral("%1: cannot be read (%2)").arg(path, in.errorString()).toStdString());
    return in.readAll();
}

// Column positions by caption; refuses unknown and missing captions.
QHash<QString, int> Columns(const CsvRecord& captions, const QStringList& required,
                            const QStringList& known, const QString& file, Refusals& refusals)
{
    QHash<QString, int> columns;
    for (qsizetype i = 0; i < captions.fields.size(); ++i) {
        const QString caption = captions.fields[i].trimmed().toUpper();
        if (caption.isEmpty())
            continue;
        if (!known.contains(caption))
            refusals.Add(QStringLiteral("%1 line 1: unknown column \"%2\" (the columns are %3)")
                             .arg(file, captions.fields[i], known.join(QStringLiteral(", "))));
        else if (columns.contains(caption))
            refusals.Add(QStringLiteral("%1 line 1: column %2 is there twice").arg(file, caption));
        columns.insert(caption, static_cast<int>(i));
    }
    for (const QString& column : required)
        if (!columns.contains(column))
            refusals.Add(QStringLiteral("%1 line 1: no column %2").arg(file, column));
    return columns;
}

QString FieldOf(const CsvRecord& record, const QHash<QString, int>& columns, const QString& column)
{
    const int index = columns.value(column, -1);
    return index >= 0 && index < record.fields.size() ? record.fields[index] : QString();
}

bool Blank(const CsvRecord& record)
{
    for (const QString& field : record.fields)
        if (!field.trimmed().isEmpty())
            return false;
    return true;
}

// A number as written in a spreadsheet's CSV: with a full stop, or in a
// file separated by ';' also with a comma.
std::optional<double> ParseAmount(const QString& text, QChar fieldSeparator)
{
    for (const char* decimal : {".", ","}) {
        if (*decimal == ',' && fieldSeparator != u';')
            break;
        try {
            return ParseDecimal(text.toStdString(), decimal);
        } catch (const EConvertError&) {
        }
    }
    return std::nullopt;
}

// Why a category or subcategory name cannot go into a category file.
QString NameFault(const QString& name)
{
    if (name.trimmed().isEmpty())
        return QStringLiteral("the name is blank");
    for (const QChar c : name)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return QStringLiteral("the name holds a control character or a line break");
    qsizetype at = 0;
    if (!EncodeCp1251(name, &at))
        return QStringLiteral("\u00AB%1\u00BB cannot be written in Windows-1251 (the character "
                              "\"%2\", U+%3), which the category files use")
            .arg(name, name.mid(at, 1))
            .arg(name[at].unicode(), 4, 16, QLatin1Char('0'));
    return {};
}

class Importer {
public:
    Importer(const QString& blocksCsv, const QString& target)
        : blocksCsv_(blocksCsv), target_(target)
    {
    }
    CatalogImportResult Run();

private:
    void CheckTarget() const;
    void ReadCategories();
    void ReadBlocks(TSQLiteDatabase& database);
    void ReadCrateTypes();
    void PlaceCategories();
    void Finish(TSQLiteDatabase& database) const;
    void WriteCategoryFiles(const QString& dir) const;
    void WriteCategoryFile(const QString& path, const QStringList& names) const;

    int CategoryIndex(const QString& name)
    {
        const auto found = categoryIndex_.constFind(name);
        if (found != categoryIndex_.constEnd())
            return *found;
        categories_.push_back({name, {}});
        categoryIndex_.insert(name, static_cast<int>(categories_.size()) - 1);
        return static_cast<int>(categories_.size()) - 1;
    }
    void AddSubcategory(int category, const QString& name)
    {
        if (!categories_[static_cast<std::size_t>(category)].subcategories.contains(name))
            categories_[static_cast<std::size_t>(category)].subcategories << name;
    }

    QString blocksCsv_, target_;
    Refusals refusals_;
    std::vector<CategoryPlan> categories_;
    QHash<QString, int> categoryIndex_;
    qint64 blocks_ = 0;
    std::optional<CatalogCrateTypeTable> crateTypes_;
};

void Importer::CheckTarget() const
{
    const QFileInfo info(target_);
    if (info.exists() || info.isSymLink()) {
        if (!info.isDir() || info.isSymLink() ||
            !QDir(target_).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System |
                                   QDir::NoDotAndDotDot))
            throw ECatalogImportRefused({QStringLiteral(
                "%1 already exists and is not an empty directory: the new catalog goes into a "
                "directory that does not exist yet or is empty, so that no file is overwritten")
                                             .arg(target_)});
    }
    if (!QFileInfo(info.absolutePath()).isDir())
        throw ECatalogCsvError(
            QStringLiteral("%1: the directory it would go into does not exist").arg(target_).toStdString());
}

void Importer::ReadCategories()
{
    const QString path = CategoriesCsvPath(blocksCsv_);
    if (!QFileInfo::exists(path))
        return;
    const QString file = QFileInfo(path).fileName();
    const CsvTable table = ParseCatalogCsv(ReadWhole(path), file);
    if (table.records.empty())
        return;
    const QStringList captions = CategoryCsvCaptions();
    const QHash<QString, int> columns =
        Columns(table.records.front(), {QStringLiteral("CATEGORY_NAME")}, captions, file, refusals_);
    if (refusals_.Any())
        return;
    for (std::size_t r = 1; r < table.records.size(); ++r) {
        const CsvRecord& record = table.records[r];
        if (Blank(record))
            continue;
        const QString name = FieldOf(record, columns, QStringLiteral("CATEGORY_NAME"));
        const QString sub = FieldOf(record, columns, QStringLiteral("SUB_CATEGORY_NAME"));
        if (const QString fault = NameFault(name); !fault.isEmpty()) {
            refusals_.Add(QStringLiteral("%1 line %2, CATEGORY_NAME: %3").arg(file).arg(record.line).arg(fault));
            continue;
        }
        const int index = CategoryIndex(name);
        if (sub.isEmpty())
            continue;
        if (const QString fault = NameFault(sub); !fault.isEmpty()) {
            refusals_.Add(
                QStringLiteral("%1 line %2, SUB_CATEGORY_NAME: %3").arg(file).arg(record.line).arg(fault));
            continue;
        }
        AddSubcategory(index, sub);
    }
}

void Importer::ReadBlocks(TSQLiteDatabase& database)
{
    const QString file = QFileInfo(blocksCsv_).fileName();
    QFile in(blocksCsv_);
    if (!QFileInfo(blocksCsv_).isFile() || !in.open(QIODevice::ReadOnly))
        throw ECatalogCsvError(
            QStringLiteral("%1: cannot be read (%2)").arg(blocksCsv_, in.errorString()).toStdString());
    CsvRecordReader reader(in, file);
    CsvRecord captions;
    if (!reader.Next(captions))
        throw ECatalogImportRefused({QStringLiteral("%1: the file is empty").arg(file)});
    QStringList required = BlockCsvCaptions();
    required.removeAll(QStringLiteral("CATEGORY"));
    required.removeAll(QStringLiteral("SUB_CATEGORY"));
    required.removeAll(QStringLiteral("SUB_CATEGORY_NAME"));
    const QHash<QString, int> columns =
        Columns(captions, required, BlockCsvCaptions(), file, refusals_);
    if (refusals_.Any())
        return;

    // Codes seen so far and their lines: the one thing kept of every row.
    QHash<QString, qint64> codeLines;
    const auto width = captions.fields.size();
    CsvRecord record;
    while (reader.Next(record)) {
        if (Blank(record))
            continue;
        const auto field = [&](const char* column) {
            return FieldOf(record, columns, QString::fromLatin1(column));
        };
        ImportBlock block;
        block.ident = field("IDENT");
        const QString place = QStringLiteral("%1 line %2").arg(file).arg(record.line);
        const QString codeText = QStringLiteral("code \u00AB%1\u00BB").arg(block.ident);
        bool refused = false;
        const auto refuse = [&](const char* column, const QString& why) {
            refused = true;
            refusals_.Add(QStringLiteral("%1, %2, %3: %4")
                              .arg(place, QString::fromLatin1(column), codeText, why));
        };
        if (record.fields.size() > width) {
            refused = true;
            refusals_.Add(QStringLiteral("%1: %2 fields, but %3 captions")
                              .arg(place)
                              .arg(record.fields.size())
                              .arg(width));
        }
        if (block.ident.trimmed().isEmpty())
            refuse("IDENT", QStringLiteral("the code is empty"));
        for (const CatalogProblem& problem : CheckBlockCode(block.ident))
            if (problem.severity == CheckSeverity::Error)
                refuse("IDENT", problem.message);
        if (const auto earlier = codeLines.constFind(block.ident); earlier != codeLines.constEnd())
            refuse("IDENT", QStringLiteral("the code is already used on line %1").arg(*earlier));
        else
            codeLines.insert(block.ident, record.line);
        block.name = field("NAME_RUS");
        block.vipr = field("VIPR");

        const QString slots = field("SLOTS_COUNT").trimmed();
        try {
            block.slots = ParseInteger(slots.toStdString());
            if (block.slots < 0 || block.slots > 255)
                refuse("SLOTS_COUNT", QStringLiteral("%1 is outside 0 to 255").arg(slots));
        } catch (const EConvertError&) {
            refuse("SLOTS_COUNT", QStringLiteral("\"%1\" is not a whole number").arg(slots));
        }
        const std::pair<const char*, QString*> amounts[] = {
            {"V5", &block.v5}, {"V7", &block.v7}, {"V_7", &block.v_7}, {"TOTAL_POWER", &block.power}};
        for (const auto& [column, out] : amounts) {
            const QString text = field(column);
            const std::optional<double> value = ParseAmount(text, reader.Separator());
            if (!value)
                refuse(column, QStringLiteral("\"%1\" is not a number").arg(text));
            else if (!std::isfinite(*value))
                refuse(column, QStringLiteral("\"%1\" is not a finite number").arg(text));
            else if (*value < 0)
                refuse(column, QStringLiteral("\"%1\" is negative").arg(text));
            else
                *out = FormatDecimal(*value, QStringLiteral("."));
        }
        block.category = field("CATEGORY_NAME");
        block.subcategory = field("SUB_CATEGORY_NAME");
        int index = -1;
        if (const QString fault = NameFault(block.category); !fault.isEmpty()) {
            refuse("CATEGORY_NAME", fault);
        } else {
            index = CategoryIndex(block.category);
            if (!block.subcategory.isEmpty()) {
                if (const QString subFault = NameFault(block.subcategory); !subFault.isEmpty())
                    refuse("SUB_CATEGORY_NAME", subFault);
                else
                    AddSubcategory(index, block.subcategory);
            }
        }
        // Once anything is refused nothing more is written: the rest of the
        // file is only checked, so that every refusal is listed at once.
        if (refused || refusals_.Any())
            continue;
        // Names only ever join the end of their lists, so a number given
        // now stays the category's.
        const std::int64_t number = index + 1;
        const std::int64_t code =
            block.subcategory.isEmpty()
                ? 0
                : number + 100 * (categories_[static_cast<std::size_t>(index)]
                                      .subcategories.indexOf(block.subcategory) +
                                  1);
        database.RunStatement(
            "INSERT INTO BLOCKS VALUES (?, ?, ?, ?, CAST(? AS REAL), CAST(? AS REAL), "
            "CAST(? AS REAL), CAST(? AS REAL), ?, ?)",
            {block.ident.toStdString(), block.name.toStdString(), block.vipr.toStdString(),
             block.slots, block.v5.toStdString(), block.v7.toStdString(), block.v_7.toStdString(),
             block.power.toStdString(), number, code});
        ++blocks_;
    }
}

void Importer::ReadCrateTypes()
{
    const QString path = CratesCsvPath(blocksCsv_);
    if (!QFileInfo::exists(path))
        return;
    const QString file = QFileInfo(path).fileName();
    const CsvTable table = ParseCatalogCsv(ReadWhole(path), file);
    if (table.records.empty()) {
        refusals_.Add(QStringLiteral("%1: the file is empty").arg(file));
        return;
    }
    const QHash<QString, int> columns =
        Columns(table.records.front(), CrateTypeColumns(), CrateTypeColumns(), file, refusals_);
    if (refusals_.Any())
        return;
    std::vector<StoredCrateTypeRow> rows;
    std::vector<qint64> lines;
    for (std::size_t r = 1; r < table.records.size(); ++r) {
        const CsvRecord& record = table.records[r];
        if (Blank(record))
            continue;
        const auto value = [&](const QString& column, bool whole) {
            const QString text = FieldOf(record, columns, column).trimmed();
            if (whole) {
                try {
                    return StoredValue::Integer(ParseInteger(text.toStdString()));
                } catch (const EConvertError&) {
                }
            }
            const std::optional<double> number = ParseAmount(text, table.separator);
            return number ? StoredValue::Real(*number) : StoredValue::Text(text);
        };
        StoredCrateTypeRow row;
        row.rowid = static_cast<std::int64_t>(rows.size()) + 1;
        row.name = StoredValue::Text(FieldOf(record, columns, QStringLiteral("NAME")));
        row.v5 = value(QStringLiteral("V5"), false);
        row.v7 = value(QStringLiteral("V7"), false);
        row.v_7 = value(QStringLiteral("V_7"), false);
        row.power = value(QStringLiteral("TOTAL_POWER"), false);
        row.slots = value(QStringLiteral("SLOTS_COUNT"), true);
        rows.push_back(row);
        lines.push_back(record.line);
    }
    CatalogCrateTypeTable checked = ValidateCrateTypeRows(rows);
    for (const QString& problem : checked.problems) {
        // "crate type row N (...)": name the file's line as well.
        const QRegularExpressionMatch match =
            QRegularExpression(QStringLiteral("^crate type row (\\d+)")).match(problem);
        const qint64 line = match.hasMatch()
                                ? lines[static_cast<std::size_t>(match.captured(1).toLongLong() - 1)]
                                : 0;
        refusals_.Add(line ? QStringLiteral("%1 line %2: %3").arg(file).arg(line).arg(problem)
                           : QStringLiteral("%1: %2").arg(file, problem));
    }
    crateTypes_ = std::move(checked);
}

void Importer::PlaceCategories()
{
    for (std::size_t i = 0; i < categories_.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        if (!categories_[i].subcategories.isEmpty() && !HasSubcategories(number))
            refusals_.Add(QStringLiteral("category \u00AB%1\u00BB has subcategories but is "
                                         "category %2: only categories 21, 22 and 24 can have "
                                         "subcategories, as the program fixes; move it to one "
                                         "of those lines in the categories file")
                              .arg(categories_[i].name)
                              .arg(number));
    }
}

void Importer::WriteCategoryFile(const QString& path, const QStringList& names) const
{
    QByteArray bytes;
    for (const QString& name : names)
        bytes += *EncodeCp1251(name) + "\r\n";
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.flush() ||
        ::fsync(out.handle()) != 0)
        throw ECatalogCsvError(
            QStringLiteral("%1: cannot be written (%2)").arg(path, out.errorString()).toStdString());
}

void SyncDirectory(const QString& dir)
{
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

void Importer::Finish(TSQLiteDatabase& database) const
{
    database.RunStatement("CREATE INDEX BLOCKS_IDENT ON BLOCKS(IDENT)");
    database.RunStatement("CREATE INDEX BLOCKS_CATEGORY ON BLOCKS(CATEGORY, SUB_CATEGORY)");
    if (crateTypes_) {
        database.RunStatement("CREATE TABLE CRATE_TYPES (NAME TEXT, V5 REAL, V7 REAL, V_7 REAL, "
                              "TOTAL_POWER REAL, SLOTS_COUNT INTEGER)");
        for (const CatalogCrateType& type : crateTypes_->types)
            database.RunStatement(
                "INSERT INTO CRATE_TYPES VALUES (?, CAST(? AS REAL), CAST(? AS REAL), "
                "CAST(? AS REAL), CAST(? AS REAL), ?)",
                {type.name.toStdString(), type.v5.toStdString(), type.v7.toStdString(),
                 type.v_7.toStdString(), type.power.toStdString(), type.slots});
    }
    database.RunStatement("COMMIT");
}

void Importer::WriteCategoryFiles(const QString& dir) const
{
    const QString categoryDir = QDir(dir).filePath(QStringLiteral("Category"));
    if (!QDir().mkpath(categoryDir))
        throw ECatalogCsvError(QStringLiteral("%1: cannot be made").arg(categoryDir).toStdString());
    QStringList names;
    for (const CategoryPlan& category : categories_)
        names << category.name;
    WriteCategoryFile(CategoryFilePath(dir, 0), names);
    for (const int number : {21, 22, 24})
        WriteCategoryFile(CategoryFilePath(dir, number),
                          number <= static_cast<int>(categories_.size())
                              ? categories_[static_cast<std::size_t>(number - 1)].subcategories
                              : QStringList());
    SyncDirectory(categoryDir);
    SyncDirectory(dir);
}

CatalogImportResult Importer::Run()
{
    CheckTarget();
    ReadCategories();
    if (refusals_.Any())
        refusals_.Throw();

    // The blocks go straight into the new database as they are read, in a
    // temporary directory that is removed again when anything is refused.
    QTemporaryDir building(ImportTemporaryPrefix(target_) + QStringLiteral("XXXXXX"));
    if (!building.isValid())
        throw ECatalogCsvError(QStringLiteral("%1: no temporary directory can be made beside it (%2)")
                                   .arg(target_, building.errorString())
                                   .toStdString());
    try {
        {
            TSQLiteDatabase database(
                QFile::encodeName(QDir(building.path()).filePath(QStringLiteral("VELTRUM.db")))
                    .toStdString());
            database.RunStatement("BEGIN");
            database.RunStatement(
                "CREATE TABLE BLOCKS (IDENT TEXT, NAME_RUS TEXT, VIPR TEXT, SLOTS_COUNT INTEGER, "
                "V5 REAL, V7 REAL, V_7 REAL, TOTAL_POWER REAL, CATEGORY INTEGER, "
                "SUB_CATEGORY INTEGER)");
            ReadBlocks(database);
            ReadCrateTypes();
            PlaceCategories();
            if (refusals_.Any())
                refusals_.Throw();
            Finish(database);
        }
        WriteCategoryFiles(building.path());
    } catch (const ESQLiteException& failure) {
        throw ECatalogCsvError(failure.Message());
    }
    ::chmod(QFile::encodeName(building.path()).constData(), 0755);
    // rename() replaces an empty directory and refuses one that has got
    // files since the first look, so nothing is ever overwritten.
    if (::rename(QFile::encodeName(building.path()).constData(),
                 QFile::encodeName(target_).constData()) != 0) {
        const int error = errno;
        if (error == ENOTEMPTY || error == EEXIST || error == ENOTDIR)
            CheckTarget();
        throw ECatalogCsvError(QStringLiteral("%1: the new catalog cannot be moved there (%2)")
                                   .arg(target_, QString::fromLocal8Bit(std::strerror(error)))
                                   .toStdString());
    }
    building.setAutoRemove(false);
    SyncDirectory(QFileInfo(target_).absolutePath());

    CatalogImportResult result;
    result.blocks = blocks_;
    result.categories = static_cast<int>(categories_.size());
    result.crateTypes = crateTypes_ ? static_cast<int>(crateTypes_->types.size()) : -1;
    return result;
}

} // namespace

QString ImportTemporaryPrefix(const QString& targetDir)
{
    QString target = QDir::cleanPath(QFileInfo(targetDir).absoluteFilePath());
    return target + QStringLiteral(".importing-");
}

CatalogImportResult ImportCatalog(const QString& blocksCsv, const QString& targetDir)
{
    return Importer(blocksCsv, targetDir).Run();
}
