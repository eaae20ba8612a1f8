// SPDX-License-Identifier: MIT
// The crate's picture: its geometry on tables, the names a screen reader
// hears, choosing entries by keys and mouse, and the moves asked for by
// Alt+arrows and by dragging a block.

#include "kit/RackView.h"
#include "kit/RackPicture.h"

#include <QAccessible>
#include <QDir>
#include <QImage>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <memory>
#include <ostream>

inline void PrintTo(const TRackRun& r, std::ostream* out)
{
    *out << r.first << "-" << r.last;
}
inline void PrintTo(const TRackPart& p, std::ostream* out)
{
    *out << (p.freeRun ? "free " : "item ") << p.index;
}

namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

TRackItem Block(const char* code, std::int64_t first, std::int64_t span, bool outside = false)
{
    TRackItem item;
    item.code = QString::fromUtf8(code);
    item.firstSlot = first;
    item.slotSpan = span;
    item.outside = outside;
    return item;
}

TRackItem Marker(const char* code, std::int64_t before, bool outside = false)
{
    TRackItem item = Block(code, before, 0, outside);
    item.noSlot = true;
    return item;
}

TEST(RackPicture, FreeRunsAndTheOrderOfParts)
{
    using Parts = std::vector<TRackPart>;
    const struct {
        const char* what;
        std::vector<TRackItem> items;
        std::int64_t slots;
        std::vector<TRackRun> free;
        Parts parts;
    } cases[] = {
        {"empty crate", {}, 17, {{1, 17}}, Parts{{true, 0}}},
        {"crate of no slots", {}, 0, {}, Parts{}},
        {"blocks then the free slots",
         {Block("A", 1, 2), Block("B", 3, 1)},
         17,
         {{4, 17}},
         Parts{{false, 0}, {false, 1}, {true, 0}}},
        {"full crate", {Block("A", 1, 4)}, 4, {}, Parts{{false, 0}}},
        {"a marker before the slot it stands at, before the free run",
         {Block("A", 1, 2), Marker("M", 3)},
         4,
         {{3, 4}},
         Parts{{false, 0}, {false, 1}, {true, 0}}},
        {"gaps between blocks given out of order",
         {Block("B", 5, 2), Block("A", 2, 1)},
         8,
         {{1, 1}, {3, 4}, {7, 8}},
         Parts{{true, 0}, {false, 1}, {true, 1}, {false, 0}, {true, 2}}},
        {"outside entries come last and take no slot of the crate",
         {Block("A", 1, 2), Block("Z", 3, 5, true), Marker("M", 8, true)},
         4,
         {{3, 4}},
         Parts{{false, 0}, {true, 0}, {false, 1}, {false, 2}}},
        {"a block to the largest slot",
         {Block("A", 2, kMax)},
         kMax,
         {{1, 1}},
         Parts{{true, 0}, {false, 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<TRackRun> free = RackFreeRuns(c.items, c.slots);
        EXPECT_EQ(free, c.free);
        EXPECT_EQ(RackParts(c.items, free), c.parts);
    }
}

TEST(RackPicture, SpokenNames)
{
    TRackItem twoSlots = Block("AI-16D", 3, 2);
    twoSlots.name = QStringLiteral("Модуль ввода");
    TRackItem nameless = Block("DO-8", 5, 1);
    TRackItem marker = Marker("CENTI-Q", 7);
    marker.name = QStringLiteral("Центратор");
    TRackItem outside = Block("ZB012", 18, 1, true);
    outside.name = QStringLiteral("Заглушка");
    EXPECT_EQ(RackItemName(twoSlots), QStringLiteral("слоты 3–4: AI-16D, Модуль ввода"));
    EXPECT_EQ(RackItemName(nameless), QStringLiteral("слот 5: DO-8"));
    EXPECT_EQ(RackItemName(marker), QStringLiteral("без слота: CENTI-Q, Центратор"));
    EXPECT_EQ(RackItemName(outside), QStringLiteral("вне корзины: ZB012, Заглушка"));
    EXPECT_EQ(RackFreeRunName({9, 17}), QStringLiteral("слоты 9–17: свободно"));
    EXPECT_EQ(RackFreeRunName({17, 17}), QStringLiteral("слот 17: свободно"));
}

// Whole pixels everywhere: no padding, 10 px of numbers, 6 px markers,
// a gap of 12 px before the entries outside.
TRackMetrics PlainMetrics(double maxSlotWidth = 1000)
{
    TRackMetrics metrics;
    metrics.numberHeight = 10;
    metrics.digitWidth = 5;
    metrics.markerWidth = 6;
    metrics.gap = 12;
    metrics.padding = 0;
    metrics.maxSlotWidth = maxSlotWidth;
    return metrics;
}

QRectF Body(double left, double width)
{
    return {left, 10, width, 90};
}

TEST(RackPicture, GeometryOfBlocksFreeSlotsMarkersAndOutside)
{
    const struct {
        const char* what;
        std::vector<TRackItem> items;
        std::int64_t slots;
        double width, maxSlotWidth;
        double slotWidth;
        QRectF crate;
        std::vector<QRectF> blocks, free;
        QRectF outside;
    } cases[] = {
        {"a block and the free slots",
         {Block("A", 1, 2)},
         4,
         400,
         1000,
         100,
         Body(0, 400),
         {Body(0, 200)},
         {Body(200, 200)},
         {}},
        {"a marker takes its own narrow room",
         {Block("A", 1, 1), Marker("M", 2), Block("B", 2, 1)},
         4,
         406,
         1000,
         100,
         Body(0, 406),
         {Body(0, 100), Body(100, 6), Body(106, 100)},
         {Body(206, 200)},
         {}},
        {"two markers at one place stand side by side",
         {Marker("M", 1), Marker("N", 1)},
         2,
         212,
         1000,
         100,
         Body(0, 212),
         {Body(0, 6), Body(6, 6)},
         {Body(12, 200)},
         {}},
        {"outside entries after the gap",
         {Block("A", 1, 4), Block("Z", 5, 2, true)},
         4,
         612,
         1000,
         100,
         Body(0, 400),
         {Body(0, 400), Body(412, 200)},
         {},
         Body(412, 200)},
        {"a huge outside entry is shown eight slots wide",
         {Block("A", 1, 1), Block("Z", 2, kMax - 1, true), Marker("M", kMax, true)},
         2,
         1018,
         1000,
         100,
         Body(0, 200),
         {Body(0, 100), Body(212, 800), Body(1012, 6)},
         {Body(100, 100)},
         Body(212, 806)},
        {"a crate of few slots keeps its shape",
         {},
         4,
         1000,
         50,
         50,
         Body(0, 200),
         {},
         {Body(0, 200)},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const TRackLayout layout =
            RackLayout(c.items, c.slots, QRectF(0, 0, c.width, 100), PlainMetrics(c.maxSlotWidth));
        EXPECT_DOUBLE_EQ(layout.slotWidth, c.slotWidth);
        EXPECT_EQ(layout.crate, c.crate);
        EXPECT_EQ(layout.blocks, c.blocks);
        EXPECT_EQ(layout.freeRuns, c.free);
        EXPECT_EQ(layout.outside, c.outside);
    }
}

std::vector<std::int64_t> Numbers(const TRackLayout& layout)
{
    std::vector<std::int64_t> slots;
    for (const TRackNumber& number : layout.numbers)
        slots.push_back(number.slot);
    return slots;
}

TEST(RackPicture, SlotNumbersNeverOverlap)
{
    const auto layout = [](std::int64_t slots, double width) {
        return RackLayout({}, slots, QRectF(0, 0, width, 100), PlainMetrics());
    };
    // Wide slots: every slot numbered, each number over its slot.
    const TRackLayout four = layout(4, 400);
    EXPECT_EQ(Numbers(four), (std::vector<std::int64_t>{1, 2, 3, 4}));
    EXPECT_EQ(four.numbers[2].rect, QRectF(200, 0, 100, 10));

    // 64 slots of 10 px, labels of 14 px: every second slot, and the last.
    const std::vector<std::int64_t> sixtyFour = Numbers(layout(64, 640));
    ASSERT_EQ(sixtyFour.size(), 32u);
    EXPECT_EQ(sixtyFour[0], 1);
    EXPECT_EQ(sixtyFour[1], 4);
    EXPECT_EQ(sixtyFour.back(), 64);

    // Whatever the count, the numbers keep a label's width apart and the
    // first and last slots are numbered.
    for (const std::int64_t slots : {std::int64_t{17}, std::int64_t{63}, std::int64_t{1000},
                                     std::int64_t{1'000'000'007}, kMax}) {
        SCOPED_TRACE(slots);
        const TRackLayout big = layout(slots, 500);
        ASSERT_GE(big.numbers.size(), 2u);
        EXPECT_LT(big.numbers.size(), 60u);
        EXPECT_EQ(big.numbers.front().slot, 1);
        EXPECT_EQ(big.numbers.back().slot, slots);
        const double label = QString::number(slots).size() * 5 + 4;
        for (size_t i = 1; i < big.numbers.size(); ++i)
            EXPECT_GE(big.numbers[i].rect.left() - big.numbers[i - 1].rect.left(), label * 0.999)
                << big.numbers[i - 1].slot << " and " << big.numbers[i].slot;
    }
}

std::vector<TRackItem> SampleItems()
{
    TRackItem a = Block("AI-16D", 1, 2);
    a.name = QStringLiteral("Модуль ввода");
    TRackItem m = Marker("CENTI-Q", 3);
    m.name = QStringLiteral("Центратор");
    TRackItem b = Block("DO-8", 3, 1);
    TRackItem z = Block("ZB012", 5, 2, true);
    z.name = QStringLiteral("Заглушка");
    return {a, m, b, z};
}

class RackViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        view_ = std::make_unique<TRackView>();
        view_->SetItems(SampleItems(), 4);
        view_->resize(600, 120);
        view_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view_.get()));
    }
    QPoint CentreOf(int item) const
    {
        return view_->Layout().blocks[static_cast<size_t>(item)].center().toPoint();
    }
    void Drag(int item, QPoint to)
    {
        QTest::mousePress(view_.get(), Qt::LeftButton, {}, CentreOf(item));
        const QPoint from = CentreOf(item);
        for (const QPoint at : {from + QPoint(5, 0), (from + to) / 2, to}) {
            QMouseEvent move(QEvent::MouseMove, at, view_->mapToGlobal(at), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(view_.get(), &move);
        }
        QTest::mouseRelease(view_.get(), Qt::LeftButton, {}, to);
    }

    std::unique_ptr<TRackView> view_;
};

TEST_F(RackViewTest, ScreenReadersHearEveryBlockAndFreeRunInTheOrderDrawn)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(view_.get());
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), QAccessible::List);
    const QStringList names{QStringLiteral("слоты 1–2: AI-16D, Модуль ввода"),
                            QStringLiteral("без слота: CENTI-Q, Центратор"),
                            QStringLiteral("слот 3: DO-8"), QStringLiteral("слот 4: свободно"),
                            QStringLiteral("вне корзины: ZB012, Заглушка")};
    ASSERT_EQ(face->childCount(), names.size());
    const TRackLayout layout = view_->Layout();
    const std::vector<QRectF> where{layout.blocks[0], layout.blocks[1], layout.blocks[2],
                                    layout.freeRuns[0], layout.blocks[3]};
    for (int i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(i);
        QAccessibleInterface* part = face->child(i);
        ASSERT_NE(part, nullptr);
        EXPECT_EQ(part->role(), QAccessible::ListItem);
        EXPECT_EQ(part->text(QAccessible::Name), names[i]);
        EXPECT_EQ(face->indexOfChild(part), i);
        const QRect local = where[static_cast<size_t>(i)].toAlignedRect();
        EXPECT_EQ(part->rect(), QRect(view_->mapToGlobal(local.topLeft()), local.size()));
        EXPECT_EQ(face->childAt(part->rect().center().x(), part->rect().center().y()), part);
    }

    // The children follow the items: a fuller crate, a chosen entry.
    std::vector<TRackItem> fuller = SampleItems();
    fuller[3] = Block("ZB012", 4, 1);
    fuller[3].name = QStringLiteral("Заглушка");
    view_->SetItems(fuller, 4);
    view_->setFocus();
    view_->SetCurrent(2);
    ASSERT_EQ(face->childCount(), 4);
    EXPECT_EQ(face->child(3)->text(QAccessible::Name), QStringLiteral("слот 4: ZB012, Заглушка"));
    EXPECT_TRUE(face->child(2)->state().selected);
    EXPECT_FALSE(face->child(0)->state().selected);
}

