// SPDX-License-Identifier: MIT
#include "kit/AutomaticStops.h"

#include "kit/TabStops.h"

#include <QFontMetrics>
#include <QString>

#include <algorithm>

QList<int> MeasureAutomaticStops(const TStopsSource& source,
                                 const std::function<QString(int)>& row)
{
    // One pass over the rows, keeping the widest field of each column.
    QList<int> widest(source.tabs, 0);
    const QFontMetrics metrics(source.font);
    for (int r = 0; r < source.rows; ++r) {
        const QString text = row(r);
        qsizetype start = 0;
        for (int column = 0; column < source.tabs; ++column) {
            const qsizetype tab = text.indexOf(QLatin1Char('\t'), start);
            const qsizetype end = tab < 0 ? text.size() : tab;
            // Measured in place: the field is not copied.
            int width = metrics.horizontalAdvance(QString::fromRawData(
                reinterpret_cast<const QChar*>(text.data() + start), end - start));
            if (column == 0)
                width += source.fieldZeroExtra;
            widest[column] = std::max(widest[column], width);
            if (tab < 0)
                break;
            start = tab + 1;
        }
    }
    return AutomaticTabStops(widest, source.charWidth);
}

const QList<int>& TListStops::Stops(const std::function<QString(int)>& row)
{
    if (state_ == State::Pending) {
        stops_ = MeasureAutomaticStops(source_, row);
        state_ = State::Measured;
    }
    return stops_;
}

int TListStops::Count() const
{
    return state_ == State::Pending ? source_.tabs : static_cast<int>(stops_.size());
}

void TListStops::Set(QList<int> stops)
{
    stops_ = std::move(stops);
    state_ = State::Measured;
}

void TListStops::MarkPending(TStopsSource source)
{
    source_ = std::move(source);
    state_ = State::Pending;
}

void TListStops::CoverRows(int rows, int tabs)
{
    source_.rows = rows;
    source_.tabs = tabs;
}
