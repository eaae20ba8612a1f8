// SPDX-License-Identifier: MIT
#include "ui/DialogUnit.h"

#include "kit/Platform.h"
#include "WhenModal.h"

#include <QAccessible>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QString kTitle = QStringLiteral("Veltrum Voltage Control Program");
const QString kQuestion = QStringLiteral("Очистить корзину?");
const QStringList kOkCancel{QStringLiteral("OK"), QStringLiteral("CANCEL")};

QPushButton* ButtonWithCaption(QWidget* dialog, const QString& caption)
{
    const QList<QPushButton*> buttons = dialog->findChildren<QPushButton*>();
    for (QPushButton* button : buttons) {
        if (button->text() == caption)
            return button;
    }
    return nullptr;
}

// Shows a real dialog, lets `inspect` look at it while it is up, then
// closes it through the window.
void Inspect(const QString& text, const QStringList& captions,
             const std::function<void(TmdDialogForm*)>& inspect)
{
    WhenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<TmdDialogForm*>(modal);
        if (dialog != nullptr)
            inspect(dialog);
        else
            ADD_FAILURE() << "the modal window is not the message dialog";
        modal->close();
    });
    TmdDialogForm::ShowDialog(kTitle, text, IDI_QUESTION, captions);
}

TEST(ShowDialog, AButtonAnswersWithItsPositionAndTheDialogIsGone)
{
    const struct {
        QStringList captions;
        int pressed;
    } cases[] = {
        {{QStringLiteral("OK")}, 0},
        {kOkCancel, 0},
        {kOkCancel, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.captions.join(QLatin1Char(',')).toStdString() + " pressing " +
                     std::to_string(c.pressed));
        QPointer<QWidget> shown;
        QString caption;
        WhenModal([&](QWidget* modal) {
            shown = modal;
            caption = modal->windowTitle();
            QPushButton* button = ButtonWithCaption(modal, c.captions.at(c.pressed));
            if (button == nullptr) {
                ADD_FAILURE() << "no button with that caption";
                modal->close();
                return;
            }
            QTest::mouseClick(button, Qt::LeftButton);
        });
        const int result = TmdDialogForm::ShowDialog(kTitle, kQuestion, IDI_QUESTION, c.captions);

        EXPECT_EQ(result, c.pressed + 1);
        EXPECT_EQ(caption, kTitle);
        EXPECT_TRUE(shown.isNull()) << "the dialog outlived its call";
    }
}

TEST(ShowDialog, ClosingThroughTheWindowAnswersTwo)
{
    for (const QStringList& captions : {QStringList{QStringLiteral("OK")}, kOkCancel}) {
        SCOPED_TRACE(captions.join(QLatin1Char(',')).toStdString());
        QPointer<QWidget> shown;
        WhenModal([&](QWidget* modal) {
            shown = modal;
            modal->close();
        });
        EXPECT_EQ(TmdDialogForm::ShowDialog(kTitle, kQuestion, IDI_QUESTION, captions), 2);
        EXPECT_TRUE(shown.isNull());
    }
}

// A key as the keyboard gives it: to whatever widget has the focus.
void PressOnFocus(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* focused = QApplication::focusWidget();
    ASSERT_NE(focused, nullptr) << "nothing has the focus";
    QTest::keyClick(focused, key, modifiers);
}

QString FocusedCaption()
{
    auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget());
    return button != nullptr ? button->text() : QString();
}

