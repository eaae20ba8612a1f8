// SPDX-License-Identifier: MIT
#pragma once

// The one guard every event handler runs in. Qt does not let exceptions
// cross its event loop, so an error that escapes a handler is caught here
// and shown in the plain error box; the program goes on.

#include <QString>

#include <exception>
#include <functional>
#include <new>

class QWidget;

// The error box text: the message, with a full stop added when it ends in a
// character that sorts after the full stop.
QString ErrorBoxText(const QString& message);

// The plain error box: error icon, the application's title, the message.
void ShowErrorBox(QWidget* parent, const QString& message);

// Test hook: while set, ShowErrorBox hands the box text to it and shows nothing.
using ErrorBoxHook = std::function<void(const QString& text)>;
void SetErrorBoxHook(ErrorBoxHook hook);

// What the error box says when a handler ran out of memory: the user's
// words, not the library's "std::bad_alloc".
inline constexpr char16_t kOutOfMemoryText[] =
    u"Недостаточно памяти для выполнения действия; окно продолжает работу";

// Runs `handler`; any exception it raises ends it and goes to the error box.
template <class Handler> void RunGuarded(QWidget* parent, Handler&& handler) noexcept
{
    try {
        handler();
    } catch (const std::bad_alloc&) {
        ShowErrorBox(parent, QString::fromUtf16(kOutOfMemoryText));
    } catch (const std::exception& error) {
        ShowErrorBox(parent, QString::fromUtf8(error.what()));
    } catch (...) {
        ShowErrorBox(parent, QStringLiteral("Неизвестная ошибка"));
    }
}
