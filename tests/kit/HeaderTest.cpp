// SPDX-License-Identifier: MIT
// The header: reported widths and resizing sections by dragging their edges.

#include "kit/Header.h"

#include <QAccessible>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

QString S(const char* text)
{
    return QString::fromUtf8(text);
}

std::unique_ptr<THeader> ShownHeader()
{
    auto header = std::make_unique<THeader>();
    header->AddSection(S("   CODE"), 100);
    header->AddSection(S("   +5V"), 100);
    header->AddSection(S("   SLOTS"), 999); // a stored last width is never used
    header->resize(400, 20);
    header->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(header.get()));
    return header;
}

void DragTo(THeader& header, int x)
{
    const QPoint pos(x, 10);
    QMouseEvent move(QEvent::MouseMove, pos, header.mapToGlobal(pos), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(&header, &move);
}

TEST(Header, ReportedWidths)
{
    const auto header = ShownHeader();
    EXPECT_EQ(header->SectionWidths(), (QList<int>{100, 100, 200}));
    EXPECT_EQ(header->SectionWidth(-1), 0);
    EXPECT_EQ(header->SectionWidth(3), 0);
    header->SetSectionWidth(-1, 50); // ignored
    header->SetSectionWidth(0, 150);
    EXPECT_EQ(header->SectionWidths(), (QList<int>{150, 100, 150}));
    header->resize(500, 20);
    EXPECT_EQ(header->SectionWidth(2), 250);
    EXPECT_EQ(header->SectionCaption(1), S("   +5V"));
}

TEST(Header, DraggingAnEdge)
{
    const struct {
        const char* what;
        int pressX, moveX, section, width;
        bool sized; // released within the zone of the moved edge
    } cases[] = {
        {"widen the first section", 100, 130, 0, 130, true},
        {"press 3 px right of the edge", 103, 150, 0, 147, true},
        {"narrow the second section", 198, 170, 1, 72, true},
        {"first section stops 6 px from its left edge", 100, 0, 0, 6, false},
        {"second section stops 4 px from its left edge", 200, 20, 1, 4, false},
        {"stops 2 px before the client width", 200, 500, 1, 298, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto header = ShownHeader();
        QSignalSpy sizing(header.get(), &THeader::Sizing);
        QSignalSpy sized(header.get(), &THeader::Sized);
        QTest::mousePress(header.get(), Qt::LeftButton, {}, QPoint(c.pressX, 10));
        DragTo(*header, (c.pressX + c.moveX) / 2);
        DragTo(*header, c.moveX);
        QTest::mouseRelease(header.get(), Qt::LeftButton, {}, QPoint(c.moveX, 10));
        EXPECT_EQ(header->SectionWidth(c.section), c.width);
        ASSERT_EQ(sizing.count(), 2);
        EXPECT_EQ(sizing.last()[0].toInt(), c.section);
        EXPECT_EQ(sizing.last()[1].toInt(), c.width);
        ASSERT_EQ(sized.count(), c.sized ? 1 : 0);
        if (c.sized) {
            EXPECT_EQ(sized[0][0].toInt(), c.section);
            EXPECT_EQ(sized[0][1].toInt(), c.width);
        }
    }
}

TEST(Header, ResizeZoneAndReleaseWithoutDrag)
{
    const auto header = ShownHeader();
    QSignalSpy sizing(header.get(), &THeader::Sizing);
    QSignalSpy sized(header.get(), &THeader::Sized);

    QTest::mouseMove(header.get(), QPoint(197, 10));
    EXPECT_EQ(header->cursor().shape(), Qt::SplitHCursor);
    QTest::mouseMove(header.get(), QPoint(150, 10));
    EXPECT_NE(header->cursor().shape(), Qt::SplitHCursor);
    QTest::mouseMove(header.get(), QPoint(104, 10)); // 4 px off the edge
    EXPECT_NE(header->cursor().shape(), Qt::SplitHCursor);

    // A click on an edge reports the unchanged width.
    QTest::mouseClick(header.get(), Qt::LeftButton, {}, QPoint(202, 10));
    ASSERT_EQ(sized.count(), 1);
    EXPECT_EQ(sized[0][0].toInt(), 1);
    EXPECT_EQ(sized[0][1].toInt(), 100);

    // The last section's right edge and the inside of a section start no drag.
    for (const int x : {399, 50}) {
        QTest::mousePress(header.get(), Qt::LeftButton, {}, QPoint(x, 10));
        DragTo(*header, x - 30);
        QTest::mouseRelease(header.get(), Qt::LeftButton, {}, QPoint(x - 30, 10));
    }
    EXPECT_EQ(sizing.count(), 0);
    EXPECT_EQ(header->SectionWidths(), (QList<int>{100, 100, 200}));

    header->SetAllowResize(false);
    QTest::mousePress(header.get(), Qt::LeftButton, {}, QPoint(100, 10));
    DragTo(*header, 150);
    QTest::mouseRelease(header.get(), Qt::LeftButton, {}, QPoint(150, 10));
    EXPECT_EQ(sizing.count(), 0);
    EXPECT_EQ(header->SectionWidth(0), 100);
}

} // namespace

TEST(HeaderAccessibility, SectionsAreColumnHeadersNamedByTheirCaptions)
{
    QWidget window;
    THeader header(&window);
    header.AddSection(QStringLiteral("   ШИФР"), 100);
    header.AddSection(QStringLiteral("   +5V, А"), 60);
    header.resize(300, 20);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&header);
    ASSERT_NE(face, nullptr);
    ASSERT_EQ(face->childCount(), 2);
    const QStringList names{QStringLiteral("ШИФР"), QStringLiteral("+5V, А")};
    const QList<QRect> local{QRect(0, 0, 100, 20), QRect(100, 0, 200, 20)};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        QAccessibleInterface* section = face->child(i);
        ASSERT_NE(section, nullptr);
        EXPECT_EQ(section->role(), QAccessible::ColumnHeader);
        EXPECT_EQ(section->text(QAccessible::Name), names[i]);
        EXPECT_EQ(section->rect(), QRect(header.mapToGlobal(local[i].topLeft()), local[i].size()));
        EXPECT_EQ(section->parent(), face);
        EXPECT_EQ(face->indexOfChild(section), i);
        EXPECT_EQ(face->child(i), section) << "a section changed its identity";
    }
    // A section added later is found too.
    header.AddSection(QStringLiteral("   МОЩНОСТЬ, ВТ"), 0);
    ASSERT_EQ(face->childCount(), 3);
    EXPECT_EQ(face->child(2)->text(QAccessible::Name), QStringLiteral("МОЩНОСТЬ, ВТ"));
}
