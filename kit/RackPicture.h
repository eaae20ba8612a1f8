// SPDX-License-Identifier: MIT
#pragma once

// The picture of a crate, slot by slot: its geometry (a pure function from
// the entries and a rectangle to rectangles), the spoken names of its
// parts, and its painting with any QPainter. The crate view on screen and
// the printed report draw the same picture through these functions, so
// this part needs Qt Gui only: it is its own small library that the
// report can link without the widgets.
//
// Slot numbers are 1-based and may be as large as std::int64_t holds;
// every position is worked out in floating point, so no count overflows,
// and no loop runs over the slots one by one.

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>

#include <cstdint>
#include <vector>

class QPainter;

// One basket entry as the picture shows it, placed by the caller.
struct TRackItem {
    QString code;               // written in its block
    QString name;               // spoken after the code
    QString toolTip;            // the caller's text, shown as it is
    std::int64_t firstSlot = 1; // for an entry of no slot: the slot it stands before
    std::int64_t slotSpan = 0;
    bool noSlot = false;  // drawn as a narrow marker at its place in the order
    bool outside = false; // drawn after the crate's last slot, outside its outline
};

// Free slots `first` to `last` of the crate.
struct TRackRun {
    std::int64_t first = 1;
    std::int64_t last = 0;
    friend bool operator==(const TRackRun&, const TRackRun&) = default;
};

// The slots 1 … slotCount that no entry inside the crate takes, as runs
// from left to right.
std::vector<TRackRun> RackFreeRuns(const std::vector<TRackItem>& items, std::int64_t slotCount);

// A part of the picture a reader walks through: a block (an entry) or a
// free run, `index` into the items or the free runs.
struct TRackPart {
    bool freeRun = false;
    int index = 0;
    friend bool operator==(const TRackPart&, const TRackPart&) = default;
};

// The parts from left to right: the entries inside the crate and the free
// runs by slot (an entry of no slot before the slot it stands at), then
// the entries outside the crate in their order.
std::vector<TRackPart> RackParts(const std::vector<TRackItem>& items,
                                 const std::vector<TRackRun>& freeRuns);

// What a screen reader says for a part: «слоты 3–4: AI-16D, Модуль …»,
// «слот 5: …», «без слота: …», «вне корзины: …», «слоты 9–17: свободно».
QString RackItemName(const TRackItem& item);
QString RackFreeRunName(const TRackRun& run);

// Sizes the geometry needs from the font and the device.
struct TRackMetrics {
    double numberHeight = 14; // the band of slot numbers above the crate
    double digitWidth = 7;    // one digit of a slot number
    double markerWidth = 6;   // an entry of no slot
    double gap = 12;          // between the crate and the entries outside it
    double padding = 3;       // around everything (room for the focus frame)
    double maxSlotWidth = 80; // so that a crate of few slots keeps its shape
};

// An outside entry is drawn at most this many slots wide: it has no place
// in the crate, and a huge one must not squeeze the crate to nothing.
inline constexpr int kRackOutsideSpanShown = 8;

struct TRackNumber {
    std::int64_t slot = 0;
    QRectF rect; // where the number is centred
};

struct TRackLayout {
    double slotWidth = 0;
    QRectF numberBand;                // above the crate and the entries outside it
    QRectF crate;                     // the crate's outline: its slots and markers
    QRectF outside;                   // around the entries outside it; empty when none
    std::vector<QRectF> blocks;       // one per item, in item order
    std::vector<QRectF> freeRuns;     // one per RackFreeRuns() run
    std::vector<TRackNumber> numbers; // slot numbers shown, thinned so that none overlap
};

TRackLayout RackLayout(const std::vector<TRackItem>& items, std::int64_t slotCount,
                       const QRectF& area, const TRackMetrics& metrics);

// How the picture is painted beyond its geometry.
struct TRackPaintOptions {
    QFont font;
    QColor overLimit{255, 0, 0}; // entries outside the crate
    QColor highlight{0, 120, 215};
    QColor highlightedText{255, 255, 255};
    int current = -1;        // the item drawn as chosen
    bool focusFrame = false; // a frame around the chosen item
    double dropLineX = -1;   // where a dragged block would go; none when negative
    // One line's width in the painter's units: a pixel on screen, more on
    // a printer's fine grid.
    double lineWidth = 1;
};

void PaintRack(QPainter& painter, const std::vector<TRackItem>& items, const TRackLayout& layout,
               const TRackPaintOptions& options);
