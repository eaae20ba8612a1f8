// SPDX-License-Identifier: MIT
#pragma once

// The program's own list messages (the differences found on opening a
// basket file, the blocks not added): the message dialog's look, a heading,
// and the lines in a list that scrolls, so that no line is lost however
// many there are. The window never grows past the screen's available area.
// Screen readers hear it as an alert with its heading; the list reads line
// by line.

#include <QDialog>
#include <QStringList>

#include <functional>

class QLabel;
class QListWidget;
class QPushButton;
class QScreen;

class TListMessageForm : public QDialog {
    Q_OBJECT
public:
    TListMessageForm(const QString& title, const QString& heading, const QStringList& lines,
                     int icon, QWidget* parent = nullptr);

    // Shows the dialog modally until OK, Enter, Escape or the close box.
    static void ShowList(const QString& title, const QString& heading, const QStringList& lines,
                         int icon);

    // Test hook: while set, ShowList shows nothing and hands its texts over.
    using ShowHook = std::function<void(const QString& title, const QString& heading,
                                        const QStringList& lines, int icon)>;
    static void SetShowHook(ShowHook hook);

    // The size for `wanted` within `available` (a screen's available area
    // less a margin on every side), never below `minimum`.
    static QSize FittedSize(QSize wanted, QSize minimum, QSize available);

    QLabel* IconImage;
    QLabel* HeadingLabel;
    QListWidget* MessageList;
    QPushButton* OkBtn;
};
