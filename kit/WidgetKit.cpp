// SPDX-License-Identifier: MIT
#include "kit/WidgetKit.h"

#include <QEvent>
#include <QPainter>
#include <QStyleOptionGroupBox>

TFlatButton::TFlatButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent)
{
    setFlat(true);
    setAutoDefault(false);
    setDefault(false);
}

void TFlatButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = rect();
    painter.fillRect(area, kAccentColor);
    painter.setPen(Qt::white);
    if (isDown()) {
        painter.drawLine(area.bottomLeft(), area.bottomRight());
        painter.drawLine(area.topRight(), area.bottomRight());
    } else {
        painter.drawLine(area.topLeft(), area.topRight());
        painter.drawLine(area.topLeft(), area.bottomLeft());
    }
    painter.setPen(Qt::black);
    const int shift = isDown() ? 1 : 0;
    painter.drawText(area.adjusted(2, 2, -2, -2).translated(shift, shift),
                     Qt::AlignCenter | Qt::TextWordWrap, text());
    if (hasFocus()) {
        // The style's dotted focus frame all but vanishes on the accent
        // face (1.3:1); a solid black ring inside the edge stands out at
        // more than 7:1 and leaves the caption clear.
        QPen ring(kFocusRingColor, kFocusRingWidth);
        ring.setJoinStyle(Qt::MiterJoin);
        painter.setPen(ring);
        painter.setBrush(Qt::NoBrush);
        const int inset = kFocusRingInset + kFocusRingWidth / 2;
        painter.drawRect(QRectF(area).adjusted(inset, inset, -inset - 1, -inset - 1));
    }
}

TBannerGroupBox::TBannerGroupBox(const QString& title, QWidget* parent) : QGroupBox(title, parent)
{
}

QSize TBannerGroupBox::minimumSizeHint() const
{
    if (!titleSize_.isValid() || measuredTitle_ != title()) {
        QStyleOptionGroupBox option;
        initStyleOption(&option);
        const QFontMetrics metrics = fontMetrics();
        const QSize text(metrics.horizontalAdvance(title()) +
                             metrics.horizontalAdvance(QLatin1Char(' ')),
                         metrics.height());
        titleSize_ = style()->sizeFromContents(QStyle::CT_GroupBox, &option, text, this);
        measuredTitle_ = title();
    }
    return titleSize_.expandedTo(QWidget::minimumSizeHint());
}

void TBannerGroupBox::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        titleSize_ = QSize();
    QGroupBox::changeEvent(event);
}

void TBannerGroupBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    const int bannerHeight = metrics.height() + 2;
    // The frame runs through the middle of the banner.
    painter.setPen(kAccentColor);
    painter.drawRect(rect().adjusted(0, bannerHeight / 2, -1, -1));
    const int bannerWidth = metrics.horizontalAdvance(title()) + 4;
    const QRect banner((width() - bannerWidth) / 2, 0, bannerWidth, bannerHeight);
    painter.fillRect(banner, kAccentColor);
    painter.setPen(Qt::black);
    painter.drawText(banner, Qt::AlignCenter, title());
}
