// SPDX-License-Identifier: MIT
// A column list whose fields have colours of their own.

#include "kit/FieldColorListBox.h"

#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Whether some pixel of `area` is strongly red.
bool HasRedIn(const QImage& image, const QRect& area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 150 && c.green() < 80 && c.blue() < 80)
                return true;
        }
    return false;
}

TEST(FieldColorListBox, EachFieldInItsColour)
{
    TFieldColorListBox list;
    list.resize(400, 40);
    list.Items().Add(QStringLiteral("WWWWW\tWWWWW"));
    list.SetTabStops({20});
    const QColor red(200, 0, 0);
    list.SetFieldColors({QColor(), red});
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));

    EXPECT_EQ(list.FieldColor(0), list.FontColor());
    EXPECT_EQ(list.FieldColor(1), red);
    EXPECT_EQ(list.FieldColor(7), list.FontColor()); // beyond the colours given

    QCoreApplication::processEvents();
    const QImage image = list.viewport()->grab().toImage();
    const QRect row = list.visualRect(list.model()->index(0, 0));
    const int second = 20 * list.AverageCharWidth();
    EXPECT_FALSE(HasRedIn(image, QRect(0, row.top(), second - 1, row.height())));
    EXPECT_TRUE(HasRedIn(image, QRect(second, row.top(), image.width() - second, row.height())));

    list.SetFieldColors({});
    EXPECT_EQ(list.FieldColor(1), list.FontColor());
}

} // namespace
