// SPDX-License-Identifier: MIT
// Program entry: the command line first, then the window.

#include "CommandLine.h"
#include "Program.h"

#include <QApplication>

#include <cstdio>

namespace {

QStringList ArgumentsOf(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

// Prints the texts of a command line that does not start the window.
int Answer(const CommandLineResult& result)
{
    std::fputs(result.standardOutput.toLocal8Bit().constData(), stdout);
    std::fputs(result.standardError.toLocal8Bit().constData(), stderr);
    return result.exitStatus;
}

} // namespace

int main(int argc, char* argv[])
{
    // The whole command line is judged before a window system is reached:
    // help, the version and every usage error are answered without a
    // display (status 2 and the usage on standard error, not Qt's abort).
    if (!StartsTheWindow(WithoutQtOptions(ArgumentsOf(argc, argv)))) {
        // The texts name the program as the application object knows it.
        QCoreApplication core(argc, argv);
        DescribeProgram();
        return Answer(ParseCommandLine(WithoutQtOptions(QCoreApplication::arguments())));
    }
    // QApplication takes Qt's own options (-platform, -style, ...) out of
    // the arguments; what is left is the program's.
    QApplication application(argc, argv);
    DescribeProgram();
    const CommandLineResult commandLine = ParseCommandLine(QCoreApplication::arguments());
    if (!commandLine.run)
        return Answer(commandLine);
    return RunProgram(application, QString(), {}, commandLine.options);
}