TEST_F(RackViewTest, EachBlockShowsItsOwnTooltip)
{
    std::vector<TRackItem> items = SampleItems();
    for (size_t i = 0; i < items.size(); ++i)
        items[i].toolTip = items[i].code + QStringLiteral(" — tip");
    view_->SetItems(items, 4);
    for (const int item : {0, 2, 3}) {
        SCOPED_TRACE(item);
        const QPoint at = CentreOf(item);
        QHelpEvent help(QEvent::ToolTip, at, view_->mapToGlobal(at));
        QCoreApplication::sendEvent(view_.get(), &help);
        EXPECT_EQ(QToolTip::text(), items[static_cast<size_t>(item)].toolTip);
    }
}

TEST_F(RackViewTest, ArrowsChooseEntriesAndAltArrowsAskForMoves)
{
    view_->setFocus();
    ASSERT_TRUE(view_->hasFocus());
    EXPECT_EQ(view_->Current(), 0); // the focus chooses the first entry
    QSignalSpy chosen(view_.get(), &TRackView::CurrentChanged);
    QSignalSpy moves(view_.get(), &TRackView::MoveRequested);
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int current;
        std::vector<std::pair<int, int>> moved; // since the case before
    } steps[] = {
        {Qt::Key_Right, {}, 1, {}},
        {Qt::Key_Down, {}, 2, {}},
        {Qt::Key_End, {}, 3, {}},
        {Qt::Key_Right, {}, 3, {}},
        {Qt::Key_Left, {}, 2, {}},
        {Qt::Key_Right, Qt::AltModifier, 2, {{2, 3}}},
        {Qt::Key_Up, Qt::AltModifier, 2, {{2, 1}}},
        {Qt::Key_Home, {}, 0, {}},
        {Qt::Key_Left, Qt::AltModifier, 0, {}}, // the first goes no further left
        {Qt::Key_Down, Qt::AltModifier, 0, {{0, 1}}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.key);
        moves.clear();
        QTest::keyClick(view_.get(), step.key, step.modifiers);
        EXPECT_EQ(view_->Current(), step.current);
        ASSERT_EQ(moves.count(), static_cast<qsizetype>(step.moved.size()));
        for (size_t i = 0; i < step.moved.size(); ++i) {
            EXPECT_EQ(moves[static_cast<qsizetype>(i)][0].toInt(), step.moved[i].first);
            EXPECT_EQ(moves[static_cast<qsizetype>(i)][1].toInt(), step.moved[i].second);
        }
    }
    // Every change of the chosen entry was told once, none twice.
    QList<int> told;
    for (const QList<QVariant>& signal : chosen)
        told << signal[0].toInt();
    EXPECT_EQ(told, (QList<int>{1, 2, 3, 2, 0}));
}

