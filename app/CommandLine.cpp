// SPDX-License-Identifier: MIT
#include "app/CommandLine.h"

#include "base/ProgramVersion.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace {

struct Parser {
    QCommandLineParser parser;
    QCommandLineOption help;
    QCommandLineOption version;
    QCommandLineOption check{
        QStringLiteral("check"),
        QStringLiteral("Checks the basket files named, without a window, against the catalog as "
                       "it is now: for each file its crate type, the verdict, the crate types "
                       "that would take it and what changed in the catalog since it was saved. "
                       "Exit status 0: every file fits and nothing changed; 1: a file is over a "
                       "limit or changed; 3: a file or the catalog cannot be read.")};
    QCommandLineOption catalog{QStringLiteral("catalog"),
                               QStringLiteral("With --check: the directory of the catalog "
                                              "(VELTRUM.db) to check against, instead of the "
                                              "program's own."),
                               QStringLiteral("DIR")};
    QCommandLineOption margin{
        QStringLiteral("margin"),
        QStringLiteral("With --check: the warning threshold, in per cent of a limit (%1 to %2, "
                       "%3 by default).")
            .arg(kMinMarginPercent)
            .arg(kMaxMarginPercent)
            .arg(kDefaultMarginPercent),
        QStringLiteral("PERCENT")};
    QCommandLineOption format{QStringLiteral("format"),
                              QStringLiteral("With --check: text (the default), json or csv."),
                              QStringLiteral("FORMAT")};

    // addHelpOption also adds --help-all; its extra list of Qt's options is
    // only printed by QCommandLineParser::process, which exits on its own,
    // so it is answered like --help.
    bool AsksForHelp() const
    {
        return parser.isSet(help) || parser.isSet(QStringLiteral("help-all"));
    }

    Parser() : help(parser.addHelpOption()), version(parser.addVersionOption())
    {
        // Qt's own options are single-dash words (-platform, -stylesheet,
        // -reverse); read as clusters of short options they would turn into
        // -h or -v.
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.setApplicationDescription(
            QStringLiteral("Picks plug-in blocks from a catalog into an equipment crate and checks "
                           "the summed +5 V, +7 V and -7 V currents, the power and the slots "
                           "against the limits of the crate type.\n"
                           "The catalog (VELTRUM.db and the Category directory) is read from the "
                           "program's own directory."));
        parser.addPositionalArgument(QStringLiteral("basket-file"),
                                     QStringLiteral("A basket file to open once the catalog is "
                                                    "open; with --check, the files to check."),
                                     QStringLiteral("[basket-file]"));
        parser.addOptions({check, catalog, margin, format});
    }
};

CommandLineResult UsageError(const QCommandLineParser& parser, const QString& message)
{
    CommandLineResult result;
    result.exitStatus = kUsageExitStatus;
    result.standardError = QCoreApplication::applicationName() + QStringLiteral(": ") + message +
                           QStringLiteral("\n\n") + parser.helpText();
    return result;
}

std::optional<CheckFormat> FormatNamed(const QString& name)
{
    if (name == u"text")
        return CheckFormat::Text;
    if (name == u"json")
        return CheckFormat::Json;
    if (name == u"csv")
        return CheckFormat::Csv;
    return std::nullopt;
}

// The options of --check, or the usage error that stops them.
CommandLineResult ParseCheck(const Parser& p)
{
    CheckOptions check;
    check.files = p.parser.positionalArguments();
    if (check.files.isEmpty())
        return UsageError(p.parser, QStringLiteral("--check needs at least one basket file."));
    check.catalogDir = p.parser.value(p.catalog);
    if (p.parser.isSet(p.catalog) && check.catalogDir.isEmpty())
        return UsageError(p.parser, QStringLiteral("--catalog needs a directory."));
    if (p.parser.isSet(p.margin)) {
        const QString text = p.parser.value(p.margin);
        bool whole = false;
        check.marginPercent = text.toInt(&whole);
        if (!whole || check.marginPercent < kMinMarginPercent ||
            check.marginPercent > kMaxMarginPercent)
            return UsageError(p.parser,
                              QStringLiteral("--margin takes a whole number from %1 to %2, got "
                                             "'%3'.")
                                  .arg(kMinMarginPercent)
                                  .arg(kMaxMarginPercent)
                                  .arg(text));
    }
    if (p.parser.isSet(p.format)) {
        const std::optional<CheckFormat> format = FormatNamed(p.parser.value(p.format));
        if (!format)
            return UsageError(p.parser,
                              QStringLiteral("--format takes text, json or csv, got '%1'.")
                                  .arg(p.parser.value(p.format)));
        check.format = *format;
    }
    CommandLineResult result;
    result.check = check;
    return result;
}

} // namespace

