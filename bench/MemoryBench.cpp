// SPDX-License-Identifier: MIT
// Peak memory of listing every block of a catalog in the search list.
//
//   bench_memory <catalog-dir>
//
// Starts the main window on the catalog, takes the process's peak resident
// size (VmHWM) once it is up, runs the code search for "-" (every block),
// paints the list, and takes the peak again. Prints the growth in MiB and as
// a multiple of the listed text's size in UTF-16 (two bytes per character
// of every row). Informational: bench/run does not rate it.

#include "ui/DialogUnit.h"
#include "ui/HandlerGuard.h"
#include "ui/MainForm.h"
#include "kit/TabbedListBox.h"

#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

// Peak resident set size of this process in KiB, from /proc.
long PeakKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    // A message would wait for an answer that never comes: it ends the run.
    SetErrorBoxHook([](const QString& text) {
        std::fprintf(stderr, "bench_memory: the window reported: %s\n", qPrintable(text));
        std::exit(1);
    });
    TmdDialogForm::SetAnswerHook(
        [](const QString&, const QString& text, int, const QStringList&) -> int {
            std::fprintf(stderr, "bench_memory: the window said: %s\n", qPrintable(text));
            std::exit(1);
        });
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_memory <catalog-dir>\n");
        return 2;
    }
    TMainForm form(QString::fromLocal8Bit(argv[1]), QStringLiteral("."));
    form.show();
    QCoreApplication::processEvents();
    if (!form.Database) {
        std::fprintf(stderr, "bench_memory: the catalog did not open\n");
        return 1;
    }
    form.CodeRB->setChecked(true);
    form.CodeRBClick();
    QCoreApplication::processEvents();

    const long before = PeakKiB();
    form.FindIdentField->setText(QStringLiteral("-"));
    form.FindIdentFieldKeyDown(Qt::Key_Return);
    QCoreApplication::processEvents();
    form.BlockTabLB->viewport()->repaint();
    const long after = PeakKiB();

    const int rows = form.BlockTabLB->Items().Count();
    double textBytes = 0;
    for (int i = 0; i < rows; ++i)
        textBytes += 2.0 * static_cast<double>(form.BlockTabLB->Items()[i].size());
    if (rows == 0 || before < 0 || after < 0) {
        std::fprintf(stderr, "bench_memory: nothing listed or no peak figure\n");
        return 1;
    }
    const double peakMiB = static_cast<double>(after - before) / 1024.0;
    const double textMiB = textBytes / (1024.0 * 1024.0);
    std::printf("peak_memory_%d: %.1f MiB, %.2f x listed text (%d rows, UTF-16 %.1f MiB)\n", rows,
                peakMiB, peakMiB / textMiB, rows, textMiB);
    return 0;
}
