// SPDX-License-Identifier: MIT
#pragma once

// A column list whose rows each carry a check state. The user toggles a
// row by pressing within the first 17 pixels of the row and releasing on
// the same row inside the list, or with the Space key; clicking the text
// only selects. States set by the program raise no events.
//
// A row may carry a note: a short text drawn at the row's right edge,
// outside its fields (ColumnText reads the same), and given as the row's
// tooltip and as part of its accessible name.
//
// The states live in the list's model as Qt::CheckStateRole of rows that
// are Qt::ItemIsUserCheckable, so screen readers hear each row's tick; a
// toggle asked for through them counts as the user's.

#include "kit/TabbedListBox.h"

enum TCheckBoxState { cbUnchecked = 0, cbChecked = 1, cbGrayed = 2 };

class TCheckList : public TTabbedListBox {
    Q_OBJECT
public:
    explicit TCheckList(QWidget* parent = nullptr);

    TCheckBoxState RowState(int index) const;
    void SetRowState(int index, TCheckBoxState state);
    bool RowChecked(int index) const;
    void SetRowChecked(int index, bool checked);
    bool RowEnabled(int index) const;
    void SetRowEnabled(int index, bool enabled);

    QString RowNote(int index) const;
    void SetRowNote(int index, const QString& note);
    QString AccessibleRowText(int row) const override;
    // A row never ticked holds no state; it reports Qt::Unchecked, as Qt's
    // own models do for a checkable item, so a screen reader hears it.
    QVariant RowRoleData(int row, int role) const override;

    // Model role of a row whose box the user cannot toggle (holds false).
    static constexpr int kCheckDisabledRole = Qt::UserRole + 2;

    bool AllowGrayed() const { return allowGrayed_; }
    void SetAllowGrayed(bool allow) { allowGrayed_ = allow; }

    static constexpr int kGlyphSize = 13;
    static constexpr int kGlyphLeft = 4;
    static constexpr int kGlyphStrip = kGlyphSize + 8;
    // A press this close to a row's left edge arms a toggle.
    static constexpr int kToggleZone = kGlyphSize + 4;
    static constexpr int kMinRowHeight = kGlyphSize + 4;
    static constexpr int kNoteMargin = 6; // pixels either side of a row's note

    int TextLeft() const override { return kGlyphStrip + 2; }

Q_SIGNALS:
    // Before a user toggle is applied; clearing *allowChange cancels it.
    void Changing(int index, TCheckBoxState newState, bool* allowChange);
    // After a user toggle has stored the new state of row `index`.
    void Change(int index, TCheckBoxState newState);

protected:
    int FieldZeroExtra() const override { return kGlyphSize; }
    int AutomaticRowHeight() const override;
    void PaintRow(QPainter& painter, const QStyleOptionViewItem& option, int row) const override;
    bool RowRoleRequested(int row, int role, const QVariant& value) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override; // a row's note is its tooltip

private:
    void CheckRow(int index) const; // throws EListError outside the rows
    void UpdateRow(int index);
    void ToggleSelected();
    // The state a user toggle gives a row in `state`.
    TCheckBoxState NextState(TCheckBoxState state) const;

    int armedRow_ = -1; // the row a press in its glyph zone armed, or -1
    bool spaceArmed_ = false;
    bool allowGrayed_ = false;
};
