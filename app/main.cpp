// Program entry.

#include "Program.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    // One optional argument: a basket file to open (a double-click on it in
    // a file manager starts the program so).
    return RunProgram(application, QString(), {}, QCoreApplication::arguments().value(1));
}
