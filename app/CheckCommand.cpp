// SPDX-License-Identifier: MIT
#include "app/CheckCommand.h"

#include "exchange/BasketCheck.h"
#include "exchange/BasketCheckReport.h"
#include "exchange/BasketFile.h"
#include "exchange/CatalogLookup.h"
#include "exchange/CatalogCrateTypeList.h"
#include "base/DecimalText.h"
#include "app/ProgramDirectory.h"
#include "catalog/SQLiteTable3.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <memory>

namespace {

QString Text(const char16_t* text)
{
    return QString::fromUtf16(text);
}

// One line, as the window writes SQLite's reasons to standard error.
QByteArray ErrorLine(const QString& what)
{
    QString line = what;
    line.replace(u'\n', u' ').replace(u'\r', u' ');
    return QStringLiteral("veltrum: %1\n").arg(line).toUtf8();
}

// The catalog opened once for the whole run, or why it could not be.
struct OpenedCatalog {
    std::unique_ptr<TSQLiteDatabase> database;
    QString path;
    CheckedCatalog file;
    std::shared_ptr<QString> sha256 = std::make_shared<QString>(); // once worked out
    QString fault;                                                 // in English, for standard error
    QString reason; // in Russian, for each file left unchecked
    // The crate types the window lists for this catalog.
    CatalogCrateTypeList crateTypes{BuiltInCrateTypes(), false, {}, {}};
};

OpenedCatalog OpenCatalog(const QString& catalogDir, const QString& separator)
{
    OpenedCatalog catalog;
    const std::optional<QString> directory =
        catalogDir.isEmpty() ? ExecutableDirectory() : std::optional<QString>(catalogDir);
    if (!directory) {
        catalog.fault = QStringLiteral("the directory of the program cannot be found");
        catalog.reason = Text(u"не удалось определить каталог программы");
        return catalog;
    }
    catalog.path = QDir(*directory).filePath(QStringLiteral("VELTRUM.db"));
    if (!QFileInfo::exists(catalog.path)) {
        catalog.fault = QStringLiteral("catalog not found: %1").arg(catalog.path);
        catalog.reason =
            Text(u"файл каталога \"%1\" не найден").arg(QDir::toNativeSeparators(catalog.path));
        return catalog;
    }
    try {
        // As the window opens it: read-only, nothing written beside it.
        catalog.database = std::make_unique<TSQLiteDatabase>(
            QFile::encodeName(catalog.path).toStdString(), separator.toStdString(),
            TSQLiteDatabase::OpenMode::ReadOnly);
        const QFileInfo info(catalog.path);
        catalog.file.size = info.size();
        catalog.file.modified = info.lastModified().toUTC();
        // Hashed only when a basket's stamp needs it, and then once.
        catalog.file.sha256 = [path = catalog.path, sha256 = catalog.sha256] {
            if (sha256->isEmpty())
                *sha256 = ReadCatalogStamp(path).sha256;
            return *sha256;
        };
        catalog.crateTypes = CrateTypesOfCatalog(*catalog.database);
    } catch (const std::exception& error) {
        catalog.database.reset();
        catalog.fault = QString::fromUtf8(error.what());
        catalog.reason = Text(u"каталог не прочитан: ") + catalog.fault;
    }
    return catalog;
}

} // namespace

CheckCommandOutput RunCheckCommand(const CheckOptions& options)
{
    BasketCheckRun run;
    run.separator = LocaleDecimalSeparator();
    run.marginPercent = options.marginPercent;
    CheckCommandOutput output;

    const OpenedCatalog catalog = OpenCatalog(options.catalogDir, run.separator);
    run.catalogPath = catalog.path;
    if (!catalog.database)
        output.standardError = ErrorLine(catalog.fault);

    BasketCheckOptions checking;
    checking.separator = run.separator;
    checking.marginPercent = options.marginPercent;
    checking.crateTypes = CrateTypeLimitTexts(catalog.crateTypes.types, run.separator);
    // A crate type table that is not used is said, as the window says it;
    // the files are checked against the built-in types, as the window lists them.
    for (const QString& problem : catalog.crateTypes.problems)
        output.standardError += ErrorLine(QStringLiteral("crate types of the catalog not used: ") + problem);
    if (catalog.database)
        checking.catalog = catalog.file;
    const CatalogLookup lookup = catalog.database
                                     ? RememberingLookup(LookUpInCatalog(*catalog.database))
                                     : CatalogLookup();

    for (const QString& file : options.files) {
        if (!catalog.database) {
            run.results.push_back(UncheckedBasket(file, catalog.reason));
            continue;
        }
        try {
            // A file's lookups share one read of the catalog and one
            // compiled query; a writer waits no longer than one file.
            const TSQLiteDatabase::HeldRead oneRead(*catalog.database);
            run.results.push_back(CheckBasket(file, LoadBasketFile(file), lookup, checking));
        } catch (const std::exception& error) {
            run.results.push_back(UncheckedBasket(file, QString::fromUtf8(error.what())));
        }
    }

    run.catalogSha256 = *catalog.sha256;
    switch (options.format) {
    case CheckFormat::Text:
        output.standardOutput = CheckReportText(run).toUtf8();
        break;
    case CheckFormat::Json:
        output.standardOutput = CheckReportJson(run);
        break;
    case CheckFormat::Csv:
        output.standardOutput = CheckReportCsv(run);
        break;
    }
    output.exitStatus = CheckExitStatus(SummarizeChecks(run.results));
    return output;
}
