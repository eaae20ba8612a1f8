// SPDX-License-Identifier: MIT
// The check list: per-row states, user toggles by mouse and Space, and the
// events they raise.

#include "kit/CheckList.h"
#include "base/Exception.h"

#include <QAccessible>
#include <QImage>
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

class CheckListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        list_ = std::make_unique<TCheckList>();
        list_->resize(300, 200);
        for (const char* row : {"crate A\t10", "crate B\t20", "crate C\t30"})
            list_->Items().Add(S(row));
        list_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(list_.get()));
    }

    QRect RowRect(int row) const { return list_->visualRect(list_->model()->index(row, 0)); }
    QPoint GlyphPoint(int row) const { return {8, RowRect(row).center().y()}; }
    QPoint TextPoint(int row) const { return {60, RowRect(row).center().y()}; }
    QWidget* Viewport() const { return list_->viewport(); }

    // A pointer move with the left button held, as a drag delivers it.
    void DragTo(QPoint pos)
    {
        QMouseEvent move(QEvent::MouseMove, pos, Viewport()->mapToGlobal(pos), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(Viewport(), &move);
    }

    // The events Qt delivers for a double click.
    void SendDoubleClick(QPoint pos)
    {
        const QPoint global = Viewport()->mapToGlobal(pos);
        const struct {
            QEvent::Type type;
            Qt::MouseButtons buttons;
        } steps[] = {{QEvent::MouseButtonPress, Qt::LeftButton},
                     {QEvent::MouseButtonRelease, Qt::NoButton},
                     {QEvent::MouseButtonDblClick, Qt::LeftButton},
                     {QEvent::MouseButtonRelease, Qt::NoButton}};
        for (const auto& step : steps) {
            QMouseEvent event(step.type, pos, global, Qt::LeftButton, step.buttons, Qt::NoModifier);
            QCoreApplication::sendEvent(Viewport(), &event);
        }
    }

    QList<TCheckBoxState> States() const
    {
        QList<TCheckBoxState> states;
        for (int i = 0; i < list_->Items().Count(); ++i)
            states.append(list_->RowState(i));
        return states;
    }

    std::unique_ptr<TCheckList> list_;
};

TEST_F(CheckListTest, NewRowsAreUncheckedAndEnabled)
{
    EXPECT_EQ(States(), (QList<TCheckBoxState>{cbUnchecked, cbUnchecked, cbUnchecked}));
    EXPECT_TRUE(list_->RowEnabled(2));
    EXPECT_THROW(list_->RowState(3), EListError);
    EXPECT_THROW(list_->SetRowChecked(-1, true), EListError);
    EXPECT_EQ(RowRect(0).height(), 17); // the default font is smaller than the glyph
}

TEST_F(CheckListTest, StatesFollowTheirRows)
{
    list_->SetRowState(0, cbGrayed);
    list_->SetRowChecked(2, true);
    list_->Items().Delete(1);
    EXPECT_EQ(States(), (QList<TCheckBoxState>{cbGrayed, cbChecked}));
    list_->Items().Add(S("crate D"));
    EXPECT_EQ(list_->RowState(2), cbUnchecked);
    list_->Clear();
    list_->Items().Add(S("crate E"));
    EXPECT_EQ(States(), QList<TCheckBoxState>{cbUnchecked});
}

TEST_F(CheckListTest, ProgramStatesRaiseNoEvents)
{
    QSignalSpy changing(list_.get(), &TCheckList::Changing);
    QSignalSpy changes(list_.get(), &TCheckList::Change);
    list_->SetRowChecked(0, true);
    list_->SetRowState(1, cbGrayed);
    EXPECT_TRUE(list_->RowChecked(0));
    EXPECT_FALSE(list_->RowChecked(1)); // grayed is not checked
    EXPECT_EQ(changing.count() + changes.count(), 0);
}

TEST_F(CheckListTest, GlyphClickTogglesAndReportsOnce)
{
    QList<std::pair<int, TCheckBoxState>> order;
    QObject::connect(list_.get(), &TCheckList::Changing, list_.get(),
                     [&](int row, TCheckBoxState state, bool*) {
                         EXPECT_NE(list_->RowState(row), state); // not stored yet
                         order.append({row, state});
                     });
    QObject::connect(list_.get(), &TCheckList::Change, list_.get(),
                     [&](int row, TCheckBoxState state) {
                         EXPECT_EQ(list_->RowState(row), state); // already stored
                         order.append({row, state});
                     });
    QSignalSpy clicks(list_.get(), &TTabbedListBox::Click);

    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, GlyphPoint(1));
    EXPECT_EQ(list_->ItemIndex(), 1);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(order, (QList<std::pair<int, TCheckBoxState>>{{1, cbChecked}, {1, cbChecked}}));
    EXPECT_EQ(States(), (QList<TCheckBoxState>{cbUnchecked, cbChecked, cbUnchecked}));

    order.clear();
    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, QPoint(16, RowRect(1).center().y()));
    EXPECT_EQ(list_->RowState(1), cbUnchecked); // 16 px is still inside the first 17
    EXPECT_EQ(order.size(), 2);

    // Each click of a double click toggles.
    order.clear();
    SendDoubleClick(GlyphPoint(1));
    EXPECT_EQ(list_->RowState(1), cbUnchecked);
    EXPECT_EQ(order.size(), 4);
}

