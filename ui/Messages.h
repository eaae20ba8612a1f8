// SPDX-License-Identifier: MIT
#pragma once

// The program's messages, through one small facade over the message dialog
// (TmdDialogForm::ShowDialog, whose result codes stay its own) and the plain
// error box: callers name the kind of message and read a named answer, and
// never compare with a button's number. A new kind of message (a long list
// in a scrolling dialog, say) is one more function here.

#include <QString>
#include <QStringList>

class QWidget;

enum class MessageKind { Warning, Error };
enum class MessageAnswer { Ok, Cancel };

// The message dialog with its single OK button: a warning (the exclamation
// icon) or an error (the hand).
void ShowMessage(const QString& title, const QString& text, MessageKind kind);

// A question with OK and CANCEL; closing the dialog any other way is Cancel.
MessageAnswer AskOkCancel(const QString& title, const QString& text);

// A question over a list of lines (ListMessageForm: the list scrolls and
// the window stays within the screen), with the warning icon, OK and
// CANCEL; Escape and closing the dialog are Cancel.
MessageAnswer AskOkCancelList(const QString& title, const QString& heading,
                              const QStringList& lines);

// The plain error box of an error that escaped a handler: error icon, the
// application's title, `text` as plain text, one OK button.
void ShowErrorMessage(QWidget* parent, const QString& text);
