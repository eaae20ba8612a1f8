// SPDX-License-Identifier: MIT
#include "ui/HandlerGuard.h"

#include "ui/Messages.h"

#include <utility>

namespace {

ErrorBoxHook& Hook()
{
    static ErrorBoxHook hook;
    return hook;
}

} // namespace

QString ErrorBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back().unicode() > u'.')
        return message + QLatin1Char('.');
    return message;
}

void ShowErrorBox(QWidget* parent, const QString& message)
{
    const QString text = ErrorBoxText(message);
    if (Hook()) {
        Hook()(text);
        return;
    }
    ShowErrorMessage(parent, text);
}

void SetErrorBoxHook(ErrorBoxHook hook)
{
    Hook() = std::move(hook);
}
