// SPDX-License-Identifier: MIT
#pragma once

// The program's command line: what the user asked for, decided before the
// window opens. Pure over its argument list, so that every answer (help,
// version, a usage error, a run) is tested without a window.

#include "crate/Budget.h"

#include <QString>
#include <QStringList>

#include <optional>

// What a run of the window needs from the command line.
struct ProgramOptions {
    QString basketFile; // a basket file to open once the catalog is open; empty: none
};

enum class CheckFormat { Text, Json, Csv };

// What `--check` asks for: basket files checked against the catalog
// without a window.
struct CheckOptions {
    QStringList files;  // in the order given
    QString catalogDir; // --catalog; empty: the program's own directory
    int marginPercent = kDefaultMarginPercent;
    CheckFormat format = CheckFormat::Text;
};

// Exit status of a command line the program does not accept.
inline constexpr int kUsageExitStatus = 2;

struct CommandLineResult {
    bool run = false;       // true: start the window with `options`
    int exitStatus = 0;     // when neither run nor check: the status to exit with
    QString standardOutput; // when neither run nor check: text for standard output
    QString standardError;  // when neither run nor check: text for standard error
    ProgramOptions options;
    std::optional<CheckOptions> check; // set: run the check, not the window
};

// `arguments` as QCoreApplication::arguments() gives them: the program
// first, Qt's own options (-platform, -style, ...) already taken out by
// QApplication. Uses the application name and version set on the running
// QCoreApplication for the help and version texts.
CommandLineResult ParseCommandLine(const QStringList& arguments);

// True when ParseCommandLine would start the window; needs no application
// object, so that it can be asked before one exists.
bool StartsTheWindow(const QStringList& arguments);

// True when the arguments ask for help, the version or the check, which
// are answered without a window system: `veltrum --help` and `veltrum
// --check` work with no display.
bool AsksForTextOnly(const QStringList& arguments);

// `arguments` without the options Qt's application object takes for itself
// (-platform NAME, -style=NAME, -reverse, ..., with one or two dashes), so
// that the whole command line is judged before a window system is reached:
// a usage error then needs no display either.
QStringList WithoutQtOptions(const QStringList& arguments);

// Names the program to Qt Core: application name and version, for
// --version, the help text and the check. Needs no window system.
void NameProgram();
