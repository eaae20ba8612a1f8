// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QTest>
#include <QWidget>

// Types `text` into `widget` key by key, Cyrillic included: QTest::keyClicks
// knows Latin-1 keys only.
inline void TypeText(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        const auto key = static_cast<Qt::Key>(c.toUpper().unicode());
        QTest::sendKeyEvent(QTest::Press, widget, key, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, key, QString(c), Qt::NoModifier);
    }
}
