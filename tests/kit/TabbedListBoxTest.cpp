// SPDX-License-Identifier: MIT
// The column list: rows and fields, automatic and header-derived tab stops,
// user selection and the drawing of a disabled list in its font colour.

#include "kit/TabbedListBox.h"
#include "ThrownMessage.h"
#include "kit/CheckList.h"
#include "base/Exception.h"
#include "kit/Header.h"
#include "kit/TabStops.h"
#include "kit/TabbedListModel.h"

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QApplication>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <random>

namespace {

QString S(const char* text)
{
    return QString::fromUtf8(text);
}

// Stops computed from scratch over `rows`, independently of the list's own
// incremental bookkeeping.
QList<int> StopsFromScratch(const QStringList& rows, const QFont& font, int fieldZeroExtra)
{
    const QFontMetrics metrics(font);
    const int a = static_cast<int>(std::nearbyint(
        metrics.horizontalAdvance(S("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
        52.0));
    qsizetype columns = 0;
    for (const QString& row : rows)
        columns = std::max(columns, row.count(QLatin1Char('\t')));
    QList<int> stops;
    int last = 0;
    for (qsizetype j = 0; j < columns; ++j) {
        int widest = 0;
        for (const QString& row : rows) {
            const QStringList fields = row.split(QLatin1Char('\t'));
            if (j < fields.size())
                widest = std::max(widest, metrics.horizontalAdvance(fields[j]) +
                                              (j == 0 ? fieldZeroExtra : 0));
        }
        last += widest / a + 4;
        stops.append(last);
    }
    return stops;
}

QFont TestFont(int pixelSize)
{
    QFont font(S("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    return font;
}

std::unique_ptr<THeader> MakeHeader(int width, const QList<int>& sectionWidths)
{
    auto header = std::make_unique<THeader>();
    header->resize(width, 20);
    for (const int w : sectionWidths)
        header->AddSection(S("col"), w);
    return header;
}

TEST(TabbedListBox, ColumnText)
{
    TTabbedListBox list;
    list.Items().Add(S("ABC"));
    list.Items().Add(S("A\tB\t"));
    list.Items().Add(S("\t1\t2\t3\t4\t5"));
    const struct {
        int column, row;
        std::optional<const char*> text;
        const char* error;
    } cases[] = {
        {0, 0, "ABC", nullptr},
        {1, 1, "B", nullptr},
        {2, 1, "", nullptr},
        {0, 2, "", nullptr},
        {5, 2, "5", nullptr},
        {1, 0, std::nullopt, "Column parameter out of range"},
        {3, 1, std::nullopt, "Column parameter out of range"},
        {-1, 0, std::nullopt, "Column parameter out of range"},
        {0, -1, std::nullopt, "Row parameter out of range"},
        {0, 3, std::nullopt, "Row parameter out of range"},
        {-1, 3, std::nullopt, "Row parameter out of range"}, // the row is checked first
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.column) + "," + std::to_string(c.row));
        if (c.text) {
            EXPECT_EQ(list.ColumnText(c.column, c.row), S(*c.text));
            continue;
        }
        EXPECT_EQ(ThrownMessage<EListError>([&] { list.ColumnText(c.column, c.row); }), c.error);
    }
}

TEST(TabbedListBox, ItemsAndSelection)
{
    TTabbedListBox list;
    QAbstractItemModelTester tester(list.model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    for (const char* row : {"a", "b\t1", "c"})
        list.Items().Add(S(row));
    EXPECT_EQ(list.Items().Count(), 3);
    EXPECT_EQ(list.Items()[1], S("b\t1"));
    EXPECT_THROW(list.Items()[3], EListError);
    EXPECT_THROW(list.Items().Delete(-1), EListError);
    EXPECT_EQ(list.ItemIndex(), -1);

    list.SetItemIndex(2);
    EXPECT_EQ(list.ItemIndex(), 2);
    list.Items().Delete(0);
    EXPECT_EQ(list.ItemIndex(), 1); // the selection follows its row
    EXPECT_EQ(list.Items()[1], S("c"));
    list.Items().Delete(1);
    EXPECT_EQ(list.ItemIndex(), -1); // the selected row went

    list.SetItemIndex(0);
    list.Clear();
    EXPECT_EQ(list.Items().Count(), 0);
    EXPECT_EQ(list.ItemIndex(), -1);
    list.SetItemIndex(5); // outside the rows: none selected
    EXPECT_EQ(list.ItemIndex(), -1);
}

TEST(TabbedListBox, UpdateFromHeader)
{
    const auto twoSections = MakeHeader(400, {150, 50});
    const auto oneSection = MakeHeader(400, {150});

    // A list that never had rows has no stops and gets none.
    TTabbedListBox empty;
    empty.UpdateFromHeader(*twoSections);
    EXPECT_TRUE(empty.TabStops().isEmpty());

    // Rows with one tab under two sections: exactly one stop, from section 0.
    TTabbedListBox list;
    list.Items().Add(S("K-101\tfirst block"));
    list.Items().Add(S("K-10234\tsecond"));
    ASSERT_EQ(list.TabStops().size(), 1);
    const QList<int> automatic = list.TabStops();
    list.UpdateFromHeader(*oneSection);
    EXPECT_EQ(list.TabStops(), automatic); // a single section gives nothing
    list.UpdateFromHeader(*twoSections);
    EXPECT_EQ(list.TabStops(), QList<int>{150 / list.AverageCharWidth() + 1});

    // Stops stay after Clear, and a header still derives them.
    list.Clear();
    EXPECT_EQ(list.TabStops(), QList<int>{150 / list.AverageCharWidth() + 1});
    twoSections->SetSectionWidth(0, 300);
    list.UpdateFromHeader(*twoSections);
    EXPECT_EQ(list.TabStops(), QList<int>{300 / list.AverageCharWidth() + 1});
}

TEST(TabbedListBox, HeaderDerivesOnlyTheStopsBelowItsLastSection)
{
    // Rows with three tabs under three sections: stops 0 and 1 from the
    // header, stop 2 stays the measured one.
    TTabbedListBox list;
    list.setFont(TestFont(12));
    const QStringList rows{S("abc\tdefgh\tij\tk"), S("a\tb\tcdefghijkl\tmn")};
    for (const QString& row : rows)
        list.Items().Add(row);
    const QList<int> measured = StopsFromScratch(rows, list.font(), 0);
    const auto header = MakeHeader(600, {100, 80, 10});
    list.UpdateFromHeader(*header);
    const int a = list.AverageCharWidth();
    EXPECT_EQ(list.TabStops(), (QList<int>{100 / a + 1, 180 / a + 1, measured[2]}));
}

// Appends, deletes, font changes, update brackets and Clear in random
// order; the stops must always be those the rules give when recomputed
// from scratch at the last moment a recomputation was due.
void CheckAutomaticStopsFollowTheRules(TTabbedListBox& list, int fieldZeroExtra)
{
    list.setFont(TestFont(12));
    std::mt19937 random(20240611);
    auto pick = [&random](int n) { return static_cast<int>(random() % n); };
    auto word = [&] {
        QString w;
        for (int i = pick(12); i > 0; --i)
            w.append(QLatin1Char(static_cast<char>(pick(2) ? 'a' + pick(26) : 'A' + pick(26))));
        return w;
    };
    QStringList rows;
    QList<int> expected;
    auto recomputeIfDue = [&] {
        if (list.Items().UpdateCount() == 0)
            expected = StopsFromScratch(rows, list.font(), fieldZeroExtra);
    };
    for (int step = 0; step < 400; ++step) {
        const int op = pick(100);
        if (op < 60) {
            QStringList fields;
            for (int f = pick(5); f >= 0; --f)
                fields.append(word());
            rows.append(fields.join(QLatin1Char('\t')));
            list.Items().Add(rows.last());
            recomputeIfDue();
        } else if (op < 75 && !rows.isEmpty()) {
            const int at = pick(static_cast<int>(rows.size()));
            rows.removeAt(at);
            list.Items().Delete(at);
            recomputeIfDue();
        } else if (op < 80) {
            list.setFont(TestFont(10 + pick(8)));
            recomputeIfDue();
        } else if (op < 85 && list.Items().UpdateCount() == 0) {
            list.Items().BeginUpdate();
        } else if (op < 90 && list.Items().UpdateCount() > 0) {
            list.Items().EndUpdate(); // ends a bracket without recomputing
        } else if (op < 92) {
            rows.clear();
            list.Clear(); // never recomputes
        } else {
            ASSERT_EQ(list.TabStops(), expected) << "step " << step;
        }
    }
    EXPECT_EQ(list.TabStops(), expected);
}

TEST(TabbedListBox, AutomaticStopsFollowTheRows)
{
    TTabbedListBox list;
    CheckAutomaticStopsFollowTheRules(list, 0);
}

TEST(TabbedListBox, AutomaticStopsInACheckListWidenFieldZeroByTheGlyph)
{
    TCheckList list;
    CheckAutomaticStopsFollowTheRules(list, 13);
}

// The average character width is measured per font: lists in different
// fonts, changed back and forth, each keep their own font's width.
TEST(TabbedListBox, CharWidthFollowsEachListsFont)
{
    const auto widthOf = [](const QFont& font) {
        return static_cast<int>(
            std::nearbyint(QFontMetrics(font).horizontalAdvance(
                               S("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                           52.0));
    };
    TTabbedListBox small;
    TTabbedListBox large;
    small.setFont(TestFont(11));
    large.setFont(TestFont(40));
    ASSERT_LT(widthOf(TestFont(11)), widthOf(TestFont(40)));
    EXPECT_EQ(small.AverageCharWidth(), widthOf(TestFont(11)));
    EXPECT_EQ(large.AverageCharWidth(), widthOf(TestFont(40)));

    small.setFont(TestFont(40));
    large.setFont(TestFont(11));
    EXPECT_EQ(small.AverageCharWidth(), widthOf(TestFont(40)));
    EXPECT_EQ(large.AverageCharWidth(), widthOf(TestFont(11)));
    TTabbedListBox third;
    third.setFont(TestFont(40));
    EXPECT_EQ(third.AverageCharWidth(), widthOf(TestFont(40)));
}

TEST(TabbedListBox, UpdateCounterSuppressesRecomputation)
{
    TTabbedListBox list;
    list.Items().Add(S("a\tb"));
    const QList<int> oneColumn = list.TabStops();
    ASSERT_EQ(oneColumn.size(), 1);

    list.Items().BeginUpdate();
    list.Items().Add(S("a\tb\tc\td"));
    list.Items().EndUpdate();
    EXPECT_EQ(list.TabStops(), oneColumn);
    list.Items().Add(S("x")); // counter back at 0: the next append recomputes
    EXPECT_EQ(list.TabStops().size(), 3);

    // The counter may go below 0, and then suppresses recomputation too.
    list.Items().EndUpdate();
    EXPECT_EQ(list.Items().UpdateCount(), -1);
    list.Items().Add(S("1\t2\t3\t4\t5\t6"));
    EXPECT_EQ(list.TabStops().size(), 3);

    // Manual mode keeps the stops; switching back to automatic recomputes.
    list.Items().BeginUpdate(); // back at 0
    list.SetTabStopsMode(tsmManual);
    list.SetTabStops({10, 20});
    list.Items().Add(S("y"));
    EXPECT_EQ(list.TabStops(), (QList<int>{10, 20}));
    list.SetTabStopsMode(tsmAutomatic);
    EXPECT_EQ(list.TabStops().size(), 5);
}

// A fill of many rows must not measure all rows again after each append.
// Where that happened, this fill would take hours rather than a moment.
// How fast a fill is belongs to the benchmarks (bench/); here a large fill
// must give the same stops and selection as a small one.
TEST(TabbedListBox, LargeFillKeepsHeaderStopsAndSelection)
{
    const auto header = MakeHeader(600, {150, 50});
    TTabbedListBox list;
    list.resize(300, 200);
    list.show();
    constexpr int kRows = 200'000;
    for (int i = 0; i < kRows; ++i)
        list.Items().Add(QStringLiteral("K-%1\tblock number %1").arg(i));
    list.UpdateFromHeader(*header);
    list.SetItemIndex(kRows - 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(list.TabStops(), QList<int>{150 / list.AverageCharWidth() + 1});
    EXPECT_EQ(list.ColumnText(1, kRows - 1), QStringLiteral("block number %1").arg(kRows - 1));

    // A font change measures the rows again: still one stop, from the content.
    list.setFont(TestFont(13));
    EXPECT_EQ(list.TabStops().size(), 1);
}

// A batch of appends is seen at once through the list's own readers, told
// to the view in one notification, and leaves the same stops as appends one
// by one.
TEST(TabbedListBox, AppendBatchEndsAsSingleAppends)
{
    const QStringList rows = {S("K-1\tfirst"), S("LONGER-CODE\tsecond\t3"), S("x")};
    TTabbedListBox single;
    for (const QString& row : rows)
        single.Items().Add(row);

    TTabbedListBox batched;
    QAbstractItemModelTester tester(batched.model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy inserted(batched.model(), &QAbstractItemModel::rowsInserted);
    {
        const TListAppendBatch batch(batched.Items());
        for (const QString& row : rows)
            batched.Items().Add(QStringView(row));
        EXPECT_EQ(batched.Items().Count(), 3);
        EXPECT_EQ(batched.Items()[1], rows[1]);
        EXPECT_EQ(batched.ColumnText(2, 1), S("3"));
        EXPECT_EQ(inserted.count(), 0);
    }
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted[0][1].toInt(), 0);
    EXPECT_EQ(inserted[0][2].toInt(), 2);
    EXPECT_EQ(batched.model()->rowCount(), 3);
    EXPECT_EQ(batched.model()->index(2, 0).data().toString(), S("x"));
    EXPECT_EQ(batched.TabStops(), single.TabStops());
    EXPECT_EQ(batched.TabStops().size(), 2);

    // Selecting inside a batch brings the view up to date first.
    {
        const TListAppendBatch batch(batched.Items());
        batched.Items().Add(S("y"));
        batched.SetItemIndex(3);
        EXPECT_EQ(batched.ItemIndex(), 3);
    }
    EXPECT_EQ(batched.model()->rowCount(), 4);

    // Deleting keeps the shared text of the other rows intact.
    batched.Items().Delete(1);
    EXPECT_EQ(batched.Items()[1], S("x"));
    EXPECT_EQ(batched.Items()[2], S("y"));
    EXPECT_EQ(batched.model()->rowCount(), 3);
}

// A row given as UTF-8 (a search row as the catalog stores it) is kept as
// it comes and decoded only when read or shown: exactly what Qt's decoder
// makes of its bytes, malformed ones too, with its tabs as columns.
TEST(TabbedListBox, RowsGivenAsUtf8ReadAsQtDecodesThem)
{
    const struct {
        QByteArray row;
        const char* column1; // the field after the first tab, as UTF-8
    } cases[] = {
        {"MK1-100\tБлок питания", "Блок питания"},
        {"\xd0\tcut short before the tab", "cut short before the tab"},
        {"BA\xff\xfe\tbad bytes\tthird", "bad bytes"},
        {"\xe2\x86\x92K\t\xf0\x9f\x98\x80", "\xf0\x9f\x98\x80"},
    };
    TTabbedListBox list;
    QAbstractItemModelTester tester(list.model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    {
        const TListAppendBatch batch(list.Items());
        for (const auto& c : cases)
            list.Items().AddUtf8(c.row, c.row.left(c.row.indexOf('\t')));
    }
    list.Items().Add(S("Ж\tlast"));
    ASSERT_EQ(list.Items().Count(), 5);
    for (int i = 0; i < 4; ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(c.row.toHex().toStdString());
        EXPECT_EQ(list.Items()[i], QString::fromUtf8(c.row));
        EXPECT_EQ(list.model()->index(i, 0).data().toString(), QString::fromUtf8(c.row));
        EXPECT_EQ(list.ColumnText(1, i), QString::fromUtf8(c.column1));
        EXPECT_EQ(list.Items().Data(i), c.row.left(c.row.indexOf('\t')));
    }
    EXPECT_EQ(list.Items()[4], S("Ж\tlast"));
    // Two tabs at most: the automatic stops have two columns to place.
    EXPECT_EQ(list.TabStops().size(), 2);
    list.Items().Delete(2);
    EXPECT_EQ(list.TabStops().size(), 1);
    EXPECT_EQ(list.Items()[2], QString::fromUtf8(cases[3].row));
}

// A list filled again with as many rows keeps the memory of the last fill
// (no fresh pages for each search); a much smaller fill after a large one
// gives that memory back, an empty one too.
TEST(TabbedListBox, RefillKeepsTheMemoryOfItsRowsAndASmallFillGivesItBack)
{
    // Some 48 MiB of text: more than a list keeps regardless of its rows.
    const QString row = QStringLiteral("K-0123456789\t") + QString(1000, u'Ж');
    constexpr int kRows = 24'000;
    TTabbedListBox list;
    const auto& model = static_cast<const TTabbedListModel&>(*list.model());
    const auto fill = [&](int rows) {
        list.Clear();
        const TListAppendBatch batch(list.Items());
        for (int i = 0; i < rows; ++i)
            list.Items().Add(QStringView(row));
    };
    fill(kRows);
    const qsizetype large = model.TextBytesHeld();
    ASSERT_GE(large, qsizetype{kRows} * row.toUtf8().size());

    list.Clear();
    EXPECT_EQ(model.TextBytesHeld(), large);
    fill(kRows);
    EXPECT_EQ(model.TextBytesHeld(), large);
    EXPECT_EQ(list.Items()[kRows - 1], row);

    fill(10);
    EXPECT_LT(model.TextBytesHeld(), large / 100);
    EXPECT_EQ(list.Items().Count(), 10);
    EXPECT_EQ(list.Items()[9], row);

    fill(kRows);
    fill(0);
    EXPECT_EQ(model.TextBytesHeld(), 0);
}

// The wheel scrolls by whole rows (three a notch) and End shows the last
// row whole, however the list scrolls inside.
TEST(TabbedListBox, WheelScrollsWholeRowsAndEndShowsTheLastRowWhole)
{
    TTabbedListBox list;
    list.resize(300, 105);
    for (int i = 0; i < 100; ++i)
        list.Items().Add(QStringLiteral("K-%1\tblock %1").arg(i));
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    const int rowHeight = list.visualRect(list.model()->index(1, 0)).top() -
                          list.visualRect(list.model()->index(0, 0)).top();
    ASSERT_GT(rowHeight, 0);

    QWheelEvent notch(QPointF(10, 10), list.viewport()->mapToGlobal(QPointF(10, 10)), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(list.viewport(), &notch);
    EXPECT_EQ(list.indexAt(QPoint(5, 1)).row(), 3);
    EXPECT_EQ(list.visualRect(list.model()->index(3, 0)).top(), 0);

    list.setFocus();
    QTest::keyClick(&list, Qt::Key_End);
    const QRect last = list.visualRect(list.model()->index(99, 0));
    EXPECT_EQ(list.ItemIndex(), 99);
    EXPECT_GE(last.top(), 0);
    EXPECT_LE(last.bottom(), list.viewport()->height() - 1);
}

TEST(TabbedListBox, ClickOnlyOnUserSelection)
{
    TTabbedListBox list;
    list.resize(300, 200);
    for (const char* row : {"first", "second", "third"})
        list.Items().Add(S(row));
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    QSignalSpy clicks(&list, &TTabbedListBox::Click);

    list.SetItemIndex(1);
    EXPECT_EQ(clicks.count(), 0);

    QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                      list.visualRect(list.model()->index(2, 0)).center());
    EXPECT_EQ(list.ItemIndex(), 2);
    EXPECT_EQ(clicks.count(), 1);

    // Clicking the selected row again still reports it (the main window
    // shows the block again).
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                      list.visualRect(list.model()->index(2, 0)).center());
    EXPECT_EQ(clicks.count(), 2);

    QTest::keyClick(&list, Qt::Key_Up);
    EXPECT_EQ(list.ItemIndex(), 1);
    EXPECT_EQ(clicks.count(), 3);
    QTest::keyClick(&list, Qt::Key_Home);
    QTest::keyClick(&list, Qt::Key_Up); // already at the top: nothing changes
    EXPECT_EQ(list.ItemIndex(), 0);
    EXPECT_EQ(clicks.count(), 4);

    // Below the last row: no selection change, no click.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(10, 190));
    EXPECT_EQ(list.ItemIndex(), 0);
    EXPECT_EQ(clicks.count(), 4);

    // A disabled list raises nothing.
    list.setEnabled(false);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                      list.visualRect(list.model()->index(1, 0)).center());
    EXPECT_EQ(list.ItemIndex(), 0);
    EXPECT_EQ(clicks.count(), 4);
}

int CountPixels(const QImage& image, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == colour ? 1 : 0;
    return count;
}

TEST(TabbedListBox, DisabledListDrawsInItsFontColour)
{
    TTabbedListBox totals;
    totals.resize(400, 33);
    totals.setFont(TestFont(14));
    totals.SetItemHeight(13);
    totals.Items().Add(S("\t12.5\t3\t0.25\t41\t8"));
    totals.setEnabled(false);
    const auto header = MakeHeader(400, {60, 60, 60, 60, 60, 60});
    totals.UpdateFromHeader(*header);
    totals.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&totals));

    totals.SetFontColor(QColor(255, 0, 0));
    EXPECT_EQ(totals.FontColor(), QColor(255, 0, 0));
    const QImage red = totals.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_GT(CountPixels(red, qRgb(255, 0, 0)), 10);

    totals.SetFontColor(QColor(0, 0, 0));
    const QImage black = totals.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(CountPixels(black, qRgb(255, 0, 0)), 0);
    EXPECT_GT(CountPixels(black, qRgb(0, 0, 0)), 10);
}

TEST(TabbedListBox, HintShowsRowsWiderThanTheList)
{
    TTabbedListBox list;
    list.resize(200, 100);
    list.Items().Add(S("short"));
    list.Items().Add(S("K-1\ta name far too long to fit into this narrow list"));
    const auto header = MakeHeader(200, {60, 140});
    list.UpdateFromHeader(*header);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));

    auto hintAt = [&list](int row) {
        // Hiding a tip takes a moment.
        QToolTip::hideText();
        for (int i = 0; i < 40 && QToolTip::isVisible(); ++i)
            QTest::qWait(50);
        const QPoint pos = list.visualRect(list.model()->index(row, 0)).center();
        QHelpEvent event(QEvent::ToolTip, pos, list.viewport()->mapToGlobal(pos));
        QCoreApplication::sendEvent(list.viewport(), &event);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    EXPECT_EQ(hintAt(1), S("K-1 a name far too long to fit into this narrow list"));
    EXPECT_EQ(hintAt(0), QString());
}

} // namespace

TEST(AccessibleRows, FieldsAreReadAfterTheirCaptions)
{
    const auto fields = [](const char* row) {
        static QString text; // the views point into it
        text = QString::fromUtf8(row);
        return QStringView(text).split(QLatin1Char('\t'));
    };
    const QStringList captions{QStringLiteral("ШИФР"), QStringLiteral("+5V, А"),
                               QStringLiteral("+7V, А")};
    const struct {
        const char* row;
        QStringList captions;
        const char* spoken;
    } cases[] = {
        {"MK1-03\t1\t0,05", captions, "ШИФР MK1-03, +5V, А 1, +7V, А 0,05"},
        {"\t1,4\t0,7", captions, "+5V, А 1,4, +7V, А 0,7"}, // the totals: no code
        {"MK1-03\t\t0,05", captions, "ШИФР MK1-03, +7V, А 0,05"},
        {"A\tB\tC\tD", captions, "ШИФР A, +5V, А B, +7V, А C, D"},
        {"A\tB", {}, "A, B"},
        {"", captions, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        EXPECT_EQ(CaptionedFields(fields(c.row), c.captions).toStdString(), c.spoken);
    }
}

TEST(AccessibleRows, AListNamesItsRowsByTheHeadersCaptions)
{
    TTabbedListBox list;
    THeader header;
    header.AddSection(QStringLiteral("   ШИФР"), 100);
    header.AddSection(QStringLiteral("   +5V, А"), 0);
    list.Items().Add(QStringLiteral("MK1-03\t1"));
    QAbstractItemModel* model = list.model();
    const QModelIndex row = model->index(0, 0);
    EXPECT_EQ(model->data(row, Qt::AccessibleTextRole).toString(), QStringLiteral("MK1-03, 1"));
    list.UpdateFromHeader(header);
    EXPECT_EQ(model->data(row, Qt::AccessibleTextRole).toString(),
              QStringLiteral("ШИФР MK1-03, +5V, А 1"));
    EXPECT_EQ(model->data(row, Qt::DisplayRole).toString(), QStringLiteral("MK1-03\t1"));

    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&list);
    ASSERT_NE(face, nullptr);
    ASSERT_NE(face->tableInterface(), nullptr);
    EXPECT_EQ(face->tableInterface()->cellAt(0, 0)->text(QAccessible::Name),
              QStringLiteral("ШИФР MK1-03, +5V, А 1"));
}

// Right after the chosen row was deleted the list has no current row; End
// and Home still choose the last and the first row, as everywhere else.
TEST(TabbedListBox, HomeAndEndChooseTheEndsAlsoRightAfterADeletion)
{
    const struct {
        const char* name;
        int deleted;
        Qt::Key key;
        int chosen;
    } cases[] = {
        {"End after deleting the middle row", 1, Qt::Key_End, 1},
        {"End after deleting the last row", 2, Qt::Key_End, 1},
        {"Home after deleting the first row", 0, Qt::Key_Home, 0},
        {"Home after deleting the middle row", 1, Qt::Key_Home, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TTabbedListBox list;
        list.resize(300, 200);
        for (const char* row : {"first", "second", "third"})
            list.Items().Add(S(row));
        list.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
        list.setFocus();
        list.SetItemIndex(c.deleted);
        list.Items().Delete(c.deleted);
        ASSERT_EQ(list.ItemIndex(), -1);
        QTest::keyClick(&list, c.key);
        EXPECT_EQ(list.ItemIndex(), c.chosen);
    }
}
