// SPDX-License-Identifier: MIT
#pragma once

// An edit field shows where the typing goes: its background takes a colour
// of its own while it has the focus and the application's again after.

#include <QColor>

class QLineEdit;

// The edit field `edit` wears `colour` as its background while focused.
void ShowFocusInColour(QLineEdit& edit, const QColor& colour);
