// SPDX-License-Identifier: MIT
// The program's start-up, run by the program's own RunProgram(), ending as
// soon as the main window is shown: a zero timer set after show() checks
// that the category list was loaded and quits the event loop. The catalog
// directory is the first argument (the program itself uses its own
// directory). Exits 1, like the program, when the catalog could not be
// opened, 3 when no categories were loaded and 4 when the start reported
// anything (which would otherwise wait for an answer), so the driver can
// tell a failed start from a fast one.

#include "ui/DialogUnit.h"
#include "ui/HandlerGuard.h"
#include "ui/MainForm.h"
#include "app/Program.h"

#include <QApplication>
#include <QComboBox>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void FailReporting(const QString& text)
{
    std::fprintf(stderr, "bench_app_startup: the start reported: %s\n", qPrintable(text));
    std::exit(4);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    SetErrorBoxHook(FailReporting);
    TmdDialogForm::SetAnswerHook([](const QString&, const QString& text, int,
                                    const QStringList&) -> int { FailReporting(text); });
    const QString catalogDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    bool categoriesLoaded = false;
    const int exitCode = RunProgram(application, catalogDir, [&](TMainForm& form) {
        QTimer::singleShot(0, &form, [&categoriesLoaded, shown = &form] {
            categoriesLoaded = shown->CategoryField->count() > 0;
            QCoreApplication::quit();
        });
    });
    if (exitCode == 0 && !categoriesLoaded)
        return 3;
    return exitCode;
}
