// SPDX-License-Identifier: MIT
#include "kit/CheckList.h"

#include "base/Exception.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QToolTip>

#include <algorithm>

namespace {

Qt::CheckState ModelState(TCheckBoxState state)
{
    switch (state) {
    case cbChecked:
        return Qt::Checked;
    case cbGrayed:
        return Qt::PartiallyChecked;
    case cbUnchecked:
        break;
    }
    return Qt::Unchecked;
}

TCheckBoxState ListState(const QVariant& value)
{
    switch (value.value<Qt::CheckState>()) {
    case Qt::Checked:
        return cbChecked;
    case Qt::PartiallyChecked:
        return cbGrayed;
    case Qt::Unchecked:
        break;
    }
    return cbUnchecked;
}

} // namespace

TCheckList::TCheckList(QWidget* parent) : TTabbedListBox(parent)
{
    SetRowsUserCheckable(true);
    RowHeightChanged();
    // A press armed on a row that goes away arms nothing.
    connect(model(), &QAbstractItemModel::rowsRemoved, this, [this] { armedRow_ = -1; });
    connect(model(), &QAbstractItemModel::modelReset, this, [this] { armedRow_ = -1; });
}

void TCheckList::CheckRow(int index) const
{
    if (index < 0 || index >= Items().Count())
        throw EListError("Row parameter out of range");
}

TCheckBoxState TCheckList::RowState(int index) const
{
    CheckRow(index);
    return ListState(RowRole(index, Qt::CheckStateRole));
}

void TCheckList::SetRowState(int index, TCheckBoxState state)
{
    if (RowState(index) == state)
        return;
    SetRowRole(index, Qt::CheckStateRole, ModelState(state));
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
    CheckRow(index);
    return !RowRole(index, kCheckDisabledRole).isValid();
}

void TCheckList::SetRowEnabled(int index, bool enabled)
{
    CheckRow(index);
    SetRowRole(index, kCheckDisabledRole, enabled ? QVariant() : QVariant(false));
    UpdateRow(index);
}

QString TCheckList::RowNote(int index) const
{
    CheckRow(index);
    return RowRole(index, Qt::ToolTipRole).toString();
}

void TCheckList::SetRowNote(int index, const QString& note)
{
    if (RowNote(index) == note)
        return;
    SetRowRole(index, Qt::ToolTipRole, note.isEmpty() ? QVariant() : QVariant(note));
    UpdateRow(index);
}

QString TCheckList::AccessibleRowText(int row) const
{
    // The note is read out after the row's own fields, as it is drawn after them.
    const QString fields = TTabbedListBox::AccessibleRowText(row);
    const QString note = RowRole(row, Qt::ToolTipRole).toString();
    if (note.isEmpty())
        return fields;
    return fields.isEmpty() ? note : fields + QStringLiteral(", ") + note;
}

QVariant TCheckList::RowRoleData(int row, int role) const
{
    if (role == Qt::CheckStateRole)
        return QVariant::fromValue(Qt::Unchecked);
    return TTabbedListBox::RowRoleData(row, role);
}

bool TCheckList::RowRoleRequested(int row, int role, const QVariant& value)
{
    if (role != Qt::CheckStateRole || !RowEnabled(row))
        return false;
    if (ListState(value) == RowState(row))
        return true;
    // The same path as Space on the row: Changing may refuse, Change follows.
    SetItemIndex(row);
    ToggleSelected();
    return true;
}

void TCheckList::UpdateRow(int index)
{
    viewport()->update(visualRect(model()->index(index, 0)));
}

int TCheckList::AutomaticRowHeight() const
{
    return std::max(kMinRowHeight, fontMetrics().height() + 2);
}

void TCheckList::PaintRow(QPainter& painter, const QStyleOptionViewItem& option, int row) const
{
    TTabbedListBox::PaintRow(painter, option, row);
    if (row >= Items().Count())
        return;
    QStyleOptionButton glyph;
    glyph.initFrom(this);
    glyph.rect =
        QRect(option.rect.left() + kGlyphLeft,
              option.rect.top() + (option.rect.height() - kGlyphSize) / 2, kGlyphSize, kGlyphSize);
    glyph.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
    if (!RowEnabled(row) || !isEnabled())
        glyph.state &= ~QStyle::State_Enabled;
    switch (RowState(row)) {
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

    const QString note = RowNote(row);
    if (note.isEmpty())
        return;
    // The note keeps its place at the right edge, but never over the row's
    // own fields: where a narrow list leaves it less room it is shortened
    // (its tooltip and the accessible name keep it whole).
    const QFontMetrics metrics(font());
    int fieldsEnd = 0;
    FieldPositionsOfRow(row, &fieldsEnd);
    const int room = option.rect.right() + 1 - (option.rect.left() + fieldsEnd);
    const int natural = metrics.horizontalAdvance(note) + 2 * kNoteMargin;
    const int width = std::min(natural, room);
    if (width <= 2 * kNoteMargin)
        return;
    // Shortened only when it does not fit: eliding measures a little
    // differently and would shorten a note that fits exactly.
    const QString shown = width < natural
                              ? metrics.elidedText(note, Qt::ElideRight, width - 2 * kNoteMargin)
                              : note;
    const QRect noteRect(option.rect.right() + 1 - width, option.rect.top(), width,
                         option.rect.height());
    const bool selected = DrawnSelected(option);
    painter.fillRect(noteRect, RowBackground(selected));
    painter.setPen(RowTextColor(selected, FontColor()));
    painter.drawText(noteRect.adjusted(kNoteMargin, 0, -kNoteMargin, 0),
                     Qt::AlignVCenter | Qt::AlignRight | Qt::TextSingleLine, shown);
}

void TCheckList::ToggleSelected()
{
    const int row = ItemIndex();
    if (row < 0 || row >= Items().Count() || !RowEnabled(row))
        return;
    const TCheckBoxState next = NextState(RowState(row));
    bool allow = true;
    Q_EMIT Changing(row, next, &allow);
    // A Changing handler may have changed the rows under us.
    if (!allow || row >= Items().Count())
        return;
    SetRowState(row, next);
    armedRow_ = -1;
    spaceArmed_ = false;
    Q_EMIT Change(row, next);
}

TCheckBoxState TCheckList::NextState(TCheckBoxState state) const
{
    if (state == cbUnchecked && allowGrayed_)
        return cbGrayed;
    return state == cbChecked ? cbUnchecked : cbChecked;
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
        const QString note = hit.isValid() ? RowNote(hit.row()) : QString();
        if (!note.isEmpty()) {
            QToolTip::showText(help->globalPos(), note, viewport(), visualRect(hit));
            return true;
        }
    }
    return TTabbedListBox::viewportEvent(event);
}
