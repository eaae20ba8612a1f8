// SPDX-License-Identifier: MIT
// The start-up floor: a Qt Widgets program that shows one empty main
// window and quits from a zero timer, the same way AppStartup.cpp does.

#include <QApplication>
#include <QMainWindow>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QMainWindow window;
    window.show();
    QTimer::singleShot(0, &application, &QCoreApplication::quit);
    return QApplication::exec();
}
