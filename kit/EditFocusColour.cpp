// SPDX-License-Identifier: MIT
#include "kit/EditFocusColour.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QPalette>

namespace {

class TEditFocusColour : public QObject {
public:
    TEditFocusColour(QLineEdit& edit, const QColor& colour) : QObject(&edit), colour_(colour)
    {
        edit.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const bool in = event->type() == QEvent::FocusIn;
        if (in || event->type() == QEvent::FocusOut) {
            auto* edit = static_cast<QLineEdit*>(watched);
            QPalette colours = edit->palette();
            colours.setColor(QPalette::Base,
                             in ? colour_ : QApplication::palette(edit).color(QPalette::Base));
            edit->setPalette(colours);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QColor colour_;
};

} // namespace

void ShowFocusInColour(QLineEdit& edit, const QColor& colour)
{
    new TEditFocusColour(edit, colour);
}