void NameProgram()
{
    QCoreApplication::setApplicationName(QStringLiteral("veltrum"));
    QCoreApplication::setApplicationVersion(ProgramVersion());
}

CommandLineResult ParseCommandLine(const QStringList& arguments)
{
    Parser p;
    CommandLineResult result;
    if (!p.parser.parse(arguments))
        return UsageError(p.parser, p.parser.errorText());
    if (p.AsksForHelp()) {
        result.standardOutput = p.parser.helpText();
        return result;
    }
    if (p.parser.isSet(p.version)) {
        result.standardOutput = QCoreApplication::applicationName() + u' ' +
                                QCoreApplication::applicationVersion() + u'\n';
        return result;
    }
    if (p.parser.isSet(p.check))
        return ParseCheck(p);
    for (const QCommandLineOption* checkOnly : {&p.catalog, &p.margin, &p.format})
        if (p.parser.isSet(*checkOnly))
            return UsageError(p.parser, QStringLiteral("--%1 is an option of --check.")
                                            .arg(checkOnly->names().constFirst()));
    const QStringList positional = p.parser.positionalArguments();
    if (positional.size() > 1)
        return UsageError(
            p.parser,
            QStringLiteral("Only one basket file can be opened, got %1.").arg(positional.size()));
    result.run = true;
    if (!positional.isEmpty())
        result.options.basketFile = positional.constFirst();
    return result;
}

bool StartsTheWindow(const QStringList& arguments)
{
    Parser p;
    return p.parser.parse(arguments) && !p.AsksForHelp() && !p.parser.isSet(p.version) &&
           !p.parser.isSet(p.check) && p.parser.positionalArguments().size() <= 1;
}

bool AsksForTextOnly(const QStringList& arguments)
{
    Parser p;
    // Unknown options (Qt's own, not yet taken out) must not hide a --help.
    p.parser.parse(arguments);
    return p.AsksForHelp() || p.parser.isSet(p.version) || p.parser.isSet(p.check);
}

QStringList WithoutQtOptions(const QStringList& arguments)
{
    // QGuiApplication's and QApplication's own options, and those of the
    // X11 platform; the first list takes a value.
    static const QStringList withValue = {
        QStringLiteral("platform"),
        QStringLiteral("platformpluginpath"),
        QStringLiteral("platformtheme"),
        QStringLiteral("plugin"),
        QStringLiteral("qwindowgeometry"),
        QStringLiteral("qwindowicon"),
        QStringLiteral("qwindowtitle"),
        QStringLiteral("session"),
        QStringLiteral("style"),
        QStringLiteral("stylesheet"),
        QStringLiteral("display"),
        QStringLiteral("geometry"),
        QStringLiteral("name"),
        QStringLiteral("title"),
        QStringLiteral("visual"),
        QStringLiteral("ncols"),
        QStringLiteral("cmap"),
        QStringLiteral("fontengine"),
        QStringLiteral("dialogs"),
    };
    static const QStringList alone = {
        QStringLiteral("reverse"),       QStringLiteral("widgetcount"),
        QStringLiteral("nograb"),        QStringLiteral("dograb"),
        QStringLiteral("sync"),          QStringLiteral("testability"),
        QStringLiteral("qmljsdebugger"),
    };
    QStringList kept;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (i > 0 && argument == QStringLiteral("--")) {
            kept << arguments.mid(i); // file names only from here on
            break;
        }
        if (i == 0 || !argument.startsWith(u'-')) {
            kept << argument;
            continue;
        }
        QString name = argument.mid(argument.startsWith(QStringLiteral("--")) ? 2 : 1);
        const qsizetype equals = name.indexOf(u'=');
        const bool valueAttached = equals >= 0;
        if (valueAttached)
            name.truncate(equals);
        if (withValue.contains(name)) {
            if (!valueAttached)
                ++i; // its value
            continue;
        }
        if (alone.contains(name))
            continue;
        kept << argument;
    }
    return kept;
}
