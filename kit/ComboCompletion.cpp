// SPDX-License-Identifier: MIT
#include "kit/ComboCompletion.h"

#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>

TComboCompletion* TComboCompletion::Attach(QComboBox& combo)
{
    return new TComboCompletion(combo);
}

TComboCompletion::TComboCompletion(QComboBox& combo) : QObject(&combo), combo_(combo)
{
    combo.setCompleter(nullptr);
    // Keys reach the line edit through the combo box, which has the focus
    // and hands them on without filters seeing them again; the line edit
    // gets them itself only when something sends them to it directly.
    combo.installEventFilter(this);
    combo.lineEdit()->installEventFilter(this);
    connect(combo.lineEdit(), &QLineEdit::textEdited, this, &TComboCompletion::Complete);
}

int TComboCompletion::FirstItemStartingWith(const QComboBox& combo, const QString& typed)
{
    for (int i = 0; i < combo.count() && !typed.isEmpty(); ++i)
        if (combo.itemText(i).startsWith(typed, Qt::CaseInsensitive))
            return i;
    return -1;
}

bool TComboCompletion::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        lastKeyDeletes_ = key == Qt::Key_Backspace || key == Qt::Key_Delete;
    }
    return QObject::eventFilter(watched, event);
}

void TComboCompletion::Complete(const QString& typed)
{
    const int found = lastKeyDeletes_ ? -1 : FirstItemStartingWith(combo_, typed);
    QLineEdit* edit = combo_.lineEdit();
    {
        const QSignalBlocker blocker(&combo_);
        combo_.setCurrentIndex(found);
        if (found >= 0) {
            const QString item = combo_.itemText(found);
            edit->setText(item);
            edit->setSelection(static_cast<int>(typed.size()),
                               static_cast<int>(item.size() - typed.size()));
        } else {
            edit->setText(typed);
        }
    }
    Q_EMIT Edited();
}
