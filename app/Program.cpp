#include "Program.h"

#include "DialogUnit.h"
#include "MainForm.h"
#include "ProgramStyle.h"

#include <QApplication>

int RunProgram(QApplication& application, const QString& catalogDir,
               const std::function<void(TMainForm&)>& whenShown, const QString& basketFile)
{
    QApplication::setApplicationName(QStringLiteral("veltrum"));
    ApplyProgramLook();

    // The catalog lives beside the executable, whatever the working directory.
    TMainForm mainForm(catalogDir.isEmpty() ? QCoreApplication::applicationDirPath() : catalogDir);
    TmdDialogForm dialogTemplate; // never shown; every dialog is built afresh
    mainForm.OpenBasketAtStart(basketFile);
    mainForm.show();
    if (whenShown)
        whenShown(mainForm);
    const int exitCode = application.exec();
    // A catalog that could not be opened ends the program with a failure code.
    return mainForm.Database ? exitCode : 1;
}
