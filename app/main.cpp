// Program entry: the main window, the message dialog's template, the event loop.

#include "DialogUnit.h"
#include "MainForm.h"
#include "ProgramStyle.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("veltrum"));
    ApplyProgramLook();

    // The catalog lives beside the executable, whatever the working directory.
    TMainForm mainForm(QCoreApplication::applicationDirPath());
    TmdDialogForm dialogTemplate; // never shown; every dialog is built afresh
    mainForm.show();
    const int exitCode = QApplication::exec();
    // A catalog that could not be opened ends the program with a failure code.
    return mainForm.Database ? exitCode : 1;
}
