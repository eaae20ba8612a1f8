// SPDX-License-Identifier: MIT
#include "kit/TabbedListBox.h"

#include "base/Exception.h"
#include "kit/Header.h"
#include "kit/TabbedListDelegate.h"
#include "kit/TabbedListModel.h"
#include "kit/TabStops.h"

#include <QFontMetrics>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <limits>
#include <new>

namespace {
// Windows draws at most this many stops; later tabs fall back to the default step.
constexpr int kMaxDrawnStops = 1000;

int MeasureCharWidth(const QFont& font)
{
    // Every list of a window usually shares one font, and shaping the
    // sample costs more than the rest of a list's construction: the last
    // font's width is kept.
    static QString measuredKey;
    static int measuredWidth = 0;
    const QString key = font.key();
    if (key != measuredKey) {
        measuredWidth = AverageCharWidth(QFontMetrics(font).horizontalAdvance(
            QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")));
        measuredKey = key;
    }
    return measuredWidth;
}

} // namespace

QString CaptionedFields(const QList<QStringView>& fields, const QStringList& captions)
{
    QStringList spoken;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const QString value = fields[i].trimmed().toString();
        if (value.isEmpty())
            continue; // an empty field says nothing, not even its caption
        const QString caption = i < captions.size() ? captions[i] : QString();
        spoken << (caption.isEmpty() ? value : caption + QLatin1Char(' ') + value);
    }
    return spoken.join(QStringLiteral(", "));
}

namespace {

std::string OutOfBounds(int index)
{
    return "List index out of bounds (" + std::to_string(index) + ")";
}
} // namespace

// ---------------------------------------------------------------- TListItems

TListItems::TListItems(TTabbedListBox& owner) : owner_(owner) {}

void TListItems::Add(const QString& row)
{
    owner_.AppendRow(row);
}

void TListItems::Add(QStringView row)
{
    owner_.AppendRow(row);
}

void TListItems::Add(QStringView row, QByteArrayView data)
{
    owner_.AppendRow(row, data);
}

void TListItems::AddUtf8(QByteArrayView row, QByteArrayView data)
{
    owner_.AppendRowUtf8(row, data);
}

QByteArray TListItems::Data(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(OutOfBounds(index));
    return owner_.model_->RowData(index);
}

void TListItems::Delete(int index)
{
    owner_.DeleteRow(index);
}

void TListItems::Clear()
{
    owner_.Clear();
}

int TListItems::Count() const
{
    return owner_.model_->Count();
}

QString TListItems::operator[](int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(OutOfBounds(index));
    return owner_.model_->Row(index);
}

void TListItems::BeginAppendBatch()
{
    ++batchDepth_;
}

void TListItems::EndAppendBatch()
{
    if (batchDepth_ > 0 && --batchDepth_ == 0)
        owner_.EndOfAppendBatch();
}

void TListItems::BeginUpdate()
{
    if (updateCount_ == 0)
        owner_.setUpdatesEnabled(false);
    ++updateCount_;
}

void TListItems::EndUpdate()
{
    if (updateCount_ == 1) {
        owner_.setUpdatesEnabled(true);
        owner_.viewport()->update();
    }
    --updateCount_;
}

// ------------------------------------------------------------ TTabbedListBox

TTabbedListBox::TTabbedListBox(QWidget* parent)
    : QListView(parent), model_(new TTabbedListModel(*this)), items_(*this)
{
    setModel(model_);
    setItemDelegate(new TTabbedListDelegate(*this));
    setUniformItemSizes(true);
    // Scrolled by pixels, a step being a row: laying out a list then skips
    // the table of every row's scroll position that Qt builds for scrolling
    // by rows (some 10 of the 50 ms a million rows take to lay out).
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setMouseTracking(true);
    averageCharWidth_ = MeasureCharWidth(font());
}

TTabbedListBox::~TTabbedListBox() = default;

void TTabbedListBox::AppendRow(QStringView row, QByteArrayView rowData)
{
    QByteArray utf8;
    try {
        utf8 = row.toUtf8();
    } catch (const std::bad_alloc&) {
        throw EListError("Unable to insert a line");
    }
    AppendRowUtf8(utf8, rowData);
}

void TTabbedListBox::AppendRowUtf8(QByteArrayView row, QByteArrayView rowData)
{
    if (model_->Count() == std::numeric_limits<int>::max())
        throw EListError("Unable to insert a line");
    const bool batched = items_.InAppendBatch();
    try {
        model_->AppendUtf8(row, rowData, !batched);
    } catch (const std::bad_alloc&) {
        throw EListError("Unable to insert a line");
    }
    maxTabs_ = std::max(maxTabs_, TabCount(row));
    if (!batched) {
        RowsChanged();
    } else if (tabStopsMode_ == tsmAutomatic && items_.UpdateCount() == 0) {
        // The first append of a batch marks the stops pending; the others
        // only let them cover their rows, and the list is repainted once.
        if (stopsFollowBatch_ && stops_.IsPending()) {
            stops_.CoverRows(model_->Count(), maxTabs_);
        } else {
            stops_.MarkPending(CurrentStopsSource());
            stopsFollowBatch_ = true;
        }
    }
}

void TTabbedListBox::EndOfAppendBatch()
{
    model_->Announce();
    if (stopsFollowBatch_) {
        stopsFollowBatch_ = false;
        viewport()->update();
    }
}

TStopsSource TTabbedListBox::CurrentStopsSource() const
{
    return {model_->Count(), maxTabs_, font(), averageCharWidth_, FieldZeroExtra()};
}

const QList<int>& TTabbedListBox::MeasuredStops() const
{
    return stops_.Stops([this](int row) { return model_->Row(row); });
}

void TTabbedListBox::DeleteRow(int index)
{
    if (index < 0 || index >= model_->Count())
        throw EListError(OutOfBounds(index));
    // Pending stops describe a prefix of the rows; a deletion inside it that
    // is not followed by a recomputation would change what they mean, so
    // they are measured first.
    const bool recomputes = tabStopsMode_ == tsmAutomatic && items_.UpdateCount() == 0;
    if (stops_.IsPending() && !recomputes && index < stops_.Source().rows)
        MeasuredStops();
    // The view would pass the selection on to a neighbour; a deleted
    // selected row leaves the list without one.
    if (ItemIndex() == index) {
        selectionModel()->clearSelection();
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    }
    model_->Remove(index);
    maxTabs_ = 0;
    for (int i = 0; i < model_->Count(); ++i)
        maxTabs_ = std::max(maxTabs_, TabCount(model_->RowUtf8(i)));
    RowsChanged();
}

void TTabbedListBox::RemoveAllRows()
{
    MeasuredStops(); // the stops stay: measured from the rows that go
    model_->RemoveAll();
    maxTabs_ = 0;
}

void TTabbedListBox::Clear()
{
    RemoveAllRows();
}

int TTabbedListBox::ItemIndex() const
{
    const QItemSelectionModel* selection = selectionModel();
    const QModelIndex current = selection->currentIndex();
    if (current.isValid() && selection->isSelected(current))
        return current.row();
    const QModelIndexList selected = selection->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void TTabbedListBox::SetItemIndex(int index)
{
    model_->Announce();
    if (index < 0 || index >= model_->Count()) {
        selectionModel()->clearSelection();
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        return;
    }
    const QModelIndex target = model_->index(index);
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
    scrollTo(target);
}

QList<int> TTabbedListBox::TabStops() const
{
    return MeasuredStops();
}

void TTabbedListBox::SetTabStops(const QList<int>& stops)
{
    stops_.Set(stops);
    viewport()->update();
}

void TTabbedListBox::SetTabStopsMode(TTabStopsMode mode)
{
    tabStopsMode_ = mode;
    if (mode == tsmAutomatic && items_.UpdateCount() == 0)
        RecomputeStops();
}

void TTabbedListBox::RowsChanged()
{
    if (tabStopsMode_ == tsmAutomatic && items_.UpdateCount() == 0)
        RecomputeStops();
}

void TTabbedListBox::RecomputeStops()
{
    stops_.MarkPending(CurrentStopsSource());
    viewport()->update();
}

QString TTabbedListBox::ColumnText(int column, int row) const
{
    if (row < 0 || row >= model_->Count())
        throw EListError("Row parameter out of range");
    return FieldOfRow(model_->Row(row), column);
}

void TTabbedListBox::UpdateFromHeader(const THeader& header)
{
    QStringList captions;
    for (int section = 0; section < header.SectionCount(); ++section)
        captions << header.SectionCaption(section).trimmed();
    captions_ = captions;
    const int stopCount = stops_.Count();
    const int n = std::min(header.SectionCount() - 2, stopCount - 1);
    if (n < 0)
        return;
    // When the header sets every stop, the measured ones would be thrown
    // away at once: skip measuring them.
    if (stops_.IsPending() && n >= stopCount - 1)
        stops_.Set(QList<int>(stopCount, 0));
    stops_.Set(TabStopsFromHeader(MeasuredStops(), header.SectionWidths(), averageCharWidth_));
    viewport()->update();
}

QColor TTabbedListBox::FontColor() const
{
    return fontColor_.isValid() ? fontColor_ : palette().color(QPalette::Active, QPalette::Text);
}

void TTabbedListBox::SetFontColor(const QColor& color)
{
    fontColor_ = color;
    viewport()->update();
}

void TTabbedListBox::SetItemHeight(int height)
{
    itemHeight_ = std::max(height, 0);
    RowHeightChanged();
}

int TTabbedListBox::RowHeight() const
{
    return itemHeight_ > 0 ? itemHeight_ : AutomaticRowHeight();
}

int TTabbedListBox::AutomaticRowHeight() const
{
    return fontMetrics().height() + 2;
}

QVariant TTabbedListBox::RowRoleData(int /*row*/, int /*role*/) const
{
    return {};
}

QVariant TTabbedListBox::RowRole(int row, int role) const
{
    if (row < 0 || row >= model_->Count())
        throw EListError("Row parameter out of range");
    return model_->RoleValue(row, role);
}

void TTabbedListBox::SetRowRole(int row, int role, const QVariant& value)
{
    if (row < 0 || row >= model_->Count())
        throw EListError("Row parameter out of range");
    model_->SetRoleValue(row, role, value);
}

void TTabbedListBox::SetRowsUserCheckable(bool checkable)
{
    model_->SetUserCheckable(checkable);
}

bool TTabbedListBox::RowRoleRequested(int /*row*/, int /*role*/, const QVariant& /*value*/)
{
    return false;
}

QString TTabbedListBox::AccessibleRowText(int row) const
{
    const QString text = model_->Row(row);
    return CaptionedFields(QStringView(text).split(QLatin1Char('\t')), captions_);
}

void TTabbedListBox::RowRoleDataChanged(int row)
{
    const QModelIndex index = model_->index(row);
    Q_EMIT model_->dataChanged(index, index);
}

void TTabbedListBox::RowHeightChanged()
{
    // The view caches the size of uniform rows; only a reset of the layout forgets it.
    setUniformItemSizes(false);
    setUniformItemSizes(true);
    scheduleDelayedItemsLayout();
}

QList<int> TTabbedListBox::StopPixels() const
{
    const QList<int>& stops = MeasuredStops();
    const qsizetype count = std::min<qsizetype>(stops.size(), kMaxDrawnStops);
    QList<int> pixels;
    pixels.reserve(count);
    for (qsizetype i = 0; i < count; ++i)
        pixels.append(stops[i] * averageCharWidth_);
    return pixels;
}

QList<int> TTabbedListBox::FieldPositionsOfRow(int row, int* end) const
{
    const QFontMetrics metrics(font());
    const QString text = model_->Row(row);
    const QList<QStringView> fields = QStringView(text).split(QLatin1Char('\t'));
    QList<int> widths;
    widths.reserve(fields.size());
    for (qsizetype i = 0; i < fields.size(); ++i) {
        // Where the fields begin does not depend on the last one's width:
        // it is measured only when the row's end is asked for.
        const bool needed = i + 1 < fields.size() || end;
        widths.append(needed ? metrics.horizontalAdvance(fields[i].toString()) : 0);
    }
    const QList<int> positions =
        FieldPositions(widths, TextLeft(), StopPixels(), averageCharWidth_);
    if (end)
        *end = positions.last() + widths.last();
    return positions;
}

bool TTabbedListBox::DrawnSelected(const QStyleOptionViewItem& option) const
{
    return option.state.testFlag(QStyle::State_Selected) && isEnabled();
}

QBrush TTabbedListBox::RowBackground(bool selected) const
{
    const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
    return selected ? palette().brush(group, QPalette::Highlight) : palette().brush(QPalette::Base);
}

QColor TTabbedListBox::RowTextColor(bool selected, const QColor& normal) const
{
    const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
    return selected ? palette().color(group, QPalette::HighlightedText) : normal;
}

void TTabbedListBox::PaintRow(QPainter& painter, const QStyleOptionViewItem& option, int row) const
{
    const bool selected = DrawnSelected(option);
    painter.fillRect(option.rect, RowBackground(selected));
    painter.setClipRect(option.rect);
    painter.setFont(font());
    painter.setPen(RowTextColor(selected, FontColor()));

    const QFontMetrics metrics(font());
    const int top = option.rect.top() + (option.rect.height() - metrics.height()) / 2;
    const int baseline = top + metrics.ascent();
    const QString text = model_->Row(row);
    const QList<QStringView> fields = QStringView(text).split(QLatin1Char('\t'));
    const QList<int> positions = FieldPositionsOfRow(row);
    for (qsizetype i = 0; i < fields.size(); ++i)
        painter.drawText(QPoint(option.rect.left() + positions[i], baseline), fields[i].toString());

    if (option.state.testFlag(QStyle::State_HasFocus) && hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = option.rect;
        focus.backgroundColor = RowBackground(true).color();
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

void TTabbedListBox::EmitClickIfChanged(int before)
{
    if (ItemIndex() != before)
        Q_EMIT Click();
}

void TTabbedListBox::mousePressEvent(QMouseEvent* event)
{
    const QModelIndex hit = indexAt(event->position().toPoint());
    if (!hit.isValid()) {
        // Below the last row: focus only, the selection stays.
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    if (event->button() == Qt::LeftButton) {
        QListView::mousePressEvent(event);
        Q_EMIT Click();
        return;
    }
    if (event->button() == Qt::RightButton && !selectionModel()->isSelected(hit)) {
        setFocus(Qt::MouseFocusReason);
        SetItemIndex(hit.row());
        Q_EMIT Click();
    }
    event->accept();
}

void TTabbedListBox::mouseMoveEvent(QMouseEvent* event)
{
    const int before = ItemIndex();
    QListView::mouseMoveEvent(event);
    // Dragging with the button down moves the selection like a click does.
    if (event->buttons().testFlag(Qt::LeftButton))
        EmitClickIfChanged(before);
}

void TTabbedListBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click counts as a press of its own, so
    // that a quick second click on a check glyph toggles it back.
    mousePressEvent(event);
    if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid())
        Q_EMIT DblClick();
}

void TTabbedListBox::keyPressEvent(QKeyEvent* event)
{
    const int before = ItemIndex();
    QListView::keyPressEvent(event);
    // A list that gets the focus makes its first row current without
    // selecting it; in a list of one row no key would then move, and that
    // row could never be chosen. The keys that move choose the row they
    // land on, also where they did not move.
    static constexpr Qt::Key kMoves[] = {Qt::Key_Up,  Qt::Key_Down,   Qt::Key_Home,
                                         Qt::Key_End, Qt::Key_PageUp, Qt::Key_PageDown};
    const bool moves =
        std::find(std::begin(kMoves), std::end(kMoves), event->key()) != std::end(kMoves);
    const QModelIndex current = currentIndex();
    if (moves && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
        current.isValid() && selectionMode() != QAbstractItemView::NoSelection &&
        !selectionModel()->isSelected(current))
        selectionModel()->select(current, QItemSelectionModel::ClearAndSelect);
    EmitClickIfChanged(before);
}

QModelIndex TTabbedListBox::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    if (action == MoveEnd && !currentIndex().isValid() && model_->Count() > 0)
        return model_->index(model_->Count() - 1);
    return QListView::moveCursor(action, modifiers);
}

void TTabbedListBox::changeEvent(QEvent* event)
{
    QListView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        averageCharWidth_ = MeasureCharWidth(font());
        if (tabStopsMode_ == tsmAutomatic && items_.UpdateCount() == 0)
            RecomputeStops();
        RowHeightChanged();
    }
}

bool TTabbedListBox::viewportEvent(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QListView::viewportEvent(event);
    auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex hit = indexAt(help->pos());
    int end = 0;
    if (hit.isValid())
        FieldPositionsOfRow(hit.row(), &end);
    if (hit.isValid() && end > viewport()->width()) {
        QString text = model_->Row(hit.row());
        text.replace(QLatin1Char('\t'), QLatin1Char(' '));
        QToolTip::showText(help->globalPos(), text, viewport(), visualRect(hit));
    } else {
        QToolTip::hideText();
        event->ignore();
    }
    return true;
}
