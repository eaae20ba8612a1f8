// SPDX-License-Identifier: MIT
#include "kit/FieldColorListBox.h"

#include <QPainter>

QColor TFieldColorListBox::FieldColor(int field) const
{
    const QColor own = field >= 0 && field < fieldColors_.size() ? fieldColors_[field] : QColor();
    return own.isValid() ? own : FontColor();
}

void TFieldColorListBox::SetFieldColors(const QList<QColor>& colors)
{
    fieldColors_ = colors;
    viewport()->update();
}

void TFieldColorListBox::PaintRow(QPainter& painter, const QStyleOptionViewItem& option,
                                  int row) const
{
    const bool selected = DrawnSelected(option);
    painter.fillRect(option.rect, RowBackground(selected));
    painter.setClipRect(option.rect);
    painter.setFont(font());

    const QFontMetrics metrics(font());
    const int baseline =
        option.rect.top() + (option.rect.height() - metrics.height()) / 2 + metrics.ascent();
    const QStringList fields = Items()[row].split(QLatin1Char('\t'));
    const QList<int> positions = FieldPositionsOfRow(row);
    for (qsizetype i = 0; i < fields.size(); ++i) {
        painter.setPen(RowTextColor(selected, FieldColor(static_cast<int>(i))));
        painter.drawText(QPoint(option.rect.left() + positions[i], baseline), fields[i]);
    }
}
