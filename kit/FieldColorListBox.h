// SPDX-License-Identifier: MIT
#pragma once

// A column list whose fields may each be drawn in a colour of their own,
// for a row whose fields carry different states; a field without one is
// drawn in the list's font colour.

#include "kit/TabbedListBox.h"

#include <QColor>
#include <QList>

class TFieldColorListBox : public TTabbedListBox {
    Q_OBJECT
public:
    using TTabbedListBox::TTabbedListBox;

    // The colour field `field` of every row is drawn in.
    QColor FieldColor(int field) const;
    // Colours of fields 0, 1, ...; an invalid colour, or none, is the font colour.
    void SetFieldColors(const QList<QColor>& colors);

protected:
    void PaintRow(QPainter& painter, const QStyleOptionViewItem& option, int row) const override;

private:
    QList<QColor> fieldColors_;
};
