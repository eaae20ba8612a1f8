// SPDX-License-Identifier: MIT
#pragma once

// Drives the real main window on the offscreen platform as a user would:
// mouse clicks on list rows and check boxes, typing into fields. Dialogs
// and error boxes are answered through their test hooks and recorded.

#include "Fixtures.h"
#include "ui/MainForm.h"
#include "TypeText.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <deque>
#include <memory>
#include <vector>

class TTabbedListBox;

struct DialogCall {
    QString title, text;
    int icon = 0;
    QStringList buttons;
    // A list message's heading and lines (its text is both, joined by
    // carriage returns); empty for the message dialog.
    QString heading;
    QStringList lines;
};

// Records every message dialog, list message and error box while it
// lives; each is answered with the first of `answers`, which it takes
// away, and with `nextAnswer` once there are none (1 is the first button).
class DialogRecorder {
public:
    DialogRecorder();
    ~DialogRecorder();
    std::vector<DialogCall> dialogs;
    QStringList errors;
    int nextAnswer = 1;
    std::deque<int> answers;

private:
    int Answer();
};

// A shown main window on a catalog directory. Its recent files are kept
// in a folder of its own (`settings`), never in the user's.
struct Window {
    explicit Window(const QString& catalogDir, const QString& separator = QStringLiteral("."));
    TMainForm* operator->() { return form.get(); }
    DialogRecorder recorder;
    QTemporaryDir settings;
    std::unique_ptr<TMainForm> form;
};

// Waits until the window has closed itself; false when it stays open.
bool WaitUntilClosed(Window& window);
// Opening the catalog failed: one dialog "Ошибка создания базы данных!",
// and the window closes.
void ExpectOpeningFailed(Window& window);

// All rows of a list.
QStringList Rows(const TTabbedListBox* list);
// A left click on `row`, at `x` pixels from the list's left edge (the middle when -1).
void ClickRow(TTabbedListBox* list, int row, int x = -1);
// Chooses an item of a combo box from its drop-down list.
void PickItem(class QComboBox* combo, int index);
// Types `text` into the code field and presses Enter.
void SearchCode(TMainForm& form, const QString& text);
// Finds the one block with `code` by the code search, shows it and presses
// "ДОБАВИТЬ В КОРЗИНУ" `times` times (the window must be in code mode).
void AddToBasket(TMainForm& form, QStringView code, int times = 1);
// Ticks the box of crate type `row` (press and release in the glyph zone).
void TickRackType(TMainForm& form, int row);
// The texts of the ten details labels, in screen order.
QStringList Details(const TMainForm& form);
