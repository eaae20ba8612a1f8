// SPDX-License-Identifier: MIT
#include "app/CatalogTool.h"

#include "catalog/CatalogCheck.h"
#include "catalog/CatalogCsv.h"
#include "catalog/CatalogExport.h"
#include "catalog/CatalogImport.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace {

const QString kName = QStringLiteral("veltrum-catalog");

struct Parser {
    QCommandLineParser parser;
    QCommandLineOption help;
    QCommandLineOption version;
    QCommandLineOption format{QStringLiteral("format"),
                              QStringLiteral("Output of check: text (the default) or json."),
                              QStringLiteral("text|json"), QStringLiteral("text")};

    Parser() : help(parser.addHelpOption()), version(parser.addVersionOption())
    {
        parser.setApplicationDescription(QStringLiteral(
            "Checks, exports and imports a Veltrum catalog (VELTRUM.db and its Category "
            "directory).\n\n"
            "Commands:\n"
            "  check DIR [--format json]  list every problem of the catalog in DIR\n"
            "  export DIR FILE.csv        write the catalog as CSV: FILE.csv (blocks),\n"
            "                             FILE-categories.csv and, when the catalog has\n"
            "                             its own crate types, FILE-crates.csv\n"
            "  import FILE.csv DIR        build a new catalog in DIR (which must not\n"
            "                             exist or be empty) from such CSV files, then\n"
            "                             check it\n\n"
            "Exit status: 0 done (no errors), 1 the catalog has errors or the import\n"
            "was refused, 2 a command line not understood, 3 the catalog or a file\n"
            "cannot be read or written."));
        parser.addOption(format);
        parser.addPositionalArgument(QStringLiteral("command"),
                                     QStringLiteral("check, export or import."),
                                     QStringLiteral("command [arguments]"));
    }
};

CatalogToolResult Usage(const QCommandLineParser& parser, const QString& message)
{
    CatalogToolResult result;
    result.exitStatus = kToolUsage;
    result.standardError = kName + QStringLiteral(": ") + message + QStringLiteral("\n\n") +
                           parser.helpText();
    return result;
}

CatalogToolResult Unreadable(const std::string& message)
{
    return {kToolUnreadable, {},
            kName + QStringLiteral(": ") + QString::fromStdString(message) + u'\n'};
}

CatalogToolResult Check(const QString& dir, bool json)
{
    try {
        const CatalogCheckResult checked = CheckCatalog(dir);
        return {checked.Count(CheckSeverity::Error) ? kToolFaults : kToolOk,
                json ? QString::fromUtf8(CheckReportJson(checked)) : CheckReportText(checked), {}};
    } catch (const ECatalogUnreadable& failure) {
        return Unreadable(failure.Message());
    }
}

CatalogToolResult Export(const QString& dir, const QString& csv, const QString& decimalSeparator)
{
    try {
        const CatalogExportResult exported = ExportCatalog(dir, csv, decimalSeparator);
        CatalogToolResult result;
        for (const QString& file : exported.written)
            result.standardOutput += QStringLiteral("written: %1\n").arg(file);
        if (!exported.removed.isEmpty())
            result.standardOutput +=
                QStringLiteral("removed: %1 (the catalog has no crate types of its own)\n")
                    .arg(exported.removed);
        result.standardOutput += QStringLiteral("%1 blocks exported\n").arg(exported.blocks);
        return result;
    } catch (const ECatalogUnreadable& failure) {
        return Unreadable(failure.Message());
    } catch (const ECatalogCsvError& failure) {
        return Unreadable(failure.Message());
    }
}

CatalogToolResult Import(const QString& csv, const QString& dir)
{
    CatalogImportResult imported;
    try {
        imported = ImportCatalog(csv, dir);
    } catch (const ECatalogImportRefused& refused) {
        return {kToolFaults, {},
                kName + QStringLiteral(": nothing was written; refused:\n") +
                    refused.Reasons().join(u'\n') + u'\n'};
    } catch (const ECatalogCsvError& failure) {
        return Unreadable(failure.Message());
    }
    CatalogToolResult result = Check(dir, false);
    result.standardOutput =
        QStringLiteral("imported into %1: %2 blocks, %3 categories%4\n")
            .arg(dir)
            .arg(imported.blocks)
            .arg(imported.categories)
            .arg(imported.crateTypes < 0 ? QString()
                                         : QStringLiteral(", %1 crate types").arg(imported.crateTypes)) +
        result.standardOutput;
    return result;
}

} // namespace

void DescribeCatalogTool()
{
    QCoreApplication::setApplicationName(kName);
    QCoreApplication::setApplicationVersion(QStringLiteral(VELTRUM_VERSION));
}

CatalogToolResult RunCatalogTool(const QStringList& arguments, const QString& decimalSeparator)
{
    Parser p;
    if (!p.parser.parse(arguments))
        return Usage(p.parser, p.parser.errorText());
    if (p.parser.isSet(p.help) || p.parser.isSet(QStringLiteral("help-all")))
        return {kToolOk, p.parser.helpText(), {}};
    if (p.parser.isSet(p.version))
        return {kToolOk, kName + u' ' + QCoreApplication::applicationVersion() + u'\n', {}};

    const QStringList args = p.parser.positionalArguments();
    if (args.isEmpty())
        return Usage(p.parser, QStringLiteral("no command given"));
    const QString command = args.constFirst();
    const QString format = p.parser.value(p.format);
    if (format != u"text" && format != u"json")
        return Usage(p.parser, QStringLiteral("--format is text or json, not \"%1\"").arg(format));
    if (p.parser.isSet(p.format) && command != u"check")
        return Usage(p.parser, QStringLiteral("--format belongs to check"));
    const auto wants = [&](qsizetype count) { return args.size() == count + 1; };
    if (command == u"check") {
        if (!wants(1))
            return Usage(p.parser, QStringLiteral("check takes one catalog directory"));
        return Check(args[1], format == u"json");
    }
    if (command == u"export") {
        if (!wants(2))
            return Usage(p.parser, QStringLiteral("export takes a catalog directory and a CSV file"));
        return Export(args[1], args[2], decimalSeparator);
    }
    if (command == u"import") {
        if (!wants(2))
            return Usage(p.parser, QStringLiteral("import takes a CSV file and a new catalog directory"));
        return Import(args[1], args[2]);
    }
    return Usage(p.parser, QStringLiteral("unknown command \"%1\"").arg(command));
}
