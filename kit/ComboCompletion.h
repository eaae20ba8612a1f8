// SPDX-License-Identifier: MIT
#pragma once

// Completion of typed text in an editable combo box, as the program's
// category fields do it: text that begins an item's text (without regard to
// case) chooses the first such item and is completed to it, the completed
// part selected so that the next key replaces it; text that begins no item
// stays as typed with no item chosen. Deleting never completes, or the
// completion would come straight back: what is left chooses no item until
// the next character is typed.

#include <QObject>

class QComboBox;
class QString;

class TComboCompletion : public QObject {
    Q_OBJECT
public:
    // Completes what is typed into `combo` (editable) from now on; the
    // completion belongs to the combo box. Qt's own completer is switched off.
    static TComboCompletion* Attach(QComboBox& combo);

    // Position of the first item of `combo` whose text begins with `typed`,
    // without regard to case; -1 when there is none or nothing is typed.
    static int FirstItemStartingWith(const QComboBox& combo, const QString& typed);

Q_SIGNALS:
    // The user typed or deleted text and the completion is done: the chosen
    // item (possibly none) and the text are as the user now sees them.
    void Edited();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit TComboCompletion(QComboBox& combo);
    void Complete(const QString& typed);

    QComboBox& combo_;
    bool lastKeyDeletes_ = false; // the last key typed deletes text
};
