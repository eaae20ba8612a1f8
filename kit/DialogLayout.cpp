// SPDX-License-Identifier: MIT
#include "kit/DialogLayout.h"

namespace {

constexpr int kButtonPitch = 144; // a button's width and the gap after it
constexpr int kButtonMargin = 72;
constexpr int kButtonPanelHeight = 56;

} // namespace

DialogLayout LayoutDialog(int iconWidth, int iconHeight, int iconTop, int labelWidth,
                          int labelHeight, int buttonCount, const WindowMetrics& metrics)
{
    DialogLayout layout;

    const int buttonRowWidth = kButtonPitch * buttonCount + kButtonMargin;
    // The icon, a gap as wide as the text is high, the text, and room for a
    // second icon's width on either side.
    const int groupWidth = iconWidth + labelHeight + labelWidth;
    const int contentWidth = 2 * iconWidth + groupWidth;
    layout.outerWidth =
        (buttonRowWidth >= contentWidth ? buttonRowWidth : contentWidth) + metrics.frameWidth;

    // The icon-and-text group is centred on half the outer width, and the
    // text on the icon's middle.
    layout.iconLeft = layout.outerWidth / 2 - groupWidth / 2;
    layout.iconTop = iconTop;
    layout.labelLeft = layout.iconLeft + iconWidth + labelHeight;
    layout.labelTop = iconTop + iconHeight / 2 - labelHeight / 2;

    // The text panel's height follows the icon only; taller text is cut.
    layout.textPanelHeight = iconHeight + 2 * iconTop;
    layout.buttonPanelHeight = kButtonPanelHeight;
    layout.outerHeight = metrics.captionHeight + layout.textPanelHeight + layout.buttonPanelHeight +
                         metrics.frameHeight;

    int left = (layout.outerWidth - buttonRowWidth - metrics.frameWidth) / 2 + kButtonMargin;
    layout.buttonLefts.reserve(buttonCount > 0 ? buttonCount : 0);
    for (int i = 0; i < buttonCount; ++i) {
        layout.buttonLefts.append(left);
        left += kButtonPitch;
    }
    return layout;
}
