// SPDX-License-Identifier: MIT
#pragma once

// The program from start to the end of its event loop, shared by the
// executable and the start-up benchmark so that both run the same start.

#include "app/CommandLine.h"

#include <QString>

#include <functional>

class QApplication;
class TMainForm;

// Exit status when the catalog could not be opened.
inline constexpr int kCatalogExitStatus = 1;

// Names the program to Qt: application name and version (for --version and
// WM_CLASS) and the desktop file name (the Wayland app id, and the entry
// X11 taskbars match the window to). Call right after constructing the
// application object.
void DescribeProgram();

// Gives the application the program's look and icon, opens the main window
// on the catalog in `catalogDir` (the executable's own directory when
// empty; when that cannot be found, says so and returns 1 without a
// window), builds the message dialog's template and runs the event loop.
// Returns the exit status: kCatalogExitStatus when the catalog could not be
// opened. `whenShown`, if set, runs once the main window has been shown.
// `options.basketFile`, when not empty, is opened into the basket once the
// catalog is open.
int RunProgram(QApplication& application, const QString& catalogDir,
               const std::function<void(TMainForm&)>& whenShown = {},
               const ProgramOptions& options = {});
