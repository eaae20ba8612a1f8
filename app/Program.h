#pragma once

// The program from start to the end of its event loop, shared by the
// executable and the start-up benchmark so that both run the same start.

#include <QString>

#include <functional>

class QApplication;
class TMainForm;

// Gives the application the program's look, opens the main window on the
// catalog in `catalogDir` (the executable's own directory when empty; when
// that cannot be found, says so and returns 1 without a window),
// builds the message dialog's template and runs the event loop. Returns
// the exit code: 1 when the catalog could not be opened. `whenShown`, if
// set, runs once the main window has been shown. `basketFile`, when not
// empty, is opened into the basket once the catalog is open.
int RunProgram(QApplication& application, const QString& catalogDir,
               const std::function<void(TMainForm&)>& whenShown = {},
               const QString& basketFile = QString());
