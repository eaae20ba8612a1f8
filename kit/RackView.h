// SPDX-License-Identifier: MIT
#pragma once

// The crate drawn slot by slot: slots numbered 1 … slot count from left to
// right, each entry a block across its slots with its code in it, free
// slots empty, entries of no slot as narrow markers, entries outside the
// crate after its last slot, hatched and framed in the over-limit colour
// under a warning sign. The view only shows what it is given and asks for
// changes: moving an entry is the owner's to do (and to undo), after which
// it gives the view the new items.
//
// Keys: Left/Up and Right/Down choose the previous or next entry, Home and
// End the first or last; with Alt they ask to move the chosen entry one
// place. A block dragged onto another asks to go before it; dropped on the
// room after the last block, to be the last; dropped on the free slots
// after the last block inside the crate, to go there, before the entries
// outside it (the last, when none is outside).
// Screen readers find one child per block and per free run, in the order
// drawn, named as RackItemName and RackFreeRunName say.

#include "kit/RackPicture.h"

#include <QWidget>

#include <cstdint>
#include <vector>

class TRackView : public QWidget {
    Q_OBJECT
public:
    explicit TRackView(QWidget* parent = nullptr);

    // Shows `items` in a crate of `slotCount` slots. The chosen entry keeps
    // its index, held to the last entry; nothing is chosen when empty.
    void SetItems(std::vector<TRackItem> items, std::int64_t slotCount);
    const std::vector<TRackItem>& Items() const { return items_; }
    std::int64_t SlotCount() const { return slotCount_; }
    std::vector<TRackRun> FreeRuns() const { return RackFreeRuns(items_, slotCount_); }
    // Blocks and free runs in the order drawn, as screen readers walk them.
    std::vector<TRackPart> Parts() const { return RackParts(items_, FreeRuns()); }

    int Current() const { return current_; }
    // The geometry at the view's present size.
    TRackLayout Layout() const;
    // The entry whose block is at `point`, or -1.
    int ItemAt(QPointF point) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public Q_SLOTS:
    // Chooses entry `entry` (-1: none); out of range is ignored.
    void SetCurrent(int entry);

Q_SIGNALS:
    // The chosen entry changed, by the user or by SetCurrent.
    void CurrentChanged(int entry);
    // The user asks that entry `from` be moved so that it ends up at index
    // `to` (as QList::move does). Never emitted for a move that changes
    // nothing.
    void MoveRequested(int from, int to);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool event(QEvent* event) override;

private:
    TRackMetrics Metrics() const;
    // Where entry `from` would go when dropped at `point`: its index after
    // the move (-1 when the drop would change nothing) and where the line
    // that shows it is drawn.
    struct Drop {
        int to = -1;
        double lineX = -1;
    };
    Drop DropAt(int from, QPointF point) const;
    void AskToMove(int from, int to);
    void TellScreenReaderOfFocus();

    std::vector<TRackItem> items_;
    std::int64_t slotCount_ = 0;
    int current_ = -1;
    int pressed_ = -1; // the block the button went down on
    QPoint pressPoint_;
    bool dragging_ = false;
    Drop drop_;
};
