// SPDX-License-Identifier: MIT
// The main window from the keyboard: Ctrl+Q leaves, Enter or a double
// click on a search row adds it, Delete on a basket row deletes it, and Tab
// follows the reading order of the window.

#include "ui/MainForm.h"

#include "kit/RackView.h"

#include "kit/CheckList.h"
#include "kit/FieldColorListBox.h"
#include "ui/HandlerGuard.h"
#include "kit/TabbedListBox.h"

#include <QAction>
#include <QComboBox>
#include <QKeySequence>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

void TMainForm::WireKeyboard()
{
    // The platform's key for quitting; where its keyboard scheme has none
    // (Windows' leaves it to Alt+F4, and so does a bare platform), Ctrl+Q.
    ExitItem->setShortcuts(QKeySequence::Quit);
    if (ExitItem->shortcuts().isEmpty())
        ExitItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    ExitItem->setShortcutContext(Qt::WindowShortcut);
    // Held by the window too, so that the shortcut does not hang on the
    // menu bar's own state.
    addAction(ExitItem);

    BlockTabLB->installEventFilter(this);
    RackTabLB->installEventFilter(this);
    CountField->installEventFilter(this);
    connect(BlockTabLB, &TTabbedListBox::DblClick, this,
            GuardedSlot(&TMainForm::BlockTabLBDblClick));

    // Reading order: search mode, the field of that mode, the search list
    // and its button, then the basket from the crate types down. Hidden and
    // disabled controls are passed over, so only the shown panel's field
    // is reached. Controls added beside the basket go after ClearBtn.
    const QWidget* order[] = {
        CategoryRB, CodeRB,        CategoryField, SubCategoryField, FindIdentField,
        BlockTabLB, AddBtn,        CountField,    RackTypeCL,       RackTabLB,
        RackViewPanel, DelBtn,     ClearBtn,      TotalTabLB,       MarginField,
        SaveBtn,    OpenBtn,       RecentBtn,     ExportBtn,        ReportBtn,
        UndoBtn,    RedoBtn};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(const_cast<QWidget*>(order[i]), const_cast<QWidget*>(order[i + 1]));
}

namespace {

constexpr char kShownFocusPolicy[] = "veltrumShownFocusPolicy";

// A control of a hidden panel takes no focus; shown again, it takes the
// focus it took before.
void SetPanelFocusable(QWidget* panel, bool focusable)
{
    for (QWidget* control : panel->findChildren<QWidget*>()) {
        const QVariant kept = control->property(kShownFocusPolicy);
        if (!focusable && !kept.isValid() && control->focusPolicy() != Qt::NoFocus) {
            control->setProperty(kShownFocusPolicy, static_cast<int>(control->focusPolicy()));
            control->setFocusPolicy(Qt::NoFocus);
        } else if (focusable && kept.isValid()) {
            control->setFocusPolicy(static_cast<Qt::FocusPolicy>(kept.toInt()));
            control->setProperty(kShownFocusPolicy, QVariant());
        }
    }
}

} // namespace

void TMainForm::ShowSearchPanel(QWidget* shown, QWidget* hidden)
{
    SetPanelFocusable(shown, true);
    shown->show();
    hidden->hide();
    SetPanelFocusable(hidden, false);
}

bool TMainForm::ListKeyDown(TTabbedListBox* list, int key)
{
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (list == BlockTabLB && enter) {
        RunGuarded(this, [this, key] { BlockTabLBKeyDown(key); });
        return true;
    }
    if (list == RackTabLB && key == Qt::Key_Delete) {
        RunGuarded(this, [this, key] { RackTabLBKeyDown(key); });
        return true;
    }
    return false;
}

void TMainForm::BlockTabLBKeyDown(int key)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        BlockTabLBDblClick();
}

void TMainForm::BlockTabLBDblClick()
{
    if (BlockTabLB->ItemIndex() < 0)
        return;
    // The details are those of the chosen row, whatever was shown before.
    BlockTabLBClick();
    AddBtnClick();
}

void TMainForm::RackTabLBKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    const int row = RackTabLB->ItemIndex();
    if (row < 0)
        return;
    if (key == Qt::Key_Delete)
        DelBtnClick();
    else if (modifiers & Qt::AltModifier) {
        if (key == Qt::Key_Up && row > 0)
            MoveBasketEntry(row, row - 1);
        else if (key == Qt::Key_Down && row + 1 < RackTabLB->Items().Count())
            MoveBasketEntry(row, row + 1);
    }
}

void TMainForm::CountFieldKeyDown(int key)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        AddBtnClick();
}