TEST_F(RackViewTest, ChoosingFromOutsideAndNewItems)
{
    QSignalSpy chosen(view_.get(), &TRackView::CurrentChanged);
    view_->SetCurrent(3);
    view_->SetCurrent(3); // no change, no signal
    view_->SetCurrent(4); // out of range: ignored
    view_->SetCurrent(-2);
    EXPECT_EQ(view_->Current(), 3);
    view_->SetItems({Block("A", 1, 1), Block("B", 2, 1)}, 4); // held to the last entry
    EXPECT_EQ(view_->Current(), 1);
    view_->SetItems({}, 4);
    EXPECT_EQ(view_->Current(), -1);
    QList<int> told;
    for (const QList<QVariant>& signal : chosen)
        told << signal[0].toInt();
    EXPECT_EQ(told, (QList<int>{3, 1, -1}));
}

TEST_F(RackViewTest, DraggingABlockAsksToInsertItBeforeTheOneItIsDroppedOn)
{
    const TRackLayout layout = view_->Layout();
    const QPoint onFreeSlot = layout.freeRuns[0].center().toPoint();
    const QPoint onNumbers(CentreOf(2).x(), 2);
    const struct {
        const char* what;
        int dragged;
        QPoint to;
        int from, at; // -1: no move asked for
    } cases[] = {
        {"onto a block to the right: before it", 0, CentreOf(2), 0, 1},
        {"onto a block to the left: before it", 2, CentreOf(0), 2, 0},
        {"onto an outside block", 0, CentreOf(3), 0, 2},
        {"onto the free slots: after the last block inside", 0, onFreeSlot, 0, 2},
        {"into the room after the last block: the last", 0, QPoint(590, CentreOf(0).y()), 0, 3},
        {"the outside block onto the first", 3, CentreOf(0), 3, 0},
        {"onto the next block: no change", 1, CentreOf(2), -1, -1},
        {"onto itself: no change", 2, CentreOf(2) + QPoint(0, 10), -1, -1},
        {"the first outside onto the free slots: no change", 3, onFreeSlot, -1, -1},
        {"onto the slot numbers: nothing", 0, onNumbers, -1, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QSignalSpy moves(view_.get(), &TRackView::MoveRequested);
        Drag(c.dragged, c.to);
        ASSERT_EQ(moves.count(), c.from < 0 ? 0 : 1);
        if (c.from >= 0) {
            EXPECT_EQ(moves[0][0].toInt(), c.from);
            EXPECT_EQ(moves[0][1].toInt(), c.at);
        }
        EXPECT_EQ(view_->Current(), c.dragged); // pressing a block chooses it
    }

    // A click is no drag; Escape drops a drag.
    QSignalSpy moves(view_.get(), &TRackView::MoveRequested);
    QTest::mouseClick(view_.get(), Qt::LeftButton, {}, CentreOf(1));
    EXPECT_EQ(view_->Current(), 1);
    view_->setFocus();
    QTest::mousePress(view_.get(), Qt::LeftButton, {}, CentreOf(0));
    QMouseEvent move(QEvent::MouseMove, CentreOf(2), view_->mapToGlobal(CentreOf(2)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view_.get(), &move);
    QTest::keyClick(view_.get(), Qt::Key_Escape);
    QTest::mouseRelease(view_.get(), Qt::LeftButton, {}, CentreOf(2));
    EXPECT_EQ(moves.count(), 0);
}

// A crate of `slots` slots holding `entries` (code and slot count) in
// basket order, placed as the basket places them: sequentially, and
// outside from the first entry that passes the last slot.
std::vector<TRackItem> Placed(const std::vector<std::pair<QString, std::int64_t>>& entries,
                              std::int64_t slots)
{
    std::vector<TRackItem> items;
    std::int64_t next = 1;
    bool outside = false;
    for (const auto& [code, span] : entries) {
        TRackItem item;
        item.code = code;
        item.name = QStringLiteral("Модуль");
        item.firstSlot = next;
        item.slotSpan = span;
        item.noSlot = span == 0;
        outside = outside || next + span - 1 > slots;
        item.outside = outside;
        next += span;
        items.push_back(item);
    }
    return items;
}

bool IsRed(QRgb pixel)
{
    return pixel == qRgb(255, 0, 0);
}

// Pixels of `image` inside `rect` nearer the text's colour than the
// block's fill, the hatching's red aside: the code written in a block.
int InkIn(const QImage& image, const QRect& rect, QRgb fill, QRgb text)
{
    int ink = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            ink += !IsRed(pixel) && std::abs(qGray(pixel) - qGray(text)) <
                                        std::abs(qGray(pixel) - qGray(fill))
                       ? 1
                       : 0;
        }
    return ink;
}

// The pictures as a 1024 x 768 screen shows them (the window's width, the
// panel's height), and at 64 slots. With VELTRUM_RACK_SHOTS set to a
// directory, each is also saved there as rack-<name>.png to be looked at.
TEST(RackViewPictures, EveryCodeIsWrittenAndOnlyOutsideEntriesAreRed)
{
    const auto many = [](const char* code, std::int64_t span, int count) {
        std::vector<std::pair<QString, std::int64_t>> entries;
        for (int i = 0; i < count; ++i)
            entries.emplace_back(QString::fromUtf8(code), span);
        return entries;
    };
    const auto joined = [](std::vector<std::vector<std::pair<QString, std::int64_t>>> parts) {
        std::vector<std::pair<QString, std::int64_t>> all;
        for (const auto& part : parts)
            all.insert(all.end(), part.begin(), part.end());
        return all;
    };
    const struct {
        const char* name;
        std::vector<std::pair<QString, std::int64_t>> entries;
        std::int64_t slots;
        QSize size;
        int current = -1; // drawn as chosen
    } pictures[] = {
        {"4-full",
         {{QStringLiteral("CPU-1"), 2}, {QStringLiteral("PS-1"), 1}, {QStringLiteral("AI-16D"), 1}},
         4,
         {1000, 110}},
        {"17-free",
         joined({{{QStringLiteral("PS-2"), 2},
                  {QStringLiteral("CENTI-Q"), 0},
                  {QStringLiteral("CPU-1"), 2}},
                 many("DI-32", 1, 8)}),
         17,
         {1000, 110},
         2},
        {"17-outside",
         joined({{{QStringLiteral("PS-2"), 2}, {QStringLiteral("CPU-1"), 2}},
                 many("AI-16D", 2, 6),
                 {{QStringLiteral("ZB012"), 1}, {QStringLiteral("CENTI-Q"), 0}}}),
         13,
         {1000, 110}},
        {"64",
         joined(
             {{{QStringLiteral("PS-2"), 2}, {QStringLiteral("CPU-1"), 2}}, many("DI-32", 1, 40)}),
         64,
         {1000, 110}},
    };
    const QString shots = qEnvironmentVariable("VELTRUM_RACK_SHOTS");
    for (const auto& picture : pictures) {
        SCOPED_TRACE(picture.name);
        TRackView view;
        view.SetItems(Placed(picture.entries, picture.slots), picture.slots);
        view.SetCurrent(picture.current);
        view.resize(picture.size);
        const QImage image = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
        if (!shots.isEmpty())
            image.save(QDir(shots).filePath(
                QStringLiteral("rack-%1.png").arg(QLatin1String(picture.name))));

        const TRackLayout layout = view.Layout();
        bool anyOutside = false;
        for (size_t i = 0; i < view.Items().size(); ++i) {
            const TRackItem& item = view.Items()[i];
            anyOutside = anyOutside || item.outside;
            const QRect block = layout.blocks[i].toAlignedRect().adjusted(3, 3, -3, -3);
            if (item.noSlot)
                continue;
            SCOPED_TRACE(i);
            const bool chosen = static_cast<int>(i) == picture.current;
            const QRgb fill = chosen         ? view.palette().color(QPalette::Highlight).rgb()
                              : item.outside ? qRgb(255, 235, 235)
                                             : qRgb(220, 230, 242);
            const QRgb text =
                chosen ? view.palette().color(QPalette::HighlightedText).rgb() : qRgb(0, 0, 0);
            EXPECT_GT(InkIn(image, block, fill, text), 10) << "the code is written";
            int red = 0;
            for (int y = block.top(); y <= block.bottom(); ++y)
                for (int x = block.left(); x <= block.right(); ++x)
                    red += IsRed(image.pixel(x, y)) ? 1 : 0;
            if (item.outside) {
                EXPECT_GT(red, 20) << "hatched in red";
            } else {
                EXPECT_EQ(red, 0);
            }
        }
        // The crate keeps clear of the entries outside it.
        EXPECT_EQ(!layout.outside.isEmpty(), anyOutside);
        if (anyOutside) {
            EXPECT_GT(layout.outside.left(), layout.crate.right());
        }
    }
}

} // namespace
