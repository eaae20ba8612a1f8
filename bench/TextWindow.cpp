// SPDX-License-Identifier: MIT
// For reference beside the start-up floor: the empty main window of
// EmptyWindow.cpp showing one line of Cyrillic text. What it costs above the
// empty window is what any window pays to draw text at all (fontconfig's
// font list, matching a face, shaping), before the program builds anything.

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QMainWindow window;
    window.setCentralWidget(new QLabel(QStringLiteral("Поиск блока")));
    window.show();
    QTimer::singleShot(0, &application, &QCoreApplication::quit);
    return QApplication::exec();
}
