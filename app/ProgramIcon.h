// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>

// The program's icon in every size the build drew from its SVG, from the
// program's resources, so that the window shows it whether or not the icon
// theme is installed (an unpacked package, the build tree). Each size is
// read when a size near it is first asked for, not before: the start-up
// decodes no image the platform does not want (Qt's X11 plugin asks for the
// sizes up to 256 pixels; the offscreen and Wayland ones ask for none).
QIcon ProgramIcon();