TEST_F(CheckListTest, TextClickOnlySelects)
{
    QSignalSpy changes(list_.get(), &TCheckList::Change);
    QSignalSpy clicks(list_.get(), &TTabbedListBox::Click);
    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, TextPoint(2));
    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, QPoint(17, RowRect(2).center().y()));
    EXPECT_EQ(list_->ItemIndex(), 2);
    EXPECT_EQ(clicks.count(), 2);
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(States(), (QList<TCheckBoxState>{cbUnchecked, cbUnchecked, cbUnchecked}));
}

TEST_F(CheckListTest, ReleaseElsewhereTogglesNothing)
{
    QSignalSpy changes(list_.get(), &TCheckList::Change);
    // Moving to another row before releasing.
    QTest::mousePress(Viewport(), Qt::LeftButton, {}, GlyphPoint(0));
    DragTo(GlyphPoint(2));
    QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, GlyphPoint(2));
    EXPECT_EQ(list_->ItemIndex(), 2);
    // Releasing outside the list's client area.
    QTest::mousePress(Viewport(), Qt::LeftButton, {}, GlyphPoint(0));
    QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, QPoint(-5, RowRect(0).center().y()));
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(States(), (QList<TCheckBoxState>{cbUnchecked, cbUnchecked, cbUnchecked}));

    // A press on the text after such an unused arm does not toggle either.
    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, TextPoint(0));
    EXPECT_EQ(changes.count(), 0);
}

TEST_F(CheckListTest, RightPressSelectsAndNeverToggles)
{
    QSignalSpy changes(list_.get(), &TCheckList::Change);
    QSignalSpy clicks(list_.get(), &TTabbedListBox::Click);
    QTest::mouseClick(Viewport(), Qt::RightButton, {}, GlyphPoint(1));
    EXPECT_EQ(list_->ItemIndex(), 1);
    EXPECT_EQ(clicks.count(), 1);
    QTest::mouseClick(Viewport(), Qt::RightButton, {}, GlyphPoint(1)); // already selected
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(changes.count(), 0);
}

TEST_F(CheckListTest, SpaceTogglesTheSelectedRow)
{
    QSignalSpy changes(list_.get(), &TCheckList::Change);
    QTest::keyClick(list_.get(), Qt::Key_Space); // no row selected
    EXPECT_EQ(changes.count(), 0);

    list_->SetItemIndex(2);
    QTest::keyPress(list_.get(), Qt::Key_Space);
    EXPECT_EQ(list_->RowState(2), cbUnchecked); // the release toggles
    QTest::keyRelease(list_.get(), Qt::Key_Space);
    EXPECT_EQ(list_->RowState(2), cbChecked);
    EXPECT_EQ(list_->ItemIndex(), 2);
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes[0][0].toInt(), 2);

    list_->SetRowEnabled(2, false);
    QTest::keyClick(list_.get(), Qt::Key_Space);
    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, GlyphPoint(2));
    EXPECT_EQ(list_->RowState(2), cbChecked); // a disabled row stays as it is
    EXPECT_EQ(changes.count(), 1);
}

TEST_F(CheckListTest, ToggleCycle)
{
    const struct {
        bool allowGrayed;
        TCheckBoxState from, to;
    } cases[] = {
        {false, cbUnchecked, cbChecked}, {false, cbChecked, cbUnchecked},
        {false, cbGrayed, cbChecked},    {true, cbUnchecked, cbGrayed},
        {true, cbGrayed, cbChecked},     {true, cbChecked, cbUnchecked},
    };
    list_->SetItemIndex(0);
    for (const auto& c : cases) {
        list_->SetAllowGrayed(c.allowGrayed);
        list_->SetRowState(0, c.from);
        QTest::keyClick(list_.get(), Qt::Key_Space);
        EXPECT_EQ(list_->RowState(0), c.to) << c.allowGrayed << " " << c.from;
    }
}

TEST_F(CheckListTest, ChangingCanRefuse)
{
    QObject::connect(list_.get(), &TCheckList::Changing, list_.get(),
                     [](int, TCheckBoxState, bool* allow) { *allow = false; });
    QSignalSpy changes(list_.get(), &TCheckList::Change);
    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, GlyphPoint(0));
    EXPECT_EQ(list_->RowState(0), cbUnchecked);
    EXPECT_EQ(changes.count(), 0);
}

