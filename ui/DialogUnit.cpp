// SPDX-License-Identifier: MIT
#include "ui/DialogUnit.h"

#include "kit/DialogLayout.h"
#include "kit/Platform.h"
#include "kit/WidgetKit.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include <memory>
#include <utility>

namespace {

constexpr int kIconTop = 16;
constexpr int kClosedResult = 2;

TmdDialogForm::AnswerHook& Hook()
{
    static TmdDialogForm::AnswerHook hook;
    return hook;
}

// The program's texts break lines with a carriage return alone; a line
// feed or the pair break them too.
QString DisplayText(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

// Screen readers hear the dialog as an alert: AT-SPI and Orca read an
// alert's name and text as soon as it is shown.
QAccessibleInterface* AlertInterface(const QString& className, QObject* object)
{
    if (className == QLatin1String("TmdDialogForm") && object != nullptr && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::AlertMessage);
    return nullptr;
}

} // namespace

TmdDialogForm::TmdDialogForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      TextPanel(new QWidget(this)), ButtonPanel(new QWidget(this)),
      IconImage(new QLabel(TextPanel)), TextLabel(new QLabel(TextPanel))
{
    static const bool alertInstalled = (QAccessible::installFactory(AlertInterface), true);
    Q_UNUSED(alertInstalled);
    setWindowTitle(QStringLiteral("mdDialogForm"));
    setSizeGripEnabled(false);

    // The system's button face colour behind everything; the panels are
    // transparent and show it.
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QApplication::palette().color(QPalette::Button));
    setPalette(colours);

    setFont(FormFont());

    IconImage->setAlignment(Qt::AlignCenter);
    IconImage->move(0, kIconTop);

    TextLabel->setTextFormat(Qt::PlainText);
    TextLabel->setWordWrap(false);
}

int TmdDialogForm::ShowDialog(const QString& title, const QString& text, int icon,
                              const QStringList& buttons)
{
    if (Hook())
        return Hook()(title, text, icon, buttons);

    // Owned here alone, so the dialog is destroyed exactly once, on every
    // way out of this function.
    auto dialog = std::make_unique<TmdDialogForm>();
    dialog->setWindowTitle(title);
    dialog->Arrange(text, icon, buttons);
    const int result = dialog->exec();
    dialog.reset();

    // Buttons answer 1..n; a close through the frame answers 2 itself, and
    // a modal loop ended from outside (the application exiting, the window
    // hidden) leaves no answer, which counts as closed.
    return result >= 1 && result <= buttons.size() ? result : kClosedResult;
}

void TmdDialogForm::SetAnswerHook(AnswerHook hook)
{
    Hook() = std::move(hook);
}

void TmdDialogForm::Arrange(const QString& text, int icon, const QStringList& buttons)
{
    const WindowMetrics metrics = SystemWindowMetrics();

    const int iconSize = StockIconSize();
    IconImage->setPixmap(StockIcon(icon).pixmap(iconSize, iconSize));
    IconImage->resize(iconSize, iconSize);

    TextLabel->setText(DisplayText(text));
    TextLabel->resize(TextLabel->sizeHint());

    const DialogLayout layout =
        LayoutDialog(IconImage->width(), IconImage->height(), IconImage->y(), TextLabel->width(),
                     TextLabel->height(), static_cast<int>(buttons.size()), metrics);

    IconImage->move(layout.iconLeft, layout.iconTop);
    TextLabel->move(layout.labelLeft, layout.labelTop);

    QPushButton* firstFocus = nullptr;
    for (int i = 0; i < buttons.size(); ++i) {
        // Tab and Shift+Tab walk the buttons; none is a default button, so
        // Enter presses the focused one only (keyPressEvent).
        auto* button = new TFlatButton(buttons.at(i), ButtonPanel);
        button->setFocusPolicy(Qt::StrongFocus);
        button->setAccessibleName(buttons.at(i));
        button->setProperty("Tag", i + 1);
        button->setGeometry(layout.buttonLefts.at(i), layout.buttonTop, layout.buttonWidth,
                            layout.buttonHeight);
        connect(button, &QPushButton::clicked, this, [this, button] { ButtonClick(button); });
        // The first focus is on the button that answers as closing does,
        // the answer that changes nothing, so a stray Enter never confirms.
        if (firstFocus == nullptr || i + 1 == kClosedResult)
            firstFocus = button;
    }
    if (firstFocus != nullptr)
        firstFocus->setFocus(Qt::OtherFocusReason);

    // Screen readers announce the dialog as an alert and read its text.
    setAccessibleName(windowTitle());
    setAccessibleDescription(TextLabel->text());

    // The layout gives the outer size; the client area is that less the
    // frame and caption terms the layout added.
    textPanelHeight_ = layout.textPanelHeight;
    resize(layout.outerWidth - metrics.frameWidth,
           layout.outerHeight - metrics.captionHeight - metrics.frameHeight);
    AlignPanels();
    CentreOnScreen(layout.outerWidth, layout.outerHeight);
}

void TmdDialogForm::AlignPanels()
{
    TextPanel->setGeometry(0, 0, width(), textPanelHeight_);
    ButtonPanel->setGeometry(0, textPanelHeight_, width(), qMax(0, height() - textPanelHeight_));
}

void TmdDialogForm::CentreOnScreen(int outerWidth, int outerHeight)
{
    const QWidget* active = QApplication::activeWindow();
    QScreen* screen = active != nullptr ? active->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - outerWidth) / 2, area.y() + (area.height() - outerHeight) / 2);
}

void TmdDialogForm::ButtonClick(QObject* sender)
{
    done(sender->property("Tag").toInt());
}

void TmdDialogForm::keyPressEvent(QKeyEvent* event)
{
    // Escape answers as closing through the frame; Enter presses the
    // focused button (Space does so in the button itself). QDialog's own
    // handling would reject with 0 and look for a default button.
    switch (event->key()) {
    case Qt::Key_Escape:
        event->accept();
        done(kClosedResult);
        return;
    case Qt::Key_Enter:
    case Qt::Key_Return:
        event->accept();
        if (auto* button = qobject_cast<QPushButton*>(focusWidget());
            button != nullptr && ButtonPanel->isAncestorOf(button))
            button->click();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void TmdDialogForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

void TmdDialogForm::closeEvent(QCloseEvent* event)
{
    // Close box, system menu, Alt+F4, and the application closing its
    // windows on quit all end here.
    if (isVisible())
        done(kClosedResult);
    event->accept();
}

void TmdDialogForm::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    AlignPanels();
}
