// SPDX-License-Identifier: MIT
// The main window on a 1024 x 768 screen, smaller than its described size:
// it takes the available area, keeps the proportions of its splitters, and
// everything from the title bar to the totals is on the screen.

#include "WindowDriver.h"

#include "kit/TabbedListBox.h"

#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QSplitter>

#include <gtest/gtest.h>

TEST(SmallScreen, TheWindowFitsTheAvailableArea)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_EQ(area.size(), QSize(1024, 768)) << "the tests' screen configuration was not read";
    FixtureCatalog catalog;
    catalog.WriteStandard();
    Window window(catalog.Dir());

    EXPECT_TRUE(area.contains(window->frameGeometry()))
        << window->frameGeometry().x() << "," << window->frameGeometry().y() << " "
        << window->frameGeometry().width() << "x" << window->frameGeometry().height();
    EXPECT_LT(window->height(), 863);
    EXPECT_LE(window->width(), 1024);
    // The totals, the lowest list, are inside the window and so on the screen.
    const QRect totals(window->TotalTabLB->mapTo(window.form.get(), QPoint()),
                       window->TotalTabLB->size());
    EXPECT_TRUE(window->rect().contains(totals));

    // The bars keep the described proportions, 479 : 382 and 486 : 547, to a pixel.
    const QList<int> main = window->MainSplitter->sizes();
    const QList<int> up = window->UpSplitter->sizes();
    ASSERT_EQ(main.size(), 2);
    ASSERT_EQ(up.size(), 2);
    EXPECT_NEAR(main[0] * 382.0 / main[1], 479.0, 479.0 / main[1] + 2);
    EXPECT_NEAR(up[0] * 547.0 / up[1], 486.0, 486.0 / up[1] + 2);
}
