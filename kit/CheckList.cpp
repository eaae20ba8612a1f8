#include "CheckList.h"

#include "Exception.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>

#include <algorithm>

TCheckList::TCheckList(QWidget* parent) : TTabbedListBox(parent)
{
    RowHeightChanged();
}

const TCheckList::RowData& TCheckList::Data(int index) const
{
    if (index < 0 || index >= rows_.size())
        throw EListError("Row parameter out of range");
    return rows_[index];
}

TCheckBoxState TCheckList::RowState(int index) const
{
    return Data(index).state;
}

void TCheckList::SetRowState(int index, TCheckBoxState state)
{
    Data(index);
    if (rows_[index].state == state)
        return;
    rows_[index].state = state;
    UpdateRow(index);
}

bool TCheckList::RowChecked(int index) const
{
    return RowState(index) == cbChecked;
}

void TCheckList::SetRowChecked(int index, bool checked)
{
    SetRowState(index, checked ? cbChecked : cbUnchecked);
}

bool TCheckList::RowEnabled(int index) const
{
    return Data(index).enabled;
}

void TCheckList::SetRowEnabled(int index, bool enabled)
{
    Data(index);
    rows_[index].enabled = enabled;
    UpdateRow(index);
}

void TCheckList::UpdateRow(int index)
{
    viewport()->update(visualRect(model()->index(index, 0)));
}

int TCheckList::AutomaticRowHeight() const
{
    return std::max(kMinRowHeight, fontMetrics().height() + 2);
}

void TCheckList::RowInserted(int index)
{
    rows_.insert(index, RowData{});
}

void TCheckList::RowRemoved(int index)
{
    rows_.removeAt(index);
    if (armedRow_ == index)
        armedRow_ = -1;
    else if (armedRow_ > index)
        --armedRow_;
}

void TCheckList::RowsCleared()
{
    rows_.clear();
    armedRow_ = -1;
}

void TCheckList::PaintRow(QPainter& painter, const QStyleOptionViewItem& option, int row) const
{
    TTabbedListBox::PaintRow(painter, option, row);
    if (row >= rows_.size())
        return;
    QStyleOptionButton glyph;
    glyph.initFrom(this);
    glyph.rect =
        QRect(option.rect.left() + kGlyphLeft,
              option.rect.top() + (option.rect.height() - kGlyphSize) / 2, kGlyphSize, kGlyphSize);
    glyph.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
    if (!rows_[row].enabled || !isEnabled())
        glyph.state &= ~QStyle::State_Enabled;
    switch (rows_[row].state) {
    case cbUnchecked:
        glyph.state |= QStyle::State_Off;
        break;
    case cbChecked:
        glyph.state |= QStyle::State_On;
        break;
    case cbGrayed:
        glyph.state |= QStyle::State_NoChange;
        break;
    }
    style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &glyph, &painter, this);
}

void TCheckList::ToggleSelected()
{
    const int row = ItemIndex();
    if (row < 0 || row >= rows_.size() || !rows_[row].enabled)
        return;
    TCheckBoxState next = cbChecked;
    if (rows_[row].state == cbUnchecked && allowGrayed_)
        next = cbGrayed;
    else if (rows_[row].state == cbChecked)
        next = cbUnchecked;
    bool allow = true;
    Q_EMIT Changing(row, next, &allow);
    // A Changing handler may have changed the rows under us.
    if (!allow || row >= rows_.size())
        return;
    SetRowState(row, next);
    armedRow_ = -1;
    spaceArmed_ = false;
    Q_EMIT Change(row, next);
}

void TCheckList::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const QModelIndex hit = indexAt(pos);
    TTabbedListBox::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    // Every left press decides afresh, so a click on the text never toggles.
    armedRow_ = -1;
    if (hit.isValid() && ItemIndex() == hit.row() && pos.x() - visualRect(hit).left() < kToggleZone)
        armedRow_ = hit.row();
}

void TCheckList::mouseReleaseEvent(QMouseEvent* event)
{
    TTabbedListBox::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const int armed = armedRow_;
    armedRow_ = -1;
    if (armed >= 0 && ItemIndex() == armed &&
        viewport()->rect().contains(event->position().toPoint()))
        ToggleSelected();
}

void TCheckList::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space) {
        if (!event->isAutoRepeat())
            spaceArmed_ = true;
        event->accept();
        return;
    }
    TTabbedListBox::keyPressEvent(event);
}

void TCheckList::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space) {
        if (!event->isAutoRepeat() && spaceArmed_) {
            spaceArmed_ = false;
            ToggleSelected();
        }
        event->accept();
        return;
    }
    TTabbedListBox::keyReleaseEvent(event);
}