TEST_F(CheckListTest, StatesSetInChangeRaiseNoNestedChange)
{
    // Keeps exactly one row checked, as the crate type list does.
    int changes = 0;
    QObject::connect(list_.get(), &TCheckList::Change, list_.get(), [&](int row, TCheckBoxState) {
        ++changes;
        for (int i = 0; i < list_->Items().Count(); ++i)
            list_->SetRowChecked(i, i == row);
    });
    list_->SetRowChecked(0, true);
    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, GlyphPoint(2));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(States(), (QList<TCheckBoxState>{cbUnchecked, cbUnchecked, cbChecked}));
}

TEST_F(CheckListTest, RowHeightFollowsTheFont)
{
    QFont large = list_->font();
    large.setPixelSize(30);
    list_->setFont(large);
    QCoreApplication::processEvents();
    EXPECT_EQ(RowRect(1).height(), QFontMetrics(large).height() + 2);
    EXPECT_EQ(RowRect(1).top(), RowRect(0).bottom() + 1);
}

// Pixels of `area` in `image` that are not `background`.
int InkIn(const QImage& image, const QRect& area, const QColor& background)
{
    int ink = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ink += image.pixelColor(x, y) != background ? 1 : 0;
    return ink;
}

TEST_F(CheckListTest, ANoteInANarrowListNeverCoversTheRowsFields)
{
    // The fields of row 1 end close to the right edge of this list.
    list_->Items().Delete(1);
    list_->Items().Add(S("crate B with a long name\t2017"));
    list_->resize(QFontMetrics(list_->font()).horizontalAdvance(S("crate B with a long name")) +
                      list_->TextLeft() + 120,
                  200);
    QCoreApplication::processEvents();
    const int row = 2;
    const QColor background = list_->palette().color(QPalette::Base);
    const QImage before = Viewport()->grab().toImage();
    const QRect rowRect = RowRect(row);
    int fieldsEnd = -1; // the rightmost pixel column with ink in the row
    for (int x = 0; x < before.width(); ++x)
        if (InkIn(before, QRect(x, rowRect.top(), 1, rowRect.height()), background) > 0)
            fieldsEnd = x;
    ASSERT_GT(fieldsEnd, 0);

    list_->SetRowNote(row, S("✓ fits, and a note longer than the room left"));
    QCoreApplication::processEvents();
    const QImage after = Viewport()->grab().toImage();
    const QRect fields(0, rowRect.top(), fieldsEnd + 1, rowRect.height());
    EXPECT_EQ(after.copy(fields), before.copy(fields)); // every field as it was
    // What room is left to the right of the fields shows the note, shortened.
    EXPECT_GT(InkIn(after, QRect(fieldsEnd + 1, rowRect.top(), after.width() - fieldsEnd - 1,
                                 rowRect.height()),
                    background),
              0);
    EXPECT_EQ(list_->model()->data(list_->model()->index(row, 0), Qt::ToolTipRole).toString(),
              S("✓ fits, and a note longer than the room left"));
}

TEST_F(CheckListTest, RowNotesAreDrawnAtTheRightAndReadAsTooltipAndName)
{
    QAbstractItemModel* model = list_->model();
    QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
    list_->SetRowNote(1, S("✓ fits"));
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(list_->RowNote(1), S("✓ fits"));
    // The row's own fields are untouched.
    EXPECT_EQ(list_->Items()[1], S("crate B\t20"));
    EXPECT_EQ(list_->ColumnText(1, 1), S("20"));
    EXPECT_EQ(model->data(model->index(1, 0), Qt::ToolTipRole).toString(), S("✓ fits"));
    // Read after the fields, which are read without tabs (no header here,
    // so without captions).
    EXPECT_EQ(model->data(model->index(1, 0), Qt::AccessibleTextRole).toString(),
              S("crate B, 20, ✓ fits"));
    EXPECT_FALSE(model->data(model->index(0, 0), Qt::ToolTipRole).isValid());
    EXPECT_EQ(model->data(model->index(0, 0), Qt::AccessibleTextRole).toString(), S("crate A, 10"));

    // Drawn in the right end of its row only.
    QCoreApplication::processEvents();
    const QImage image = Viewport()->grab().toImage();
    const QColor background = list_->palette().color(QPalette::Base);
    const int right = Viewport()->width();
    auto rightEnd = [&](int row) {
        const QRect r = RowRect(row);
        return QRect(right - 60, r.top(), 60, r.height());
    };
    EXPECT_GT(InkIn(image, rightEnd(1), background), 0);
    EXPECT_EQ(InkIn(image, rightEnd(0), background), 0);
    EXPECT_EQ(InkIn(image, rightEnd(2), background), 0);

    // The note follows its row; an empty note is none.
    list_->Items().Delete(0);
    EXPECT_EQ(list_->RowNote(0), S("✓ fits"));
    EXPECT_EQ(list_->RowNote(1), QString());
    list_->SetRowNote(0, QString());
    EXPECT_FALSE(model->data(model->index(0, 0), Qt::ToolTipRole).isValid());
    EXPECT_THROW(list_->SetRowNote(5, S("x")), EListError);
}

