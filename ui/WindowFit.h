// SPDX-License-Identifier: MIT
#pragma once

// Arithmetic of a window that must fit its screen: where the screen's
// available area is smaller than the window's own size, the window takes
// the area and its splitters keep their proportions.

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

struct WindowFit {
    QSize client;        // the client area, frame and caption left out
    QPoint frameTopLeft; // where the frame's top-left corner goes
};

// `wanted` is the client size the window is described with; `frame` what the
// frame and caption add to it in each direction. The client keeps its size
// in a direction where the area has room and shrinks to the room where it
// has not; the frame is centred on the area and never starts above or to
// the left of it.
WindowFit FitWindow(QSize wanted, QRect available, QSize frame);

// Sizes of a splitter's panes grown or shrunk so that they add up to
// `total`, each keeping its share; the last pane takes what rounding
// leaves. Panes never get below one pixel while `total` allows.
QList<int> ScaleSizes(const QList<int>& sizes, int total);
