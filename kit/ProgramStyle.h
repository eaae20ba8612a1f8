// SPDX-License-Identifier: MIT
#pragma once

// The program's look, set once before its first window: the windows' face
// as the application's font, and the platform's style with standard icons
// that read their images only when first drawn.

#include <QProxyStyle>

// The platform's own style. Reading an image makes Qt load every
// image-format plug-in to probe it; the menu bar asks for its overflow
// button's icon while it is built, though a one-item menu never shows that
// button. Standard icons asked for without a style option are therefore
// handed out unread and read the first time they are drawn or measured.
class TProgramStyle : public QProxyStyle {
public:
    TProgramStyle();

    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};

// Makes FormFont() the application's font and TProgramStyle its style.
void ApplyProgramLook();
