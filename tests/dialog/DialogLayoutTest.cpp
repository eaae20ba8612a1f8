// SPDX-License-Identifier: MIT
#include "kit/DialogLayout.h"

#include <gtest/gtest.h>

namespace {

struct LayoutCase {
    const char* name;
    int labelWidth;
    int labelHeight;
    int buttons;
    int width;
    int iconLeft;
    int labelLeft;
    int labelTop;
    int height;
    QList<int> buttonLefts;
};

// A 32 by 32 icon at Top 16, frames of 4 and a caption of 18.
const LayoutCase kCases[] = {
    {"one caption, short text", 100, 13, 1, 220, 38, 83, 26, 142, {72}},
    {"two captions, short text", 100, 13, 2, 364, 110, 155, 26, 142, {72, 216}},
    {"one caption, long text", 300, 13, 1, 413, 34, 79, 26, 142, {168}},
    // Content width 96 + 13 + 107 equals the button row's 216.
    {"content as wide as the buttons", 107, 13, 1, 220, 34, 79, 26, 142, {72}},
    // Taller than the panel: centred on the icon, running past the top.
    {"four lines", 100, 52, 2, 364, 90, 174, 6, 142, {72, 216}},
    {"nine lines", 100, 117, 1, 317, 34, 183, -26, 142, {120}},
};

TEST(LayoutDialog, FollowsTheWorkedExamples)
{
    const WindowMetrics metrics{4, 4, 18};
    for (const LayoutCase& c : kCases) {
        SCOPED_TRACE(c.name);
        const DialogLayout layout =
            LayoutDialog(32, 32, 16, c.labelWidth, c.labelHeight, c.buttons, metrics);
        EXPECT_EQ(layout.outerWidth, c.width);
        EXPECT_EQ(layout.iconLeft, c.iconLeft);
        EXPECT_EQ(layout.iconTop, 16);
        EXPECT_EQ(layout.labelLeft, c.labelLeft);
        EXPECT_EQ(layout.labelTop, c.labelTop);
        EXPECT_EQ(layout.textPanelHeight, 64);
        EXPECT_EQ(layout.buttonPanelHeight, 56);
        EXPECT_EQ(layout.outerHeight, c.height);
        EXPECT_EQ(layout.buttonLefts, c.buttonLefts);
        EXPECT_EQ(layout.buttonTop, 14);
        EXPECT_EQ(layout.buttonWidth, 72);
        EXPECT_EQ(layout.buttonHeight, 28);
    }
}

TEST(LayoutDialog, FrameMetricsEnterOnlyTheirTerms)
{
    // A wider frame and a taller caption grow the outer size by just their
    // own amount; the buttons stay centred in the client width.
    const DialogLayout layout = LayoutDialog(48, 48, 16, 100, 13, 2, WindowMetrics{8, 6, 30});
    EXPECT_EQ(layout.outerWidth, 368);
    EXPECT_EQ(layout.textPanelHeight, 80);
    EXPECT_EQ(layout.outerHeight, 30 + 80 + 56 + 6);
    EXPECT_EQ(layout.buttonLefts, (QList<int>{72, 216}));
    EXPECT_EQ(layout.labelTop, 16 + 24 - 6);
}

} // namespace
