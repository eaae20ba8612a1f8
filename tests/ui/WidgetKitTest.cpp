// The window's own widgets and faces: the banner group box sizes itself as a
// group box does, and the faces fall back to the application's family.

#include "WidgetKit.h"
#include "Platform.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QVBoxLayout>

#include <gtest/gtest.h>

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

TEST(InterfaceFaces, EightPointsInTheFaceOrTheApplicationsFamily)
{
    const struct {
        QFont font;
        const char* face;
    } faces[] = {{FormFont(), "MS Sans Serif"}, {ListFont(), "Verdana"}};
    for (const auto& c : faces) {
        EXPECT_EQ(c.font.pointSize(), 8) << c.face;
        const bool installed = QFontDatabase::families().contains(S(c.face), Qt::CaseInsensitive);
        EXPECT_EQ(c.font.family(), installed ? S(c.face) : QGuiApplication::font().family())
            << c.face;
    }
}
