// SPDX-License-Identifier: MIT
#include "CheckCommand.h"

#include "BasketCheck.h"
#include "BasketCheckReport.h"
#include "BasketFile.h"
#include "CatalogBlocks.h"
#include "DecimalText.h"
#include "ProgramDirectory.h"
#include "SQLiteTable3.h"

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
    QString sha256;
    QString fault;  // in English, for standard error
    QString reason; // in Russian, for each file left unchecked
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
        catalog.sha256 = ReadCatalogStamp(catalog.path).sha256;
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
    run.catalogSha256 = catalog.sha256;
    if (!catalog.database)
        output.standardError = ErrorLine(catalog.fault);

    BasketCheckOptions checking;
    checking.separator = run.separator;
    checking.marginPercent = options.marginPercent;
    checking.crateTypes = BuiltInCrateTypes(run.separator);
    checking.catalogSha256 = catalog.sha256;
    const CatalogLookup lookup = catalog.database
                                     ? RememberingLookup(CatalogBlockLookup(*catalog.database))
                                     : CatalogLookup();

    for (const QString& file : options.files) {
        if (!catalog.database) {
            run.results.push_back(UncheckedBasket(file, catalog.reason));
            continue;
        }
        try {
            run.results.push_back(CheckBasket(file, LoadBasketFile(file), lookup, checking));
        } catch (const std::exception& error) {
            run.results.push_back(UncheckedBasket(file, QString::fromUtf8(error.what())));
        }
    }

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
