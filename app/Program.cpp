// SPDX-License-Identifier: MIT
#include "app/Program.h"

#include "ui/DialogUnit.h"
#include "ui/MainForm.h"
#include "ui/Messages.h"
#include "kit/Platform.h"
#include "app/ProgramDirectory.h"
#include "app/ProgramIcon.h"
#include "kit/ProgramStyle.h"
#include "app/QtTranslations.h"

#include <QApplication>

#include <cstdio>

void DescribeProgram()
{
    NameProgram();
    QGuiApplication::setDesktopFileName(QStringLiteral("veltrum"));
}

int RunProgram(QApplication& application, const QString& catalogDir,
               const std::function<void(TMainForm&)>& whenShown, const ProgramOptions& options)
{
    DescribeProgram();
    InstallQtTranslations(application, QLocale::system());
    QApplication::setWindowIcon(ProgramIcon());
    ApplyProgramLook();

    // The catalog lives beside the executable, whatever the working
    // directory; a program that cannot tell where it is says so and ends
    // rather than read a catalog planted in the working directory.
    const std::optional<QString> directory =
        catalogDir.isEmpty() ? ExecutableDirectory() : std::optional<QString>(catalogDir);
    if (!directory) {
        std::fprintf(stderr, "veltrum: the directory of the program cannot be found\n");
        ShowMessage(QString::fromUtf16(kDatabaseTitle),
                    QStringLiteral("НЕ УДАЛОСЬ ОПРЕДЕЛИТЬ КАТАЛОГ ПРОГРАММЫ!"), MessageKind::Error);
        return 1;
    }
    TMainForm mainForm(*directory);
    TmdDialogForm dialogTemplate; // never shown; every dialog is built afresh
    mainForm.OpenBasketAtStart(options.basketFile);
    mainForm.show();
    if (whenShown)
        whenShown(mainForm);
    const int exitCode = application.exec();
    // A catalog that could not be opened ends the program with a failure code.
    return mainForm.Database ? exitCode : kCatalogExitStatus;
}
