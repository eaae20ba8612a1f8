// SPDX-License-Identifier: MIT
#include "ui/WindowFit.h"

#include <algorithm>

WindowFit FitWindow(QSize wanted, QRect available, QSize frame)
{
    const QSize room = (available.size() - frame).expandedTo(QSize(1, 1));
    WindowFit fit;
    fit.client = wanted.boundedTo(room);
    const QSize outer = fit.client + frame;
    fit.frameTopLeft =
        QPoint(available.x() + std::max(0, (available.width() - outer.width()) / 2),
               available.y() + std::max(0, (available.height() - outer.height()) / 2));
    return fit;
}

QList<int> ScaleSizes(const QList<int>& sizes, int total)
{
    long long sum = 0;
    for (const int size : sizes)
        sum += size;
    if (sizes.isEmpty() || sum <= 0)
        return sizes;
    QList<int> scaled;
    scaled.reserve(sizes.size());
    int given = 0;
    for (qsizetype i = 0; i + 1 < sizes.size(); ++i) {
        // Every later pane keeps a pixel where the total allows it.
        const int left = static_cast<int>(sizes.size() - 1 - i);
        const int share = static_cast<int>(static_cast<long long>(sizes[i]) * total / sum);
        const int size =
            std::clamp(share, std::min(1, total - given), std::max(1, total - given - left));
        scaled.append(size);
        given += size;
    }
    scaled.append(std::max(0, total - given));
    return scaled;
}
