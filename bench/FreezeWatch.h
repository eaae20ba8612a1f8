// SPDX-License-Identifier: MIT
#pragma once

// The longest time the window went without handling its events while a
// handler ran: a timer due every 10 ms fires only when events are handled
// (the progress dialog of a long search handles them).

#include "BenchCommon.h"

#include <QObject>
#include <QTimer>

#include <algorithm>

namespace bench {

class FreezeWatch {
public:
    FreezeWatch()
    {
        // Fine enough for a 100 ms limit, coarse enough not to keep the
        // progress dialog's event handling busy with the watch itself.
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { Tick(); });
    }
    void Start()
    {
        last_ = NowMs();
        timer_.start();
    }
    void Stop()
    {
        Tick();
        timer_.stop();
    }
    double Longest() const { return longest_; }

private:
    void Tick()
    {
        const double now = NowMs();
        longest_ = std::max(longest_, now - last_);
        last_ = now;
    }

    QTimer timer_;
    double last_ = 0;
    double longest_ = 0;
};

} // namespace bench