// Screen readers read the states from the model, as for any checkable item.
TEST_F(CheckListTest, StatesLiveInTheModelAsCheckStatesOfCheckableRows)
{
    QAbstractItemModel* model = list_->model();
    auto state = [&](int row) { return model->data(model->index(row, 0), Qt::CheckStateRole); };
    for (int row = 0; row < 3; ++row) {
        EXPECT_TRUE(model->flags(model->index(row, 0)).testFlag(Qt::ItemIsUserCheckable));
        EXPECT_EQ(state(row).value<Qt::CheckState>(), Qt::Unchecked);
    }
    QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
    list_->SetRowState(1, cbChecked);
    list_->SetRowState(2, cbGrayed);
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(state(1).value<Qt::CheckState>(), Qt::Checked);
    EXPECT_EQ(state(2).value<Qt::CheckState>(), Qt::PartiallyChecked);

    // The states follow their rows through deletions, appends and clearing.
    list_->Items().Delete(0);
    EXPECT_EQ(list_->RowState(0), cbChecked);
    EXPECT_EQ(list_->RowState(1), cbGrayed);
    list_->Items().Add(S("crate D\t40"));
    EXPECT_EQ(list_->RowState(2), cbUnchecked);
    list_->Clear();
    list_->Items().Add(S("crate E\t50"));
    EXPECT_EQ(list_->RowState(0), cbUnchecked);
    EXPECT_THROW(list_->RowState(1), EListError);

    // The accessibility layer reads the same: checkable, and checked or not.
    list_->SetRowChecked(0, true);
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(list_.get());
    ASSERT_NE(face, nullptr);
    ASSERT_NE(face->tableInterface(), nullptr);
    QAccessibleInterface* cell = face->tableInterface()->cellAt(0, 0);
    ASSERT_NE(cell, nullptr);
    EXPECT_TRUE(cell->state().checkable);
    EXPECT_TRUE(cell->state().checked);
    list_->SetRowChecked(0, false);
    EXPECT_FALSE(cell->state().checked);
}

// The toggle a screen reader offers on a row is the user's own toggle:
// Changing may refuse it, Change follows it, a disabled box refuses it.
TEST_F(CheckListTest, AToggleAskedThroughTheModelIsAUserToggle)
{
    QAbstractItemModel* model = list_->model();
    QSignalSpy changes(list_.get(), &TCheckList::Change);
    EXPECT_TRUE(model->setData(model->index(1, 0), Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(list_->RowState(1), cbChecked);
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes[0][0].toInt(), 1);

    bool refuse = true;
    QObject::connect(list_.get(), &TCheckList::Changing, list_.get(),
                     [&refuse](int, TCheckBoxState, bool* allow) { *allow = !refuse; });
    model->setData(model->index(1, 0), Qt::Unchecked, Qt::CheckStateRole);
    EXPECT_EQ(list_->RowState(1), cbChecked);
    refuse = false;

    list_->SetRowEnabled(2, false);
    EXPECT_FALSE(model->setData(model->index(2, 0), Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(list_->RowState(2), cbUnchecked);
    EXPECT_FALSE(model->setData(model->index(0, 0), S("text"), Qt::DisplayRole));
    EXPECT_EQ(list_->Items()[0], S("crate A\t10"));
    EXPECT_EQ(changes.count(), 1);
}

} // namespace

// Every checkable row says its state: a row never ticked, or ticked and
// then unticked, reports Qt::Unchecked itself rather than nothing.
TEST_F(CheckListTest, UntickedRowsReportUncheckedExplicitly)
{
    QAbstractItemModel* model = list_->model();
    auto state = [&](int row) { return model->data(model->index(row, 0), Qt::CheckStateRole); };
    list_->SetRowState(1, cbChecked);
    list_->SetRowState(1, cbUnchecked);
    list_->SetRowState(2, cbChecked);
    const Qt::CheckState expected[] = {Qt::Unchecked, Qt::Unchecked, Qt::Checked};
    for (int row = 0; row < 3; ++row) {
        SCOPED_TRACE(row);
        ASSERT_TRUE(state(row).isValid());
        EXPECT_EQ(state(row).value<Qt::CheckState>(), expected[row]);
    }
    // Other roles stay as they were: a row without a note has no tooltip.
    EXPECT_FALSE(model->data(model->index(0, 0), Qt::ToolTipRole).isValid());
}
