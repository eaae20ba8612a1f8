// SPDX-License-Identifier: MIT
#include "catalog/CatalogExport.h"

#include "base/CsvField.h"
#include "catalog/CatalogCheck.h"
#include "catalog/CatalogCrateTypes.h"
#include "catalog/CatalogCsv.h"
#include "catalog/CategoryFiles.h"
#include "base/DecimalText.h"
#include "catalog/SQLiteTable3.h"
#include "catalog/StoredValue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <map>
#include <optional>

namespace {

// A stored value as a CSV field: numbers in decimal text with the user's
// separator, texts as stored, NULL as an empty field.
QString Field(const StoredValue& value, const QString& decimalSeparator)
{
    switch (value.storage) {
    case TSQLiteTable::kInteger:
        return QString::number(value.integer);
    case TSQLiteTable::kReal:
        return FormatDecimal(value.real, decimalSeparator);
    case TSQLiteTable::kText:
    case TSQLiteTable::kBlob:
        return value.text;
    default:
        return {};
    }
}

// A CSV file written record by record and put in place whole at the end
// (QSaveFile), so that a catalog of any size is never held in memory.
class CsvOut {
public:
    CsvOut(const QString& path, QChar separator) : out_(path), separator_(separator)
    {
        if (!out_.open(QIODevice::WriteOnly))
            Fail();
        Write(QByteArrayLiteral("\xEF\xBB\xBF"));
    }
    void Record(const QStringList& fields) { Write(CatalogCsvRecord(fields, separator_).toUtf8()); }
    void Commit()
    {
        if (!out_.commit())
            Fail();
    }

private:
    void Write(const QByteArray& bytes)
    {
        if (out_.write(bytes) != bytes.size())
            Fail();
    }
    [[noreturn]] void Fail()
    {
        throw ECatalogCsvError(QStringLiteral("%1: cannot be written (%2)")
                                   .arg(out_.fileName(), out_.errorString())
                                   .toStdString());
    }

    QSaveFile out_;
    QChar separator_;
};

QStringList LoadNames(const QString& dir, int number)
{
    const QString path = CategoryFilePath(dir, number);
    if (!QFileInfo::exists(path))
        return {};
    try {
        return LoadCategoryFile(path);
    } catch (const EFileError& failure) {
        throw ECatalogUnreadable(failure.Message());
    }
}

} // namespace

CatalogExportResult ExportCatalog(const QString& catalogDir, const QString& blocksCsv,
                                  const QString& decimalSeparator)
{
    const QString dbPath = QDir(catalogDir).filePath(QStringLiteral("VELTRUM.db"));
    if (!QFileInfo(dbPath).isFile())
        throw ECatalogUnreadable(
            QStringLiteral("no VELTRUM.db in %1").arg(catalogDir).toStdString());
    const QChar separator = CsvFieldSeparator(decimalSeparator);
    CatalogExportResult result;
    try {
        TSQLiteDatabase database(QFile::encodeName(dbPath).toStdString(), ".",
                                 TSQLiteDatabase::OpenMode::ReadOnly);
        const QStringList categories = LoadNames(catalogDir, 0);
        std::map<int, QStringList> subcategories;
        for (const int n : {21, 22, 24})
            if (n <= categories.size())
                subcategories[n] = LoadNames(catalogDir, n);

        CsvOut blocks(blocksCsv, separator);
        blocks.Record(BlockCsvCaptions());
        result.blocks = static_cast<qint64>(database.StreamRows(
            "SELECT IDENT, NAME_RUS, VIPR, SLOTS_COUNT, V5, V7, V_7, TOTAL_POWER, CATEGORY, "
            "SUB_CATEGORY FROM BLOCKS ORDER BY rowid",
            {}, [&](const TSQLiteRowView& row) {
                QStringList fields;
                for (int k = 0; k < 10; ++k)
                    fields << Field(ReadStoredValue(row, k), decimalSeparator);
                const StoredValue category = ReadStoredValue(row, 8);
                const StoredValue sub = ReadStoredValue(row, 9);
                const qint64 n = category.storage == TSQLiteTable::kInteger ? category.integer : 0;
                fields << LineOrEmpty(categories, n - 1);
                const auto file = subcategories.find(static_cast<int>(n));
                const bool named = file != subcategories.end() &&
                                   sub.storage == TSQLiteTable::kInteger && sub.integer != 0 &&
                                   (sub.integer - n) % 100 == 0;
                fields << (named ? LineOrEmpty(file->second, SubcategoryLine(n, sub.integer))
                                 : QString());
                blocks.Record(fields);
            }));

        CsvOut categoryRows(CategoriesCsvPath(blocksCsv), separator);
        categoryRows.Record(CategoryCsvCaptions());
        for (qsizetype i = 0; i < categories.size(); ++i) {
            const int n = static_cast<int>(i) + 1;
            categoryRows.Record({QString::number(n), categories[i], QString(), QString()});
            const auto file = subcategories.find(n);
            if (file == subcategories.end())
                continue;
            for (qsizetype k = 0; k < file->second.size(); ++k)
                categoryRows.Record({QString::number(n), categories[i],
                                     QString::number(n + 100 * (k + 1)), file->second[k]});
        }

        bool hasCrates = false;
        database.StreamRows("SELECT 1 FROM pragma_table_info('CRATE_TYPES')", {},
                            [&](const TSQLiteRowView&) { hasCrates = true; });
        const QString cratesPath = CratesCsvPath(blocksCsv);
        std::optional<CsvOut> crates;
        if (hasCrates) {
            crates.emplace(cratesPath, separator);
            crates->Record(CrateTypeColumns());
            database.StreamRows(
                "SELECT NAME, V5, V7, V_7, TOTAL_POWER, SLOTS_COUNT FROM CRATE_TYPES ORDER BY rowid",
                {}, [&](const TSQLiteRowView& row) {
                    QStringList fields;
                    for (int k = 0; k < 6; ++k)
                        fields << Field(ReadStoredValue(row, k), decimalSeparator);
                    crates->Record(fields);
                });
        }

        // Everything has been read: only now do the files take their places.
        blocks.Commit();
        result.written << blocksCsv;
        categoryRows.Commit();
        result.written << CategoriesCsvPath(blocksCsv);
        if (crates) {
            crates->Commit();
            result.written << cratesPath;
        } else if (QFileInfo::exists(cratesPath)) {
            if (!QFile::remove(cratesPath))
                throw ECatalogCsvError(
                    QStringLiteral("%1: an older crate type file cannot be removed").arg(cratesPath).toStdString());
            result.removed = cratesPath;
        }
    } catch (const ESQLiteException& failure) {
        throw ECatalogUnreadable(failure.Message());
    }
    return result;
}
