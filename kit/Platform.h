// SPDX-License-Identifier: MIT
#pragma once

// The few things the program asks of the platform: window frame metrics,
// the stock icons of the message dialog and the faces it is drawn in.

#include "kit/DialogLayout.h"

#include <QFont>
#include <QIcon>

// Stock icon identifiers.
inline constexpr int IDI_HAND = 0x7F01;
inline constexpr int IDI_QUESTION = 0x7F02;
inline constexpr int IDI_EXCLAMATION = 0x7F03;

// Frame and caption metrics: the window manager's where it reports them,
// otherwise 4, 4 and 18.
WindowMetrics SystemWindowMetrics();

// The platform's error, question or warning icon for an identifier above.
QIcon StockIcon(int identifier);
// The system's icon size in pixels (32 at the usual setting).
int StockIconSize();

// The faces the program is drawn in: MS Sans Serif 8 for its windows and
// Verdana 8 for its lists. Where a face is not installed (most Linux
// desktops) the application's own family is used at that size: a
// sans-serif face, as matching would pick, without its fallback search.
QFont FormFont();
QFont ListFont();
// The face at that size where it is installed, else the application's family.
QFont FaceOrApplicationFamily(const QString& family, int pointSize);
