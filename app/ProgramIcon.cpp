// SPDX-License-Identifier: MIT
#include "app/ProgramIcon.h"

#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>

#include <algorithm>

namespace {

constexpr int kDrawnSizes[] = {16, 24, 32, 48, 64, 128, 256, 512};

class TProgramIconEngine : public QIconEngine {
public:
    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        if (size.isEmpty())
            return {};
        const QPixmap& drawn = Drawn(NearestDrawnSize(std::max(size.width(), size.height())));
        if (drawn.isNull() || drawn.size() == size)
            return drawn;
        return drawn.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (const int side : kDrawnSizes)
            sizes << QSize(side, side);
        return sizes;
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        const int side = std::min(size.width(), size.height());
        return {side, side}; // the icon is square and drawn to any size
    }

    QIconEngine* clone() const override { return new TProgramIconEngine(*this); }
    QString key() const override { return QStringLiteral("TProgramIconEngine"); }

private:
    // The smallest drawn size that covers `side` pixels, or the largest.
    static int NearestDrawnSize(int side)
    {
        for (const int drawn : kDrawnSizes)
            if (drawn >= side)
                return drawn;
        return kDrawnSizes[std::size(kDrawnSizes) - 1];
    }

    const QPixmap& Drawn(int side)
    {
        auto found = drawn_.find(side);
        if (found == drawn_.end())
            found = drawn_.insert(
                side, QPixmap(QStringLiteral(":/icons/%1x%1/veltrum.png").arg(side)));
        return *found;
    }

    QHash<int, QPixmap> drawn_; // the sizes read so far
};

} // namespace

QIcon ProgramIcon()
{
    return QIcon(new TProgramIconEngine);
}
