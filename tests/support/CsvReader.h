// SPDX-License-Identifier: MIT
#pragma once

// An RFC 4180 reader for tests, written apart from the program's writer so
// that an exported file is checked by reading it back field by field.

#include <QString>
#include <QStringList>

#include <vector>

// Splits CSV text (without byte-order mark) into records of fields. Records
// end in CR LF; quoted fields may hold the separator, quotes ("") and line
// breaks. A stray quote inside an unquoted field, or an unterminated quoted
// field, gives no records at all.
inline std::vector<QStringList> ReadCsv(const QString& text, QChar separator)
{
    std::vector<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;    // inside a quoted field
    bool wasQuoted = false; // the current field began with a quote
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            if (!field.isEmpty() || wasQuoted)
                return {};
            quoted = wasQuoted = true;
        } else if (c == separator) {
            record << field;
            field.clear();
            wasQuoted = false;
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            record << field;
            records.push_back(record);
            record.clear();
            field.clear();
            wasQuoted = false;
            ++i;
        } else {
            field += c;
        }
    }
    if (quoted || !field.isEmpty() || !record.isEmpty())
        return {}; // the last record has no CR LF, or a quote never closed
    return records;
}
