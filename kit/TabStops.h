// SPDX-License-Identifier: MIT
#pragma once

// Arithmetic of the column lists: fields of tab-separated rows, the average
// character width, and tab stops from content or from header sections.
// Tab stops are in units of the average character width a.

#include <QList>
#include <QString>
#include <QByteArrayView>
#include <QStringView>

// Field `column` of a tab-separated row. Throws EListError
// "Column parameter out of range" for a negative column or one past the
// row's last field.
QString FieldOfRow(QStringView row, int column);

// Number of tab characters in a row, given as text or as its UTF-8 (a tab
// byte is a tab character however the rest decodes).
int TabCount(QStringView row);
int TabCount(QByteArrayView utf8Row);

// a: the width of the 52 letters A..Z a..z divided by 52, rounded to the
// nearest integer, a half to the even one; never below 1, since stops are
// divided by it.
int AverageCharWidth(int widthOf52Letters);

// Automatic stops from the widest field of each column j (0 .. m-1):
// stop j = stop j-1 (0 for the first) + maxFieldWidth[j] div a + 4.
QList<int> AutomaticTabStops(const QList<int>& maxFieldWidths, int a);

// Stops derived from header sections: with n = min(sectionCount - 2,
// stops.size() - 1), stop i (0..n) becomes (width 0 + .. + width i) div a + 1;
// the rest keep their values; nothing changes when n < 0.
// `sectionWidths` are the widths the header reports.
QList<int> TabStopsFromHeader(QList<int> stops, const QList<int>& sectionWidths, int a);

// Pixel position a tab moves the pen to from `x`: the first stop beyond x.
// Stops are in pixels from the list's left edge; a single stop repeats at
// every multiple of itself; past the last of several stops, the pen moves
// to the next multiple of `a` * 8 beyond x (as it does with no stops at all).
int NextTabPosition(int x, const QList<int>& stopPixels, int a);

// Left pixel of each field of a row whose fields are `fieldWidths` pixels
// wide: field 0 at `left`, each later one at the next tab position after
// the end of the field before it, so a wide field pushes the rest along.
QList<int> FieldPositions(const QList<int>& fieldWidths, int left, const QList<int>& stopPixels,
                          int a);
