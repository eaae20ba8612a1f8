// SPDX-License-Identifier: MIT
#include "kit/TabStops.h"

#include "base/Exception.h"

#include <algorithm>
#include <climits>

QString FieldOfRow(QStringView row, int column)
{
    if (column < 0)
        throw EListError("Column parameter out of range");
    qsizetype start = 0;
    for (int i = 0; i < column; ++i) {
        const qsizetype tab = row.indexOf(QLatin1Char('\t'), start);
        if (tab < 0)
            throw EListError("Column parameter out of range");
        start = tab + 1;
    }
    const qsizetype end = row.indexOf(QLatin1Char('\t'), start);
    return (end < 0 ? row.mid(start) : row.mid(start, end - start)).toString();
}

int TabCount(QStringView row)
{
    return static_cast<int>(row.count(QLatin1Char('\t')));
}

int TabCount(QByteArrayView utf8Row)
{
    return static_cast<int>(utf8Row.count('\t'));
}

int AverageCharWidth(int widthOf52Letters)
{
    const int width = std::max(widthOf52Letters, 0);
    int a = width / 52;
    const int twiceRest = 2 * (width % 52);
    if (twiceRest > 52 || (twiceRest == 52 && a % 2 == 1))
        ++a;
    // Every stop is divided by a; a font too narrow to measure must not
    // turn that into a division by zero.
    return std::max(a, 1);
}

QList<int> AutomaticTabStops(const QList<int>& maxFieldWidths, int a)
{
    QList<int> stops;
    stops.reserve(maxFieldWidths.size());
    int last = 0;
    for (const int width : maxFieldWidths) {
        last += width / a + 4;
        stops.append(last);
    }
    return stops;
}

QList<int> TabStopsFromHeader(QList<int> stops, const QList<int>& sectionWidths, int a)
{
    const qsizetype n = std::min(sectionWidths.size() - 2, stops.size() - 1);
    int sum = 0;
    for (qsizetype i = 0; i <= n; ++i) {
        sum += sectionWidths[i];
        stops[i] = sum / a + 1;
    }
    return stops;
}

namespace {
// Pixel positions far past any screen saturate instead of overflowing.
int Saturated(qint64 x)
{
    return static_cast<int>(std::min<qint64>(x, INT_MAX));
}

// The first multiple of `step` strictly beyond x.
int NextMultiple(int x, int step)
{
    if (x < 0)
        return 0;
    return Saturated((static_cast<qint64>(x) / step + 1) * step);
}
} // namespace

int NextTabPosition(int x, const QList<int>& stopPixels, int a)
{
    const int defaultStep = 8 * std::max(a, 1);
    if (stopPixels.size() == 1)
        return NextMultiple(x, stopPixels.first() > 0 ? stopPixels.first() : defaultStep);
    const auto beyond =
        std::find_if(stopPixels.begin(), stopPixels.end(), [x](int stop) { return stop > x; });
    if (beyond != stopPixels.end())
        return *beyond;
    return NextMultiple(x, defaultStep);
}

QList<int> FieldPositions(const QList<int>& fieldWidths, int left, const QList<int>& stopPixels,
                          int a)
{
    QList<int> positions;
    positions.reserve(fieldWidths.size());
    int x = left;
    for (qsizetype i = 0; i < fieldWidths.size(); ++i) {
        if (i > 0)
            x = NextTabPosition(x, stopPixels, a);
        positions.append(x);
        x = Saturated(static_cast<qint64>(x) + std::max(fieldWidths[i], 0));
    }
    return positions;
}
