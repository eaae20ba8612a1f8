// SPDX-License-Identifier: MIT
#include "ui/Messages.h"

#include "ui/DialogUnit.h"
#include "ui/ListMessageForm.h"
#include "kit/Platform.h"

#include <QMessageBox>

namespace {

// TmdDialogForm::ShowDialog answers the 1-based number of the button.
constexpr int kFirstButton = 1;

} // namespace

void ShowMessage(const QString& title, const QString& text, MessageKind kind)
{
    TmdDialogForm::ShowDialog(title, text, kind == MessageKind::Error ? IDI_HAND : IDI_EXCLAMATION,
                              {QStringLiteral("OK")});
}

MessageAnswer AskOkCancel(const QString& title, const QString& text)
{
    const int answer = TmdDialogForm::ShowDialog(title, text, IDI_QUESTION,
                                                 {QStringLiteral("OK"), QStringLiteral("CANCEL")});
    return answer == kFirstButton ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

MessageAnswer AskOkCancelList(const QString& title, const QString& heading,
                              const QStringList& lines)
{
    return TListMessageForm::AskList(title, heading, lines, IDI_EXCLAMATION)
               ? MessageAnswer::Ok
               : MessageAnswer::Cancel;
}

void ShowErrorMessage(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Veltrum Voltage Control Program"), text,
                    QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
