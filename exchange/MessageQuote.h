// SPDX-License-Identifier: MIT
#pragma once

// What a message quotes from a file (a code, a name, a value) is cut to a
// length a dialog can show: a 7 MB crate type name in a basket file would
// otherwise make a window millions of pixels wide.

#include <QString>

inline constexpr int kMaxQuotedCharacters = 200;

// `text` itself when it has at most `maxCharacters` characters, otherwise
// its first `maxCharacters` followed by «…». A surrogate pair is never
// split; line breaks inside become spaces, so one quote stays one line.
QString QuoteForMessage(const QString& text, int maxCharacters = kMaxQuotedCharacters);
