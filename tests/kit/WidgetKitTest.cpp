// SPDX-License-Identifier: MIT
// The window's own widgets and faces: the banner group box sizes itself as a
// group box does, and the faces fall back to the application's family.

#include "kit/WidgetKit.h"
#include "kit/Platform.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

QString S(const char* text)
{
    return QString::fromUtf8(text);
}

// A group box with one short label inside, so that the title decides the
// width until the contents are made wide.
template <class Box> std::unique_ptr<Box> FilledBox(const QString& title)
{
    auto box = std::make_unique<Box>(title);
    auto* layout = new QVBoxLayout(box.get());
    layout->addWidget(new QLabel(S("x"), box.get()));
    return box;
}

} // namespace

// The banner box measures its title once, but must still answer exactly as
// QGroupBox does after its font, its title or its contents change.
TEST(BannerGroupBox, MinimumSizeIsAGroupBoxsOneThroughChanges)
{
    const QString title = S("  [  ПОИСК  ]  ");
    auto banner = FilledBox<TBannerGroupBox>(title);
    auto plain = FilledBox<QGroupBox>(title);
    EXPECT_EQ(banner->minimumSizeHint(), plain->minimumSizeHint());

    QFont large(S("DejaVu Sans"));
    large.setPixelSize(40);
    const QSize small = banner->minimumSizeHint();
    banner->setFont(large);
    plain->setFont(large);
    EXPECT_GT(banner->minimumSizeHint().width(), small.width());
    EXPECT_EQ(banner->minimumSizeHint(), plain->minimumSizeHint());

    const QString longer = S("  [  ОЧЕНЬ ДЛИННЫЙ ЗАГОЛОВОК ГРУППЫ  ]  ");
    const QSize before = banner->minimumSizeHint();
    banner->setTitle(longer);
    plain->setTitle(longer);
    EXPECT_GT(banner->minimumSizeHint().width(), before.width());
    EXPECT_EQ(banner->minimumSizeHint(), plain->minimumSizeHint());

    // Contents wider than the title widen the box.
    const QString wide(200, QLatin1Char('W'));
    banner->findChild<QLabel*>()->setText(wide);
    plain->findChild<QLabel*>()->setText(wide);
    EXPECT_EQ(banner->minimumSizeHint(), plain->minimumSizeHint());
}

TEST(InterfaceFaces, AnInstalledFaceOrTheApplicationsFamily)
{
    const QString applicationFamily = QGuiApplication::font().family();
    ASSERT_TRUE(QFontDatabase::families().contains(S("DejaVu Sans")));
    const struct {
        const char* face;
        int points;
        QString family;
    } cases[] = {
        {"DejaVu Sans", 8, S("DejaVu Sans")},
        {"dejavu sans", 11, S("dejavu sans")}, // names match whatever their case
        {"DejaVu", 8, applicationFamily},      // a prefix names no family
        {"No Such Face", 8, applicationFamily},
    };
    for (const auto& c : cases) {
        const QFont font = FaceOrApplicationFamily(S(c.face), c.points);
        EXPECT_EQ(font.family(), c.family) << c.face;
        EXPECT_EQ(font.pointSize(), c.points) << c.face;
    }
    // The window's and the lists' faces are 8 points whichever they get.
    EXPECT_EQ(FormFont().pointSize(), 8);
    EXPECT_EQ(ListFont().pointSize(), 8);
}

namespace {

// Relative luminance and contrast ratio as the accessibility guidelines
// define them.
double Luminance(const QColor& colour)
{
    const auto channel = [](double c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) +
           0.0722 * channel(colour.blueF());
}

double Contrast(const QColor& a, const QColor& b)
{
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

TEST(FlatButton, FocusShowsWithAtLeastThreeToOneAgainstTheFace)
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* button = new TFlatButton(QStringLiteral("ОЧИСТИТЬ"), &window);
    auto* other = new TFlatButton(QStringLiteral("УДАЛИТЬ"), &window);
    button->setFixedSize(120, 30);
    other->setFixedSize(120, 30);
    layout->addWidget(button);
    layout->addWidget(other);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    // A point on the left run of the ring, half way down, clear of the
    // caption and of the white shadow edge.
    const QPoint onRing(kFocusRingInset + kFocusRingWidth / 2, button->height() / 2);
    other->setFocus();
    const QImage unfocused = button->grab().toImage();
    button->setFocus();
    ASSERT_TRUE(button->hasFocus());
    const QImage focused = button->grab().toImage();

    const QColor face = unfocused.pixelColor(onRing);
    EXPECT_EQ(face, kAccentColor);
    EXPECT_GE(Contrast(focused.pixelColor(onRing), face), 3.0);
    // The ring runs all round: the top, right and bottom runs show too.
    for (const QPoint point : {QPoint(button->width() / 2, onRing.x()),
                               QPoint(button->width() - 1 - onRing.x(), button->height() / 2),
                               QPoint(button->width() / 2, button->height() - 1 - onRing.x())})
        EXPECT_GE(Contrast(focused.pixelColor(point), face), 3.0) << point.x() << "," << point.y();
}
