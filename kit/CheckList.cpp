#include "CheckList.h"

#include "Exception.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QToolTip>

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

QString TCheckList::RowNote(int index) const
{
    return Data(index).note;
}

void TCheckList::SetRowNote(int index, const QString& note)
{
    Data(index);
    if (rows_[index].note == note)
        return;
    rows_[index].note = note;
    UpdateRow(index);
    RowRoleDataChanged(index);
}

QVariant TCheckList::RowRoleData(int row, int role) const
{
    if (row < 0 || row >= rows_.size() || rows_[row].note.isEmpty())
        return TTabbedListBox::RowRoleData(row, role);
    if (role == Qt::ToolTipRole)
        return rows_[row].note;
    // The note is read out after the row's own fields, as it is drawn after them.
    if (role == Qt::AccessibleTextRole)
        return Items()[row] + QLatin1Char('\t') + rows_[row].note;
    return TTabbedListBox::RowRoleData(row, role);
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

    const QString& note = rows_[row].note;
    if (note.isEmpty())
        return;
    // The note keeps its place at the right edge; where a narrow list makes
    // the fields run under it, its own background keeps it readable.
    const QFontMetrics metrics(font());
    const int width = metrics.horizontalAdvance(note) + 2 * kNoteMargin;
    const QRect noteRect(option.rect.right() + 1 - width, option.rect.top(), width,
                         option.rect.height());
    const bool selected = option.state.testFlag(QStyle::State_Selected) && isEnabled();
    const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
    painter.fillRect(noteRect, selected ? palette().brush(group, QPalette::Highlight)
                                        : palette().brush(QPalette::Base));
    painter.setPen(selected ? palette().color(group, QPalette::HighlightedText) : FontColor());
    painter.drawText(noteRect.adjusted(kNoteMargin, 0, -kNoteMargin, 0),
                     Qt::AlignVCenter | Qt::AlignRight | Qt::TextSingleLine, note);
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

bool TCheckList::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex hit = indexAt(help->pos());
        if (hit.isValid() && hit.row() < rows_.size() && !rows_[hit.row()].note.isEmpty()) {
            QToolTip::showText(help->globalPos(), rows_[hit.row()].note, viewport(),
                               visualRect(hit));
            return true;
        }
    }
    return TTabbedListBox::viewportEvent(event);
}
