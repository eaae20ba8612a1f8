// SPDX-License-Identifier: MIT
#include "ui/ListMessageForm.h"

#include "kit/Platform.h"
#include "kit/WidgetKit.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {

constexpr int kScreenMargin = 32; // pixels kept free on every side of the screen
constexpr int kVisibleLines = 16; // lines shown before the list scrolls

TListMessageForm::ShowHook& Hook()
{
    static TListMessageForm::ShowHook hook;
    return hook;
}

QAccessibleInterface* AlertInterface(const QString& className, QObject* object)
{
    if (className == QLatin1String("TListMessageForm") && object != nullptr &&
        object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::AlertMessage);
    return nullptr;
}

} // namespace

TListMessageForm::TListMessageForm(const QString& title, const QString& heading,
                                   const QStringList& lines, int icon, Buttons buttons,
                                   QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      IconImage(new QLabel(this)), HeadingLabel(new QLabel(this)),
      MessageList(new QListWidget(this)), OkBtn(new TFlatButton(QStringLiteral("OK"), this)),
      CancelBtn(new TFlatButton(QStringLiteral("CANCEL"), this))
{
    static const bool alertInstalled = (QAccessible::installFactory(AlertInterface), true);
    Q_UNUSED(alertInstalled);
    setObjectName(QStringLiteral("TListMessageForm"));
    IconImage->setObjectName(QStringLiteral("IconImage"));
    HeadingLabel->setObjectName(QStringLiteral("HeadingLabel"));
    MessageList->setObjectName(QStringLiteral("MessageList"));
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    setWindowTitle(title);
    setAccessibleName(title);
    setAccessibleDescription(heading);

    // As the message dialog: the button face colour behind everything and
    // the form's font.
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QApplication::palette().color(QPalette::Button));
    setPalette(colours);
    setFont(FormFont());

    const int iconSize = StockIconSize();
    IconImage->setPixmap(StockIcon(icon).pixmap(iconSize, iconSize));
    IconImage->setFixedSize(iconSize, iconSize);
    HeadingLabel->setTextFormat(Qt::PlainText);
    HeadingLabel->setWordWrap(true);
    HeadingLabel->setText(heading);

    MessageList->addItems(lines);
    MessageList->setAccessibleName(heading);
    MessageList->setSelectionMode(QAbstractItemView::NoSelection);
    MessageList->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    MessageList->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    MessageList->setUniformItemSizes(true); // thousands of lines are measured once
    MessageList->setVisible(!lines.isEmpty());

    const bool question = buttons == Buttons::OkCancel;
    for (QPushButton* button : {OkBtn, CancelBtn}) {
        button->setAccessibleName(button->text());
        button->setFocusPolicy(Qt::StrongFocus);
        // A question is answered by the focused button alone (keyPressEvent),
        // never by a default one.
        button->setAutoDefault(!question);
    }
    CancelBtn->setVisible(question);
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto* top = new QHBoxLayout;
    top->addWidget(IconImage, 0, Qt::AlignTop);
    top->addWidget(HeadingLabel, 1);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(OkBtn);
    buttonRow->addWidget(CancelBtn);
    buttonRow->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(MessageList, 1);
    layout->addLayout(buttonRow);

    // As wide as the longest line and as tall as kVisibleLines, within the
    // screen: the list scrolls for the rest.
    const QFontMetrics metrics(MessageList->font());
    int widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, metrics.horizontalAdvance(line));
    const int rowHeight = std::max(metrics.height(), MessageList->sizeHintForRow(0));
    MessageList->setMinimumHeight(rowHeight * std::min<int>(4, static_cast<int>(lines.size())));
    const QSize wanted(std::max(widest + 64, 360),
                       sizeHint().height() +
                           rowHeight *
                               std::min<int>(kVisibleLines, static_cast<int>(lines.size())));
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize available = screen ? screen->availableGeometry().size() : QSize(1024, 768);
    resize(FittedSize(wanted, minimumSizeHint(), available));
    setMaximumSize(available);
    if (screen)
        move(screen->availableGeometry().center() - rect().center());
    // The first focus is on the answer that changes nothing.
    (question ? CancelBtn : OkBtn)->setFocus(Qt::OtherFocusReason);
}

void TListMessageForm::keyPressEvent(QKeyEvent* event)
{
    if (CancelBtn->isHidden()) {
        QDialog::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Escape:
        event->accept();
        reject();
        return;
    case Qt::Key_Enter:
    case Qt::Key_Return:
        event->accept();
        if (focusWidget() == OkBtn || focusWidget() == CancelBtn)
            static_cast<QPushButton*>(focusWidget())->click();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

QSize TListMessageForm::FittedSize(QSize wanted, QSize minimum, QSize available)
{
    const QSize room = available - QSize(2 * kScreenMargin, 2 * kScreenMargin);
    return wanted.boundedTo(room).expandedTo(minimum.boundedTo(available));
}

void TListMessageForm::ShowList(const QString& title, const QString& heading,
                                const QStringList& lines, int icon)
{
    if (Hook()) {
        Hook()(title, heading, lines, icon, {QStringLiteral("OK")});
        return;
    }
    TListMessageForm dialog(title, heading, lines, icon);
    dialog.exec();
}

bool TListMessageForm::AskList(const QString& title, const QString& heading,
                               const QStringList& lines, int icon)
{
    if (Hook())
        return Hook()(title, heading, lines, icon,
                      {QStringLiteral("OK"), QStringLiteral("CANCEL")}) == 1;
    TListMessageForm dialog(title, heading, lines, icon, Buttons::OkCancel);
    return dialog.exec() == QDialog::Accepted;
}

void TListMessageForm::SetShowHook(ShowHook hook)
{
    Hook() = std::move(hook);
}
