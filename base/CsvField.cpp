// SPDX-License-Identifier: MIT
#include "base/CsvField.h"

QChar CsvFieldSeparator(const QString& decimalSeparator)
{
    return decimalSeparator.contains(u',') ? QChar(u';') : QChar(u',');
}

QString CsvField(const QString& text, QChar fieldSeparator)
{
    const bool quote = text.contains(fieldSeparator) || text.contains(u'"') ||
                       text.contains(u'\r') || text.contains(u'\n');
    if (!quote)
        return text;
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}
