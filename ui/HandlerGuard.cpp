// SPDX-License-Identifier: MIT
#include "HandlerGuard.h"

#include <QMessageBox>

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
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Veltrum Voltage Control Program"), text,
                    QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void SetErrorBoxHook(ErrorBoxHook hook)
{
    Hook() = std::move(hook);
}
