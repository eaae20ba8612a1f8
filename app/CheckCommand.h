// SPDX-License-Identifier: MIT
#pragma once

// `veltrum --check`: saved basket files checked against the catalog, with
// no window and no window system. Opens the catalog once, read-only, looks
// each block code up once for the whole run, reads each file in the order
// given and prints the report in the format asked for. Writes nothing
// anywhere but the report.

#include "app/CommandLine.h"

#include <QByteArray>

struct CheckCommandOutput {
    QByteArray standardOutput; // the report
    QByteArray standardError;  // why the catalog could not be read, when it could not
    int exitStatus = 0;        // CheckExitStatus of the files checked
};

// Numbers are read and written with the locale's decimal separator, as the
// window started in the same environment does. A catalog that cannot be
// found or read leaves every file unchecked (status 3), each with the
// reason; a file that cannot be read or checked leaves the others checked.
CheckCommandOutput RunCheckCommand(const CheckOptions& options);
