// SPDX-License-Identifier: MIT
// The program's style hands out standard icons unread; read later, they
// must be the platform style's own.

#include "kit/ProgramStyle.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace {

QImage Drawn(const QIcon& icon)
{
    return icon.pixmap(32, 32).toImage();
}

} // namespace

TEST(ProgramStyle, StandardIconsAreTheBaseStylesOnceRead)
{
    TProgramStyle style;
    const QStyle* base = style.baseStyle();
    for (const QStyle::StandardPixmap which :
         {QStyle::SP_MessageBoxCritical, QStyle::SP_MessageBoxQuestion,
          QStyle::SP_MessageBoxWarning, QStyle::SP_ToolBarHorizontalExtensionButton}) {
        const QIcon direct = base->standardIcon(which);
        ASSERT_FALSE(direct.isNull()) << which;

        const QIcon deferred = style.standardIcon(which);
        EXPECT_FALSE(deferred.isNull()) << which;
        EXPECT_EQ(deferred.availableSizes(), direct.availableSizes()) << which;
        EXPECT_EQ(deferred.actualSize(QSize(32, 32)), direct.actualSize(QSize(32, 32))) << which;
        EXPECT_EQ(Drawn(deferred), Drawn(direct)) << which;

        // A copy that detaches from its original draws as the original.
        const QIcon original = style.standardIcon(which);
        QIcon copy = original;
        QPixmap dot(1, 1);
        dot.fill(Qt::red);
        copy.addPixmap(dot);
        EXPECT_EQ(Drawn(copy), Drawn(direct)) << which;
        EXPECT_EQ(Drawn(original), Drawn(direct)) << which;

        // The widget that asked may be gone when the icon is first drawn.
        auto asker = std::make_unique<QWidget>();
        const QIcon orphan = style.standardIcon(which, nullptr, asker.get());
        asker.reset();
        EXPECT_EQ(Drawn(orphan), Drawn(direct)) << which;
    }
}
