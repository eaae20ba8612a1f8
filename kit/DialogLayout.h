// SPDX-License-Identifier: MIT
#pragma once

// Layout arithmetic of the message dialog: from the icon's box, the text's
// size and the number of buttons to the dialog's outer size and the
// positions inside it. Integer division truncates toward zero.

#include <QList>

struct WindowMetrics {
    int frameWidth = 4;     // SM_CXFRAME
    int frameHeight = 4;    // SM_CYFRAME
    int captionHeight = 18; // SM_CYCAPTION
};

struct DialogLayout {
    int outerWidth = 0;
    int outerHeight = 0;
    int iconLeft = 0;
    int iconTop = 0;
    int labelLeft = 0;
    int labelTop = 0;
    int textPanelHeight = 0;
    int buttonPanelHeight = 0;
    QList<int> buttonLefts;
    int buttonTop = 14;
    int buttonWidth = 72;
    int buttonHeight = 28;
};

DialogLayout LayoutDialog(int iconWidth, int iconHeight, int iconTop, int labelWidth,
                          int labelHeight, int buttonCount, const WindowMetrics& metrics);
