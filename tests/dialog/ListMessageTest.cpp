// SPDX-License-Identifier: MIT
// The list message: every line kept in a list that scrolls, the window
// within the screen however many and however long the lines are.

#include "ui/ListMessageForm.h"

#include "kit/Platform.h"
#include "WhenModal.h"

#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>

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
