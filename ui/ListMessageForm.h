// SPDX-License-Identifier: MIT
#pragma once

// The program's own list messages and questions (what changed in the
// catalog since a basket file was saved, asked before it replaces the
// basket): the message dialog's look, a heading, and the lines in a list
// that scrolls, so that no line is lost however many there are. The
// window never grows past the screen's available area. Screen readers hear
// it as an alert with its heading; the list reads line by line.

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
    // The buttons under the list: OK alone for a message, OK and CANCEL
    // for a question.
    enum class Buttons { Ok, OkCancel };

    TListMessageForm(const QString& title, const QString& heading, const QStringList& lines,
                     int icon, Buttons buttons = Buttons::Ok, QWidget* parent = nullptr);

    // Shows the dialog modally until OK, Enter, Escape or the close box.
    static void ShowList(const QString& title, const QString& heading, const QStringList& lines,
                         int icon);
    // Asks with OK and CANCEL; true for OK. Escape, the close box and CANCEL
    // answer false. The first focus is on CANCEL, the answer that changes
    // nothing, and Enter presses the focused button only.
    static bool AskList(const QString& title, const QString& heading, const QStringList& lines,
                        int icon);

    // Test hook: while set, ShowList and AskList show nothing and hand
    // their texts and button captions over; AskList's answer is OK when
    // the hook returns 1 (the first button), CANCEL otherwise.
    using ShowHook =
        std::function<int(const QString& title, const QString& heading, const QStringList& lines,
                          int icon, const QStringList& buttons)>;
    static void SetShowHook(ShowHook hook);

    // The size for `wanted` within `available` (a screen's available area
    // less a margin on every side), never below `minimum`.
    static QSize FittedSize(QSize wanted, QSize minimum, QSize available);

    QLabel* IconImage;
    QLabel* HeadingLabel;
    QListWidget* MessageList;
    QPushButton* OkBtn;
    // Shown for a question only.
    QPushButton* CancelBtn;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
