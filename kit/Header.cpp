// SPDX-License-Identifier: MIT
#include "kit/Header.h"

#include "kit/HeaderAccessible.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace {
constexpr int kEdgeZone = 3;      // pixels either side of a section's right edge
constexpr int kMinLeftGap = 4;    // a dragged edge stays this far right of the section's left edge
constexpr int kFirstExtraGap = 2; // and this much further for the first section
constexpr int kRightGap = 2;      // and this far left of the client area's right edge
constexpr int kCaptionMargin = 2;
} // namespace

THeader::THeader(QWidget* parent) : QWidget(parent)
{
    InstallHeaderAccessibility();
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void THeader::AddSection(const QString& caption, int width)
{
    sections_.append(Section{caption, width});
    updateGeometry();
    update();
}

QString THeader::SectionCaption(int index) const
{
    return index >= 0 && index < sections_.size() ? sections_[index].caption : QString();
}

int THeader::SectionWidth(int index) const
{
    if (index < 0 || index >= sections_.size())
        return 0;
    if (index < sections_.size() - 1)
        return sections_[index].width;
    return width() - LeftOf(index);
}

void THeader::SetSectionWidth(int index, int width)
{
    // Past the last section there is nothing to store the width in.
    if (index < 0 || index >= sections_.size())
        return;
    sections_[index].width = width;
    update();
}

QList<int> THeader::SectionWidths() const
{
    QList<int> widths;
    widths.reserve(sections_.size());
    for (int i = 0; i < sections_.size(); ++i)
        widths.append(SectionWidth(i));
    return widths;
}

QSize THeader::sizeHint() const
{
    int total = 0;
    for (const Section& section : sections_)
        total += section.width;
    return {total, fontMetrics().height() + 6};
}

int THeader::LeftOf(int index) const
{
    int left = 0;
    for (int i = 0; i < index; ++i)
        left += sections_[i].width;
    return left;
}

bool THeader::InEdgeZone(int section, int x) const
{
    if (section < 0 || section >= sections_.size() - 1)
        return false;
    const int edge = LeftOf(section) + sections_[section].width;
    return std::abs(x - edge) <= kEdgeZone;
}

int THeader::EdgeAt(int x) const
{
    for (int i = 0; i + 1 < sections_.size(); ++i) {
        if (InEdgeZone(i, x))
            return i;
    }
    return -1;
}

void THeader::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().button());
    int left = 0;
    for (int i = 0; i < sections_.size(); ++i) {
        const int w = SectionWidth(i);
        const QRect box(left, 0, std::max(w, 0), height());
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(box.adjusted(0, 0, -1, -1));
        painter.setPen(palette().color(QPalette::ButtonText));
        painter.drawText(box.adjusted(kCaptionMargin, 0, -kCaptionMargin, 0),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         sections_[i].caption);
        left += w;
    }
}

void THeader::mousePressEvent(QMouseEvent* event)
{
    const int x = event->position().toPoint().x();
    const int section = allowResize_ ? EdgeAt(x) : -1;
    if (event->button() != Qt::LeftButton || section < 0)
        return;
    dragSection_ = section;
    dragStartX_ = x;
    dragStartWidth_ = sections_[section].width;
}

void THeader::mouseMoveEvent(QMouseEvent* event)
{
    const int x = event->position().toPoint().x();
    if (dragSection_ < 0) {
        if (allowResize_ && EdgeAt(x) >= 0)
            setCursor(Qt::SplitHCursor);
        else
            unsetCursor();
        return;
    }
    const int extra = dragSection_ == 0 ? kFirstExtraGap : 0;
    const int low = LeftOf(dragSection_) + kMinLeftGap + extra;
    const int high = width() - kRightGap;
    const int counted = std::max(low, std::min(x, high));
    SetSectionWidth(dragSection_, dragStartWidth_ + counted - dragStartX_);
    Q_EMIT Sizing(dragSection_, sections_[dragSection_].width);
}

void THeader::mouseReleaseEvent(QMouseEvent* event)
{
    const int x = event->position().toPoint().x();
    const int dragged = dragSection_;
    dragSection_ = -1;
    if (!allowResize_)
        return;
    // The dragged edge first: the zones of narrow sections overlap.
    const int section = InEdgeZone(dragged, x) ? dragged : EdgeAt(x);
    if (section >= 0)
        Q_EMIT Sized(section, SectionWidth(section));
}

void THeader::leaveEvent(QEvent* event)
{
    if (dragSection_ < 0)
        unsetCursor();
    QWidget::leaveEvent(event);
}
