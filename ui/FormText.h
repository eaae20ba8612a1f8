// SPDX-License-Identifier: MIT
#pragma once

// The window's own texts are written as UTF-16 literals.

#include <QString>

inline QString Text(const char16_t* text)
{
    return QString::fromUtf16(text);
}
