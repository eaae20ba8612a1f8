// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractItemDelegate>

class TTabbedListBox;

// Every row is drawn by the list itself, so that the text keeps the list's
// font colour even while the list is disabled.
class TTabbedListDelegate : public QAbstractItemDelegate {
public:
    explicit TTabbedListDelegate(TTabbedListBox& list);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    TTabbedListBox& list_;
};
