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

#include <memory>
#include <vector>

class TTabbedListBox;

struct DialogCall {
    QString title, text;
    int icon = 0;
    QStringList buttons;
};

// Records every message dialog and error box while it lives; dialogs are
// answered with `nextAnswer`.
class DialogRecorder {
public:
    DialogRecorder();
    ~DialogRecorder();
    std::vector<DialogCall> dialogs;
    QStringList errors;
    int nextAnswer = 1;
};

// A shown main window on a catalog directory.
struct Window {
    explicit Window(const QString& catalogDir, const QString& separator = QStringLiteral("."));
    TMainForm* operator->() { return form.get(); }
    DialogRecorder recorder;
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
