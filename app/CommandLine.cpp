// SPDX-License-Identifier: MIT
#include "CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace {

struct Parser {
    QCommandLineParser parser;
    QCommandLineOption help;
    QCommandLineOption version;

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
                                                    "open."),
                                     QStringLiteral("[basket-file]"));
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

} // namespace

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
           p.parser.positionalArguments().size() <= 1;
}

bool AsksForTextOnly(const QStringList& arguments)
{
    Parser p;
    // Unknown options (Qt's own, not yet taken out) must not hide a --help.
    p.parser.parse(arguments);
    return p.AsksForHelp() || p.parser.isSet(p.version);
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
