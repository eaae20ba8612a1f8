// SPDX-License-Identifier: MIT
#pragma once

// The automatic tab stops of a column list. Measuring every row's fields
// costs a pass over the rows, so a list keeps its stops pending (described
// by the rows and the font they come from) and measures them only when
// someone looks at them: a fill of a million rows costs one pass however
// often the stops are recomputed while it runs.

#include <QFont>
#include <QList>
#include <QStringView>

#include <functional>

// What pending stops are measured from: the first `rows` rows, with `tabs`
// columns after field 0, in `font`; field 0 is `fieldZeroExtra` pixels
// wider (a check glyph); `charWidth` is the font's average character width.
struct TStopsSource {
    int rows = 0;
    int tabs = 0;
    QFont font;
    int charWidth = 6;
    int fieldZeroExtra = 0;
};

// The stops, in average character widths, that fit the widest field of
// each column of the source's rows (AutomaticTabStops of those widths).
QList<int> MeasureAutomaticStops(const TStopsSource& source,
                                 const std::function<QString(int)>& row);

// A list's stops: either measured (a plain list of stops) or pending.
class TListStops {
public:
    enum class State { Measured, Pending };

    State CurrentState() const { return state_; }
    bool IsPending() const { return state_ == State::Pending; }
    const TStopsSource& Source() const { return source_; }

    // The measured stops; pending ones are measured first.
    const QList<int>& Stops(const std::function<QString(int)>& row);
    // How many stops there are (or will be, once measured).
    int Count() const;

    void Set(QList<int> stops);
    void MarkPending(TStopsSource source);
    // Pending stops now also cover rows appended since: same font, more
    // rows. Costs nothing, so a fill may call it on every row.
    void CoverRows(int rows, int tabs);

private:
    State state_ = State::Measured;
    QList<int> stops_;
    TStopsSource source_;
};
