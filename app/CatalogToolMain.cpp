// SPDX-License-Identifier: MIT
// veltrum-catalog: the catalog maintainer's tool, without a window.

#include "app/CatalogTool.h"
#include "base/DecimalText.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    DescribeCatalogTool();
    const CatalogToolResult result =
        RunCatalogTool(QCoreApplication::arguments(), LocaleDecimalSeparator());
    std::fputs(result.standardOutput.toLocal8Bit().constData(), stdout);
    std::fputs(result.standardError.toLocal8Bit().constData(), stderr);
    return result.exitStatus;
}
