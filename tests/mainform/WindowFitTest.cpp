// SPDX-License-Identifier: MIT
// The main window on its screen: the described size where the screen has
// room, the available area where it has not. The arithmetic on tables; the
// window itself on the 1280 x 1024 screen of the ordinary tests.

#include "WindowDriver.h"

#include "ui/WindowFit.h"

#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QSplitter>

#include <gtest/gtest.h>

TEST(FitWindow, KeepsTheSizeWhereItFitsAndTakesTheAreaWhereNot)
{
    const QSize frame(8, 26);
    const struct {
        const char* name;
        QRect available;
        QSize client;
        QPoint topLeft;
    } cases[] = {
        {"room enough: centred", QRect(0, 0, 1280, 1024), QSize(1035, 883), QPoint(118, 57)},
        {"exactly the room", QRect(0, 0, 1043, 909), QSize(1035, 883), QPoint(0, 0)},
        {"too low", QRect(0, 0, 1280, 768), QSize(1035, 742), QPoint(118, 0)},
        {"too narrow and too low", QRect(0, 0, 1024, 768), QSize(1016, 742), QPoint(0, 0)},
        {"an area below a top panel", QRect(0, 27, 1024, 741), QSize(1016, 715), QPoint(0, 27)},
        {"a second screen to the right", QRect(1280, 0, 800, 600), QSize(792, 574),
         QPoint(1280, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const WindowFit fit = FitWindow(QSize(1035, 883), c.available, frame);
        EXPECT_EQ(fit.client, c.client);
        EXPECT_EQ(fit.frameTopLeft, c.topLeft);
        EXPECT_TRUE(c.available.contains(QRect(fit.frameTopLeft, fit.client + frame)));
    }
}

TEST(ScaleSizes, PanesKeepTheirSharesAndAddUpToTheTotal)
{
    const struct {
        QList<int> sizes;
        int total;
        QList<int> scaled;
    } cases[] = {
        {{479, 382}, 861, {479, 382}},
        {{479, 382}, 713, {396, 317}},
        {{486, 547}, 1014, {477, 537}},
        {{1, 1, 1}, 10, {3, 3, 4}},
        {{100, 1}, 2, {1, 1}}, // no pane vanishes while the total allows
        {{5, 5}, 0, {0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.total);
        EXPECT_EQ(ScaleSizes(c.sizes, c.total), c.scaled);
    }
}

TEST(WindowOnScreen, OnARoomyScreenTheWindowHasItsDescribedSize)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_GE(area.height(), 1000) << "the tests' screen configuration was not read";
    FixtureCatalog catalog;
    catalog.WriteStandard();
    Window window(catalog.Dir());
    const int menuHeight = window->menuBar()->height();
    EXPECT_EQ(window->width(), 1035);
    EXPECT_EQ(window->height() - menuHeight, 863);
    EXPECT_EQ(window->MainSplitter->sizes(), (QList<int>{479, 382}));
    EXPECT_EQ(window->UpSplitter->sizes(), (QList<int>{486, 547}));
    EXPECT_TRUE(area.contains(window->frameGeometry()));
}