TEST(ShowDialog, TheKeyboardAnswersIt)
{
    const QStringList ok{QStringLiteral("OK")};
    const struct {
        const char* name;
        QStringList captions;
        QList<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys;
        int answer;
    } cases[] = {
        {"Enter on the first focus", kOkCancel, {{Qt::Key_Return, {}}}, 2},
        {"keypad Enter on the first focus", kOkCancel, {{Qt::Key_Enter, {}}}, 2},
        {"Space on the first focus", kOkCancel, {{Qt::Key_Space, {}}}, 2},
        {"Tab to OK, Enter", kOkCancel, {{Qt::Key_Tab, {}}, {Qt::Key_Return, {}}}, 1},
        {"Shift+Tab to OK, Space",
         kOkCancel,
         {{Qt::Key_Backtab, Qt::ShiftModifier}, {Qt::Key_Space, {}}},
         1},
        {"Tab twice comes back",
         kOkCancel,
         {{Qt::Key_Tab, {}}, {Qt::Key_Tab, {}}, {Qt::Key_Return, {}}},
         2},
        {"Escape after Tab to OK", kOkCancel, {{Qt::Key_Tab, {}}, {Qt::Key_Escape, {}}}, 2},
        {"Enter on the only button", ok, {{Qt::Key_Return, {}}}, 1},
        {"Space on the only button", ok, {{Qt::Key_Space, {}}}, 1},
        {"Escape on the only button", ok, {{Qt::Key_Escape, {}}}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QPointer<QWidget> shown;
        QString firstFocus;
        WhenModal([&](QWidget* modal) {
            shown = modal;
            if (!QTest::qWaitFor([modal] {
                    return QApplication::focusWidget() != nullptr &&
                           modal->isAncestorOf(QApplication::focusWidget());
                })) {
                ADD_FAILURE() << "no button of the dialog has the focus";
                modal->close();
                return;
            }
            firstFocus = FocusedCaption();
            for (const auto& [key, modifiers] : c.keys)
                if (modal->isVisible())
                    PressOnFocus(key, modifiers);
            if (modal->isVisible()) { // a key that should have answered did not
                ADD_FAILURE() << "the keys left the dialog open";
                modal->close();
            }
        });
        EXPECT_EQ(TmdDialogForm::ShowDialog(kTitle, kQuestion, IDI_QUESTION, c.captions), c.answer);
        // CANCEL changes nothing, as closing does; so a stray Enter never confirms.
        EXPECT_EQ(firstFocus, c.captions.size() == 2 ? QStringLiteral("CANCEL") : c.captions[0]);
        EXPECT_TRUE(shown.isNull());
    }
}

TEST(ShowDialog, OtherKeysLeaveItOpen)
{
    bool openAfterKeys = false;
    WhenModal([&](QWidget* modal) {
        for (Qt::Key key : {Qt::Key_A, Qt::Key_Up, Qt::Key_Down, Qt::Key_F1})
            QTest::keyClick(modal, key);
        openAfterKeys = modal->isVisible() && QApplication::activeModalWidget() == modal;
        modal->close();
    });
    EXPECT_EQ(TmdDialogForm::ShowDialog(kTitle, kQuestion, IDI_QUESTION, kOkCancel), 2);
    EXPECT_TRUE(openAfterKeys);
}

TEST(ShowDialog, ScreenReadersHearAnAlertWithItsText)
{
    QAccessible::Role role = QAccessible::NoRole;
    QString name, description;
    Inspect(QStringLiteral("Корзина заполнена!"), {QStringLiteral("OK")},
            [&](TmdDialogForm* dialog) {
                QAccessibleInterface* face = QAccessible::queryAccessibleInterface(dialog);
                ASSERT_NE(face, nullptr);
                role = face->role();
                name = face->text(QAccessible::Name);
                description = face->text(QAccessible::Description);
            });
    EXPECT_EQ(role, QAccessible::AlertMessage);
    EXPECT_EQ(name, kTitle);
    EXPECT_EQ(description, QStringLiteral("Корзина заполнена!"));
}

// The offscreen platform has no window frame, so the layout uses frames of
// 4 and a caption of 18 and the client area is the outer size less them.
TEST(ShowDialog, GeometryFollowsTheLayout)
{
    const int icon = StockIconSize();
    Inspect(kQuestion, kOkCancel, [&](TmdDialogForm* dialog) {
        EXPECT_EQ(dialog->width(), 360);
        EXPECT_EQ(dialog->TextPanel->geometry(), QRect(0, 0, 360, icon + 32));
        EXPECT_EQ(dialog->ButtonPanel->geometry(), QRect(0, icon + 32, 360, 56));
        EXPECT_EQ(dialog->height(), icon + 32 + 56);
        EXPECT_EQ(dialog->IconImage->geometry(), QRect(dialog->IconImage->x(), 16, icon, icon));

        const QList<QPushButton*> buttons = dialog->ButtonPanel->findChildren<QPushButton*>();
        ASSERT_EQ(buttons.size(), 2);
        EXPECT_EQ(buttons.at(0)->geometry(), QRect(72, 14, 72, 28));
        EXPECT_EQ(buttons.at(1)->geometry(), QRect(216, 14, 72, 28));
        for (QPushButton* button : buttons) {
            EXPECT_TRUE(button->focusPolicy() & Qt::TabFocus);
            EXPECT_FALSE(button->autoDefault() || button->isDefault());
        }

        // Resizing through the frame moves nothing; the button panel takes
        // what remains below the text panel.
        const QRect label = dialog->TextLabel->geometry();
        dialog->resize(600, 400);
        EXPECT_EQ(buttons.at(0)->pos(), QPoint(72, 14));
        EXPECT_EQ(buttons.at(1)->pos(), QPoint(216, 14));
        EXPECT_EQ(dialog->TextLabel->geometry(), label);
        EXPECT_EQ(dialog->TextPanel->geometry(), QRect(0, 0, 600, icon + 32));
        EXPECT_EQ(dialog->ButtonPanel->geometry(), QRect(0, icon + 32, 600, 400 - icon - 32));
    });
}

TEST(ShowDialog, ALongLineWidensTheDialog)
{
    const QString line = QStringLiteral("Ошибка выполнения SQL запроса ").repeated(8);
    Inspect(line, {QStringLiteral("OK")}, [&](TmdDialogForm* dialog) {
        const QRect icon = dialog->IconImage->geometry();
        const QRect label = dialog->TextLabel->geometry();
        const int oneLine = QFontMetrics(dialog->font()).height();
        EXPECT_LE(label.height(), oneLine + 1) << "the line was wrapped";
        // Client width is the content width: three icon widths, the gap
        // and the label.
        EXPECT_EQ(dialog->width(), 3 * icon.width() + label.height() + label.width());
        // The group is centred on half the outer width, client width + 4.
        EXPECT_EQ(icon.left(),
                  (dialog->width() + 4) / 2 - (icon.width() + label.height() + label.width()) / 2);
        EXPECT_EQ(label.left(), icon.right() + 1 + label.height());
    });
}

TEST(ShowDialog, LineBreaksAndTabsInTheText)
{
    QString shownText;
    int labelHeight = 0;
    int labelCentre = 0;
    int iconCentre = 0;
    int panelHeight = 0;
    Inspect(QStringLiteral("Первая\rВторая\r\nТретья\nЧетвёртая\rПятая"), kOkCancel,
            [&](TmdDialogForm* dialog) {
                shownText = dialog->TextLabel->text();
                labelHeight = dialog->TextLabel->height();
                labelCentre = dialog->TextLabel->y() + labelHeight / 2;
                iconCentre = dialog->IconImage->y() + dialog->IconImage->height() / 2;
                panelHeight = dialog->TextPanel->height();
            });
    EXPECT_EQ(shownText, QStringLiteral("Первая\nВторая\nТретья\nЧетвёртая\nПятая"));
    EXPECT_GE(labelHeight, 5 * QFontMetrics(QApplication::font()).height() / 2);
    EXPECT_LE(std::abs(labelCentre - iconCentre), 1);
    EXPECT_EQ(panelHeight, StockIconSize() + 32);

    int withTab = 0;
    int withSpace = 0;
    Inspect(QStringLiteral("Код\tИмя"), kOkCancel,
            [&](TmdDialogForm* dialog) { withTab = dialog->TextLabel->width(); });
    Inspect(QStringLiteral("Код Имя"), kOkCancel,
            [&](TmdDialogForm* dialog) { withSpace = dialog->TextLabel->width(); });
    EXPECT_GT(withTab, withSpace + 10) << "the tab was not expanded";
}

TEST(ShowDialog, TheApplicationEndingWhileItIsUpAnswersTwo)
{
    // The test executable runs no event loop of its own, so each case runs
    // one here for the dialog to be called from, as the program does.
    const struct {
        const char* name;
        void (*end)();
    } cases[] = {
        {"quit closes the windows", [] { QCoreApplication::quit(); }},
        {"exit ends the loops", [] { QCoreApplication::exit(0); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        int result = -1;
        QPointer<QWidget> shown;
        QTimer::singleShot(0, qApp, [&] {
            WhenModal([&](QWidget* modal) {
                shown = modal;
                c.end();
            });
            result = TmdDialogForm::ShowDialog(kTitle, kQuestion, IDI_QUESTION, kOkCancel);
        });
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, qApp, [] { QCoreApplication::exit(1); });
        watchdog.start(10000);
        EXPECT_EQ(QApplication::exec(), 0);
        EXPECT_EQ(result, 2);
        EXPECT_TRUE(shown.isNull());
    }

    // The application's loop has ended and been reset: dialogs work again.
    WhenModal([](QWidget* modal) {
        if (QPushButton* button = ButtonWithCaption(modal, QStringLiteral("OK")))
            button->click();
    });
    EXPECT_EQ(TmdDialogForm::ShowDialog(kTitle, kQuestion, IDI_QUESTION, kOkCancel), 1);
}

TEST(ShowDialog, TheAnswerHookStandsInForTheWindow)
{
    QString seen;
    TmdDialogForm::SetAnswerHook(
        [&](const QString& title, const QString& text, int icon, const QStringList& buttons) {
            seen = title + QLatin1Char('|') + text + QLatin1Char('|') + QString::number(icon) +
                   QLatin1Char('|') + buttons.join(QLatin1Char(','));
            EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
            return 1;
        });
    HookScope scope(&TmdDialogForm::SetAnswerHook);
    EXPECT_EQ(TmdDialogForm::ShowDialog(kTitle, kQuestion, IDI_QUESTION, kOkCancel), 1);
    EXPECT_EQ(seen, kTitle + QStringLiteral("|Очистить корзину?|32514|OK,CANCEL"));
}

} // namespace
