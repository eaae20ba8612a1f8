// SPDX-License-Identifier: MIT
// The list message: every line kept in a list that scrolls, the window
// within the screen however many and however long the lines are.

#include "ui/ListMessageForm.h"

#include "ui/Messages.h"

#include "WhenModal.h"
#include "kit/Platform.h"

#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>

#include <functional>
#include <vector>

#include <gtest/gtest.h>

TEST(ListMessage, FittedSizeStaysWithinTheScreen)
{
    const QSize screen(1280, 1024);
    const struct {
        QSize wanted, minimum, fitted;
    } cases[] = {
        {{400, 300}, {200, 100}, {400, 300}},
        {{8388863, 300}, {200, 100}, {1280 - 64, 300}},
        {{400, 900000}, {200, 100}, {400, 1024 - 64}},
        {{10, 10}, {200, 100}, {200, 100}},
        {{400, 300}, {5000, 5000}, {1280, 1024}}, // the minimum is bounded too
    };
    for (const auto& c : cases)
        EXPECT_EQ(TListMessageForm::FittedSize(c.wanted, c.minimum, screen), c.fitted);
}

TEST(ListMessage, AThousandsOfLongLinesScrollInsideTheScreen)
{
    QStringList lines;
    for (int i = 0; i < 5000; ++i)
        lines << QStringLiteral("CODE-%1: ").arg(i) + QString(200, u'Ж') + u'…';
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();

    bool checked = false;
    WhenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<TListMessageForm*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(available.contains(dialog->frameGeometry()) ||
                    available.contains(dialog->geometry()))
            << "within the screen";
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Veltrum Voltage Control Program"));
        EXPECT_EQ(dialog->HeadingLabel->text(), QStringLiteral("Каталог изменился:"));
        EXPECT_EQ(dialog->MessageList->count(), 5000);
        EXPECT_EQ(dialog->MessageList->item(4999)->text(), lines.last());
        EXPECT_GT(dialog->MessageList->verticalScrollBar()->maximum(), 0) << "the list scrolls";
        EXPECT_EQ(dialog->focusWidget(), dialog->OkBtn) << "the first focus is on OK";
        checked = true;
        dialog->OkBtn->click();
    });
    TListMessageForm::ShowList(QStringLiteral("Veltrum Voltage Control Program"),
                               QStringLiteral("Каталог изменился:"), lines, IDI_EXCLAMATION);
    EXPECT_TRUE(checked);
}

// The question over a list: OK alone opens; CANCEL, Escape and the close
// box keep things as they were. The first focus is on CANCEL, and Enter
// presses the focused button only, also after a move into the list.
TEST(ListMessage, AQuestionIsAnsweredByItsButtonsAndTheKeyboard)
{
    const QStringList lines{QStringLiteral("MK1-050: +5V, А 0.1 → 0.2"),
                            QStringLiteral("GONE-1: нет в каталоге, не добавлен")};
    using Act = std::function<void(TListMessageForm*)>;
    const auto press = [](Qt::Key key) {
        return [key](TListMessageForm*) { QTest::keyClick(QApplication::focusWidget(), key); };
    };
    const struct {
        const char* name;
        std::vector<Act> acts;
        MessageAnswer answer;
    } cases[] = {
        {"OK clicked", {[](TListMessageForm* d) { d->OkBtn->click(); }}, MessageAnswer::Ok},
        {"CANCEL clicked",
         {[](TListMessageForm* d) { d->CancelBtn->click(); }},
         MessageAnswer::Cancel},
        {"Enter on the first focus", {press(Qt::Key_Return)}, MessageAnswer::Cancel},
        {"Escape", {press(Qt::Key_Escape)}, MessageAnswer::Cancel},
        {"the close box", {[](TListMessageForm* d) { d->close(); }}, MessageAnswer::Cancel},
        {"Shift+Tab to OK, Enter",
         {[](TListMessageForm* d) { d->OkBtn->setFocus(Qt::BacktabFocusReason); },
          press(Qt::Key_Return)},
         MessageAnswer::Ok},
        {"Space on OK",
         {[](TListMessageForm* d) { d->OkBtn->setFocus(Qt::TabFocusReason); },
          press(Qt::Key_Space)},
         MessageAnswer::Ok},
        {"Enter in the list answers nothing, Escape then does",
         {[](TListMessageForm* d) { d->MessageList->setFocus(Qt::TabFocusReason); },
          press(Qt::Key_Return), press(Qt::Key_Escape)},
         MessageAnswer::Cancel},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QString firstFocus;
        bool cancelShown = false;
        int stillOpen = 0;
        WhenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<TListMessageForm*>(modal);
            ASSERT_NE(dialog, nullptr);
            EXPECT_TRUE(QTest::qWaitFor(
                [dialog] { return dialog->isAncestorOf(QApplication::focusWidget()); }));
            firstFocus = QApplication::focusWidget()->objectName();
            cancelShown = dialog->CancelBtn->isVisible();
            EXPECT_EQ(dialog->MessageList->count(), 2);
            for (const Act& act : c.acts) {
                if (!dialog->isVisible())
                    break;
                act(dialog);
                stillOpen += dialog->isVisible() ? 1 : 0;
            }
            if (dialog->isVisible()) {
                ADD_FAILURE() << "the dialog stays open";
                dialog->reject();
            }
        });
        EXPECT_EQ(AskOkCancelList(QStringLiteral("Veltrum Voltage Control Program"),
                                  QStringLiteral("Каталог изменился:"), lines),
                  c.answer);
        EXPECT_EQ(firstFocus, QStringLiteral("CancelBtn"));
        EXPECT_TRUE(cancelShown);
        EXPECT_EQ(stillOpen, static_cast<int>(c.acts.size()) - 1) << "only the last act answers";
    }
}

// The message with its one button shows no CANCEL; the hook hands the
// captions over so that a test can answer either.
TEST(ListMessage, TheHookSeesTheButtonsAndAnswersTheQuestion)
{
    std::vector<QStringList> seen;
    int answer = 1;
    TListMessageForm::SetShowHook(
        [&](const QString&, const QString&, const QStringList&, int, const QStringList& buttons) {
            seen.push_back(buttons);
            return answer;
        });
    HookScope scope(&TListMessageForm::SetShowHook);
    TListMessageForm::ShowList(QStringLiteral("t"), QStringLiteral("h"), {}, IDI_EXCLAMATION);
    EXPECT_EQ(AskOkCancelList(QStringLiteral("t"), QStringLiteral("h"), {}), MessageAnswer::Ok);
    answer = 2;
    EXPECT_EQ(AskOkCancelList(QStringLiteral("t"), QStringLiteral("h"), {}), MessageAnswer::Cancel);
    EXPECT_EQ(seen, (std::vector<QStringList>{
                        {QStringLiteral("OK")},
                        {QStringLiteral("OK"), QStringLiteral("CANCEL")},
                        {QStringLiteral("OK"), QStringLiteral("CANCEL")},
                    }));

    TListMessageForm message(QStringLiteral("t"), QStringLiteral("h"), {QStringLiteral("line")},
                             IDI_EXCLAMATION);
    EXPECT_TRUE(message.CancelBtn->isHidden());
}
