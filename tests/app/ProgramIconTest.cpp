// SPDX-License-Identifier: MIT
// The program's icon: every drawn size offered, each given as drawn, and
// sizes between them scaled from the next larger one.

#include "app/ProgramIcon.h"

#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

namespace {

// Compared premultiplied, as a pixmap holds them: translucent edge pixels
// would otherwise differ by the rounding of the conversion.
QImage Drawn(int side)
{
    return QImage(QStringLiteral(":/icons/%1x%1/veltrum.png").arg(side))
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

TEST(ProgramIcon, OffersEveryDrawnSizeAndGivesEachAsDrawn)
{
    const QIcon icon = ProgramIcon();
    ASSERT_FALSE(icon.isNull());
    QList<QSize> sizes;
    for (const int side : {16, 24, 32, 48, 64, 128, 256, 512})
        sizes << QSize(side, side);
    EXPECT_EQ(icon.availableSizes(), sizes);
    for (const QSize& size : sizes) {
        SCOPED_TRACE(size.width());
        const QImage drawn = Drawn(size.width());
        ASSERT_FALSE(drawn.isNull());
        EXPECT_EQ(icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied), drawn);
    }
}

TEST(ProgramIcon, ASizeBetweenDrawnOnesIsScaledFromTheNextLarger)
{
    const QIcon icon = ProgramIcon();
    const struct {
        int side;
        int from;
    } cases[] = {{20, 24}, {40, 48}, {100, 128}, {1024, 512}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.side);
        const QImage got = icon.pixmap(QSize(c.side, c.side)).toImage();
        ASSERT_EQ(got.size(), QSize(c.side, c.side));
        const QImage expected = Drawn(c.from).scaled(c.side, c.side, Qt::KeepAspectRatio,
                                                     Qt::SmoothTransformation);
        EXPECT_EQ(got.convertToFormat(QImage::Format_ARGB32_Premultiplied),
                  expected.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }
}

} // namespace
