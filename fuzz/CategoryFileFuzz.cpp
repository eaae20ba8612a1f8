// SPDX-License-Identifier: MIT
// Category files: decoding Windows-1251 bytes and splitting them into lines.
// Every byte becomes one character; no line holds a line break; the lines
// and the breaks between them account for every character.

#include "catalog/CategoryFiles.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = DecodeCp1251(bytes);
    if (text.size() != bytes.size())
        std::abort();
    qsizetype breaks = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' && i > 0 && bytes[i - 1] == '\r')
            continue; // CR LF is one break
        if (bytes[i] == '\n' || bytes[i] == '\r')
            ++breaks;
    }

    const QStringList lines = SplitLines(text);
    qsizetype characters = 0;
    for (const QString& line : lines) {
        if (line.contains(QLatin1Char('\r')) || line.contains(QLatin1Char('\n')))
            std::abort();
        characters += line.size();
    }
    // A break at the very end opens no further line.
    const bool endsWithBreak = !text.isEmpty() && (text.back() == u'\r' || text.back() == u'\n');
    if (lines.size() != breaks + (text.isEmpty() || endsWithBreak ? 0 : 1))
        std::abort();
    qsizetype crlf = 0;
    for (qsizetype i = 1; i < bytes.size(); ++i)
        crlf += bytes[i] == '\n' && bytes[i - 1] == '\r';
    if (characters + breaks + crlf != text.size())
        std::abort();
    return 0;
}
