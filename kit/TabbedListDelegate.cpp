// SPDX-License-Identifier: MIT
#include "kit/TabbedListDelegate.h"

#include "kit/TabbedListBox.h"

#include <QPainter>

TTabbedListDelegate::TTabbedListDelegate(TTabbedListBox& list)
    : QAbstractItemDelegate(&list), list_(list)
{
}

void TTabbedListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const
{
    painter->save();
    list_.PaintRow(*painter, option, index.row());
    painter->restore();
}

QSize TTabbedListDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const
{
    return {1, list_.RowHeight()};
}
