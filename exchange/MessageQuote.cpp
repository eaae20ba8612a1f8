// SPDX-License-Identifier: MIT
#include "exchange/MessageQuote.h"

QString QuoteForMessage(const QString& text, int maxCharacters)
{
    qsizetype keep = text.size() > maxCharacters ? maxCharacters : text.size();
    if (keep > 0 && keep < text.size() && text.at(keep - 1).isHighSurrogate())
        --keep;
    QString quoted = text.left(keep);
    for (QChar& c : quoted)
        if (c == u'\r' || c == u'\n')
            c = u' ';
    if (keep < text.size())
        quoted += QChar(u'…');
    return quoted;
}
