// SPDX-License-Identifier: MIT
// Program entry: the command line first, then the window.

#include "exchange/BasketCheck.h"
#include "app/CheckCommand.h"
#include "app/CommandLine.h"
#include "app/Program.h"

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

// Prints the report of a check. A report that cannot be written (a full
// disk behind a redirection) must not pass for a clean check.
int Answer(const CheckCommandOutput& output)
{
    std::fwrite(output.standardError.constData(), 1,
                static_cast<size_t>(output.standardError.size()), stderr);
    const size_t written = std::fwrite(output.standardOutput.constData(), 1,
                                       static_cast<size_t>(output.standardOutput.size()), stdout);
    if (written != static_cast<size_t>(output.standardOutput.size()) || std::fflush(stdout) != 0) {
        std::fputs("veltrum: the report could not be written to standard output\n", stderr);
        return kCheckUnreadableStatus;
    }
    return output.exitStatus;
}

} // namespace

int main(int argc, char* argv[])
{
    // The whole command line is judged before a window system is reached:
    // help, the version, the check and every usage error are answered
    // under a Qt Core application, without a display (status 2 and the
    // usage on standard error for what is not understood, not Qt's abort).
    if (!StartsTheWindow(WithoutQtOptions(ArgumentsOf(argc, argv)))) {
        QCoreApplication core(argc, argv);
        NameProgram();
        const CommandLineResult commandLine =
            ParseCommandLine(WithoutQtOptions(QCoreApplication::arguments()));
        if (commandLine.check)
            return Answer(RunCheckCommand(*commandLine.check));
        return Answer(commandLine);
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
