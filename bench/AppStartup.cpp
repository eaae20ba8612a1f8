// The program's start-up, exactly as app/main.cpp runs it, ending as soon
// as the main window is shown: a zero timer set after show() quits the event
// loop. The catalog directory is the first argument (the program itself
// uses its own directory). Exits 1, like the program, when the catalog
// could not be opened, so the driver can tell a failed start from a fast one.

#include "DialogUnit.h"
#include "MainForm.h"
#include "ProgramStyle.h"

#include <QApplication>
#include <QComboBox>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("veltrum"));
    ApplyProgramLook();

    const QString catalogDir =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QCoreApplication::applicationDirPath();
    TMainForm mainForm(catalogDir);
    TmdDialogForm dialogTemplate;
    mainForm.show();
    QTimer::singleShot(0, &application, &QCoreApplication::quit);
    const int exitCode = QApplication::exec();
    // The category list must have been loaded for the start to count.
    if (mainForm.CategoryField->count() == 0)
        return 3;
    return mainForm.Database ? exitCode : 1;
}
